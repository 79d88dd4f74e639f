// The system's own controls (labels, buttons, check boxes, edits, lists, tabs, ...) as named
// components, and panels that hold them. A control keeps its state (caption, checks, items,
// bounds) while it has no window and gives it to the window when that is made, so forms can be
// put together in a constructor and shown later. Bounds are given in pixels at 96 dots per inch
// and scaled to the display's resolution.
//
// A control's notifications arrive at its parent window; every TControlHost passes them on to
// the control (ReflectMessage), so each control raises its own events.
#pragma once

#include "saverkit/form.h"

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace nimbrel {

// The resolution a window is shown at: GetDpiForWindow where the system has it (Windows 10 and
// later), else the LOGPIXELSY of the window's device context.
int WindowDpi(HWND window);
// The resolution the kit's forms are laid out at: the screen's until a form adopts the one of its
// window (one dialog is shown at a time). Scaled() and DialogFont() follow it.
int LayoutDpi();
void SetLayoutDpi(int dpi);
// Pixels at 96 dots per inch to pixels at the layout resolution.
int Scaled(int design_pixels);
// The dialogs' font at the layout resolution: a scalable sans serif of 8 points.
HFONT DialogFont();

class TSysControl;

// A window that holds controls: panels, tab sheets, dialogs.
class TControlHost {
  public:
    virtual ~TControlHost();
    virtual HWND HostHandle() = 0;
    const std::vector<TComponent*>& Children() const { return children_; }
    void AddChild(TComponent* child);
    void RemoveChild(TComponent* child);

    // The layout resolution changed from old_dpi: every child takes its bounds and font anew.
    void ApplyLayoutDpi(int old_dpi);

  protected:
    // Makes the windows of every child (after the host's own window exists).
    void CreateChildren();
    // Notifications and colour requests of a child control, handed to that control.
    bool ReflectMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

  private:
    std::vector<TComponent*> children_;
};

// A child window of our own class that holds controls, painted in the button-face colour.
class TPanel : public TWinControl, public TControlHost {
  public:
    TPanel(TComponent* owner, const char* name);
    ~TPanel() override;
    const char* ClassName() const override { return "TPanel"; }

    TControlHost* Parent() const { return parent_; }
    void SetParent(TControlHost* parent);
    void SetDesignBounds(int left, int top, int width, int height);
    // Shown once the parent's window exists (default true).
    bool DesignVisible = true;
    void SetShown(bool shown); // visible now or, without a window, once it is made
    bool Shown() const { return HandleAllocated() ? Visible() : DesignVisible; }

    HWND HostHandle() override { return Handle(); }
    // Bounds and children at the new layout resolution.
    virtual void DpiChanged(int old_dpi);

  protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;
    virtual void Paint(HDC /*dc*/) {}

  private:
    TControlHost* parent_ = nullptr;
    bool has_design_bounds_ = false; // pages are placed by their tabs instead
    int design_left_ = 0, design_top_ = 0, design_width_ = 0, design_height_ = 0;
};

// A framed panel with a caption in its top edge.
class TGroupBox : public TPanel {
  public:
    TGroupBox(TComponent* owner, const char* name) : TPanel(owner, name) {}
    const char* ClassName() const override { return "TGroupBox"; }
    std::string Text;

  protected:
    void Paint(HDC dc) override;
};

// A control of one of the system's window classes.
class TSysControl : public TComponent {
  public:
    TSysControl(TComponent* owner, const char* name);
    ~TSysControl() override;
    const char* ClassName() const override { return "TSysControl"; }

    TControlHost* Parent() const { return parent_; }
    void SetParent(TControlHost* parent);

    HWND Handle(); // creates the window (and the parent's) when there is none
    HWND WindowHandle() const { return handle_; }
    bool HandleAllocated() const { return handle_ != nullptr; }
    int Id() const { return id_; }

    void SetDesignBounds(int left, int top, int width, int height);
    int DesignLeft() const { return left_; }
    int DesignTop() const { return top_; }
    int DesignWidth() const { return width_; }
    int DesignHeight() const { return height_; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    void SetFocus();
    void Invalidate();
    // Text colour (CLR_INVALID: the system's).
    COLORREF FontColor = CLR_INVALID;

    TNotifyEvent OnExit; // the control lost the focus

    // A message of the parent about this control (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, colours).
    virtual bool ParentMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
    static TSysControl* FromHandle(HWND window);
    // Bounds and font at the new layout resolution.
    virtual void DpiChanged(int old_dpi);

  protected:
    virtual const char* WindowClass() const = 0;
    virtual DWORD Style() const { return 0; }
    virtual DWORD ExStyle() const { return 0; }
    // The window was made: give it what was set before.
    virtual void AfterCreate() {}
    // The control's own messages, before the system's procedure; true: answered.
    virtual bool OwnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
    virtual void Command(WORD /*code*/) {}
    LRESULT Send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const;
    void BeforeDestruction() override;

  private:
    static LRESULT CALLBACK subclass_proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    void create_window();

    TControlHost* parent_ = nullptr;
    HWND handle_ = nullptr;
    int id_;
    int left_ = 0, top_ = 0, width_ = 75, height_ = 23;
    std::string caption_;
    bool visible_ = true;
    bool enabled_ = true;
};

class TLabel : public TSysControl {
  public:
    TLabel(TComponent* owner, const char* name) : TSysControl(owner, name) {}
    const char* ClassName() const override { return "TLabel"; }
    bool WordWrap = true;
    bool Centered = false;
    bool ShowAccelChar = true; // "&M" underlines the M

  protected:
    const char* WindowClass() const override { return "STATIC"; }
    DWORD Style() const override;
};

class TButton : public TSysControl {
  public:
    TButton(TComponent* owner, const char* name) : TSysControl(owner, name) {}
    const char* ClassName() const override { return "TButton"; }
    bool Default = false;
    TNotifyEvent OnClick;
    void Click();

  protected:
    const char* WindowClass() const override { return "BUTTON"; }
    DWORD Style() const override;
    void Command(WORD code) override;
};

// A check box, or (Radio) a round button of a group (GroupStart on the first of the group).
// As in the class library this program grew up with, ticking one from code raises OnClick.
class TCheckBox : public TSysControl {
  public:
    TCheckBox(TComponent* owner, const char* name, bool radio = false)
        : TSysControl(owner, name), radio_(radio) {}
    const char* ClassName() const override { return radio_ ? "TRadioButton" : "TCheckBox"; }
    bool GroupStart = false;
    bool WordWrap = false; // a caption over more than one line
    bool Checked() const;
    void SetChecked(bool checked);
    TNotifyEvent OnClick;

  protected:
    const char* WindowClass() const override { return "BUTTON"; }
    DWORD Style() const override;
    void AfterCreate() override;
    void Command(WORD code) override;

  private:
    bool radio_;
    bool checked_ = false;
};

class TRadioButton : public TCheckBox {
  public:
    TRadioButton(TComponent* owner, const char* name) : TCheckBox(owner, name, true) {}
};

// A one-line edit. Setting a different text raises OnChange, as typing does.
class TEdit : public TSysControl {
  public:
    TEdit(TComponent* owner, const char* name) : TSysControl(owner, name) {}
    const char* ClassName() const override { return "TEdit"; }
    std::string Text() const;
    void SetText(const std::string& text);
    TNotifyEvent OnChange;

  protected:
    const char* WindowClass() const override { return "EDIT"; }
    DWORD Style() const override;
    DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
    void AfterCreate() override;
    void Command(WORD code) override;

  private:
    std::string text_;
    bool setting_ = false;
};

// Arrows beside an edit that step the number in it.
class TUpDown : public TSysControl {
  public:
    TUpDown(TComponent* owner, const char* name) : TSysControl(owner, name) {}
    const char* ClassName() const override { return "TUpDown"; }
    TEdit* Associate = nullptr;
    int Min() const { return min_; }
    int Max() const { return max_; }
    void SetMin(int min);
    void SetMax(int max);
    bool ParentMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;
    void DpiChanged(int old_dpi) override;

  protected:
    const char* WindowClass() const override { return UPDOWN_CLASSA; }
    DWORD Style() const override;
    void AfterCreate() override;

  private:
    int min_ = 0, max_ = 100;
};

// A drop-down list to pick one item from.
class TComboBox : public TSysControl {
  public:
    TComboBox(TComponent* owner, const char* name) : TSysControl(owner, name) {}
    const char* ClassName() const override { return "TComboBox"; }
    void SetItems(const std::vector<std::string>& items);
    const std::vector<std::string>& Items() const { return items_; }
    int ItemIndex() const;
    void SetItemIndex(int index); // raises no OnChange
    TNotifyEvent OnChange;

  protected:
    const char* WindowClass() const override { return "COMBOBOX"; }
    DWORD Style() const override;
    void AfterCreate() override;
    void Command(WORD code) override;

  public:
    void DpiChanged(int old_dpi) override;

  private:
    void size_with_list();
    std::vector<std::string> items_;
    int index_ = -1;
};

struct TDrawItem {
    HDC dc;
    int index;
    RECT rect;
    bool selected;
};
using TDrawItemEvent = std::function<void(const TDrawItem& item)>;
using TMouseEvent = std::function<void(int x, int y, bool double_click)>;
using TKeyEvent = std::function<void(WORD key)>;

// A list of text items drawn by its owner, rows of a fixed height.
class TListBox : public TSysControl {
  public:
    TListBox(TComponent* owner, const char* name) : TSysControl(owner, name) {}
    const char* ClassName() const override { return "TListBox"; }
    int ItemHeight = 16; // design pixels
    void Clear();
    void Add(const std::string& item);
    int Count() const { return static_cast<int>(items_.size()); }
    const std::string& Item(int i) const { return items_.at(static_cast<size_t>(i)); }
    int ItemIndex() const;
    void SetItemIndex(int index);
    int TopIndex() const;
    void SetTopIndex(int index);
    int ClientWidth(); // pixels

    TDrawItemEvent OnDrawItem;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TKeyEvent OnKeyUp;

    bool ParentMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;
    void DpiChanged(int old_dpi) override;

  protected:
    const char* WindowClass() const override { return "LISTBOX"; }
    DWORD Style() const override;
    void AfterCreate() override;
    bool OwnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

  private:
    std::vector<std::string> items_;
    int index_ = -1;
    int top_ = 0;
};

// Column titles over a list; sections with a text and a width (design pixels).
class THeaderControl : public TSysControl {
  public:
    THeaderControl(TComponent* owner, const char* name) : TSysControl(owner, name) {}
    const char* ClassName() const override { return "THeaderControl"; }
    void AddSection(const std::string& text, int width);
    std::string SectionText(int i) const { return sections_.at(static_cast<size_t>(i)).text; }
    void SetSectionText(int i, const std::string& text);
    int SectionWidth(int i) const; // pixels
    void SetSectionWidth(int i, int pixels);
    void DpiChanged(int old_dpi) override;

  protected:
    const char* WindowClass() const override { return WC_HEADERA; }
    DWORD Style() const override { return HDS_HORZ; }
    void AfterCreate() override;

  private:
    struct Section {
        std::string text;
        int pixels;
    };
    void send_section(int i, UINT message);
    void insert(int i);
    void apply(int i);
    std::vector<Section> sections_;
};

class TPageControl;

// One page of a TPageControl: a panel shown while its tab is selected.
class TTabSheet : public TPanel {
  public:
    TTabSheet(TPageControl* pages, const char* name, const std::string& caption);
    const char* ClassName() const override { return "TTabSheet"; }
    const std::string& TabCaption() const { return caption_; }

  private:
    std::string caption_;
};

// Tabs over pages. The pages are panels of the same parent laid over the tabs' display area.
class TPageControl : public TSysControl {
  public:
    TPageControl(TComponent* owner, const char* name) : TSysControl(owner, name) {}
    const char* ClassName() const override { return "TPageControl"; }
    void AddPage(TTabSheet* page);
    TTabSheet* ActivePage() const;
    // Raises no OnChange, as a page chosen by the program.
    void SetActivePage(TTabSheet* page);
    TNotifyEvent OnChange; // the user chose another tab

    bool ParentMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;
    void DpiChanged(int old_dpi) override;

  protected:
    const char* WindowClass() const override { return WC_TABCONTROLA; }
    DWORD Style() const override { return WS_CLIPSIBLINGS | WS_TABSTOP; }
    void AfterCreate() override;

  private:
    void place_pages();
    void show_active();
    std::vector<TTabSheet*> pages_;
    int active_ = 0;
};

} // namespace nimbrel
