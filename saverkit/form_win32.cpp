#include "saverkit/form_win32.h"

#include "saverkit/dpi.h"
#include "saverkit/dpi_win32.h"
#include "saverkit/scr_mode.h"

#include <algorithm>
#include <stdexcept>

namespace nimbrel {

TApplication* Application = nullptr;

namespace {

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

// Posted to a form that closed with caFree: it frees itself once its handler has returned.
constexpr UINT kReleaseMessage = WM_APP + 0x3F00;

// A child window is shown without the activation, which stays with its top-level window; a
// top-level one (with or without an owner) is activated, as the user expects of a new window.
int show_command(HWND window) {
    return (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) ? SW_SHOWNA : SW_SHOWNORMAL;
}

} // namespace

// ---------------------------------------------------------------------------------------------
TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
    DestroyComponents(); // only does work for a component deleted without Free()
    if (owner_) {
        auto& list = owner_->components_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

void TComponent::Free() {
    if (destroying_) return;
    destroying_ = true;
    BeforeDestruction();
    delete this;
}

void TComponent::BeforeDestruction() {
    DestroyComponents();
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        TComponent* last = components_.back();
        components_.pop_back();
        last->owner_ = nullptr;
        last->Free();
    }
}

// ---------------------------------------------------------------------------------------------
TWinControl::TWinControl(TComponent* owner) : TComponent(owner) {}

TWinControl::~TWinControl() = default;

HWND TWinControl::Handle() {
    if (!hwnd()) CreateWnd();
    return hwnd();
}

void TWinControl::DestroyHandle() {
    if (!hwnd()) return;
    const bool was = destroying_window_;
    destroying_window_ = true;
    DestroyWnd();
    destroying_window_ = was;
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.ClassName = ClassName();
    params.Caption = caption_;
    params.Style = WS_CLIPCHILDREN | (parent_window_ ? WS_CHILD : WS_POPUP);
    params.X = left_;
    params.Y = top_;
    params.Width = width_;
    params.Height = height_;
    params.WndParent = parent_window_;
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    if (!Create({params.ClassName.c_str(), params.ClassStyle, params.Background, params.Cursor},
                params.Caption.c_str(), params.Style, params.ExStyle, params.X, params.Y,
                params.Width, params.Height, params.WndParent, params.Id))
        throw std::runtime_error("Error creating window " + params.ClassName);
    take_bounds_from_window();
}

void TWinControl::DestroyWnd() {
    // Its messages still come here: the form learns that its window went.
    if (hwnd()) DestroyWindow(hwnd());
}

void TWinControl::take_bounds_from_window() {
    if (!hwnd()) return;
    RECT r{};
    GetWindowRect(hwnd(), &r);
    if (GetWindowLongPtrA(hwnd(), GWL_STYLE) & WS_CHILD)
        MapWindowPoints(HWND_DESKTOP, GetParent(hwnd()), reinterpret_cast<POINT*>(&r), 2);
    left_ = r.left;
    top_ = r.top;
    width_ = r.right - r.left;
    height_ = r.bottom - r.top;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (hwnd())
        SetWindowPos(hwnd(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

int TWinControl::ClientWidth() const {
    if (!hwnd()) return width_;
    RECT r{};
    GetClientRect(hwnd(), &r);
    return r.right - r.left;
}

int TWinControl::ClientHeight() const {
    if (!hwnd()) return height_;
    RECT r{};
    GetClientRect(hwnd(), &r);
    return r.bottom - r.top;
}

void TWinControl::SetParentWindow(HWND parent) {
    if (parent == parent_window_) return;
    if (hwnd() && parent_window_ && parent) {
        parent_window_ = parent;
        SetParent(hwnd(), parent);
        return;
    }
    // Between child and top level the window styles differ: make the window anew.
    const bool was_visible = visible_ && hwnd();
    DestroyHandle();
    parent_window_ = parent;
    if (was_visible) ShowWindow(Handle(), show_command(Handle()));
}

void TWinControl::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (hwnd()) SetWindowTextA(hwnd(), caption_.c_str());
}

void TWinControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (visible) {
        Handle();
        DoShow();
        if (visible_ && hwnd()) ShowWindow(hwnd(), show_command(hwnd()));
    } else {
        if (hwnd()) ShowWindow(hwnd(), SW_HIDE);
        DoHide();
    }
}

void TWinControl::Invalidate() {
    if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_WINDOWPOSCHANGED: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lparam);
        if ((pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE))
            take_bounds_from_window();
        break;
    }
    case WM_DESTROY:
        // Destroyed from outside (with its parent): the object lives on, hidden.
        if (!destroying_window_ && visible_) {
            visible_ = false;
            DoHide();
        }
        break;
    default:
        break;
    }
    return Window::WndProc(message, wparam, lparam);
}

void TWinControl::BeforeDestruction() {
    DestroyHandle();
    TComponent::BeforeDestruction();
}

// ---------------------------------------------------------------------------------------------
TForm::TForm(TComponent* owner) : TWinControl(owner) {}

void TForm::SetBorderStyle(TBorderStyle style) {
    if (style == border_style_) return;
    border_style_ = style;
    if (!HandleAllocated()) return;
    TCreateParams params;
    CreateParams(params);
    SetWindowLongPtrA(WindowHandle(), GWL_STYLE,
                      static_cast<LONG_PTR>(params.Style | (Visible() ? WS_VISIBLE : 0)));
    SetWindowLongPtrA(WindowHandle(), GWL_EXSTYLE, static_cast<LONG_PTR>(params.ExStyle));
    SetWindowPos(WindowHandle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TForm::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    const DWORD base = params.Style & ~WS_POPUP;
    const bool child = (params.Style & WS_CHILD) != 0;
    switch (border_style_) {
    case TBorderStyle::bsNone:
        params.Style = base | (child ? 0 : WS_POPUP);
        break;
    case TBorderStyle::bsSizeable:
        params.Style = base | WS_OVERLAPPEDWINDOW;
        break;
    }
}

void TForm::Close() {
    if (!CloseQuery()) return;
    TCloseAction action = TCloseAction::caHide;
    DoClose(action);
    if (action == TCloseAction::caNone) return;
    if (Application && Application->MainForm() == this)
        Application->Terminate();
    else if (action == TCloseAction::caHide)
        Hide();
    else if (HandleAllocated())
        PostMessageA(WindowHandle(), kReleaseMessage, 0, 0);
    else
        Free();
}

bool TForm::CloseQuery() {
    return true;
}

bool TForm::realize_palette(bool background) {
    HPALETTE palette = GetPalette();
    if (!palette || !HandleAllocated()) return false;
    HDC dc = GetDC(WindowHandle());
    if (!dc) return false;
    HPALETTE previous = SelectPalette(dc, palette, background ? TRUE : FALSE);
    const UINT changed = RealizePalette(dc);
    SelectPalette(dc, previous, TRUE);
    ReleaseDC(WindowHandle(), dc);
    if (changed != GDI_ERROR && changed > 0) InvalidateRect(WindowHandle(), nullptr, FALSE);
    return true;
}

LRESULT TForm::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CREATE:
        dpi_ = WindowDpi(WindowHandle());
        break;
    case WM_CLOSE:
        Close();
        return 0;
    case WM_ERASEBKGND: {
        RECT r{};
        GetClientRect(WindowHandle(), &r);
        HBRUSH brush = CreateSolidBrush(Color);
        FillRect(reinterpret_cast<HDC>(wparam), &r, brush);
        DeleteObject(brush);
        return 1;
    }
    case WM_SETCURSOR:
        if (Cursor && LOWORD(lparam) == HTCLIENT) {
            SetCursor(Cursor);
            return TRUE;
        }
        break;
    case WM_QUERYNEWPALETTE:
        if (realize_palette(false)) return TRUE;
        break;
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wparam) != WindowHandle() && realize_palette(true)) return 0;
        break;
    case kReleaseMessage:
        Free();
        return 0;
    case WM_DPICHANGED: {
        // Both words hold the new resolution; the old one is what the window was made at.
        const int old_dpi = dpi_ ? dpi_ : Design_dpi;
        dpi_ = HIWORD(wparam);
        DpiChanged(old_dpi, dpi_, *reinterpret_cast<const RECT*>(lparam));
        return 0;
    }
    default:
        break;
    }
    return TWinControl::WndProc(message, wparam, lparam);
}

void TForm::DpiChanged(int old_dpi, int new_dpi, const RECT& suggested) {
    const DpiRect r =
        Dpi_changed_bounds({Left(), Top(), Width(), Height()}, old_dpi,
                           {suggested.left, suggested.top, suggested.right - suggested.left,
                            suggested.bottom - suggested.top},
                           new_dpi);
    SetBounds(r.left, r.top, r.width, r.height);
}

void TForm::DoShow() {
    // A copy: the handler may replace itself.
    if (auto handler = OnShow) handler(this);
}

void TForm::DoHide() {
    // A copy: the handler may replace itself.
    if (auto handler = OnHide) handler(this);
}

void TForm::DoClose(TCloseAction& action) {
    if (auto handler = OnClose) handler(this, action);
}

void TForm::DoDestroy() {
    // A copy: the handler may replace itself.
    if (auto handler = OnDestroy) handler(this);
}

void TForm::BeforeDestruction() {
    if (Application) Application->forget_form(this);
    try {
        DoDestroy();
    } catch (...) {
        if (Application) Application->HandleException();
    }
    TWinControl::BeforeDestruction();
}

// ---------------------------------------------------------------------------------------------
TUtilityWindow::TUtilityWindow(Handler handler) : handler_(std::move(handler)) {
    if (!Create({"NimbrelUtilWindow"}, "", 0, 0, 0, 0, 0, 0, HWND_MESSAGE))
        throw std::runtime_error("Error creating a utility window");
}

LRESULT TUtilityWindow::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
    return handler_ ? handler_(hwnd(), message, wparam, lparam)
                    : Window::WndProc(message, wparam, lparam);
}

void HandleWindowException() {
    if (Application) Application->HandleException();
}

// ---------------------------------------------------------------------------------------------
namespace {

constexpr char kApplicationClass[] = "ZedezaridOvodiroApp";

} // namespace

TApplication::TApplication(HINSTANCE instance) : TComponent(nullptr), instance_(instance) {
    Application = this;
    icon_ = LoadIconA(instance_, "MAINICON");
    if (!icon_) icon_ = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
}

TApplication::~TApplication() {
    if (!Destroying()) BeforeDestruction();
    if (Application == this) Application = nullptr;
}

void TApplication::BeforeDestruction() {
    TComponent::BeforeDestruction();
    Destroy();
}

LRESULT TApplication::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
    // No other saver may start on top of the running one.
    if (message == WM_SYSCOMMAND && (wparam & 0xFFF0) == SC_SCREENSAVE && GetScrMode() == smSFull)
        return 0;
    return Window::WndProc(message, wparam, lparam);
}

void TApplication::Initialize() {
    if (hwnd()) return;
    if (!Create({kApplicationClass, CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW,
                 static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))},
                title_.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0,
                GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                nullptr)) {
        ShowMessageBox("Failed to register ZedezaridOvodiro window class", "Error");
        return;
    }
    if (icon_) SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
}

void TApplication::SetTitle(const std::string& title) {
    title_ = title;
    if (hwnd()) SetWindowTextA(hwnd(), title_.c_str());
}

void TApplication::Run() {
    if (main_form_ && ShowMainForm) main_form_->Show();
    MSG message{};
    while (!terminated_) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            terminated_ = true;
            break;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void TApplication::Terminate() {
    PostQuitMessage(0);
}

void TApplication::forget_form(TComponent* form) {
    if (main_form_ == form) main_form_ = nullptr;
}

void TApplication::HandleException() {
    try {
        throw;
    } catch (const std::exception& error) {
        if (OnException)
            OnException(error);
        else
            ShowException(error);
    } catch (...) {
        const std::runtime_error unknown("Unknown exception");
        if (OnException)
            OnException(unknown);
        else
            ShowException(unknown);
    }
}

void TApplication::ShowException(const std::exception& error) {
    std::string text = error.what();
    if (!text.empty() && text.back() != '.') text += '.';
    ShowMessageBox(text, title_, MB_OK | MB_ICONSTOP);
}

int TApplication::ShowMessageBox(const std::string& text, const std::string& caption, UINT flags) {
    return MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), flags);
}

} // namespace nimbrel
