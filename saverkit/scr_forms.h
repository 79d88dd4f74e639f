// The kit's form bases. TScrBase: a form with the run mode it serves (Purpose), an in-use mark
// and an optional window to be created under. TScrForm: saver and preview forms, which end a
// full-screen run on user input. TScrDialog: configuration and password dialogs, which start
// the live preview in their monitor picture.
#pragma once

#include "saverkit/dismissal.h"
#include "saverkit/form.h"
#include "saverkit/scr_mode.h"

#include <cstdint>

namespace nimbrel {

class TScrBase : public TForm {
  public:
    explicit TScrBase(TComponent* owner);
    const char* ClassName() const override { return "TScrBase"; }

    TScrMode Purpose = smSaver;
    bool InUse = false; // serving a mode now; the controller will not hand it to another

    // A window to create the form's window under (its owner when top level).
    virtual void SetParentHandle(HWND parent);

  protected:
    void CreateParams(TCreateParams& params) override;

  private:
    HWND parent_handle_ = nullptr;
    bool has_parent_handle_ = false;
};

class TScrForm : public TScrBase {
  public:
    explicit TScrForm(TComponent* owner);
    const char* ClassName() const override { return "TScrForm"; }

    // The mode the controller runs the form in (smSFull, smSPMain, smSPConfig).
    TScrMode RunMode() const { return run_mode_; }
    void SetRunMode(TScrMode mode) { run_mode_ = mode; }

    std::uint32_t PasswordDelay() const { return password_delay_; }
    std::uint32_t MouseThreshold() const { return dismiss_.mouse_threshold; }
    bool Mute() const { return mute_; } // the saver is to be silent
    bool DialogActive() const { return dismiss_.dialog_active; }

    TNotifyEvent OnScrBeginDialog;
    TNotifyEvent OnScrEndDialog;

    virtual void ReadSaverSettings();
    virtual bool CanDismiss();
    virtual bool NeedPassword();
    virtual bool CheckPassword();
    virtual bool VerifyPassword();
    virtual void BeginDialog();
    virtual void EndDialog();

  protected:
    // Called after an input or activation message has been handled.
    virtual void InputMessage(UINT /*message*/, WPARAM /*wparam*/, LPARAM /*lparam*/) {}
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;

  private:
    DismissState dismiss_;
    TScrMode run_mode_ = smNone;
    TScrAction action_ = saNone;
    bool closing_ = false;
    bool in_wnd_proc_ = false;
    bool mute_ = true;
    std::uint32_t start_tick_ = 0;
    std::uint32_t password_delay_ = 100;
};

// What a dialog needs of the general options page and of the monitor picture, which live in
// their own files.
class TScrGeneralHooks {
  public:
    virtual void SetAllowMute(bool allow) = 0;
    virtual void SetRequirePassword(TRequirePassword require) = 0;

  protected:
    ~TScrGeneralHooks() = default;
};

class TScrMonitorHooks {
  public:
    virtual bool IsPreviewUse() const = 0; // Use is smuPreview

  protected:
    ~TScrMonitorHooks() = default;
};

class TScrDialog : public TScrBase {
  public:
    explicit TScrDialog(TComponent* owner);
    const char* ClassName() const override { return "TScrDialog"; }

    virtual bool IsConfigPurpose() const;
    // Finds the options page and the preview monitor among the components. A descendant calls
    // it at the end of its constructor, once its components exist; window creation runs it
    // otherwise.
    virtual void AfterConstruction();
    TWinControl* PreviewMonitor() const { return preview_monitor_; }

  protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;

  private:
    void start_preview();

    TWinControl* preview_monitor_ = nullptr;
    bool constructed_ = false;
    bool icons_swapped_ = false;
    HICON old_big_icon_ = nullptr;
    HICON old_small_icon_ = nullptr;
};

} // namespace nimbrel
