// This thread's message loop for the tests, and the kit's message boxes recorded instead of shown.
#pragma once

#include "saverkit/window_win32.h"

#include <string>
#include <vector>

// Dispatches messages (timer ticks arrive as sent messages) until `done` or the time limit; a
// quit message (a form without a controller posts one) is noted in `quit`, not dispatched.
template <class Done> bool pump_until(DWORD limit_ms, Done done, bool* quit = nullptr) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            if (message.message != WM_QUIT)
                DispatchMessageA(&message);
            else if (quit)
                *quit = true;
        const DWORD elapsed = GetTickCount() - start;
        if (done()) return true;
        if (elapsed >= limit_ms) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, limit_ms - elapsed, QS_ALLINPUT);
    }
}

inline void pump_for(DWORD ms) {
    pump_until(ms, [] { return false; });
}

// Dispatches what is queued; true when a quit message was among it.
inline bool take_quit() {
    bool quit = false;
    pump_until(
        0, [] { return true; }, &quit);
    return quit;
}

// "caption: text" of every kit message box while it lives; each is answered OK.
struct MessageBoxes {
    std::vector<std::string> shown;
    MessageBoxes() {
        nimbrel::SetScrMessageBoxHook(
            [this](HWND, const std::string& text, const std::string& caption) {
                shown.push_back(caption + ": " + text);
                return IDOK;
            });
    }
    ~MessageBoxes() { nimbrel::SetScrMessageBoxHook(nullptr); }
    MessageBoxes(const MessageBoxes&) = delete;
    MessageBoxes& operator=(const MessageBoxes&) = delete;
};
