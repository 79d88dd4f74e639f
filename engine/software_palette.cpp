#include "engine/software_palette.h"

#include "engine/static_colours.h"

#include <algorithm>

namespace nimbrel {
namespace {
// The part of [start, start + count) that lies within 0-255.
struct EntryRange {
    int first, end;
};
EntryRange clamp_range(int start, int count) {
    const long long first = std::max(0LL, 0LL + start);
    const long long end = std::min(256LL, 0LL + start + std::max(count, 0));
    return {static_cast<int>(first), static_cast<int>(std::max(first, end))};
}
} // namespace

SoftwarePalette::SoftwarePalette() {
    copy_static_colours(entries_);
}

void SoftwarePalette::system_entries(PaletteEntries& into) const {
    copy_static_colours(into);
}

bool SoftwarePalette::create(const PaletteEntries& entries) {
    entries_ = entries;
    return true;
}

void SoftwarePalette::animate(int start, int count, const PaletteEntry* entries) {
    if (entries == nullptr) return;
    const EntryRange range = clamp_range(start, count);
    for (int i = range.first; i < range.end; ++i)
        if (entries_[i].flags & PC_RESERVED) entries_[i] = entries[i - start];
}

void SoftwarePalette::read(int start, int count, PaletteEntry* out) const {
    if (out == nullptr) return;
    const EntryRange range = clamp_range(start, count);
    for (int i = range.first; i < range.end; ++i)
        out[i - start] = entries_[i];
}

} // namespace nimbrel
