// The configuration dialog run modally as in /c, driven from a timer inside the modal loop: the
// list follows the preview's pick, clicks change the preview, a tag toggled reaches the file.
#include "app/win32_api.h" // before <windows.h>

#include "app/saver_form_win32.h"
#include "dialogs/config_form_win32.h"
#include "dialogs/dialog_ids.h"
#include "saverkit/scr_control_win32.h"
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
    bool wears_the_icon = false;
};
Script script;

void CALLBACK step(HWND, UINT, UINT_PTR timer, DWORD) {
    auto* dialog = dynamic_cast<TConfigForm*>(GetScrConfigDialog());
    auto* preview = dynamic_cast<TSaverForm*>(GetScrPreviewForm());
    if (++script.ticks > 400) { // 20 s: give up, but end the dialog
        KillTimer(nullptr, timer);
        if (dialog) dialog->BtnCancelClick();
        return;
    }
    HWND list = dialog ? dialog->Item(IDC_SETTINGS_LIST) : nullptr;
    if (!preview || SendMessageA(list, LB_GETCOUNT, 0, 0) <= 0) return;
    KillTimer(nullptr, timer);
    Script& s = script;
    Nimbrel_settings_file* collection = preview->settings_file();
    s.count = int(SendMessageA(list, LB_GETCOUNT, 0, 0));
    s.header = dialog->TitleText(0);
    s.picked = int(SendMessageA(list, LB_GETCURSEL, 0, 0));
    s.shown = preview->core().current_setting();
    s.focus_on_list = GetFocus() == list;
    s.wears_the_icon = reinterpret_cast<HICON>(SendMessageA(dialog->WindowHandle(), WM_GETICON,
                                                            ICON_BIG, 0)) == ApplicationIcon();

    // The note on wrong colours is only true without the emulated palette (shown by its style:
    // the page is hidden).
    const auto visible = [&](int id) {
        return (GetWindowLongA(dialog->Item(id), GWL_STYLE) & WS_VISIBLE) != 0;
    };
    s.note_with_emulation = visible(IDC_INFO_LABEL);
    s.every_monitor_shown =
        SendMessageA(dialog->Item(IDC_OTHER_MONITORS), BM_GETCHECK, 0, 0) == BST_CHECKED &&
        visible(IDC_OTHER_MONITORS);
    SendMessageA(dialog->Item(IDC_OTHER_MONITORS), BM_CLICK, 0, 0);
    s.every_monitor_stored = current_options()->Other_monitors;
    SendMessageA(dialog->Item(IDC_EMULATE_PALETTE), BM_CLICK, 0, 0);
    s.note_without_emulation = visible(IDC_INFO_LABEL);
    s.every_monitor_box_without_emulation = visible(IDC_OTHER_MONITORS);
    s.emulation_stored = current_options()->Emulate_palette;
    s.preview_other_engines = preview->core().other_engines(); // the preview is one engine

    s.other = (s.picked + 1) % s.count;
    SendMessageA(list, LB_SETCURSEL, WPARAM(s.other), 0);
    dialog->settings_listMouseUp(10, 10, false);
    s.shown_after_click = preview->core().current_setting();
    RingAnimation* engine = preview->core().engine();
    dialog->settings_listMouseUp(10, 10, false);
    dialog->settings_listKeyUp(VK_DOWN);
    s.engine_kept_on_same_click = preview->core().engine() == engine;

    s.tag_before = collection->Setting(s.other).Is_tagged();
    dialog->settings_listMouseDown(5, 10, true); // the Name column
    s.name_column_left_tag = collection->Setting(s.other).Is_tagged() == s.tag_before;
    dialog->settings_listMouseDown(dialog->SectionWidth(0) + 5, 10, true);
    s.tag_toggled = collection->Setting(s.other).Is_tagged() != s.tag_before;
    s.engine_kept_on_tag = preview->core().engine() == engine && preview->Running();

    dialog->BtnCancelClick();
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
                TScrControl::OverrideCommandLine("saver.scr /c");
                TScrControl control;
                const UINT_PTR timer = SetTimer(nullptr, 0, 50, step);
                control.Run(FormClass<TSaverForm>(), ConfigFormClass(options));
                KillTimer(nullptr, timer);
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
    EXPECT_TRUE(script.wears_the_icon);
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

} // namespace
} // namespace nimbrel
