// TSaverForm in a real window: countdown, loading, the frame painted again without flicker and
// black where no frame can be shown, and what hiding gives back.
#include "app/saver_form_win32.h"
#include "dib_surface.h"
#include "engine/palette_file.h"
#include "message_pump.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace nimbrel {
namespace {

using nimbrel_test::write_text;

struct Counts {
    int coloured = 0, white = 0, black = 0;
};

// A white picture of the window's client size for the window to paint into: unpainted stays white.
class Canvas : public DibSurface {
  public:
    explicit Canvas(HWND window) : DibSurface(client(window).right, client(window).bottom) {}
    Counts counts(RECT part) const {
        GdiFlush();
        const RECT all{0, 0, width, height};
        IntersectRect(&part, &part, &all);
        Counts c;
        for (int y = part.top; y < part.bottom; ++y)
            for (int x = part.left; x < part.right; ++x) {
                const std::uint32_t v = pixel(x, y);
                const int b = v & 0xFF, g = (v >> 8) & 0xFF, r = (v >> 16) & 0xFF;
                const int hi = std::max(r, std::max(g, b)), lo = std::min(r, std::min(g, b));
                if (v == 0)
                    ++c.black;
                else if (lo > 200)
                    ++c.white;
                else if (hi - lo > 40) // greys of smoothed text are not colours
                    ++c.coloured;
            }
        return c;
    }
    Counts counts() const { return counts(RECT{0, 0, width, height}); }

  private:
    static RECT client(HWND window) {
        RECT r{};
        GetClientRect(window, &r);
        return r;
    }
};

// What the window shows when asked to paint into our DC.
Counts printed(HWND window) {
    Canvas canvas(window);
    PrintWindow(window, canvas.dc(), PW_CLIENTONLY);
    return canvas.counts();
}

class SaverFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(dir_.file("Palette"));
        std::string pal = "40\r\n";
        for (int i = 0; i < 40; ++i)
            pal += std::to_string(i * 6) + " " + std::to_string(255 - i * 6) + " 200\r\n";
        write_text(dir_.file("Palette/Test.pal"), pal);
        write_text(dir_.file("s.txt"),
                   "{ Test\r\nUsePalette TRUE\r\npalette_list Test.pal\r\nmax_polygons 0 200 40\r\n"
                   "sin_rotation TRUE\r\npar_motion TRUE\r\nmot_par_a 0 128 10\r\n"
                   "mot_par_c 0 128 60\r\nfix_speed TRUE\r\nspeed_scroll 1 200 50\r\n}\r\n");
        options_ = std::make_unique<Nimbrel_Options>(Fixed_registry(dir_.dir()), dir_.dir());
        options_->Settings_file = "s.txt";
        options_->Start_auto_cycling = options_->Auto_cycling = false;
        install_options(options_.get());
        ASSERT_TRUE(find_palettes(dir_.file("Palette")));
    }
    void TearDown() override {
        install_options(nullptr);
        options_.reset();
    }

    // A 320x240 saver form, shown and given time to count down and load.
    std::unique_ptr<TSaverForm> show_form(DWORD settle_ms = 600) {
        auto form = std::make_unique<TSaverForm>();
        form->SetBounds(0, 0, 320, 240);
        form->Show();
        pump_for(settle_ms);
        return form;
    }

    nimbrel_test::Temp_folder dir_;
    std::unique_ptr<Nimbrel_Options> options_;
};

TEST_F(SaverFormTest, CountsDownLoadsAndReleasesOnHide) {
    auto form = show_form(0); // the countdown and loading themselves are the core's
    EXPECT_EQ(form->engine(), nullptr);
    pump_for(600);
    ASSERT_NE(form->engine(), nullptr) << options_->Error_text;
    EXPECT_TRUE(form->Running());
    EXPECT_TRUE(form->engine()->emulated()); // Wine has no hardware palette
    EXPECT_EQ(form->engine()->palette(), nullptr);
    EXPECT_EQ(form->Frame_timer->Interval(), 20u); // 1000 div 50
    EXPECT_TRUE(form->Frame_timer->Enabled());

    form->Hide();
    EXPECT_EQ(form->engine(), nullptr);
    EXPECT_FALSE(form->Running());
    EXPECT_FALSE(pen_table().exists());
}

TEST_F(SaverFormTest, RepaintKeepsTheFrameAndPaintsBlackBeyondIt) {
    auto form = show_form();
    ASSERT_NE(form->engine(), nullptr) << options_->Error_text;
    HWND window = form->WindowHandle();

    // Nothing clears the frame before it is painted again: no class brush, no erasing.
    EXPECT_EQ(GetClassLongPtrA(window, GCLP_HBRBACKGROUND), 0);
    Canvas erased(window);
    EXPECT_NE(SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(erased.dc()), 0), 0);
    EXPECT_EQ(erased.counts().white, 320 * 240) << "erasing painted over the frame";

    // Grown after its engine was made, the window shows the frame and black where it ends.
    form->SetBounds(0, 0, 400, 300);
    pump_for(100);
    Canvas shown(window);
    PrintWindow(window, shown.dc(), PW_CLIENTONLY);
    const RECT frame{0, 0, 320, 240}, right{320, 0, 400, 300}, below{0, 240, 320, 300};
    EXPECT_GT(shown.counts(frame).coloured, 500);
    EXPECT_EQ(shown.counts(frame).white, 0);
    EXPECT_EQ(shown.counts(right).black, 80 * 300) << "right of the frame";
    EXPECT_EQ(shown.counts(below).black, 320 * 60) << "below the frame";
}

// A picture drawn through the hardware palette lives only on the screen and cannot be painted
// again: a repaint gives black. Wine has no palettised display, so emulation off takes that path.
TEST_F(SaverFormTest, HardwarePaletteRepaintsBlack) {
    options_->Emulate_palette = false;
    auto form = show_form();
    ASSERT_NE(form->engine(), nullptr) << options_->Error_text;
    ASSERT_FALSE(form->engine()->emulated());
    EXPECT_NE(form->engine()->palette(), nullptr);
    EXPECT_TRUE(form->Running());
    EXPECT_EQ(printed(form->WindowHandle()).black, 320 * 240);
    form.reset(); // destroyed while shown: the pens go too
    EXPECT_FALSE(pen_table().exists());
}

} // namespace
} // namespace nimbrel
