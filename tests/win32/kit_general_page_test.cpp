// The general options page and the monitor picture on real Win32: the system's saver values
// shown and saved, controls by password policy, the corner menu and the picture.
#include "saverkit/saver_registry.h"
#include "saverkit/scr_control.h"
#include "saverkit/scr_general.h"
#include "saverkit/scr_monitor.h"
#include "saverkit/scr_password.h"

#include "dib_surface.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace nimbrel {
namespace {

const char* const kValues[] = {"Password Delay",        "Password Delay Index", "Mouse Threshold",
                               "Mouse Threshold Index", "Mouse Corners",        "Mute Sound"};

void remove_values() {
    for (const char* name : kValues)
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kScreenSaversKey, name);
}

// The saver values as they were, put back afterwards.
class SaverValuesGuard {
  public:
    SaverValuesGuard() {
        for (const char* name : kValues) {
            char bytes[64];
            DWORD type = 0, size = sizeof bytes;
            if (RegGetValueA(HKEY_CURRENT_USER, kScreenSaversKey, name, RRF_RT_ANY | RRF_NOEXPAND,
                             &type, bytes, &size) == ERROR_SUCCESS)
                saved_.push_back({name, type, std::string(bytes, size)});
        }
    }
    ~SaverValuesGuard() {
        remove_values();
        for (const auto& [name, type, bytes] : saved_)
            RegSetKeyValueA(HKEY_CURRENT_USER, kScreenSaversKey, name, type, bytes.data(),
                            static_cast<DWORD>(bytes.size()));
    }

  private:
    struct Value {
        const char* name;
        DWORD type;
        std::string bytes;
    };
    std::vector<Value> saved_;
};

RegKey& saver_key() {
    static RegKey key;
    if (!key.is_open()) key.create(HKEY_CURRENT_USER, kScreenSaversKey);
    return key;
}

std::optional<std::uint32_t> number(const char* name) {
    return saver_key().read_dword(name);
}

// A hidden form that holds controls, as a dialog does.
class Host : public TForm, public TControlHost {
  public:
    explicit Host(TComponent* owner) : TForm(owner) { SetBounds(0, 0, 400, 400); }
    HWND HostHandle() override { return Handle(); }

  protected:
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override {
        LRESULT result = 0;
        if (ReflectMessage(message, wparam, lparam, result)) return result;
        result = TForm::WndProc(message, wparam, lparam);
        if (message == WM_CREATE) CreateChildren();
        return result;
    }
};

// Shown by its own style (the hidden host hides everything from IsWindowVisible).
bool shown(HWND window) {
    return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

template <class T> T* named(TComponent& owner, const char* name) {
    for (TComponent* c : owner.Components())
        if (c->Name == name) return dynamic_cast<T*>(c);
    return nullptr;
}

class KitGeneralPage : public ::testing::Test {
  protected:
    void SetUp() override {
        SetScrMessageBoxHook([this](HWND, const std::string& text, const std::string& caption) {
            boxes.push_back(caption + ": " + text);
            return IDOK;
        });
    }
    void TearDown() override { SetScrMessageBoxHook(nullptr); }

    // A page on a host whose windows exist (loading the values as its window is made).
    TScrGeneral* make_page() {
        host = new Host(&app);
        auto* page = new TScrGeneral(host);
        page->SetParent(host);
        host->Handle();
        return page;
    }

    SaverValuesGuard guard;
    TApplication app;
    Host* host = nullptr;
    std::vector<std::string> boxes;
};

TEST_F(KitGeneralPage, ShowsTheStoredValuesAndSavesThemBack) {
    saver_key().write_dword("Password Delay", 90);
    saver_key().write_dword("Mouse Threshold Index", 2);
    saver_key().write_string("Mouse Corners", "Y-NX", 5);
    saver_key().write_dword("Mute Sound", 1);
    TScrGeneral* page = make_page();
    int changes = 0;
    page->OnChange = [&](TComponent*) { ++changes; };

    auto* wait = named<TEdit>(*host, "GenEdtWait");
    auto* unit = named<TComboBox>(*host, "GenCmbWait");
    ASSERT_NE(wait, nullptr);
    EXPECT_EQ(wait->Text(), "1");
    EXPECT_EQ(unit->ItemIndex(), 1);
    EXPECT_EQ(page->PasswordDelay(), 60u);
    EXPECT_EQ(page->MouseThreshold(), mtLow);
    EXPECT_EQ(page->Corner(csTopLeft), scmNow);
    EXPECT_EQ(page->Corner(csTopRight), scmNormal);
    EXPECT_EQ(page->Corner(csBottomRight), scmNever);
    EXPECT_EQ(page->Corner(csBottomLeft), scmNormal);
    EXPECT_TRUE(page->Mute());
    EXPECT_EQ(changes, 0) << "loading raised OnChange";

    // "Ignore mouse movement" picked by the user.
    auto* sensitivity = named<TComboBox>(*host, "GenCmbSensitivity");
    SendMessageA(sensitivity->WindowHandle(), CB_SETCURSEL, 3, 0);
    SendMessageA(GetParent(sensitivity->WindowHandle()), WM_COMMAND,
                 MAKEWPARAM(sensitivity->Id(), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(sensitivity->WindowHandle()));
    EXPECT_EQ(changes, 1);
    page->SaveValues();
    EXPECT_EQ(number("Password Delay"), 60u);
    EXPECT_EQ(number("Password Delay Index"), 1u);
    EXPECT_EQ(number("Mouse Threshold"), 999999u);
    EXPECT_EQ(number("Mouse Threshold Index"), 3u);
    EXPECT_EQ(number("Mute Sound"), 1u);
    DWORD type = 0;
    EXPECT_EQ(saver_key().read_bytes("Mouse Corners", 16, &type), std::string("Y-N-\0", 5));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

    // What the edit and the unit list hold is saved (odd edits are covered by the unit tests).
    for (const auto& [text, unit_index, delay] : {std::tuple{"61", 0, 61u}, {"2", 1, 120u}}) {
        SCOPED_TRACE(text);
        wait->SetText(text);
        unit->SetItemIndex(unit_index);
        page->SaveValues();
        EXPECT_EQ(number("Password Delay"), delay);
        EXPECT_EQ(number("Password Delay Index"), 1u);
    }
}

TEST_F(KitGeneralPage, MissingValuesShowTheDefaults) {
    remove_values();
    TScrGeneral* page = make_page();
    EXPECT_EQ(page->PasswordDelay(), 60u); // 100 seconds show as 1 minute
    EXPECT_EQ(named<TEdit>(*host, "GenEdtWait")->Text(), "1");
    EXPECT_EQ(page->MouseThreshold(), mtNormal);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(page->Corner(static_cast<TScrCorner>(c)), scmNormal);
    EXPECT_FALSE(page->Mute());
}

TEST_F(KitGeneralPage, WaitControlsFollowThePasswordPolicy) {
    saver_key().write_dword("Password Delay", 45);
    TScrGeneral* page = make_page();
    const char* const wait_names[] = {"GenTxtWait", "GenEdtWait", "GenUpdWait", "GenCmbWait",
                                      "GenTxtWaitTwo"};
    const struct {
        TRequirePassword require;
        bool fixed;
        bool visible, edit_enabled;
        const char* text;
    } cases[] = {
        {rpNormal, false, true, true, "45"},
        {rpNever, false, false, true, "45"},
        {rpAlways, false, true, false, "0"},
        {rpNormal, true, true, false, "0"}, // a system that ignores the values
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << int(c.require) << (c.fixed ? " fixed" : ""));
        named<TEdit>(*host, "GenEdtWait")->SetText("45");
        page->SetPlatform(page->RunningOnNT(), c.fixed);
        page->SetRequirePassword(c.require);
        for (const char* name : wait_names) {
            HWND window = named<TSysControl>(*host, name)->WindowHandle();
            EXPECT_EQ(shown(window), c.visible) << name;
        }
        for (const char* name : {"GenEdtWait", "GenUpdWait", "GenCmbWait"}) {
            HWND window = named<TSysControl>(*host, name)->WindowHandle();
            EXPECT_EQ(IsWindowEnabled(window) != FALSE, c.edit_enabled) << name;
        }
        EXPECT_EQ(named<TEdit>(*host, "GenEdtWait")->Text(), c.text);
        auto* sensitivity = named<TComboBox>(*host, "GenCmbSensitivity");
        EXPECT_EQ(IsWindowEnabled(sensitivity->WindowHandle()) != FALSE, !c.fixed);
        if (c.fixed) {
            EXPECT_EQ(sensitivity->ItemIndex(), 0);
        }
    }
    page->SetAllowMute(false);
    EXPECT_FALSE(shown(named<TSysControl>(*host, "GenChkMute")->WindowHandle()));
    page->SetAllowMute(true);
    EXPECT_TRUE(shown(named<TSysControl>(*host, "GenChkMute")->WindowHandle()));
    // Without an agent one of the two "no hot corners" texts shows, never the invitation.
    EXPECT_FALSE(shown(named<TSysControl>(*host, "GenTxtCornersOk")->WindowHandle()));
    EXPECT_NE(shown(named<TSysControl>(*host, "GenTxtCornersNT")->WindowHandle()),
              shown(named<TSysControl>(*host, "GenTxtCornersBad")->WindowHandle()));
}

void CALLBACK close_menu(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    EndMenu();
}

TEST_F(KitGeneralPage, CornerMenuWarnsOnceWithoutAnAgent) {
    saver_key().write_string("Mouse Corners", "----", 5);
    host = new Host(&app);
    auto* monitor = new TScrMonitor(host, "Corners");
    monitor->SetParent(host);
    std::vector<std::string> clicks;
    monitor->OnClickCorner = [&](TScrMonitor*, TScrCorner corner, TScrCornerMode mode) {
        clicks.push_back(std::to_string(corner) + ":" + std::to_string(mode));
    };
    host->Handle();
    const MonitorGeometry& g = monitor->Geometry();
    ASSERT_EQ(g.corner.width, 24);
    ASSERT_EQ(g.picture.width, 184);

    // Between the corner buttons nothing opens.
    monitor->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 70));
    EXPECT_EQ(monitor->EditedCorner(), 4);

    SetTimer(nullptr, 0, 100, close_menu);
    monitor->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(g.corners[csTopLeft].left + 1, 20));
    EXPECT_EQ(monitor->EditedCorner(), csTopLeft);
    monitor->Perform(WM_COMMAND, scmNow, 0);
    EXPECT_EQ(monitor->EditedCorner(), 4);
    EXPECT_EQ(monitor->GetCorner(csTopLeft), scmNow);

    SetTimer(nullptr, 0, 100, close_menu);
    monitor->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(168, 129));
    monitor->Perform(WM_COMMAND, scmNever, 0);
    EXPECT_EQ(monitor->GetCorner(csBottomRight), scmNever);
    EXPECT_EQ(clicks, (std::vector<std::string>{"0:1", "2:2"}));
    if (!GetScrAgentPresent()) {
        EXPECT_EQ(boxes, (std::vector<std::string>{
                             "Screen saver: You must have the System Agent loaded in order for "
                             "the mouse hot corners to be active."}));
    }

    // The picture: corner buttons as chosen, the background through the mask, the screen.
    DibSurface picture(184, 170);
    const HDC dc = picture.dc();
    monitor->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    const COLORREF now = GetPixel(dc, 16 + 4, 17 + 11);
    const COLORREF never = GetPixel(dc, 169 - 4, 130 - 11);
    const COLORREF normal = GetPixel(dc, 169 - 4, 17 + 11);
    EXPECT_GT(GetGValue(now), GetRValue(now)) << std::hex << now;
    EXPECT_GT(GetRValue(never), GetGValue(never)) << std::hex << never;
    EXPECT_NEAR(GetRValue(normal), GetGValue(normal), 16) << std::hex << normal;
    EXPECT_EQ(GetPixel(dc, 0, 169), GetSysColor(COLOR_BTNFACE)) << "the mask let nothing through";
    EXPECT_EQ(GetPixel(dc, 90, 70), RGB(0, 84, 112)) << "not the screen's colour";

    // SaveCorners writes only in corners use.
    monitor->SaveCorners();
    EXPECT_EQ(saver_key().read_bytes("Mouse Corners", 16), std::string("Y-N-\0", 5));
    monitor->SetUse(smuPreview);
    EXPECT_NE(FindWindowExA(monitor->WindowHandle(), nullptr, "MonitorWindow", nullptr), nullptr);
    monitor->SetCorner(csTopLeft, scmNever);
    monitor->SaveCorners();
    EXPECT_EQ(saver_key().read_bytes("Mouse Corners", 16), std::string("Y-N-\0", 5));
}

} // namespace
} // namespace nimbrel
