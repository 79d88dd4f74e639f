// Recording stand-ins for the window and its palette, shared by the engine tests.
#pragma once

#include "engine/draw.h"

#include <cstdint>
#include <string>
#include <vector>

namespace nimbrel::testing {

// FNV-1a over 64-bit values, so checksums are easy to recompute elsewhere.
struct Checksum {
    std::uint64_t value = 14695981039346656037ull;
    void add(std::int64_t v) {
        auto u = static_cast<std::uint64_t>(v);
        for (int i = 0; i < 8; ++i) {
            value ^= (u >> (8 * i)) & 0xff;
            value *= 1099511628211ull;
        }
    }
};

struct DrawCall {
    enum Kind { Fill, Polyline, Pixel } kind;
    std::uint8_t index = 0;
    std::vector<Point> points;
};

class RecordingTarget : public DrawTarget {
  public:
    RecordingTarget(int w, int h) : w_(w), h_(h) {}
    int width() const override { return w_; }
    int height() const override { return h_; }
    bool begin_frame() override {
        sum.add(1);
        return begin_ok;
    }
    bool end_frame() override {
        sum.add(2);
        return end_ok;
    }
    void fill_black() override {
        sum.add(3);
        calls.push_back({DrawCall::Fill, 0, {}});
    }
    void polyline(const Point* points, int count, std::uint8_t index) override {
        sum.add(4);
        sum.add(index);
        sum.add(count);
        DrawCall call{DrawCall::Polyline, index, {}};
        for (int i = 0; i < count; ++i) {
            sum.add(points[i].x);
            sum.add(points[i].y);
            call.points.push_back(points[i]);
        }
        calls.push_back(std::move(call));
    }
    void pixel(int x, int y, std::uint8_t index) override {
        sum.add(5);
        sum.add(x);
        sum.add(y);
        sum.add(index);
        calls.push_back({DrawCall::Pixel, index, {{x, y}}});
    }

    Checksum sum;
    std::vector<DrawCall> calls;
    bool begin_ok = true, end_ok = true;

  private:
    int w_, h_;
};

class RecordingPalette : public PaletteTarget {
  public:
    void system_entries(PaletteEntries& into) const override { into = standard_system_entries(); }
    bool create(const PaletteEntries& e) override {
        entries = e;
        ++creates;
        return create_ok;
    }
    void animate(int start, int count, const PaletteEntry* e) override {
        for (int i = 0; i < count; ++i)
            entries[start + i] = e[i];
    }
    void read(int start, int count, PaletteEntry* out) const override {
        for (int i = 0; i < count; ++i)
            out[i] = entries[start + i];
    }
    bool release() override {
        ++releases;
        return release_ok;
    }
    std::uint64_t checksum() const {
        Checksum c;
        for (const PaletteEntry& e : entries) {
            c.add(e.red);
            c.add(e.green);
            c.add(e.blue);
            c.add(e.flags);
        }
        return c.value;
    }

    PaletteEntries entries{};
    int creates = 0, releases = 0;
    bool create_ok = true, release_ok = true;
};

class RecordingAlerts : public AlertSink {
  public:
    void alert(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

} // namespace nimbrel::testing
