#include "editor/editor_preview_win32.h"

#include "app/display_timing_win32.h"
#include "app/gdi_target_win32.h"
#include "engine/speed.h"
#include "saverkit/dpi.h"
#include "saverkit/dpi_win32.h"
#include "settings/settings_form.h"

#include <algorithm>

namespace nimbrel {
namespace {

constexpr char kPreviewClass[] = "NimbrelEditorPreview";
constexpr int kMinWidth = 320, kMinHeight = 240;
constexpr double kReportSeconds = 0.5;
constexpr UINT kPaceMessage = WM_APP + 10; // after a change of visibility

} // namespace

EditorPreview::EditorPreview(TSettings_Form& holder)
    : holder_(holder), timer_(std::make_unique<TScrTimer>()) {
    QueryPerformanceFrequency(&frequency_);
    timer_->SetEnabled(false);
    timer_->SetOnTimer([this] { frame(); });
}

EditorPreview::~EditorPreview() {
    stop();
    timer_.reset();
    if (pens_held_) pen_table().delete_pens();
    Destroy();
}

bool EditorPreview::create(HWND owner) {
    const int dpi = WindowDpi(owner);
    RECT frame{0, 0, Scale_for_dpi(kMinWidth, dpi), Scale_for_dpi(kMinHeight, dpi)};
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    // Right of the editor: the editor moves left to make room where it can, and the preview
    // lies over its lower right corner where the screen is too narrow for both.
    RECT editor{};
    GetWindowRect(owner, &editor);
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int shift = std::clamp<int>(editor.right + width - work.right, 0,
                                      std::max<int>(0, editor.left - work.left));
    if (shift > 0) {
        SetWindowPos(owner, nullptr, editor.left - shift, editor.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        OffsetRect(&editor, -shift, 0);
    }
    int x = editor.right, y = editor.top;
    if (x + width > work.right) {
        x = std::max<int>(work.left, work.right - width);
        y = std::max<int>(work.top, std::min<int>(editor.bottom, work.bottom) - height);
    }
    if (!Create({kPreviewClass, CS_DBLCLKS, nullptr}, "Nimbrel : Preview", style, 0, x, y, width,
                height, owner))
        return false;
    // A display with a hardware palette draws with the shared pens.
    if (!window_needs_emulation(hwnd())) pens_held_ = pen_table().create_pens();
    return true;
}

void EditorPreview::show() {
    if (!hwnd()) return;
    if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
    SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    pace();
}

void EditorPreview::stop() {
    showing_ = false;
    halt();
}

void EditorPreview::halt() {
    timer_->SetEnabled(false);
    engine_.reset();
    meter_.reset();
    if (hwnd()) InvalidateRect(hwnd(), nullptr, FALSE);
}

void EditorPreview::restart() {
    if (!hwnd()) return;
    halt();
    showing_ = true;
    RECT r{};
    GetClientRect(hwnd(), &r);
    width_ = r.right;
    height_ = r.bottom;
    if (width_ <= 0 || height_ <= 0) return; // minimised: a new engine when it comes back
    engine_ =
        std::make_unique<WindowEngine>(hwnd(), holder_, window_needs_emulation(hwnd()), *this);
    pace();
}

void EditorPreview::pace() {
    // Hidden or minimised, it rests.
    if (!engine_ || !IsWindowVisible(hwnd()) || IsIconic(hwnd())) {
        timer_->SetEnabled(false);
        return;
    }
    const Frame_pacing pacing =
        frame_pacing(holder_.on(Param::fix_speed), holder_.pos(Param::speed_scroll),
                     current_display_timing(hwnd()));
    timer_->SetWaitForCompositor(pacing.wait_for_compositor);
    timer_->SetPeriodMicros(pacing.period_us);
    timer_->SetInterval(pacing.interval_ms);
    timer_->SetEnabled(true);
}

void EditorPreview::frame() {
    if (!engine_) return;
    engine_->frame_step();
    const double seconds = now();
    meter_.frame(seconds);
    if (seconds - last_report_ >= kReportSeconds) {
        last_report_ = seconds;
        if (OnSpeedMeasured) OnSpeedMeasured();
    }
}

double EditorPreview::now() const {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency_.QuadPart);
}

int EditorPreview::frames_per_second() const {
    return meter_.frames_per_second(now());
}

// The engine's complaints would stop the preview with a box per frame; the next frame tries
// again, so they are left unsaid.
void EditorPreview::alert(const std::string&) {}

LRESULT EditorPreview::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // painted whole in WM_PAINT
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        RECT r{};
        GetClientRect(hwnd(), &r);
        if (!engine_ || !engine_->present(dc, r.right, r.bottom))
            PatBlt(dc, 0, 0, r.right, r.bottom, BLACKNESS);
        EndPaint(hwnd(), &ps);
        return 0;
    }
    case WM_SIZE:
        // Nothing to draw while minimised; the engine draws for one size, so a new size needs
        // a new engine.
        if (showing_ && wparam != SIZE_MINIMIZED &&
            (LOWORD(lparam) != width_ || HIWORD(lparam) != height_))
            restart();
        else
            pace();
        return 0;
    case WM_SHOWWINDOW:
        // Closed (hidden) it rests until shown again; WM_SHOWWINDOW comes before the change.
        PostMessageA(hwnd(), kPaceMessage, 0, 0);
        break;
    case kPaceMessage:
        pace();
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
        const int dpi = WindowDpi(hwnd());
        RECT frame{0, 0, Scale_for_dpi(kMinWidth, dpi), Scale_for_dpi(kMinHeight, dpi)};
        AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
        info->ptMinTrackSize = {frame.right - frame.left, frame.bottom - frame.top};
        return 0;
    }
    case WM_DESTROY:
        halt(); // with the editor, whose window owns this one
        break;
    case WM_CLOSE:
        // The editor's "Show preview" brings it back.
        ShowWindow(hwnd(), SW_HIDE);
        return 0;
    default:
        break;
    }
    return Window::WndProc(message, wparam, lparam);
}

} // namespace nimbrel
