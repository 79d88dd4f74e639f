// The kit's window layer on real Win32: close and modal loops, ownership, palette messages and
// exceptions in handlers.
#include "saverkit/form.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
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

TEST(KitForm, ShowModalRunsUntilClosedAndDisablesOtherWindows) {
    TApplication app;
    auto* other = new ProbeForm(&app);
    other->Show();
    std::vector<std::string> log;
    auto* dialog = new ProbeForm(&app);
    wire_log(*dialog, log);
    bool other_enabled_during_modal = true;
    dialog->OnShow = [&](TComponent*) {
        other_enabled_during_modal = IsWindowEnabled(other->WindowHandle()) != 0;
        PostMessageA(dialog->WindowHandle(), kCloseLater, 1, 0); // closes from inside the loop
    };
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_FALSE(other_enabled_during_modal);
    EXPECT_TRUE(IsWindowEnabled(other->WindowHandle()));
    EXPECT_FALSE(dialog->Visible());
    EXPECT_EQ(log, (std::vector<std::string>{"close", "hide"}));

    // OnClose may refuse: the loop goes on until a later close is accepted.
    int closes = 0;
    dialog->OnShow = [&](TComponent*) {
        PostMessageA(dialog->WindowHandle(), kCloseLater, 1, 0);
        PostMessageA(dialog->WindowHandle(), kCloseLater, 1, 0);
    };
    dialog->OnClose = [&](TComponent*, TCloseAction& action) {
        if (++closes == 1) action = TCloseAction::caNone;
    };
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_EQ(closes, 2);
}

// A window of "another program" (its own thread, pumping its messages) in the foreground, as the
// system's display settings are when they start the configuration dialog.
class ForeignOwner {
  public:
    ForeignOwner() {
        HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this, ready] {
            EnsureWindowClass("NimbrelForeignOwner", DefWindowProcA, 0,
                              GetSysColorBrush(COLOR_WINDOW));
            window_ =
                CreateWindowExA(0, "NimbrelForeignOwner", "owner", WS_OVERLAPPEDWINDOW, 30, 30, 300,
                                200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
            ShowWindow(window_, SW_SHOWNORMAL);
            SetForegroundWindow(window_);
            thread_id_ = GetCurrentThreadId();
            SetEvent(ready);
            MSG message;
            while (GetMessageA(&message, nullptr, 0, 0) > 0) {
                if (message.message == kCloseLater) DestroyWindow(window_);
                DispatchMessageA(&message);
            }
        });
        WaitForSingleObject(ready, 5000);
        CloseHandle(ready);
    }
    ~ForeignOwner() {
        PostThreadMessageA(thread_id_, kCloseLater, 0, 0);
        PostThreadMessageA(thread_id_, WM_QUIT, 0, 0);
        thread_.join();
    }
    HWND handle() const { return window_; }

  private:
    std::thread thread_;
    HWND window_ = nullptr;
    DWORD thread_id_ = 0;
};

// What a modal dialog with keys looks like from inside its loop and as it hides.
class KeyedDialog : public ProbeForm {
  public:
    explicit KeyedDialog(TComponent* owner) : ProbeForm(owner) { DialogKeys = true; }
    HWND owner = nullptr;
    HWND first = nullptr, second = nullptr;
    HWND active = nullptr, foreground = nullptr, focus = nullptr;
    bool owner_enabled_in_loop = true;
    bool owner_enabled_at_hide = false;
    bool closed_by_escape = false;

  protected:
    void CreateParams(TCreateParams& params) override {
        ProbeForm::CreateParams(params);
        params.Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN; // the parent window is the owner
    }
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override {
        switch (message) {
        case WM_CREATE: {
            const LRESULT result = ProbeForm::WndProc(message, wparam, lparam);
            for (HWND* button : {&first, &second})
                *button = CreateWindowExA(0, "BUTTON", "b", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10,
                                          button == &first ? 10 : 40, 80, 24, WindowHandle(),
                                          nullptr, GetModuleHandleA(nullptr), nullptr);
            return result;
        }
        case kCloseLater + 1:
            active = GetActiveWindow();
            foreground = GetForegroundWindow();
            focus = GetFocus();
            owner_enabled_in_loop = IsWindowEnabled(owner) != 0;
            // Escape, as the keyboard gives it to the control with the focus.
            PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            SetTimer(WindowHandle(), 1, 3000, nullptr); // in case the key is lost
            return 0;
        case WM_TIMER:
            KillTimer(WindowHandle(), 1);
            Close();
            return 0;
        case WM_COMMAND:
            if (LOWORD(wparam) == IDCANCEL && lparam == 0) {
                closed_by_escape = true;
                Close();
            }
            break;
        case WM_SHOWWINDOW:
            if (!wparam) owner_enabled_at_hide = IsWindowEnabled(owner) != 0;
            break;
        default:
            break;
        }
        return ProbeForm::WndProc(message, wparam, lparam);
    }
};

TEST(KitForm, ModalDialogOfAForeignOwnerTakesTheFocusAndGivesItBack) {
    ForeignOwner host;
    ASSERT_NE(host.handle(), nullptr);
    TApplication app;
    auto* dialog = new KeyedDialog(&app);
    dialog->owner = host.handle();
    dialog->SetParentWindow(host.handle());
    dialog->SetBounds(60, 60, 240, 160);
    dialog->OnShow = [&](TComponent*) {
        PostMessageA(dialog->WindowHandle(), kCloseLater + 1, 0, 0);
    };
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_TRUE(dialog->closed_by_escape) << "Escape did not end the dialog";
    EXPECT_EQ(GetWindow(dialog->WindowHandle(), GW_OWNER), host.handle());
    EXPECT_EQ(dialog->active, dialog->WindowHandle());
    EXPECT_EQ(dialog->foreground, dialog->WindowHandle());
    EXPECT_EQ(dialog->focus, dialog->first) << "the focus is not on the first control";
    EXPECT_FALSE(dialog->owner_enabled_in_loop);
    EXPECT_TRUE(dialog->owner_enabled_at_hide) << "hidden before its owner was enabled";
    EXPECT_TRUE(IsWindowEnabled(host.handle()));
    // The owner's thread takes the activation over in its own time.
    for (int i = 0; i < 100 && GetForegroundWindow() != host.handle(); ++i)
        Sleep(10);
    EXPECT_EQ(GetForegroundWindow(), host.handle()) << "the activation went elsewhere";
    dialog->Free();
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
