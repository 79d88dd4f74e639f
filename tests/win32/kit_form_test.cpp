// The kit's window base and form on real Win32: who gets a window's messages, windows made by
// somebody else, exceptions in handlers, a form moved between parents, and palette messages.
#include "saverkit/scr_forms_win32.h"

#include "message_pump.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace nimbrel {
namespace {

class CountingWindow : public Window {
  public:
    CountingWindow() = default;
    explicit CountingWindow(HWND parent) {
        Create({"NimbrelCountingWindow"}, "", WS_CHILD, 0, 0, 0, 10, 10, parent);
    }
    using Window::Attach;
    using Window::Destroy;
    int messages = 0;
    bool throws = false;

  protected:
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override {
        ++messages;
        if (throws && message == WM_USER) throw std::runtime_error("boom");
        return Window::WndProc(message, wparam, lparam);
    }
};

TEST(KitWindow, OwnsItsWindowAndAnswersOnlyForItsOwn) {
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    HWND window = nullptr;
    {
        CountingWindow counting(parent);
        window = counting.hwnd();
        ASSERT_NE(window, nullptr);
        EXPECT_GT(counting.messages, 0); // creation went through WndProc
        EXPECT_EQ(Window::FromHandle(window), &counting);
        EXPECT_EQ(Window::FromHandle(parent), nullptr); // not one of ours
        const int before = counting.messages;
        counting.Destroy();
        EXPECT_EQ(counting.messages, before); // the dying window no longer talks to it
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(counting.hwnd(), nullptr);
    }
    {
        CountingWindow counting(parent);
        window = counting.hwnd();
    }
    EXPECT_FALSE(IsWindow(window)); // gone with its object

    // A window of our class that somebody else made (as a dialog makes its controls) talks to
    // an object only once attached, and outlives the object that let it go.
    {
        CountingWindow made_elsewhere(parent); // registers the class
    }
    window = CreateWindowExA(0, "NimbrelCountingWindow", "", WS_CHILD, 0, 0, 10, 10, parent,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Window::FromHandle(window), nullptr);
    {
        CountingWindow attached;
        attached.Attach(window);
        SendMessageA(window, WM_USER, 0, 0);
        EXPECT_EQ(attached.messages, 1);
        attached.Attach(nullptr);
        SendMessageA(window, WM_USER, 0, 0);
        EXPECT_EQ(attached.messages, 1);
    }
    EXPECT_TRUE(IsWindow(window));
    DestroyWindow(parent);
}

TEST(KitWindow, ExceptionsInHandlersAreShownNotPassedToTheSystem) {
    MessageBoxes boxes;
    {
        TApplicationWindow application("Kit test");
        CountingWindow window(application.hwnd());
        window.throws = true;
        EXPECT_NO_THROW(SendMessageA(window.hwnd(), WM_USER, 0, 0));
        // No other saver starts over a full-screen run.
        SetScrMode(smSFull);
        EXPECT_EQ(SendMessageA(application.hwnd(), WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
        SetScrMode(smNone);
    }
    EXPECT_EQ(boxes.shown, (std::vector<std::string>{"Kit test: boom."}));
    EXPECT_EQ(ApplicationTitle(), "");
}

class ProbeForm : public TScrForm {
  public:
    HPALETTE palette = nullptr;
    int palette_asked = 0;
    std::vector<std::string> log;

  protected:
    void FormShow() override { log.push_back("show"); }
    void FormHide() override { log.push_back("hide"); }
    HPALETTE GetPalette() override {
        ++palette_asked;
        return palette;
    }
};

TEST(KitForm, MovesBetweenParentsShownAndHidesWithAParentThatGoes) {
    HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                nullptr, nullptr);
    ProbeForm form;
    form.SetBounds(10, 20, 120, 60);
    form.SetParentWindow(host);
    form.Show();
    HWND child = form.WindowHandle();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetParent(child), host);
    EXPECT_TRUE(GetWindowLongPtrA(child, GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(form.ClientWidth(), 120);

    // Top level and back: a new window each time, still shown, never hidden on the way.
    form.SetParentWindow(nullptr);
    EXPECT_FALSE(IsWindow(child));
    HWND top = form.WindowHandle();
    ASSERT_NE(top, nullptr);
    EXPECT_TRUE(GetWindowLongPtrA(top, GWL_STYLE) & WS_POPUP);
    EXPECT_FALSE(GetWindowLongPtrA(top, GWL_STYLE) & WS_CAPTION);
    EXPECT_TRUE(IsWindowVisible(top));
    form.SetParentWindow(host);
    EXPECT_EQ(GetParent(form.WindowHandle()), host);
    EXPECT_EQ(form.log, (std::vector<std::string>{"show"}));

    DestroyWindow(host);
    EXPECT_FALSE(form.HandleAllocated());
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(form.log, (std::vector<std::string>{"show", "hide"}));
    take_quit(); // a form without a controller asks to quit
}

TEST(KitForm, RealisesItsPaletteWhenAsked) {
    ProbeForm form;
    form.Show(); // activation may ask for the palette already
    int asked = form.palette_asked;
    EXPECT_EQ(SendMessageA(form.WindowHandle(), WM_QUERYNEWPALETTE, 0, 0), FALSE);
    EXPECT_EQ(form.palette_asked, ++asked);

    struct {
        LOGPALETTE header;
        PALETTEENTRY more[255];
    } log_palette{};
    log_palette.header.palVersion = 0x300;
    log_palette.header.palNumEntries = 256;
    form.palette = CreatePalette(&log_palette.header);
    ASSERT_NE(form.palette, nullptr);
    EXPECT_EQ(SendMessageA(form.WindowHandle(), WM_QUERYNEWPALETTE, 0, 0), TRUE);
    SendMessageA(form.WindowHandle(), WM_PALETTECHANGED, 0, 0);
    asked += 2;
    EXPECT_EQ(form.palette_asked, asked);
    // Our own realisation does not ask again.
    SendMessageA(form.WindowHandle(), WM_PALETTECHANGED,
                 reinterpret_cast<WPARAM>(form.WindowHandle()), 0);
    EXPECT_EQ(form.palette_asked, asked);
    form.Hide();
    DeleteObject(form.palette);
    take_quit();
}

} // namespace
} // namespace nimbrel
