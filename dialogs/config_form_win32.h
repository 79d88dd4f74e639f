// TConfigForm: the configuration dialog. "Settings Selection" lists the settings of the file the
// live preview loaded, shows a clicked one in the preview and tags or untags it; "Other Options"
// holds the kit's general options and the program's own options. The dialog and its two pages
// are templates (dialog_resources.rc); it owns no settings data: it works on the preview
// window's collection and on the options record.
#pragma once

#include "app/win32_api.h" // before <windows.h>

#include "app/saver_window_core.h"
#include "saverkit/scr_control_win32.h"
#include "saverkit/scr_forms_win32.h"
#include "saverkit/scr_general_win32.h"
#include "saverkit/scr_monitor_win32.h"

#include <string>

namespace nimbrel {

class TSaverForm;
class Nimbrel_Options;

// One row of the settings list to draw.
struct TDrawItem {
    HDC dc;
    int index;
    RECT rect;
    bool selected;
};

class TConfigForm : public TScrDialog, public ConfigDialogLink {
  public:
    // The dialog shows and changes `options`, the running program's record.
    explicit TConfigForm(Nimbrel_Options& options);
    ~TConfigForm() override;

    // Called by the preview after each random pick.
    void Fill_settings_list(int index) override;

    // The pages, and a control of the dialog or of one of its pages by identifier.
    HWND SettingsTab = nullptr, OptionsTab = nullptr;
    HWND Item(int id) const;
    TScrMonitor Monitor;
    TScrGeneral ScrGeneral;
    // The list's column titles and the Name column's width (pixels).
    std::string TitleText(int section) const;
    int SectionWidth(int section) const;

    // Event handlers.
    void settings_listDrawItem(const TDrawItem& item);
    void settings_listMouseDown(int x, int y, bool double_click);
    void settings_listMouseUp(int x, int y, bool double_click);
    void settings_listKeyUp(WORD key);
    void Update_Options(int sender);
    void Min_timeExit();
    void Max_timeExit();
    void PageControlChange();
    void BtnOkClick();
    void BtnCancelClick();
    void Button1Click();
    void Edit_btnClick();

  protected:
    INT_PTR DialogProc(UINT message, WPARAM wparam, LPARAM lparam) override;
    TScrGeneral* GeneralPage() override { return &ScrGeneral; }
    HWND PreviewArea() override { return Monitor.WindowHandle(); }
    HPALETTE GetPalette() override;

  private:
    static LRESULT CALLBACK list_proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    void FormShow();
    void make_pages();
    void show_page(int index);
    void fit_name_section();
    void show_invalid_times();
    void show_palette_note();
    void preview_selected();
    bool checked(int id) const;
    void check(int id, bool on);
    int list_index() const;
    TSaverForm* preview() const;

    Nimbrel_Options& options_;
    HBITMAP tag_mark_ = nullptr;     // Screensaver_pic
    bool updating_controls_ = false; // FormShow is loading the option boxes
};

// What the kit makes the configuration dialog with.
TScrDialogClass ConfigFormClass(Nimbrel_Options& options);

} // namespace nimbrel
