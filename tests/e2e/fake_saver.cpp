// A stand-in saver for checking the test driver itself: full screen on "/s" with animated
// coloured lines, closed by a key, a click or a mouse move of more than 100 pixels; a child
// window filling the host on "/p <hwnd>", ending when the host goes; anything else ends at once.
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr UINT_PTR kFrameTimer = 1;
int g_frame = 0;
bool g_full_screen = false;
POINT g_start{};

COLORREF line_colour(int line, int frame) {
    const int h = (line * 37 + frame * 11) % 768;
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
    for (int line = 0; line < 24; ++line) {
        HPEN pen = CreatePen(PS_SOLID, 2, line_colour(line, g_frame));
        HGDIOBJ old = SelectObject(dc, pen);
        HGDIOBJ old_brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        const int inset = line * (cy / 26);
        Rectangle(dc, cx - (cx - inset), cy - (cy - inset), cx + (cx - inset), cy + (cy - inset));
        SelectObject(dc, old);
        SelectObject(dc, old_brush);
        DeleteObject(pen);
    }
}

LRESULT CALLBACK saver_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CREATE:
        GetCursorPos(&g_start);
        SetTimer(window, kFrameTimer, 40, nullptr);
        return 0;
    case WM_TIMER: {
        ++g_frame;
        HDC dc = GetDC(window);
        draw(window, dc);
        ReleaseDC(window, dc);
        return 0;
    }
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
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
        if (g_full_screen) DestroyWindow(window);
        return 0;
    case WM_MOUSEMOVE:
        if (g_full_screen) {
            POINT p;
            GetCursorPos(&p);
            const long long dx = p.x - g_start.x, dy = p.y - g_start.y;
            if (dx * dx + dy * dy > 100 * 100) DestroyWindow(window);
        }
        return 0;
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
    if (*args == '/' || *args == '-') ++args;
    const char mode = *args ? char(*args | 0x20) : 0;

    WNDCLASSA wc{};
    wc.lpfnWndProc = saver_procedure;
    wc.hInstance = instance;
    wc.lpszClassName = "NimbrelFakeSaver";
    RegisterClassA(&wc);

    HWND window = nullptr;
    if (mode == 's') {
        g_full_screen = true;
        window =
            CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "Fake saver", WS_POPUP | WS_VISIBLE, 0,
                            0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                            nullptr, nullptr, instance, nullptr);
    } else if (mode == 'p') {
        char* end = nullptr;
        HWND host = reinterpret_cast<HWND>(std::strtoull(args + 1, &end, 0));
        if (end == args + 1 || !IsWindow(host)) return 0;
        RECT client;
        GetClientRect(host, &client);
        window = CreateWindowExA(0, wc.lpszClassName, "Fake preview", WS_CHILD | WS_VISIBLE, 0, 0,
                                 client.right, client.bottom, host, nullptr, instance, nullptr);
    }
    if (!window) return 0;

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
