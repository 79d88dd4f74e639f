// The kit's window layer on real Win32: close and modal loops, ownership, palette messages and
// exceptions in handlers.
#include "saverkit/form_win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nimbrel {
namespace {

constexpr UINT kCloseLater = WM_APP + 7;

class ProbeForm : public TForm {
  public:
    explicit ProbeForm(TComponent* owner) : TForm(owner) {}
    const char* ClassName() const override { return "TProbeForm"; }
    HPALETTE palette = nullptr;
    int palette_asked = 0;

  protected:
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override {
        if (message == kCloseLater) {
            Close();
            return 0;
        }
        return TForm::WndProc(message, wparam, lparam);
    }
    HPALETTE GetPalette() override {
        ++palette_asked;
        return palette;
    }
};

void wire_log(ProbeForm& form, std::vector<std::string>& log) {
    form.OnShow = [&log](TComponent*) { log.push_back("show"); };
    form.OnHide = [&log](TComponent*) { log.push_back("hide"); };
    form.OnDestroy = [&log](TComponent*) { log.push_back("destroy"); };
    form.OnClose = [&log](TComponent*, TCloseAction&) { log.push_back("close"); };
}

class CountingWindow : public Window {
  public:
    explicit CountingWindow(HWND parent) {
        Create({"NimbrelCountingWindow"}, "", WS_CHILD, 0, 0, 0, 10, 10, parent);
    }
    using Window::Destroy;
    int messages = 0;

  protected:
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override {
        ++messages;
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
    DestroyWindow(parent);
}

TEST(KitForm, OwnerFreesOwnedComponentsWhileWhole) {
    std::vector<std::string> log;
    HWND inner_window = nullptr;
    {
        TApplication app;
        auto* outer = new ProbeForm(&app);
        auto* inner = new ProbeForm(outer);
        outer->OnDestroy = [&](TComponent*) {
            // The owned form is still there when the owner's OnDestroy runs.
            log.push_back(inner->HandleAllocated() ? "outer sees inner window" : "outer");
        };
        inner->OnDestroy = [&](TComponent*) { log.push_back("inner"); };
        inner_window = inner->Handle();
        auto* early = new TComponent(outer);
        early->Free(); // leaves its owner's list
        EXPECT_EQ(outer->Components().size(), 1u);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"outer sees inner window", "inner"}));
    EXPECT_FALSE(IsWindow(inner_window));
}

TEST(KitForm, ClosingTheMainFormEndsRun) {
    TApplication app;
    std::vector<std::string> log;
    auto* main = app.CreateForm<ProbeForm>();
    wire_log(*main, log);
    EXPECT_EQ(app.MainForm(), main);
    main->OnShow = [&](TComponent*) {
        log.push_back("show");
        PostMessageA(main->WindowHandle(), WM_CLOSE, 0, 0);
    };
    app.Run(); // returns only through the quit message
    EXPECT_TRUE(app.Terminated());
    EXPECT_EQ(log, (std::vector<std::string>{"show", "close"}));
    main->Free();
    EXPECT_EQ(app.MainForm(), nullptr);
}

TEST(KitForm, PaletteHookAnswersPaletteMessages) {
    TApplication app;
    auto* form = new ProbeForm(&app);
    form->Show(); // activation may ask for the palette already
    int asked = form->palette_asked;
    EXPECT_EQ(SendMessageA(form->WindowHandle(), WM_QUERYNEWPALETTE, 0, 0), FALSE);
    EXPECT_EQ(form->palette_asked, ++asked);

    struct {
        LOGPALETTE header;
        PALETTEENTRY more[255];
    } log_palette{};
    log_palette.header.palVersion = 0x300;
    log_palette.header.palNumEntries = 256;
    form->palette = CreatePalette(&log_palette.header);
    ASSERT_NE(form->palette, nullptr);
    EXPECT_EQ(SendMessageA(form->WindowHandle(), WM_QUERYNEWPALETTE, 0, 0), TRUE);
    SendMessageA(form->WindowHandle(), WM_PALETTECHANGED, 0, 0);
    asked += 2;
    EXPECT_EQ(form->palette_asked, asked);
    // Our own realisation does not ask again.
    SendMessageA(form->WindowHandle(), WM_PALETTECHANGED,
                 reinterpret_cast<WPARAM>(form->WindowHandle()), 0);
    EXPECT_EQ(form->palette_asked, asked);
    HPALETTE palette = form->palette;
    form->Free();
    DeleteObject(palette);
}

TEST(KitForm, ExceptionsInHandlersDoNotEscapeTheWindowProcedure) {
    TApplication app;
    std::vector<std::string> shown;
    app.OnException = [&](const std::exception& error) { shown.push_back(error.what()); };
    auto* form = new ProbeForm(&app);
    form->OnClose = [](TComponent*, TCloseAction&) { throw std::runtime_error("boom"); };
    EXPECT_NO_THROW(SendMessageA(form->Handle(), WM_CLOSE, 0, 0));
    EXPECT_EQ(shown, (std::vector<std::string>{"boom"}));
    form->Free();
}

} // namespace
} // namespace nimbrel
