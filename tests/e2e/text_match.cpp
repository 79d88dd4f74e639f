#include "text_match.h"

#include <algorithm>
#include <sstream>

namespace e2e {

namespace {

constexpr int kThreshold = 128; // a text pixel: any channel brighter than this
constexpr UINT kLayout = DT_WORDBREAK | DT_CENTER | DT_NOCLIP;

bool lit(std::uint32_t p) {
    return int(p >> 16) > kThreshold || int((p >> 8) & 0xFF) > kThreshold ||
           int(p & 0xFF) > kThreshold;
}

struct Font {
    std::string name;
    HFONT handle;
    bool owned;
};

std::vector<Font> candidate_fonts(int dpi) {
    std::vector<Font> fonts;
    if (dpi == 96) // this driver's own resolution
        fonts = {
            {"system font", static_cast<HFONT>(GetStockObject(SYSTEM_FONT)), false},
            {"default GUI font", static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), false},
            {"ANSI variable font", static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT)), false},
        };
    for (const char* face : {"MS Sans Serif", "MS Shell Dlg", "Tahoma", "Arial"})
        for (int height : {-MulDiv(8, dpi, 72), -MulDiv(10, dpi, 72)}) { // 8 and 10 points
            HFONT font = CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
            if (font)
                fonts.push_back({std::string(face) + " " + std::to_string(height), font, true});
        }
    return fonts;
}

struct Rendering {
    Image image;
    int line_height = 0;
};

// White text on black, laid out as the saver does it.
Rendering render(const std::string& text, HFONT font, int wrap) {
    Rendering out;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old_font = SelectObject(dc, font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    out.line_height = std::max<int>(1, metrics.tmHeight);
    RECT measured{0, 0, wrap, 0};
    DrawTextA(dc, text.c_str(), -1, &measured, DT_CALCRECT | kLayout);
    const int width = std::max<int>(measured.right, wrap) + 8;
    const int height = std::max<int>(measured.bottom, out.line_height) + 8;

    DibCanvas canvas(dc, width, height);
    if (canvas.ok()) {
        HGDIOBJ canvas_font = SelectObject(canvas.dc(), font);
        PatBlt(canvas.dc(), 0, 0, width, height, BLACKNESS);
        SetBkMode(canvas.dc(), TRANSPARENT);
        SetTextColor(canvas.dc(), RGB(255, 255, 255));
        DrawTextA(canvas.dc(), text.c_str(), -1, &measured, kLayout);
        SelectObject(canvas.dc(), canvas_font);
        out.image = canvas.image();
    }
    SelectObject(dc, old_font);
    DeleteDC(dc);
    return out;
}

// The lit pixels of rows [top, bottom) as a mask cropped to their own columns.
struct Band {
    int width = 0, height = 0, count = 0;
    std::vector<bool> mask;
};

Band band(const Image& image, int top, int bottom) {
    Band b;
    top = std::max(top, 0);
    bottom = std::min(bottom, image.height);
    int left = image.width, right = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < image.width; ++x)
            if (lit(image.at(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
            }
    if (right <= left) return b;
    b.width = right - left;
    b.height = bottom - top;
    b.mask.resize(std::size_t(b.width) * b.height);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const bool on = lit(image.at(x, y));
            b.mask[std::size_t(y - top) * b.width + (x - left)] = on;
            b.count += on;
        }
    return b;
}

int first_lit_row(const Image& image) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (lit(image.at(x, y))) return y;
    return -1;
}

// Compares the rendering's lines with the picture's, both aligned on their first lit row.
// Answers an empty string on a match, else what differed.
std::string compare(const Image& picture, int picture_top, const Rendering& expected, bool prefix) {
    const int expected_top = first_lit_row(expected.image);
    if (expected_top < 0) return "the text renders empty";
    const int shift = picture_top - expected_top;
    // Line cells start at multiples of the line height in the rendering.
    const int first_line = expected_top / expected.line_height;
    int last_line = -1;
    for (int line = first_line; line * expected.line_height < expected.image.height; ++line)
        if (band(expected.image, line * expected.line_height, (line + 1) * expected.line_height)
                .count > 0)
            last_line = line;
    for (int line = first_line; line <= last_line; ++line) {
        const int top = line * expected.line_height, bottom = top + expected.line_height;
        const Band want = band(expected.image, top, bottom);
        const Band seen = band(picture, top + shift, bottom + shift);
        std::ostringstream why;
        why << "line " << line - first_line + 1 << ": ";
        if (want.count == 0 && seen.count == 0) continue;
        if (want.width != seen.width || want.count == 0 || seen.count == 0) {
            why << "width " << seen.width << " seen, " << want.width << " expected";
            return why.str();
        }
        int differ = 0;
        for (std::size_t i = 0; i < want.mask.size(); ++i)
            differ += want.mask[i] != seen.mask[i];
        if (differ > std::max(2, want.count / 25)) {
            why << differ << " of " << want.count << " pixels differ";
            return why.str();
        }
    }
    if (!prefix) {
        // Nothing may follow the last expected line.
        const int below = (last_line + 1) * expected.line_height + shift;
        if (band(picture, below, picture.height).count > 0) return "more lines follow";
    }
    return {};
}

} // namespace

TextMatch match_message(const Image& picture, const std::vector<std::string>& texts, bool prefix,
                        int dpi) {
    TextMatch result;
    const int top = first_lit_row(picture);
    if (top < 0) {
        result.detail = "nothing lit";
        return result;
    }
    const RECT seen = lit_bounds(picture, kThreshold);
    std::ostringstream detail;
    detail << "lit text at (" << seen.left << "," << seen.top << ")-(" << seen.right << ","
           << seen.bottom << ");";
    const auto fonts = candidate_fonts(dpi);
    const int wrap = MulDiv(150, dpi, 96);
    std::vector<Image> tried; // fonts Wine maps to the same face render alike: compare once
    for (const auto& font : fonts) {
        for (std::size_t t = 0; t < texts.size() && !result.found; ++t) {
            const Rendering expected = render(texts[t], font.handle, wrap);
            const bool seen_before = std::any_of(tried.begin(), tried.end(), [&](const Image& i) {
                return i.width == expected.image.width && i.pixels == expected.image.pixels;
            });
            if (seen_before) continue;
            tried.push_back(expected.image);
            const std::string why = compare(picture, top, expected, prefix);
            if (why.empty()) {
                result.found = true;
                result.font = font.name;
            } else {
                const RECT r = lit_bounds(expected.image, kThreshold);
                detail << " [" << font.name << ", text " << t + 1 << " is " << r.right - r.left
                       << "x" << r.bottom - r.top << ": " << why << "]";
            }
        }
        if (result.found) break;
    }
    for (const auto& font : fonts)
        if (font.owned) DeleteObject(font.handle);
    if (!result.found) result.detail = detail.str();
    return result;
}

} // namespace e2e
