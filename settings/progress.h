// The progress box the long settings operations report to. The real box is a small always-on-top
// window of the Windows shell; until one is installed every call does nothing.
#pragma once

#include "settings/lzh.h"

#include <string>

namespace nimbrel {

// The box's bar. It is a codec progress sink, so the compressor can advance it directly.
class ProgressBar : public ProgressSink {
  public:
    virtual void set_max(int max) = 0;
};

class ProgressBox {
  public:
    virtual ~ProgressBox() = default;
    // The text alone, centred on the screen.
    virtual void Think_show(const std::string& text) = 0;
    // The text with the bar under it.
    virtual void Think_show_bar(const std::string& text) = 0;
    // The bar, for the caller to set its maximum and let a worker advance its position.
    virtual ProgressBar& Think_bar() = 0;
    virtual void Think_hide() = 0;
    // Shows the text for a short moment, then hides the box.
    virtual void Think_alert(const std::string& text) = 0;
};

class NoProgressBox : public ProgressBox {
  public:
    void Think_show(const std::string&) override {}
    void Think_show_bar(const std::string&) override {}
    ProgressBar& Think_bar() override { return bar_; }
    void Think_hide() override {}
    void Think_alert(const std::string&) override {}

  private:
    struct NoBar : ProgressBar {
        void set_max(int) override {}
        void set_position(int) override {}
    } bar_;
};

// The one box of the process: the installed one, or a box that shows nothing.
ProgressBox& Thinking_box();
// Installs the shell's box (the caller keeps it alive); nullptr goes back to showing nothing.
void install_thinking_box(ProgressBox* box);

} // namespace nimbrel
