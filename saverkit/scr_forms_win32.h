// The kit's form bases, each a window of its own. TScrBase: the run mode a form serves (Purpose),
// an in-use mark, the window it lives in or is owned by, and its palette. TScrForm: saver and
// preview forms, which make their window on demand, full screen or as a child of a preview
// window, and end a full-screen run on user input. TScrDialog: configuration and password
// dialogs, which start the live preview in their monitor picture.
#pragma once

#include "saverkit/dismissal.h"
#include "saverkit/scr_mode.h"
#include "saverkit/window_win32.h"

#include <cstdint>
#include <functional>

namespace nimbrel {

using TNotifyEvent = std::function<void()>;

constexpr int mrNone = 0, mrOk = 1, mrCancel = 2;

class TScrBase : public Window {
  public:
    TScrMode Purpose = smSaver;
    bool InUse = false; // serving a mode now; the controller will not hand it to another

    HWND WindowHandle() const { return hwnd(); }
    bool HandleAllocated() const { return hwnd() != nullptr; }
    // The window a form lives in, or a dialog's owner; null: a top-level window of its own.
    HWND ParentWindow() const { return parent_window_; }
    virtual void SetParentWindow(HWND parent) { parent_window_ = parent; }

  protected:
    // The palette to realise in the window when it gets the focus or the system palette
    // changes; null: none.
    virtual HPALETTE GetPalette() { return nullptr; }
    // Realises GetPalette() in the window; false when there is none.
    bool realize_palette(bool background);

    HWND parent_window_ = nullptr;
};

class TScrForm : public TScrBase {
  public:
    TScrForm();
    // Also the name of the window class.
    virtual const char* ClassName() const { return "TScrForm"; }

    HWND Handle(); // creates the window when there is none
    // Between a child and a top-level window the styles differ: a shown form is made anew.
    void SetParentWindow(HWND parent) override;
    // In the parent's client coordinates (the screen's for a top-level window).
    void SetBounds(int left, int top, int width, int height);
    int ClientWidth() const { return client_size().cx; }
    int ClientHeight() const { return client_size().cy; }
    bool Visible() const { return visible_; }
    void Show();
    void Hide();
    void Invalidate();
    // Unless CloseQuery refuses: the full-screen saver ends its run, any other form hides.
    void Close();

    // The mode the controller runs the form in (smSFull, smSPMain, smSPConfig).
    TScrMode RunMode() const { return run_mode_; }
    void SetRunMode(TScrMode mode) { run_mode_ = mode; }

    std::uint32_t PasswordDelay() const { return password_delay_; }
    std::uint32_t MouseThreshold() const { return dismiss_.mouse_threshold; }
    bool Mute() const { return mute_; } // the saver is to be silent

    virtual void ReadSaverSettings();
    virtual bool CloseQuery() { return true; }
    virtual bool CanDismiss();
    virtual bool NeedPassword();
    virtual bool CheckPassword();
    virtual bool VerifyPassword();
    virtual void BeginDialog();
    virtual void EndDialog();

  protected:
    // The window class: by default the class name, erased black.
    virtual Class WindowClass() const;
    virtual void CreateWnd();
    // Visibility changes: the window exists when these run. A window destroyed from outside
    // (with its parent) hides the form.
    virtual void FormShow() {}
    virtual void FormHide() {}
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;

  private:
    // What every form does with a message, once the dismissal rules have seen it.
    LRESULT window_message(UINT message, WPARAM wparam, LPARAM lparam);
    SIZE client_size() const;

    RECT bounds_{0, 0, 320, 240}; // left, top, right, bottom
    bool visible_ = false;
    DismissState dismiss_;
    TScrMode run_mode_ = smNone;
    TScrAction action_ = saNone;
    bool closing_ = false;
    bool in_wnd_proc_ = false;
    bool mute_ = true;
    std::uint32_t start_tick_ = 0;
    std::uint32_t password_delay_ = 100;
};

class TScrGeneral;

// A dialog made from a template in the program's resources and run by the system's dialog
// manager, which gives it modality, Tab order, the default and cancel buttons, mnemonics and
// focus, and scales it with the display's resolution.
class TScrDialog : public TScrBase {
  public:
    explicit TScrDialog(const char* template_name = nullptr);

    virtual bool IsConfigPurpose() const;
    // Shows the dialog activated, owned by ParentWindow() (disabled meanwhile), and returns the
    // result EndModal gave; 0 when the template could not be made into a dialog.
    int ShowModal();
    void EndModal(int result);
    int ModalResult = mrNone;

  protected:
    // Messages of the dialog (and of the pages it runs through Page); true: handled.
    virtual INT_PTR DialogProc(UINT message, WPARAM wparam, LPARAM lparam);
    // The general options page, to be told the controller's rules; null: none.
    virtual TScrGeneral* GeneralPage() { return nullptr; }
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
