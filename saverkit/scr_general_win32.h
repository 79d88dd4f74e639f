// TScrGeneral: the general screen-saver options every saver offers (hot corners, mouse
// sensitivity, password delay, mute), read from and written to the system's saver registry
// values. The controls come from a dialog template (IDC_GEN_* in kit_dialog_ids.h): the kit's
// SCRGENERAL page, or a dialog that lays them out its own way.
#pragma once

#include "saverkit/general_options.h"
#include "saverkit/scr_mode.h"
#include "saverkit/scr_monitor_win32.h"

#include <cstdint>
#include <functional>
#include <string>

namespace nimbrel {

class TScrGeneral {
  public:
    TScrGeneral();

    // Takes the page's controls in `page`: fills the lists, loads the values and shows the
    // controls the platform and the password policy allow.
    void Attach(HWND page);
    HWND Page() const { return page_; }
    TScrMonitor& CornersMonitor() { return monitor_; }
    // A WM_COMMAND of the page's dialog; true when it came from one of the page's controls.
    bool Command(WPARAM wparam, LPARAM lparam);

    TScrCornerMode Corner(TScrCorner corner) const { return monitor_.GetCorner(corner); }
    void SetCorner(TScrCorner corner, TScrCornerMode mode) { monitor_.SetCorner(corner, mode); }
    bool Mute() const;
    void SetMute(bool mute);
    TMouseThreshold MouseThreshold() const;
    void SetMouseThreshold(TMouseThreshold threshold);
    std::uint32_t MousePixThreshold() const;
    std::uint32_t PasswordDelay() const; // seconds
    void SetPasswordDelay(std::uint32_t seconds);

    bool AllowMute() const { return allow_mute_; }
    void SetAllowMute(bool allow);
    TRequirePassword RequirePassword() const { return require_password_; }
    void SetRequirePassword(TRequirePassword require);

    // Windows NT's family has no hot corners (the corner texts say so). NT 4 and earlier also
    // ignore the dismissal values, so there the page shows them fixed.
    bool RunningOnNT() const { return nt_family_; }
    void SetPlatform(bool nt_family, bool options_fixed);

    std::function<void()> OnChange;

    void Changed();
    void LoadValues();
    void SaveValues();
    void UpdateControls();

  private:
    HWND item(int id) const { return page_ ? GetDlgItem(page_, id) : nullptr; }
    int list_index(int id) const;
    void fill_lists();

    HWND page_ = nullptr;
    TScrMonitor monitor_;
    bool loading_ = false;
    bool nt_family_ = false;
    bool options_fixed_ = false;
    bool allow_mute_ = true;
    TRequirePassword require_password_ = rpNormal;
};

// A control's text.
std::string DlgItemText(HWND dialog, int id);

} // namespace nimbrel
