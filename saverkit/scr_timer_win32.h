// TScrTimer: a timer whose ticks are paced by a thread waiting on an event instead of the
// system's timer messages, delivered synchronously on the user-interface thread. Destroyed, the
// timer stops its thread and waits (five seconds at the most) for every thread it stopped.
#pragma once

#include "saverkit/scr_forms_win32.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace nimbrel {

struct TickThreadBlock;

class TScrTimer {
  public:
    TScrTimer();
    ~TScrTimer();
    TScrTimer(const TScrTimer&) = delete;
    TScrTimer& operator=(const TScrTimer&) = delete;

    // A thread runs exactly while Enabled, Interval is non-zero and OnTimer is set. Changing
    // Enabled or OnTimer restarts it; changing Interval between non-zero values only wakes it,
    // so the new interval applies from the next tick (at once when it is already due).
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);
    // Milliseconds from the start of one tick to the start of the next.
    std::uint32_t Interval() const { return interval_; }
    virtual void SetInterval(std::uint32_t interval);
    virtual void SetOnTimer(TNotifyEvent handler);

    // Pacing finer than whole milliseconds, for rates that do not divide 1000: when non-zero the
    // thread keeps this many microseconds from tick to tick instead of Interval, which still
    // decides whether the timer runs.
    void SetPeriodMicros(std::uint32_t micros);

    // After each tick, also wait for the compositor to show its next frame (where there is
    // one): a timer that drives the display then ticks no faster than the display refreshes.
    void SetWaitForCompositor(bool wait);

    bool ThreadRunning() const { return block_ != nullptr; }
    HANDLE ThreadHandle() const { return thread_; }
    // Threads told to stop that were not yet seen to end.
    std::size_t StoppingThreads() const { return stopping_.size(); }

  protected:
    virtual void StartThread();
    virtual void StopThread();
    virtual void WakeThread();
    virtual LRESULT TimerWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    virtual void UpdateTimer();
    virtual void Timer();

  private:
    void reap_stopped_threads();

    std::unique_ptr<TUtilityWindow> window_;
    std::shared_ptr<TickThreadBlock> block_; // the running thread's block, shared with it
    HANDLE thread_ = nullptr;                // the running thread
    std::vector<HANDLE> stopping_;
    bool enabled_ = true;
    std::uint32_t interval_ = 10;
    std::uint32_t period_us_ = 0;
    bool wait_for_compositor_ = false;
    TNotifyEvent on_timer_;
};

} // namespace nimbrel
