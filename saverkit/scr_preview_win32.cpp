#include "saverkit/scr_preview_win32.h"

namespace nimbrel {
namespace {

constexpr char kPlaceholderClass[] = "KestovBlurb";

RECT client_of(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return r;
}

class Placeholder : public Window {
  public:
    explicit Placeholder(HWND host) {
        const RECT r = client_of(host);
        Create({kPlaceholderClass}, "Blurb", WS_CHILD | WS_VISIBLE, 0, 0, 0, r.right, r.bottom,
               host);
    }
    ~Placeholder() override {
        if (picture_) DeleteObject(picture_);
    }

  protected:
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override {
        if (message == WM_CREATE) {
            // The picture is optional: without the resource the black background shows.
            picture_ = LoadBitmapA(GetModuleHandleA(nullptr), "SCRBLURB");
        } else if (message == WM_PAINT) {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd(), &paint);
            BITMAP info{};
            if (picture_ && GetObjectA(picture_, sizeof(info), &info)) {
                HDC source = CreateCompatibleDC(dc);
                HGDIOBJ previous = SelectObject(source, picture_);
                BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
                SelectObject(source, previous);
                DeleteDC(source);
            }
            EndPaint(hwnd(), &paint);
            return 0;
        }
        return Window::WndProc(message, wparam, lparam);
    }

  private:
    HBITMAP picture_ = nullptr;
};

} // namespace

// ---------------------------------------------------------------------------------------------
TProxy::~TProxy() {
    Attach(nullptr);
}

void TProxy::Attach(HWND host) {
    Destroy();
    if (!host || !IsWindow(host)) return;
    const RECT r = client_of(host);
    // No window when the host is already gone: the caller sees the null handle.
    Create({"ProxyChild", CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW}, "Proxy", WS_CHILD | WS_VISIBLE,
           0, 0, 0, r.right, r.bottom, host, 100);
}

LRESULT TProxy::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
    HWND window = hwnd(); // gone from this object once the host is
    if (message == WM_DESTROY) {
        Window::Attach(nullptr);
        if (auto handler = OnPxDestroy) handler(this, window);
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

// ---------------------------------------------------------------------------------------------
bool RegisterPlaceholderClass() {
    return Window::Register({kPlaceholderClass, CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW,
                             static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))});
}

std::unique_ptr<Window> MakePlaceholder(HWND host) {
    return std::make_unique<Placeholder>(host);
}

HWND FindExternalPreview() {
    HWND program = FindWindowA("Scrprev", nullptr);
    if (!program) {
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        char command[] = "Scrprev";
        if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE,
                            CREATE_NEW_PROCESS_GROUP | CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr,
                            &startup, &process)) {
            ScrMessageBox(nullptr, "Error creating Scrprev process", "Error");
            return nullptr;
        }
        const DWORD idle = WaitForInputIdle(process.hProcess, 2000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        if (idle == WAIT_TIMEOUT) {
            ScrMessageBox(nullptr, "Scrprev never becomes idle", "Error");
            return nullptr;
        }
        if (idle != 0) {
            ScrMessageBox(nullptr, "Miscellaneous error after Scrprev execution", "Error");
            return nullptr;
        }
        program = FindWindowA("Scrprev", nullptr);
    }
    if (!program) {
        ScrMessageBox(nullptr, "Unable to find Scrprev window", "Error");
        return nullptr;
    }
    SetForegroundWindow(program);
    HWND child = GetWindow(program, GW_CHILD);
    if (!child) ScrMessageBox(nullptr, "Could not find Scrprev child", "Error");
    return child;
}

} // namespace nimbrel
