// TScrGeneral: the general screen-saver options every saver offers (hot corners, mouse
// sensitivity, password delay, mute), read from and written to the system's saver registry
// values. Its controls belong to the page's owner, so the owner finds them by name.
#pragma once

#include "saverkit/controls.h"
#include "saverkit/general_options.h"
#include "saverkit/scr_forms.h"
#include "saverkit/scr_monitor.h"

#include <cstdint>

namespace nimbrel {

class TScrGeneral : public TPanel, public TScrGeneralHooks {
  public:
    TScrGeneral(TComponent* owner, const char* name = "ScrGeneral");
    const char* ClassName() const override { return "TScrGeneral"; }

    TScrCornerMode Corner(TScrCorner corner) const;
    void SetCorner(TScrCorner corner, TScrCornerMode mode);
    bool Mute() const;
    void SetMute(bool mute);
    TMouseThreshold MouseThreshold() const;
    void SetMouseThreshold(TMouseThreshold threshold);
    std::uint32_t MousePixThreshold() const;
    std::uint32_t PasswordDelay() const; // seconds
    void SetPasswordDelay(std::uint32_t seconds);

    bool AllowMute() const { return allow_mute_; }
    void SetAllowMute(bool allow) override;
    TRequirePassword RequirePassword() const { return require_password_; }
    void SetRequirePassword(TRequirePassword require) override;

    // Windows NT's family has no hot corners (the corner texts say so). NT 4 and earlier also
    // ignore the dismissal values, so there the page shows them fixed.
    bool RunningOnNT() const { return nt_family_; }
    void SetPlatform(bool nt_family, bool options_fixed);

    TNotifyEvent OnChange;

    virtual void CornerClicked(TScrMonitor* sender, TScrCorner corner, TScrCornerMode mode);
    virtual void ControlChanged(TComponent* sender);
    virtual void Changed();
    virtual void LoadValues();
    virtual void SaveValues();
    void UpdateControls();

  protected:
    void CreateWnd() override;

  private:
    template <class T> T* find(const char* name) const;
    void create_controls();
    void fill_lists();

    bool loading_ = false;
    bool nt_family_ = false;
    bool options_fixed_ = false;
    bool allow_mute_ = true;
    TRequirePassword require_password_ = rpNormal;
};

} // namespace nimbrel
