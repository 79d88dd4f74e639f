#include "driver.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace e2e {

namespace fs = std::filesystem;

bool wait_until(const std::function<bool()>& done, Millis timeout, Millis step) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (done()) return true;
        if (Clock::now() >= deadline) return done();
        std::this_thread::sleep_for(step);
    }
}

// ------------------------------------------------------------------------------------------------
Process::Process(const std::string& exe, const std::string& args) {
    std::string command = "\"" + exe + "\"";
    if (!args.empty()) command += " " + args;
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    // Wine has been seen to refuse a start once, right after another saver ended: a start that
    // fails is tried again a few times and said so, so that only a lasting failure fails a test.
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (attempt > 0) {
            std::fprintf(stderr, "[   INFO   ] CreateProcess failed (error %lu); trying again\n",
                         start_error_);
            Sleep(250);
        }
        start_ = Clock::now();
        if (CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &info_))
            return;
        start_error_ = GetLastError();
        info_ = {};
    }
}

Process::~Process() {
    if (!started()) return;
    if (running()) kill();
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

bool Process::running() const {
    return started() && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Process::wait_exit(Millis timeout) const {
    return started() &&
           WaitForSingleObject(info_.hProcess, DWORD(timeout.count())) == WAIT_OBJECT_0;
}

DWORD Process::exit_code() const {
    DWORD code = STILL_ACTIVE;
    if (started()) GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

void Process::kill() {
    if (!running()) return;
    TerminateProcess(info_.hProcess, 0xDEAD);
    WaitForSingleObject(info_.hProcess, 5000);
}

namespace {

ULONGLONG ticks(const FILETIME& t) {
    return (ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

// Wine answers GetProcessTimes for another process with figures that stop growing soon after
// it starts; its threads' times are read from the kernel and agree with /proc/<pid>/stat.
ULONGLONG thread_ticks(DWORD process) {
    ULONGLONG total = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != process) continue;
        HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID);
        if (!thread) continue;
        FILETIME created, exited, kernel, user;
        if (GetThreadTimes(thread, &created, &exited, &kernel, &user))
            total += ticks(kernel) + ticks(user);
        CloseHandle(thread);
    }
    CloseHandle(snapshot);
    return total;
}

} // namespace

double Process::cpu_seconds() const {
    return started() ? double(thread_ticks(info_.dwProcessId)) / 1e7 : 0; // 100 ns units
}

namespace {

struct WindowSearch {
    DWORD process;
    std::vector<HWND> found;
};

BOOL CALLBACK collect_top_window(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process) search->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK collect_child(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> Process::top_windows() const {
    WindowSearch search{info_.dwProcessId, {}};
    if (started()) EnumWindows(collect_top_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> Process::visible_top_windows() const {
    std::vector<HWND> visible;
    for (HWND window : top_windows())
        if (IsWindowVisible(window)) visible.push_back(window);
    return visible;
}

// ------------------------------------------------------------------------------------------------
WindowInfo describe(HWND window) {
    WindowInfo info;
    info.handle = window;
    GetWindowRect(window, &info.rect);
    info.visible = IsWindowVisible(window) != FALSE;
    char name[256] = {};
    GetClassNameA(window, name, sizeof(name));
    info.class_name = name;
    // Not GetWindowText: for another process's window that sends WM_GETTEXT, which can block.
    wchar_t text[256] = {};
    InternalGetWindowText(window, text, 256);
    for (const wchar_t* c = text; *c; ++c)
        info.text += *c < 128 ? char(*c) : '?';
    GetWindowThreadProcessId(window, &info.process);
    return info;
}

std::string to_string(const WindowInfo& info) {
    std::ostringstream out;
    out << "window " << info.handle << " class '" << info.class_name << "' text '" << info.text
        << "' rect (" << info.rect.left << "," << info.rect.top << ")-(" << info.rect.right << ","
        << info.rect.bottom << ")" << (info.visible ? " visible" : " hidden");
    return out.str();
}

std::vector<HWND> child_windows(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(parent, collect_child, reinterpret_cast<LPARAM>(&found));
    return found;
}

RECT screen_rect() {
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// ------------------------------------------------------------------------------------------------
namespace {

constexpr UINT kDestroyHost = WM_APP + 1;
constexpr char kHostClass[] = "NimbrelE2eHost";

LRESULT CALLBACK host_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wparam, lparam);
}

} // namespace

HostWindow::HostWindow(int client_width, int client_height, int x, int y, Layer layer) {
    ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([=] { run(client_width, client_height, x, y, layer); });
    WaitForSingleObject(ready_, 10000);
}

void HostWindow::run(int width, int height, int x, int y, Layer layer) {
    thread_id_ = GetCurrentThreadId();
    WNDCLASSA wc{};
    wc.lpfnWndProc = host_procedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
    wc.lpszClassName = kHostClass;
    RegisterClassA(&wc); // fails harmlessly when a previous host registered it
    // A popup has no frame, so its client area is exactly the size asked for.
    const bool topmost = layer == Layer::Topmost;
    const bool program = layer == Layer::Program;
    // A full-screen saver ends when it loses the activation, so a topmost window never takes it.
    window_ = CreateWindowExA(
        program ? 0 : WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | (topmost ? WS_EX_TOPMOST : 0),
        kHostClass, "Nimbrel e2e host", WS_POPUP | (topmost ? 0 : WS_VISIBLE), x, y, width, height,
        nullptr, nullptr, wc.hInstance, nullptr);
    if (window_ && topmost) {
        ShowWindow(window_, SW_SHOWNOACTIVATE);
        UpdateWindow(window_);
    }
    if (window_ && program) SetForegroundWindow(window_);
    SetEvent(ready_);
    if (!window_) return;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && msg.message == kDestroyHost) {
            DestroyWindow(window_);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::string HostWindow::decimal_handle() const {
    return std::to_string(reinterpret_cast<ULONG_PTR>(window_));
}

void HostWindow::destroy() {
    if (!thread_.joinable()) return;
    PostThreadMessageA(thread_id_, kDestroyHost, 0, 0);
    thread_.join();
}

HostWindow::~HostWindow() {
    destroy();
    if (ready_) CloseHandle(ready_);
}

// ------------------------------------------------------------------------------------------------
void press_key(WORD virtual_key) {
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = virtual_key;
    input[0].ki.wScan = input[1].ki.wScan = WORD(MapVirtualKeyA(virtual_key, MAPVK_VK_TO_VSC));
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

void move_mouse_to(int x, int y) {
    SetCursorPos(x, y);
    // Then a hardware move of zero: the pointer stays exactly where it was put (absolute input
    // would be rounded through 0..65535), and the window under it gets its WM_MOUSEMOVE.
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof(INPUT));
}

// ------------------------------------------------------------------------------------------------
namespace {

struct Key {
    HKEY handle = nullptr;
    explicit Key(const std::string& path) {
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &handle, nullptr) != ERROR_SUCCESS)
            handle = nullptr;
    }
    ~Key() {
        if (handle) RegCloseKey(handle);
    }
};

} // namespace

RegistryValueGuard::RegistryValueGuard(std::string key, std::string value)
    : key_(std::move(key)), value_(std::move(value)) {
    Key k(key_);
    DWORD size = 0;
    if (!k.handle || RegQueryValueExA(k.handle, value_.c_str(), nullptr, &type_, nullptr, &size) !=
                         ERROR_SUCCESS)
        return;
    old_.resize(size);
    had_value_ = RegQueryValueExA(k.handle, value_.c_str(), nullptr, &type_, old_.data(), &size) ==
                 ERROR_SUCCESS;
    old_.resize(size);
}

RegistryValueGuard::~RegistryValueGuard() {
    Key k(key_);
    if (!k.handle) return;
    if (had_value_)
        RegSetValueExA(k.handle, value_.c_str(), 0, type_, old_.data(), DWORD(old_.size()));
    else
        RegDeleteValueA(k.handle, value_.c_str());
}

bool RegistryValueGuard::set_string(const std::string& text) {
    Key k(key_);
    return k.handle && RegSetValueExA(k.handle, value_.c_str(), 0, REG_SZ,
                                      reinterpret_cast<const BYTE*>(text.c_str()),
                                      DWORD(text.size() + 1)) == ERROR_SUCCESS;
}

bool RegistryValueGuard::set_number(DWORD number) {
    Key k(key_);
    return k.handle &&
           RegSetValueExA(k.handle, value_.c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&number), sizeof(number)) == ERROR_SUCCESS;
}

bool RegistryValueGuard::remove() {
    Key k(key_);
    if (!k.handle) return false;
    const LONG result = RegDeleteValueA(k.handle, value_.c_str());
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

std::string read_registry_string(const std::string& key, const std::string& value) {
    char buffer[2048] = {};
    DWORD size = sizeof(buffer) - 1;
    if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), value.c_str(), RRF_RT_REG_SZ, nullptr, buffer,
                     &size) != ERROR_SUCCESS)
        return {};
    return buffer;
}

// ------------------------------------------------------------------------------------------------
TempDir::TempDir(const std::string& tag) {
    static unsigned counter = 0;
    std::error_code error;
    const fs::path base = fs::temp_directory_path(error);
    for (int attempt = 0; attempt < 1000 && !error; ++attempt) {
        const fs::path path =
            base / ("nimbrel-e2e-" + tag + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                    std::to_string(++counter));
        if (fs::create_directory(path, error)) {
            path_ = path.string();
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
}

bool file_exists(const std::string& path) {
    std::error_code ignored;
    return fs::is_regular_file(path, ignored);
}

bool directory_exists(const std::string& path) {
    std::error_code ignored;
    return fs::is_directory(path, ignored);
}

bool write_file(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    return out.write(bytes.data(), std::streamsize(bytes.size())) && out.flush();
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool copy_tree(const std::string& from, const std::string& to) {
    std::error_code error;
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
    return !error;
}

std::string environment(const char* name) {
    char buffer[4096] = {};
    const DWORD n = GetEnvironmentVariableA(name, buffer, sizeof(buffer));
    return n > 0 && n < sizeof(buffer) ? std::string(buffer, n) : std::string();
}

} // namespace e2e
