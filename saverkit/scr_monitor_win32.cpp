#include "saverkit/scr_monitor_win32.h"

#include "saverkit/kit_dialog_ids.h"
#include "saverkit/saver_registry_win32.h"
#include "saverkit/scr_control_win32.h"
#include "saverkit/scr_password_win32.h"

namespace nimbrel {
namespace {

constexpr char kMonitorWindowClass[] = "MonitorWindow";
bool agent_warning_shown = false;

HINSTANCE instance() {
    return GetModuleHandleA(nullptr);
}

std::optional<KitSize> bitmap_size(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof(info), &info)) return std::nullopt;
    return KitSize{info.bmWidth, info.bmHeight};
}

void draw_bitmap(HDC dc, HDC source, HBITMAP bitmap, int x, int y, int width, int height,
                 int source_x, DWORD rop) {
    HGDIOBJ old = SelectObject(source, bitmap);
    BitBlt(dc, x, y, width, height, source, source_x, 0, rop);
    SelectObject(source, old);
}

// The windows in the preview area (the proxy, the preview inside it) fill it.
void fill_with_children(HWND parent, int width, int height) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        SetWindowPos(c, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        fill_with_children(c, width, height);
    }
}

} // namespace

// The preview child over the picture's screen, erased in the desktop's colour.
class TScrMonitor::Screen : public Window {
  public:
    Screen(HWND monitor, const KitRect& b) {
        Create({kMonitorWindowClass}, kMonitorWindowClass, WS_CHILD | WS_VISIBLE, 0, b.left, b.top,
               b.right, b.bottom, monitor, static_cast<UINT_PTR>(GetDlgCtrlID(monitor)));
    }

  protected:
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override {
        if (message != WM_ERASEBKGND) return Window::WndProc(message, wparam, lparam);
        RECT r{};
        GetClientRect(hwnd(), &r);
        FillRect(reinterpret_cast<HDC>(wparam), &r, GetSysColorBrush(COLOR_DESKTOP));
        return 1;
    }
};

bool RegisterMonitorWindowClass() {
    return Window::Register({SCR_MONITOR_CLASS, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)});
}

TScrMonitor::TScrMonitor() {
    RegisterMonitorWindowClass();
    monitor_ = LoadBitmapA(instance(), "SCRMONITOR");
    default_ = LoadBitmapA(instance(), "SCRCORNERDEFAULT");
    now_ = LoadBitmapA(instance(), "SCRCORNERNOW");
    never_ = LoadBitmapA(instance(), "SCRCORNERNEVER");
    geometry_ = MakeMonitorGeometry(bitmap_size(monitor_), bitmap_size(now_));
    menu_ = CreatePopupMenu();
    AppendMenuA(menu_, MF_STRING, 0, "Default");
    AppendMenuA(menu_, MF_STRING, 1, "Now");
    AppendMenuA(menu_, MF_STRING, 2, "Never");
    LoadCorners();
}

TScrMonitor::~TScrMonitor() {
    Attach(nullptr);
    for (HBITMAP bitmap : {monitor_, default_, now_, never_})
        if (bitmap) DeleteObject(bitmap);
    if (menu_) DestroyMenu(menu_);
}

void TScrMonitor::Attach(HWND window) {
    Window::Attach(window);
    if (!window) return;
    if (use_ == smuPreview) create_preview_child();
    InvalidateRect(window, nullptr, TRUE);
}

KitSize TScrMonitor::size() const {
    RECT r{};
    if (hwnd()) GetClientRect(hwnd(), &r);
    return {r.right, r.bottom};
}

KitSize TScrMonitor::PictureSize() const {
    return ScaledPicture(geometry_.picture, dpi());
}

KitSize TScrMonitor::Offset() const {
    return PictureOffset(size(), PictureSize());
}

void TScrMonitor::LoadCorners() {
    RegKey key;
    if (!key.open(HKEY_CURRENT_USER, kScreenSaversKey, KEY_READ)) return;
    DWORD type = 0;
    const auto bytes = key.read_bytes("Mouse Corners", 5, &type);
    if (bytes && (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_BINARY))
        corners_ = DecodeCorners(bytes);
}

void TScrMonitor::SaveCorners() {
    if (use_ != smuCorners) return;
    RegKey key;
    if (!key.create(HKEY_CURRENT_USER, kScreenSaversKey)) return;
    const std::string text = EncodeCorners(corners_);
    key.write_string("Mouse Corners", text.c_str(), 5);
    key.close();
    NotifySaverChanged();
}

void TScrMonitor::SetCorner(TScrCorner corner, TScrCornerMode mode) {
    corners_[corner] = mode;
    if (!hwnd()) return;
    const KitRect& c = geometry_.corners[corner];
    const KitSize o = Offset();
    const DpiRect s =
        Scale_rect_for_dpi({c.left, c.top, c.right - c.left + 1, c.bottom - c.top + 1}, dpi());
    RECT r{s.left + o.width, s.top + o.height, s.left + s.width + o.width,
           s.top + s.height + o.height};
    InvalidateRect(hwnd(), &r, FALSE);
}

void TScrMonitor::ClickCorner(TScrCorner corner, TScrCornerMode mode) {
    if (!GetScrAgentPresent()) RefreshScrAgentPresent();
    if (!GetScrAgentPresent() && !agent_warning_shown) {
        ScrMessageBox(hwnd(),
                      "You must have the System Agent loaded in order for the mouse hot corners "
                      "to be active.",
                      "Screen saver");
        agent_warning_shown = true;
        RefreshScrAgentPresent();
    }
    SetCorner(corner, mode);
    if (auto handler = OnClickCorner) handler(this, corner, mode);
}

void TScrMonitor::SetUse(TScrMonitorUse use) {
    if (use == use_) {
        if (use_ == smuPreview && hwnd()) create_preview_child();
        return;
    }
    use_ = use;
    if (!hwnd()) return;
    screen_.reset();
    if (use_ == smuPreview) create_preview_child();
    InvalidateRect(hwnd(), nullptr, TRUE);
}

// The control was resized (the system scales dialogs moved to a monitor of another resolution).
void TScrMonitor::place_preview_child() {
    HWND child = screen_ ? screen_->hwnd() : nullptr;
    if (!child) return;
    const KitRect b = PreviewChildBounds(size(), dpi());
    SetWindowPos(child, nullptr, b.left, b.top, b.right, b.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    fill_with_children(child, b.right, b.bottom);
}

void TScrMonitor::create_preview_child() {
    if (!screen_ || !screen_->hwnd())
        screen_ = std::make_unique<Screen>(hwnd(), PreviewChildBounds(size(), dpi()));
}

HBITMAP TScrMonitor::corner_bitmap(TScrCornerMode mode) const {
    switch (mode) {
    case scmNow:
        return now_;
    case scmNever:
        return never_;
    default:
        return default_;
    }
}

void TScrMonitor::paint(HDC dc) {
    const int w = geometry_.picture.width, h = geometry_.picture.height;
    const KitSize o = Offset();
    HDC buffer_dc = CreateCompatibleDC(dc);
    HDC source = CreateCompatibleDC(dc);
    HBITMAP buffer = CreateCompatibleBitmap(dc, w, h);
    HGDIOBJ old_buffer = SelectObject(buffer_dc, buffer);

    // What lies under the picture shows through its transparent parts.
    RECT all{0, 0, w, h};
    FillRect(buffer_dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    if (monitor_) {
        draw_bitmap(buffer_dc, source, monitor_, 0, 0, w, h, w, SRCAND);
        draw_bitmap(buffer_dc, source, monitor_, 0, 0, w, h, 0, SRCINVERT);
    } else {
        HGDIOBJ pen = SelectObject(buffer_dc, GetStockObject(BLACK_PEN));
        HGDIOBJ brush = SelectObject(buffer_dc, GetStockObject(DKGRAY_BRUSH));
        Rectangle(buffer_dc, 0, 0, w, h);
        SelectObject(buffer_dc, pen);
        SelectObject(buffer_dc, brush);
    }
    if (use_ == smuCorners) {
        for (int i = 0; i < 4; ++i) {
            const KitRect& c = geometry_.corners[static_cast<size_t>(i)];
            if (HBITMAP bitmap = corner_bitmap(corners_[static_cast<size_t>(i)])) {
                const auto size = bitmap_size(bitmap).value_or(geometry_.corner);
                draw_bitmap(buffer_dc, source, bitmap, c.left, c.top, size.width, size.height, 0,
                            SRCCOPY);
            } else {
                HGDIOBJ pen = SelectObject(buffer_dc, GetStockObject(WHITE_PEN));
                HGDIOBJ brush = SelectObject(buffer_dc, GetStockObject(BLACK_BRUSH));
                Rectangle(buffer_dc, c.left, c.top, c.right, c.bottom);
                SelectObject(buffer_dc, pen);
                SelectObject(buffer_dc, brush);
            }
        }
    }
    // Drawn at the bitmaps' own size, then stretched to the window's resolution.
    const KitSize shown = PictureSize();
    if (shown.width == w && shown.height == h) {
        BitBlt(dc, o.width, o.height, w, h, buffer_dc, 0, 0, SRCCOPY);
    } else {
        const int old_mode = SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, o.width, o.height, shown.width, shown.height, buffer_dc, 0, 0, w, h,
                   SRCCOPY);
        SetStretchBltMode(dc, old_mode);
    }

    SelectObject(buffer_dc, old_buffer);
    DeleteObject(buffer);
    DeleteDC(source);
    DeleteDC(buffer_dc);
}

LRESULT TScrMonitor::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        paint(dc);
        EndPaint(hwnd(), &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        paint(reinterpret_cast<HDC>(wparam));
        return 0;
    case WM_SIZE:
        place_preview_child();
        break;
    default:
        break;
    }
    const LRESULT result = DefWindowProcA(hwnd(), message, wparam, lparam);
    if (message == WM_LBUTTONDOWN && use_ == smuCorners) {
        const KitSize o = Offset();
        const int x = LOWORD(lparam), y = HIWORD(lparam);
        const int corner = CornerAt(geometry_, Unscale_for_dpi(x - o.width, dpi()),
                                    Unscale_for_dpi(y - o.height, dpi()));
        if (corner < 0) return result;
        edited_ = corner;
        const UINT item = corners_[static_cast<size_t>(corner)];
        CheckMenuItem(menu_, item, MF_BYPOSITION | MF_CHECKED);
        POINT p{x, y};
        ClientToScreen(hwnd(), &p);
        TrackPopupMenu(menu_, TPM_LEFTALIGN | TPM_LEFTBUTTON, p.x, p.y, 0, hwnd(), nullptr);
        CheckMenuItem(menu_, item, MF_BYPOSITION | MF_UNCHECKED);
    } else if (message == WM_COMMAND && HIWORD(wparam) == 0 && edited_ < 4) {
        const auto corner = static_cast<TScrCorner>(edited_);
        edited_ = 4;
        const WORD mode = LOWORD(wparam);
        if (mode <= scmNever) ClickCorner(corner, static_cast<TScrCornerMode>(mode));
    }
    return result;
}

} // namespace nimbrel
