#include "saverkit/controls.h"

#include "saverkit/dpi.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>

namespace nimbrel {
namespace {

constexpr UINT_PTR kSubclassId = 0x4E42; // "NB"
constexpr char kControlProperty[] = "NimbrelControl";

int next_control_id() {
    static int id = 1000;
    return id++;
}

void init_common_controls() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX init{sizeof(init), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES |
                                                    ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES};
        return InitCommonControlsEx(&init) != FALSE;
    }();
    (void)done;
}

int screen_dpi() {
    HDC dc = GetDC(nullptr);
    const int value = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc) ReleaseDC(nullptr, dc);
    return Usable_dpi(value);
}

int& layout_dpi() {
    static int dpi = screen_dpi();
    return dpi;
}

} // namespace

int WindowDpi(HWND window) {
    // Windows before 10 has no GetDpiForWindow: looked up, so the program starts there too.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto get_dpi_for_window = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (window && get_dpi_for_window)
        if (const UINT dpi = get_dpi_for_window(window)) return Usable_dpi(static_cast<int>(dpi));
    HDC dc = GetDC(window);
    const int value = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc) ReleaseDC(window, dc);
    return Usable_dpi(value);
}

int LayoutDpi() {
    return layout_dpi();
}

void SetLayoutDpi(int dpi) {
    layout_dpi() = Usable_dpi(dpi);
}

int Scaled(int design_pixels) {
    return Scale_for_dpi(design_pixels, LayoutDpi());
}

HFONT DialogFont() {
    // One font per resolution met; a dialog moved back and forth reuses them.
    static std::map<int, HFONT> fonts;
    HFONT& font = fonts[LayoutDpi()];
    if (!font) {
        LOGFONTA lf{};
        lf.lfHeight = Font_height_for_points(8, LayoutDpi());
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfQuality = DEFAULT_QUALITY;
        lstrcpynA(lf.lfFaceName, "MS Shell Dlg", LF_FACESIZE);
        font = CreateFontIndirectA(&lf);
    }
    return font;
}

// ---------------------------------------------------------------------------------------------
TControlHost::~TControlHost() {
    const std::vector<TComponent*> children = children_; // SetParent edits the list
    for (TComponent* child : children) {
        if (auto* control = dynamic_cast<TSysControl*>(child)) control->SetParent(nullptr);
        if (auto* panel = dynamic_cast<TPanel*>(child)) panel->SetParent(nullptr);
    }
}

void TControlHost::AddChild(TComponent* child) {
    if (std::find(children_.begin(), children_.end(), child) == children_.end())
        children_.push_back(child);
}

void TControlHost::RemoveChild(TComponent* child) {
    children_.erase(std::remove(children_.begin(), children_.end(), child), children_.end());
}

void TControlHost::CreateChildren() {
    const std::vector<TComponent*> children = children_; // creation may add to the list
    for (TComponent* child : children) {
        if (auto* control = dynamic_cast<TSysControl*>(child)) {
            control->Handle();
        } else if (auto* panel = dynamic_cast<TPanel*>(child)) {
            if (panel->DesignVisible)
                panel->SetVisible(true);
            else
                panel->HandleNeeded();
        }
    }
}

void TControlHost::ApplyLayoutDpi(int old_dpi) {
    const std::vector<TComponent*> children = children_;
    // Controls first: pages take their bounds from the tabs' new display area.
    for (TComponent* child : children)
        if (auto* control = dynamic_cast<TSysControl*>(child)) control->DpiChanged(old_dpi);
    for (TComponent* child : children)
        if (auto* panel = dynamic_cast<TPanel*>(child)) panel->DpiChanged(old_dpi);
}

bool TControlHost::ReflectMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    HWND from = nullptr;
    switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLOREDIT:
    case WM_VSCROLL:
    case WM_HSCROLL:
        from = reinterpret_cast<HWND>(lparam);
        break;
    case WM_NOTIFY:
        from = reinterpret_cast<const NMHDR*>(lparam)->hwndFrom;
        break;
    case WM_DRAWITEM:
        from = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam)->hwndItem;
        break;
    case WM_MEASUREITEM: {
        // Sent while the list is being made, before it knows its object: found by identifier.
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
        for (TComponent* child : children_)
            if (auto* list = dynamic_cast<TListBox*>(child);
                list && list->Id() == static_cast<int>(measure->CtlID)) {
                measure->itemHeight = static_cast<UINT>(Scaled(list->ItemHeight));
                result = TRUE;
                return true;
            }
        return false;
    }
    default:
        return false;
    }
    TSysControl* control = TSysControl::FromHandle(from);
    if (control && control->ParentMessage(message, wparam, lparam, result)) return true;
    switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: {
        HDC dc = reinterpret_cast<HDC>(wparam);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        if (control && control->FontColor != CLR_INVALID) SetTextColor(dc, control->FontColor);
        result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        return true;
    }
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------------------------
TPanel::TPanel(TComponent* owner, const char* name) : TWinControl(owner) {
    Name = name;
}

TPanel::~TPanel() {
    if (parent_) parent_->RemoveChild(this);
}

void TPanel::SetParent(TControlHost* parent) {
    if (parent_) parent_->RemoveChild(this);
    parent_ = parent;
    if (parent_) parent_->AddChild(this);
}

void TPanel::SetDesignBounds(int left, int top, int width, int height) {
    has_design_bounds_ = true;
    design_left_ = left;
    design_top_ = top;
    design_width_ = width;
    design_height_ = height;
    const DpiRect r = Scale_rect_for_dpi({left, top, width, height}, LayoutDpi());
    SetBounds(r.left, r.top, r.width, r.height);
}

void TPanel::DpiChanged(int old_dpi) {
    if (has_design_bounds_)
        SetDesignBounds(design_left_, design_top_, design_width_, design_height_);
    ApplyLayoutDpi(old_dpi);
    Invalidate();
}

void TPanel::SetShown(bool shown) {
    DesignVisible = shown;
    if (HandleAllocated() || (shown && parent_ && parent_->HostHandle())) SetVisible(shown);
}

void TPanel::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    params.ExStyle |= WS_EX_CONTROLPARENT;
}

void TPanel::CreateWnd() {
    if (parent_) SetParentWindow(parent_->HostHandle());
    TWinControl::CreateWnd();
    CreateChildren();
}

LRESULT TPanel::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = 0;
    if (ReflectMessage(message, wparam, lparam, result)) return result;
    switch (message) {
    case WM_ERASEBKGND: {
        RECT r{};
        GetClientRect(WindowHandle(), &r);
        FillRect(reinterpret_cast<HDC>(wparam), &r, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(WindowHandle(), &ps);
        Paint(dc);
        EndPaint(WindowHandle(), &ps);
        return 0;
    }
    case WM_PRINTCLIENT: // asked for a picture of itself
        Paint(reinterpret_cast<HDC>(wparam));
        return 0;
    default:
        return TWinControl::WndProc(message, wparam, lparam);
    }
}

void TGroupBox::Paint(HDC dc) {
    RECT r{};
    GetClientRect(WindowHandle(), &r);
    HGDIOBJ old_font = SelectObject(dc, DialogFont());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    RECT frame = r;
    if (!Text.empty()) frame.top += tm.tmHeight / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (!Text.empty()) {
        SIZE size{};
        GetTextExtentPoint32A(dc, Text.c_str(), static_cast<int>(Text.size()), &size);
        RECT text{Scaled(8), 0, Scaled(8) + size.cx + Scaled(4), tm.tmHeight};
        FillRect(dc, &text, GetSysColorBrush(COLOR_BTNFACE));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        TextOutA(dc, text.left + Scaled(2), 0, Text.c_str(), static_cast<int>(Text.size()));
    }
    SelectObject(dc, old_font);
}

// ---------------------------------------------------------------------------------------------
TSysControl::TSysControl(TComponent* owner, const char* name)
    : TComponent(owner), id_(next_control_id()) {
    Name = name;
}

TSysControl::~TSysControl() {
    if (parent_) parent_->RemoveChild(this);
}

void TSysControl::BeforeDestruction() {
    if (handle_) {
        RemovePropA(handle_, kControlProperty);
        RemoveWindowSubclass(handle_, subclass_proc, kSubclassId);
        DestroyWindow(handle_);
        handle_ = nullptr;
    }
    TComponent::BeforeDestruction();
}

void TSysControl::SetParent(TControlHost* parent) {
    if (parent_) parent_->RemoveChild(this);
    parent_ = parent;
    if (parent_) parent_->AddChild(this);
}

TSysControl* TSysControl::FromHandle(HWND window) {
    return window ? static_cast<TSysControl*>(GetPropA(window, kControlProperty)) : nullptr;
}

HWND TSysControl::Handle() {
    if (!handle_) create_window();
    return handle_;
}

void TSysControl::create_window() {
    if (!parent_) return;
    HWND parent = parent_->HostHandle();
    if (!parent || handle_) return;
    init_common_controls();
    const DWORD style =
        WS_CHILD | Style() | (visible_ ? WS_VISIBLE : 0) | (enabled_ ? 0 : WS_DISABLED);
    const DpiRect r = Scale_rect_for_dpi({left_, top_, width_, height_}, LayoutDpi());
    HWND window =
        CreateWindowExA(ExStyle(), WindowClass(), caption_.c_str(), style, r.left, r.top, r.width,
                        r.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)),
                        Application ? Application->Instance() : GetModuleHandleA(nullptr), nullptr);
    if (!window) return;
    handle_ = window;
    SetPropA(window, kControlProperty, this);
    SetWindowSubclass(window, subclass_proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), FALSE);
    AfterCreate();
}

LRESULT CALLBACK TSysControl::subclass_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                            UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<TSysControl*>(data);
    LRESULT result = 0;
    try {
        if (self->OwnMessage(message, wparam, lparam, result)) return result;
    } catch (...) {
        if (Application) Application->HandleException();
    }
    if (message == WM_NCDESTROY) {
        RemovePropA(window, kControlProperty);
        RemoveWindowSubclass(window, subclass_proc, kSubclassId);
        self->handle_ = nullptr;
    }
    return DefSubclassProc(window, message, wparam, lparam);
}

bool TSysControl::OwnMessage(UINT message, WPARAM, LPARAM, LRESULT&) {
    if (message == WM_KILLFOCUS) {
        // Raised at once, so a button click that took the focus sees what the handler did.
        if (auto handler = OnExit) handler(this);
    }
    return false;
}

bool TSysControl::ParentMessage(UINT message, WPARAM wparam, LPARAM, LRESULT& result) {
    if (message != WM_COMMAND) return false;
    Command(HIWORD(wparam));
    result = 0;
    return true;
}

LRESULT TSysControl::Send(UINT message, WPARAM wparam, LPARAM lparam) const {
    return handle_ ? SendMessageA(handle_, message, wparam, lparam) : 0;
}

void TSysControl::SetDesignBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (!handle_) return;
    const DpiRect r = Scale_rect_for_dpi({left, top, width, height}, LayoutDpi());
    SetWindowPos(handle_, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TSysControl::DpiChanged(int) {
    if (!handle_) return;
    SetDesignBounds(left_, top_, width_, height_);
    Send(WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), TRUE);
}

void TSysControl::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (handle_) SetWindowTextA(handle_, caption_.c_str());
}

void TSysControl::SetVisible(bool visible) {
    visible_ = visible;
    if (handle_) ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
}

void TSysControl::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (handle_) EnableWindow(handle_, enabled ? TRUE : FALSE);
}

void TSysControl::SetFocus() {
    if (HWND window = Handle()) ::SetFocus(window);
}

void TSysControl::Invalidate() {
    if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

// ---------------------------------------------------------------------------------------------
DWORD TLabel::Style() const {
    DWORD style = ShowAccelChar ? 0 : SS_NOPREFIX;
    if (Centered)
        style |= SS_CENTER;
    else
        style |= WordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP;
    return style;
}

DWORD TButton::Style() const {
    return WS_TABSTOP | (Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

void TButton::Click() {
    if (auto handler = OnClick) handler(this);
}

void TButton::Command(WORD code) {
    if (code == BN_CLICKED) Click();
}

// ---------------------------------------------------------------------------------------------
DWORD TCheckBox::Style() const {
    return WS_TABSTOP | (radio_ ? BS_AUTORADIOBUTTON : BS_AUTOCHECKBOX) |
           (GroupStart ? WS_GROUP : 0) | (WordWrap ? BS_MULTILINE : 0);
}

void TCheckBox::AfterCreate() {
    Send(BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED);
}

bool TCheckBox::Checked() const {
    return HandleAllocated() ? Send(BM_GETCHECK) == BST_CHECKED : checked_;
}

void TCheckBox::SetChecked(bool checked) {
    const bool was = Checked();
    checked_ = checked;
    Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
    if (radio_ && checked && Parent()) {
        // The other round buttons of the same parent and group are cleared.
        const auto& siblings = Parent()->Children();
        auto self = std::find(siblings.begin(), siblings.end(), this);
        auto first = self;
        while (first != siblings.begin()) {
            auto* r = dynamic_cast<TCheckBox*>(*first);
            if (r && r->GroupStart) break;
            --first;
        }
        for (auto it = first; it != siblings.end(); ++it) {
            auto* r = dynamic_cast<TCheckBox*>(*it);
            if (!r || !r->radio_) continue;
            if (it != first && r->GroupStart) break;
            if (r != this && r->Checked()) {
                r->checked_ = false;
                r->Send(BM_SETCHECK, BST_UNCHECKED);
            }
        }
    }
    if (was != checked)
        if (auto handler = OnClick) handler(this);
}

void TCheckBox::Command(WORD code) {
    if (code != BN_CLICKED) return;
    checked_ = Checked();
    if (radio_ && !checked_) return;
    if (auto handler = OnClick) handler(this);
}

// ---------------------------------------------------------------------------------------------
DWORD TEdit::Style() const {
    return WS_TABSTOP | ES_AUTOHSCROLL;
}

void TEdit::AfterCreate() {
    setting_ = true;
    SetWindowTextA(WindowHandle(), text_.c_str());
    setting_ = false;
}

std::string TEdit::Text() const {
    if (!HandleAllocated()) return text_;
    const int length = GetWindowTextLengthA(WindowHandle());
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(WindowHandle(), text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

void TEdit::SetText(const std::string& text) {
    if (text == Text()) return;
    text_ = text;
    setting_ = true;
    if (HandleAllocated()) SetWindowTextA(WindowHandle(), text.c_str());
    setting_ = false;
    if (auto handler = OnChange) handler(this);
}

void TEdit::Command(WORD code) {
    if (code != EN_CHANGE || setting_) return;
    text_ = Text();
    if (auto handler = OnChange) handler(this);
}

// ---------------------------------------------------------------------------------------------
// The arrows step the number in the edit themselves: an up-down that kept the number would
// write its own stale copy back into the edit whenever its range changed.
DWORD TUpDown::Style() const {
    return UDS_ALIGNRIGHT | UDS_ARROWKEYS;
}

void TUpDown::AfterCreate() {
    if (Associate) Send(UDM_SETBUDDY, reinterpret_cast<WPARAM>(Associate->Handle()));
    Send(UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
}

bool TUpDown::ParentMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    if (message != WM_NOTIFY) return TSysControl::ParentMessage(message, wparam, lparam, result);
    const auto* change = reinterpret_cast<const NMUPDOWN*>(lparam);
    if (change->hdr.code != UDN_DELTAPOS) return false;
    if (Associate) {
        const long long now = std::atoll(Associate->Text().c_str());
        const long long next = std::clamp<long long>(now + change->iDelta, min_, max_);
        Associate->SetText(std::to_string(next));
    }
    result = 1; // the control's own position is not used
    return true;
}

void TUpDown::DpiChanged(int old_dpi) {
    TSysControl::DpiChanged(old_dpi);
    // Attached anew, so the arrows sit inside the edit again as when they were made.
    if (Associate) Send(UDM_SETBUDDY, reinterpret_cast<WPARAM>(Associate->Handle()));
}

void TUpDown::SetMin(int min) {
    min_ = min;
    Send(UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
}

void TUpDown::SetMax(int max) {
    max_ = max;
    Send(UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
}

// ---------------------------------------------------------------------------------------------
DWORD TComboBox::Style() const {
    return WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
}

void TComboBox::size_with_list() {
    // The height of a drop-down list includes its open list.
    SetWindowPos(WindowHandle(), nullptr, 0, 0, Scaled(DesignWidth()), Scaled(DesignHeight() + 120),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TComboBox::DpiChanged(int old_dpi) {
    TSysControl::DpiChanged(old_dpi);
    if (HandleAllocated()) size_with_list();
}

void TComboBox::AfterCreate() {
    size_with_list();
    for (const std::string& item : items_)
        Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    Send(CB_SETCURSEL, static_cast<WPARAM>(index_));
}

void TComboBox::SetItems(const std::vector<std::string>& items) {
    items_ = items;
    index_ = -1;
    if (!HandleAllocated()) return;
    Send(CB_RESETCONTENT);
    for (const std::string& item : items_)
        Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int TComboBox::ItemIndex() const {
    return HandleAllocated() ? static_cast<int>(Send(CB_GETCURSEL)) : index_;
}

void TComboBox::SetItemIndex(int index) {
    index_ = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1;
    Send(CB_SETCURSEL, static_cast<WPARAM>(index_));
}

void TComboBox::Command(WORD code) {
    if (code != CBN_SELCHANGE) return;
    index_ = ItemIndex();
    if (auto handler = OnChange) handler(this);
}

// ---------------------------------------------------------------------------------------------
DWORD TListBox::Style() const {
    return WS_TABSTOP | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY;
}

void TListBox::AfterCreate() {
    Send(LB_SETITEMHEIGHT, 0, Scaled(ItemHeight));
    for (const std::string& item : items_)
        Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    Send(LB_SETCURSEL, static_cast<WPARAM>(index_));
    Send(LB_SETTOPINDEX, static_cast<WPARAM>(top_));
}

void TListBox::DpiChanged(int old_dpi) {
    // Rows first: the list fits its height to whole rows of the height it has when it is sized.
    Send(LB_SETITEMHEIGHT, 0, Scaled(ItemHeight));
    TSysControl::DpiChanged(old_dpi);
}

void TListBox::Clear() {
    items_.clear();
    index_ = -1;
    top_ = 0;
    Send(LB_RESETCONTENT);
}

void TListBox::Add(const std::string& item) {
    items_.push_back(item);
    Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int TListBox::ItemIndex() const {
    return HandleAllocated() ? static_cast<int>(Send(LB_GETCURSEL)) : index_;
}

void TListBox::SetItemIndex(int index) {
    index_ = index;
    Send(LB_SETCURSEL, static_cast<WPARAM>(index));
}

int TListBox::TopIndex() const {
    return HandleAllocated() ? static_cast<int>(Send(LB_GETTOPINDEX)) : top_;
}

void TListBox::SetTopIndex(int index) {
    top_ = index;
    Send(LB_SETTOPINDEX, static_cast<WPARAM>(index));
}

int TListBox::ClientWidth() {
    RECT r{};
    if (HWND window = Handle()) GetClientRect(window, &r);
    return r.right - r.left;
}

bool TListBox::ParentMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    if (message == WM_DRAWITEM) {
        const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
        if (draw->itemID != static_cast<UINT>(-1) && OnDrawItem)
            OnDrawItem({draw->hDC, static_cast<int>(draw->itemID), draw->rcItem,
                        (draw->itemState & ODS_SELECTED) != 0});
        result = TRUE;
        return true;
    }
    if (message == WM_CTLCOLORLISTBOX) return false; // the button-face brush
    return TSysControl::ParentMessage(message, wparam, lparam, result);
}

bool TListBox::OwnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    const int x = static_cast<short>(LOWORD(lparam)), y = static_cast<short>(HIWORD(lparam));
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_KEYUP: {
        // The list moves its selection first; the handlers see the new one.
        result = DefSubclassProc(WindowHandle(), message, wparam, lparam);
        if (message == WM_KEYUP) {
            if (auto handler = OnKeyUp) handler(static_cast<WORD>(wparam));
        } else if (message == WM_LBUTTONUP) {
            if (auto handler = OnMouseUp) handler(x, y, false);
        } else if (auto handler = OnMouseDown) {
            handler(x, y, message == WM_LBUTTONDBLCLK);
        }
        return true;
    }
    default:
        return TSysControl::OwnMessage(message, wparam, lparam, result);
    }
}

// ---------------------------------------------------------------------------------------------
void THeaderControl::AddSection(const std::string& text, int width) {
    sections_.push_back({text, Scaled(width)});
    if (HandleAllocated()) insert(static_cast<int>(sections_.size()) - 1);
}

void THeaderControl::AfterCreate() {
    for (size_t i = 0; i < sections_.size(); ++i)
        insert(static_cast<int>(i));
}

// Inserts section i, or updates it when it is there already.
void THeaderControl::send_section(int i, UINT message) {
    Section& s = sections_.at(static_cast<size_t>(i));
    HDITEMA item{};
    item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
    item.pszText = s.text.data();
    item.cxy = s.pixels;
    item.fmt = HDF_CENTER | HDF_STRING;
    Send(message, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
}

void THeaderControl::insert(int i) {
    send_section(i, HDM_INSERTITEMA);
}

void THeaderControl::apply(int i) {
    if (HandleAllocated()) send_section(i, HDM_SETITEMA);
}

void THeaderControl::DpiChanged(int old_dpi) {
    TSysControl::DpiChanged(old_dpi);
    for (size_t i = 0; i < sections_.size(); ++i) {
        sections_[i].pixels = MulDiv(sections_[i].pixels, LayoutDpi(), Usable_dpi(old_dpi));
        apply(static_cast<int>(i));
    }
}

void THeaderControl::SetSectionText(int i, const std::string& text) {
    sections_.at(static_cast<size_t>(i)).text = text;
    apply(i);
}

int THeaderControl::SectionWidth(int i) const {
    return sections_.at(static_cast<size_t>(i)).pixels;
}

void THeaderControl::SetSectionWidth(int i, int pixels) {
    sections_.at(static_cast<size_t>(i)).pixels = pixels;
    apply(i);
}

// ---------------------------------------------------------------------------------------------
TTabSheet::TTabSheet(TPageControl* pages, const char* name, const std::string& caption)
    : TPanel(pages->Owner(), name), caption_(caption) {
    DesignVisible = false;
    pages->AddPage(this);
}

void TPageControl::AddPage(TTabSheet* page) {
    pages_.push_back(page);
    page->SetParent(Parent());
    if (HandleAllocated()) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        std::string caption = page->TabCaption();
        item.pszText = caption.data();
        Send(TCM_INSERTITEMA, pages_.size() - 1, reinterpret_cast<LPARAM>(&item));
        place_pages();
    }
}

void TPageControl::AfterCreate() {
    for (size_t i = 0; i < pages_.size(); ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        std::string caption = pages_[i]->TabCaption();
        item.pszText = caption.data();
        Send(TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    Send(TCM_SETCURSEL, static_cast<WPARAM>(active_));
    place_pages();
    show_active();
}

void TPageControl::place_pages() {
    if (!HandleAllocated()) return;
    RECT r{};
    GetWindowRect(WindowHandle(), &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(WindowHandle()), reinterpret_cast<POINT*>(&r), 2);
    Send(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    for (TTabSheet* page : pages_)
        page->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TPageControl::show_active() {
    for (size_t i = 0; i < pages_.size(); ++i)
        pages_[i]->SetShown(static_cast<int>(i) == active_);
    // Pages lie over the tabs' display area: the tabs stay beneath them.
    if (HandleAllocated())
        SetWindowPos(WindowHandle(), HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TPageControl::DpiChanged(int old_dpi) {
    TSysControl::DpiChanged(old_dpi);
    place_pages();
}

TTabSheet* TPageControl::ActivePage() const {
    return active_ >= 0 && active_ < static_cast<int>(pages_.size())
               ? pages_[static_cast<size_t>(active_)]
               : nullptr;
}

void TPageControl::SetActivePage(TTabSheet* page) {
    const auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end()) return;
    active_ = static_cast<int>(it - pages_.begin());
    Send(TCM_SETCURSEL, static_cast<WPARAM>(active_));
    show_active();
}

bool TPageControl::ParentMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    if (message != WM_NOTIFY) return TSysControl::ParentMessage(message, wparam, lparam, result);
    const auto* header = reinterpret_cast<const NMHDR*>(lparam);
    result = 0;
    if (header->code == TCN_SELCHANGE) {
        active_ = static_cast<int>(Send(TCM_GETCURSEL));
        show_active();
        if (auto handler = OnChange) handler(this);
        return true;
    }
    return false;
}

} // namespace nimbrel
