#include "saverkit/scr_forms_win32.h"

#include "saverkit/saver_registry_win32.h"
#include "saverkit/scr_control_win32.h"
#include "saverkit/scr_general_win32.h"

#include <stdexcept>
#include <string>

namespace nimbrel {
namespace {

ScreenPoint pointer_position() {
    POINT p{};
    GetCursorPos(&p);
    return {p.x, p.y};
}

ScrInput classify(UINT message, WPARAM wparam) {
    switch (message) {
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
        return LOWORD(wparam) == 0 ? ScrInput::Deactivate : ScrInput::Other;
    case WM_CLOSE:
        return ScrInput::Close;
    case WM_DISPLAYCHANGE:
        return ScrInput::DisplayChange;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return ScrInput::Button;
    case WM_KEYDOWN:
        return ScrInput::Key;
    case WM_MOUSEMOVE:
        return ScrInput::MouseMove;
    default:
        return ScrInput::Other;
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
bool TScrBase::realize_palette(bool background) {
    HPALETTE palette = GetPalette();
    if (!palette || !hwnd()) return false;
    HDC dc = GetDC(hwnd());
    if (!dc) return false;
    HPALETTE previous = SelectPalette(dc, palette, background ? TRUE : FALSE);
    const UINT changed = RealizePalette(dc);
    SelectPalette(dc, previous, TRUE);
    ReleaseDC(hwnd(), dc);
    if (changed != GDI_ERROR && changed > 0) InvalidateRect(hwnd(), nullptr, FALSE);
    return true;
}

// ---------------------------------------------------------------------------------------------
TScrForm::TScrForm() {
    ReadSaverSettings();
}

Window::Class TScrForm::WindowClass() const {
    return {ClassName(), CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS,
            static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))};
}

HWND TScrForm::Handle() {
    if (!hwnd()) CreateWnd();
    return hwnd();
}

void TScrForm::CreateWnd() {
    const bool child = parent_window_ != nullptr;
    const DWORD ex_style = GetScrMode() == smSFull && GetScrControl() ? WS_EX_TOPMOST : 0;
    if (!Create(WindowClass(), "", WS_CLIPCHILDREN | (child ? WS_CHILD : WS_POPUP), ex_style,
                bounds_.left, bounds_.top, bounds_.right - bounds_.left,
                bounds_.bottom - bounds_.top, parent_window_))
        throw std::runtime_error(std::string("Error creating window ") + ClassName());
}

void TScrForm::SetParentWindow(HWND parent) {
    if (parent == parent_window_) return;
    if (hwnd() && parent_window_ && parent) {
        parent_window_ = parent;
        SetParent(hwnd(), parent);
        return;
    }
    const bool was_visible = visible_ && hwnd();
    Destroy();
    parent_window_ = parent;
    if (was_visible) ShowWindow(Handle(), parent ? SW_SHOWNA : SW_SHOWNORMAL);
}

void TScrForm::SetBounds(int left, int top, int width, int height) {
    bounds_ = RECT{left, top, left + width, top + height};
    if (hwnd())
        SetWindowPos(hwnd(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE TScrForm::client_size() const {
    RECT r = bounds_;
    if (hwnd()) GetClientRect(hwnd(), &r);
    return {r.right - r.left, r.bottom - r.top};
}

void TScrForm::Show() {
    if (visible_) return;
    visible_ = true;
    Handle();
    FormShow();
    // A child is shown without the activation, which stays with its top-level window.
    if (visible_ && hwnd()) ShowWindow(hwnd(), parent_window_ ? SW_SHOWNA : SW_SHOWNORMAL);
}

void TScrForm::Hide() {
    if (!visible_) return;
    visible_ = false;
    if (hwnd()) ShowWindow(hwnd(), SW_HIDE);
    FormHide();
}

void TScrForm::Invalidate() {
    if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
}

void TScrForm::Close() {
    if (!CloseQuery()) return;
    if (run_mode_ != smSFull)
        Hide();
    else if (TScrControl* control = GetScrControl(); control && InUse)
        control->SaverFormClose(this);
}

void TScrForm::ReadSaverSettings() {
    const SaverRegistrySettings settings = ReadSaverRegistrySettings();
    password_delay_ = settings.password_delay;
    dismiss_.mouse_threshold = settings.mouse_threshold;
    mute_ = settings.mute;
    if (TScrControl* control = GetScrControl(); control && !control->AllowMute) mute_ = true;
}

LRESULT TScrForm::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_SETCURSOR && run_mode_ == smSFull && !dismiss_.dialog_active) {
        SetCursor(nullptr); // the pointer is hidden over a running saver
        return TRUE;
    }
    const bool nested = in_wnd_proc_;
    if (!nested) action_ = saNone;
    in_wnd_proc_ = true;
    struct Restore {
        bool& flag;
        bool value;
        ~Restore() { flag = value; }
    } restore{in_wnd_proc_, nested};

    TScrControl* control = GetScrControl();
    dismiss_.full_screen = run_mode_ == smSFull;
    dismiss_.input_dismisses = control && !control->DisableSaverInputBehaviour;
    dismiss_.now_ms = GetTickCount();
    if (message == WM_CREATE) {
        if (!control) PostQuitMessage(0);
        dismiss_.start_pos = pointer_position();
        start_tick_ = GetTickCount();
    }
    const ScrInput input = classify(message, wparam);
    const DismissDecision decision = DecideInput(
        dismiss_, input, input == ScrInput::MouseMove ? pointer_position() : ScreenPoint{});
    if (decision.refuse_close) return 1;
    if (decision.action) action_ = *decision.action;

    const UINT command = static_cast<UINT>(wparam & 0xFFF0);
    // A close request that the dismissal below will carry out (after the password, if one is
    // needed) must not also close the form here, bypassing the password.
    const bool close_by_dismissal = input == ScrInput::Close && !nested && control;
    LRESULT result = 0;
    if (!(message == WM_SYSCOMMAND && command == SC_SCREENSAVE) && !close_by_dismissal)
        result = window_message(message, wparam, lparam);
    restore.flag = nested;

    if (message == WM_SYSCOMMAND && run_mode_ == smSFull &&
        (command == SC_SCREENSAVE || command == SC_CLOSE))
        result = 0;
    if (message == CM_SCR && wparam == 1) result = reinterpret_cast<LRESULT>(this);

    if (action_ != saNone && !nested && control && action_ == saClose && CanDismiss()) {
        closing_ = true;
        Close();
        closing_ = false;
    }
    return result;
}

LRESULT TScrForm::window_message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CLOSE:
        Close();
        return 0;
    case WM_QUERYNEWPALETTE:
        if (realize_palette(false)) return TRUE;
        break;
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wparam) != hwnd() && realize_palette(true)) return 0;
        break;
    case WM_DESTROY:
        // Destroyed from outside (with its parent): the object lives on, hidden.
        if (visible_) {
            visible_ = false;
            FormHide();
        }
        break;
    default:
        break;
    }
    return Window::WndProc(message, wparam, lparam);
}

bool TScrForm::CanDismiss() {
    if (closing_) return true;
    if (!CloseQuery()) return false;
    if (run_mode_ != smSFull) return true;
    if (!NeedPassword()) return true;
    return CheckPassword();
}

bool TScrForm::NeedPassword() {
    TScrControl* control = GetScrControl();
    PasswordPolicy policy;
    policy.has_controller = control != nullptr;
    policy.require = control ? control->RequirePassword : rpNormal;
    policy.elapsed_ms = GetTickCount() - start_tick_;
    policy.delay_seconds = password_delay_;
    return NeedPasswordRule(policy, SystemUsesSaverPassword);
}

bool TScrForm::CheckPassword() {
    BeginDialog();
    const bool accepted = VerifyPassword();
    EndDialog();
    return accepted;
}

bool TScrForm::VerifyPassword() {
    TScrControl* control = GetScrControl();
    if (!control) return true;
    const bool accepted = control->VerifyPasswordFor(this);
    if (accepted) start_tick_ = GetTickCount();
    return accepted;
}

void TScrForm::BeginDialog() {
    dismiss_.dialog_active = true;
    ShowCursor(TRUE);
}

void TScrForm::EndDialog() {
    dismiss_.dialog_active = false;
    ShowCursor(FALSE);
    // Movement made while typing the password must not dismiss again.
    dismiss_.start_pos = pointer_position();
}

// ---------------------------------------------------------------------------------------------
bool EnsureDialogClass(const char* name) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    if (GetClassInfoExA(instance, name, &wc)) return true;
    if (!GetClassInfoExA(nullptr, MAKEINTATOM(32770), &wc)) return false;
    wc.hInstance = instance;
    wc.lpszClassName = name;
    return RegisterClassExA(&wc) != 0;
}

TScrDialog::TScrDialog(const char* template_name) : template_(template_name) {
    Purpose = smConfig;
}

bool TScrDialog::IsConfigPurpose() const {
    return Purpose == smConfig || Purpose == smCRegular || Purpose == smCActive;
}

int TScrDialog::ShowModal() {
    if (!template_) return 0;
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), template_, ParentWindow(),
                                           dialog_proc, reinterpret_cast<LPARAM>(this));
    return result > 0 ? static_cast<int>(result) : 0;
}

void TScrDialog::EndModal(int result) {
    ModalResult = result;
    if (HWND window = WindowHandle()) ::EndDialog(window, result);
}

HWND TScrDialog::Page(const char* template_name) {
    return CreateDialogParamA(GetModuleHandleA(nullptr), template_name, WindowHandle(), dialog_proc,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK TScrDialog::dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<TScrDialog*>(lparam);
        SetWindowLongPtrA(window, DWLP_USER, lparam);
        if (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) return TRUE; // a page
        dialog->init(window);
        return dialog->DialogProc(message, wparam, lparam);
    }
    auto* dialog = reinterpret_cast<TScrDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!dialog) return FALSE;
    if (dialog->WindowHandle() != window) return dialog->DialogProc(message, wparam, lparam);
    switch (message) {
    case CM_SCR:
        if (wparam == 3) {
            if (!GetScrControl()) {
                PostQuitMessage(0);
                return TRUE;
            }
            // The program that started us is in the foreground, so we may take it over.
            SetForegroundWindow(window);
            dialog->start_preview();
            return TRUE;
        }
        break;
    case WM_QUERYNEWPALETTE:
        if (dialog->realize_palette(false)) {
            SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        break;
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wparam) != window) dialog->realize_palette(true);
        break;
    case WM_DESTROY:
        if (dialog->icons_swapped_) {
            SendMessageA(window, WM_SETICON, ICON_BIG,
                         reinterpret_cast<LPARAM>(dialog->old_big_icon_));
            SendMessageA(window, WM_SETICON, ICON_SMALL,
                         reinterpret_cast<LPARAM>(dialog->old_small_icon_));
            dialog->icons_swapped_ = false;
        }
        break;
    default:
        break;
    }
    const INT_PTR handled = dialog->DialogProc(message, wparam, lparam);
    if (message == WM_NCDESTROY) dialog->Adopt(nullptr);
    return handled;
}

void TScrDialog::init(HWND window) {
    Adopt(window);
    icons_swapped_ = IsConfigPurpose();
    if (icons_swapped_) {
        if (TScrGeneral* page = GeneralPage(); page && GetScrControl()) {
            page->SetAllowMute(GetScrControl()->AllowMute);
            page->SetRequirePassword(GetScrControl()->RequirePassword);
        }
        const auto icon = reinterpret_cast<LPARAM>(ApplicationIcon());
        old_big_icon_ = reinterpret_cast<HICON>(SendMessageA(window, WM_SETICON, ICON_BIG, icon));
        old_small_icon_ =
            reinterpret_cast<HICON>(SendMessageA(window, WM_SETICON, ICON_SMALL, icon));
    }
    PostMessageA(window, CM_SCR, 3, 0);
}

void TScrDialog::start_preview() {
    if (!IsConfigPurpose()) return;
    if (HWND area = PreviewArea())
        if (TScrControl* control = GetScrControl()) control->PreviewInControl(area);
}

INT_PTR TScrDialog::DialogProc(UINT, WPARAM, LPARAM) {
    return FALSE;
}

} // namespace nimbrel
