// The saver controller on real Win32: run modes, previews in host windows through proxy
// windows, the placeholder, the full-screen saver's dismissal and the password change.
#include "saverkit/scr_control_win32.h"
#include "saverkit/scr_preview_win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nimbrel {
namespace {

class TestSaver : public TScrForm {
  public:
    explicit TestSaver(TComponent* owner) : TScrForm(owner) {}
    const char* ClassName() const override { return "TTestSaver"; }
};

class TestDialog : public TScrDialog {
  public:
    explicit TestDialog(TComponent* owner) : TScrDialog(owner) {}
    const char* ClassName() const override { return "TTestDialog"; }
};

std::string class_of(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

// Takes a pending quit message out of this thread's queue; true when there was one.
bool take_quit() {
    MSG message;
    bool quit = false;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            quit = true;
        else
            DispatchMessageA(&message);
    }
    return quit;
}

// Hidden: a shown top-level window costs Wine seconds to take down without a window manager.
HWND make_host(int width = 160, int height = 120) {
    return CreateWindowExA(0, "STATIC", "host", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

int count_proxies(const TScrControl& control) {
    int n = 0;
    for (TComponent* c : control.Components())
        n += dynamic_cast<TProxy*>(c) != nullptr;
    return n;
}

// Fresh process-wide kit state for each test; message boxes are recorded, not shown.
class KitControl : public ::testing::Test {
  protected:
    void SetUp() override {
        SetScrMode(smNone);
        SetScrMessageBoxHook([this](HWND, const std::string& text, const std::string& caption) {
            boxes.push_back(caption + ": " + text);
            return IDOK;
        });
    }
    void TearDown() override {
        TScrControl::OverrideCommandLine(nullptr);
        SetScrMessageBoxHook(nullptr);
        take_quit();
    }
    TScrControl* start(TApplication& app, const std::string& line) {
        TScrControl::OverrideCommandLine(line.c_str());
        auto* control = new TScrControl(&app);
        control->AutoExecute = false;
        return control;
    }
    std::vector<std::string> boxes;
};

TEST_F(KitControl, ConstructionClassifiesAndPublishes) {
    TApplication app;
    app.ShowMainForm = true;
    TScrControl* control = start(app, "saver.scr /s");
    EXPECT_EQ(GetScrControl(), control);
    EXPECT_EQ(GetScrMode(), smSFull);
    EXPECT_FALSE(app.ShowMainForm);

    control->Name = "Second";
    TScrControl::OverrideCommandLine("saver.scr /x");
    auto* duplicate = new TScrControl(&app);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Program error: Duplicate ScrControl objects found",
                                               "err: This is  on ; other is Second on "}));
    EXPECT_EQ(GetScrControl(), duplicate); // the newest wins
    EXPECT_EQ(GetScrMode(), smSFull);      // nothing recognised leaves the mode
    duplicate->Free();
    EXPECT_EQ(GetScrControl(), nullptr);
}

TEST_F(KitControl, ConfigWithoutDialogSaysSoAndQuits) {
    TApplication app;
    app.CreateForm<TestSaver>();
    TScrControl* control = start(app, "saver.scr");
    control->Run(FormClass<TestSaver>(), nullptr);
    EXPECT_EQ(boxes, (std::vector<std::string>{
                         "Screen saver: This screen saver has no settings to configure"}));
    EXPECT_TRUE(take_quit());
}

TEST_F(KitControl, DialogOfferedForTheFullScreenSaverIsDestroyed) {
    TApplication app;
    TScrControl* control = start(app, "saver.scr /s");
    bool destroyed = false;
    control->DoSFull = [&](TComponent* owner, TComponent*& made) {
        auto* dialog = new TestDialog(owner);
        dialog->OnDestroy = [&](TComponent*) { destroyed = true; };
        made = dialog;
    };
    control->Run(nullptr, nullptr);
    EXPECT_TRUE(destroyed);
    EXPECT_TRUE(take_quit());
    EXPECT_EQ(GetScrSaverForm(), nullptr);
}

TEST_F(KitControl, FullScreenSaverClosesOnAKeyAndQuits) {
    TApplication app;
    auto* saver = app.CreateForm<TestSaver>();
    std::vector<std::string> log;
    saver->OnClose = [&](TComponent*, TCloseAction&) { log.push_back("own close"); };
    TScrControl* control = start(app, "saver.scr /s");
    control->RequirePassword = rpNever;
    control->Run(FormClass<TestSaver>(), nullptr);

    // Size, topmost and visibility are checked on the real saver end to end.
    EXPECT_EQ(GetScrSaverForm(), saver);
    EXPECT_TRUE(saver->InUse);
    EXPECT_EQ(saver->RunMode(), smSFull);
    ASSERT_TRUE(saver->HandleAllocated());
    EXPECT_FALSE(GetWindowLongPtrA(saver->WindowHandle(), GWL_STYLE) & WS_CAPTION);
    EXPECT_EQ(SendMessageA(saver->WindowHandle(), WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
    EXPECT_FALSE(take_quit());

    SendMessageA(saver->WindowHandle(), WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(log, (std::vector<std::string>{"own close"}));
    EXPECT_TRUE(take_quit());
    EXPECT_FALSE(saver->InUse);
    EXPECT_EQ(GetScrSaverForm(), nullptr);
    // The form's own handler is back in place.
    TCloseAction action = TCloseAction::caHide;
    saver->OnClose(saver, action);
    EXPECT_EQ(log.size(), 2u);
}

TEST_F(KitControl, PreviewInControlPutsTheFormInAProxyAndSurvivesTheHost) {
    TApplication app;
    auto* saver = app.CreateForm<TestSaver>();
    TScrControl* control = start(app, "saver.scr /c");
    std::vector<std::string> log;
    saver->OnShow = [&](TComponent*) { log.push_back("show"); };
    saver->OnHide = [&](TComponent*) { log.push_back("hide"); };

    // Asked before the controller ran: remembered, done when it runs.
    // A stand-in for the dialog's monitor picture.
    const auto make_monitor = [](HWND host) {
        return CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 184, 170, host,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    };
    HWND host = make_host(300, 300);
    HWND monitor = make_monitor(host);
    control->PreviewInControl(monitor);
    EXPECT_FALSE(saver->Visible());
    HWND screen = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 16, 17, 153, 113, monitor,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    control->Run(FormClass<TestSaver>(), nullptr);
    // No configuration dialog to show, but the pending preview was started.
    EXPECT_TRUE(take_quit());

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
    EXPECT_EQ(GetScrPreviewForm(), saver);
    EXPECT_EQ(log, (std::vector<std::string>{"show"}));

    // The host goes: the form is let go, not destroyed, and the process goes on.
    DestroyWindow(host);
    EXPECT_FALSE(IsWindow(proxy));
    EXPECT_EQ(log, (std::vector<std::string>{"show", "hide"}));
    EXPECT_FALSE(saver->InUse);
    EXPECT_EQ(GetScrPreviewForm(), nullptr);
    EXPECT_FALSE(take_quit());

    // A second preview reuses the form and the proxy.
    HWND host2 = make_host(200, 100);
    monitor = make_monitor(host2);
    control->PreviewInControl(monitor); // no child window: the preview fills the control
    ASSERT_TRUE(saver->HandleAllocated());
    EXPECT_EQ(GetParent(GetParent(saver->WindowHandle())), monitor);
    EXPECT_EQ(saver->ClientWidth(), 184);
    EXPECT_EQ(count_proxies(*control), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"show", "hide", "show"}));
    DestroyWindow(host2);
    EXPECT_FALSE(saver->InUse);
}

TEST_F(KitControl, MainPreviewWithoutFormShowsThePlaceholderAndStillEnds) {
    TApplication app;
    HWND host = make_host(152, 112);
    TScrControl* control =
        start(app, "saver.scr /p:" + std::to_string(reinterpret_cast<std::intptr_t>(host)));
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

TEST_F(KitControl, DestroyedFormsLeaveNoPublishedPointers) {
    TApplication app;
    auto* saver = app.CreateForm<TestSaver>();
    bool own_destroy_ran = false;
    saver->OnDestroy = [&](TComponent*) { own_destroy_ran = true; };
    TScrControl* control = start(app, "saver.scr /s");
    control->RequirePassword = rpNever;
    control->Run(FormClass<TestSaver>(), nullptr);
    EXPECT_EQ(GetScrSaverForm(), saver);
    saver->Free();
    EXPECT_TRUE(own_destroy_ran);
    EXPECT_EQ(GetScrSaverForm(), nullptr);
}

TEST_F(KitControl, PasswordChangeWithoutAPasswordSaysSo) {
    for (TRequirePassword require : {rpNever, rpNormal}) {
        boxes.clear();
        TApplication app;
        TScrControl* control = start(app, "saver.scr /a");
        control->RequirePassword = require;
        control->Run(nullptr, nullptr);
        // With a password the system's service asks, where there is one; Wine has none.
        EXPECT_EQ(boxes, require == rpNever
                             ? std::vector<std::string>{"Screen saver: This screen saver does "
                                                        "not use a password"}
                             : std::vector<std::string>{});
        EXPECT_TRUE(take_quit());
    }
}

} // namespace
} // namespace nimbrel
