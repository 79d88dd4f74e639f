#include "app/display_switch.h"

#include <string>

namespace nimbrel {
namespace {

void add_line(Startup_report& report, Startup_error member, const char* text) {
    report.add(member, std::string(text) + "\r\n");
}

} // namespace

bool& not_256_mode() {
    static bool flag = false;
    return flag;
}

DisplayFlags& display_flags() {
    static DisplayFlags flags;
    return flags;
}

bool Switch_to_256_colours(DisplayModes& display, const DisplayPolicy& policy,
                           Startup_report& report, bool not_full_screen, DisplayFlags& flags) {
    flags.mode_changed = false;
    flags.mode_forced = false;
    if (policy.emulate_palette) return true;

    const DisplayFormat now = display.current();
    if (now.bits_per_pixel == 8) return true;

    // The last matching mode in the list wins.
    int candidate = -1;
    DisplayFormat m;
    for (int i = 0; display.mode(i, m); ++i) {
        if (m.bits_per_pixel == 8 && m.width == now.width && m.height == now.height) candidate = i;
    }
    if (candidate < 0) {
        add_line(report, err_no_256_mode, No_256_mode_text);
        return false;
    }
    if (not_full_screen) {
        not_256_mode() = true;
        return true;
    }
    if (policy.refuse_change) {
        add_line(report, err_change_refused, Change_refused_text);
        return false;
    }
    switch (display.change_to(candidate, false)) {
    case ChangeAnswer::successful:
        flags.mode_changed = true;
        return true;
    case ChangeAnswer::restart_needed:
        if (policy.refuse_force) {
            add_line(report, err_force_needed, Force_refused_text);
            return false;
        }
        if (display.change_to(candidate, true) == ChangeAnswer::successful) {
            flags.mode_changed = true;
            flags.mode_forced = true;
            return true;
        }
        add_line(report, err_force_needed, Needs_reboot_text);
        return false;
    case ChangeAnswer::failed:
        break;
    }
    add_line(report, err_change_failed, Change_failed_text);
    return false;
}

void Restore_screen_mode(DisplayModes& display, DisplayFlags& flags) {
    if (flags.mode_changed) display.restore(flags.mode_forced);
}

} // namespace nimbrel
