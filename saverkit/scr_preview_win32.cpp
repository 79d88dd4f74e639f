#include "saverkit/scr_preview_win32.h"

#include "saverkit/scr_control_win32.h"

#include <algorithm>

namespace nimbrel {
namespace {

constexpr char kProxyClass[] = "ProxyChild";
constexpr char kPlaceholderClass[] = "KestovBlurb";
constexpr UINT_PTR kProxyId = 100;

HINSTANCE instance() {
    return Application ? Application->Instance() : GetModuleHandleA(nullptr);
}

RECT client_of(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return r;
}

LRESULT CALLBACK placeholder_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CREATE:
        // The picture is optional: without the resource the black background shows.
        if (HBITMAP picture = LoadBitmapA(instance(), "SCRBLURB"))
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(picture));
        break;
    case WM_DESTROY:
        if (auto picture = reinterpret_cast<HBITMAP>(GetWindowLongPtrA(window, GWLP_USERDATA))) {
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            DeleteObject(picture);
        }
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (auto picture = reinterpret_cast<HBITMAP>(GetWindowLongPtrA(window, GWLP_USERDATA))) {
            BITMAP info{};
            GetObjectA(picture, sizeof(info), &info);
            HDC source = CreateCompatibleDC(dc);
            HGDIOBJ previous = SelectObject(source, picture);
            BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
            SelectObject(source, previous);
            DeleteDC(source);
        }
        EndPaint(window, &paint);
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

} // namespace

// ---------------------------------------------------------------------------------------------
TProxy::TProxy(TComponent* owner) : TComponent(owner) {}

TProxy::~TProxy() {
    Attach(nullptr);
}

void TProxy::Attach(HWND host) {
    Destroy();
    if (!host || !IsWindow(host)) return;
    const RECT r = client_of(host);
    // No window when the host is already gone: the caller sees the null handle.
    Create({kProxyClass, CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW}, "Proxy", WS_CHILD | WS_VISIBLE,
           0, 0, 0, r.right, r.bottom, host, kProxyId);
}

HWND TProxy::GetHost() const {
    return hwnd() ? GetParent(hwnd()) : nullptr;
}

LRESULT TProxy::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
    HWND window = hwnd(); // gone from this object once the host is
    HostMessage(message, wparam, lparam);
    return DefWindowProcA(window, message, wparam, lparam);
}

void TProxy::HostMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_DESTROY) return;
    HWND window = hwnd();
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    Adopt(nullptr);
    if (auto handler = OnPxDestroy) handler(this, window, message, wparam, lparam);
}

// ---------------------------------------------------------------------------------------------
bool RegisterPlaceholderClass() {
    return EnsureWindowClass(kPlaceholderClass, placeholder_proc,
                             CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW,
                             static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

HWND CreatePlaceholder(HWND host) {
    const RECT r = client_of(host);
    return CreateWindowExA(0, kPlaceholderClass, "Blurb", WS_CHILD | WS_VISIBLE, 0, 0, r.right,
                           r.bottom, host, nullptr, instance(), nullptr);
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

// ---------------------------------------------------------------------------------------------
// The controller's preview operations.

TProxy* TScrControl::take_proxy() {
    if (free_proxies_.empty()) return new TProxy(this);
    TProxy* proxy = free_proxies_.front();
    free_proxies_.erase(free_proxies_.begin());
    return proxy;
}

void TScrControl::show_placeholder(HWND host, bool main_preview) {
    if (!main_preview) {
        CreatePlaceholder(host);
        return;
    }
    // The placeholder cannot tell us when the display-settings dialog goes; a proxy around it
    // can, so the preview process still ends with its host.
    TProxy* proxy = take_proxy();
    proxy->OnPxDestroy = [this](TProxy* owner, HWND window, UINT message, WPARAM wparam,
                                LPARAM lparam) {
        MainPreviewGone(owner, window, message, wparam, lparam);
    };
    proxy->Attach(host);
    if (!proxy->Handle()) {
        free_proxies_.insert(free_proxies_.begin(), proxy);
        PostQuitMessage(0); // no host to preview in
        return;
    }
    CreatePlaceholder(proxy->Handle());
}

void TScrControl::RunPreview(HWND host, bool main_preview) {
    TComponent* made = nullptr;
    How how = How::None;
    Kind from = kNoKind;
    const auto attempt = [&](Kind kind) {
        if (made) return;
        how = AcquireForm(made, kind);
        if (made) from = kind;
    };
    attempt(main_preview ? kMainPreview : kConfigPreview);
    attempt(kPreview);
    attempt(kSaver);

    if (made && !dynamic_cast<TScrForm*>(made)) {
        made->Free();
        PostQuitMessage(0);
        return;
    }
    auto* form = static_cast<TScrForm*>(made);
    bool use = form != nullptr;
    if (use && how == How::Slot) {
        // A form held for another mode that is still to come is not lent to this preview.
        if (GetScrMode() == smSFull && !slots_[kFull].form && from == kSaver) use = false;
        if (GetScrMode() == smSPMain && !main_preview && !slots_[kMainPreview].form &&
            (from == kPreview || from == kSaver))
            use = false;
    }
    if (!use) {
        show_placeholder(host, main_preview);
        return;
    }

    if (main_preview) {
        if (!published_preview_form()) publish_preview_form(form);
        hold(kMainPreview, form);
    } else {
        if (!published_preview_form() && GetScrMode() != smSPMain) publish_preview_form(form);
        hold(kConfigPreview, form);
    }

    TProxy* proxy = take_proxy();
    if (main_preview)
        proxy->OnPxDestroy = [this](TProxy* owner, HWND window, UINT message, WPARAM wparam,
                                    LPARAM lparam) {
            MainPreviewGone(owner, window, message, wparam, lparam);
        };
    else
        proxy->OnPxDestroy = [this](TProxy* owner, HWND window, UINT message, WPARAM wparam,
                                    LPARAM lparam) {
            ConfigPreviewGone(owner, window, message, wparam, lparam);
        };
    proxy->Attach(host);
    if (!proxy->Handle()) {
        // The host went away before we got here: nothing to show the form in.
        free_proxies_.insert(free_proxies_.begin(), proxy);
        if (published_preview_form() == form) publish_preview_form(nullptr);
        if (main_preview) PostQuitMessage(0);
        return;
    }

    form->InUse = true;
    form->SetRunMode(main_preview ? smSPMain : smSPConfig);
    form->SetParentWindow(proxy->Handle());
    form->SetBorderStyle(TBorderStyle::bsNone);
    const RECT r = client_of(host);
    form->SetBounds(0, 0, r.right - r.left, r.bottom - r.top);
    form->Show();
}

void TScrControl::ConfigPreviewGone(TProxy* owner, HWND window, UINT, WPARAM, LPARAM) {
    if (HWND child = GetWindow(window, GW_CHILD)) {
        // A kit form answers with itself; take the answer only from a window that is ours.
        const auto answer = reinterpret_cast<TScrForm*>(SendMessageA(child, CM_SCR, 1, 0));
        auto* form = dynamic_cast<TScrForm*>(Window::FromHandle(child));
        if (form && form == answer) {
            form->Hide();
            form->InUse = false;
            form->SetParentWindow(nullptr);
            if (published_preview_form() == form) publish_preview_form(nullptr);
        }
    }
    if (std::find(free_proxies_.begin(), free_proxies_.end(), owner) == free_proxies_.end())
        free_proxies_.insert(free_proxies_.begin(), owner);
}

void TScrControl::MainPreviewGone(TProxy* owner, HWND window, UINT message, WPARAM wparam,
                                  LPARAM lparam) {
    ConfigPreviewGone(owner, window, message, wparam, lparam);
    PostQuitMessage(0); // the display-settings dialog closed or chose another saver
}

void TScrControl::PreviewInControl(HWND host) {
    if (!executed_) {
        pending_host_ = host;
        return;
    }
    if (!host || !IsWindow(host)) return;
    HWND child = GetWindow(host, GW_CHILD);
    RunPreview(child ? child : host, false);
}

} // namespace nimbrel
