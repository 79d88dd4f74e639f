// The progress box and the display-mode switch on real Win32.
#include "app/display_modes_win32.h"
#include "app/thinking_box_layout.h"
#include "app/thinking_box_win32.h"
#include "app/win32_api.h"
#include "message_pump.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace nimbrel {
namespace {

TEST(AppThinkingBox, ShowsCentredWithoutTakingTheFocusAndHides) {
    TThinking_box& box = Thinking_box_form();
    const SIZE cell = box.char_size();
    ASSERT_GT(cell.cx, 0);
    ASSERT_GT(cell.cy, 0);
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);

    struct Case {
        const char* text;
        bool bar;
    } cases[] = {{"Compressing Nimbrel settings data", true}, {"Device context invalid #3", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const HWND before = GetForegroundWindow();
        if (c.bar)
            box.Think_show_bar(c.text);
        else
            box.Think_show(c.text);
        take_quit();
        const HWND window = box.WindowHandle();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_NE(GetForegroundWindow(), window);
        EXPECT_EQ(GetForegroundWindow(), before);
        EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_EQ(box.message(), c.text);

        const ThinkingBoxLayout l =
            thinking_box_layout(c.text, cell.cx, cell.cy, sw, sh, c.bar, box.dpi());
        RECT r{};
        GetWindowRect(window, &r);
        EXPECT_EQ((BoxRect{r.left, r.top, r.right - r.left, r.bottom - r.top}), l.box);
        EXPECT_EQ(box.bar_shown(), c.bar);
        if (c.bar) {
            ASSERT_NE(box.bar_window(), nullptr);
            EXPECT_TRUE(IsWindowVisible(box.bar_window()));
            RECT b{};
            GetWindowRect(box.bar_window(), &b);
            EXPECT_EQ((BoxRect{0, 0, b.right - b.left, b.bottom - b.top}),
                      (BoxRect{0, 0, l.bar.width, l.bar.height}));
            box.Think_bar().set_max(40);
            box.Think_bar().set_position(10);
            EXPECT_EQ(SendMessageA(box.bar_window(), PBM_GETPOS, 0, 0), 10);
            EXPECT_EQ(SendMessageA(box.bar_window(), PBM_GETRANGE, FALSE, 0), 40);
        } else if (box.bar_window()) {
            EXPECT_FALSE(IsWindowVisible(box.bar_window()));
        }
        box.Think_hide();
        EXPECT_FALSE(IsWindowVisible(window));
    }
}

TEST(AppThinkingBox, AlertStaysHalfASecondThenGoes) {
    TThinking_box& box = Thinking_box_form();
    EXPECT_EQ(box.pause_ms, 500u);
    const DWORD start = GetTickCount();
    thinking_box_proxy().alert("Device context not released #4");
    const DWORD took = GetTickCount() - start;
    EXPECT_GE(took, 490u);
    EXPECT_LT(took, 1500u);
    EXPECT_FALSE(IsWindowVisible(box.WindowHandle()));
    EXPECT_EQ(box.message(), "Device context not released #4");
}

TEST(AppDisplayModes, WineListsAn8BitModeButHasNoHardwarePalette) {
    Win32DisplayModes display;
    const DisplayFormat now = display.current();
    EXPECT_EQ(now.width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(now.height, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_GT(now.bits_per_pixel, 8);

    bool eight_bit_here = false;
    DisplayFormat m;
    int count = 0;
    for (; display.mode(count, m); ++count)
        eight_bit_here |= m.bits_per_pixel == 8 && m.width == now.width && m.height == now.height;
    EXPECT_GT(count, 0);
    EXPECT_TRUE(eight_bit_here);

    // What the switch decides with these is checked by the unit tests on a stand-in display.
    HDC screen = GetDC(nullptr);
    EXPECT_FALSE(GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE);
    ReleaseDC(nullptr, screen);
}

} // namespace
} // namespace nimbrel
