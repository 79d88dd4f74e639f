// PNG and animated GIF files of indexed frames, read back with the image libraries.
#include "tools/gif_writer.h"
#include "tools/png_writer.h"

#include "temp_folder.h"

#include <gif_lib.h>
#include <png.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

using namespace nimbrel;
namespace fs = std::filesystem;

namespace {

IndexedSurface pattern(int width, int height, int shift) {
    IndexedSurface s(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            s.pixel(x, y, static_cast<std::uint8_t>(x + 16 * y + shift));
    return s;
}

PaletteEntries spread(int shift) {
    PaletteEntries p{};
    for (int i = 0; i < 256; ++i)
        p[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                static_cast<std::uint8_t>(i * 7 + shift), PC_RESERVED};
    return p;
}

} // namespace

TEST(PngWriter, ReadsBackAsThePaletteShowsTheFrame) {
    nimbrel_test::Temp_folder temp;
    const std::string file = temp.file("frame.png");
    const IndexedSurface frame = pattern(37, 11, 3);
    const PaletteEntries palette = spread(5);
    std::string error;
    ASSERT_TRUE(write_png(file, frame, palette, error)) << error;

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, file.c_str()));
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
    ASSERT_EQ(image.width, 37u);
    ASSERT_EQ(image.height, 11u);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 37; ++x) {
            const PaletteEntry& c = palette[frame.at(x, y)];
            const png_byte* p = &rgb[(y * 37 + x) * 3];
            ASSERT_EQ(p[0], c.red);
            ASSERT_EQ(p[1], c.green);
            ASSERT_EQ(p[2], c.blue);
        }
}

TEST(GifWriter, EveryFrameCarriesThePaletteOfItsMoment) {
    nimbrel_test::Temp_folder temp;
    const std::string file = temp.file("rings.gif");
    const std::vector<IndexedSurface> frames = {pattern(40, 9, 0), pattern(40, 9, 50),
                                                pattern(40, 9, 200)};
    const std::vector<PaletteEntries> palettes = {spread(0), spread(90), spread(180)};
    for (bool spoilt : {true, false}) {
        GifAnimation gif(file, 40, 9);
        ASSERT_TRUE(gif.ok()) << gif.error();
        for (std::size_t i = 0; i < frames.size(); ++i) {
            ASSERT_TRUE(gif.add_frame(frames[i], palettes[i], 4 + static_cast<int>(i)))
                << gif.error();
        }
        if (spoilt) { // a frame of the wrong size
            EXPECT_FALSE(gif.add_frame(pattern(39, 9, 0), palettes[0], 4));
        }
        EXPECT_EQ(gif.close(), !spoilt) << gif.error();
        EXPECT_EQ(fs::exists(file), !spoilt); // a failed file is gone
    }

    int code = 0;
    GifFileType* gif = DGifOpenFileName(file.c_str(), &code);
    ASSERT_NE(gif, nullptr) << GifErrorString(code);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    EXPECT_EQ(gif->SWidth, 40);
    EXPECT_EQ(gif->SHeight, 9);
    ASSERT_EQ(gif->ImageCount, 3);
    for (int i = 0; i < 3; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        ASSERT_NE(image.ImageDesc.ColorMap, nullptr);
        ASSERT_EQ(image.ImageDesc.ColorMap->ColorCount, 256);
        for (int k = 0; k < 256; ++k) {
            const GifColorType& c = image.ImageDesc.ColorMap->Colors[k];
            const PaletteEntry& want = palettes[i][k];
            ASSERT_TRUE(c.Red == want.red && c.Green == want.green && c.Blue == want.blue) << k;
        }
        for (int k = 0; k < 40 * 9; ++k)
            ASSERT_EQ(image.RasterBits[k], frames[i].at(k % 40, k / 40)) << k;
        GraphicsControlBlock timing{};
        ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &timing), GIF_OK);
        EXPECT_EQ(timing.DelayTime, 4 + i);
    }
    DGifCloseFile(gif, &code);
}

TEST(ImageWriters, FailuresAreReportedAndLeaveNoFile) {
    nimbrel_test::Temp_folder temp;
    std::string error;
    EXPECT_FALSE(write_png(temp.file("missing/x.png"), pattern(4, 4, 0), spread(0), error));
    EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
    error.clear();
    EXPECT_FALSE(write_png(temp.file("empty.png"), IndexedSurface(0, 5), spread(0), error));
    EXPECT_FALSE(error.empty());
    for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {70000, 5}, {-1, -1}}) {
        GifAnimation gif(temp.file("bad.gif"), w, h); // sizes a GIF cannot hold
        EXPECT_FALSE(gif.ok());
        EXPECT_FALSE(gif.error().empty());
    }
    EXPECT_EQ(temp.entries(), 0u);
}

TEST(ImageWriters, AFullDiskIsReportedAndWhatTheUserNamedIsKept) {
    nimbrel_test::Temp_folder temp;
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    // A link to a device that is always full: the writers must fail, and must not remove it.
    const std::string png = temp.file("full.png"), gif = temp.file("full.gif");
    fs::create_symlink("/dev/full", png);
    fs::create_symlink("/dev/full", gif);
    const IndexedSurface frame = pattern(300, 200, 1);

    std::string error;
    EXPECT_FALSE(write_png(png, frame, spread(0), error));
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;

    GifAnimation animation(gif, 300, 200);
    animation.add_frame(frame, spread(0), 4);
    EXPECT_FALSE(animation.close());
    EXPECT_FALSE(animation.error().empty());

    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(png)));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(gif)));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}
