// The Win32 services the saver leans on, checked against the real implementation we run under:
// drawing into a memory DC (the palette-emulation surface is an 8-bit DIB) and the registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

struct DcDeleter {
    HDC dc;
    ~DcDeleter() {
        if (dc) DeleteDC(dc);
    }
};

struct BitmapSelection {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
    BitmapSelection(HDC d, HBITMAP b) : dc(d), bitmap(b), previous(SelectObject(d, b)) {}
    ~BitmapSelection() {
        if (previous) SelectObject(dc, previous);
        if (bitmap) DeleteObject(bitmap);
    }
};

// A top-down DIB section; for 8 bits, `colours` seeds a 256-entry colour table.
HBITMAP make_dib(HDC dc, int width, int height, int bits, void** pixels,
                 const RGBQUAD* colours = nullptr) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD table[256];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = -height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bits);
    info.header.biCompression = BI_RGB;
    if (colours) {
        info.header.biClrUsed = 256;
        std::memcpy(info.table, colours, sizeof(info.table));
    }
    return CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, pixels,
                            nullptr, 0);
}

TEST(Win32Gdi, MemoryDcPixelRoundTrip) {
    DcDeleter mem{CreateCompatibleDC(nullptr)};
    ASSERT_NE(mem.dc, nullptr);
    void* bits = nullptr;
    BitmapSelection dib(mem.dc, make_dib(mem.dc, 16, 8, 32, &bits));
    ASSERT_NE(dib.bitmap, nullptr);
    ASSERT_NE(bits, nullptr);

    const struct {
        int x, y;
        COLORREF colour;
    } cases[] = {{0, 0, RGB(255, 0, 0)}, {15, 7, RGB(0, 128, 255)}, {3, 5, RGB(1, 2, 3)}};
    for (const auto& c : cases) {
        SetPixel(mem.dc, c.x, c.y, c.colour);
        GdiFlush();
        EXPECT_EQ(GetPixel(mem.dc, c.x, c.y), c.colour) << c.x << "," << c.y;
        // The same pixel seen through the section's memory: BGRX, rows top-down.
        const auto* row = static_cast<const std::uint8_t*>(bits) + c.y * 16 * 4;
        EXPECT_EQ(row[c.x * 4 + 0], GetBValue(c.colour));
        EXPECT_EQ(row[c.x * 4 + 1], GetGValue(c.colour));
        EXPECT_EQ(row[c.x * 4 + 2], GetRValue(c.colour));
    }
    EXPECT_EQ(GetPixel(mem.dc, 16, 0), CLR_INVALID); // outside the bitmap
}

TEST(Win32Gdi, IndexedDibShowsItsColourTable) {
    RGBQUAD table[256] = {};
    for (int i = 0; i < 256; ++i)
        table[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i / 2), 0};

    DcDeleter mem{CreateCompatibleDC(nullptr)};
    ASSERT_NE(mem.dc, nullptr);
    void* bits = nullptr;
    BitmapSelection dib(mem.dc, make_dib(mem.dc, 4, 4, 8, &bits, table));
    ASSERT_NE(dib.bitmap, nullptr);
    auto* index = static_cast<std::uint8_t*>(bits);
    index[0] = 10;
    index[5] = 200; // row 1, column 1
    GdiFlush();
    EXPECT_EQ(GetPixel(mem.dc, 0, 0), RGB(5, 245, 10));
    EXPECT_EQ(GetPixel(mem.dc, 1, 1), RGB(100, 55, 200));

    // Rewriting the table recolours without touching the indices: what palette animation needs.
    RGBQUAD white = {255, 255, 255, 0};
    ASSERT_EQ(SetDIBColorTable(mem.dc, 200, 1, &white), 1u);
    EXPECT_EQ(GetPixel(mem.dc, 1, 1), RGB(255, 255, 255));
    EXPECT_EQ(index[5], 200);
}

class RegistryKey {
  public:
    RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey() {
        if (key_) RegCloseKey(key_);
    }
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

TEST(Win32Registry, CurrentUserWriteReadDelete) {
    const std::string path =
        "Software\\NimbrelTests\\Smoke" + std::to_string(GetCurrentProcessId());
    {
        RegistryKey key;
        DWORD disposition = 0;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, key.out(), &disposition),
                  ERROR_SUCCESS);
        EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));

        const char text[] = "C:\\Nimbrel\\Data\\";
        ASSERT_EQ(RegSetValueExA(key.get(), "Directory", 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(text), sizeof(text)),
                  ERROR_SUCCESS);
        const DWORD number = 0x12345678;
        ASSERT_EQ(RegSetValueExA(key.get(), "Number", 0, REG_DWORD,
                                 reinterpret_cast<const BYTE*>(&number), sizeof(number)),
                  ERROR_SUCCESS);

        char read_text[64] = {};
        DWORD type = 0, size = sizeof(read_text);
        ASSERT_EQ(RegQueryValueExA(key.get(), "Directory", nullptr, &type,
                                   reinterpret_cast<BYTE*>(read_text), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(size, sizeof(text));
        EXPECT_STREQ(read_text, text);

        DWORD read_number = 0;
        size = sizeof(read_number);
        ASSERT_EQ(RegQueryValueExA(key.get(), "Number", nullptr, &type,
                                   reinterpret_cast<BYTE*>(&read_number), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(read_number, number);

        EXPECT_EQ(RegQueryValueExA(key.get(), "Missing", nullptr, nullptr, nullptr, nullptr),
                  ERROR_FILE_NOT_FOUND);
    }
    ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str()), ERROR_SUCCESS);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\NimbrelTests"); // only if now empty

    RegistryKey gone;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, gone.out()),
              ERROR_FILE_NOT_FOUND);
}

} // namespace
