// TSaverForm in a real window: the countdown, loading, rings drawn through palette emulation and
// shown again on repaint (PrintWindow), the start-up error text instead of rings, and hiding.
#include "app/saver_form_win32.h"
#include "engine/palette_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

void pump_for(DWORD ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            if (m.message != WM_QUIT) DispatchMessageA(&m); // a form without a controller quits
        Sleep(5);
    }
}

struct Counts {
    int coloured = 0, white = 0;
};

// What the window shows when asked to paint into our DC.
Counts printed(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    const int w = r.right, h = r.bottom;
    HDC mem = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(mem, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(mem, bitmap);
    PatBlt(mem, 0, 0, w, h, WHITENESS); // anything left unpainted shows as white
    PrintWindow(window, mem, PW_CLIENTONLY);
    GdiFlush();
    Counts c;
    const auto* p = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < w * h; ++i) {
        const int b = p[i] & 0xFF, g = (p[i] >> 8) & 0xFF, r = (p[i] >> 16) & 0xFF;
        const int hi = std::max(r, std::max(g, b)), lo = std::min(r, std::min(g, b));
        if (lo > 200)
            ++c.white;
        else if (hi - lo > 40) // greys of smoothed text are not colours
            ++c.coloured;
    }
    SelectObject(mem, previous);
    DeleteObject(bitmap);
    DeleteDC(mem);
    return c;
}

class SaverFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ =
            fs::temp_directory_path() / ("nimbrel-form-" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "Palette");
        std::ofstream pal(dir_ / "Palette" / "Test.pal", std::ios::binary);
        pal << "40\r\n";
        for (int i = 0; i < 40; ++i)
            pal << (i * 6) << " " << (255 - i * 6) << " 200\r\n";
        pal.close();
        std::ofstream settings(dir_ / "s.txt", std::ios::binary);
        settings
            << "{ Test\r\nUsePalette TRUE\r\npalette_list Test.pal\r\nmax_polygons 0 200 40\r\n"
               "sin_rotation TRUE\r\npar_motion TRUE\r\nmot_par_a 0 128 10\r\n"
               "mot_par_c 0 128 60\r\nfix_speed TRUE\r\nspeed_scroll 1 200 50\r\n}\r\n";
        settings.close();
        options_ =
            std::make_unique<Nimbrel_Options>(Fixed_registry(dir_.string() + "\\"), dir_.string());
        options_->Settings_file = "s.txt";
        options_->Start_auto_cycling = options_->Auto_cycling = false;
        install_options(options_.get());
        ASSERT_TRUE(find_palettes(dir_ / "Palette"));
    }
    void TearDown() override {
        install_options(nullptr);
        options_.reset();
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    TApplication app_;
    fs::path dir_;
    std::unique_ptr<Nimbrel_Options> options_;
};

TEST_F(SaverFormTest, CountsDownLoadsAndShowsRingsAgainOnRepaint) {
    auto* form = new TSaverForm(&app_);
    EXPECT_EQ(form->Purpose, smSaver);
    form->SetBorderStyle(TBorderStyle::bsNone);
    form->SetBounds(0, 0, 320, 240);
    form->Show();
    EXPECT_EQ(options_->Error_text, Waiting_text);
    EXPECT_EQ(form->engine(), nullptr);

    pump_for(600);
    ASSERT_NE(form->engine(), nullptr) << options_->Error_text;
    EXPECT_TRUE(form->Running());
    EXPECT_TRUE(form->engine()->emulated()); // Wine has no hardware palette
    EXPECT_EQ(form->engine()->palette(), nullptr);
    EXPECT_EQ(form->Frame_timer->Interval(), 20u); // 1000 div 50
    EXPECT_TRUE(form->Frame_timer->Enabled());
    const Counts shown = printed(form->WindowHandle());
    EXPECT_GT(shown.coloured, 500);
    EXPECT_EQ(shown.white, 0); // every pixel is the frame's

    form->Hide();
    EXPECT_EQ(form->engine(), nullptr);
    EXPECT_FALSE(form->Running());
    EXPECT_NE(form->settings_file(), nullptr);
    EXPECT_FALSE(pen_table().exists());
    form->Free();
}

TEST_F(SaverFormTest, StartupProblemShowsItsTextAndNeverAnimates) {
    options_->add(err_no_palettes, "Nimbrel couldn't find any palettes in C:\\nowhere\\\n");
    auto* form = new TSaverForm(&app_);
    form->SetBorderStyle(TBorderStyle::bsNone);
    form->SetBounds(0, 0, 320, 240);
    form->Show();
    pump_for(400);
    EXPECT_EQ(form->engine(), nullptr);
    EXPECT_FALSE(form->Running());
    const Counts shown = printed(form->WindowHandle());
    EXPECT_GT(shown.white, 30); // the message, in white on black
    EXPECT_EQ(shown.coloured, 0);
    form->Free(); // destroyed while shown: the pens go too
    EXPECT_FALSE(pen_table().exists());
}

} // namespace
} // namespace nimbrel
