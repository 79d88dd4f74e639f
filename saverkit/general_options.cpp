#include "saverkit/general_options.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace nimbrel {
namespace {

int digit_value(char c, int base) {
    int d = -1;
    if (c >= '0' && c <= '9')
        d = c - '0';
    else if (c >= 'a' && c <= 'f')
        d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        d = c - 'A' + 10;
    return d < base ? d : -1;
}

// Reads a number as C's "%i" does (blanks, sign, 0x hexadecimal, leading-0 octal, decimal), but
// saturates instead of overflowing; a negative number reads as 0.
std::optional<std::uint64_t> scan_delay_number(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
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
            base = 8;
        }
    }
    constexpr std::uint64_t cap = std::numeric_limits<std::uint32_t>::max();
    std::uint64_t value = 0;
    std::size_t digits = 0;
    for (; i < text.size(); ++i, ++digits) {
        const int d = digit_value(text[i], base);
        if (d < 0) break;
        value = std::min(cap, value * static_cast<std::uint64_t>(base) + static_cast<unsigned>(d));
    }
    if (digits == 0) return std::nullopt;
    return negative ? 0 : value;
}

} // namespace

TMouseThreshold MouseThresholdFromIndex(std::int64_t index) {
    switch (index) {
    case 0:
        return mtHigh;
    case 2:
        return mtLow;
    case 3:
        return mtKeyboard_only;
    default:
        return mtNormal;
    }
}

std::uint32_t MousePixThreshold(TMouseThreshold threshold) {
    switch (threshold) {
    case mtHigh:
        return 0;
    case mtLow:
        return 400;
    case mtKeyboard_only:
        return 999999;
    default:
        return 200;
    }
}

WaitShown ShowPasswordDelay(std::uint32_t seconds) {
    if (seconds > 60) return {1, seconds / 60};
    return {0, seconds};
}

std::uint32_t ReadPasswordDelay(const std::optional<std::string>& text, int unit_item,
                                bool has_unit_list) {
    const bool minutes = unit_item >= 1;
    if (!text) return has_unit_list ? static_cast<std::uint32_t>(unit_item) * 60u + 60u : 30u;
    const auto number = scan_delay_number(std::string_view(*text).substr(0, 20));
    if (!number) return minutes ? 60u : 30u;
    // Neither a minus sign nor a long number may wrap round to some other delay.
    const std::uint64_t seconds = minutes ? *number * 60u : *number;
    return static_cast<std::uint32_t>(
        std::min<std::uint64_t>(seconds, std::numeric_limits<std::uint32_t>::max()));
}

std::uint32_t PasswordDelayIndex(std::uint32_t seconds, int unit_item) {
    return seconds > 60 || unit_item >= 1 ? 1u : 0u;
}

char CornerChar(TScrCornerMode mode) {
    switch (mode) {
    case scmNow:
        return 'Y';
    case scmNever:
        return 'N';
    default:
        return '-';
    }
}

TScrCornerMode CornerFromChar(char c) {
    if (c == 'N') return scmNever;
    if (c == 'Y') return scmNow;
    return scmNormal;
}

CornerModes DecodeCorners(const std::optional<std::string>& bytes) {
    CornerModes corners{scmNormal, scmNormal, scmNormal, scmNormal};
    if (!bytes) return corners;
    for (std::size_t i = 0; i < corners.size() && i < bytes->size(); ++i) {
        if ((*bytes)[i] == '\0') break; // a short string ends here
        corners[i] = CornerFromChar((*bytes)[i]);
    }
    return corners;
}

std::string EncodeCorners(const CornerModes& corners) {
    std::string text;
    for (TScrCornerMode mode : corners)
        text += CornerChar(mode);
    return text;
}

MonitorGeometry MakeMonitorGeometry(std::optional<KitSize> monitor_bitmap,
                                    std::optional<KitSize> corner_bitmap) {
    MonitorGeometry g;
    g.picture = monitor_bitmap ? KitSize{monitor_bitmap->width / 2, monitor_bitmap->height}
                               : KitSize{184, 170};
    g.corner = corner_bitmap ? *corner_bitmap : KitSize{32, 32};
    const int w = g.corner.width, h = g.corner.height;
    const KitRect& s = g.screen;
    g.corners[csTopLeft] = {s.left, s.top, s.left + w, s.top + h};
    g.corners[csTopRight] = {s.right - w, s.top, s.right, s.top + h};
    g.corners[csBottomRight] = {s.right - w, s.bottom - h, s.right, s.bottom};
    g.corners[csBottomLeft] = {s.left, s.bottom - h, s.left + w, s.bottom};
    return g;
}

KitSize PictureOffset(KitSize control, KitSize picture) {
    return {(control.width - picture.width) / 2, (control.height - picture.height) / 2};
}

int CornerAt(const MonitorGeometry& geometry, int x, int y) {
    int found = -1;
    for (int i = 0; i < 4; ++i)
        if (geometry.corners[static_cast<std::size_t>(i)].contains(x, y)) found = i;
    return found;
}

KitRect PreviewChildBounds(KitSize control) {
    const int dx = (control.width - 184) / 2, dy = (control.height - 170) / 2;
    return {16 + dx, 17 + dy, 153, 113};
}

} // namespace nimbrel
