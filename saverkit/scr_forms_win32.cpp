#include "saverkit/scr_forms_win32.h"

#include "saverkit/saver_registry_win32.h"
#include "saverkit/scr_control_win32.h"

#include <cctype>
#include <cstring>

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

bool is_input_message(UINT message) {
    switch (message) {
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
    case WM_KEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return true;
    default:
        return false;
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
TScrBase::TScrBase(TComponent* owner) : TForm(owner) {}

void TScrBase::SetParentHandle(HWND parent) {
    parent_handle_ = parent;
    has_parent_handle_ = true;
}

void TScrBase::CreateParams(TCreateParams& params) {
    TForm::CreateParams(params);
    if (has_parent_handle_) params.WndParent = parent_handle_;
}

// ---------------------------------------------------------------------------------------------
TScrForm::TScrForm(TComponent* owner) : TScrBase(owner) {
    Purpose = smSaver;
    ReadSaverSettings();
}

void TScrForm::ReadSaverSettings() {
    const SaverRegistrySettings settings = ReadSaverRegistrySettings();
    password_delay_ = settings.password_delay;
    dismiss_.mouse_threshold = settings.mouse_threshold;
    mute_ = settings.mute;
    if (TScrControl* control = GetScrControl(); control && !control->AllowMute) mute_ = true;
}

void TScrForm::CreateParams(TCreateParams& params) {
    TScrBase::CreateParams(params);
    if (GetScrMode() == smSFull && GetScrControl()) params.ExStyle |= WS_EX_TOPMOST;
}

LRESULT TScrForm::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_SETCURSOR && run_mode_ == smSFull && !Cursor && !dismiss_.dialog_active) {
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
        result = TScrBase::WndProc(message, wparam, lparam);
    restore.flag = nested;

    if (message == WM_SYSCOMMAND && run_mode_ == smSFull &&
        (command == SC_SCREENSAVE || command == SC_CLOSE))
        result = 0;
    if (message == CM_SCR && wparam == 1) result = reinterpret_cast<LRESULT>(this);
    if (is_input_message(message)) InputMessage(message, wparam, lparam);

    if (action_ != saNone && !nested && control && action_ == saClose && CanDismiss()) {
        closing_ = true;
        Close();
        closing_ = false;
    }
    return result;
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
    if (auto handler = OnScrBeginDialog) handler(this);
}

void TScrForm::EndDialog() {
    dismiss_.dialog_active = false;
    ShowCursor(FALSE);
    // Movement made while typing the password must not dismiss again.
    dismiss_.start_pos = pointer_position();
    if (auto handler = OnScrEndDialog) handler(this);
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

TScrDialog::TScrDialog(TComponent* owner, const char* template_name)
    : TScrBase(owner), template_(template_name) {
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
    if (message == WM_NCDESTROY) dialog->AdoptHandle(nullptr);
    return handled;
}

void TScrDialog::init(HWND window) {
    AdoptHandle(window);
    if (IsConfigPurpose()) {
        if (TScrGeneralHooks* hooks = GeneralPage(); hooks && GetScrControl()) {
            hooks->SetAllowMute(GetScrControl()->AllowMute);
            hooks->SetRequirePassword(GetScrControl()->RequirePassword);
        }
    }
    icons_swapped_ = IsConfigPurpose() && Application;
    if (icons_swapped_) {
        const auto icon = reinterpret_cast<LPARAM>(Application->Icon());
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
