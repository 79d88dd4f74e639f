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

#include "message_pump.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

// Set by the timer inside the modal loop, for the checks on the file afterwards.
struct Script {
    int ticks = 0;
    bool done = false;
    int other = -1;
    bool tag_before = false;
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
    Nimbrel_settings_file* collection = preview->settings_file();
    const int count = int(SendMessageA(list, LB_GETCOUNT, 0, 0));
    EXPECT_EQ(count, collection->Count());
    EXPECT_EQ(dialog->TitleText(0), "Name        " + std::to_string(count) + " Settings in file");
    const int picked = int(SendMessageA(list, LB_GETCURSEL, 0, 0));
    EXPECT_GE(picked, 0);
    EXPECT_EQ(preview->core().current_setting(), picked) << "the list does not show the preview's";
    EXPECT_EQ(GetFocus(), list) << "the settings list does not have the focus";
    EXPECT_EQ(
        reinterpret_cast<HICON>(SendMessageA(dialog->WindowHandle(), WM_GETICON, ICON_BIG, 0)),
        ApplicationIcon());

    // The note on wrong colours is only true without the emulated palette (shown by its style:
    // the page is hidden); the other monitors' box goes with the emulation too.
    const auto visible = [&](int id) {
        return (GetWindowLongA(dialog->Item(id), GWL_STYLE) & WS_VISIBLE) != 0;
    };
    EXPECT_FALSE(visible(IDC_INFO_LABEL));
    EXPECT_TRUE(visible(IDC_OTHER_MONITORS));
    EXPECT_EQ(SendMessageA(dialog->Item(IDC_OTHER_MONITORS), BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageA(dialog->Item(IDC_OTHER_MONITORS), BM_CLICK, 0, 0);
    EXPECT_EQ(current_options()->Other_monitors, Other_monitors_mode::black);
    SendMessageA(dialog->Item(IDC_EMULATE_PALETTE), BM_CLICK, 0, 0);
    EXPECT_TRUE(visible(IDC_INFO_LABEL));
    EXPECT_FALSE(visible(IDC_OTHER_MONITORS));
    EXPECT_FALSE(current_options()->Emulate_palette);
    EXPECT_EQ(preview->core().other_engines(), 0u); // the preview is one engine

    Script& s = script;
    s.other = (picked + 1) % count;
    SendMessageA(list, LB_SETCURSEL, WPARAM(s.other), 0);
    dialog->settings_listMouseUp(10, 10, false);
    EXPECT_EQ(preview->core().current_setting(), s.other);
    RingAnimation* engine = preview->core().engine();
    dialog->settings_listMouseUp(10, 10, false);
    dialog->settings_listKeyUp(VK_DOWN);
    EXPECT_EQ(preview->core().engine(), engine) << "the same setting was started again";

    s.tag_before = collection->Setting(s.other).Is_tagged();
    dialog->settings_listMouseDown(5, 10, true); // the Name column
    EXPECT_EQ(collection->Setting(s.other).Is_tagged(), s.tag_before) << "the name changed it";
    dialog->settings_listMouseDown(dialog->SectionWidth(0) + 5, 10, true);
    EXPECT_NE(collection->Setting(s.other).Is_tagged(), s.tag_before);
    EXPECT_TRUE(preview->core().engine() == engine && preview->Running())
        << "tagging disturbed the preview";

    dialog->BtnCancelClick();
    EXPECT_FALSE(preview->Running()) << "not frozen by Cancel";
    s.done = true;
}

// A data folder with the shipped settings file; the dialog runs modally as in /c while `step`
// drives it from a timer. Message boxes are collected instead of shown.
struct DialogRun {
    fs::path data = fs::temp_directory_path() / "nimbrel-config-form-test";
    std::string folder;
    MessageBoxes boxes;

    DialogRun() {
        fs::remove_all(data);
        fs::create_directories(data);
        fs::copy_file(fs::path(NIMBREL_REPO_DATA) / "Nimbrel_32_Settings.cmp",
                      data / "Nimbrel_32_Settings.cmp");
        folder = data.string() + "\\";
    }
    ~DialogRun() { fs::remove_all(data); }

    void run(TIMERPROC step) {
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
                EXPECT_TRUE(take_quit());
                EXPECT_EQ(GetScrConfigDialog(), nullptr);
            } // the preview window goes, and with it the collection, saved with its new tag
            install_options(nullptr);
        }
        TScrControl::OverrideCommandLine(nullptr);
    }
};

TEST(ConfigForm, ListsPreviewsAndTagsTheSettingsOfThePreview) {
    DialogRun run;
    script = Script{};
    run.run(step);

    ASSERT_TRUE(script.done) << "the list was never filled";
    EXPECT_TRUE(run.boxes.shown.empty()) << run.boxes.shown.front();
    Nimbrel_settings_file reloaded;
    ASSERT_TRUE(reloaded.Load(run.folder + "Nimbrel_32_Settings.cmp", false));
    EXPECT_NE(reloaded.Setting(script.other).Is_tagged(), script.tag_before)
        << "the new tag did not reach the file";
}

} // namespace
} // namespace nimbrel
