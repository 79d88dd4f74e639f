// The driver checked on its own and against a stand-in saver whose behaviour we know, so that a
// failing saver test points at the saver and not at the driver.
#include "driver.h"
#include "fixture.h"
#include "foreign_child.h"
#include "image.h"
#include "text_match.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace e2e {
namespace {

std::string stand_in() {
    return executable_folder() + "\\nimbrel_e2e_fake_saver.exe";
}

Image solid(int width, int height, std::uint32_t colour = 0) {
    Image image;
    image.width = width;
    image.height = height;
    image.pixels.assign(std::size_t(width) * height, colour);
    return image;
}

TEST(DriverImage, Statistics) {
    const Image black = solid(4, 4);
    Image dot = black;
    dot.pixels[1 * 4 + 2] = 0xFF0000;
    Image two = dot;
    two.pixels[15] = 0x000001; // the darkest blue still counts as not black

    const struct {
        const char* name;
        const Image& image;
        double lit;
        int colours;
        RECT bounds;
    } cases[] = {
        {"black", black, 0, 1, {0, 0, 0, 0}},
        {"one red pixel", dot, 1.0 / 16, 2, {2, 1, 3, 2}},
        {"red and near-black", two, 2.0 / 16, 3, {2, 1, 3, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_DOUBLE_EQ(non_black_fraction(c.image), c.lit);
        EXPECT_EQ(distinct_colours(c.image), c.colours);
        EXPECT_EQ(distinct_colours(c.image, 1), 1);
        const RECT r = lit_bounds(c.image);
        EXPECT_TRUE(EqualRect(&r, &c.bounds))
            << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
    EXPECT_DOUBLE_EQ(difference(dot, dot), 0);
    EXPECT_DOUBLE_EQ(difference(black, two), 2.0 / 16);
    EXPECT_DOUBLE_EQ(difference(black, solid(4, 5)), 1); // sizes differ
    EXPECT_DOUBLE_EQ(non_black_fraction(Image{}), 0);

    const Image corner = dot.crop({-3, -3, 3, 2}); // clipped to the image
    EXPECT_EQ(corner.width, 3);
    EXPECT_EQ(corner.height, 2);
    EXPECT_EQ(corner.at(2, 1), 0xFF0000u);
}

// White text on black laid out as the saver lays out its message, at (x, y) of a 400x300 picture,
// in the form's font or another size of it.
Image picture_with(const std::string& text, int x, int y, int height = -11) {
    Image picture = solid(400, 300);
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 400, -300, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
    HGDIOBJ old_font = SelectObject(dc, font);
    PatBlt(dc, 0, 0, 400, 300, BLACKNESS);
    RECT r{0, 0, 150, 0};
    const UINT layout = DT_WORDBREAK | DT_CENTER | DT_NOCLIP;
    DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | layout);
    OffsetRect(&r, x, y);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    DrawTextA(dc, text.c_str(), -1, &r, layout);
    GdiFlush();
    const auto* p = static_cast<const std::uint32_t*>(bits);
    picture.pixels.assign(p, p + 400 * 300);
    for (auto& px : picture.pixels)
        px &= 0xFFFFFF;
    SelectObject(dc, old_font);
    SelectObject(dc, old_bitmap);
    DeleteObject(font);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return picture;
}

TEST(DriverTextMatch, RecognisesTheLaidOutMessageOnly) {
    const std::string corrupt = "The Nimbrel settings file appears to have been corrupted\r\n\r\n";
    const std::string missing = "Nimbrel could not find the settings file "
                                "C:\\users\\tester\\Temp\\nimbrel\\data\\Absent.txt\r\n\r\n";
    const std::string both = corrupt + "Nimbrel couldn't find any palettes in \\Palette\\\n";
    const struct {
        const char* name;
        Image picture;
        std::vector<std::string> texts;
        bool prefix, found;
    } cases[] = {
        {"same text", picture_with(corrupt, 30, 40), {corrupt}, false, true},
        {"same text elsewhere, odd position",
         picture_with(corrupt, 201, 117),
         {corrupt},
         false,
         true},
        {"a long unbreakable path", picture_with(missing, 5, 5), {missing}, false, true},
        {"second alternative", picture_with(missing, 5, 5), {corrupt, missing}, false, true},
        {"other text", picture_with(missing, 30, 40), {corrupt}, false, false},
        {"more lines follow", picture_with(both, 30, 40), {corrupt}, false, false},
        {"more lines may follow", picture_with(both, 30, 40), {corrupt}, true, true},
        {"shorter than expected", picture_with(corrupt, 30, 40), {both}, false, false},
        {"nothing drawn", solid(400, 300), {corrupt}, true, false},
        {"another font size", picture_with(corrupt, 30, 40, -15), {corrupt}, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TextMatch match = match_message(c.picture, c.texts, c.prefix);
        EXPECT_EQ(match.found, c.found) << match.detail << " font " << match.font;
    }
}

// ------------------------------------------------------------------------------------------------
TEST(DriverStandIn, FullScreenPictureChangesAndAKeyEndsIt) {
    SetCursorPos(512, 384);
    Process saver(stand_in(), "/s");
    ASSERT_TRUE(saver.started());
    const RECT screen = screen_rect();
    HWND window = nullptr;
    ASSERT_TRUE(wait_until(
        [&] {
            for (HWND w : saver.visible_top_windows())
                if (const RECT r = describe(w).rect; EqualRect(&r, &screen)) window = w;
            return window != nullptr;
        },
        Millis(3000)));
    EXPECT_EQ(describe(window).class_name, "NimbrelFakeSaver");
    EXPECT_EQ(describe(window).text, "Fake saver");

    Image a;
    ASSERT_TRUE(
        wait_until([&] { return distinct_colours(a = capture_screen(), 64) >= 8; }, Millis(2000)));
    Sleep(500);
    const Image b = capture_screen();
    EXPECT_GT(difference(a, b), 0.01);
    EXPECT_GT(non_black_fraction(b), 0.01);

    const auto pressed = Clock::now();
    press_key(VK_SPACE);
    EXPECT_TRUE(saver.wait_exit(Millis(1000)));
    std::printf("[ MEASURE  ] stand-in key to exit: %.0f ms\n", seconds_since(pressed) * 1000);
}

TEST(DriverStandIn, MouseMovesAreDeliveredExactly) {
    SetCursorPos(512, 384);
    Process saver(stand_in(), "/s");
    ASSERT_TRUE(wait_until([&] { return !saver.visible_top_windows().empty(); }, Millis(3000)));
    Sleep(200);
    move_mouse_to(612, 384); // 100 pixels: the stand-in keeps running
    EXPECT_EQ(mouse_position().x, 612);
    EXPECT_FALSE(saver.wait_exit(Millis(400)));
    move_mouse_to(613, 384); // 101 pixels
    EXPECT_TRUE(saver.wait_exit(Millis(1000)));
}

TEST(DriverStandIn, PreviewFillsTheHostAndEndsWithIt) {
    HostWindow host(152, 112);
    ASSERT_NE(host.handle(), nullptr);
    RECT client{};
    GetClientRect(host.handle(), &client);
    EXPECT_EQ(client.right, 152);
    EXPECT_EQ(client.bottom, 112);

    Process saver(stand_in(), "/p " + host.decimal_handle());
    HWND child = nullptr;
    ASSERT_TRUE(wait_until(
        [&] {
            for (HWND w : child_windows(host.handle()))
                if (IsWindowVisible(w)) child = w;
            return child != nullptr;
        },
        Millis(3000)));
    const WindowInfo info = describe(child);
    EXPECT_EQ(info.process, saver.id());
    EXPECT_EQ(info.rect.right - info.rect.left, 152);
    EXPECT_EQ(info.rect.bottom - info.rect.top, 112);
    EXPECT_TRUE(saver.visible_top_windows().empty());

    std::printf("[   INFO   ] a foreign child window can be captured by: %s\n",
                to_string(foreign_child_capture()));
    host.destroy();
    EXPECT_TRUE(saver.wait_exit(Millis(2000)));
}

TEST(DriverStandIn, RefusedArgumentsEndWithoutAWindow) {
    for (const char* args : {"/x", "/p 0", ""}) {
        SCOPED_TRACE(args);
        Process saver(stand_in(), args);
        bool showed = false;
        wait_until(
            [&] {
                showed = showed || !saver.visible_top_windows().empty();
                return !saver.running();
            },
            Millis(3000), Millis(5));
        EXPECT_FALSE(saver.running());
        EXPECT_FALSE(showed);
    }
}

TEST(DriverProcess, EndsWhatItStartedWhenDropped) {
    HANDLE watch = nullptr;
    {
        Process saver(stand_in(), "/s");
        ASSERT_TRUE(saver.running());
        watch = OpenProcess(SYNCHRONIZE, FALSE, saver.id());
        ASSERT_NE(watch, nullptr);
        EXPECT_GT(saver.cpu_seconds(), -1);
    }
    EXPECT_EQ(WaitForSingleObject(watch, 3000), WAIT_OBJECT_0);
    CloseHandle(watch);

    Process missing(executable_folder() + "\\no-such-program.exe", "/s");
    EXPECT_FALSE(missing.started());
    EXPECT_FALSE(missing.running());
    EXPECT_FALSE(missing.wait_exit(Millis(10)));
}

// ------------------------------------------------------------------------------------------------
TEST(DriverRegistry, GuardPutsValuesBack) {
    const std::string key = "Software\\NimbrelE2eTests";
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &k, nullptr),
              ERROR_SUCCESS);
    const char original[] = "original";
    RegSetValueExA(k, "Kept", 0, REG_SZ, reinterpret_cast<const BYTE*>(original), sizeof(original));
    RegCloseKey(k);

    {
        RegistryValueGuard kept(key, "Kept"), fresh(key, "Fresh");
        ASSERT_TRUE(kept.set_number(7));
        ASSERT_TRUE(fresh.set_string("new"));
        EXPECT_EQ(read_registry_string(key, "Fresh"), "new");
        EXPECT_EQ(read_registry_string(key, "Kept"), ""); // a number now
    }
    EXPECT_EQ(read_registry_string(key, "Kept"), "original");
    EXPECT_EQ(read_registry_string(key, "Fresh"), "");
    {
        RegistryValueGuard kept(key, "Kept");
        ASSERT_TRUE(kept.remove());
        EXPECT_EQ(read_registry_string(key, "Kept"), "");
    }
    EXPECT_EQ(read_registry_string(key, "Kept"), "original");
    RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
}

TEST(DriverFiles, TempFolderCopiesAndCleansUp) {
    std::string kept;
    {
        TempDir from("from"), to("to");
        ASSERT_FALSE(from.path().empty());
        ASSERT_NE(from.path(), to.path());
        ASSERT_TRUE(write_fixture_palettes(from / "Palette"));
        ASSERT_TRUE(write_file(from / "a.txt", std::string("x\0y", 3)));
        ASSERT_TRUE(copy_tree(from.path(), to / "copy"));
        EXPECT_EQ(read_file(to / "copy\\a.txt"), std::string("x\0y", 3));
        const std::string rainbow = read_file(to / "copy\\Palette\\Rainbow.pal");
        EXPECT_EQ(rainbow.substr(0, 5), "236\r\n");
        EXPECT_EQ(std::count(rainbow.begin(), rainbow.end(), '\n'), 237);
        kept = to.path();
    }
    EXPECT_FALSE(directory_exists(kept));
}

TEST(DriverFiles, IniSectionsReadAsWritten) {
    TempDir dir("ini");
    const std::string path = dir / "x.ini";
    ASSERT_TRUE(write_file(path, "[Other]\r\nMin_time=1\r\n[nimbrel_START]\r\nMIN_TIME=30\r\n"
                                 "=skipped\r\nSettings_file=a=b.txt\nno equals\r\n[Tail]\r\nx=1"));
    const IniSection ini = read_ini(path, "Nimbrel_start");
    ASSERT_TRUE(ini.found);
    ASSERT_EQ(ini.entries.size(), 2u);
    EXPECT_EQ(ini.entries[0].first, "MIN_TIME");
    ASSERT_NE(ini.find("Min_time"), nullptr);
    EXPECT_EQ(*ini.find("min_time"), "30");
    EXPECT_EQ(*ini.find("Settings_file"), "a=b.txt");
    EXPECT_EQ(ini.find("x"), nullptr);
    EXPECT_FALSE(read_ini(dir / "missing.ini", "Nimbrel_start").found);
}

} // namespace
} // namespace e2e
