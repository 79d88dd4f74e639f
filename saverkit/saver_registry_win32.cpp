#include "saverkit/saver_registry_win32.h"

#include <cstdlib>
#include <cstring>

namespace nimbrel {

const char kScreenSaversKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";

SaverRegistrySettings ReadSaverRegistrySettings() {
    SaverRegistrySettings settings; // the defaults for a key that cannot be opened
    RegKey key;
    if (!key.open(HKEY_CURRENT_USER, kScreenSaversKey, KEY_READ)) return settings;
    settings.password_delay = key.read_dword("Password Delay").value_or(100);
    settings.mouse_threshold = key.read_dword("Mouse Threshold").value_or(100);
    settings.mute = key.read_dword("Mute Sound").value_or(1) != 0;
    return settings;
}

bool SystemUsesSaverPassword() {
    RegKey key;
    if (!key.open(HKEY_CURRENT_USER, "Control Panel\\Desktop", KEY_READ)) return false;
    DWORD type = 0;
    const auto bytes = key.read_bytes("ScreenSaveUsePassword", 16, &type);
    if (!bytes) return false;
    // Newer systems store the flag as the text "0" or "1": the text's number counts, not its
    // character codes (which are never zero).
    if (type == REG_SZ || type == REG_EXPAND_SZ) return std::atoi(bytes->c_str()) != 0;
    if (bytes->size() < 4) return false;
    std::uint32_t value = 0;
    std::memcpy(&value, bytes->data(), 4);
    return value != 0;
}

void EnsureSaverDefaults() {
    RegKey key;
    if (!key.create(HKEY_CURRENT_USER, kScreenSaversKey)) return;
    const auto ensure = [&key](const char* name, std::uint32_t fallback, std::uint32_t max) {
        const auto value = key.read_dword(name);
        if (!value || *value > max) key.write_dword(name, fallback);
    };
    ensure("Password Delay", 30, 0xFFFFFFFFu);
    ensure("Password Delay Index", 0, 1);
    ensure("Mouse Threshold", 100, 0xFFFFFFFFu);
    ensure("Mouse Threshold Index", 1, 3);
    if (!key.read_bytes("Mouse Corners", 5)) key.write_string("Mouse Corners", "----", 5);
    ensure("Mute Sound", 0, 0xFFFFFFFFu);
    ensure("Active Config", 0, 0xFFFFFFFFu);
}

} // namespace nimbrel
