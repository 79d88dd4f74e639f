// Drawing on real GDI: palette-index pens and logical palette of a palettised display, and the
// presenter that shows an indexed frame through the palette (the window itself: saver form, e2e).
#include "app/emulated_target_win32.h"
#include "app/gdi_target_win32.h"
#include "app/win32_api.h"
#include "app/window_engine_win32.h"
#include "dib_surface.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

PaletteEntries test_palette() {
    PaletteEntries p = standard_system_entries();
    for (int i = 10; i < 246; ++i)
        p[i] = PaletteEntry{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                            static_cast<std::uint8_t>(i * 7), PC_RESERVED};
    return p;
}

std::uint32_t rgb_of(const PaletteEntry& e) {
    return (std::uint32_t{e.red} << 16) | (std::uint32_t{e.green} << 8) | e.blue;
}

TEST(AppGdi, PensAndLogicalPaletteDrawInPaletteColours) {
    ASSERT_TRUE(pen_table().create_pens());
    ASSERT_TRUE(pen_table().create_pens()); // a second window shares them
    EXPECT_NE(pen_table().pen(10), nullptr);

    DibSurface mem(32, 16);
    GdiPalette palette;
    const PaletteEntries entries = test_palette();
    EXPECT_TRUE(palette.create(entries));
    ASSERT_NE(palette.handle(), nullptr);
    GdiWindowTarget target(mem.dc(), 32, 16, &palette);

    ASSERT_TRUE(target.begin_frame());
    target.fill_black();
    const Point line[] = {{2, 3}, {12, 3}, {12, 9}};
    target.polyline(line, 3, 40);
    target.pixel(20, 12, 77);
    ASSERT_TRUE(target.end_frame());

    struct Case {
        int x, y;
        std::uint32_t rgb;
    } cases[] = {{2, 3, rgb_of(entries[40])},
                 {11, 3, rgb_of(entries[40])},
                 {12, 5, rgb_of(entries[40])},
                 {12, 9, 0}, // a polyline leaves out its last pixel
                 {20, 12, rgb_of(entries[77])},
                 {0, 0, 0},
                 {31, 15, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(mem.rgb(c.x, c.y), c.rgb) << c.x << "," << c.y;

    // Animation reaches the palette's reserved entries; reading gives them back.
    PaletteEntry green{0, 255, 0, PC_RESERVED};
    palette.animate(40, 1, &green);
    PaletteEntry read[2];
    palette.read(40, 2, read);
    EXPECT_EQ(read[0], green);
    EXPECT_EQ(read[1], entries[41]);

    EXPECT_TRUE(palette.release());
    EXPECT_FALSE(palette.release()); // none left to delete
    pen_table().delete_pens();
    EXPECT_TRUE(pen_table().exists());
    pen_table().delete_pens();
    EXPECT_FALSE(pen_table().exists());
}

TEST(AppGdi, PresenterShowsIndicesThroughThePalette) {
    for (PresentWay way : {PresentWay::indexed_dib, PresentWay::bgra_dib}) {
        for (int width : {16, 13}) { // 13: rows that need padding in a DIB
            SCOPED_TRACE(testing::Message() << "way " << static_cast<int>(way) << " w " << width);
            IndexedSurface frame(width, 6);
            const Point line[] = {{0, 2}, {width, 2}};
            frame.polyline(line, 2, 100);
            frame.pixel(width - 1, 5, 255);
            PaletteEntries palette = test_palette();

            DibSurface mem(width, 6);
            FramePresenter presenter(way);
            ASSERT_TRUE(presenter.present(mem.dc(), frame, palette));
            EXPECT_EQ(mem.rgb(0, 0), 0u);
            EXPECT_EQ(mem.rgb(width - 1, 2), rgb_of(palette[100]));
            EXPECT_EQ(mem.rgb(width - 1, 5), 0xFFFFFFu);
            EXPECT_EQ(mem.rgb(0, 5), 0u);

            palette[100] = PaletteEntry{1, 2, 3, PC_RESERVED}; // the palette moved: new colour
            ASSERT_TRUE(presenter.present(mem.dc(), frame, palette));
            EXPECT_EQ(mem.rgb(3, 2), 0x010203u);
        }
    }
}

} // namespace
} // namespace nimbrel
