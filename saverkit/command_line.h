// Classifies the screen-saver command line into a run mode and a window.
#pragma once

#include "saverkit/scr_mode.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace nimbrel {

// A window handle as a number (sign-extended from 32 bits, as the system widens handles).
using WindowId = std::uintptr_t;

struct ScrCommand {
    TScrMode mode = smNone;
    WindowId window = 0;
    friend bool operator==(const ScrCommand& a, const ScrCommand& b) {
        return a.mode == b.mode && a.window == b.window;
    }
};

// What classification needs to know about the system's windows.
struct CommandLineSystem {
    std::function<bool(WindowId)> is_window;
    std::function<WindowId()> foreground_window;
    // Finds or starts the external preview program; its child window, or 0 when that failed.
    std::function<WindowId()> external_preview;
};

// The whole process command line, program name first. Nothing when it is not recognised.
std::optional<ScrCommand> ParseCommandLine(std::string_view line, const CommandLineSystem& system);

// Reads an integer as C's "%i" does: white space, a sign, then "0x" hexadecimal, a leading 0
// octal, or decimal; the value wraps to 32 bits. Nothing when no digit is read.
std::optional<std::int32_t> ScanInteger(std::string_view text);

inline WindowId WindowFromInteger(std::int32_t value) {
    return static_cast<WindowId>(static_cast<std::intptr_t>(value));
}

} // namespace nimbrel
