// The system's screen-saver values in the current user's registry, as the kit reads them.
#pragma once

#include "settings/reg_key_win32.h"

#include <cstdint>
#include <optional>
#include <string>

namespace nimbrel {

extern const char kScreenSaversKey[]; // "Software\Microsoft\Windows\CurrentVersion\Screen Savers"

struct SaverRegistrySettings {
    std::uint32_t password_delay = 100; // seconds
    std::uint32_t mouse_threshold = 10; // pixels
    bool mute = true;
};

// "Password Delay", "Mouse Threshold", "Mute Sound", with the defaults for a missing key or value.
SaverRegistrySettings ReadSaverRegistrySettings();

// "ScreenSaveUsePassword" under "Control Panel\Desktop".
bool SystemUsesSaverPassword();

// Writes each of the system's saver values that is missing or out of range; never changes valid
// ones.
void EnsureSaverDefaults();

} // namespace nimbrel
