// TConfigForm: the configuration dialog. "Settings Selection" lists the settings of the file the
// live preview loaded, shows a clicked one in the preview and tags or untags it; "Other Options"
// holds the kit's general options page and the program's own options. The dialog owns no
// settings data: it works on the preview window's collection and on the options record.
#pragma once

#include "app/win32_api.h" // before <windows.h>

#include "app/saver_window_core.h"
#include "saverkit/controls.h"
#include "saverkit/scr_forms.h"
#include "saverkit/scr_general.h"
#include "saverkit/scr_monitor.h"

namespace nimbrel {

class TSaverForm;
class Nimbrel_Options;

class TConfigForm : public TScrDialog, public TControlHost, public ConfigDialogLink {
  public:
    explicit TConfigForm(TComponent* owner);
    ~TConfigForm() override;
    const char* ClassName() const override { return "TConfigForm"; }

    // Called by the preview after each random pick.
    void Fill_settings_list(int index) override;

    // Published components.
    TPageControl* PageControl;
    TTabSheet* SettingsTab;
    TScrMonitor* Monitor;
    TLabel *Label1, *Label8, *Label7, *Label4;
    TPanel *Container, *index_panel;
    THeaderControl* Titles;
    TListBox* settings_list;
    TTabSheet* OptionsTab;
    TScrGeneral* ScrGeneral;
    TPanel* Panel2;
    TCheckBox* Cycling_mode;
    TRadioButton *Cycle_tagged, *Cycle_all;
    TLabel *Min_label, *Min_units, *Max_label, *Max_units;
    TEdit *Min_time, *Max_time;
    TUpDown *UpDown1, *UpDown2;
    TCheckBox *AllowChange, *AllowForce, *Emulate_palette, *Other_monitors;
    TLabel* info_label;
    TLabel* status_label;
    TButton *Button1, *BtnOk, *BtnCancel;

    // Event handlers.
    void FormShow(TComponent* sender);
    void settings_listDrawItem(const TDrawItem& item);
    void settings_listMouseDown(int x, int y, bool double_click);
    void settings_listMouseUp(int x, int y, bool double_click);
    void settings_listKeyUp(WORD key);
    void Update_Options(TComponent* sender);
    void Min_timeExit(TComponent* sender);
    void Max_timeExit(TComponent* sender);
    void PageControlChange(TComponent* sender);
    void BtnOkClick(TComponent* sender);
    void BtnCancelClick(TComponent* sender);
    void Button1Click(TComponent* sender);

    HWND HostHandle() override { return Handle(); }

  protected:
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;
    HPALETTE GetPalette() override;
    HWND InitialFocus() override;
    void DpiChanged(int old_dpi, int new_dpi, const RECT& suggested) override;

  private:
    void fit_name_section();
    void build_settings_tab();
    void build_options_tab();
    void lay_out_general_page();
    void show_invalid_times();
    void show_palette_note();
    void preview_selected();
    TSaverForm* preview() const;
    Nimbrel_Options& options() const;

    HBITMAP tag_mark_ = nullptr; // Screensaver_pic
};

// True only while FormShow loads the option boxes.
bool& updating_controls();

} // namespace nimbrel
