// The system's screen-saver values in the current user's registry, as the kit reads them.
#pragma once

#include "saverkit/form_win32.h"

#include <cstdint>
#include <optional>
#include <string>

namespace nimbrel {

extern const char kScreenSaversKey[]; // "Software\Microsoft\Windows\CurrentVersion\Screen Savers"

// An open registry key, closed with the object.
class RegKey {
  public:
    RegKey() = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() { close(); }

    bool open(HKEY root, const char* path, REGSAM access);
    bool create(HKEY root, const char* path);
    void close();
    bool is_open() const { return key_ != nullptr; }

    std::optional<std::uint32_t> read_dword(const char* name) const;
    // Up to `size` bytes of the value with its type.
    std::optional<std::string> read_bytes(const char* name, DWORD size,
                                          DWORD* type = nullptr) const;
    bool write_dword(const char* name, std::uint32_t value);
    bool write_string(const char* name, const char* text, DWORD size_with_zero);

  private:
    HKEY key_ = nullptr;
};

struct SaverRegistrySettings {
    std::uint32_t password_delay = 100; // seconds
    std::uint32_t mouse_threshold = 10; // pixels
    bool mute = true;
};

// "Password Delay", "Mouse Threshold", "Mute Sound", with the defaults for a missing key or value.
SaverRegistrySettings ReadSaverRegistrySettings();

// "ScreenSaveUsePassword" under "Control Panel\Desktop".
bool SystemUsesSaverPassword();

// Writes each of the system's saver values that is missing or out of range; never changes valid
// ones.
void EnsureSaverDefaults();

} // namespace nimbrel
