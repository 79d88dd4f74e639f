#include "saverkit/scr_general.h"

#include "saverkit/saver_registry.h"
#include "saverkit/scr_password.h"

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

TScrGeneral::TScrGeneral(TComponent* owner, const char* name) : TPanel(owner, name) {
    SetDesignBounds(0, 0, 357, 357);
    create_controls();
}

template <class T> T* TScrGeneral::find(const char* name) const {
    if (!Owner()) return nullptr;
    for (TComponent* c : Owner()->Components())
        if (c->Name == name) return dynamic_cast<T*>(c);
    return nullptr;
}

void TScrGeneral::create_controls() {
    TComponent* owner = Owner() ? Owner() : this;
    auto place = [](auto* control, TControlHost* parent, int l, int t, int w, int h,
                    const char* caption) {
        control->SetParent(parent);
        control->SetDesignBounds(l, t, w, h);
        if (caption) control->SetCaption(caption);
        return control;
    };
    place(new TLabel(owner, "GenTxtCornersOk"), this, 21, 8, 282, 43,
          "You can display the screen saver immediately, or prevent it from appearing at all, by "
          "moving the mouse pointer to a corner on the screen. Click the corners you want to use.");
    place(new TLabel(owner, "GenTxtCornersBad"), this, 21, 21, 282, 43,
          "The system agent must be active in order for you to display the screen saver "
          "immediately by moving the mouse pointer to a corner on the screen.");
    place(new TLabel(owner, "GenTxtCornersNT"), this, 21, 21, 282, 43,
          "Windows NT does not have 'hot corners' (that allow you to display the screen saver "
          "immediately by moving the mouse pointer to a corner on the screen).");
    auto* monitor = new TScrMonitor(owner, "GenCornersMonitor");
    monitor->SetParent(this);
    monitor->SetDesignBounds(80, 64, 184, 170);
    auto* group = new TGroupBox(owner, "GenGrpOptions");
    group->SetParent(this);
    group->SetDesignBounds(16, 248, 321, 78);
    group->Text = "Options for dismissing the screen saver";
    auto* sensitivity_label =
        place(new TLabel(owner, "GenTxtSensitivity"), group, 8, 24, 80, 13, "&Mouse sensitivity");
    sensitivity_label->WordWrap = false;
    auto* sensitivity =
        place(new TComboBox(owner, "GenCmbSensitivity"), group, 100, 20, 205, 21, nullptr);
    place(new TLabel(owner, "GenTxtWait"), group, 8, 52, 22, 13, "&Wait")->WordWrap = false;
    auto* wait = place(new TEdit(owner, "GenEdtWait"), group, 40, 48, 29, 21, nullptr);
    auto* wait_arrows = place(new TUpDown(owner, "GenUpdWait"), group, 69, 48, 15, 21, nullptr);
    wait_arrows->SetMax(9999);
    wait_arrows->Associate = wait;
    auto* unit = place(new TComboBox(owner, "GenCmbWait"), group, 100, 48, 65, 21, nullptr);
    place(new TLabel(owner, "GenTxtWaitTwo"), group, 172, 52, 130, 13,
          "before requiring a password")
        ->WordWrap = false;
    auto* mute = place(new TCheckBox(owner, "GenChkMute"), this, 20, 335, 125, 17, "M&ute");
    auto* active = place(new TCheckBox(owner, "GenChkActive"), this, 172, 335, 157, 17,
                         "&Disable active-configuration");

    monitor->OnClickCorner = [this](TScrMonitor* sender, TScrCorner corner, TScrCornerMode mode) {
        CornerClicked(sender, corner, mode);
    };
    const TNotifyEvent changed = [this](TComponent* sender) { ControlChanged(sender); };
    sensitivity->OnChange = changed;
    wait->OnChange = changed;
    unit->OnChange = changed;
    mute->OnClick = changed;
    active->OnClick = changed;
    fill_lists();
}

void TScrGeneral::fill_lists() {
    Flag loading(loading_, true);
    if (auto* list = find<TComboBox>("GenCmbSensitivity")) list->SetItems(kSensitivityItems);
    if (auto* list = find<TComboBox>("GenCmbWait")) list->SetItems(kWaitUnits);
}

void TScrGeneral::CreateWnd() {
    TPanel::CreateWnd();
    fill_lists();
    LoadValues();
    UpdateControls();
}

// --- values ------------------------------------------------------------------------------------
TScrCornerMode TScrGeneral::Corner(TScrCorner corner) const {
    const auto* monitor = find<TScrMonitor>("GenCornersMonitor");
    return monitor ? monitor->GetCorner(corner) : scmNormal;
}

void TScrGeneral::SetCorner(TScrCorner corner, TScrCornerMode mode) {
    if (auto* monitor = find<TScrMonitor>("GenCornersMonitor")) monitor->SetCorner(corner, mode);
}

bool TScrGeneral::Mute() const {
    const auto* box = find<TCheckBox>("GenChkMute");
    return box && box->Checked();
}

void TScrGeneral::SetMute(bool mute) {
    if (auto* box = find<TCheckBox>("GenChkMute")) box->SetChecked(mute);
}

TMouseThreshold TScrGeneral::MouseThreshold() const {
    const auto* list = find<TComboBox>("GenCmbSensitivity");
    return MouseThresholdFromIndex(list ? list->ItemIndex() : -1);
}

void TScrGeneral::SetMouseThreshold(TMouseThreshold threshold) {
    if (auto* list = find<TComboBox>("GenCmbSensitivity")) list->SetItemIndex(threshold);
}

std::uint32_t TScrGeneral::MousePixThreshold() const {
    return nimbrel::MousePixThreshold(MouseThreshold());
}

std::uint32_t TScrGeneral::PasswordDelay() const {
    const auto* edit = find<TEdit>("GenEdtWait");
    const auto* unit = find<TComboBox>("GenCmbWait");
    return ReadPasswordDelay(edit ? std::optional<std::string>(edit->Text()) : std::nullopt,
                             unit ? unit->ItemIndex() : -1, unit != nullptr);
}

void TScrGeneral::SetPasswordDelay(std::uint32_t seconds) {
    const WaitShown shown = ShowPasswordDelay(seconds);
    if (auto* unit = find<TComboBox>("GenCmbWait")) unit->SetItemIndex(shown.unit);
    if (auto* edit = find<TEdit>("GenEdtWait")) edit->SetText(std::to_string(shown.number));
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
void TScrGeneral::CornerClicked(TScrMonitor*, TScrCorner, TScrCornerMode) {
    Changed();
}

void TScrGeneral::ControlChanged(TComponent*) {
    Changed();
}

void TScrGeneral::Changed() {
    if (loading_) return;
    if (auto handler = OnChange) handler(this);
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
    const auto* unit = find<TComboBox>("GenCmbWait");
    key.write_dword("Password Delay", delay);
    key.write_dword("Password Delay Index",
                    PasswordDelayIndex(delay, unit ? unit->ItemIndex() : -1));
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
    Flag loading(loading_, true);
    auto* ok = find<TLabel>("GenTxtCornersOk");
    auto* bad = find<TLabel>("GenTxtCornersBad");
    auto* nt = find<TLabel>("GenTxtCornersNT");
    if (ok && bad && nt) {
        const bool agent = GetScrAgentPresent();
        ok->SetVisible(agent);
        nt->SetVisible(!agent && nt_family_);
        bad->SetVisible(!agent && !nt_family_);
    }
    if (auto* mute = find<TCheckBox>("GenChkMute")) mute->SetVisible(allow_mute_);

    auto* sensitivity = find<TComboBox>("GenCmbSensitivity");
    auto* wait_label = find<TLabel>("GenTxtWait");
    auto* wait = find<TEdit>("GenEdtWait");
    auto* arrows = find<TUpDown>("GenUpdWait");
    auto* unit = find<TComboBox>("GenCmbWait");
    auto* wait_two = find<TLabel>("GenTxtWaitTwo");
    TSysControl* const wait_controls[] = {wait_label, wait, arrows, unit, wait_two};
    auto show_wait = [&](bool visible, bool enabled) {
        for (TSysControl* c : wait_controls)
            if (c) {
                c->SetVisible(visible);
                c->SetEnabled(enabled || c == wait_label || c == wait_two);
            }
    };
    auto fix_wait_at_zero = [&] {
        if (wait) wait->SetText("0");
        if (unit) unit->SetItemIndex(0);
    };
    if (options_fixed_) {
        if (sensitivity) {
            sensitivity->SetItemIndex(0);
            sensitivity->SetEnabled(false);
        }
        show_wait(true, false);
        fix_wait_at_zero();
        return;
    }
    if (sensitivity) sensitivity->SetEnabled(true);
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
