// Getting a 256-colour display for the palette animation, and giving the old mode back at exit.
// The decisions live here; the display itself is behind DisplayModes.
#pragma once

#include "settings/startup_report.h"

#include <cstdint>

namespace nimbrel {

struct DisplayFormat {
    std::int32_t bits_per_pixel = 0, width = 0, height = 0;
};

enum class ChangeAnswer { successful, restart_needed, failed };

class DisplayModes {
  public:
    virtual ~DisplayModes() = default;
    // The desktop's current depth and resolution.
    virtual DisplayFormat current() = 0;
    // Mode `index` of the display's list; false past its end.
    virtual bool mode(int index, DisplayFormat& out) = 0;
    // Switches to mode `index` (its depth and resolution only) for this run; `forced` asks the
    // driver to do it even when it would rather restart.
    virtual ChangeAnswer change_to(int index, bool forced) = 0;
    // Back to the mode stored in the system's settings.
    virtual void restore(bool forced) = 0;
};

// Program-wide, all false at start.
struct DisplayFlags {
    bool mode_changed = false; // restore at exit
    bool mode_forced = false;  // the restore needs the forced flag too
};
DisplayFlags& display_flags();
// The display is deeper than 256 colours, a 256-colour mode exists, and this run mode leaves the
// display alone: previews and the dialog warn that the colours are wrong.
bool& not_256_mode();

struct DisplayPolicy {
    bool refuse_change = true; // Prompt_screen_change
    bool refuse_force = true;  // Prompt_force_change
    // With an emulated palette the display is never touched and its depth does not matter.
    bool emulate_palette = true;
};

inline constexpr const char* No_256_mode_text =
    "Nimbrel couldn't find a compatible 256 colour display mode";
inline constexpr const char* Change_refused_text =
    "Nimbrel will not run unless you enable automatic screen mode change";
inline constexpr const char* Force_refused_text =
    "Nimbrel will not run unless you enable automatic (force) screen mode change";
inline constexpr const char* Needs_reboot_text =
    "Nimbrel couldn't change into 256 colour mode without a reboot";
inline constexpr const char* Change_failed_text =
    "Nimbrel tried to change screen mode but failed :(";

// true when the display can be used as it is or was made usable; false when a problem was
// added to `report`. Sets not_256_mode() when a preview or dialog runs on a deeper display.
bool Switch_to_256_colours(DisplayModes& display, const DisplayPolicy& policy,
                           Startup_report& report, bool not_full_screen,
                           DisplayFlags& flags = display_flags());

// Undoes what Switch_to_256_colours changed, nothing otherwise.
void Restore_screen_mode(DisplayModes& display, DisplayFlags& flags = display_flags());

} // namespace nimbrel
