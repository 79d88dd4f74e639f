// A stand-in for the system's display-settings page: a window with a small preview area whose
// window number is given to the saver as "/p <number>", the way the system starts a preview.
// Closing the host ends the preview, and with it the saver.
//
//   nimbrel-preview-host.exe SAVER.scr [seconds]
#include "app/win32_api.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int Area_w = 152, Area_h = 112; // the screen of the classic monitor picture
constexpr int Margin = 24;

LRESULT CALLBACK host_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: nimbrel-preview-host SAVER.scr [seconds]\n");
        return 2;
    }
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 0;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = host_proc;
    wc.hInstance = instance;
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = "NimbrelPreviewHost";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, wc.lpszClassName, "Nimbrel preview host", WS_OVERLAPPEDWINDOW,
                                40, 40, 2 * Margin + Area_w + 16, 2 * Margin + Area_h + 40, nullptr,
                                nullptr, instance, nullptr);
    HWND area = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, Margin,
                                Margin, Area_w, Area_h, host, nullptr, instance, nullptr);
    ShowWindow(host, SW_SHOWNORMAL);
    UpdateWindow(host);

    std::string command = std::string("\"") + argv[1] + "\" /p " +
                          std::to_string(reinterpret_cast<std::uintptr_t>(area));
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        std::fprintf(stderr, "cannot start %s\n", argv[1]);
        return 1;
    }

    const DWORD end = seconds > 0 ? GetTickCount() + static_cast<DWORD>(seconds) * 1000 : 0;
    for (bool quit = false; !quit;) {
        if (end && static_cast<LONG>(GetTickCount() - end) >= 0 && IsWindow(host))
            DestroyWindow(host);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_QUIT) quit = true;
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }
    const bool ended = WaitForSingleObject(pi.hProcess, 5000) == WAIT_OBJECT_0;
    std::fprintf(stderr, ended ? "the saver ended with its host\n"
                               : "the saver was still running 5 s after its host closed\n");
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return ended ? 0 : 1;
}
