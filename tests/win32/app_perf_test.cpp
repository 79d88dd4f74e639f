// Start-up time and key response of the real saver. Disabled in the normal run; start it with
//   NIMBREL_PERF_SCR=<saver .scr> NIMBREL_PERF_DATA=<data folder, Windows path>
//   nimbrel_win32_tests.exe --gtest_also_run_disabled_tests --gtest_filter='AppPerf.*'
// It points HKCU\Software\Nimbrel at the data folder for the run and puts the old value back.
#include "dib_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

double now_ms() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

// Pixels of the screen that are clearly coloured (not black, grey or white), in a sample.
int coloured_pixels() {
    DibSurface shot(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    HDC screen = GetDC(nullptr);
    BitBlt(shot.dc(), 0, 0, shot.width, shot.height, screen, 0, 0, SRCCOPY);
    ReleaseDC(nullptr, screen);
    GdiFlush();
    int count = 0;
    for (int y = 0; y < shot.height; y += 3)
        for (int x = 0; x < shot.width; x += 3) {
            const std::uint32_t v = shot.pixel(x, y);
            const int r = v >> 16, g = (v >> 8) & 0xFF, b = v & 0xFF;
            const int hi = std::max({r, g, b}), lo = std::min({r, g, b});
            count += hi > 60 && hi - lo > 40;
        }
    return count;
}

// HKCU\Software\Nimbrel "Directory" set for the run, put back afterwards.
class DirectoryValue {
  public:
    explicit DirectoryValue(const std::string& value) {
        char old[1024];
        DWORD size = sizeof old;
        if (!RegGetValueA(HKEY_CURRENT_USER, kKey, "Directory", RRF_RT_REG_SZ, nullptr, old, &size))
            old_ = old;
        set(value);
    }
    ~DirectoryValue() {
        if (old_)
            set(*old_);
        else
            RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, "Directory");
    }

  private:
    static constexpr const char* kKey = "Software\\Nimbrel";
    static void set(const std::string& value) {
        RegSetKeyValueA(HKEY_CURRENT_USER, kKey, "Directory", REG_SZ, value.c_str(),
                        static_cast<DWORD>(value.size() + 1));
    }
    std::optional<std::string> old_;
};

TEST(AppPerf, DISABLED_FirstRingAndKeyResponse) {
    const char* scr = std::getenv("NIMBREL_PERF_SCR");
    const char* data = std::getenv("NIMBREL_PERF_DATA");
    ASSERT_TRUE(scr && data) << "set NIMBREL_PERF_SCR and NIMBREL_PERF_DATA";
    const int run_seconds =
        std::getenv("NIMBREL_PERF_SECONDS") ? std::atoi(std::getenv("NIMBREL_PERF_SECONDS")) : 3;
    DirectoryValue directory(data);

    std::string command = std::string("\"") + scr + "\" /s";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const double start = now_ms();
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &si, &pi));
    double first_ring = -1;
    while (now_ms() - start < 10000) {
        if (coloured_pixels() > 20) {
            first_ring = now_ms() - start;
            break;
        }
        Sleep(2);
    }
    std::printf("first ring on screen %.0f ms after CreateProcess\n", first_ring);
    std::printf("saver pid %lu: measure its CPU now (running %d s)\n", pi.dwProcessId, run_seconds);
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(run_seconds) * 1000);

    // A key press, as a user ends the saver.
    INPUT key[2] = {};
    key[0].type = key[1].type = INPUT_KEYBOARD;
    key[0].ki.wVk = key[1].ki.wVk = VK_SPACE;
    key[1].ki.dwFlags = KEYEVENTF_KEYUP;
    HWND saver = FindWindowA("TSaverForm", nullptr);
    const double pressed = now_ms();
    SendInput(2, key, sizeof(INPUT));
    while (saver && IsWindowVisible(saver) && now_ms() - pressed < 5000)
        Sleep(1);
    std::printf("key to hidden window: %.0f ms\n", now_ms() - pressed);
    const bool ended = WaitForSingleObject(pi.hProcess, 5000) == WAIT_OBJECT_0;
    std::printf("key to exit: %s %.0f ms\n", ended ? "ended after" : "STILL RUNNING after",
                now_ms() - pressed);
    if (!ended) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_GT(first_ring, 0);
    EXPECT_TRUE(ended);
}

} // namespace
