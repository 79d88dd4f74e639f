// The test driver's side of the screen-saver conversation: it starts the saver the way the system
// does, owns the host window of a preview, looks at the saver's windows, and types and moves the
// mouse like a user. Everything it starts or creates it also ends, and nothing else.
#pragma once

#include "app/win32_api.h"

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

inline double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Polls `done` every `step` until it is true or `timeout` has passed; answers its last value.
bool wait_until(const std::function<bool()>& done, Millis timeout, Millis step = Millis(10));

// ------------------------------------------------------------------------------------------------
// A process we started. Ends it (and only it) when dropped while it still runs.
class Process {
  public:
    // Runs `exe` with the command line `"exe" args`; !started() when that fails.
    Process(const std::string& exe, const std::string& args);
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();

    bool started() const { return info_.hProcess != nullptr; }
    DWORD start_error() const { return start_error_; } // CreateProcess's last error when !started()
    DWORD id() const { return info_.dwProcessId; }
    Clock::time_point start_time() const { return start_; }

    bool running() const;
    bool wait_exit(Millis timeout) const; // true once it has ended
    DWORD exit_code() const;
    void kill(); // TerminateProcess, then wait for it

    double cpu_seconds() const; // user + kernel time so far, of the threads it has now
    HANDLE handle() const { return info_.hProcess; } // for queries; the Process still owns it

    // Its top-level windows (hidden ones included), in z-order.
    std::vector<HWND> top_windows() const;
    std::vector<HWND> visible_top_windows() const;

  private:
    PROCESS_INFORMATION info_{};
    Clock::time_point start_;
    DWORD start_error_ = 0;
};

// ------------------------------------------------------------------------------------------------
struct WindowInfo {
    HWND handle = nullptr;
    RECT rect{}; // screen coordinates
    bool visible = false;
    std::string class_name;
    std::string text;
    DWORD process = 0;
};
WindowInfo describe(HWND window);
std::string to_string(const WindowInfo& info);
std::vector<HWND> child_windows(HWND parent); // all descendants, any process
RECT screen_rect();

// ------------------------------------------------------------------------------------------------
// A top-level window of the given client size, painted dark grey, that plays the host of a
// preview (the monitor in the system's display settings). It lives on its own thread, which keeps
// pumping messages: the saver's child window inside it sends messages to its parent and would
// stall otherwise. On the topmost layer it lies above every other window, the full-screen saver
// included, and is shown without taking the activation, as another program's pop-up would be.
// As a program window it is an ordinary window in the foreground, as the system's display
// settings are when they start the configuration dialog.
class HostWindow {
  public:
    enum class Layer { Normal, Topmost, Program };
    HostWindow(int client_width, int client_height, int x = 40, int y = 40,
               Layer layer = Layer::Normal);
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    ~HostWindow();

    HWND handle() const { return window_; }
    std::string decimal_handle() const;
    void destroy(); // DestroyWindow on its own thread; the thread then ends

  private:
    void run(int width, int height, int x, int y, Layer layer);
    std::thread thread_;
    HWND window_ = nullptr;
    DWORD thread_id_ = 0;
    HANDLE ready_ = nullptr;
};

// ------------------------------------------------------------------------------------------------
// Input as the hardware would give it (SendInput): to whichever window has the focus or lies
// under the pointer.
void press_key(WORD virtual_key);
void move_mouse_to(int x, int y);

// ------------------------------------------------------------------------------------------------
// A registry string or number under HKEY_CURRENT_USER that is set (or deleted) for one test and
// put back as it was afterwards.
class RegistryValueGuard {
  public:
    RegistryValueGuard(std::string key, std::string value);
    RegistryValueGuard(const RegistryValueGuard&) = delete;
    RegistryValueGuard& operator=(const RegistryValueGuard&) = delete;
    ~RegistryValueGuard();

    bool set_string(const std::string& text);
    bool set_number(DWORD number);
    bool remove();

  private:
    std::string key_, value_;
    bool had_value_ = false;
    DWORD type_ = 0;
    std::vector<BYTE> old_;
};

// A string value under HKEY_CURRENT_USER; empty when absent.
std::string read_registry_string(const std::string& key, const std::string& value);

// The data directory registry value the saver reads ("Directory" under Software\Nimbrel).
inline constexpr const char* kNimbrelKey = "Software\\Nimbrel";
inline constexpr const char* kSaverOptionsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";

// ------------------------------------------------------------------------------------------------
// A fresh folder under the temporary folder, removed with all its contents when dropped.
class TempDir {
  public:
    explicit TempDir(const std::string& tag);
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();
    const std::string& path() const { return path_; } // no trailing backslash
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

  private:
    std::string path_;
};

bool file_exists(const std::string& path);
bool directory_exists(const std::string& path);
bool write_file(const std::string& path, const std::string& bytes);
std::string read_file(const std::string& path);                 // empty when missing
bool copy_tree(const std::string& from, const std::string& to); // files and folders
std::string environment(const char* name);                      // empty when unset

} // namespace e2e
