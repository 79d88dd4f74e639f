// Run modes and password policy shared by the controller, the forms and the portable rules.
#pragma once

#include <cstdint>

namespace nimbrel {

enum TScrMode : std::uint8_t {
    smSaver = 0,           // generic saver form
    smSFull = 1,           // full-screen saver (s)
    smSPreview = 2,        // generic preview form
    smSPConfig = 3,        // preview inside our own configuration dialog
    smSPMain = 4,          // preview inside the system's display-settings dialog (p, l)
    smConfig = 5,          // generic configuration dialog
    smCRegular = 6,        // configuration dialog (c, or no argument)
    smCActive = 7,         // configuration while the saver runs
    smAbout = 8,           //
    smSettings = 9,        //
    smPasswordChange = 10, // a
    smPasswordVerify = 11, //
    smNone = 12,
};

enum TRequirePassword : std::uint8_t { rpNormal = 0, rpNever = 1, rpAlways = 2 };

enum TScrAction : std::uint8_t { saNone = 0, saClose = 1, saActiveConfig = 2 };

// The process-wide run mode (smNone until the command line is classified).
TScrMode GetScrMode();
void SetScrMode(TScrMode mode);

} // namespace nimbrel
