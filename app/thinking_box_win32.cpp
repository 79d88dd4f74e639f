#include "app/thinking_box_win32.h"
#include "app/win32_api.h"

#include "app/app_dialog_ids.h"
#include "app/thinking_box_layout.h"
#include "saverkit/dpi_win32.h"

#include <commctrl.h>

#include <memory>

namespace nimbrel {
namespace {

std::unique_ptr<TThinking_box> the_box;

} // namespace

TThinking_box& Thinking_box_form() {
    if (!the_box) the_box = std::make_unique<TThinking_box>();
    return *the_box;
}

void Release_thinking_box() {
    the_box.reset();
}

Thinking_box_proxy& thinking_box_proxy() {
    static Thinking_box_proxy proxy;
    return proxy;
}

TThinking_box::TThinking_box() {
    use_dpi(WindowDpi(nullptr));
}

HWND TThinking_box::window() {
    if (window_) return window_;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    CreateDialogParamA(GetModuleHandleA(nullptr), "THINKINGBOX", nullptr, dialog_proc,
                       reinterpret_cast<LPARAM>(this));
    bar_.window = window_ ? GetDlgItem(window_, IDC_THINK_BAR) : nullptr;
    return window_;
}

void TThinking_box::use_dpi(int dpi) {
    if (font_ && dpi == font_dpi_) return;
    if (font_) DeleteObject(font_);
    font_dpi_ = dpi;
    font_ = CreateFontA(Font_height_for_points(9, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        FIXED_PITCH | FF_MODERN, "Fixedsys");
    // The box is sized from one character of its font.
    HDC screen = GetDC(nullptr);
    if (screen) {
        HGDIOBJ previous = SelectObject(screen, font_);
        GetTextExtentPoint32A(screen, "8", 1, &char_size_);
        SelectObject(screen, previous);
        ReleaseDC(nullptr, screen);
    }
}

TThinking_box::~TThinking_box() {
    if (window_) DestroyWindow(window_);
    if (font_) DeleteObject(font_);
}

void TThinking_box::Bar::set_max(int m) {
    max = m;
    apply();
}

void TThinking_box::Bar::set_position(int p) {
    position = p;
    apply();
}

void TThinking_box::Bar::apply() const {
    if (!window) return;
    SendMessageA(window, PBM_SETRANGE32, 0, max);
    SendMessageA(window, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    // The caller keeps the thread busy while it packs: show the progress now.
    UpdateWindow(window);
}

void TThinking_box::show(const std::string& text, bool with_bar) {
    HWND window = this->window();
    if (!window) return;
    use_dpi(WindowDpi(window));
    const ThinkingBoxLayout l =
        thinking_box_layout(text, char_size_.cx, char_size_.cy, GetSystemMetrics(SM_CXSCREEN),
                            GetSystemMetrics(SM_CYSCREEN), with_bar, font_dpi_);
    bar_panel_ = l.bar_panel;
    bar_visible_ = false;
    if (bar_.window) ShowWindow(bar_.window, SW_HIDE);
    SetWindowPos(window, nullptr, l.box.left, l.box.top, l.box.width, l.box.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    text_ = text;
    if (with_bar) {
        const int top = l.box.height - l.bar_panel + l.bar.top;
        SetWindowPos(bar_.window, nullptr, l.bar.left, top, l.bar.width, l.bar.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        bar_.apply();
        bar_visible_ = true;
        if (bar_.window) ShowWindow(bar_.window, SW_SHOWNA);
    }
    ShowWindow(window, SW_SHOWNOACTIVATE);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // The caller goes on working without returning to the message loop: paint now.
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

void TThinking_box::Think_show(const std::string& text) {
    show(text, false);
}

void TThinking_box::Think_show_bar(const std::string& text) {
    show(text, true);
}

void TThinking_box::Think_hide() {
    if (window_) ShowWindow(window_, SW_HIDE);
    bar_visible_ = false;
    if (bar_.window) ShowWindow(bar_.window, SW_HIDE);
}

void TThinking_box::Think_alert(const std::string& text) {
    Think_show(text);
    Sleep(pause_ms);
    Think_hide();
}

void TThinking_box::paint(HDC dc) {
    RECT r{};
    GetClientRect(window_, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    RECT message = r;
    if (bar_visible_) {
        message.bottom -= bar_panel_;
        RECT panel = r;
        panel.top = message.bottom;
        InflateRect(&panel, -1, -1);
        DrawEdge(dc, &panel, BDR_SUNKENINNER, BF_RECT);
    }
    RECT bevel = message;
    InflateRect(&bevel, -1, -1);
    DrawEdge(dc, &bevel, BDR_SUNKENINNER, BF_RECT);
    HGDIOBJ previous = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    DrawTextA(dc, text_.c_str(), static_cast<int>(text_.size()), &message,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    SelectObject(dc, previous);
}

INT_PTR CALLBACK TThinking_box::dialog_proc(HWND window, UINT message, WPARAM wparam,
                                            LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lparam);
        reinterpret_cast<TThinking_box*>(lparam)->window_ = window;
        return FALSE; // no focus for any control
    }
    auto* box = reinterpret_cast<TThinking_box*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!box) return FALSE;
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        box->paint(dc);
        EndPaint(window, &ps);
        return TRUE;
    }
    case WM_PRINTCLIENT:
        box->paint(reinterpret_cast<HDC>(wparam));
        return TRUE;
    case WM_MOUSEACTIVATE:
        SetWindowLongPtrA(window, DWLP_MSGRESULT, MA_NOACTIVATE);
        return TRUE;
    case WM_NCDESTROY:
        box->window_ = box->bar_.window = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace nimbrel
