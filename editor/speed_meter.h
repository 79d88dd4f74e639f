// The frame rate a preview actually achieves, for the editor's "Current speed".
#pragma once

#include <deque>

namespace nimbrel {

class Speed_meter {
  public:
    // One presented frame at `now_seconds` on a steady clock. A clock that goes back starts the
    // measurement again.
    void frame(double now_seconds);
    // Frames per second: the frames of the last second once the meter has run for a second;
    // before that the rate between its first and last frames, rounded. 0 before the second
    // frame, and again once a stall has lasted a whole second.
    int frames_per_second(double now_seconds) const;
    // As at the last frame.
    int frames_per_second() const;
    // Forgets every frame, as when the preview starts anew.
    void reset();

  private:
    std::deque<double> recent_; // the frames of the last second, oldest first
    double first_ = 0;          // the first frame since the start or a reset
};

} // namespace nimbrel
