// The configuration dialog run modally as in /c, driven from a timer inside the modal loop: the
// list follows the preview's pick, clicks change the preview, a tag toggled reaches the file.
#include "app/win32_api.h" // before <windows.h>

#include "app/saver_form_win32.h"
#include "dialogs/config_form_win32.h"
#include "saverkit/scr_control.h"
#include "settings/options.h"
#include "settings/registry.h"
#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

// What the timer saw inside the modal loop.
struct Script {
    int ticks = 0;
    bool done = false;
    int count = 0;
    std::string header;
    int picked = -1, shown = -2;
    int other = -1, shown_after_click = -2;
    bool engine_kept_on_same_click = false;
    bool name_column_left_tag = false;
    bool tag_toggled = false;
    bool engine_kept_on_tag = false;
    bool frozen_by_cancel = false;
    bool tag_before = false;
    bool focus_on_list = false;
    bool note_with_emulation = true;
    bool note_without_emulation = false;
    bool emulation_stored = true;
    bool every_monitor_shown = false;
    bool every_monitor_box_without_emulation = true;
    Other_monitors_mode every_monitor_stored = Other_monitors_mode::rings;
    std::size_t preview_other_engines = 1;
};
Script script;

void CALLBACK step(HWND, UINT, UINT_PTR timer, DWORD) {
    auto* dialog = dynamic_cast<TConfigForm*>(GetScrConfigDialog());
    auto* preview = dynamic_cast<TSaverForm*>(GetScrPreviewForm());
    if (++script.ticks > 400) { // 20 s: give up, but end the dialog
        KillTimer(nullptr, timer);
        if (dialog) dialog->BtnCancelClick(nullptr);
        return;
    }
    if (!dialog || !preview || dialog->settings_list->Count() == 0) return;
    KillTimer(nullptr, timer);
    Script& s = script;
    Nimbrel_settings_file* collection = preview->settings_file();
    s.count = dialog->settings_list->Count();
    s.header = dialog->Titles->SectionText(0);
    s.picked = dialog->settings_list->ItemIndex();
    s.shown = preview->core().current_setting();
    s.focus_on_list = GetFocus() == dialog->settings_list->WindowHandle();

    // The note on wrong colours is only true without the emulated palette.
    s.note_with_emulation = dialog->info_label->Visible();
    s.every_monitor_shown = dialog->Other_monitors->Checked() && dialog->Other_monitors->Visible();
    SendMessageA(dialog->Other_monitors->Handle(), BM_CLICK, 0, 0);
    s.every_monitor_stored = current_options()->Other_monitors;
    SendMessageA(dialog->Emulate_palette->Handle(), BM_CLICK, 0, 0);
    s.note_without_emulation = dialog->info_label->Visible();
    s.every_monitor_box_without_emulation = dialog->Other_monitors->Visible();
    s.emulation_stored = current_options()->Emulate_palette;
    s.preview_other_engines = preview->core().other_engines(); // the preview is one engine

    s.other = (s.picked + 1) % s.count;
    dialog->settings_list->SetItemIndex(s.other);
    dialog->settings_listMouseUp(10, 10, false);
    s.shown_after_click = preview->core().current_setting();
    RingAnimation* engine = preview->core().engine();
    dialog->settings_listMouseUp(10, 10, false);
    dialog->settings_listKeyUp(VK_DOWN);
    s.engine_kept_on_same_click = preview->core().engine() == engine;

    s.tag_before = collection->Setting(s.other).Is_tagged();
    dialog->settings_listMouseDown(5, 10, true); // the Name column
    s.name_column_left_tag = collection->Setting(s.other).Is_tagged() == s.tag_before;
    dialog->settings_listMouseDown(dialog->Titles->SectionWidth(0) + 5, 10, true);
    s.tag_toggled = collection->Setting(s.other).Is_tagged() != s.tag_before;
    s.engine_kept_on_tag = preview->core().engine() == engine && preview->Running();

    dialog->BtnCancelClick(nullptr);
    s.frozen_by_cancel = !preview->Running();
    s.done = true;
}

// A data folder with the shipped settings file; the dialog runs modally as in /c while `step`
// drives it from a timer. Message boxes are collected instead of shown.
struct DialogRun {
    fs::path data = fs::temp_directory_path() / "nimbrel-config-form-test";
    std::string folder;
    std::vector<std::string> boxes;

    DialogRun() {
        fs::remove_all(data);
        fs::create_directories(data);
        fs::copy_file(fs::path(NIMBREL_REPO_DATA) / "Nimbrel_32_Settings.cmp",
                      data / "Nimbrel_32_Settings.cmp");
        folder = data.string() + "\\";
    }
    ~DialogRun() { fs::remove_all(data); }

    void run(TIMERPROC step) {
        SetScrMessageBoxHook([&](HWND, const std::string& text, const std::string& caption) {
            boxes.push_back(caption + ": " + text);
            return IDOK;
        });
        {
            Nimbrel_Options options(Fixed_registry(folder), folder);
            options.Start_auto_cycling = options.Auto_cycling = true; // the dialog stops it anyway
            install_options(&options);
            {
                TApplication app;
                TScrControl::OverrideCommandLine("saver.scr /c");
                auto* control = new TScrControl(&app);
                control->AutoExecute = false;
                app.CreateForm<TSaverForm>();
                SetTimer(nullptr, 0, 50, step);
                control->Run(FormClass<TSaverForm>(), FormClass<TConfigForm>());
                MSG message;
                bool quit = false;
                while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                    quit |= message.message == WM_QUIT;
                EXPECT_TRUE(quit);
                EXPECT_EQ(GetScrConfigDialog(), nullptr);
            } // the preview window goes, and with it the collection, saved with its new tag
            install_options(nullptr);
        }
        TScrControl::OverrideCommandLine(nullptr);
        SetScrMessageBoxHook(nullptr);
    }
};

TEST(ConfigForm, ListsPreviewsAndTagsTheSettingsOfThePreview) {
    DialogRun run;
    script = Script{};
    run.run(step);

    ASSERT_TRUE(script.done) << "the list was never filled";
    EXPECT_TRUE(run.boxes.empty()) << run.boxes.front();
    Nimbrel_settings_file reloaded;
    ASSERT_TRUE(reloaded.Load(run.folder + "Nimbrel_32_Settings.cmp", false));
    EXPECT_EQ(script.count, reloaded.Count());
    EXPECT_EQ(script.header,
              "Name        " + std::to_string(reloaded.Count()) + " Settings in file");
    EXPECT_GE(script.picked, 0);
    EXPECT_EQ(script.shown, script.picked) << "the selection is not what the preview shows";
    EXPECT_EQ(script.shown_after_click, script.other);
    EXPECT_TRUE(script.engine_kept_on_same_click) << "the same setting was started again";
    EXPECT_TRUE(script.name_column_left_tag) << "a double click on the name changed the tag";
    EXPECT_TRUE(script.tag_toggled);
    EXPECT_TRUE(script.engine_kept_on_tag) << "tagging disturbed the preview";
    EXPECT_TRUE(script.frozen_by_cancel);
    EXPECT_TRUE(script.focus_on_list) << "the settings list does not have the focus";
    EXPECT_FALSE(script.note_with_emulation);
    EXPECT_TRUE(script.note_without_emulation);
    EXPECT_FALSE(script.emulation_stored);
    EXPECT_TRUE(script.every_monitor_shown);
    EXPECT_FALSE(script.every_monitor_box_without_emulation);
    EXPECT_EQ(script.every_monitor_stored, Other_monitors_mode::black);
    EXPECT_EQ(script.preview_other_engines, 0u);
    EXPECT_NE(reloaded.Setting(script.other).Is_tagged(), script.tag_before)
        << "the new tag did not reach the file";
}

// ------------------------------------------------------------------------------------------------
// Moved to a monitor of another resolution. Wine never sends WM_DPICHANGED (one monitor, one
// resolution), so the test sends it as Windows would: both resolutions in wparam, the suggested
// window rectangle in lparam.
struct Layout {
    RECT window{};
    SIZE ok{}, list{}, preview{}, picture{}, edit{};
    int item_height = 0, font_height = 0;
};
struct DpiScript {
    bool done = false;
    int ticks = 0;
    Layout before, at144, back;
    RECT suggested{};
};
DpiScript dpi_script;

SIZE size_of(HWND window) {
    RECT r{};
    if (window) GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

Layout measure(TConfigForm* dialog) {
    Layout l;
    GetWindowRect(dialog->WindowHandle(), &l.window);
    l.ok = size_of(dialog->BtnOk->WindowHandle());
    l.list = size_of(dialog->settings_list->WindowHandle());
    l.picture = size_of(dialog->Monitor->WindowHandle());
    l.edit = size_of(dialog->Min_time->WindowHandle()); // its arrows inside it
    l.preview = size_of(GetWindow(dialog->Monitor->WindowHandle(), GW_CHILD));
    l.item_height =
        int(SendMessageA(dialog->settings_list->WindowHandle(), LB_GETITEMHEIGHT, 0, 0));
    LOGFONTA font{};
    auto* handle =
        reinterpret_cast<HFONT>(SendMessageA(dialog->BtnOk->WindowHandle(), WM_GETFONT, 0, 0));
    if (handle && GetObjectA(handle, sizeof font, &font)) l.font_height = font.lfHeight;
    return l;
}

void move_to(TConfigForm* dialog, int dpi, const RECT& suggested) {
    SendMessageA(dialog->WindowHandle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
}

void CALLBACK dpi_step(HWND, UINT, UINT_PTR timer, DWORD) {
    auto* dialog = dynamic_cast<TConfigForm*>(GetScrConfigDialog());
    if (++dpi_script.ticks > 400) {
        KillTimer(nullptr, timer);
        if (dialog) dialog->BtnCancelClick(nullptr);
        return;
    }
    if (!dialog || !dialog->HandleAllocated() || !IsWindowVisible(dialog->WindowHandle())) return;
    KillTimer(nullptr, timer);
    DpiScript& s = dpi_script;
    s.before = measure(dialog);
    const RECT& w = s.before.window;
    // Windows suggests the rectangle that keeps the window's place, scaled: here, half again.
    s.suggested = {w.left + 7, w.top + 5, w.left + 7 + (w.right - w.left) * 3 / 2,
                   w.top + 5 + (w.bottom - w.top) * 3 / 2};
    move_to(dialog, 144, s.suggested);
    s.at144 = measure(dialog);
    move_to(dialog, 96, w);
    s.back = measure(dialog);
    dialog->BtnCancelClick(nullptr);
    s.done = true;
}

TEST(ConfigForm, MovedToAMonitorOfAnotherResolutionLaysItselfOutAgain) {
    DialogRun run;
    dpi_script = DpiScript{};
    run.run(dpi_step);
    ASSERT_TRUE(dpi_script.done) << "the dialog never showed";
    const DpiScript& s = dpi_script;
    ASSERT_EQ(s.before.ok.cx, 60) << "this test runs at 96 dots per inch";

    const RECT& r = s.at144.window;
    EXPECT_EQ(r.left, s.suggested.left);
    EXPECT_EQ(r.top, s.suggested.top);
    EXPECT_EQ(r.right, s.suggested.right);
    EXPECT_EQ(r.bottom, s.suggested.bottom);
    const struct {
        const char* what;
        int at96, at144, back;
    } sizes[] = {
        {"OK width", s.before.ok.cx, s.at144.ok.cx, s.back.ok.cx},
        {"OK height", s.before.ok.cy, s.at144.ok.cy, s.back.ok.cy},
        {"list width", s.before.list.cx, s.at144.list.cx, s.back.list.cx},
        {"list height", s.before.list.cy, s.at144.list.cy, s.back.list.cy},
        {"picture width", s.before.picture.cx, s.at144.picture.cx, s.back.picture.cx},
        {"preview width", s.before.preview.cx, s.at144.preview.cx, s.back.preview.cx},
        {"preview height", s.before.preview.cy, s.at144.preview.cy, s.back.preview.cy},
        {"row height", s.before.item_height, s.at144.item_height, s.back.item_height},
        {"edit height", s.before.edit.cy, s.at144.edit.cy, s.back.edit.cy},
        {"font height", -s.before.font_height, -s.at144.font_height, -s.back.font_height},
    };
    for (const auto& c : sizes) {
        EXPECT_GT(c.at96, 0) << c.what;
        EXPECT_NEAR(c.at144, c.at96 * 3 / 2, 1) << c.what;
        EXPECT_EQ(c.back, c.at96) << c.what << " back at 96";
    }
    EXPECT_EQ(s.back.edit.cx, s.before.edit.cx) << "the arrows left the edit";
    EXPECT_TRUE(run.boxes.empty()) << run.boxes.front();
}

} // namespace
} // namespace nimbrel
