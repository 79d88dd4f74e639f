// The engine's view of the outside world: a drawing target, a palette, and an alert sink.
// Two implementations sit behind these: the portable indexed surface and GDI.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace nimbrel {

inline constexpr std::uint8_t PC_RESERVED = 1;

// Palette layout: the static system colours sit in entries 0-9 and 246-255, the animated colours
// start at entry 10 and there are at most 236 of them.
inline constexpr int first_animated_entry = 10;
inline constexpr int max_animated_colours = 236;

struct PaletteEntry {
    std::uint8_t red = 0, green = 0, blue = 0, flags = 0;
    friend bool operator==(const PaletteEntry& a, const PaletteEntry& b) {
        return a.red == b.red && a.green == b.green && a.blue == b.blue && a.flags == b.flags;
    }
};
using PaletteEntries = std::array<PaletteEntry, 256>;

struct Point {
    std::int32_t x = 0, y = 0;
};

// Where the rings are drawn. Pens are the GDI adapter's business: it keeps the process-wide table
// of 256 palette-index pens (create_pens/delete_pens when the saver window shows and hides); here a
// colour is just the palette index. Coordinates are client pixels; anything off the surface is
// clipped.
class DrawTarget {
  public:
    virtual ~DrawTarget() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
    // Frame brackets; false means the device context could not be obtained/released. On a
    // palettised display begin_frame also selects and realizes the logical palette (foreground).
    virtual bool begin_frame() { return true; }
    virtual bool end_frame() { return true; }
    virtual void fill_black() = 0;
    // A 1-pixel pen in palette entry `index`; like a Windows polyline, every segment is drawn
    // without its last pixel.
    virtual void polyline(const Point* points, int count, std::uint8_t index) = 0;
    virtual void pixel(int x, int y, std::uint8_t index) = 0;
};

// The logical palette the rings' indices are shown through.
class PaletteTarget {
  public:
    virtual ~PaletteTarget() = default;
    // The 20 static colours (entries 0-9 and 246-255) as the system holds them.
    virtual void system_entries(PaletteEntries& into) const = 0;
    // Replaces the logical palette; false when the previous one could not be deleted.
    virtual bool create(const PaletteEntries& entries) = 0;
    virtual void animate(int start, int count, const PaletteEntry* entries) = 0;
    virtual void read(int start, int count, PaletteEntry* out) const = 0;
    // Deletes the logical palette; false when there was none or it could not be deleted.
    virtual bool release() { return true; }
};

// The 20 static colours of a Windows 256-colour display (entry 0 black ... entry 255 white), the
// other 236 entries black; what system_entries answers where no real system palette exists.
const PaletteEntries& standard_system_entries();

// Numbered failure texts of the window system ("Device context invalid #3").
class AlertSink {
  public:
    virtual ~AlertSink() = default;
    virtual void alert(const std::string& text) = 0;
};

} // namespace nimbrel
