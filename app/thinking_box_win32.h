// TThinking_box: the small always-on-top box that shows one line of text, optionally with a
// progress bar, without ever taking the focus. One box serves the whole program: the settings
// file reports packing through it and the engine its drawing failures. Its window comes from the
// THINKINGBOX template; the box paints the text itself in a fixed-pitch font.
#pragma once

#include "app/win32_api.h"

#include "engine/draw.h"
#include "settings/progress.h"

#include <string>

namespace nimbrel {

class TThinking_box : public ProgressBox, public AlertSink {
  public:
    TThinking_box();
    ~TThinking_box() override;
    TThinking_box(const TThinking_box&) = delete;
    TThinking_box& operator=(const TThinking_box&) = delete;

    void Think_show(const std::string& text) override;
    void Think_show_bar(const std::string& text) override;
    ProgressBar& Think_bar() override { return bar_; }
    void Think_hide() override;
    void Think_alert(const std::string& text) override;
    void alert(const std::string& text) override { Think_alert(text); }

    std::uint32_t pause_ms = 500; // how long an alert stays up
    SIZE char_size() const { return char_size_; }
    int dpi() const { return font_dpi_; } // the resolution the font and layout were made for
    const std::string& message() const { return text_; }
    bool bar_shown() const { return bar_visible_; }
    HWND bar_window() const { return bar_.window; }
    HWND WindowHandle() const { return window_; }

  private:
    // The template's progress bar.
    struct Bar : ProgressBar {
        HWND window = nullptr;
        int max = 100, position = 0; // kept for a bar made later
        void set_max(int max) override;
        void set_position(int position) override;
        void apply() const;
    };

    static INT_PTR CALLBACK dialog_proc(HWND, UINT, WPARAM, LPARAM);
    HWND window(); // made from the template on first use
    void show(const std::string& text, bool with_bar);
    void paint(HDC dc);
    // The font at `dpi` and the size of one of its characters.
    void use_dpi(int dpi);

    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    int font_dpi_ = 0;
    SIZE char_size_{};
    int bar_panel_ = 0;
    std::string text_ = "You should not see this";
    bool bar_visible_ = false;
    Bar bar_;
};

// The program's one box, made on first use; Release_thinking_box destroys it (the entry
// procedure does, once nothing is left to report).
TThinking_box& Thinking_box_form();
void Release_thinking_box();

// Forwards to the one box, making it only when something is shown: what the entry procedure
// installs for the settings file and the engine.
class Thinking_box_proxy : public ProgressBox, public AlertSink {
  public:
    void Think_show(const std::string& text) override { Thinking_box_form().Think_show(text); }
    void Think_show_bar(const std::string& text) override {
        Thinking_box_form().Think_show_bar(text);
    }
    ProgressBar& Think_bar() override { return Thinking_box_form().Think_bar(); }
    void Think_hide() override { Thinking_box_form().Think_hide(); }
    void Think_alert(const std::string& text) override { Thinking_box_form().Think_alert(text); }
    void alert(const std::string& text) override { Think_alert(text); }
};
Thinking_box_proxy& thinking_box_proxy();

} // namespace nimbrel
