#include "dialogs/config_form_win32.h"

#include "app/display_switch.h"
#include "app/saver_form_win32.h"
#include "dialogs/config_rules.h"
#include "dialogs/dialog_ids.h"
#include "dialogs/help_win32.h"
#include "saverkit/scr_control_win32.h"
#include "settings/options.h"

#include <commctrl.h>

namespace nimbrel {
namespace {

constexpr int kTagSectionWidth = 42;
constexpr COLORREF kNavy = RGB(0, 0, 128), kMaroon = RGB(128, 0, 0);

std::string message_caption() {
    return !ApplicationTitle().empty() ? ApplicationTitle() : "Nimbrel";
}

// The list's column widths and row height at 96 dots per inch.
constexpr int kNameSectionWidth = 250, kRowHeight = 16;

} // namespace

TScrDialogClass ConfigFormClass(Nimbrel_Options& options) {
    return [&options] { return std::make_unique<TConfigForm>(options); };
}

TConfigForm::TConfigForm(Nimbrel_Options& options) : TScrDialog("CONFIGFORM"), options_(options) {
    Purpose = smConfig;
    EnsureDialogClass("TConfigForm");
    tag_mark_ = LoadBitmapA(GetModuleHandleA(nullptr), "NIMBRELTAGMARK");
    Monitor.SetUse(smuPreview);
    ScrGeneral.SetAllowMute(false);
}

TConfigForm::~TConfigForm() {
    if (tag_mark_) DeleteObject(tag_mark_);
}

HWND TConfigForm::Item(int id) const {
    for (HWND parent : {WindowHandle(), SettingsTab, OptionsTab})
        if (HWND control = parent ? GetDlgItem(parent, id) : nullptr) return control;
    return nullptr;
}

bool TConfigForm::checked(int id) const {
    return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TConfigForm::check(int id, bool on) {
    SendMessageA(Item(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

int TConfigForm::list_index() const {
    return static_cast<int>(SendMessageA(Item(IDC_SETTINGS_LIST), LB_GETCURSEL, 0, 0));
}

std::string TConfigForm::TitleText(int section) const {
    char text[128] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(Item(IDC_TITLES), HDM_GETITEMA, static_cast<WPARAM>(section),
                 reinterpret_cast<LPARAM>(&item));
    return text;
}

int TConfigForm::SectionWidth(int section) const {
    HDITEMA item{};
    item.mask = HDI_WIDTH;
    SendMessageA(Item(IDC_TITLES), HDM_GETITEMA, static_cast<WPARAM>(section),
                 reinterpret_cast<LPARAM>(&item));
    return item.cxy;
}

// The pages lie over the tabs' display area (above the tabs, so these do not paint over them),
// one shown at a time.
void TConfigForm::make_pages() {
    HWND tabs = Item(IDC_PAGE_CONTROL);
    const char* const captions[] = {"Settings Selection", "Other Options"};
    for (int i = 0; i < 2; ++i) {
        TCITEMA tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = const_cast<char*>(captions[i]);
        SendMessageA(tabs, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&tab));
    }
    SettingsTab = Page("CONFIGSETTINGS");
    OptionsTab = Page("CONFIGOPTIONS");
    RECT area{};
    GetWindowRect(tabs, &area);
    MapWindowPoints(HWND_DESKTOP, WindowHandle(), reinterpret_cast<POINT*>(&area), 2);
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    for (HWND page : {SettingsTab, OptionsTab})
        SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left,
                     area.bottom - area.top, SWP_NOACTIVATE);
    show_page(0);
}

void TConfigForm::show_page(int index) {
    SendMessageA(Item(IDC_PAGE_CONTROL), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    ShowWindow(SettingsTab, index == 0 ? SW_SHOW : SW_HIDE);
    ShowWindow(OptionsTab, index == 1 ? SW_SHOW : SW_HIDE);
}

INT_PTR TConfigForm::DialogProc(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        make_pages();
        FormShow();
        // The list, not the tabs above it: arrow keys then move through the settings at once.
        SetFocus(Item(IDC_SETTINGS_LIST));
        return FALSE;
    case WM_COMMAND: {
        const int id = LOWORD(wparam), code = HIWORD(wparam);
        switch (id) {
        case IDOK:
            BtnOkClick();
            return TRUE;
        case IDCANCEL:
            BtnCancelClick();
            return TRUE;
        case IDC_BTN_HELP:
            Button1Click();
            return TRUE;
        case IDC_EDIT_BTN:
            if (code == BN_CLICKED) Edit_btnClick();
            return TRUE;
        case IDC_CYCLING_MODE:
        case IDC_CYCLE_TAGGED:
        case IDC_CYCLE_ALL:
        case IDC_ALLOW_CHANGE:
        case IDC_ALLOW_FORCE:
        case IDC_EMULATE_PALETTE:
        case IDC_OTHER_MONITORS:
            if (code == BN_CLICKED) Update_Options(id);
            return TRUE;
        case IDC_MIN_TIME:
            if (code == EN_CHANGE || code == EN_KILLFOCUS) Min_timeExit();
            return TRUE;
        case IDC_MAX_TIME:
            if (code == EN_CHANGE || code == EN_KILLFOCUS) Max_timeExit();
            return TRUE;
        default:
            return ScrGeneral.Command(wparam, lparam);
        }
    }
    case WM_ACTIVATE:
        // Back from the editor, perhaps: show the settings file as it is now.
        if (LOWORD(wparam) != WA_INACTIVE)
            if (TSaverForm* form = preview()) form->core().Refresh_settings();
        return FALSE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        if (header->idFrom == IDC_PAGE_CONTROL && header->code == TCN_SELCHANGE) {
            show_page(static_cast<int>(SendMessageA(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
            PageControlChange();
        }
        return FALSE;
    }
    case WM_DRAWITEM: {
        const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
        if (draw->CtlID != IDC_SETTINGS_LIST) return FALSE;
        if (draw->itemID != static_cast<UINT>(-1))
            settings_listDrawItem({draw->hDC, static_cast<int>(draw->itemID), draw->rcItem,
                                   (draw->itemState & ODS_SELECTED) != 0});
        return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lparam));
        if (id != IDC_LABEL7 && id != IDC_STATUS_LABEL) return FALSE;
        const auto dc = reinterpret_cast<HDC>(wparam);
        SetTextColor(dc, id == IDC_LABEL7 ? kNavy : kMaroon);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DPICHANGED:
        // The system scales the dialog after this message; the list and the preview follow then.
        PostMessageA(WindowHandle(), CM_SCR, 4, 0);
        return FALSE;
    case CM_SCR:
        if (wparam != 4) return FALSE;
        fit_name_section();
        if (TSaverForm* form = preview()) form->core().Display_changed(); // the area changed
        return TRUE;
    default:
        return FALSE;
    }
}

HPALETTE TConfigForm::GetPalette() {
    if (TSaverForm* form = preview())
        if (WindowEngine* engine = form->engine())
            if (HPALETTE palette = engine->palette()) return palette;
    return TScrDialog::GetPalette();
}

// The list's rows and columns at the dialog's resolution; the Name column takes what the Tag
// column and the scroll bar leave.
void TConfigForm::fit_name_section() {
    HWND list = Item(IDC_SETTINGS_LIST);
    const int dpi = WindowDpi(WindowHandle());
    SendMessageA(list, LB_SETITEMHEIGHT, 0, Scale_for_dpi(kRowHeight, dpi));
    RECT r{};
    GetWindowRect(list, &r);
    HDITEMA item{};
    item.mask = HDI_WIDTH;
    item.cxy = Scale_for_dpi(kTagSectionWidth, dpi);
    SendMessageA(Item(IDC_TITLES), HDM_SETITEMA, 1, reinterpret_cast<LPARAM>(&item));
    item.cxy = Name_section_width(r.right - r.left, item.cxy, GetSystemMetrics(SM_CXVSCROLL));
    SendMessageA(Item(IDC_TITLES), HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

TSaverForm* TConfigForm::preview() const {
    return dynamic_cast<TSaverForm*>(GetScrPreviewForm());
}

// --- Settings Selection ------------------------------------------------------------------------
void TConfigForm::FormShow() {
    HWND titles = Item(IDC_TITLES);
    const int dpi = WindowDpi(WindowHandle());
    const std::pair<const char*, int> sections[] = {{"Name", kNameSectionWidth},
                                                    {"Tag", kTagSectionWidth}};
    for (int i = 0; i < 2; ++i) {
        HDITEMA item{};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.fmt = HDF_CENTER | HDF_STRING;
        item.pszText = const_cast<char*>(sections[i].first);
        item.cxy = Scale_for_dpi(sections[i].second, dpi);
        SendMessageA(titles, HDM_INSERTITEMA, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&item));
    }
    fit_name_section();
    SetWindowSubclass(Item(IDC_SETTINGS_LIST), list_proc, 1, reinterpret_cast<DWORD_PTR>(this));
    Monitor.Attach(Item(IDC_MONITOR));
    ScrGeneral.Attach(OptionsTab);
    for (int id : {IDC_UPDOWN1, IDC_UPDOWN2})
        SendMessageA(Item(id), UDM_SETRANGE32, 1, Max_time_limit);

    updating_controls_ = true;
    const Option_boxes boxes = Boxes_from_options(options_);
    check(IDC_CYCLING_MODE, boxes.cycling);
    check(IDC_CYCLE_TAGGED, boxes.cycle_tagged);
    check(IDC_CYCLE_ALL, !boxes.cycle_tagged);
    // A changed text runs the box's handler, which the flag does not mute.
    SetDlgItemTextA(OptionsTab, IDC_MIN_TIME, boxes.min_time.c_str());
    SetDlgItemTextA(OptionsTab, IDC_MAX_TIME, boxes.max_time.c_str());
    check(IDC_ALLOW_CHANGE, boxes.allow_change);
    check(IDC_ALLOW_FORCE, boxes.allow_force);
    check(IDC_EMULATE_PALETTE, boxes.emulate_palette);
    check(IDC_OTHER_MONITORS, boxes.animate_every_monitor);
    updating_controls_ = false;
    show_palette_note();
    ShowWindow(Item(IDC_STATUS_LABEL), not_256_mode() ? SW_SHOWNA : SW_HIDE);
}

// The list's mouse and key messages, for the handlers.
LRESULT CALLBACK TConfigForm::list_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                        UINT_PTR id, DWORD_PTR data) {
    auto* form = reinterpret_cast<TConfigForm*>(data);
    const LRESULT result = DefSubclassProc(window, message, wparam, lparam);
    const int x = static_cast<short>(LOWORD(lparam)), y = static_cast<short>(HIWORD(lparam));
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        form->settings_listMouseDown(x, y, message == WM_LBUTTONDBLCLK);
        break;
    case WM_LBUTTONUP:
        form->settings_listMouseUp(x, y, false);
        break;
    case WM_KEYUP:
        form->settings_listKeyUp(static_cast<WORD>(wparam));
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, list_proc, id);
        break;
    default:
        break;
    }
    return result;
}

void TConfigForm::Fill_settings_list(int index) {
    TSaverForm* form = preview();
    Nimbrel_settings_file* collection = form ? form->settings_file() : nullptr;
    HDITEMA title{};
    title.mask = HDI_TEXT;
    std::string text = "Name";
    HWND list = Item(IDC_SETTINGS_LIST);
    if (collection) {
        const int n = collection->Count();
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        for (int i = 0; i < n; ++i)
            SendMessageA(list, LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(collection->Setting(i).Get_name().c_str()));
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(Top_row(index, n)), 0);
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
        text = Name_header(n);
    }
    title.pszText = text.data();
    SendMessageA(Item(IDC_TITLES), HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&title));
}

void TConfigForm::settings_listDrawItem(const TDrawItem& item) {
    TSaverForm* form = preview();
    if (!form) return;
    HWND list = Item(IDC_SETTINGS_LIST);
    const int dpi = WindowDpi(list);
    const auto scaled = [dpi](int pixels) { return Scale_for_dpi(pixels, dpi); };
    const int name_width = SectionWidth(0);
    const int face = item.selected ? COLOR_HIGHLIGHT : COLOR_BTNFACE;
    HDC dc = item.dc;
    SetTextColor(dc, GetSysColor(item.selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ old_font =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));

    RECT name = item.rect;
    name.right = name_width - 1;
    FillRect(dc, &name, GetSysColorBrush(face));
    char text[256] = {};
    if (SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(item.index), 0) <
        static_cast<LRESULT>(sizeof text))
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(item.index),
                     reinterpret_cast<LPARAM>(text));
    TextOutA(dc, name.left + scaled(2), name.top + scaled(1), text, lstrlenA(text));

    RECT tag = item.rect;
    tag.left = name_width - 1;
    FillRect(dc, &tag, GetSysColorBrush(face));
    Nimbrel_settings_file* collection = form->settings_file();
    if (tag_mark_ && collection && item.index < collection->Count() &&
        collection->Setting(item.index).Is_tagged()) {
        BITMAP info{};
        GetObjectA(tag_mark_, sizeof(info), &info);
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, tag_mark_);
        // Magenta is the mark's see-through colour.
        TransparentBlt(dc, name_width - 1 + scaled(12), item.rect.top + scaled(1),
                       scaled(info.bmWidth), scaled(info.bmHeight), source, 0, 0, info.bmWidth,
                       info.bmHeight, RGB(255, 0, 255));
        SelectObject(source, old);
        DeleteDC(source);
    }
    SelectObject(dc, old_font);
}

void TConfigForm::settings_listMouseDown(int x, int, bool double_click) {
    if (!double_click) return;
    TSaverForm* form = preview();
    Nimbrel_settings_file* collection = form ? form->settings_file() : nullptr;
    const int selected = list_index();
    if (!collection || selected < 0 || selected >= collection->Count()) return;
    if (!In_tag_column(x, SectionWidth(0))) return;
    collection->Set_tag(selected, !collection->Setting(selected).Is_tagged());
    InvalidateRect(Item(IDC_SETTINGS_LIST), nullptr, FALSE);
}

void TConfigForm::preview_selected() {
    TSaverForm* form = preview();
    Nimbrel_settings_file* collection = form ? form->settings_file() : nullptr;
    const int selected = list_index();
    if (!collection || selected < 0 || selected >= collection->Count()) return;
    form->Change_setting(selected);
}

void TConfigForm::settings_listMouseUp(int, int, bool) {
    preview_selected();
}

void TConfigForm::settings_listKeyUp(WORD) {
    preview_selected();
}

// --- Other Options -----------------------------------------------------------------------------
// The note on colours is true only of the display's own palette. That palette is one for the
// whole display, so the other monitors stay black then, and the note takes their box's place.
void TConfigForm::show_palette_note() {
    ShowWindow(Item(IDC_INFO_LABEL), checked(IDC_EMULATE_PALETTE) ? SW_HIDE : SW_SHOWNA);
    ShowWindow(Item(IDC_OTHER_MONITORS), checked(IDC_EMULATE_PALETTE) ? SW_SHOWNA : SW_HIDE);
}

void TConfigForm::Update_Options(int sender) {
    if (sender == IDC_EMULATE_PALETTE) show_palette_note();
    if (updating_controls_) return;
    Option_boxes boxes;
    boxes.cycling = checked(IDC_CYCLING_MODE);
    boxes.cycle_tagged = checked(IDC_CYCLE_TAGGED);
    boxes.min_time = DlgItemText(OptionsTab, IDC_MIN_TIME);
    boxes.max_time = DlgItemText(OptionsTab, IDC_MAX_TIME);
    boxes.allow_change = checked(IDC_ALLOW_CHANGE);
    boxes.allow_force = checked(IDC_ALLOW_FORCE);
    boxes.emulate_palette = checked(IDC_EMULATE_PALETTE);
    boxes.animate_every_monitor = checked(IDC_OTHER_MONITORS);
    if (const auto error = Options_from_boxes(boxes, options_))
        ScrMessageBox(WindowHandle(), *error, message_caption(), MB_OK | MB_ICONERROR);
}

void TConfigForm::Min_timeExit() {
    const Time_exit exit = Min_time_exit(DlgItemText(OptionsTab, IDC_MIN_TIME), options_.Max_time);
    options_.Min_time = exit.value;
    if (!exit.limit) {
        show_page(1);
        return;
    }
    int max = Max_time_limit;
    SendMessageA(Item(IDC_UPDOWN2), UDM_GETRANGE32, 0, reinterpret_cast<LPARAM>(&max));
    SendMessageA(Item(IDC_UPDOWN2), UDM_SETRANGE32, static_cast<WPARAM>(exit.value), max);
}

void TConfigForm::Max_timeExit() {
    const Time_exit exit = Max_time_exit(DlgItemText(OptionsTab, IDC_MAX_TIME), options_.Min_time);
    options_.Max_time = exit.value;
    if (!exit.limit) {
        show_page(1);
        return;
    }
    int min = 1;
    SendMessageA(Item(IDC_UPDOWN1), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&min), 0);
    SendMessageA(Item(IDC_UPDOWN1), UDM_SETRANGE32, static_cast<WPARAM>(min), exit.value);
}

void TConfigForm::show_invalid_times() {
    ScrMessageBox(WindowHandle(), Invalid_times_message, message_caption());
    show_page(1);
    SetFocus(Item(IDC_MIN_TIME));
}

void TConfigForm::PageControlChange() {
    if (!Times_valid(options_.Min_time, options_.Max_time)) show_invalid_times();
}

void TConfigForm::BtnOkClick() {
    if (TSaverForm* form = preview()) form->SetRunning(false);
    Max_timeExit();
    Min_timeExit();
    if (!Times_valid(options_.Min_time, options_.Max_time)) {
        show_invalid_times();
        return;
    }
    ScrGeneral.SaveValues();
    EndModal(mrOk);
}

void TConfigForm::BtnCancelClick() {
    if (TSaverForm* form = preview()) form->SetRunning(false);
    EndModal(mrCancel);
}

// The editor on the previewed settings file, showing the selected setting. It lives beside the
// saver, or in the data folder when the saver sits in the system folder.
void TConfigForm::Edit_btnClick() {
    TSaverForm* form = preview();
    Nimbrel_settings_file* collection = form ? form->settings_file() : nullptr;
    std::string editor;
    for (const std::string& folder : {executable_folder(), options_.Directory})
        if (editor.empty() && !folder.empty() && file_exists(folder + Editor_file_name))
            editor = folder + Editor_file_name;
    if (editor.empty()) {
        ScrMessageBox(WindowHandle(),
                      std::string("The settings editor (") + Editor_file_name +
                          ") is neither beside the screen saver nor in its data folder.",
                      message_caption(), MB_OK | MB_ICONERROR);
        return;
    }
    std::string file = collection ? collection->File_name() : std::string();
    if (file.empty()) file = options_.Directory + options_.Settings_file;
    const int selected = list_index();
    const std::string name = collection && selected >= 0 && selected < collection->Count()
                                 ? collection->Setting(selected).Get_name()
                                 : std::string();
    // Tags switched here go to the file first, so the editor starts from them.
    if (collection && collection->Modified()) collection->Save();
    std::string command = Editor_command_line(editor, file, name);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(editor.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        ScrMessageBox(WindowHandle(), "The settings editor could not be started.",
                      message_caption(), MB_OK | MB_ICONERROR);
        return;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

void TConfigForm::Button1Click() {
    open_help(WindowHandle(), options_.Directory);
}

} // namespace nimbrel
