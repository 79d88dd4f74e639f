// The general options page's values as the system stores them, and the monitor picture's
// geometry: the mappings between what the page shows and the saver registry values, with no
// window in sight.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nimbrel {

enum TMouseThreshold : std::uint8_t { mtHigh = 0, mtNormal = 1, mtLow = 2, mtKeyboard_only = 3 };
enum TScrCornerMode : std::uint8_t { scmNormal = 0, scmNow = 1, scmNever = 2 };
enum TScrCorner : std::uint8_t {
    csTopLeft = 0,
    csTopRight = 1,
    csBottomRight = 2,
    csBottomLeft = 3
};
enum TScrMonitorUse : std::uint8_t { smuCorners = 0, smuPreview = 1, smuNothing = 2 };

using CornerModes = std::array<TScrCornerMode, 4>; // in TScrCorner order

// "Mouse Threshold Index" (or the list's item) to the threshold: unknown values are normal.
TMouseThreshold MouseThresholdFromIndex(std::int64_t index);
// Pixels the pointer may move; 999999 means movement is ignored.
std::uint32_t MousePixThreshold(TMouseThreshold threshold);

// What the wait edit and its unit list show for a delay in seconds.
struct WaitShown {
    int unit = 0; // 0 seconds, 1 minutes
    std::uint32_t number = 0;
};
WaitShown ShowPasswordDelay(std::uint32_t seconds);

// The delay in seconds the page holds. `text` is the edit's text (nothing when there is no
// edit), `unit_item` the unit list's item (-1: no selection), `has_unit_list` whether the list
// exists.
std::uint32_t ReadPasswordDelay(const std::optional<std::string>& text, int unit_item,
                                bool has_unit_list);
// "Password Delay Index": minutes when the delay is over a minute or was entered in minutes.
std::uint32_t PasswordDelayIndex(std::uint32_t seconds, int unit_item);

// "Mouse Corners": one character per corner, "-" normal, "Y" now, "N" never.
char CornerChar(TScrCornerMode mode);
TScrCornerMode CornerFromChar(char c);
// The stored bytes (as read with a 5-byte buffer); corners past the end are normal. Nothing
// (a missing value or one that is not a string) gives all normal.
CornerModes DecodeCorners(const std::optional<std::string>& bytes);
// The four characters, without the terminating zero.
std::string EncodeCorners(const CornerModes& corners);

// --- The monitor picture -----------------------------------------------------------------------
struct KitRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
    friend bool operator==(const KitRect& a, const KitRect& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
};
struct KitSize {
    int width = 0, height = 0;
};

struct MonitorGeometry {
    KitSize picture;                  // half the monitor bitmap's width, its full height
    KitSize corner;                   // one corner button
    std::array<KitRect, 4> corners;   // in TScrCorner order
    KitRect screen{16, 17, 169, 130}; // the picture's screen area
};

// From the sizes of the "SCRMONITOR" and "SCRCORNERNOW" bitmaps (nothing: missing).
MonitorGeometry MakeMonitorGeometry(std::optional<KitSize> monitor_bitmap,
                                    std::optional<KitSize> corner_bitmap);
// Where the picture sits in a control of the given size (centred, halves toward zero).
KitSize PictureOffset(KitSize control, KitSize picture);
// The corner button under a point of the picture, edges included, a later corner winning;
// -1 when none.
int CornerAt(const MonitorGeometry& geometry, int x, int y);
// The picture's size on a window at `dpi` (its bitmaps are drawn stretched).
KitSize ScaledPicture(KitSize picture, int dpi);
// The resolution to draw the picture at in a control: the window's, or less where the control
// (laid out in the dialog font's units) is too small for the picture at the window's.
int PictureDpi(KitSize control, int dpi);
// The preview child's rectangle (left, top, width, height as right, bottom) in a control at
// `dpi`: the picture's screen area, picture centred in the control.
KitRect PreviewChildBounds(KitSize control, int dpi);

} // namespace nimbrel
