#include "saverkit/command_line.h"

#include "saverkit/c_integer.h"

#include <string_view>

namespace nimbrel {
namespace {

void skip_blanks_and_colons(std::string_view& rest) {
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == ':'))
        rest.remove_prefix(1);
}

// The window named by the rest of the line, if it names an existing one.
std::optional<WindowId> window_in(std::string_view rest, const CommandLineSystem& system) {
    const auto number = ScanInteger(rest);
    if (!number) return std::nullopt;
    const WindowId window = WindowFromInteger(*number);
    if (!system.is_window || !system.is_window(window)) return std::nullopt;
    return window;
}

WindowId foreground(const CommandLineSystem& system) {
    return system.foreground_window ? system.foreground_window() : 0;
}

} // namespace

std::optional<std::int32_t> ScanInteger(std::string_view text) {
    const auto scanned = ScanCInteger(text);
    if (!scanned) return std::nullopt;
    const std::uint32_t value = scanned->negative ? 0u - scanned->wrapped : scanned->wrapped;
    return static_cast<std::int32_t>(value);
}

std::optional<ScrCommand> ParseCommandLine(std::string_view line, const CommandLineSystem& system) {
    // The program name: quoted up to the closing quote, otherwise up to the first blank.
    std::string_view rest = line;
    if (!rest.empty() && rest.front() == '"') {
        const auto close = rest.find('"', 1);
        if (close == std::string_view::npos) return std::nullopt;
        rest.remove_prefix(close + 1);
    } else {
        const auto blank = rest.find(' ');
        rest.remove_prefix(blank == std::string_view::npos ? rest.size() : blank);
    }
    while (!rest.empty() && rest.front() == ' ')
        rest.remove_prefix(1);
    if (rest.empty()) return ScrCommand{smCRegular, 0};

    // -s, /s, -/s and s are alike; only the first letter counts (/save is s).
    if (!rest.empty() && rest.front() == '-') rest.remove_prefix(1);
    if (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
    const char letter = rest.empty() ? '\0' : rest.front();
    if (!rest.empty()) rest.remove_prefix(1);

    switch (letter) {
    case 'p':
    case 'P':
    case 'l':
    case 'L': {
        skip_blanks_and_colons(rest);
        if (rest.empty()) return std::nullopt;
        if (rest == "scrprev" || rest == "ScrPrev" || rest == "SCRPREV") {
            const WindowId child = system.external_preview ? system.external_preview() : 0;
            if (!child) return std::nullopt;
            return ScrCommand{smSPMain, child};
        }
        const auto window = window_in(rest, system);
        if (!window) return std::nullopt;
        return ScrCommand{smSPMain, *window};
    }
    case 'c':
    case 'C':
        return ScrCommand{smCRegular, foreground(system)};
    case 's':
    case 'S':
        return ScrCommand{smSFull, 0};
    case 'a':
    case 'A': {
        skip_blanks_and_colons(rest);
        const auto window = rest.empty() ? std::nullopt : window_in(rest, system);
        return ScrCommand{smPasswordChange, window ? *window : foreground(system)};
    }
    default:
        return std::nullopt;
    }
}

} // namespace nimbrel
