// Start-up time and key response of the real saver. Disabled in the normal run; start it with
//   NIMBREL_PERF_SCR=<saver .scr> NIMBREL_PERF_DATA=<data folder, Windows path>
//   nimbrel_win32_tests.exe --gtest_also_run_disabled_tests --gtest_filter='AppPerf.*'
// It points HKCU\Software\Nimbrel at the data folder for the run and puts the old value back.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

double now_ms() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

// Pixels of the screen that are clearly coloured (not black, grey or white).
int coloured_pixels() {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(mem, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(mem, bitmap);
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    GdiFlush();
    int count = 0;
    const auto* p = static_cast<const std::uint8_t*>(bits);
    for (int i = 0; i < w * h; i += 7) { // a sample is plenty
        const int b = p[i * 4], g = p[i * 4 + 1], r = p[i * 4 + 2];
        const int hi = std::max(r, std::max(g, b)), lo = std::min(r, std::min(g, b));
        if (hi > 60 && hi - lo > 40) ++count;
    }
    SelectObject(mem, previous);
    DeleteObject(bitmap);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return count;
}

class DirectoryValue {
  public:
    explicit DirectoryValue(const std::string& value) {
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Nimbrel", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr);
        char old[1024];
        DWORD size = sizeof old, type = 0;
        if (RegQueryValueExA(key, "Directory", nullptr, &type, reinterpret_cast<BYTE*>(old),
                             &size) == ERROR_SUCCESS)
            old_ = std::string(old, size ? size - 1 : 0);
        RegSetValueExA(key, "Directory", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(key);
    }
    ~DirectoryValue() {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Nimbrel", 0, KEY_ALL_ACCESS, &key)) return;
        if (old_)
            RegSetValueExA(key, "Directory", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(old_->c_str()),
                           static_cast<DWORD>(old_->size() + 1));
        else
            RegDeleteValueA(key, "Directory");
        RegCloseKey(key);
    }

  private:
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
