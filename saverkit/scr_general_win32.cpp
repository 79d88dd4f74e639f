#include "saverkit/scr_general_win32.h"

#include "saverkit/kit_dialog_ids.h"
#include "saverkit/saver_registry_win32.h"
#include "saverkit/scr_password_win32.h"

#include <commctrl.h>

#include <string>

namespace nimbrel {
namespace {

const std::vector<std::string> kSensitivityItems{"High", "Normal", "Low", "Ignore mouse movement"};
const std::vector<std::string> kWaitUnits{"seconds", "minutes"};

// Sets a flag for a scope and puts the old value back.
class Flag {
  public:
    Flag(bool& flag, bool value) : flag_(flag), old_(flag) { flag_ = value; }
    ~Flag() { flag_ = old_; }
    Flag(const Flag&) = delete;
    Flag& operator=(const Flag&) = delete;

  private:
    bool& flag_;
    bool old_;
};

struct Platform {
    bool nt_family = false;
    bool old_nt = false;
};

Platform detect_platform() {
    // GetVersionEx is told the truth only by a manifest; the platform family is right anyway,
    // and a program on NT 4 or earlier has no manifest to lie to.
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info)) return {};
#pragma GCC diagnostic pop
    const bool nt = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
    return {nt, nt && info.dwMajorVersion < 5};
}

} // namespace

std::string DlgItemText(HWND dialog, int id) {
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

TScrGeneral::TScrGeneral() {
    monitor_.OnClickCorner = [this](TScrMonitor*, TScrCorner, TScrCornerMode) { Changed(); };
}

void TScrGeneral::Attach(HWND page) {
    page_ = page;
    monitor_.Attach(item(IDC_GEN_CORNERS_MONITOR));
    if (!page_) return;
    SendMessageA(item(IDC_GEN_UPD_WAIT), UDM_SETRANGE32, 0, 9999);
    fill_lists();
    LoadValues();
    UpdateControls();
}

void TScrGeneral::fill_lists() {
    Flag loading(loading_, true);
    const std::pair<int, const std::vector<std::string>*> lists[] = {
        {IDC_GEN_CMB_SENSITIVITY, &kSensitivityItems}, {IDC_GEN_CMB_WAIT, &kWaitUnits}};
    for (const auto& [id, items] : lists) {
        SendMessageA(item(id), CB_RESETCONTENT, 0, 0);
        for (const std::string& text : *items)
            SendMessageA(item(id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

bool TScrGeneral::Command(WPARAM wparam, LPARAM) {
    const int id = LOWORD(wparam), code = HIWORD(wparam);
    switch (id) {
    case IDC_GEN_CMB_SENSITIVITY:
    case IDC_GEN_CMB_WAIT:
        if (code == CBN_SELCHANGE) Changed();
        return true;
    case IDC_GEN_EDT_WAIT:
        if (code == EN_CHANGE) Changed();
        return true;
    case IDC_GEN_CHK_MUTE:
    case IDC_GEN_CHK_ACTIVE:
        if (code == BN_CLICKED) Changed();
        return true;
    default:
        return false;
    }
}

int TScrGeneral::list_index(int id) const {
    HWND list = item(id);
    return list ? static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0)) : -1;
}

// --- values ------------------------------------------------------------------------------------
bool TScrGeneral::Mute() const {
    return page_ && IsDlgButtonChecked(page_, IDC_GEN_CHK_MUTE) == BST_CHECKED;
}

void TScrGeneral::SetMute(bool mute) {
    if (page_) CheckDlgButton(page_, IDC_GEN_CHK_MUTE, mute ? BST_CHECKED : BST_UNCHECKED);
}

TMouseThreshold TScrGeneral::MouseThreshold() const {
    return MouseThresholdFromIndex(list_index(IDC_GEN_CMB_SENSITIVITY));
}

void TScrGeneral::SetMouseThreshold(TMouseThreshold threshold) {
    SendMessageA(item(IDC_GEN_CMB_SENSITIVITY), CB_SETCURSEL, threshold, 0);
}

std::uint32_t TScrGeneral::MousePixThreshold() const {
    return nimbrel::MousePixThreshold(MouseThreshold());
}

std::uint32_t TScrGeneral::PasswordDelay() const {
    const bool edit = item(IDC_GEN_EDT_WAIT) != nullptr;
    return ReadPasswordDelay(edit ? std::optional<std::string>(DlgItemText(page_, IDC_GEN_EDT_WAIT))
                                  : std::nullopt,
                             list_index(IDC_GEN_CMB_WAIT), item(IDC_GEN_CMB_WAIT) != nullptr);
}

void TScrGeneral::SetPasswordDelay(std::uint32_t seconds) {
    const WaitShown shown = ShowPasswordDelay(seconds);
    SendMessageA(item(IDC_GEN_CMB_WAIT), CB_SETCURSEL, static_cast<WPARAM>(shown.unit), 0);
    if (page_) SetDlgItemTextA(page_, IDC_GEN_EDT_WAIT, std::to_string(shown.number).c_str());
}

void TScrGeneral::SetAllowMute(bool allow) {
    allow_mute_ = allow;
    UpdateControls();
}

void TScrGeneral::SetRequirePassword(TRequirePassword require) {
    require_password_ = require;
    UpdateControls();
}

void TScrGeneral::SetPlatform(bool nt_family, bool options_fixed) {
    nt_family_ = nt_family;
    options_fixed_ = options_fixed;
}

// --- events ------------------------------------------------------------------------------------
void TScrGeneral::Changed() {
    if (loading_) return;
    if (auto handler = OnChange) handler();
}

// --- registry ----------------------------------------------------------------------------------
void TScrGeneral::LoadValues() {
    Flag loading(loading_, true);
    const Platform platform = detect_platform();
    SetPlatform(platform.nt_family, platform.old_nt);
    RegKey key;
    if (!key.open(HKEY_CURRENT_USER, kScreenSaversKey, KEY_ALL_ACCESS)) {
        SetPasswordDelay(100);
        SetMouseThreshold(mtNormal);
        for (int c = 0; c < 4; ++c)
            SetCorner(static_cast<TScrCorner>(c), scmNormal);
        SetMute(false);
        return;
    }
    SetPasswordDelay(key.read_dword("Password Delay").value_or(100));
    const auto index = key.read_dword("Mouse Threshold Index");
    SetMouseThreshold(MouseThresholdFromIndex(index ? static_cast<std::int64_t>(*index) : -1));
    DWORD type = 0;
    auto corners = key.read_bytes("Mouse Corners", 5, &type);
    if (corners && type != REG_SZ && type != REG_EXPAND_SZ && type != REG_BINARY)
        corners.reset(); // not text: as if missing
    const CornerModes modes = DecodeCorners(corners);
    for (int c = 0; c < 4; ++c)
        SetCorner(static_cast<TScrCorner>(c), modes[static_cast<size_t>(c)]);
    SetMute(key.read_dword("Mute Sound").value_or(0) != 0);
}

void TScrGeneral::SaveValues() {
    RegKey key;
    if (!key.create(HKEY_CURRENT_USER, kScreenSaversKey)) return;
    const std::uint32_t delay = PasswordDelay();
    key.write_dword("Password Delay", delay);
    key.write_dword("Password Delay Index",
                    PasswordDelayIndex(delay, list_index(IDC_GEN_CMB_WAIT)));
    key.write_dword("Mouse Threshold", MousePixThreshold());
    key.write_dword("Mouse Threshold Index", MouseThreshold());
    CornerModes modes{};
    for (int c = 0; c < 4; ++c)
        modes[static_cast<size_t>(c)] = Corner(static_cast<TScrCorner>(c));
    const std::string text = EncodeCorners(modes);
    key.write_string("Mouse Corners", text.c_str(), 5);
    key.write_dword("Mute Sound", Mute() ? 1 : 0);
    key.close();
    NotifySaverChanged();
}

void TScrGeneral::UpdateControls() {
    if (!page_) return;
    Flag loading(loading_, true);
    const auto show = [this](int id, bool visible) {
        if (HWND c = item(id)) ShowWindow(c, visible ? SW_SHOWNA : SW_HIDE);
    };
    const bool agent = GetScrAgentPresent();
    show(IDC_GEN_TXT_CORNERS_OK, agent);
    show(IDC_GEN_TXT_CORNERS_NT, !agent && nt_family_);
    show(IDC_GEN_TXT_CORNERS_BAD, !agent && !nt_family_);
    show(IDC_GEN_CHK_MUTE, allow_mute_);

    auto show_wait = [&](bool visible, bool enabled) {
        for (int id : {IDC_GEN_TXT_WAIT, IDC_GEN_EDT_WAIT, IDC_GEN_UPD_WAIT, IDC_GEN_CMB_WAIT,
                       IDC_GEN_TXT_WAIT_TWO}) {
            show(id, visible);
            EnableWindow(item(id), enabled || id == IDC_GEN_TXT_WAIT || id == IDC_GEN_TXT_WAIT_TWO);
        }
    };
    auto fix_wait_at_zero = [&] {
        SetDlgItemTextA(page_, IDC_GEN_EDT_WAIT, "0");
        SendMessageA(item(IDC_GEN_CMB_WAIT), CB_SETCURSEL, 0, 0);
    };
    HWND sensitivity = item(IDC_GEN_CMB_SENSITIVITY);
    if (options_fixed_) {
        SendMessageA(sensitivity, CB_SETCURSEL, 0, 0);
        EnableWindow(sensitivity, FALSE);
        show_wait(true, false);
        fix_wait_at_zero();
        return;
    }
    EnableWindow(sensitivity, TRUE);
    switch (require_password_) {
    case rpNever:
        show_wait(false, true);
        break;
    case rpAlways:
        show_wait(true, false);
        fix_wait_at_zero();
        break;
    default:
        show_wait(true, true);
        break;
    }
}

} // namespace nimbrel
