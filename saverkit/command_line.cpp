#include "saverkit/command_line.h"

#include <string_view>

namespace nimbrel {
namespace {

bool is_c_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int digit_value(char c, int base) {
    int value = 99;
    if (c >= '0' && c <= '9') value = c - '0';
    if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value < base ? value : -1;
}

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
    std::size_t i = 0;
    while (i < text.size() && is_c_space(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    int base = 10;
    if (i < text.size() && text[i] == '0') {
        if (i + 2 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
            digit_value(text[i + 2], 16) >= 0) {
            base = 16;
            i += 2;
        } else {
            base = 8; // the 0 itself is the first octal digit
        }
    }
    std::uint32_t value = 0;
    std::size_t digits = 0;
    for (; i < text.size(); ++i, ++digits) {
        const int d = digit_value(text[i], base);
        if (d < 0) break;
        value = value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(d);
    }
    if (digits == 0) return std::nullopt;
    if (negative) value = 0u - value;
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
