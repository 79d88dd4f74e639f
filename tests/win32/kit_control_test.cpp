// The saver controller on real Win32: run modes, previews in host windows through proxy
// windows, the placeholder, the full-screen saver's dismissal and the password change.
#include "saverkit/scr_control_win32.h"
#include "saverkit/scr_preview_win32.h"

#include "message_pump.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace nimbrel {
namespace {

// What the test savers did, in order.
std::vector<std::string> saver_log;

class TestSaver : public TScrForm {
  protected:
    void FormShow() override { saver_log.push_back("show"); }
    void FormHide() override { saver_log.push_back("hide"); }
};

std::string class_of(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

// Hidden: a shown top-level window costs Wine seconds to take down without a window manager.
HWND make_host(int width = 160, int height = 120) {
    return CreateWindowExA(0, "STATIC", "host", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// Fresh process-wide kit state for each test; message boxes are recorded, not shown.
class KitControl : public ::testing::Test {
  protected:
    void SetUp() override {
        SetScrMode(smNone);
        saver_log.clear();
    }
    void TearDown() override {
        TScrControl::OverrideCommandLine(nullptr);
        take_quit();
    }
    std::unique_ptr<TScrControl> start(const std::string& line) {
        TScrControl::OverrideCommandLine(line.c_str());
        return std::make_unique<TScrControl>();
    }
    MessageBoxes boxes;
};

TEST_F(KitControl, ConstructionClassifiesAndPublishes) {
    auto control = start("saver.scr /s");
    EXPECT_EQ(GetScrControl(), control.get());
    EXPECT_EQ(GetScrMode(), smSFull);

    TScrControl::OverrideCommandLine("saver.scr /x");
    auto duplicate = std::make_unique<TScrControl>();
    EXPECT_EQ(boxes.shown,
              (std::vector<std::string>{"Program error: Duplicate ScrControl objects found"}));
    EXPECT_EQ(GetScrControl(), duplicate.get()); // the newest wins
    EXPECT_EQ(GetScrMode(), smSFull);            // nothing recognised leaves the mode
    duplicate.reset();
    EXPECT_EQ(GetScrControl(), nullptr);
}

TEST_F(KitControl, ConfigWithoutDialogSaysSoAndQuits) {
    auto control = start("saver.scr");
    control->Run(FormClass<TestSaver>(), nullptr);
    EXPECT_EQ(boxes.shown, (std::vector<std::string>{
                               "Screen saver: This screen saver has no settings to configure"}));
    EXPECT_TRUE(take_quit());
}

TEST_F(KitControl, FullScreenSaverClosesOnAKeyAndQuits) {
    auto control = start("saver.scr /s");
    control->RequirePassword = rpNever;
    control->Run(FormClass<TestSaver>(), nullptr);

    // Size, topmost and visibility are checked on the real saver end to end.
    TScrForm* saver = GetScrSaverForm();
    ASSERT_NE(saver, nullptr);
    EXPECT_TRUE(saver->InUse);
    EXPECT_EQ(saver->RunMode(), smSFull);
    ASSERT_TRUE(saver->HandleAllocated());
    EXPECT_FALSE(GetWindowLongPtrA(saver->WindowHandle(), GWL_STYLE) & WS_CAPTION);
    EXPECT_EQ(SendMessageA(saver->WindowHandle(), WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
    EXPECT_FALSE(take_quit());

    SendMessageA(saver->WindowHandle(), WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(take_quit());
    EXPECT_FALSE(saver->InUse);
    EXPECT_EQ(GetScrSaverForm(), nullptr);
    EXPECT_EQ(saver_log, (std::vector<std::string>{"show"})); // it stays up until the end

    // Nothing published outlives the controller and its forms.
    control->Run(nullptr, nullptr);
    ASSERT_NE(GetScrSaverForm(), nullptr);
    control.reset();
    EXPECT_EQ(GetScrSaverForm(), nullptr);
}

TEST_F(KitControl, PreviewInControlPutsTheFormInAProxyAndSurvivesTheHost) {
    auto control = start("saver.scr /c");
    // A stand-in for the dialog's monitor picture.
    const auto make_monitor = [](HWND host) {
        return CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 184, 170, host,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    };
    // Asked before the controller ran: remembered, done when it runs.
    HWND host = make_host(300, 300);
    HWND monitor = make_monitor(host);
    control->PreviewInControl(monitor);
    EXPECT_EQ(GetScrPreviewForm(), nullptr);
    HWND screen = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 16, 17, 153, 113, monitor,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    control->Run(FormClass<TestSaver>(), nullptr);
    // No configuration dialog to show, but the pending preview was started.
    EXPECT_TRUE(take_quit());

    TScrForm* saver = GetScrPreviewForm();
    ASSERT_NE(saver, nullptr);
    HWND proxy = GetWindow(screen, GW_CHILD);
    ASSERT_NE(proxy, nullptr);
    EXPECT_EQ(class_of(proxy), "ProxyChild");
    EXPECT_EQ(GetDlgCtrlID(proxy), 100);
    ASSERT_TRUE(saver->HandleAllocated());
    EXPECT_EQ(GetParent(saver->WindowHandle()), proxy);
    EXPECT_EQ(saver->ClientWidth(), 153);
    EXPECT_EQ(saver->ClientHeight(), 113);
    EXPECT_TRUE(saver->InUse);
    EXPECT_EQ(saver->RunMode(), smSPConfig);
    EXPECT_EQ(saver_log, (std::vector<std::string>{"show"}));

    // The host goes: the form is let go, not destroyed, and the process goes on.
    DestroyWindow(host);
    EXPECT_FALSE(IsWindow(proxy));
    EXPECT_EQ(saver_log, (std::vector<std::string>{"show", "hide"}));
    EXPECT_FALSE(saver->InUse);
    EXPECT_EQ(GetScrPreviewForm(), nullptr);
    EXPECT_FALSE(take_quit());

    // A second preview reuses the form.
    HWND host2 = make_host(200, 100);
    monitor = make_monitor(host2);
    control->PreviewInControl(monitor); // no child window: the preview fills the control
    EXPECT_EQ(GetScrPreviewForm(), saver);
    ASSERT_TRUE(saver->HandleAllocated());
    EXPECT_EQ(GetParent(GetParent(saver->WindowHandle())), monitor);
    EXPECT_EQ(saver->ClientWidth(), 184);
    EXPECT_EQ(saver_log, (std::vector<std::string>{"show", "hide", "show"}));
    DestroyWindow(host2);
    EXPECT_FALSE(saver->InUse);
}

TEST_F(KitControl, MainPreviewWithoutFormShowsThePlaceholderAndStillEnds) {
    HWND host = make_host(152, 112);
    auto control = start("saver.scr /p:" + std::to_string(reinterpret_cast<std::intptr_t>(host)));
    control->Run(nullptr, nullptr);
    HWND proxy = GetWindow(host, GW_CHILD);
    ASSERT_NE(proxy, nullptr);
    HWND placeholder = GetWindow(proxy, GW_CHILD);
    ASSERT_NE(placeholder, nullptr);
    EXPECT_EQ(class_of(placeholder), "KestovBlurb");
    RECT r{};
    GetClientRect(placeholder, &r);
    EXPECT_EQ(r.right, 152);
    EXPECT_EQ(r.bottom, 112);
    EXPECT_FALSE(take_quit());

    DestroyWindow(host);
    EXPECT_TRUE(take_quit());
}

TEST_F(KitControl, PasswordChangeWithoutAPasswordSaysSo) {
    for (TRequirePassword require : {rpNever, rpNormal}) {
        boxes.shown.clear();
        auto control = start("saver.scr /a");
        control->RequirePassword = require;
        control->Run(nullptr, nullptr);
        // With a password the system's service asks, where there is one; Wine has none.
        EXPECT_EQ(boxes.shown,
                  require == rpNever
                      ? std::vector<std::string>{"Screen saver: This screen saver does "
                                                 "not use a password"}
                      : std::vector<std::string>{});
        EXPECT_TRUE(take_quit());
    }
}

} // namespace
} // namespace nimbrel
