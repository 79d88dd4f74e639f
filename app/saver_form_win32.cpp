#include "app/saver_form_win32.h"
#include "app/win32_api.h"

#include "app/display_timing_win32.h"
#include "app/gdi_target_win32.h"
#include "app/thinking_box_win32.h"
#include "saverkit/dpi.h"
#include "saverkit/dpi_win32.h"
#include "saverkit/scr_control_win32.h"
#include "saverkit/scr_mode.h"
#include "settings/random.h"

#include <stdexcept>

namespace nimbrel {
namespace {

constexpr UINT_PTR Change_timer_id = 1;
constexpr UINT Message_flags = DT_WORDBREAK | DT_CENTER | DT_NOCLIP | DT_NOPREFIX;

Nimbrel_Options& installed_options() {
    Nimbrel_Options* options = current_options();
    if (!options) throw std::logic_error("a saver window needs the options record");
    return *options;
}

RECT to_rect(const MessageRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

// An engine on another monitor's window, which repaints from it while it lives.
class OtherMonitorEngine : public WindowEngine {
  public:
    OtherMonitorEngine(HWND window, TSettings_Form& params)
        : WindowEngine(window, params, true, thinking_box_proxy()), window_(window) {
        MonitorBlankers::show_engine(window_, this);
    }
    ~OtherMonitorEngine() override { MonitorBlankers::show_engine(window_, nullptr); }

  private:
    HWND window_;
};

} // namespace

TSaverForm::TSaverForm() : options_(installed_options()), core_(*this, options_) {
    change_timer_ = TimerSetting{Message_tick_ms, false};
    Frame_timer->SetEnabled(false);
    Frame_timer->SetInterval(1000);
    Frame_timer->SetOnTimer([this] { core_.Frame_timer_event(); });
}

TSaverForm::~TSaverForm() {
    // A window destroyed while shown is never hidden: give back what showing took. The other
    // monitors' windows go before the engines they repaint from.
    blankers_.remove();
    core_.FormDestroy(); // stops the frame timer too
    release_pens();
    Frame_timer.reset();
    if (font_) DeleteObject(font_);
}

HFONT TSaverForm::message_font() {
    const int now = dpi();
    if (font_ && font_dpi_ == now) return font_;
    if (font_) DeleteObject(font_);
    font_dpi_ = now;
    font_ = CreateFontA(Font_height_for_points(8, now), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
    return font_;
}

Window::Class TSaverForm::WindowClass() const {
    // No background brush and no redraw on resizing: every pixel is painted by us, so nothing
    // flickers.
    return {ClassName(), CS_DBLCLKS};
}

void TSaverForm::CreateWnd() {
    TScrForm::CreateWnd();
    // A window made anew (moved between parents) gets its running timer back.
    change_timer(change_timer_);
}

void TSaverForm::FormShow() {
    pens_held_ = true;
    if (!pen_table().create_pens()) return; // the program is quitting
    core_.FormShow(GetScrMode() == smSPMain, time_of_day_ms(/*local=*/true));
    SetCursor(nullptr);
    if (RunMode() == smSFull) blankers_.cover(WindowHandle(), screen_layout());
}

ScreenLayout TSaverForm::screen_layout() {
    const bool hardware_palette = !(options_.Emulate_palette && window_needs_emulation(Handle()));
    return current_screen_layout(
        Rings_on_other_monitors(options_.Other_monitors, hardware_palette));
}

void TSaverForm::fit_to_screens() {
    const ScreenLayout layout = screen_layout();
    const ScreenRect& r = layout.saver;
    SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    blankers_.cover(WindowHandle(), layout);
    core_.Display_changed();
}

void TSaverForm::FormHide() {
    blankers_.remove();
    core_.FormHide();
    release_pens();
}

void TSaverForm::release_pens() {
    if (!pens_held_) return;
    pens_held_ = false;
    pen_table().delete_pens();
}

HPALETTE TSaverForm::GetPalette() {
    if (WindowEngine* e = engine()) {
        if (HPALETTE palette = e->palette()) return palette;
    }
    return TScrForm::GetPalette();
}

void TSaverForm::paint(HDC dc) {
    RECT r{};
    GetClientRect(WindowHandle(), &r);
    WindowEngine* e = engine();
    if (e && e->present(dc, r.right, r.bottom)) return;
    // No frame to show: before the rings, in the error state, and on a display with a hardware
    // palette, whose picture lives only on the screen.
    PatBlt(dc, 0, 0, r.right, r.bottom, BLACKNESS);
    // Before the rings run, the message is part of the picture.
    if (!e && core_.msg_laid_out() && !options_.Error_text.empty()) {
        HGDIOBJ previous = SelectObject(dc, message_font());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        RECT m = to_rect(core_.msg_rect());
        DrawTextA(dc, options_.Error_text.c_str(), static_cast<int>(options_.Error_text.size()), &m,
                  Message_flags);
        SelectObject(dc, previous);
    }
}

LRESULT TSaverForm::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_TIMER:
        if (wparam == Change_timer_id) {
            core_.Change_timer_event();
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        return 1; // painted whole in WM_PAINT
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(WindowHandle(), &ps);
        paint(dc);
        EndPaint(WindowHandle(), &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        paint(reinterpret_cast<HDC>(wparam));
        return 0;
    case WM_DPICHANGED:
        // The window keeps its monitor's rectangle; the message is drawn anew at the new size.
        Invalidate();
        return 0;
    case WM_DISPLAYCHANGE: {
        // A monitor woke, was docked or changed its resolution: cover them all again.
        const LRESULT result = TScrForm::WndProc(message, wparam, lparam);
        if (RunMode() == smSFull && Visible() && HandleAllocated()) fit_to_screens();
        return result;
    }
    default:
        break;
    }
    return TScrForm::WndProc(message, wparam, lparam);
}

// ---------------------------------------------------------------------------------------------
int TSaverForm::width() const {
    return ClientWidth();
}

int TSaverForm::height() const {
    return ClientHeight();
}

int TSaverForm::dpi() const {
    return WindowDpi(WindowHandle());
}

void TSaverForm::fill_black() {
    if (!HandleAllocated()) return;
    HDC dc = GetDC(WindowHandle());
    if (!dc) return;
    PatBlt(dc, 0, 0, width(), height(), BLACKNESS);
    ReleaseDC(WindowHandle(), dc);
}

MessageRect TSaverForm::measure_text(const std::string& text, const MessageRect& r) {
    RECT rect = to_rect(r);
    HDC dc = GetDC(HandleAllocated() ? WindowHandle() : nullptr);
    if (!dc) return r;
    HGDIOBJ previous = SelectObject(dc, message_font());
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, Message_flags | DT_CALCRECT);
    SelectObject(dc, previous);
    ReleaseDC(HandleAllocated() ? WindowHandle() : nullptr, dc);
    return MessageRect{rect.left, rect.top, rect.right, rect.bottom};
}

void TSaverForm::draw_text(const std::string& text, const MessageRect& r, bool white) {
    if (!HandleAllocated()) return;
    HDC dc = GetDC(WindowHandle());
    if (!dc) return;
    HGDIOBJ previous = SelectObject(dc, message_font());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, white ? RGB(255, 255, 255) : RGB(0, 0, 0));
    RECT rect = to_rect(r);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, Message_flags);
    SelectObject(dc, previous);
    ReleaseDC(WindowHandle(), dc);
}

void TSaverForm::write_not_256_mode() {
    if (!HandleAllocated()) return;
    HDC dc = GetDC(WindowHandle());
    if (!dc) return;
    static const char text[] = "Not 256 colour mode !";
    HGDIOBJ previous = SelectObject(dc, message_font());
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, RGB(255, 255, 255));
    TextOutA(dc, 0, height() - Scale_for_dpi(16, dpi()), text, sizeof text - 1);
    SelectObject(dc, previous);
    ReleaseDC(WindowHandle(), dc);
}

void TSaverForm::change_timer(const TimerSetting& t) {
    change_timer_ = t;
    if (!HandleAllocated()) return;
    if (t.enabled && t.interval_ms > 0)
        SetTimer(WindowHandle(), Change_timer_id, t.interval_ms, nullptr);
    else
        KillTimer(WindowHandle(), Change_timer_id);
}

void TSaverForm::frame_timer(const TimerSetting& t) {
    Frame_timer->SetWaitForCompositor(t.wait_for_compositor);
    Frame_timer->SetPeriodMicros(t.period_us);
    Frame_timer->SetInterval(t.interval_ms);
    Frame_timer->SetEnabled(t.enabled);
}

Display_timing TSaverForm::display_timing() {
    return current_display_timing(HandleAllocated() ? WindowHandle() : nullptr);
}

ConfigDialogLink* TSaverForm::config_dialog() {
    TScrDialog* dialog = GetScrConfigDialog();
    if (!dialog) return nullptr;
    if (auto* link = dynamic_cast<ConfigDialogLink*>(dialog)) return link;
    // A dialog without a settings list still stops the cycling.
    static struct : ConfigDialogLink {
        void Fill_settings_list(int) override {}
    } no_list;
    return &no_list;
}

std::unique_ptr<RingAnimation> TSaverForm::make_engine(TSettings_Form& params) {
    HWND window = Handle();
    const bool emulate = options_.Emulate_palette && window_needs_emulation(window);
    return std::make_unique<WindowEngine>(window, params, emulate, thinking_box_proxy());
}

std::vector<std::unique_ptr<RingAnimation>> TSaverForm::make_other_engines(TSettings_Form& params) {
    // The other monitors show rings only without a hardware palette, so each emulates its own.
    std::vector<std::unique_ptr<RingAnimation>> engines;
    for (HWND window : blankers_.ring_windows()) {
        engines.push_back(std::make_unique<OtherMonitorEngine>(window, params));
    }
    return engines;
}

} // namespace nimbrel
