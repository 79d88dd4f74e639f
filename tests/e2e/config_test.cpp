// The configuration dialog of the real saver, driven as a user would: opened by every command
// line, the options boxes with their checks, the general options saved in the system's values,
// the layout at 150 %.
#include "driver.h"
#include "fixture.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>
#include <optional>

namespace e2e {
namespace {

constexpr char kDialogClass[] = "TConfigForm";
constexpr char kCaption[] = "Nimbrel : Screensaver : version 32_2.2";
constexpr char kInvalidTimes[] =
    "Min and Max time settings are invalid \n    (1->3600 allowed) and Min<=Max";

// A tab's rectangle, asked of the control through memory in its own process.
RECT tab_rect(HWND tabs, int index) {
    DWORD pid = 0;
    GetWindowThreadProcessId(tabs, &pid);
    RECT r{};
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return r;
    void* remote = VirtualAllocEx(process, nullptr, sizeof r, MEM_COMMIT, PAGE_READWRITE);
    if (remote && SendMessageA(tabs, TCM_GETITEMRECT, WPARAM(index), LPARAM(remote)))
        ReadProcessMemory(process, remote, &r, sizeof r, nullptr);
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return r;
}

// The controls' own text, asked of the control (another process's edit keeps its text to itself).
std::string control_text(HWND window) {
    char text[512] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, LPARAM(text));
    return text;
}

void click_at(HWND window, int x, int y) {
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// The process's visible top-level window of a class.
HWND find_top(const Process& process, const char* class_name) {
    for (HWND w : process.visible_top_windows())
        if (describe(w).class_name == class_name) return w;
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

DWORD read_registry_number(const char* key, const char* value, DWORD fallback = 0xFFFFFFFF) {
    DWORD number = 0, size = sizeof(number);
    if (RegGetValueA(HKEY_CURRENT_USER, key, value, RRF_RT_REG_DWORD, nullptr, &number, &size) !=
        ERROR_SUCCESS)
        return fallback;
    return number;
}

// The saver's world with the shipped data (the dialog lists its settings), and the system's
// values that OK writes put back as they were afterwards.
class Config : public Saver {
  protected:
    void SetUp() override {
        Saver::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        prepare_shipped_data(true);
        if (IsSkipped() || HasFatalFailure()) return;
        // A wait that no time box shows, so the boxes are told apart by their numbers.
        ASSERT_TRUE(delay_.set_number(45));
    }

    // Starts the saver with `args` and waits for its dialog.
    HWND open(const std::string& args) {
        saver_ = std::make_unique<Process>(exe_, args);
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

    void choose_tab(int index) {
        HWND tabs = child(WC_TABCONTROLA);
        const RECT r = tab_rect(tabs, index);
        click_at(tabs, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        wait_until([&] { return current_tab() == index; }, Millis(2000));
    }

    int current_tab() const {
        return int(SendMessageA(child(WC_TABCONTROLA), TCM_GETCURSEL, 0, 0));
    }

    void click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }
    void set_text(HWND edit, const char* text) { SendMessageA(edit, WM_SETTEXT, 0, LPARAM(text)); }
    bool cancel_closes() {
        click(child("Button", "Cancel"));
        return closes();
    }
    bool closes() { return saver_->wait_exit(Millis(5000)); }

    std::unique_ptr<Process> saver_;
    HWND dialog_ = nullptr;
    RegistryValueGuard delay_{kSaverOptionsKey, "Password Delay"};
    RegistryValueGuard delay_index_{kSaverOptionsKey, "Password Delay Index"};
    RegistryValueGuard threshold_index_{kSaverOptionsKey, "Mouse Threshold Index"};
    RegistryValueGuard corners_{kSaverOptionsKey, "Mouse Corners"};
    RegistryValueGuard mute_{kSaverOptionsKey, "Mute Sound"};
};

// ------------------------------------------------------------------------------------------------
// Started by the program in the foreground (the system's display settings, with /c:<window>,
// plain /c or no arguments), the dialog opens with its list filled and takes the foreground with
// a control focused, so keys work at once: Escape cancels and Enter is OK (which saves the
// general options). Either way the program gets the foreground back.
TEST_F(Config, OpensFromEveryCommandLineWithItsListFilledAndKeysWorkAtOnce) {
    HostWindow program(320, 200, 40, 40, HostWindow::Layer::Program);
    ASSERT_NE(program.handle(), nullptr);
    const struct {
        std::string args;
        WORD key;
    } cases[] = {{"/c:" + program.decimal_handle(), VK_ESCAPE},
                 {"/c", VK_RETURN},
                 {"", VK_ESCAPE},
                 {"", VK_RETURN}};
    for (const auto& c : cases) {
        SCOPED_TRACE("arguments: '" + c.args + "', key " + std::to_string(c.key));
        // Minutes, which OK turns into seconds: the delay of 45 s is no whole minute.
        ASSERT_TRUE(delay_index_.set_number(1));
        SetForegroundWindow(program.handle());
        ASSERT_TRUE(
            wait_until([&] { return GetForegroundWindow() == program.handle(); }, Millis(2000)));
        ASSERT_NE(open(c.args), nullptr) << "no configuration dialog";
        EXPECT_EQ(describe(dialog_).text, kCaption);
        EXPECT_EQ(GetWindow(dialog_, GW_OWNER), c.args.empty() ? nullptr : program.handle());
        // Its owner waits while it runs, as behind any modal dialog.
        EXPECT_EQ(IsWindowEnabled(program.handle()) == FALSE, !c.args.empty());
        // The count, header, pick and tags are checked on the dialog in process.
        HWND list = child("ListBox");
        EXPECT_TRUE(
            wait_until([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) > 1; }, Millis(5000)));
        EXPECT_GE(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);

        EXPECT_TRUE(wait_until([&] { return GetForegroundWindow() == dialog_; }, Millis(2000)))
            << "the foreground window is " << to_string(describe(GetForegroundWindow()));
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        const DWORD thread = GetWindowThreadProcessId(dialog_, nullptr);
        EXPECT_TRUE(wait_until(
            [&] { return GetGUIThreadInfo(thread, &gui) && IsChild(dialog_, gui.hwndFocus); },
            Millis(2000)))
            << "the focus is on " << to_string(describe(gui.hwndFocus));
        EXPECT_EQ(gui.hwndActive, dialog_);
        EXPECT_EQ(gui.hwndFocus, list);

        press_key(c.key);
        ASSERT_TRUE(closes()) << "the key did not close the dialog";
        EXPECT_EQ(read_registry_number(kSaverOptionsKey, "Password Delay Index") == 0,
                  c.key == VK_RETURN)
            << "OK saves the general options, Cancel does not";
        EXPECT_TRUE(
            wait_until([&] { return GetForegroundWindow() == program.handle(); }, Millis(2000)))
            << "the foreground window is " << to_string(describe(GetForegroundWindow()));
        EXPECT_TRUE(IsWindowEnabled(program.handle()));
    }
}

// Which times are valid is checked by the unit tests; here the dialog refuses them on OK, and the
// options boxes are stored at exit even when the dialog is cancelled.
TEST_F(Config, InvalidTimesAreRefusedAndOptionBoxesTakeEffectEvenAfterCancel) {
    ASSERT_NE(open("/c"), nullptr);
    ASSERT_EQ(current_tab(), 0);
    HWND min_time = child("Edit", "30"), max_time = child("Edit", "60");
    ASSERT_NE(max_time, nullptr);
    set_text(max_time, "5000");
    click(child("Button", "OK"));
    const auto message = take_message_box(*saver_, Millis(3000));
    ASSERT_TRUE(message.has_value()) << "no message box";
    EXPECT_EQ(*message, kInvalidTimes);
    EXPECT_EQ(current_tab(), 1);
    EXPECT_TRUE(saver_->running()) << "the dialog closed";

    click(child("Button", "Randomly cycle through settings (disabled during config)"));
    click(child("Button", "Cycle through all settings"));
    Sleep(200);
    set_text(min_time, "5");
    set_text(max_time, "20");
    ASSERT_TRUE(cancel_closes());
    EXPECT_EQ(ini_value(data_ini(), "Start_auto_cycling"), "0");
    EXPECT_EQ(ini_value(data_ini(), "Tagged_settings_only"), "0");
    EXPECT_EQ(ini_value(data_ini(), "Min_time"), "5");
    EXPECT_EQ(ini_value(data_ini(), "Max_time"), "20");
}

// ------------------------------------------------------------------------------------------------
// At 150 %. Wine reads the resolution from the user's LogPixels value when a process starts: the
// saver started after the value is set runs at 144 dots per inch while this driver stays at 96.
SIZE size_of(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

TEST_F(Config, At150PercentControlsAreHalfAgainAsBigAndInsideTheDialog) {
    RegistryValueGuard log_pixels{"Control Panel\\Desktop", "LogPixels"};
    SIZE sizes[2][3]; // OK, the list and the preview, at 96 and at 144 dots per inch
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(log_pixels.set_number(i ? 144 : 96));
        ASSERT_NE(open("/c"), nullptr) << "no configuration dialog";
        sizes[i][0] = size_of(child("Button", "OK"));
        sizes[i][1] = size_of(child("ListBox"));
        sizes[i][2] = size_of(child("MonitorWindow"));
        if (i == 0) {
            ASSERT_TRUE(cancel_closes());
        }
    }
    // The dialog manager scales with the dialog font, whose height grows a little less than the
    // resolution (12 to 17 pixels here): within a tenth.
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k == 0 ? "OK" : k == 1 ? "list" : "preview");
        for (auto [small, big] : {std::pair{sizes[0][k].cx, sizes[1][k].cx},
                                  std::pair{sizes[0][k].cy, sizes[1][k].cy}}) {
            EXPECT_GT(small, 0);
            EXPECT_NEAR(big, small * 3 / 2, small / 10 + 3) << "at 96: " << small;
        }
    }
    // Every visible control on both tabs lies inside the dialog's client area.
    RECT client{};
    GetClientRect(dialog_, &client);
    MapWindowPoints(dialog_, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    for (int tab = 0; tab < 2; ++tab) {
        choose_tab(tab);
        ASSERT_EQ(current_tab(), tab);
        int checked = 0;
        for (HWND c : child_windows(dialog_)) {
            if (!IsWindowVisible(c)) continue;
            const WindowInfo info = describe(c);
            RECT inside{};
            IntersectRect(&inside, &info.rect, &client);
            EXPECT_TRUE(EqualRect(&inside, &info.rect)) << "tab " << tab << ": " << to_string(info);
            ++checked;
        }
        EXPECT_GT(checked, 10) << "tab " << tab;
    }
    ASSERT_TRUE(cancel_closes());
}

} // namespace
} // namespace e2e
