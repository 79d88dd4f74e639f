// TScrControl: turns the system's screen-saver start-up protocol into work for the
// application. It classifies the command line, finds or makes the form for the run mode, shows
// it (full screen, preview child, modal dialog) and ends the process when the mode is done.
#pragma once

#include "saverkit/command_line.h"
#include "saverkit/form_win32.h"
#include "saverkit/scr_forms_win32.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nimbrel {

class TProxy;

// A creation event: leave new_obj null to decline, or store a new form owned by `owner`.
using TScrCreateEvent = std::function<void(TComponent* owner, TComponent*& new_obj)>;
// A form class: makes a form owned by `owner`.
using TScrFormClass = std::function<TComponent*(TComponent* owner)>;

template <class T> TScrFormClass FormClass() {
    return [](TComponent* owner) -> TComponent* { return new T(owner); };
}

class TScrControl : public TComponent {
  public:
    explicit TScrControl(TComponent* owner);
    ~TScrControl() override;
    const char* ClassName() const override { return "TScrControl"; }

    bool AutoExecute = true;
    bool DisableSaverInputBehaviour = false; // input never ends a full-screen run
    bool AllowMute = true;                   // false: forms treat sound as muted
    TRequirePassword RequirePassword = rpNormal;

    TScrCreateEvent DoSaver, DoSFull, DoSPreview, DoSPConfig, DoSPMain;
    TScrCreateEvent DoConfig, DoCRegular, DoPasswordChange, DoPasswordVerify;

    // The form class for a purpose (Run sets the saver and configuration ones).
    void SetFormClass(TScrMode purpose, TScrFormClass form_class);

    virtual void FindForms();
    virtual void Execute();
    virtual void RunSaver();
    virtual void RunPreview(HWND host, bool main_preview);
    virtual void RunConfig(HWND parent, bool keep_running);
    virtual void RunPasswordChange(HWND parent);
    virtual bool RunPasswordVerify(HWND parent);
    virtual void SaverFormClose(TComponent* sender, TCloseAction& action);
    virtual void MainPreviewGone(TProxy* owner, HWND window, UINT message, WPARAM wparam,
                                 LPARAM lparam);
    virtual void ConfigPreviewGone(TProxy* owner, HWND window, UINT message, WPARAM wparam,
                                   LPARAM lparam);
    // Previews into a control (the dialog's monitor picture); before Execute it is remembered.
    virtual void PreviewInControl(HWND host);
    virtual bool VerifyPasswordFor(TScrForm* form);
    virtual void Run(const TScrFormClass& saver_class, const TScrFormClass& config_class);
    virtual void Start();
    // For a controller created on a form: starts when that form is the main one.
    void Loaded();

    bool Executed() const { return executed_; }
    HWND Handle() const { return window_ ? window_->Handle() : nullptr; }

    // The command line classified by every controller; null: the process's own. For tests.
    static void OverrideCommandLine(const char* line);

  protected:
    virtual LRESULT ControlWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  private:
    enum Kind {
        kSaver,
        kFull,
        kPreview,
        kMainPreview,
        kConfigPreview,
        kConfig,
        kRegular,
        kPasswordChange,
        kPasswordVerify,
        kKinds,
        kNoKind = kKinds,
    };
    enum class How { None, Slot, Event, Class };
    struct Slot {
        TScrBase* form = nullptr;
        TScrBase* hooked = nullptr; // whose OnDestroy we replaced
        TNotifyEvent saved_destroy;
    };

    static Kind kind_of(TScrMode purpose);
    TScrCreateEvent& event_of(Kind kind);
    How AcquireForm(TComponent*& result, Kind kind);
    void hold(Kind kind, TScrBase* form); // into an empty slot, OnDestroy hooked
    void hook(Kind kind);
    void unhook_all();
    void FormDestroyed(Kind kind, TComponent* sender);
    std::optional<ScrCommand> classify() const;
    void show_placeholder(HWND host, bool main_preview);
    TProxy* take_proxy();
    static TScrForm* published_preview_form();
    static void publish_preview_form(TScrForm* form);

    std::array<Slot, kKinds> slots_;
    std::array<TScrFormClass, kKinds> classes_;
    TCloseEvent saved_close_;
    TScrForm* closing_hooked_ = nullptr;
    std::unique_ptr<TUtilityWindow> window_;
    bool posted_ = false;
    HWND pending_host_ = nullptr;
    std::vector<TProxy*> free_proxies_; // front: the most recently freed
    bool executed_ = false;
};

// Process-wide state published by the controller.
TScrControl* GetScrControl();
TScrForm* GetScrPreviewForm();
TScrForm* GetScrSaverForm();
TScrDialog* GetScrConfigDialog();

// The kit's message boxes; tests replace the box with a hook (null restores it).
using ScrMessageBoxHook =
    std::function<int(HWND owner, const std::string& text, const std::string& caption)>;
void SetScrMessageBoxHook(ScrMessageBoxHook hook);
int ScrMessageBox(HWND owner, const std::string& text, const std::string& caption,
                  UINT flags = MB_OK);

} // namespace nimbrel
