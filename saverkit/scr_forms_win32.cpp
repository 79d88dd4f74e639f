#include "saverkit/scr_forms.h"

#include "saverkit/saver_registry.h"
#include "saverkit/scr_control.h"

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

bool same_name(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) !=
            std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

// Depth first: each component, then the components it owns.
template <class Match> TComponent* find_component(const TComponent& root, Match match) {
    for (TComponent* c : root.Components()) {
        if (match(*c)) return c;
        if (TComponent* inner = find_component(*c, match)) return inner;
    }
    return nullptr;
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
TScrDialog::TScrDialog(TComponent* owner) : TScrBase(owner) {
    Purpose = smConfig;
    SetBorderStyle(TBorderStyle::bsDialog);
    SetPosition(TPosition::poDefaultPosOnly);
    DialogKeys = true;
}

bool TScrDialog::IsConfigPurpose() const {
    return Purpose == smConfig || Purpose == smCRegular || Purpose == smCActive;
}

void TScrDialog::AfterConstruction() {
    constructed_ = true;
    if (IsConfigPurpose()) {
        TComponent* general = find_component(
            *this, [](const TComponent& c) { return same_name(c.ClassName(), "TScrGeneral"); });
        auto* hooks = dynamic_cast<TScrGeneralHooks*>(general);
        if (hooks && GetScrControl()) {
            hooks->SetAllowMute(GetScrControl()->AllowMute);
            hooks->SetRequirePassword(GetScrControl()->RequirePassword);
        }
        TComponent* monitor = find_component(*this, [](const TComponent& c) {
            auto* m = dynamic_cast<const TScrMonitorHooks*>(&c);
            return same_name(c.ClassName(), "TScrMonitor") && m && m->IsPreviewUse();
        });
        preview_monitor_ = dynamic_cast<TWinControl*>(monitor);
    }
    if (HandleAllocated()) PostMessageA(WindowHandle(), CM_SCR, 3, 0);
}

void TScrDialog::CreateParams(TCreateParams& params) {
    TScrBase::CreateParams(params);
    // Top level even with a parent window: that one becomes the owner.
    params.Style = WS_OVERLAPPEDWINDOW;
}

void TScrDialog::start_preview() {
    if (!IsConfigPurpose() || !preview_monitor_) return;
    preview_monitor_->HandleNeeded();
    if (TScrControl* control = GetScrControl()) control->PreviewInControl(preview_monitor_);
}

void TScrDialog::CreateWnd() {
    TScrBase::CreateWnd();
    if (!constructed_) AfterConstruction();
    start_preview();
}

LRESULT TScrDialog::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == CM_SCR && wparam == 3) {
        if (!GetScrControl()) {
            PostQuitMessage(0);
            return 0;
        }
        start_preview();
    }
    const LRESULT result = TScrBase::WndProc(message, wparam, lparam);
    if (message == WM_CREATE) {
        icons_swapped_ = IsConfigPurpose() && Application;
        if (icons_swapped_) {
            const auto icon = reinterpret_cast<LPARAM>(Application->Icon());
            old_big_icon_ =
                reinterpret_cast<HICON>(SendMessageA(WindowHandle(), WM_SETICON, ICON_BIG, icon));
            old_small_icon_ =
                reinterpret_cast<HICON>(SendMessageA(WindowHandle(), WM_SETICON, ICON_SMALL, icon));
        }
    } else if (message == WM_DESTROY && icons_swapped_) {
        SendMessageA(WindowHandle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(old_big_icon_));
        SendMessageA(WindowHandle(), WM_SETICON, ICON_SMALL,
                     reinterpret_cast<LPARAM>(old_small_icon_));
        icons_swapped_ = false;
    }
    return result;
}

} // namespace nimbrel
