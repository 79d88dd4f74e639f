// The real display behind the display-mode switch.
#pragma once

#include "app/win32_api.h"

#include "app/display_switch.h"

namespace nimbrel {

class Win32DisplayModes : public DisplayModes {
  public:
    DisplayFormat current() override;
    bool mode(int index, DisplayFormat& out) override;
    ChangeAnswer change_to(int index, bool forced) override;
    void restore(bool forced) override;
};

} // namespace nimbrel
