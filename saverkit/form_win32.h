// A small window layer: components that own components, windows with a virtual window procedure,
// forms that show, hide, close and run modally, and the application object with its message loop.
//
// Lifetime rules:
// - A component is destroyed with Free() (or by its owner, or through Owned<T>). Free() first
//   runs BeforeDestruction() while the whole object is alive: a form raises OnDestroy and
//   destroys its window there, then every owned component is freed (last created first).
//   Only then do the C++ destructors run, so a derived destructor must not touch owned
//   components.
// - A window destroyed from outside (its parent went away) leaves its object alive without a
//   handle; Handle() makes a new window on demand.
#pragma once

#include "saverkit/window_win32.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace nimbrel {

class TComponent;
class TForm;

using TNotifyEvent = std::function<void(TComponent* sender)>;

class TComponent {
  public:
    explicit TComponent(TComponent* owner);
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;
    virtual ~TComponent();

    // BeforeDestruction, then delete. Safe on null.
    void Free();
    static void Free(TComponent* component) {
        if (component) component->Free();
    }

    TComponent* Owner() const { return owner_; }
    // Owned components in creation order.
    const std::vector<TComponent*>& Components() const { return components_; }
    bool Destroying() const { return destroying_; }
    virtual const char* ClassName() const { return "TComponent"; }

    std::string Name;

  protected:
    // Runs from Free() while the object is whole: frees the owned components.
    virtual void BeforeDestruction();
    void DestroyComponents();

  private:
    TComponent* owner_;
    std::vector<TComponent*> components_;
    bool destroying_ = false;
};

struct FreeDeleter {
    void operator()(TComponent* component) const { TComponent::Free(component); }
};
template <class T> using Owned = std::unique_ptr<T, FreeDeleter>;

// What CreateWnd turns into a window class and a CreateWindowEx call.
struct TCreateParams {
    std::string ClassName = "NimbrelWindow";
    UINT ClassStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    HBRUSH Background = nullptr;
    HCURSOR Cursor = nullptr; // null: the arrow
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = CW_USEDEFAULT, Y = CW_USEDEFAULT, Width = CW_USEDEFAULT, Height = CW_USEDEFAULT;
    HWND WndParent = nullptr; // parent of a child window, owner of a top-level one
    UINT_PTR Id = 0;          // control identifier of a child window
};

// A window object that belongs to an owner and makes its window on demand.
class TWinControl : public TComponent, public Window {
  public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;
    const char* ClassName() const override { return "TWinControl"; }

    HWND Handle(); // creates the window when there is none
    HWND WindowHandle() const { return hwnd(); }
    bool HandleAllocated() const { return hwnd() != nullptr; }
    void DestroyHandle();

    // Bounds in the parent's client coordinates (the screen's for top-level windows).
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetBounds(int left, int top, int width, int height);
    int ClientWidth() const;
    int ClientHeight() const;

    // A foreign window to live in: the window becomes its child. Null: top level again.
    HWND ParentWindow() const { return parent_window_; }
    void SetParentWindow(HWND parent);

    void SetCaption(const std::string& caption);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    void Invalidate();

  protected:
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWnd();
    virtual void DestroyWnd();
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;
    // Visibility changes: the window exists when these run.
    virtual void DoShow() {}
    virtual void DoHide() {}
    void BeforeDestruction() override;
    // A window the system made for this object (a dialog's); null: it is gone.
    void AdoptHandle(HWND window) {
        Adopt(window);
        visible_ = window != nullptr;
    }

  private:
    void take_bounds_from_window();

    HWND parent_window_ = nullptr;
    std::string caption_;
    int left_ = 0, top_ = 0, width_ = 320, height_ = 240;
    bool visible_ = false;
    bool destroying_window_ = false;

    friend class TForm;
};

enum class TBorderStyle { bsNone, bsSizeable };
enum class TCloseAction { caNone, caHide, caFree };

using TCloseEvent = std::function<void(TComponent* sender, TCloseAction& action)>;

constexpr int mrNone = 0, mrOk = 1, mrCancel = 2;

class TForm : public TWinControl {
  public:
    explicit TForm(TComponent* owner);
    const char* ClassName() const override { return "TForm"; }

    TBorderStyle BorderStyle() const { return border_style_; }
    void SetBorderStyle(TBorderStyle style);
    // Null: the default (arrow) cursor, which a full-screen saver hides.
    HCURSOR Cursor = nullptr;
    COLORREF Color = GetSysColor(COLOR_BTNFACE);

    // Asks CloseQuery, then OnClose, then hides or frees the form as OnClose decided. The main
    // form's close ends the application.
    void Close();
    virtual bool CloseQuery();
    int ModalResult = mrNone;

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnDestroy;
    TCloseEvent OnClose;

  protected:
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;
    // The palette to realise for this window when it gets the focus or the system palette
    // changes; null: none.
    virtual HPALETTE GetPalette() { return nullptr; }
    void DoShow() override;
    void DoHide() override;
    virtual void DoClose(TCloseAction& action);
    virtual void DoDestroy();
    void BeforeDestruction() override;
    // The window moved to a monitor of another resolution; `suggested` is the system's rectangle
    // for it there. Takes that rectangle; forms with a layout lay themselves out again too.
    virtual void DpiChanged(int old_dpi, int new_dpi, const RECT& suggested);

    // Realises GetPalette() in the window; false when there is none.
    bool realize_palette(bool background);

  private:
    TBorderStyle border_style_ = TBorderStyle::bsSizeable;
    int dpi_ = 0; // the resolution the window was made at
};

class TUtilityWindow : public Window {
  public:
    using Handler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
    explicit TUtilityWindow(Handler handler);
    HWND Handle() const { return hwnd(); }

  protected:
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;

  private:
    Handler handler_;
};

class TApplication : public TComponent, public Window {
  public:
    explicit TApplication(HINSTANCE instance = GetModuleHandleA(nullptr));
    ~TApplication() override;
    const char* ClassName() const override { return "TApplication"; }

    // Creates the hidden application window.
    void Initialize();
    HWND Handle() const { return hwnd(); }
    HINSTANCE Instance() const { return instance_; }

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title);
    HICON Icon() const { return icon_; }

    // The first form made through CreateForm, or one set here. Closing it ends the run.
    TForm* MainForm() const { return main_form_; }
    template <class T, class... Args> T* CreateForm(Args&&... args) {
        T* form = new T(this, std::forward<Args>(args)...);
        if (!main_form_) main_form_ = form;
        return form;
    }
    bool ShowMainForm = true;

    // Shows the main form (when ShowMainForm) and dispatches messages until the quit message.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }

    // Shows the exception being handled (call from a catch block) or the one given.
    void HandleException();
    void ShowException(const std::exception& error);
    // When set, HandleException hands exceptions here instead of showing them.
    std::function<void(const std::exception&)> OnException;
    int ShowMessageBox(const std::string& text, const std::string& caption, UINT flags = MB_OK);

  protected:
    void BeforeDestruction() override;
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;

  private:
    void forget_form(TComponent* form);
    friend class TForm;

    HINSTANCE instance_;
    std::string title_;
    HICON icon_ = nullptr;
    TForm* main_form_ = nullptr;
    bool terminated_ = false;
};

// The one application object of the process (null when none exists).
extern TApplication* Application;

// The application message the kit's windows talk with.
constexpr UINT CM_SCR = 0x8000; // WM_APP

} // namespace nimbrel
