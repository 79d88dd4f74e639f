// The settings editor of the same build as the saver, on a copy of the shipped data, driven by the
// messages a user's drags and clicks send: a moved bar changes the live preview and is saved, the
// saver shows the saved file, a save that cannot replace the file leaves it as it was, and the
// configuration dialog's Edit... button opens the editor on the selected setting.
#include "dialogs/dialog_ids.h"
#include "driver.h"
#include "editor/editor_ids.h"
#include "fixture.h"
#include "settings/lzh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace e2e {
namespace {

constexpr char kFirstSetting[] = "Triangle Tunnel";
constexpr char kTitle[] = "  Nimbrel : Version 32_2.2";
constexpr char kPreviewClass[] = "NimbrelEditorPreview";
constexpr char kEditorName[] = "Nimbrel_32_Editor.exe";
constexpr char kBoxTitle[] = "Nimbrel Editor";

std::string text_of(HWND window) {
    char text[512] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, LPARAM(text));
    return text;
}

// A visible top-level window of the process whose class is `class_name` and whose title starts
// with `title` (any title when null).
HWND top_window(DWORD process, const char* class_name, const char* title = nullptr) {
    struct Search {
        DWORD process;
        const char* class_name;
        const char* title;
        HWND found;
    } search{process, class_name, title, nullptr};
    EnumWindows(
        [](HWND w, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            const WindowInfo info = describe(w);
            if (!info.visible || info.class_name != s->class_name) return TRUE;
            if (s->process && info.process != s->process) return TRUE;
            if (s->title && info.text.rfind(s->title, 0) != 0) return TRUE;
            s->found = w;
            return FALSE;
        },
        LPARAM(&search));
    return search.found;
}

class Editor : public Saver {
  protected:
    void SetUp() override {
        Saver::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        const std::string saver = environment("NIMBREL_SCR");
        editor_ = saver.substr(0, saver.find_last_of('\\') + 1) + kEditorName;
        if (!file_exists(editor_)) GTEST_SKIP() << "no editor beside the saver: " << editor_;
        prepare_shipped_data(false);
        if (IsSkipped() || HasFatalFailure()) return;
        settings_ = data_ + kShippedSettings;
        shipped_bytes_ = read_file(settings_);
        ASSERT_FALSE(shipped_bytes_.empty());
    }

    // Starts the editor on the copied settings file with `setting` shown.
    void start(const std::string& setting = kFirstSetting) {
        editor_process_ =
            std::make_unique<Process>(editor_, "\"" + settings_ + "\" \"" + setting + "\"");
        ASSERT_TRUE(editor_process_->started());
    }

    // Starts the editor and waits for it and its preview.
    void open(const std::string& setting = kFirstSetting) {
        ASSERT_NO_FATAL_FAILURE(start(setting));
        const DWORD id = editor_process_->id();
        ASSERT_TRUE(
            wait_until([&] { return (dialog_ = top_window(id, "#32770", kTitle)); }, Millis(10000)))
            << "no editor window:" << windows_of(*editor_process_);
        ASSERT_TRUE(
            wait_until([&] { return (preview_ = top_window(id, kPreviewClass)); }, Millis(5000)))
            << "no preview window:" << windows_of(*editor_process_);
        // On this small screen the preview lies over the editor; the editor moves aside (its
        // controls still take messages there) so the preview is seen whole whatever the order.
        RECT r{};
        GetWindowRect(dialog_, &r);
        SetWindowPos(dialog_, nullptr, -(r.right - r.left) + 40, r.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    HWND item(int id) const { return GetDlgItem(dialog_, id); }
    std::string title() const { return text_of(dialog_); }

    // Drags a bar's thumb to `position` and lets it go there.
    void move_bar(int id, int position) {
        SendMessageA(dialog_, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position), LPARAM(item(id)));
    }
    void click(int id) {
        PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(item(id)));
    }

    // The most lit of a few looks at the preview: a single frame may catch the rings small.
    double preview_lit() const {
        RECT r{};
        GetClientRect(preview_, &r);
        MapWindowPoints(preview_, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
        double most = 0;
        for (int i = 0; i < 6; ++i) {
            most = std::max(most, non_black_fraction(capture_screen(&r)));
            Sleep(80);
        }
        return most;
    }

    std::string editor_, settings_, shipped_bytes_;
    std::unique_ptr<Process> editor_process_;
    HWND dialog_ = nullptr, preview_ = nullptr;
};

TEST_F(Editor, MovedBarChangesThePreviewIsSavedAndTheSaverShowsTheFile) {
    open();
    ASSERT_TRUE(wait_until([&] { return preview_lit() > 0.01; }, Millis(5000)))
        << "the preview shows no rings";
    EXPECT_EQ(SendMessageA(item(IDC_MAX_POLYGONS), SBM_GETPOS, 0, 0), 60);
    const double lit_before = preview_lit();

    move_bar(IDC_MAX_POLYGONS, 1);
    EXPECT_EQ(text_of(item(IDC_MAX_POLYGONS_VALUE)), "1");
    EXPECT_EQ(title().back(), '*') << "no unsaved mark: " << title();
    Sleep(500); // the one ring left moves out to where the many were
    const double lit_after = preview_lit();
    EXPECT_LT(lit_after * 4, lit_before) << "one ring lights as much as sixty";

    click(IDC_SAVE_BTN);
    ASSERT_TRUE(wait_until([&] { return title().back() != '*'; }, Millis(5000)))
        << "not saved: " << title() << " " << text_of(item(IDC_STATUS));
    EXPECT_NE(read_file(settings_), shipped_bytes_);
    click(IDC_KILL_BTN); // nothing unsaved: no question
    ASSERT_TRUE(editor_process_->wait_exit(Millis(5000)));

    open();
    EXPECT_EQ(SendMessageA(item(IDC_MAX_POLYGONS), SBM_GETPOS, 0, 0), 1);
    EXPECT_EQ(SendMessageA(item(IDC_SETTINGS_NAMES), LB_GETCOUNT, 0, 0), 54);
    editor_process_->kill();

    Process saver(exe_, "/s");
    Image shot;
    EXPECT_GE(wait_for_rings(saver, Millis(4000), &shot, shows_drawing), 0)
        << "the saver shows nothing from the saved file: " << summary(shot) << windows_of(saver);
    press_key(VK_SPACE);
    EXPECT_TRUE(saver.wait_exit(Millis(2000)));
}

// Another program holding the file open stops the replacement, as a read-only folder would;
// Wine run by root lets a program write into any folder, so this is the failure it can show.
TEST_F(Editor, SaveThatCannotReplaceTheFileSaysSoAndKeepsTheFile) {
    open();
    move_bar(IDC_MAGNIFICATION, 20);
    HANDLE held = CreateFileA(settings_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    click(IDC_SAVE_BTN);
    HWND box = nullptr;
    EXPECT_TRUE(
        wait_until([&] { return (box = top_window(editor_process_->id(), "#32770", kBoxTitle)); },
                   Millis(5000)))
        << "no message about the failed save";
    CloseHandle(held);
    EXPECT_EQ(read_file(settings_), shipped_bytes_) << "the file changed although saving failed";
    EXPECT_EQ(title().back(), '*') << "the failed save counts as saved";
    const std::string status = text_of(item(IDC_STATUS));
    EXPECT_EQ(status.rfind("Not saved", 0), 0u) << status;
    editor_process_->kill();
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((data_ + "*.tmp*").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "left beside the file: " << found.cFileName;
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

TEST_F(Editor, WithNoDataFolderRegisteredOffersTheOpenedFilesFolder) {
    ASSERT_TRUE(directory_.remove());
    start();
    HWND box = nullptr;
    ASSERT_TRUE(
        wait_until([&] { return (box = top_window(editor_process_->id(), "#32770", kBoxTitle)); },
                   Millis(10000)))
        << "no offer to register the folder:" << windows_of(*editor_process_);
    PostMessageA(box, WM_COMMAND, IDYES, 0);
    EXPECT_TRUE(wait_until([&] { return read_registry_string(kNimbrelKey, "Directory") == data_; },
                           Millis(5000)))
        << "Directory is \"" << read_registry_string(kNimbrelKey, "Directory") << '"';
    editor_process_->kill();
}

// A list box's line; the lists are Unicode windows, so the ANSI message would give one letter.
std::string list_text(HWND list, int index) {
    wchar_t wide[512] = {};
    SendMessageW(list, LB_GETTEXT, WPARAM(index), LPARAM(wide));
    char text[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

TEST_F(Editor, EditButtonOfTheConfigurationDialogOpensTheSelectedSetting) {
    ASSERT_TRUE(CopyFileA(editor_.c_str(), (bin_ + kEditorName).c_str(), FALSE));
    Process saver(exe_, "/c");
    HWND config = nullptr;
    ASSERT_TRUE(
        wait_until([&] { return (config = top_window(saver.id(), "TConfigForm")); }, Millis(5000)));
    HWND list = nullptr, edit = nullptr;
    for (HWND c : child_windows(config)) {
        if (GetDlgCtrlID(c) == IDC_SETTINGS_LIST) list = c;
        if (GetDlgCtrlID(c) == IDC_EDIT_BTN) edit = c;
    }
    ASSERT_TRUE(list && edit);
    ASSERT_TRUE(
        wait_until([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) > 3; }, Millis(5000)));
    SendMessageA(list, LB_SETCURSEL, 3, 0);
    SendMessageA(list, WM_KEYUP, VK_DOWN, 0); // as after an arrow key: the preview follows
    const std::string name = list_text(list, 3);
    PostMessageA(edit, BM_CLICK, 0, 0);

    HWND editor = nullptr;
    ASSERT_TRUE(
        wait_until([&] { return (editor = top_window(0, "#32770", kTitle)); }, Millis(10000)))
        << "no editor came up";
    HWND editor_list = GetDlgItem(editor, IDC_SETTINGS_NAMES);
    const auto selected = SendMessageA(editor_list, LB_GETCURSEL, 0, 0);
    EXPECT_EQ(list_text(editor_list, int(selected)), name);
    // What the editor might have saved: a new setting before the selected one, the rest gone.
    const std::string saved = "{ Edited\r\n}\r\n{ " + name + "\r\n}\r\n";
    const std::vector<std::uint8_t> packed = nimbrel::lzh_pack({saved.begin(), saved.end()});
    ASSERT_TRUE(write_file(settings_, std::string(packed.begin(), packed.end())));
    DWORD editor_id = 0;
    GetWindowThreadProcessId(editor, &editor_id);
    PostMessageA(editor, WM_COMMAND, MAKEWPARAM(IDC_KILL_BTN, BN_CLICKED), 0);
    EXPECT_TRUE(wait_until([&] { return !IsWindow(editor); }, Millis(5000)));
    if (HANDLE left = OpenProcess(PROCESS_TERMINATE, FALSE, editor_id)) { // it started; we end it
        TerminateProcess(left, 1);
        CloseHandle(left);
    }

    // Back in the dialog, its list is the file as the editor left it, on the same setting.
    SetForegroundWindow(config);
    EXPECT_TRUE(
        wait_until([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 2; }, Millis(3000)))
        << "the dialog still lists the settings it loaded";
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
    saver.kill();
}

} // namespace
} // namespace e2e
