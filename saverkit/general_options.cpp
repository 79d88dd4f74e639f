#include "saverkit/general_options.h"

#include "saverkit/c_integer.h"
#include "saverkit/dpi.h"

#include <algorithm>
#include <limits>

namespace nimbrel {
namespace {

// Reads a number as C's "%i" does (blanks, sign, 0x hexadecimal, leading-0 octal, decimal), but
// saturates instead of overflowing; a negative number reads as 0.
std::optional<std::uint64_t> scan_delay_number(std::string_view text) {
    const auto scanned = ScanCInteger(text);
    if (!scanned) return std::nullopt;
    return scanned->negative ? 0 : std::uint64_t{scanned->saturated};
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

KitSize ScaledPicture(KitSize picture, int dpi) {
    return {Scale_for_dpi(picture.width, dpi), Scale_for_dpi(picture.height, dpi)};
}

int PictureDpi(KitSize control, int dpi) {
    const int fit = std::min(control.width * Design_dpi / 184, control.height * Design_dpi / 170);
    return std::min(dpi, std::max(fit, 1));
}

KitRect PreviewChildBounds(KitSize control, int dpi) {
    const KitSize o = PictureOffset(control, ScaledPicture({184, 170}, dpi));
    const DpiRect r = Scale_rect_for_dpi({16, 17, 153, 113}, dpi);
    return {o.width + r.left, o.height + r.top, r.width, r.height};
}

} // namespace nimbrel
