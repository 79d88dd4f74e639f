// TScrControl: turns the system's screen-saver start-up protocol into work for the
// application. It classifies the command line, makes the form for the run mode from the saver
// and configuration classes it was given (and keeps it: every form it made lives as long as the
// controller), shows it (full screen, preview child, modal dialog) and ends the process when
// the mode is done. Passwords are the system's.
#pragma once

#include "saverkit/command_line.h"
#include "saverkit/scr_forms_win32.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace nimbrel {

class TProxy;

// What the controller makes its forms with; null: none.
using TScrFormClass = std::function<std::unique_ptr<TScrForm>()>;
using TScrDialogClass = std::function<std::unique_ptr<TScrDialog>()>;

template <class T> auto FormClass() {
    return [] { return std::make_unique<T>(); };
}

class TScrControl {
  public:
    // Classifies the command line at once, so forms made before Run already see the mode.
    TScrControl();
    ~TScrControl();
    TScrControl(const TScrControl&) = delete;
    TScrControl& operator=(const TScrControl&) = delete;

    bool DisableSaverInputBehaviour = false; // input never ends a full-screen run
    bool AllowMute = true;                   // false: forms treat sound as muted
    TRequirePassword RequirePassword = rpNormal;

    // Sets the saver and configuration classes that are given, then Start.
    void Run(TScrFormClass saver_class, TScrDialogClass config_class);
    // Makes sure the system's saver values exist, then runs the mode of the command line.
    void Start();

    void Execute();
    void RunSaver();
    void RunPreview(HWND host, bool main_preview);
    void RunConfig(HWND parent, bool keep_running);
    void RunPasswordChange(HWND parent);
    bool RunPasswordVerify(HWND parent);
    // The full-screen saver closed: the run ends.
    void SaverFormClose(TScrForm* form);
    // The host of a preview went away (with the proxy window in it).
    void MainPreviewGone(TProxy* proxy, HWND window);
    void ConfigPreviewGone(TProxy* proxy, HWND window);
    // Previews into a control (the dialog's monitor picture); before Start it is remembered.
    void PreviewInControl(HWND host);
    bool VerifyPasswordFor(TScrForm* form);

    // The command line classified by every controller; null: the process's own. For tests.
    static void OverrideCommandLine(const char* line);

  private:
    // The slot's form unless it serves another mode now, else a new one of `form_class`, which
    // fills an empty slot; null when there is no class.
    template <class T> T* acquire(T*& slot, const std::function<std::unique_ptr<T>()>& form_class);
    std::optional<ScrCommand> classify() const;
    void show_placeholder(HWND host, bool main_preview);
    TProxy* take_proxy();

    // Destroyed in this order, last member first: the forms (whose windows may sit in proxy
    // windows) before the proxies and the placeholders.
    std::vector<std::unique_ptr<Window>> placeholders_;
    std::vector<std::unique_ptr<TProxy>> proxies_;
    std::vector<TProxy*> free_proxies_; // front: the most recently freed
    std::vector<std::unique_ptr<TScrBase>> forms_;
    // The forms held for each mode.
    TScrForm* full_ = nullptr;
    TScrForm* main_preview_ = nullptr;
    TScrForm* config_preview_ = nullptr;
    TScrDialog* config_ = nullptr;
    TScrFormClass saver_class_;
    TScrDialogClass config_class_;
    HWND pending_host_ = nullptr;
    bool executed_ = false;
};

// Process-wide state published by the controller.
TScrControl* GetScrControl();
TScrForm* GetScrPreviewForm();
TScrForm* GetScrSaverForm();
TScrDialog* GetScrConfigDialog();

} // namespace nimbrel
