#include "foreign_child.h"

#include "driver.h"

namespace e2e {

const char* to_string(ForeignCapture how) {
    switch (how) {
    case ForeignCapture::PrintWindow:
        return "PrintWindow";
    case ForeignCapture::Screen:
        return "screen capture";
    case ForeignCapture::None:
        break;
    }
    return "none";
}

Image capture_foreign_child(HWND child, ForeignCapture how) {
    if (how == ForeignCapture::PrintWindow) return print_window(child);
    if (how == ForeignCapture::Screen) {
        RECT r{};
        GetWindowRect(child, &r);
        return capture_screen(&r);
    }
    return {};
}

namespace {

// The stand-in draws two dozen colours; a capture that shows some of them sees the child.
bool sees_stand_in(const Image& shot) {
    return distinct_colours(shot, 16) >= 8;
}

ForeignCapture probe() {
    const std::string stand_in = executable_folder() + "\\nimbrel_e2e_fake_saver.exe";
    HostWindow host(152, 112);
    if (!host.handle()) return ForeignCapture::None;
    Process saver(stand_in, "/p " + host.decimal_handle());
    HWND child = nullptr;
    wait_until(
        [&] {
            for (HWND w : child_windows(host.handle()))
                if (IsWindowVisible(w)) child = w;
            return child != nullptr;
        },
        Millis(3000));
    ForeignCapture found = ForeignCapture::None;
    if (child)
        wait_until(
            [&] {
                for (ForeignCapture how : {ForeignCapture::PrintWindow, ForeignCapture::Screen})
                    if (sees_stand_in(capture_foreign_child(child, how))) found = how;
                return found != ForeignCapture::None;
            },
            Millis(1000), Millis(50));
    host.destroy();
    saver.wait_exit(Millis(2000));
    return found;
}

} // namespace

ForeignCapture foreign_child_capture() {
    static const ForeignCapture how = probe();
    return how;
}

} // namespace e2e
