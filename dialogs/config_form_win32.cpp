#include "dialogs/config_form_win32.h"

#include "app/display_switch.h"
#include "app/saver_form_win32.h"
#include "dialogs/config_rules.h"
#include "saverkit/scr_control.h"
#include "settings/options.h"

#include <shellapi.h>

namespace nimbrel {
namespace {

constexpr int kClientWidth = 525, kClientHeight = 351;
constexpr int kTagSectionWidth = 42;
constexpr COLORREF kNavy = RGB(0, 0, 128), kMaroon = RGB(128, 0, 0);

// The old help viewer left the system with Windows Vista; later systems only say so.
bool system_shows_hlp() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info)) return false;
#pragma GCC diagnostic pop
    return info.dwMajorVersion < 6;
}

std::string message_caption() {
    return Application && !Application->Title().empty() ? Application->Title() : "Nimbrel";
}

template <class T>
T* place(T* control, TControlHost* parent, int left, int top, int width, int height,
         const char* caption = nullptr) {
    control->SetParent(parent);
    control->SetDesignBounds(left, top, width, height);
    if (caption) control->SetCaption(caption);
    return control;
}

} // namespace

bool& updating_controls() {
    static bool flag = false;
    return flag;
}

TConfigForm::TConfigForm(TComponent* owner) : TScrDialog(owner) {
    Purpose = smConfig;
    Name = "ConfigForm";
    SetCaption("Nimbrel : Screensaver : version 32_2.2");
    OnShow = [this](TComponent* sender) { FormShow(sender); };
    tag_mark_ = LoadBitmapA(Application ? Application->Instance() : GetModuleHandleA(nullptr),
                            "NIMBRELTAGMARK");

    PageControl = place(new TPageControl(this, "PageControl"), this, 4, 4, 517, 307);
    PageControl->OnChange = [this](TComponent* sender) { PageControlChange(sender); };
    SettingsTab = new TTabSheet(PageControl, "SettingsTab", "Settings Selection");
    OptionsTab = new TTabSheet(PageControl, "OptionsTab", "Other Options");
    build_settings_tab();
    build_options_tab();

    status_label = place(new TLabel(this, "status_label"), this, 6, 314, 300, 34,
                         "Screen mode change disabled for config : Colours and palette cycling "
                         "incorrect ! See help file for explanation.");
    status_label->FontColor = kMaroon;
    status_label->SetVisible(false);
    Button1 = place(new TButton(this, "Button1"), this, 314, 320, 60, 23, "Help");
    Button1->OnClick = [this](TComponent* sender) { Button1Click(sender); };
    BtnOk = place(new TButton(this, "BtnOk"), this, 382, 320, 60, 23, "OK");
    BtnOk->Default = true;
    BtnOk->OnClick = [this](TComponent* sender) { BtnOkClick(sender); };
    BtnCancel = place(new TButton(this, "BtnCancel"), this, 450, 320, 60, 23, "Cancel");
    BtnCancel->OnClick = [this](TComponent* sender) { BtnCancelClick(sender); };

    AfterConstruction();
}

TConfigForm::~TConfigForm() {
    if (tag_mark_) DeleteObject(tag_mark_);
}

void TConfigForm::build_settings_tab() {
    Monitor = new TScrMonitor(this, "Monitor");
    Monitor->SetParent(SettingsTab);
    Monitor->SetDesignBounds(6, 7, 184, 170);
    Monitor->SetUse(smuPreview);
    Label1 = place(new TLabel(this, "Label1"), SettingsTab, 6, 181, 188, 14,
                   "Click a name to preview the setting.");
    Label8 = place(new TLabel(this, "Label8"), SettingsTab, 6, 196, 188, 40,
                   "Double click the Tag column to include the setting in tagged mode cycling.");
    Label7 = place(new TLabel(this, "Label7"), SettingsTab, 6, 238, 188, 28,
                   "Please see the Nimbrel 'exe' and help files for more configuration details.");
    Label7->FontColor = kNavy;
    Label4 = place(new TLabel(this, "Label4"), SettingsTab, 6, 266, 188, 14,
                   "Nimbrel 32_2.2 by the Nimbrel makers");

    Container = new TPanel(this, "Container");
    Container->SetParent(SettingsTab);
    Container->SetDesignBounds(198, 7, 306, 267);
    index_panel = new TPanel(this, "index_panel");
    index_panel->SetParent(Container);
    index_panel->SetDesignBounds(0, 0, 306, 267);
    Titles = place(new THeaderControl(this, "Titles"), index_panel, 0, 0, 306, 21);
    Titles->AddSection("Name", 250);
    Titles->AddSection("Tag", kTagSectionWidth);
    Titles->SetEnabled(false);
    settings_list =
        place(new TListBox(this, "settings_list"), index_panel, 0, 21, 306, Visible_rows * 16);
    settings_list->OnDrawItem = [this](const TDrawItem& item) { settings_listDrawItem(item); };
    settings_list->OnMouseDown = [this](int x, int y, bool dbl) {
        settings_listMouseDown(x, y, dbl);
    };
    settings_list->OnMouseUp = [this](int x, int y, bool dbl) { settings_listMouseUp(x, y, dbl); };
    settings_list->OnKeyUp = [this](WORD key) { settings_listKeyUp(key); };
}

void TConfigForm::build_options_tab() {
    ScrGeneral = new TScrGeneral(this, "ScrGeneral");
    ScrGeneral->SetParent(OptionsTab);
    ScrGeneral->SetDesignBounds(0, 0, 509, 277);
    ScrGeneral->SetAllowMute(false);
    lay_out_general_page();

    Panel2 = new TGroupBox(this, "Panel2");
    Panel2->SetParent(ScrGeneral);
    Panel2->SetDesignBounds(198, 4, 306, 196);
    const TNotifyEvent update = [this](TComponent* sender) { Update_Options(sender); };
    Cycling_mode = place(new TCheckBox(this, "Cycling_mode"), Panel2, 8, 4, 294, 17,
                         "Randomly cycle through settings (disabled during config)");
    Cycle_tagged = place(new TRadioButton(this, "Cycle_tagged"), Panel2, 24, 21, 270, 17,
                         "Cycle through tagged settings only");
    Cycle_tagged->GroupStart = true;
    Cycle_all = place(new TRadioButton(this, "Cycle_all"), Panel2, 24, 37, 270, 17,
                      "Cycle through all settings");
    Min_label = place(new TLabel(this, "Min_label"), Panel2, 8, 59, 28, 14, "Min.");
    Min_time = place(new TEdit(this, "Min_time"), Panel2, 40, 56, 56, 21);
    UpDown1 = place(new TUpDown(this, "UpDown1"), Panel2, 96, 56, 15, 21);
    Min_units = place(new TLabel(this, "Min_units"), Panel2, 104, 59, 196, 14,
                      "time on each setting (secs)");
    Max_label = place(new TLabel(this, "Max_label"), Panel2, 8, 82, 28, 14, "Max.");
    Max_time = place(new TEdit(this, "Max_time"), Panel2, 40, 79, 56, 21);
    UpDown2 = place(new TUpDown(this, "UpDown2"), Panel2, 96, 79, 15, 21);
    Max_units = place(new TLabel(this, "Max_units"), Panel2, 104, 82, 196, 14,
                      "time on each setting (secs)");
    for (TUpDown* arrows : {UpDown1, UpDown2}) {
        arrows->SetMin(1);
        arrows->SetMax(Max_time_limit);
    }
    UpDown1->Associate = Min_time;
    UpDown2->Associate = Max_time;
    Min_time->SetText("30");
    Max_time->SetText("60");
    AllowChange = place(new TCheckBox(this, "AllowChange"), Panel2, 8, 102, 294, 17,
                        "Allow automatic screen mode change on activation");
    AllowForce = place(new TCheckBox(this, "AllowForce"), Panel2, 8, 119, 294, 17,
                       "Allow forced screen mode change if necessary");
    Emulate_palette = place(new TCheckBox(this, "Emulate_palette"), Panel2, 8, 136, 294, 28,
                            "Emulate the 256-colour palette when the display has none");
    Emulate_palette->WordWrap = true;
    Other_monitors = place(new TCheckBox(this, "Other_monitors"), Panel2, 8, 164, 294, 17,
                           "Animate every monitor");
    info_label = place(new TLabel(this, "info_label"), Panel2, 6, 166, 297, 28,
                       "Screen mode will not be changed to 256 colours during config, Palette "
                       "cycling may not occur, colours may be wrong");
    for (TCheckBox* box :
         {static_cast<TCheckBox*>(Cycling_mode), static_cast<TCheckBox*>(Cycle_tagged),
          static_cast<TCheckBox*>(Cycle_all), AllowChange, AllowForce, Emulate_palette,
          Other_monitors})
        box->OnClick = update;
    Min_time->OnChange = Min_time->OnExit = [this](TComponent* s) { Min_timeExit(s); };
    Max_time->OnChange = Max_time->OnExit = [this](TComponent* s) { Max_timeExit(s); };
}

// The page's controls are made with the page's own layout for a page of its own; on this tab
// they share the room with the program's options and take the left column and the lower right.
void TConfigForm::lay_out_general_page() {
    auto move = [this](const char* name, int left, int top, int width, int height) {
        for (TComponent* c : Components()) {
            if (c->Name != name) continue;
            if (auto* control = dynamic_cast<TSysControl*>(c))
                control->SetDesignBounds(left, top, width, height);
            else if (auto* panel = dynamic_cast<TPanel*>(c))
                panel->SetDesignBounds(left, top, width, height);
        }
    };
    move("GenTxtCornersOk", 6, 4, 186, 66);
    move("GenTxtCornersBad", 6, 4, 186, 66);
    move("GenTxtCornersNT", 6, 4, 186, 66);
    move("GenCornersMonitor", 6, 70, 184, 170);
    move("GenChkMute", 6, 242, 186, 17);
    move("GenChkActive", 6, 258, 186, 17);
    move("GenGrpOptions", 198, 204, 306, 70);
    move("GenTxtSensitivity", 8, 20, 86, 14);
    move("GenCmbSensitivity", 100, 16, 198, 21);
    move("GenTxtWait", 8, 46, 26, 14);
    move("GenEdtWait", 36, 43, 40, 21);
    move("GenUpdWait", 76, 43, 15, 21);
    move("GenCmbWait", 80, 43, 72, 21);
    move("GenTxtWaitTwo", 158, 46, 144, 14);
}

void TConfigForm::CreateParams(TCreateParams& params) {
    TScrDialog::CreateParams(params);
    // A dialog border with only the system menu, sized for its client area.
    params.Style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | DS_MODALFRAME;
    params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    RECT r{0, 0, Scaled(kClientWidth), Scaled(kClientHeight)};
    AdjustWindowRectEx(&r, params.Style, FALSE, params.ExStyle);
    params.Width = r.right - r.left;
    params.Height = r.bottom - r.top;
}

LRESULT TConfigForm::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = 0;
    if (ReflectMessage(message, wparam, lparam, result)) return result;
    if (message == WM_COMMAND && lparam == 0) {
        // Enter and Escape of the dialog keys.
        if (LOWORD(wparam) == IDOK) BtnOk->Click();
        if (LOWORD(wparam) == IDCANCEL) BtnCancel->Click();
        return 0;
    }
    if (message == DM_GETDEFID) return MAKELRESULT(BtnOk->Id(), DC_HASDEFID);
    result = TScrDialog::WndProc(message, wparam, lparam);
    if (message == WM_CREATE) {
        // Made at the screen's resolution; a monitor of another one gets the dialog its size.
        const int dpi = WindowDpi(WindowHandle());
        if (dpi != LayoutDpi()) {
            SetLayoutDpi(dpi);
            RECT r{0, 0, Scaled(kClientWidth), Scaled(kClientHeight)};
            AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrA(WindowHandle(), GWL_STYLE)),
                               FALSE,
                               static_cast<DWORD>(GetWindowLongPtrA(WindowHandle(), GWL_EXSTYLE)));
            SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
        }
        CreateChildren();
        // The pages were made after the tabs: put the tabs back beneath them.
        PageControl->SetActivePage(PageControl->ActivePage());
    }
    return result;
}

HPALETTE TConfigForm::GetPalette() {
    if (TSaverForm* form = preview())
        if (WindowEngine* engine = form->engine())
            if (HPALETTE palette = engine->palette()) return palette;
    return TScrDialog::GetPalette();
}

// The list, not the tabs above it: arrow keys then move through the settings at once.
HWND TConfigForm::InitialFocus() {
    if (PageControl->ActivePage() == SettingsTab && settings_list->HandleAllocated())
        return settings_list->WindowHandle();
    return TScrDialog::InitialFocus();
}

void TConfigForm::DpiChanged(int old_dpi, int new_dpi, const RECT& suggested) {
    SetLayoutDpi(new_dpi);
    TScrDialog::DpiChanged(old_dpi, new_dpi, suggested);
    ApplyLayoutDpi(old_dpi);
    fit_name_section();
    if (TSaverForm* form = preview()) form->core().Display_changed(); // the area grew or shrank
    RedrawWindow(WindowHandle(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void TConfigForm::fit_name_section() {
    Titles->SetSectionWidth(0, Name_section_width(Scaled(settings_list->DesignWidth()),
                                                  Titles->SectionWidth(1),
                                                  GetSystemMetrics(SM_CXVSCROLL)));
}

TSaverForm* TConfigForm::preview() const {
    return dynamic_cast<TSaverForm*>(GetScrPreviewForm());
}

// --- Settings Selection ------------------------------------------------------------------------
void TConfigForm::FormShow(TComponent*) {
    RECT r{};
    GetWindowRect(WindowHandle(), &r);
    const int left = (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
    SetWindowPos(WindowHandle(), nullptr, left, top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    fit_name_section();
    Nimbrel_Options* opts = current_options();
    if (opts) {
        updating_controls() = true;
        const Option_boxes boxes = Boxes_from_options(*opts);
        Cycling_mode->SetChecked(boxes.cycling);
        Cycle_tagged->SetChecked(boxes.cycle_tagged);
        Cycle_all->SetChecked(!boxes.cycle_tagged);
        // A changed text runs the box's handler, which the flag does not mute.
        Min_time->SetText(boxes.min_time);
        Max_time->SetText(boxes.max_time);
        AllowChange->SetChecked(boxes.allow_change);
        AllowForce->SetChecked(boxes.allow_force);
        Emulate_palette->SetChecked(boxes.emulate_palette);
        Other_monitors->SetChecked(boxes.animate_every_monitor);
        updating_controls() = false;
    }
    show_palette_note();
    status_label->SetVisible(not_256_mode());
}

void TConfigForm::Fill_settings_list(int index) {
    TSaverForm* form = preview();
    Nimbrel_settings_file* collection = form ? form->settings_file() : nullptr;
    if (!collection) {
        Titles->SetSectionText(0, "Name");
        return;
    }
    const int n = collection->Count();
    settings_list->Clear();
    for (int i = 0; i < n; ++i)
        settings_list->Add(collection->Setting(i).Get_name());
    Titles->SetSectionText(0, Name_header(n));
    settings_list->SetItemIndex(index);
    settings_list->SetTopIndex(Top_row(index, n));
}

void TConfigForm::settings_listDrawItem(const TDrawItem& item) {
    TSaverForm* form = preview();
    if (!form) return;
    const int name_width = Titles->SectionWidth(0);
    const int face = item.selected ? COLOR_HIGHLIGHT : COLOR_BTNFACE;
    HDC dc = item.dc;
    SetTextColor(dc, GetSysColor(item.selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ old_font = SelectObject(dc, DialogFont());

    RECT name = item.rect;
    name.right = name_width - 1;
    FillRect(dc, &name, GetSysColorBrush(face));
    const std::string text =
        item.index < settings_list->Count() ? settings_list->Item(item.index) : std::string();
    TextOutA(dc, name.left + Scaled(2), name.top + Scaled(1), text.c_str(),
             static_cast<int>(text.size()));

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
        TransparentBlt(dc, name_width - 1 + Scaled(12), item.rect.top + Scaled(1),
                       Scaled(info.bmWidth), Scaled(info.bmHeight), source, 0, 0, info.bmWidth,
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
    const int selected = settings_list->ItemIndex();
    if (!collection || selected < 0 || selected >= collection->Count()) return;
    if (!In_tag_column(x, Titles->SectionWidth(0))) return;
    collection->Set_tag(selected, !collection->Setting(selected).Is_tagged());
    settings_list->Invalidate();
}

void TConfigForm::preview_selected() {
    TSaverForm* form = preview();
    Nimbrel_settings_file* collection = form ? form->settings_file() : nullptr;
    const int selected = settings_list->ItemIndex();
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
    info_label->SetVisible(!Emulate_palette->Checked());
    Other_monitors->SetVisible(Emulate_palette->Checked());
}

void TConfigForm::Update_Options(TComponent* sender) {
    if (sender == Emulate_palette) show_palette_note();
    Nimbrel_Options* opts = current_options();
    if (updating_controls() || !opts) return;
    Option_boxes boxes;
    boxes.cycling = Cycling_mode->Checked();
    boxes.cycle_tagged = Cycle_tagged->Checked();
    boxes.min_time = Min_time->Text();
    boxes.max_time = Max_time->Text();
    boxes.allow_change = AllowChange->Checked();
    boxes.allow_force = AllowForce->Checked();
    boxes.emulate_palette = Emulate_palette->Checked();
    boxes.animate_every_monitor = Other_monitors->Checked();
    if (const auto error = Options_from_boxes(boxes, *opts))
        ScrMessageBox(WindowHandle(), *error, message_caption(), MB_OK | MB_ICONERROR);
}

void TConfigForm::Min_timeExit(TComponent*) {
    Nimbrel_Options* opts = current_options();
    if (!opts) return;
    const Time_exit exit = Min_time_exit(Min_time->Text(), opts->Max_time);
    opts->Min_time = exit.value;
    if (exit.limit)
        UpDown2->SetMin(exit.value);
    else
        PageControl->SetActivePage(OptionsTab);
}

void TConfigForm::Max_timeExit(TComponent*) {
    Nimbrel_Options* opts = current_options();
    if (!opts) return;
    const Time_exit exit = Max_time_exit(Max_time->Text(), opts->Min_time);
    opts->Max_time = exit.value;
    if (exit.limit)
        UpDown1->SetMax(exit.value);
    else
        PageControl->SetActivePage(OptionsTab);
}

void TConfigForm::show_invalid_times() {
    ScrMessageBox(WindowHandle(), Invalid_times_message, message_caption());
    PageControl->SetActivePage(OptionsTab);
    Min_time->SetFocus();
}

void TConfigForm::PageControlChange(TComponent*) {
    const Nimbrel_Options* opts = current_options();
    if (opts && !Times_valid(opts->Min_time, opts->Max_time)) show_invalid_times();
}

void TConfigForm::BtnOkClick(TComponent*) {
    if (TSaverForm* form = preview()) form->SetRunning(false);
    Max_timeExit(BtnOk);
    Min_timeExit(BtnOk);
    const Nimbrel_Options* opts = current_options();
    if (opts && !Times_valid(opts->Min_time, opts->Max_time)) {
        show_invalid_times();
        return;
    }
    ScrGeneral->SaveValues();
    ModalResult = mrOk;
}

void TConfigForm::BtnCancelClick(TComponent*) {
    if (TSaverForm* form = preview()) form->SetRunning(false);
    ModalResult = mrCancel;
}

void TConfigForm::Button1Click(TComponent*) {
    const Nimbrel_Options* opts = current_options();
    const std::string folder = opts ? opts->Directory : std::string();
    const std::string hlp = folder + "Nimbrel_32_Help.hlp";
    if (file_exists(hlp) && system_shows_hlp()) {
        WinHelpA(WindowHandle(), hlp.c_str(), HELP_CONTEXT, 0);
        return;
    }
    const std::string html = folder + "Nimbrel_32_Help.html";
    if (file_exists(html))
        ShellExecuteA(WindowHandle(), "open", html.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

} // namespace nimbrel
