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
    SendMessageA(dialog->Emulate_palette->Handle(), BM_CLICK, 0, 0);
    s.note_without_emulation = dialog->info_label->Visible();
    s.emulation_stored = current_options()->Emulate_palette;

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

TEST(ConfigForm, ListsPreviewsAndTagsTheSettingsOfThePreview) {
    const fs::path data = fs::temp_directory_path() / "nimbrel-config-form-test";
    fs::remove_all(data);
    fs::create_directories(data);
    fs::copy_file(fs::path(NIMBREL_REPO_DATA) / "Nimbrel_32_Settings.cmp",
                  data / "Nimbrel_32_Settings.cmp");
    const std::string folder = data.string() + "\\";
    std::vector<std::string> boxes;
    SetScrMessageBoxHook([&](HWND, const std::string& text, const std::string& caption) {
        boxes.push_back(caption + ": " + text);
        return IDOK;
    });
    script = Script{};
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

    ASSERT_TRUE(script.done) << "the list was never filled";
    EXPECT_TRUE(boxes.empty()) << boxes.front();
    Nimbrel_settings_file reloaded;
    ASSERT_TRUE(reloaded.Load(folder + "Nimbrel_32_Settings.cmp", false));
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
    EXPECT_NE(reloaded.Setting(script.other).Is_tagged(), script.tag_before)
        << "the new tag did not reach the file";
    fs::remove_all(data);
}

} // namespace
} // namespace nimbrel
