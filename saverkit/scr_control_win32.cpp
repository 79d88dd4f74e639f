#include "saverkit/scr_control_win32.h"

#include "saverkit/saver_registry_win32.h"
#include "saverkit/scr_password_win32.h"
#include "saverkit/scr_preview_win32.h"

#include <algorithm>

namespace nimbrel {
namespace {

TScrControl* published_control = nullptr;
TScrForm* published_preview = nullptr;
TScrForm* published_saver = nullptr;
TScrDialog* published_config = nullptr;

std::optional<std::string> command_line_override;

RECT client_of(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return r;
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

void TScrControl::OverrideCommandLine(const char* line) {
    command_line_override = line ? std::optional<std::string>(line) : std::nullopt;
}

// ---------------------------------------------------------------------------------------------
TScrControl::TScrControl() {
    if (published_control)
        ScrMessageBox(nullptr, "Duplicate ScrControl objects found", "Program error");
    if (!RegisterPlaceholderClass())
        ScrMessageBox(nullptr, "Failed to register blurb window class", "Error");
    published_control = this;
    if (const auto command = classify()) SetScrMode(command->mode);
}

TScrControl::~TScrControl() {
    // Nothing published may point at a form that goes with us.
    for (const auto& form : forms_) {
        if (form.get() == published_preview) published_preview = nullptr;
        if (form.get() == published_saver) published_saver = nullptr;
        if (form.get() == published_config) published_config = nullptr;
    }
    forms_.clear();
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
template <class T>
T* TScrControl::acquire(T*& slot, const std::function<std::unique_ptr<T>()>& form_class) {
    if (slot && !slot->InUse) return slot;
    if (!form_class) return nullptr;
    std::unique_ptr<T> made = form_class();
    T* form = made.get();
    forms_.push_back(std::move(made));
    if (!slot) slot = form;
    return form;
}

// ---------------------------------------------------------------------------------------------
void TScrControl::Run(TScrFormClass saver_class, TScrDialogClass config_class) {
    if (saver_class) saver_class_ = std::move(saver_class);
    if (config_class) config_class_ = std::move(config_class);
    Start();
}

void TScrControl::Start() {
    EnsureSaverDefaults();
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
    TScrForm* form = acquire(full_, saver_class_);
    if (!form) {
        PostQuitMessage(0);
        return;
    }
    if (!published_saver) published_saver = form;

    form->InUse = true;
    form->SetRunMode(smSFull);
    form->SetBounds(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    form->SetParentWindow(nullptr);
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, TRUE, nullptr, 0);
    form->Show();
    // A window made before the mode was known is not topmost yet.
    if (form->HandleAllocated())
        SetWindowPos(form->WindowHandle(), HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TScrControl::SaverFormClose(TScrForm* form) {
    form->InUse = false;
    if (published_saver == form) published_saver = nullptr;
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, FALSE, nullptr, 0);
    PostQuitMessage(0);
}

void TScrControl::RunConfig(HWND parent, bool keep_running) {
    TScrDialog* dialog = acquire(config_, config_class_);
    if (!dialog) {
        ScrMessageBox(parent, "This screen saver has no settings to configure", "Screen saver");
        if (!keep_running) PostQuitMessage(0);
        return;
    }
    // The dialog's monitor picture is drawn from this bitmap: without it, no dialog.
    HBITMAP monitor = LoadBitmapA(GetModuleHandleA(nullptr), "SCRMONITOR");
    if (!monitor) {
        PostQuitMessage(0);
        return;
    }
    DeleteObject(monitor);

    dialog->InUse = true;
    if (!published_config) published_config = dialog;
    // The parent becomes the dialog's owner, which the modal run disables, and enables again
    // before the dialog hides: enabled only afterwards, it would not get the activation back.
    dialog->SetParentWindow(parent);
    try {
        dialog->ShowModal();
    } catch (...) {
        if (parent) EnableWindow(parent, TRUE);
        throw;
    }
    if (parent) EnableWindow(parent, TRUE);
    dialog->SetParentWindow(nullptr);
    dialog->InUse = false;
    PostQuitMessage(0);
    if (published_config == dialog) published_config = nullptr;
}

void TScrControl::RunPasswordChange(HWND parent) {
    if (RequirePassword == rpNever)
        ScrMessageBox(parent, "This screen saver does not use a password", "Screen saver");
    else
        ChangeSystemPassword(parent);
}

bool TScrControl::RunPasswordVerify(HWND parent) {
    return VerifySystemPassword(parent);
}

bool TScrControl::VerifyPasswordFor(TScrForm* form) {
    return RunPasswordVerify(form ? form->WindowHandle() : nullptr);
}

// ---------------------------------------------------------------------------------------------
// Previews.

TProxy* TScrControl::take_proxy() {
    if (free_proxies_.empty()) {
        proxies_.push_back(std::make_unique<TProxy>());
        return proxies_.back().get();
    }
    TProxy* proxy = free_proxies_.front();
    free_proxies_.erase(free_proxies_.begin());
    return proxy;
}

void TScrControl::show_placeholder(HWND host, bool main_preview) {
    // Placeholders whose hosts went are gone.
    placeholders_.erase(std::remove_if(placeholders_.begin(), placeholders_.end(),
                                       [](const auto& p) { return !p->hwnd(); }),
                        placeholders_.end());
    if (main_preview) {
        // The placeholder cannot tell us when the display-settings dialog goes; a proxy around
        // it can, so the preview process still ends with its host.
        TProxy* proxy = take_proxy();
        proxy->OnPxDestroy = [this](TProxy* owner, HWND window) { MainPreviewGone(owner, window); };
        proxy->Attach(host);
        if (!proxy->Handle()) {
            free_proxies_.insert(free_proxies_.begin(), proxy);
            PostQuitMessage(0); // no host to preview in
            return;
        }
        host = proxy->Handle();
    }
    placeholders_.push_back(MakePlaceholder(host));
}

void TScrControl::RunPreview(HWND host, bool main_preview) {
    TScrForm* form = acquire(main_preview ? main_preview_ : config_preview_, saver_class_);
    if (!form) {
        show_placeholder(host, main_preview);
        return;
    }
    if (!published_preview && (main_preview || GetScrMode() != smSPMain)) published_preview = form;

    TProxy* proxy = take_proxy();
    proxy->OnPxDestroy = [this, main_preview](TProxy* owner, HWND window) {
        if (main_preview)
            MainPreviewGone(owner, window);
        else
            ConfigPreviewGone(owner, window);
    };
    proxy->Attach(host);
    if (!proxy->Handle()) {
        // The host went away before we got here: nothing to show the form in.
        free_proxies_.insert(free_proxies_.begin(), proxy);
        if (published_preview == form) published_preview = nullptr;
        if (main_preview) PostQuitMessage(0);
        return;
    }

    form->InUse = true;
    form->SetRunMode(main_preview ? smSPMain : smSPConfig);
    form->SetParentWindow(proxy->Handle());
    const RECT r = client_of(host);
    form->SetBounds(0, 0, r.right - r.left, r.bottom - r.top);
    form->Show();
}

void TScrControl::ConfigPreviewGone(TProxy* proxy, HWND window) {
    if (HWND child = GetWindow(window, GW_CHILD)) {
        // A kit form answers with itself; take the answer only from a window that is ours.
        const auto answer = reinterpret_cast<TScrForm*>(SendMessageA(child, CM_SCR, 1, 0));
        auto* form = dynamic_cast<TScrForm*>(Window::FromHandle(child));
        if (form && form == answer) {
            form->Hide();
            form->InUse = false;
            form->SetParentWindow(nullptr);
            if (published_preview == form) published_preview = nullptr;
        }
    }
    if (std::find(free_proxies_.begin(), free_proxies_.end(), proxy) == free_proxies_.end())
        free_proxies_.insert(free_proxies_.begin(), proxy);
}

void TScrControl::MainPreviewGone(TProxy* proxy, HWND window) {
    ConfigPreviewGone(proxy, window);
    PostQuitMessage(0); // the display-settings dialog closed or chose another saver
}

void TScrControl::PreviewInControl(HWND host) {
    if (!executed_) {
        pending_host_ = host;
        return;
    }
    if (!host || !IsWindow(host)) return;
    HWND child = GetWindow(host, GW_CHILD);
    RunPreview(child ? child : host, false);
}

} // namespace nimbrel
