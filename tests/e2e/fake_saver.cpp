// A stand-in preview for probing how a child window of another process can be seen: on
// "/p <hwnd>" a child filling the host, drawn in two dozen colours, ending when the host goes;
// anything else ends at once.
#include "app/win32_api.h"

#include <cstdlib>

namespace {

COLORREF line_colour(int line) {
    const int h = (line * 37) % 768;
    const int r = h < 256 ? 255 - h : (h < 512 ? 0 : h - 512);
    const int g = h < 256 ? h : (h < 512 ? 511 - h : 0);
    const int b = h < 256 ? 0 : (h < 512 ? h - 256 : 767 - h);
    return RGB(r, g, b);
}

void draw(HWND window, HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    PatBlt(dc, 0, 0, client.right, client.bottom, BLACKNESS);
    const int cx = client.right / 2, cy = client.bottom / 2;
    HGDIOBJ old_brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    for (int line = 0; line < 24; ++line) {
        HPEN pen = CreatePen(PS_SOLID, 2, line_colour(line));
        HGDIOBJ old = SelectObject(dc, pen);
        const int inset = line * (cy / 26);
        Rectangle(dc, inset, inset, 2 * cx - inset, 2 * cy - inset);
        SelectObject(dc, old);
        DeleteObject(pen);
    }
    SelectObject(dc, old_brush);
}

LRESULT CALLBACK preview_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        draw(window, dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        draw(window, reinterpret_cast<HDC>(wparam));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
    const char* args = command_line;
    while (*args == ' ')
        ++args;
    if ((*args != '/' && *args != '-') || (args[1] | 0x20) != 'p') return 0;
    char* end = nullptr;
    HWND host = reinterpret_cast<HWND>(std::strtoull(args + 2, &end, 0));
    if (end == args + 2 || !IsWindow(host)) return 0;

    WNDCLASSA wc{};
    wc.lpfnWndProc = preview_procedure;
    wc.hInstance = instance;
    wc.lpszClassName = "NimbrelFakeSaver";
    RegisterClassA(&wc);
    RECT client;
    GetClientRect(host, &client);
    if (!CreateWindowExA(0, wc.lpszClassName, "Fake preview", WS_CHILD | WS_VISIBLE, 0, 0,
                         client.right, client.bottom, host, nullptr, instance, nullptr))
        return 0;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
