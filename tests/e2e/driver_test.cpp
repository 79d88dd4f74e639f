// The message matcher on pictures we draw ourselves: the start-up tests only prove the saver
// right if the matcher can also say no.
#include "image.h"
#include "text_match.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

// White text on black laid out as the saver lays out its message, at (x, y) of a 400x300 picture,
// in the form's font or another size of it.
Image picture_with(const std::string& text, int x, int y, int height = -11) {
    Image picture{400, 300, {}};
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
    for (int i = 0; i < 400 * 300; ++i)
        picture.pixels.push_back(p[i] & 0xFFFFFF);
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
        {"same text, odd position", picture_with(corrupt, 201, 117), {corrupt}, false, true},
        {"a long unbreakable path", picture_with(missing, 5, 5), {missing}, false, true},
        {"second alternative", picture_with(missing, 5, 5), {corrupt, missing}, false, true},
        {"other text", picture_with(missing, 30, 40), {corrupt}, false, false},
        {"more lines follow", picture_with(both, 30, 40), {corrupt}, false, false},
        {"more lines may follow", picture_with(both, 30, 40), {corrupt}, true, true},
        {"shorter than expected", picture_with(corrupt, 30, 40), {both}, false, false},
        {"nothing drawn", picture_with("", 0, 0), {corrupt}, true, false},
        {"another font size", picture_with(corrupt, 30, 40, -15), {corrupt}, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TextMatch match = match_message(c.picture, c.texts, c.prefix);
        EXPECT_EQ(match.found, c.found) << match.detail << " font " << match.font;
    }
}

} // namespace
} // namespace e2e
