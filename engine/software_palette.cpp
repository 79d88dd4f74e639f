#include "engine/software_palette.h"

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

SoftwarePalette::SoftwarePalette() : entries_(standard_system_entries()) {}

void SoftwarePalette::system_entries(PaletteEntries& into) const {
    const PaletteEntries& system = standard_system_entries();
    for (int i = 0; i < first_animated_entry; ++i) {
        into[i] = system[i];
        into[255 - i] = system[255 - i];
    }
}

bool SoftwarePalette::create(const PaletteEntries& entries) {
    entries_ = entries;
    created_ = true;
    return true;
}

bool SoftwarePalette::release() {
    const bool had_one = created_;
    created_ = false;
    return had_one;
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
