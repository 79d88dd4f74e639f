// The kit's form bases. TScrBase: a form with the run mode it serves (Purpose), an in-use mark
// and an optional window to be created under. TScrForm: saver and preview forms, which end a
// full-screen run on user input. TScrDialog: configuration and password dialogs, which start
// the live preview in their monitor picture.
#pragma once

#include "saverkit/dismissal.h"
#include "saverkit/form_win32.h"
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

// What a dialog needs of the general options page, which lives in its own file.
class TScrGeneralHooks {
  public:
    virtual void SetAllowMute(bool allow) = 0;
    virtual void SetRequirePassword(TRequirePassword require) = 0;

  protected:
    ~TScrGeneralHooks() = default;
};

// A dialog made from a template in the program's resources and run by the system's dialog
// manager, which gives it modality, Tab order, the default and cancel buttons, mnemonics and
// focus, and scales it with the display's resolution.
class TScrDialog : public TScrBase {
  public:
    TScrDialog(TComponent* owner, const char* template_name = nullptr);
    const char* ClassName() const override { return "TScrDialog"; }

    virtual bool IsConfigPurpose() const;
    // Shows the dialog activated, owned by ParentWindow() (disabled meanwhile), and returns the
    // result EndModal gave; 0 when the template could not be made into a dialog.
    int ShowModal();
    void EndModal(int result);

  protected:
    // Messages of the dialog (and of the pages it runs through Page); true: handled.
    virtual INT_PTR DialogProc(UINT message, WPARAM wparam, LPARAM lparam);
    // The general options page, to be told the controller's rules; null: none.
    virtual TScrGeneralHooks* GeneralPage() { return nullptr; }
    // The window the live preview is shown in (the monitor picture); null: none.
    virtual HWND PreviewArea() { return nullptr; }
    // A child dialog of this one from `template_name`, whose messages come to DialogProc too.
    HWND Page(const char* template_name);

  private:
    static INT_PTR CALLBACK dialog_proc(HWND, UINT, WPARAM, LPARAM);
    void init(HWND window);
    void start_preview();

    const char* template_;
    bool icons_swapped_ = false;
    HICON old_big_icon_ = nullptr;
    HICON old_small_icon_ = nullptr;
};

// Registers `name` as a dialog class: the system's own, under a name of the program's.
bool EnsureDialogClass(const char* name);

} // namespace nimbrel
