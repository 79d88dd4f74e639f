#include "editor/editor_dialog_win32.h"

#include "dialogs/help_win32.h"
#include "editor/editor_ids.h"
#include "editor/setting_writer.h"
#include "engine/palette_file.h"
#include "saverkit/dpi_win32.h"
#include "settings/file_io.h"
#include "settings/reg_key_win32.h"
#include "settings/registry.h"
#include "settings/text_lines.h"

#include <commdlg.h>

#include <algorithm>

namespace nimbrel {
namespace {

constexpr char kCaption[] = "  Nimbrel : Version 32_2.2";
constexpr char kBoxTitle[] = "Nimbrel Editor";
constexpr UINT kSpeedMessage = WM_APP + 1;

std::optional<Param> param_of(int id) {
    if (id < IDC_PARAM_FIRST || id >= IDC_PARAM_FIRST + Param_count) return std::nullopt;
    return static_cast<Param>(id - IDC_PARAM_FIRST);
}

int id_of(Param p) {
    return IDC_PARAM_FIRST + static_cast<int>(p);
}

// What the engine reads only while it is made: a change of it needs a new engine. The rest is
// read every frame, or only by the frame timer (the speed), or by nobody but the saver.
bool needs_new_engine(Param p) {
    switch (p) {
    case Param::Screensaver:
    case Param::hide_cursor:
    case Param::lock_xy_aspect:
    case Param::lock_xy_motion:
    case Param::pause_freeze:
    case Param::pause_continue:
    case Param::fix_speed:
    case Param::speed_scroll:
    case Param::rub_out:
    case Param::aspect_sync:
    case Param::draw_solid:
    case Param::draw_vertices:
        return false;
    default:
        return true;
    }
}

std::string window_text(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string file_part(const std::string& path) {
    return path.substr(path.find_last_of("\\/") + 1);
}

std::string folder_part(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The name box: the prompt and the name in, the name typed out.
struct NameBox {
    std::string prompt, name;
};

INT_PTR CALLBACK name_box_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(window, DWLP_USER, lparam);
        const auto* box = reinterpret_cast<NameBox*>(lparam);
        SetDlgItemTextA(window, IDC_NAME_PROMPT, box->prompt.c_str());
        SetDlgItemTextA(window, IDC_NAME_EDIT, box->name.c_str());
        SendDlgItemMessageA(window, IDC_NAME_EDIT, EM_SETSEL, 0, -1);
        return TRUE; // the focus to the name
    }
    case WM_COMMAND:
        if (LOWORD(wparam) == IDOK) {
            auto* box = reinterpret_cast<NameBox*>(GetWindowLongPtrA(window, DWLP_USER));
            box->name = window_text(GetDlgItem(window, IDC_NAME_EDIT));
            EndDialog(window, IDOK);
            return TRUE;
        }
        if (LOWORD(wparam) == IDCANCEL) {
            EndDialog(window, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

EditorDialog::EditorDialog(EditorStart start)
    : start_(std::move(start)), holder_(list_palette_files(palette_folder())), preview_(holder_) {}

EditorDialog::~EditorDialog() = default;

void EditorDialog::run() {
    DialogBoxParamA(GetModuleHandleA(nullptr), "EDITORFORM", nullptr, dialog_proc,
                    reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK EditorDialog::dialog_proc(HWND window, UINT message, WPARAM wparam,
                                           LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<EditorDialog*>(lparam);
        SetWindowLongPtrA(window, DWLP_USER, lparam);
        self->window_ = window;
    }
    auto* self = reinterpret_cast<EditorDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self) return FALSE;
    try {
        return self->handle(message, wparam, lparam);
    } catch (...) {
        HandleException();
        return FALSE;
    }
}

int EditorDialog::message(const std::string& text, UINT flags) const {
    return MessageBoxA(window_, text.c_str(), kBoxTitle, flags);
}

INT_PTR EditorDialog::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        init();
        return TRUE;
    case WM_COMMAND:
        command(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
        return TRUE;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (lparam) scroll(reinterpret_cast<HWND>(lparam), wparam);
        return TRUE;
    case WM_DRAWITEM: {
        const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
        if (draw->CtlID != IDC_PALETTE_STRIP) return FALSE;
        draw_palette_strip(*draw);
        return TRUE;
    }
    case WM_HELP:
        help(); // F1
        return TRUE;
    case kSpeedMessage:
        show_speed();
        return TRUE;
    case WM_CLOSE:
        if (may_discard()) EndDialog(window_, IDCANCEL);
        return TRUE;
    case WM_DPICHANGED:
        return FALSE; // the system scales the dialog; the strip is drawn at its new size
    default:
        return FALSE;
    }
}

void EditorDialog::init() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    SendMessageA(window_, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconA(instance, "MAINICON")));
    SendMessageA(window_, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadIconA(instance, "MAINICON")));
    // The rounding buttons name pi itself, which the template's code page cannot.
    SetWindowTextW(item(IDC_BTN_F), L"f: ...\x03C0/2...\x03C0/4...");
    SetWindowTextW(item(IDC_BTN_R), L"r: ...\x03C0/2...\x03C0/4...");
    HWND palettes = item(IDC_PALETTE_LIST);
    for (const std::string& name : holder_.palette_list())
        SendMessageA(palettes, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));

    preview_.OnSpeedMeasured = [this] { PostMessageA(window_, kSpeedMessage, 0, 0); };
    preview_.create(window_);
    if (!start_.settings_file.empty() && open(start_.settings_file)) {
        if (start_.offer_registration) offer_registration();
    } else {
        document_.new_document();
        fill_settings_list();
        select(-1);
    }
    preview_.show();
}

// --- The file ----------------------------------------------------------------------------------
bool EditorDialog::open(const std::string& path) {
    std::string error;
    const bool opened = document_.open(path, &error);
    if (!error.empty()) message(error, MB_OK | (opened ? MB_ICONWARNING : MB_ICONERROR));
    if (!opened) return false;
    fill_settings_list();
    int first = 0;
    for (int i = 0; i < document_.count() && !start_.setting_name.empty(); ++i)
        if (equal_ignoring_case(document_.setting(i).Get_name(), start_.setting_name)) first = i;
    start_.setting_name.clear();
    select(document_.count() > 0 ? first : -1);
    return true;
}

void EditorDialog::offer_registration() {
    const std::string folder = folder_part(document_.path());
    if (folder.empty()) return;
    if (message("No Nimbrel data folder is registered, so the screen saver cannot find its "
                "settings and palettes.\n\nUse this file's folder as the data folder?\n\n" +
                    folder,
                MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    RegKey key;
    if (!key.create(HKEY_CURRENT_USER, Registry_key) ||
        !key.write_string("Directory", folder.c_str(), static_cast<DWORD>(folder.size() + 1)))
        message("The data folder could not be registered.", MB_OK | MB_ICONERROR);
}

bool EditorDialog::may_discard() {
    if (!document_.dirty()) return true;
    const int answer =
        message("The settings have been changed. Save them?", MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL) return false;
    return answer == IDNO || save(false);
}

bool EditorDialog::load() {
    if (!may_discard()) return false;
    char path[MAX_PATH] = {};
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpstrFilter = "Settings files (*.cmp, *.txt)\0*.cmp;*.txt\0All files\0*.*\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    const std::string folder = folder_part(document_.path());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    if (!GetOpenFileNameA(&dialog)) return false;
    return open(path);
}

bool EditorDialog::save(bool choose_name) {
    std::string error;
    bool saved = false;
    if (choose_name || document_.path().empty() || document_.read_only()) {
        char path[MAX_PATH] = {};
        const std::string name = file_part(document_.path());
        lstrcpynA(path, name.empty() ? "Nimbrel_32_Settings.cmp" : name.c_str(), sizeof path);
        OPENFILENAMEA dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = window_;
        dialog.lpstrFilter = "Packed settings (*.cmp)\0*.cmp\0Plain text settings (*.txt)\0*.txt\0";
        dialog.nFilterIndex = name.size() > 4 && name.substr(name.size() - 4) == ".txt" ? 2 : 1;
        dialog.lpstrDefExt = "cmp";
        dialog.lpstrFile = path;
        dialog.nMaxFile = sizeof path;
        const std::string folder = folder_part(document_.path());
        dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
        dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
        if (!GetSaveFileNameA(&dialog)) return false;
        saved = document_.save_as(path, &error);
    } else {
        saved = document_.save(&error);
    }
    if (!saved) {
        SetDlgItemTextA(window_, IDC_STATUS, ("Not saved: " + error).c_str());
        message("The settings were not saved: " + error + "\n\nThe file on the disk is as it was.",
                MB_OK | MB_ICONERROR);
        return false;
    }
    SetDlgItemTextA(window_, IDC_STATUS, ("Saved " + file_part(document_.path())).c_str());
    update_title();
    return true;
}

void EditorDialog::update_title() {
    std::string title = kCaption;
    if (!document_.path().empty()) title += " - " + file_part(document_.path());
    if (document_.read_only()) title += " (read-only)";
    if (document_.dirty()) title += " *";
    SetWindowTextA(window_, title.c_str());
}

void EditorDialog::fill_settings_list() {
    HWND list = item(IDC_SETTINGS_NAMES);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < document_.count(); ++i)
        SendMessageA(list, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(document_.setting(i).Get_name().c_str()));
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    const bool any = document_.count() > 0;
    for (int id : {IDC_DUPLICATE_BTN, IDC_RENAME_BTN, IDC_DELETE_BTN, IDC_UP_BTN, IDC_DOWN_BTN})
        EnableWindow(item(id), any);
    update_title();
}

// Shows setting `index` (-1: none) from the holder's defaults, so a setting that names only
// some parameters shows the same values whichever setting was shown before.
void EditorDialog::select(int index) {
    current_ = index;
    SendMessageA(item(IDC_SETTINGS_NAMES), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    holder_ = TSettings_Form(holder_.palette_list());
    std::string status;
    if (index >= 0) {
        if (const auto error = holder_.Apply_setting(document_.setting(index).Lines))
            status = "Line " + std::to_string(error->line) +
                     " of this setting was not understood: " + error->reason;
    }
    holder_.fix_speedClick();
    holder_.UsePaletteClick();
    SetDlgItemTextA(window_, IDC_STATUS, status.c_str());
    for (int id = IDC_PARAM_FIRST; id < IDC_PARAM_FIRST + Param_count; ++id)
        EnableWindow(item(id), index >= 0);
    if (index >= 0)
        preview_.restart();
    else
        preview_.stop();
    // The engine may pick a palette for a setting that uses one without naming it.
    show_values(true);
}

std::optional<std::string> EditorDialog::ask_name(const std::string& prompt,
                                                  const std::string& name) {
    NameBox box{prompt, name};
    if (DialogBoxParamA(GetModuleHandleA(nullptr), "EDITORNAME", window_, name_box_proc,
                        reinterpret_cast<LPARAM>(&box)) != IDOK)
        return std::nullopt;
    return box.name;
}

void EditorDialog::add_setting(bool copy) {
    if (copy && current_ < 0) return;
    std::string name = copy ? document_.setting(current_).Get_name() + " copy" : "New setting";
    for (;;) {
        const auto typed = ask_name(copy ? "Name of the copy:" : "Name of the new setting:", name);
        if (!typed) return;
        int index = -1;
        const std::string refused = copy ? document_.duplicate(current_, *typed, &index)
                                         : document_.add_new(*typed, &index);
        if (refused.empty()) {
            fill_settings_list();
            select(index);
            return;
        }
        message(refused, MB_OK | MB_ICONWARNING);
        name = *typed;
    }
}

void EditorDialog::rename_setting() {
    if (current_ < 0) return;
    std::string name = document_.setting(current_).Get_name();
    for (;;) {
        const auto typed = ask_name("New name of the setting:", name);
        if (!typed) return;
        const std::string refused = document_.rename(current_, *typed);
        if (refused.empty()) {
            const int index = current_;
            fill_settings_list();
            SendMessageA(item(IDC_SETTINGS_NAMES), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
            return;
        }
        message(refused, MB_OK | MB_ICONWARNING);
        name = *typed;
    }
}

void EditorDialog::remove_setting() {
    if (current_ < 0) return;
    if (message("Delete the setting \"" + document_.setting(current_).Get_name() + "\"?",
                MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const int index = current_;
    document_.remove(index);
    fill_settings_list();
    select(document_.count() == 0 ? -1 : std::min(index, document_.count() - 1));
}

void EditorDialog::move_setting(int delta) {
    if (current_ < 0 || !document_.move(current_, delta)) return;
    const int index = current_ + delta;
    fill_settings_list();
    current_ = index;
    SendMessageA(item(IDC_SETTINGS_NAMES), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// --- The values --------------------------------------------------------------------------------
void EditorDialog::command(int id, int code, HWND control) {
    if (updating_) return;
    if (const auto p = param_of(id)) {
        const ParamInfo& info = param_info(*p);
        if (info.kind == Kind::PaletteChoice) {
            if (code != LBN_SELCHANGE) return;
            holder_.set_palette_index(static_cast<int>(SendMessageA(control, LB_GETCURSEL, 0, 0)));
            changed(true);
        } else if (code == BN_CLICKED && info.kind != Kind::Scroll) {
            const bool on = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
            // A radio button is only ever switched on: its group's others go off.
            holder_.set_on(*p, info.kind == Kind::Radio || on);
            if (*p == Param::fix_speed) holder_.fix_speedClick();
            if (*p == Param::UsePalette || *p == Param::RGBwalk) holder_.UsePaletteClick();
            if (*p == Param::fix_speed) preview_.pace();
            changed(needs_new_engine(*p));
        }
        return;
    }
    if (code != BN_CLICKED && id != IDC_SETTINGS_NAMES) return;
    switch (id) {
    case IDC_SETTINGS_NAMES: {
        const int index = static_cast<int>(SendMessageA(control, LB_GETCURSEL, 0, 0));
        if (code == LBN_SELCHANGE && index != current_) select(index);
        return;
    }
    case IDC_NEW_BTN:
        add_setting(false);
        return;
    case IDC_DUPLICATE_BTN:
        add_setting(true);
        return;
    case IDC_RENAME_BTN:
        rename_setting();
        return;
    case IDC_DELETE_BTN:
        remove_setting();
        return;
    case IDC_UP_BTN:
        move_setting(-1);
        return;
    case IDC_DOWN_BTN:
        move_setting(+1);
        return;
    case IDC_LOAD_BTN:
        load();
        return;
    case IDC_SAVE_BTN:
        save(false);
        return;
    case IDC_SAVE_AS_BTN:
        save(true);
        return;
    case IDC_HELP_BTN:
        help();
        return;
    case IDC_ABOUT_BTN:
        about();
        return;
    case IDC_KILL_BTN:
    case IDCANCEL: // Escape
        if (may_discard()) EndDialog(window_, IDCANCEL);
        return;
    case IDC_PREVIEW_BTN:
        preview_.show();
        return;
    default:
        break;
    }
    if (current_ < 0) return;
    switch (id) {
    case IDC_ZEROASPBTN:
        holder_.ZeroAspBtnClick();
        break;
    case IDC_ROT_ZERO:
        holder_.rot_zeroClick();
        break;
    case IDC_PDF_ZERO:
        holder_.PDF_zeroClick(false);
        break;
    case IDC_PDF_MAX:
        holder_.PDF_zeroClick(true);
        break;
    case IDC_BTN_F:
        holder_.btn_fClick(true);
        break;
    case IDC_BTN_R:
        holder_.btn_fClick(false);
        break;
    case IDC_ZEROPALBTN:
        holder_.ZeroPalBtnClick();
        break;
    case IDC_SET_SPEED:
        // The measured speed becomes the designed one, as Set copies the read-out.
        holder_.set_position(Param::speed_scroll, std::max(1, preview_.frames_per_second()));
        preview_.pace();
        changed(false);
        return;
    default:
        return;
    }
    changed(true);
}

void EditorDialog::scroll(HWND bar, WPARAM wparam) {
    const int code = LOWORD(wparam);
    const auto p = param_of(GetDlgCtrlID(bar));
    if (!p || updating_ || current_ < 0) return;
    const ScrollValue& now = holder_.scroll(*p);
    const std::int32_t page = std::max(1, (now.Max - now.Min) / 10);
    std::int32_t wanted = now.Position;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    switch (code) {
    case SB_LINEUP:
        wanted -= 1;
        break;
    case SB_LINEDOWN:
        wanted += 1;
        break;
    case SB_PAGEUP:
        wanted -= page;
        break;
    case SB_PAGEDOWN:
        wanted += page;
        break;
    case SB_TOP:
        wanted = now.Min;
        break;
    case SB_BOTTOM:
        wanted = now.Max;
        break;
    case SB_THUMBTRACK:
        GetScrollInfo(bar, SB_CTL, &info);
        wanted = info.nTrackPos;
        break;
    case SB_THUMBPOSITION:
        // Where the thumb was let go; also what a program moving the bar sends.
        wanted = static_cast<short>(HIWORD(wparam));
        break;
    default:
        return; // SB_ENDSCROLL
    }
    if (*p == Param::max_rot_speed || *p == Param::min_rot_speed)
        wanted = holder_.max_rot_speedScroll(*p, wanted);
    if (wanted == now.Position) return;
    holder_.set_position(*p, wanted);
    if (*p == Param::speed_scroll) preview_.pace();
    changed(needs_new_engine(*p));
}

// Puts the holder's values into the controls: those that differ from what they show, or all.
void EditorDialog::show_values(bool all) {
    updating_ = true;
    for (int i = 0; i < Param_count; ++i) {
        const auto p = static_cast<Param>(i);
        const ParamInfo& info = param_info(p);
        HWND control = item(id_of(p));
        if (info.kind == Kind::Scroll) {
            const ScrollValue& v = holder_.scroll(p);
            ScrollValue& shown = shown_scroll_[static_cast<std::size_t>(i)];
            if (!all && v.Min == shown.Min && v.Max == shown.Max && v.Position == shown.Position)
                continue;
            shown = v;
            SCROLLINFO si{};
            si.cbSize = sizeof si;
            si.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
            si.nMin = v.Min;
            si.nMax = v.Max;
            si.nPos = v.Position;
            SetScrollInfo(control, SB_CTL, &si, TRUE);
            SetDlgItemInt(window_, id_of(p) + IDC_VALUE_OFFSET, static_cast<UINT>(v.Position),
                          TRUE);
        } else if (info.kind == Kind::PaletteChoice) {
            if (!all && holder_.palette_index() == shown_palette_) continue;
            shown_palette_ = holder_.palette_index();
            SendMessageA(control, LB_SETCURSEL, static_cast<WPARAM>(shown_palette_), 0);
            load_strip_colours();
        } else {
            const int on = holder_.on(p) ? 1 : 0;
            if (!all && on == shown_on_[static_cast<std::size_t>(i)]) continue;
            shown_on_[static_cast<std::size_t>(i)] = on;
            SendMessageA(control, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
    const bool editing = current_ >= 0;
    EnableWindow(item(IDC_SPEED_SCROLL), editing && holder_.speed_controls_enabled());
    EnableWindow(item(IDC_SET_SPEED), editing && holder_.speed_controls_enabled());
    EnableWindow(item(IDC_PALETTE_LIST), editing && holder_.palette_list_enabled());
    SetDlgItemTextA(window_, IDC_DESIGNED_SPEED, holder_.designed_speed().c_str());
    InvalidateRect(item(IDC_PALETTE_STRIP), nullptr, FALSE);
    updating_ = false;
}

// A value changed: the controls follow the holder (couplings and handlers may have moved
// others), the setting's lines follow the values, and the preview follows them.
void EditorDialog::changed(bool needs_engine) {
    show_values(false);
    if (current_ < 0) return;
    const Nimbrel_setting& setting = document_.setting(current_);
    document_.set_lines(
        current_, setting_lines(setting.Get_name(), holder_, setting.Is_tagged(), setting.Lines));
    update_title();
    if (needs_engine) {
        preview_.restart();
        show_values(false); // the engine may have picked a palette
    }
}

void EditorDialog::show_speed() {
    SetDlgItemInt(window_, IDC_F_SPEED, static_cast<UINT>(preview_.frames_per_second()), FALSE);
}

// The palette strip: the chosen palette file's colours side by side; grey without one.
void EditorDialog::load_strip_colours() {
    strip_.clear();
    const int index = holder_.palette_index();
    if (index < 0 || index >= static_cast<int>(holder_.palette_list().size())) return;
    std::vector<PaletteEntry> colours;
    if (!read_palette_file(holder_.palette_list()[static_cast<std::size_t>(index)], colours))
        return;
    for (const PaletteEntry& e : colours)
        strip_.push_back(RGB(e.red, e.green, e.blue));
}

void EditorDialog::draw_palette_strip(const DRAWITEMSTRUCT& draw) {
    const RECT& r = draw.rcItem;
    const int width = r.right - r.left;
    const bool shown = !strip_.empty() && holder_.on(Param::UsePalette);
    if (!shown) {
        FillRect(draw.hDC, &r, GetSysColorBrush(COLOR_BTNSHADOW));
        return;
    }
    const int n = static_cast<int>(strip_.size());
    for (int i = 0; i < n; ++i) {
        RECT cell{r.left + width * i / n, r.top, r.left + width * (i + 1) / n, r.bottom};
        if (cell.right <= cell.left) continue;
        HBRUSH brush = CreateSolidBrush(strip_[static_cast<std::size_t>(i)]);
        FillRect(draw.hDC, &cell, brush);
        DeleteObject(brush);
    }
}

void EditorDialog::help() {
    open_help(window_, start_.data_folder);
}

void EditorDialog::about() {
    message("Nimbrel Editor, version 32_2.2\n\nMakes and changes the settings the Nimbrel screen "
            "saver shows, with a live preview of the setting being edited.",
            MB_OK | MB_ICONINFORMATION);
}

} // namespace nimbrel
