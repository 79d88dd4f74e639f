#include "engine/draw.h"

namespace nimbrel {

const PaletteEntries& standard_system_entries() {
    static const PaletteEntries entries = [] {
        PaletteEntries e{};
        const PaletteEntry low[10] = {{0, 0, 0, 0},      {128, 0, 0, 0},     {0, 128, 0, 0},
                                      {128, 128, 0, 0},  {0, 0, 128, 0},     {128, 0, 128, 0},
                                      {0, 128, 128, 0},  {192, 192, 192, 0}, {192, 220, 192, 0},
                                      {166, 202, 240, 0}};
        const PaletteEntry high[10] = {{255, 251, 240, 0}, {160, 160, 164, 0}, {128, 128, 128, 0},
                                       {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
                                       {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},
                                       {255, 255, 255, 0}};
        for (int i = 0; i < 10; ++i) {
            e[i] = low[i];
            e[246 + i] = high[i];
        }
        return e;
    }();
    return entries;
}

} // namespace nimbrel
