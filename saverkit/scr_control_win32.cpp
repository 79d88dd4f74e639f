#include "saverkit/scr_control_win32.h"

#include "saverkit/saver_registry_win32.h"
#include "saverkit/scr_password_win32.h"
#include "saverkit/scr_preview_win32.h"

#include <cstdio>

namespace nimbrel {
namespace {

TScrControl* published_control = nullptr;
TScrForm* published_preview = nullptr;
TScrForm* published_saver = nullptr;
TScrDialog* published_config = nullptr;

ScrMessageBoxHook message_box_hook;
std::optional<std::string> command_line_override;

constexpr WPARAM kStartMessage = 3;

const char* name_or_empty(const TComponent* c) {
    return c ? c->Name.c_str() : "";
}

} // namespace

TScrControl* GetScrControl() {
    return published_control;
}
TScrForm* GetScrPreviewForm() {
    return published_preview;
}
TScrForm* GetScrSaverForm() {
    return published_saver;
}
TScrDialog* GetScrConfigDialog() {
    return published_config;
}

TScrForm* TScrControl::published_preview_form() {
    return published_preview;
}
void TScrControl::publish_preview_form(TScrForm* form) {
    published_preview = form;
}

void SetScrMessageBoxHook(ScrMessageBoxHook hook) {
    message_box_hook = std::move(hook);
}

int ScrMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
    if (message_box_hook) return message_box_hook(owner, text, caption);
    return MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

void TScrControl::OverrideCommandLine(const char* line) {
    command_line_override = line ? std::optional<std::string>(line) : std::nullopt;
}

// ---------------------------------------------------------------------------------------------
TScrControl::TScrControl(TComponent* owner) : TComponent(owner) {
    if (published_control) {
        ScrMessageBox(nullptr, "Duplicate ScrControl objects found", "Program error");
        char text[512];
        std::snprintf(text, sizeof(text), "This is %s on %s; other is %s on %s", Name.c_str(),
                      name_or_empty(owner), published_control->Name.c_str(),
                      name_or_empty(published_control->Owner()));
        ScrMessageBox(nullptr, text, "err");
    }
    if (!RegisterPlaceholderClass())
        ScrMessageBox(nullptr, "Failed to register blurb window class", "Error");
    // The main form is shown only when a mode shows it.
    if (Application) Application->ShowMainForm = false;
    published_control = this;
    // Early, so forms created before Execute already see the mode.
    if (const auto command = classify()) SetScrMode(command->mode);
}

TScrControl::~TScrControl() {
    unhook_all();
    window_.reset();
    if (published_control == this) published_control = nullptr;
}

std::optional<ScrCommand> TScrControl::classify() const {
    CommandLineSystem system;
    system.is_window = [](WindowId w) { return IsWindow(reinterpret_cast<HWND>(w)) != 0; };
    system.foreground_window = [] { return reinterpret_cast<WindowId>(GetForegroundWindow()); };
    system.external_preview = [] {
        HWND child = FindExternalPreview();
        if (!child) ScrMessageBox(nullptr, "Could not find ScrPrev for preview", "Error");
        return reinterpret_cast<WindowId>(child);
    };
    return ParseCommandLine(command_line_override ? *command_line_override : GetCommandLineA(),
                            system);
}

// ---------------------------------------------------------------------------------------------
TScrControl::Kind TScrControl::kind_of(TScrMode purpose) {
    switch (purpose) {
    case smSaver:
        return kSaver;
    case smSFull:
        return kFull;
    case smSPreview:
        return kPreview;
    case smSPMain:
        return kMainPreview;
    case smSPConfig:
        return kConfigPreview;
    case smConfig:
        return kConfig;
    case smCRegular:
        return kRegular;
    case smPasswordChange:
        return kPasswordChange;
    case smPasswordVerify:
        return kPasswordVerify;
    default:
        return kNoKind;
    }
}

TScrCreateEvent& TScrControl::event_of(Kind kind) {
    TScrCreateEvent* events[kKinds] = {&DoSaver,    &DoSFull,          &DoSPreview,
                                       &DoSPMain,   &DoSPConfig,       &DoConfig,
                                       &DoCRegular, &DoPasswordChange, &DoPasswordVerify};
    return *events[kind];
}

void TScrControl::SetFormClass(TScrMode purpose, TScrFormClass form_class) {
    const Kind kind = kind_of(purpose);
    if (kind != kNoKind) classes_[kind] = std::move(form_class);
}

TScrControl::How TScrControl::AcquireForm(TComponent*& result, Kind kind) {
    if (result) return How::None;
    TScrBase* held = slots_[kind].form;
    if (held && held->InUse) held = nullptr; // serving another mode
    if (held) {
        result = held;
        return How::Slot;
    }
    TComponent* owner = Application;
    if (TScrCreateEvent& event = event_of(kind)) {
        TComponent* made = nullptr;
        event(owner, made);
        result = made;
        return made ? How::Event : How::None;
    }
    if (classes_[kind]) {
        result = classes_[kind](owner);
        return result ? How::Class : How::None;
    }
    return How::None;
}

void TScrControl::hold(Kind kind, TScrBase* form) {
    if (slots_[kind].form) return;
    slots_[kind].form = form;
    hook(kind);
}

void TScrControl::hook(Kind kind) {
    Slot& slot = slots_[kind];
    if (!slot.form || slot.hooked == slot.form) return;
    if (slot.hooked) slot.hooked->OnDestroy = std::move(slot.saved_destroy);
    slot.hooked = slot.form;
    slot.saved_destroy = slot.form->OnDestroy;
    slot.form->OnDestroy = [this, kind](TComponent* sender) { FormDestroyed(kind, sender); };
}

void TScrControl::unhook_all() {
    for (Slot& slot : slots_) {
        if (slot.hooked) slot.hooked->OnDestroy = std::move(slot.saved_destroy);
        slot = Slot{};
    }
    if (closing_hooked_) {
        closing_hooked_->OnClose = std::move(saved_close_);
        closing_hooked_ = nullptr;
    }
}

void TScrControl::FormDestroyed(Kind kind, TComponent* sender) {
    Slot& slot = slots_[kind];
    TNotifyEvent previous = std::move(slot.saved_destroy);
    slot = Slot{};
    // Nothing published may point at a destroyed form.
    if (sender == published_preview) published_preview = nullptr;
    if (sender == published_saver) published_saver = nullptr;
    if (sender == published_config) published_config = nullptr;
    if (sender == closing_hooked_) {
        closing_hooked_ = nullptr;
        saved_close_ = nullptr;
    }
    if (previous) previous(sender);
}

// ---------------------------------------------------------------------------------------------
void TScrControl::Run(const TScrFormClass& saver_class, const TScrFormClass& config_class) {
    if (saver_class) classes_[kSaver] = saver_class;
    if (config_class) classes_[kConfig] = config_class;
    Start();
}

void TScrControl::Start() {
    EnsureSaverDefaults();
    if (!window_)
        window_ = std::make_unique<TUtilityWindow>(
            [this](HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
                return ControlWndProc(window, message, wparam, lparam);
            });
    if (!posted_) {
        PostMessageA(window_->Handle(), CM_SCR, kStartMessage, 0);
        posted_ = true;
    }
    if (!Owner() || Owner() == Application) FindForms();
}

void TScrControl::Loaded() {
    if (!AutoExecute) return;
    if (!Application || !Application->MainForm() ||
        static_cast<TComponent*>(Application->MainForm()) == Owner())
        Start();
    else
        PostQuitMessage(0);
}

LRESULT TScrControl::ControlWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == CM_SCR && wparam == kStartMessage && AutoExecute && !executed_) FindForms();
    return DefWindowProcA(window, message, wparam, lparam);
}

void TScrControl::FindForms() {
    if (Application) {
        const std::vector<TComponent*> components = Application->Components();
        for (TComponent* c : components) {
            auto* base = dynamic_cast<TScrBase*>(c);
            if (!base) continue;
            const Kind kind = kind_of(base->Purpose);
            if (kind == kNoKind) continue;
            const bool right_class = kind < kConfig ? dynamic_cast<TScrForm*>(base) != nullptr
                                                    : dynamic_cast<TScrDialog*>(base) != nullptr;
            slots_[kind].form = right_class ? base : nullptr; // a later one replaces an earlier
        }
    }
    for (int kind = 0; kind < kKinds; ++kind)
        hook(static_cast<Kind>(kind));
    executed_ = true;
    Execute();
}

void TScrControl::Execute() {
    const auto command = classify();
    if (!command) {
        PostQuitMessage(0);
        return;
    }
    SetScrMode(command->mode);
    published_control = this;
    if (HWND host = pending_host_) {
        pending_host_ = nullptr;
        PreviewInControl(host);
    }
    const HWND window = reinterpret_cast<HWND>(command->window);
    switch (command->mode) {
    case smSFull:
        RunSaver();
        break;
    case smSPMain:
        RunPreview(window, true);
        break;
    case smCRegular:
        RunConfig(window, false);
        break;
    case smPasswordChange:
        RunPasswordChange(window);
        PostQuitMessage(0);
        break;
    default:
        PostQuitMessage(0);
        break;
    }
}

void TScrControl::RunSaver() {
    TComponent* made = nullptr;
    AcquireForm(made, kFull);
    AcquireForm(made, kSaver);
    if (!made) {
        PostQuitMessage(0);
        return;
    }
    auto* form = dynamic_cast<TScrForm*>(made);
    if (!form) {
        made->Free();
        PostQuitMessage(0);
        return;
    }
    if (!published_saver) published_saver = form;
    hold(kFull, form);

    form->InUse = true;
    form->SetRunMode(smSFull);
    form->SetBorderStyle(TBorderStyle::bsNone);
    form->SetBounds(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    if (closing_hooked_ && closing_hooked_ != form) closing_hooked_->OnClose = saved_close_;
    saved_close_ = form->OnClose;
    closing_hooked_ = form;
    form->OnClose = [this](TComponent* sender, TCloseAction& action) {
        SaverFormClose(sender, action);
    };
    form->SetParentWindow(nullptr);
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, TRUE, nullptr, 0);
    form->Show();
    // A window made before the mode was known is not topmost yet.
    if (form->HandleAllocated())
        SetWindowPos(form->WindowHandle(), HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TScrControl::SaverFormClose(TComponent* sender, TCloseAction& action) {
    TCloseEvent previous = saved_close_;
    if (previous) previous(sender, action);
    if (auto* form = dynamic_cast<TScrForm*>(sender)) {
        if (form == closing_hooked_) {
            form->OnClose = previous; // the running handler is a copy, so this is safe
            closing_hooked_ = nullptr;
            saved_close_ = nullptr;
        }
        form->InUse = false;
        if (published_saver == form) published_saver = nullptr;
    }
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, FALSE, nullptr, 0);
    PostQuitMessage(0);
}

void TScrControl::RunConfig(HWND parent, bool keep_running) {
    TComponent* made = nullptr;
    AcquireForm(made, kRegular);
    AcquireForm(made, kConfig);
    if (!made) {
        ScrMessageBox(parent, "This screen saver has no settings to configure", "Screen saver");
        if (!keep_running) PostQuitMessage(0);
        return;
    }
    auto* dialog = dynamic_cast<TScrDialog*>(made);
    if (!dialog) {
        made->Free();
        PostQuitMessage(0);
        return;
    }
    // The dialog's monitor picture is drawn from this bitmap: without it, no dialog.
    HBITMAP monitor = LoadBitmapA(Application ? Application->Instance() : GetModuleHandleA(nullptr),
                                  "SCRMONITOR");
    if (!monitor) {
        PostQuitMessage(0);
        return;
    }
    DeleteObject(monitor);

    dialog->InUse = true;
    if (!published_config) published_config = dialog;
    hold(kRegular, dialog);
    // The parent becomes the dialog's owner, which the modal run disables, and enables again
    // before the dialog hides: enabled only afterwards, it would not get the activation back.
    if (parent) dialog->SetParentWindow(parent);
    try {
        dialog->ShowModal();
    } catch (...) {
        if (parent) EnableWindow(parent, TRUE);
        throw;
    }
    if (parent) EnableWindow(parent, TRUE);
    // Still ours: the dialog may have been destroyed while it ran.
    if (slots_[kRegular].form == dialog || published_config == dialog) {
        dialog->SetParentWindow(nullptr);
        dialog->InUse = false;
    }
    PostQuitMessage(0);
    if (published_config == dialog) published_config = nullptr;
}

void TScrControl::RunPasswordChange(HWND parent) {
    TComponent* made = nullptr;
    AcquireForm(made, kPasswordChange);
    if (auto* dialog = dynamic_cast<TScrDialog*>(made)) {
        hold(kPasswordChange, dialog);
        dialog->SetParentWindow(parent);
        dialog->ShowModal();
        return;
    }
    if (made) made->Free();
    if (RequirePassword == rpNever)
        ScrMessageBox(parent, "This screen saver does not use a password", "Screen saver");
    else
        ChangeSystemPassword(parent);
}

bool TScrControl::RunPasswordVerify(HWND parent) {
    TComponent* made = nullptr;
    AcquireForm(made, kPasswordVerify);
    if (auto* dialog = dynamic_cast<TScrDialog*>(made)) {
        hold(kPasswordVerify, dialog);
        dialog->SetParentWindow(parent);
        return dialog->ShowModal() != 0;
    }
    if (made) made->Free();
    return VerifySystemPassword(parent);
}

bool TScrControl::VerifyPasswordFor(TScrForm* form) {
    return RunPasswordVerify(form ? form->WindowHandle() : nullptr);
}

} // namespace nimbrel
