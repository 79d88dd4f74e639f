// The configuration dialog of the real saver, driven as a user would: the list of settings with
// its header and tags, the options boxes with their checks, the general options page with its
// registry values, and what is written when the dialog goes.
#include "driver.h"
#include "fixture.h"
#include "image.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>
#include <sstream>

namespace e2e {
namespace {

constexpr char kDialogClass[] = "TConfigForm";
constexpr char kCaption[] = "Nimbrel : Screensaver : version 32_2.2";
constexpr char kInvalidTimes[] =
    "Min and Max time settings are invalid \n    (1->3600 allowed) and Min<=Max";

// Memory in another process for the control messages that take a pointer.
class RemoteBuffer {
  public:
    RemoteBuffer(HWND window, SIZE_T size) : size_(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_)
            address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    ~RemoteBuffer() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    bool ok() const { return address_ != nullptr; }
    template <class T> T* at(SIZE_T offset) const {
        return reinterpret_cast<T*>(static_cast<char*>(address_) + offset);
    }
    bool write(SIZE_T offset, const void* data, SIZE_T size) const {
        return WriteProcessMemory(process_, at<char>(offset), data, size, nullptr) != 0;
    }
    bool read(SIZE_T offset, void* data, SIZE_T size) const {
        return ReadProcessMemory(process_, at<char>(offset), data, size, nullptr) != 0;
    }

  private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    SIZE_T size_;
};

std::string header_text(HWND header, int section) {
    RemoteBuffer buffer(header, 512);
    if (!buffer.ok()) return "<no remote memory>";
    HDITEMA item{};
    item.mask = HDI_TEXT;
    item.pszText = buffer.at<char>(sizeof(item));
    item.cchTextMax = 200;
    buffer.write(0, &item, sizeof(item));
    if (!SendMessageA(header, HDM_GETITEMA, WPARAM(section), LPARAM(buffer.at<char>(0))))
        return "<no section>";
    char text[201] = {};
    buffer.read(sizeof(item), text, 200);
    return text;
}

RECT tab_rect(HWND tabs, int index) {
    RemoteBuffer buffer(tabs, sizeof(RECT));
    RECT r{};
    if (buffer.ok() &&
        SendMessageA(tabs, TCM_GETITEMRECT, WPARAM(index), LPARAM(buffer.at<RECT>(0))))
        buffer.read(0, &r, sizeof(r));
    return r;
}

std::string narrow(const std::wstring& wide) {
    if (wide.empty()) return "";
    const int size =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(size_t(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), text.data(), size, nullptr,
                        nullptr);
    return text;
}

// The controls' own text, asked of the control (another process's edit keeps its text to itself).
std::string control_text(HWND window) {
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(size_t(std::max<LRESULT>(length, 0)) + 1, L'\0');
    const LRESULT got = SendMessageW(window, WM_GETTEXT, WPARAM(text.size()), LPARAM(text.data()));
    text.resize(size_t(std::max<LRESULT>(got, 0)));
    return narrow(text);
}

std::string list_text(HWND list, int index) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, WPARAM(index), 0);
    if (length < 0) return "";
    std::wstring text(size_t(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, WPARAM(index), LPARAM(text.data()));
    text.resize(size_t(length));
    return narrow(text);
}

void click_at(HWND window, int x, int y, bool twice = false) {
    const LPARAM at = MAKELPARAM(x, y);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(window, WM_LBUTTONUP, 0, at);
    if (twice) {
        PostMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageA(window, WM_LBUTTONUP, 0, at);
    }
}

// The process's visible top-level window of a class (and a text part, when given).
HWND find_top(const Process& process, const char* class_name, const char* text_part = nullptr) {
    for (HWND w : process.visible_top_windows()) {
        const WindowInfo info = describe(w);
        if (info.class_name != class_name) continue;
        if (!text_part) return w;
        if (info.text.find(text_part) != std::string::npos) return w;
        for (HWND c : child_windows(w))
            if (describe(c).text.find(text_part) != std::string::npos) return w;
    }
    return nullptr;
}

// A message box of the process: its text, closed with OK; nothing when none came in time.
std::optional<std::string> take_message_box(const Process& process, Millis timeout) {
    HWND box = nullptr;
    wait_until([&] { return (box = find_top(process, "#32770")) != nullptr; }, timeout);
    if (!box) return std::nullopt;
    std::string text;
    for (HWND c : child_windows(box)) {
        const WindowInfo info = describe(c);
        if (info.class_name == "Static" && info.text.size() > text.size()) text = info.text;
    }
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    wait_until([&] { return !IsWindow(box) || !IsWindowVisible(box); }, Millis(2000));
    return text;
}

// Runs a console program and answers what it printed.
std::string run_and_capture(const std::string& exe, const std::string& args) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE read_end = nullptr, write_end = nullptr;
    if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return "";
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA start{};
    start.cb = sizeof(start);
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdOutput = start.hStdError = write_end;
    start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info{};
    std::string line = "\"" + exe + "\" " + args;
    const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &start, &info);
    CloseHandle(write_end);
    std::string out;
    if (started) {
        char chunk[512];
        DWORD got = 0;
        while (ReadFile(read_end, chunk, sizeof(chunk), &got, nullptr) && got)
            out.append(chunk, got);
        WaitForSingleObject(info.hProcess, 10000);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    CloseHandle(read_end);
    return out;
}

DWORD read_registry_number(const char* key, const char* value, DWORD fallback = 0xFFFFFFFF) {
    DWORD number = 0, size = sizeof(number);
    if (RegGetValueA(HKEY_CURRENT_USER, key, value, RRF_RT_REG_DWORD, nullptr, &number, &size) !=
        ERROR_SUCCESS)
        return fallback;
    return number;
}

class Config : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string scr = saver_under_test();
        if (scr.empty()) GTEST_SKIP() << "NIMBREL_SCR is not set: no saver to test";
        const std::string shipped = shipped_data();
        if (shipped.empty()) GTEST_SKIP() << "no shipped data folder (NIMBREL_DATA)";
        std::string tag = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace_if(
            tag.begin(), tag.end(), [](char c) { return !isalnum(c); }, '-');
        install_ = std::make_unique<SaverInstall>(scr, tag);
        ASSERT_TRUE(install_->ok());
        const std::string data = install_->data();
        ASSERT_TRUE(copy_tree(shipped, data.substr(0, data.size() - 1)));
        ASSERT_TRUE(directory_.set_string(data));
        write_options("1", "1", "30", "60");
        // A wait that no time box shows, so the boxes are told apart by their numbers.
        ASSERT_TRUE(password_delay_.set_number(45));
    }

    const SaverInstall& install() const { return *install_; }

    void write_options(const char* cycling, const char* tagged, const char* min, const char* max) {
        ASSERT_TRUE(write_ini(install().data_ini(), kIniSection,
                              {{"Start_auto_cycling", cycling},
                               {"Tagged_settings_only", tagged},
                               {"Min_time", min},
                               {"Max_time", max},
                               {"Prompt_screen_change", "1"},
                               {"Prompt_force_change", "1"},
                               {"Settings_file", "Nimbrel_32_Settings.cmp"}}));
    }

    std::string ini_value(const char* key) {
        const IniSection ini = read_ini(install().data_ini(), kIniSection);
        const std::string* value = ini.find(key);
        return value ? *value : "<missing>";
    }

    // Starts the saver with `args` and waits for its dialog.
    HWND open(const std::string& args) {
        saver_ = std::make_unique<Process>(install().exe(), args);
        if (!saver_->started()) return nullptr;
        wait_until([&] { return (dialog_ = find_top(*saver_, kDialogClass)) != nullptr; },
                   Millis(5000));
        return dialog_;
    }

    // A child of the dialog by class and (when given) exact text.
    HWND child(const char* class_name, const char* text = nullptr, int nth = 0) const {
        for (HWND c : child_windows(dialog_)) {
            const WindowInfo info = describe(c);
            if (_stricmp(info.class_name.c_str(), class_name) != 0) continue;
            if (text && control_text(c) != text) continue;
            if (nth-- == 0) return c;
        }
        return nullptr;
    }

    // Waits until the preview has picked and the list is filled; answers the item count.
    int wait_for_list() {
        HWND list = child("ListBox");
        int count = 0;
        wait_until(
            [&] {
                count = int(SendMessageA(list, LB_GETCOUNT, 0, 0));
                return count > 0;
            },
            Millis(5000));
        return count;
    }

    void choose_tab(int index) {
        HWND tabs = child(WC_TABCONTROLA);
        const RECT r = tab_rect(tabs, index);
        click_at(tabs, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        wait_until([&] { return SendMessageA(tabs, TCM_GETCURSEL, 0, 0) == index; }, Millis(2000));
    }

    // The hot-corner monitor (the other one frames the preview in its "MonitorWindow" child).
    HWND corners_monitor() const {
        for (HWND c : child_windows(dialog_))
            if (describe(c).class_name == "TScrMonitor" &&
                !FindWindowExA(c, nullptr, "MonitorWindow", nullptr))
                return c;
        return nullptr;
    }

    int current_tab() const {
        return int(SendMessageA(child(WC_TABCONTROLA), TCM_GETCURSEL, 0, 0));
    }

    void click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }
    void set_text(HWND edit, const char* text) { SendMessageA(edit, WM_SETTEXT, 0, LPARAM(text)); }
    std::string text_of(HWND window) const { return describe(window).text; }

    bool closes() { return saver_->wait_exit(Millis(5000)); }

    std::unique_ptr<Process> saver_;
    HWND dialog_ = nullptr;
    RegistryValueGuard directory_{kNimbrelKey, "Directory"};
    RegistryValueGuard password_delay_{kSaverOptionsKey, "Password Delay"};

  private:
    std::unique_ptr<SaverInstall> install_;
};

// ------------------------------------------------------------------------------------------------
TEST_F(Config, ListsEverySettingUnderItsHeaderWithThePickSelected) {
    for (const char* args : {"", "/c"}) {
        SCOPED_TRACE(std::string("arguments: '") + args + "'");
        ASSERT_NE(open(args), nullptr) << "no configuration dialog";
        EXPECT_EQ(text_of(dialog_), kCaption);
        const std::string listed =
            run_and_capture(executable_folder() + "\\nimbrel-settings.exe",
                            "list \"" + install().data() + "Nimbrel_32_Settings.cmp\"");
        const int in_file = int(std::count(listed.begin(), listed.end(), '\n'));
        ASSERT_GT(in_file, 1) << listed;

        HWND list = child("ListBox");
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(wait_for_list(), in_file);
        EXPECT_EQ(header_text(child(WC_HEADERA), 0),
                  "Name        " + std::to_string(in_file) + " Settings in file");
        EXPECT_EQ(header_text(child(WC_HEADERA), 1), "Tag");
        const int picked = int(SendMessageA(list, LB_GETCURSEL, 0, 0));
        EXPECT_GE(picked, 0);
        EXPECT_NE(listed.find(list_text(list, 0)), std::string::npos) << list_text(list, 0);

        click(child("Button", "Cancel"));
        ASSERT_TRUE(closes());
    }
}

TEST_F(Config, DoubleClickInTheTagColumnTogglesTheTagInTheFile) {
    const std::string file = install().data() + "Nimbrel_32_Settings.cmp";
    const std::string tool = executable_folder() + "\\nimbrel-settings.exe";
    const std::string before = run_and_capture(tool, "list \"" + file + "\"");
    ASSERT_NE(open("/c"), nullptr);
    HWND list = child("ListBox");
    ASSERT_GT(wait_for_list(), 1);

    // The row of the second setting: a click in the Name column only previews it.
    const int height = int(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    const int top = int(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    const int y = (1 - top) * height + height / 2;
    RECT client{};
    GetClientRect(list, &client);
    click_at(list, 20, y, true);
    wait_until([&] { return SendMessageA(list, LB_GETCURSEL, 0, 0) == 1; }, Millis(2000));
    ASSERT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
    click_at(list, client.right - 10, y, true);
    Sleep(300);

    click(child("Button", "Cancel"));
    ASSERT_TRUE(closes());
    const std::string after = run_and_capture(tool, "list \"" + file + "\"");
    std::istringstream a(before), b(after);
    std::string line_a, line_b;
    int index = 0;
    while (std::getline(a, line_a) && std::getline(b, line_b)) {
        SCOPED_TRACE(line_a + " / " + line_b);
        ASSERT_GT(line_a.size(), 2u);
        const bool tagged_before = line_a[2] == '*', tagged_after = line_b[2] == '*';
        EXPECT_EQ(tagged_after, index == 1 ? !tagged_before : tagged_before);
        ++index;
    }
    EXPECT_GT(index, 1);
}

TEST_F(Config, OptionBoxesTakeEffectEvenAfterCancel) {
    ASSERT_NE(open("/c"), nullptr);
    choose_tab(1);
    ASSERT_EQ(current_tab(), 1);
    click(child("Button", "Randomly cycle through settings (disabled during config)"));
    click(child("Button", "Cycle through all settings"));
    Sleep(200);
    set_text(child("Edit", "30"), "5");
    set_text(child("Edit", "60"), "20");
    click(child("Button", "Cancel"));
    ASSERT_TRUE(closes());
    EXPECT_EQ(ini_value("Start_auto_cycling"), "0");
    EXPECT_EQ(ini_value("Tagged_settings_only"), "0");
    EXPECT_EQ(ini_value("Min_time"), "5");
    EXPECT_EQ(ini_value("Max_time"), "20");
}

TEST_F(Config, InvalidTimesAreRefusedOnTheOptionsTab) {
    const struct { const char *edit, *text; } cases[] = {{"30", "0"}, {"60", "5000"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("typed ") + c.text);
        ASSERT_NE(open("/c"), nullptr);
        ASSERT_EQ(current_tab(), 0);
        HWND edit = child("Edit", c.edit);
        ASSERT_NE(edit, nullptr);
        set_text(edit, c.text);
        click(child("Button", "OK"));
        const auto message = take_message_box(*saver_, Millis(3000));
        ASSERT_TRUE(message.has_value()) << "no message box";
        EXPECT_EQ(*message, kInvalidTimes);
        EXPECT_EQ(current_tab(), 1);
        EXPECT_TRUE(saver_->running()) << "the dialog closed";
        EXPECT_NE(find_top(*saver_, kDialogClass), nullptr);
        set_text(edit, c.edit); // put it right, so the INI stays as it was
        click(child("Button", "Cancel"));
        ASSERT_TRUE(closes());
    }
}

TEST_F(Config, GeneralOptionsAreReadAndSavedInTheSystemValues) {
    RegistryValueGuard& delay = password_delay_;
    RegistryValueGuard delay_index{kSaverOptionsKey, "Password Delay Index"};
    RegistryValueGuard threshold{kSaverOptionsKey, "Mouse Threshold"};
    RegistryValueGuard threshold_index{kSaverOptionsKey, "Mouse Threshold Index"};
    RegistryValueGuard corners{kSaverOptionsKey, "Mouse Corners"};
    RegistryValueGuard mute{kSaverOptionsKey, "Mute Sound"};
    ASSERT_TRUE(delay.set_number(90));
    ASSERT_TRUE(threshold_index.set_number(1));
    ASSERT_TRUE(corners.set_string("----"));

    ASSERT_NE(open("/c"), nullptr);
    choose_tab(1);
    HWND sensitivity = child("ComboBox", nullptr, 0);
    HWND unit = child("ComboBox", nullptr, 1);
    HWND wait = child("Edit", "1");
    ASSERT_NE(wait, nullptr) << "90 seconds should show as 1 (minute)";
    EXPECT_EQ(SendMessageA(unit, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageA(sensitivity, CB_GETCURSEL, 0, 0), 1);

    // "Ignore mouse movement", as a user picks it.
    SendMessageA(sensitivity, CB_SETCURSEL, 3, 0);
    SendMessageA(GetParent(sensitivity), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(sensitivity), CBN_SELCHANGE), LPARAM(sensitivity));

    // "Now" from the top-left corner's menu; without a system agent a warning comes first.
    HWND monitor = corners_monitor();
    ASSERT_NE(monitor, nullptr);
    RECT m{};
    GetClientRect(monitor, &m);
    const int dx = (m.right - 184) / 2, dy = (m.bottom - 170) / 2;
    click_at(monitor, dx + 16 + 6, dy + 17 + 6);
    HWND menu = nullptr;
    ASSERT_TRUE(
        wait_until([&] { return (menu = find_top(*saver_, "#32768")) != nullptr; }, Millis(3000)))
        << "no corner menu";
    for (WORD key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
        PostMessageA(menu, WM_KEYDOWN, key, 0);
        PostMessageA(menu, WM_KEYUP, key, 0xC0000000);
        Sleep(100);
    }
    const auto warning = take_message_box(*saver_, Millis(3000));
    ASSERT_TRUE(warning.has_value()) << "no agent warning";
    EXPECT_EQ(*warning, "You must have the System Agent loaded in order for the mouse hot corners "
                        "to be active.");
    Sleep(200);
    click(child("Button", "OK"));
    ASSERT_TRUE(closes());

    EXPECT_EQ(read_registry_number(kSaverOptionsKey, "Mouse Threshold Index"), 3u);
    EXPECT_EQ(read_registry_number(kSaverOptionsKey, "Mouse Threshold"), 999999u);
    EXPECT_EQ(read_registry_number(kSaverOptionsKey, "Password Delay"), 60u);
    EXPECT_EQ(read_registry_number(kSaverOptionsKey, "Password Delay Index"), 1u);
    const std::string stored = read_registry_string(kSaverOptionsKey, "Mouse Corners");
    EXPECT_EQ(stored, "Y---");

    // Next time the page shows what was saved (a minute is shown in seconds, as every delay up
    // to a minute is), the top-left corner button green for "Now".
    ASSERT_NE(open("/c"), nullptr);
    choose_tab(1);
    EXPECT_EQ(SendMessageA(child("ComboBox", nullptr, 0), CB_GETCURSEL, 0, 0), 3);
    EXPECT_NE(child("Edit", "60"), nullptr);
    EXPECT_EQ(SendMessageA(child("ComboBox", nullptr, 1), CB_GETCURSEL, 0, 0), 0);
    Sleep(300);
    RECT area{};
    GetWindowRect(corners_monitor(), &area);
    const Image picture = capture_screen(&area);
    ASSERT_FALSE(picture.empty());
    const std::uint32_t now = picture.at(dx + 16 + 4, dy + 17 + 11);
    const std::uint32_t normal = picture.at(dx + 169 - 4, dy + 17 + 11);
    EXPECT_GT((now >> 8) & 0xFF, (now >> 16) & 0xFF) << std::hex << now << " is not green";
    EXPECT_NE(now, normal);
    click(child("Button", "Cancel"));
    ASSERT_TRUE(closes());
}

TEST_F(Config, PasswordChangeEndsWithoutAWindow) {
    // The system's password service may be missing (as under Wine): then nothing is shown.
    Process saver(install().exe(), "/a");
    ASSERT_TRUE(saver.started());
    EXPECT_TRUE(saver.wait_exit(Millis(5000)));
    EXPECT_EQ(find_top(saver, kDialogClass), nullptr);
}

} // namespace
} // namespace e2e
