// How fast an emulated frame reaches a full-screen window, each way. Disabled in the normal run;
// start it with --gtest_also_run_disabled_tests --gtest_filter='*PresentSpeed*'.
#include "app/emulated_target_win32.h"
#include "app/win32_api.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace nimbrel {
namespace {

double seconds(const FILETIME& f) {
    return (static_cast<double>(f.dwHighDateTime) * 4294967296.0 + f.dwLowDateTime) * 1e-7;
}

double process_cpu_seconds() {
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    return seconds(kernel) + seconds(user);
}

TEST(AppPresent, DISABLED_PresentSpeed) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "NimbrelPresentBench";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0,
                                  w, h, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);

    IndexedSurface frame(w, h);
    for (int k = 1; k < 200; ++k) {
        const Point ring[] = {{w / 2 - k * 2, h / 2 - k},
                              {w / 2 + k * 2, h / 2 - k},
                              {w / 2, h / 2 + k * 2},
                              {w / 2 - k * 2, h / 2 - k}};
        frame.polyline(ring, 4, static_cast<std::uint8_t>(10 + k % 236));
    }
    SoftwarePalette palette;
    PaletteEntries entries = palette.entries();
    const int frames = 120;
    for (PresentWay way : {PresentWay::indexed_dib, PresentWay::bgra_dib}) {
        FramePresenter presenter(way);
        const DWORD start = GetTickCount();
        const double cpu = process_cpu_seconds();
        for (int i = 0; i < frames; ++i) {
            for (int e = 10; e < 246; ++e) // the palette moves every frame
                entries[e] = PaletteEntry{static_cast<std::uint8_t>(e + i),
                                          static_cast<std::uint8_t>(e * 3 - i), 128, PC_RESERVED};
            HDC dc = GetDC(window);
            presenter.present(dc, frame, entries);
            ReleaseDC(window, dc);
            GdiFlush();
        }
        const double wall_ms = static_cast<double>(GetTickCount() - start) / frames;
        const double cpu_ms = (process_cpu_seconds() - cpu) * 1000 / frames;
        std::printf("%dx%d %s: %.2f ms wall, %.2f ms CPU per frame\n", w, h,
                    way == PresentWay::indexed_dib ? "8-bit DIB + colour table" : "32-bit DIB",
                    wall_ms, cpu_ms);
    }
    DestroyWindow(window);
}

} // namespace
} // namespace nimbrel
