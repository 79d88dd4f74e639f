// The general options page and the monitor picture on real Win32: the system's saver values
// shown and saved, controls by password policy, the corner menu and the picture.
#include "saverkit/kit_dialog_ids.h"
#include "saverkit/saver_registry_win32.h"
#include "saverkit/scr_control_win32.h"
#include "saverkit/scr_general_win32.h"
#include "saverkit/scr_monitor_win32.h"
#include "saverkit/scr_password_win32.h"

#include "dib_surface.h"
#include "message_pump.h"

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

// The kit's page from its template in a hidden window, its commands handed to the page as a
// dialog that holds it does.
INT_PTR CALLBACK page_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lparam);
        return TRUE;
    }
    auto* page = reinterpret_cast<TScrGeneral*>(GetWindowLongPtrA(window, DWLP_USER));
    if (message == WM_COMMAND && page) return page->Command(wparam, lparam);
    return FALSE;
}

// Shown by its own style (the hidden host hides everything from IsWindowVisible).
bool shown(HWND window) {
    return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

class KitGeneralPage : public ::testing::Test {
  protected:
    void TearDown() override {
        if (host) DestroyWindow(host);
    }

    // The page on a hidden host (loading the values as it takes the controls).
    TScrGeneral* make_page() {
        host = CreateWindowExA(0, "STATIC", "host", WS_POPUP, 0, 0, 400, 400, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
        RegisterMonitorWindowClass();
        page_window = CreateDialogParamA(GetModuleHandleA(nullptr), "SCRGENERAL", host, page_proc,
                                         reinterpret_cast<LPARAM>(&page));
        page.Attach(page_window);
        return &page;
    }
    HWND item(int id) const { return GetDlgItem(page_window, id); }
    std::string text(int id) const { return DlgItemText(page_window, id); }
    int list_index(int id) const { return int(SendMessageA(item(id), CB_GETCURSEL, 0, 0)); }
    // What the page shows: the wait's text and unit, the delay, threshold, corners and mute.
    auto values(TScrGeneral& page) const {
        std::string corners;
        for (int c = 0; c < 4; ++c)
            corners += "-YN"[page.Corner(static_cast<TScrCorner>(c))];
        return std::make_tuple(text(IDC_GEN_EDT_WAIT), list_index(IDC_GEN_CMB_WAIT),
                               page.PasswordDelay(), page.MouseThreshold(), corners, page.Mute());
    }

    SaverValuesGuard guard;
    TScrGeneral page;
    HWND host = nullptr, page_window = nullptr;
    MessageBoxes boxes;
};

TEST_F(KitGeneralPage, ShowsTheStoredValuesAndSavesThemBack) {
    saver_key().write_dword("Password Delay", 90);
    saver_key().write_dword("Mouse Threshold Index", 2);
    saver_key().write_string("Mouse Corners", "Y-NX", 5);
    saver_key().write_dword("Mute Sound", 1);
    TScrGeneral* page = make_page();
    int changes = 0;
    page->OnChange = [&] { ++changes; };

    ASSERT_NE(page_window, nullptr);
    EXPECT_EQ(values(*page), std::make_tuple("1", 1, 60u, mtLow, "Y-N-", true));
    EXPECT_EQ(changes, 0) << "loading raised OnChange";

    // "Ignore mouse movement" picked by the user.
    HWND sensitivity = item(IDC_GEN_CMB_SENSITIVITY);
    SendMessageA(sensitivity, CB_SETCURSEL, 3, 0);
    SendMessageA(page_window, WM_COMMAND, MAKEWPARAM(IDC_GEN_CMB_SENSITIVITY, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(sensitivity));
    EXPECT_EQ(changes, 1);
    page->SaveValues();
    EXPECT_EQ(std::make_tuple(number("Password Delay"), number("Password Delay Index"),
                              number("Mouse Threshold"), number("Mouse Threshold Index"),
                              number("Mute Sound")),
              std::make_tuple(60u, 1u, 999999u, 3u, 1u));
    DWORD type = 0;
    EXPECT_EQ(saver_key().read_bytes("Mouse Corners", 16, &type), std::string("Y-N-\0", 5));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

    // What the edit and the unit list hold is saved (odd edits are covered by the unit tests).
    for (const auto& [text, unit_index, delay] : {std::tuple{"61", 0, 61u}, {"2", 1, 120u}}) {
        SCOPED_TRACE(text);
        SetDlgItemTextA(page_window, IDC_GEN_EDT_WAIT, text);
        SendMessageA(item(IDC_GEN_CMB_WAIT), CB_SETCURSEL, WPARAM(unit_index), 0);
        page->SaveValues();
        EXPECT_EQ(number("Password Delay"), delay);
        EXPECT_EQ(number("Password Delay Index"), 1u);
    }
}

TEST_F(KitGeneralPage, MissingValuesShowTheDefaults) {
    remove_values();
    // 100 seconds show as 1 minute.
    EXPECT_EQ(values(*make_page()), std::make_tuple("1", 1, 60u, mtNormal, "----", false));
}

TEST_F(KitGeneralPage, WaitControlsFollowThePasswordPolicy) {
    saver_key().write_dword("Password Delay", 45);
    TScrGeneral* page = make_page();
    const int wait_ids[] = {IDC_GEN_TXT_WAIT, IDC_GEN_EDT_WAIT, IDC_GEN_UPD_WAIT, IDC_GEN_CMB_WAIT,
                            IDC_GEN_TXT_WAIT_TWO};
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
        SetDlgItemTextA(page_window, IDC_GEN_EDT_WAIT, "45");
        page->SetPlatform(page->RunningOnNT(), c.fixed);
        page->SetRequirePassword(c.require);
        for (int id : wait_ids)
            EXPECT_EQ(shown(item(id)), c.visible) << id;
        for (int id : {IDC_GEN_EDT_WAIT, IDC_GEN_UPD_WAIT, IDC_GEN_CMB_WAIT})
            EXPECT_EQ(IsWindowEnabled(item(id)) != FALSE, c.edit_enabled) << id;
        EXPECT_EQ(text(IDC_GEN_EDT_WAIT), c.text);
        EXPECT_EQ(IsWindowEnabled(item(IDC_GEN_CMB_SENSITIVITY)) != FALSE, !c.fixed);
        if (c.fixed) {
            EXPECT_EQ(list_index(IDC_GEN_CMB_SENSITIVITY), 0);
        }
    }
    page->SetAllowMute(false);
    EXPECT_FALSE(shown(item(IDC_GEN_CHK_MUTE)));
    page->SetAllowMute(true);
    EXPECT_TRUE(shown(item(IDC_GEN_CHK_MUTE)));
    // Without an agent one of the two "no hot corners" texts shows, never the invitation.
    EXPECT_FALSE(shown(item(IDC_GEN_TXT_CORNERS_OK)));
    EXPECT_NE(shown(item(IDC_GEN_TXT_CORNERS_NT)), shown(item(IDC_GEN_TXT_CORNERS_BAD)));
}

void CALLBACK close_menu(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    EndMenu();
}

TEST_F(KitGeneralPage, CornerMenuWarnsOnceWithoutAnAgent) {
    saver_key().write_string("Mouse Corners", "----", 5);
    TScrMonitor* monitor = &make_page()->CornersMonitor();
    std::vector<std::string> clicks;
    monitor->OnClickCorner = [&](TScrMonitor*, TScrCorner corner, TScrCornerMode mode) {
        clicks.push_back(std::to_string(corner) + ":" + std::to_string(mode));
    };
    const auto perform = [monitor](UINT message, WPARAM wparam, LPARAM lparam) {
        SendMessageA(monitor->WindowHandle(), message, wparam, lparam);
    };
    RECT area{};
    GetClientRect(monitor->WindowHandle(), &area);
    // Dialog units come as near the bitmap's size at 96 dots per inch as they can.
    ASSERT_NEAR(area.right, 184, 1);
    ASSERT_NEAR(area.bottom, 170, 1);
    const MonitorGeometry& g = monitor->Geometry();
    ASSERT_EQ(g.corner.width, 24);
    ASSERT_EQ(g.picture.width, 184);

    // Between the corner buttons nothing opens.
    perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 70));
    EXPECT_EQ(monitor->EditedCorner(), 4);

    SetTimer(nullptr, 0, 100, close_menu);
    perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(g.corners[csTopLeft].left + 1, 20));
    EXPECT_EQ(monitor->EditedCorner(), csTopLeft);
    perform(WM_COMMAND, scmNow, 0);
    EXPECT_EQ(monitor->EditedCorner(), 4);
    EXPECT_EQ(monitor->GetCorner(csTopLeft), scmNow);

    SetTimer(nullptr, 0, 100, close_menu);
    perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(168, 129));
    perform(WM_COMMAND, scmNever, 0);
    EXPECT_EQ(monitor->GetCorner(csBottomRight), scmNever);
    EXPECT_EQ(clicks, (std::vector<std::string>{"0:1", "2:2"}));
    if (!GetScrAgentPresent()) {
        EXPECT_EQ(boxes.shown,
                  (std::vector<std::string>{
                      "Screen saver: You must have the System Agent loaded in order for "
                      "the mouse hot corners to be active."}));
    }

    // The picture: corner buttons as chosen, the background through the mask, the screen.
    DibSurface picture(184, 170);
    const HDC dc = picture.dc();
    perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
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
