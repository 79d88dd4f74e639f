#include "saverkit/saver_registry.h"

#include <cstdlib>
#include <cstring>

namespace nimbrel {

const char kScreenSaversKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";

bool RegKey::open(HKEY root, const char* path, REGSAM access) {
    close();
    if (RegOpenKeyExA(root, path, 0, access, &key_) == ERROR_SUCCESS) return true;
    key_ = nullptr;
    return false;
}

bool RegKey::create(HKEY root, const char* path) {
    close();
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr) ==
        ERROR_SUCCESS)
        return true;
    key_ = nullptr;
    return false;
}

void RegKey::close() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
}

std::optional<std::uint32_t> RegKey::read_dword(const char* name) const {
    if (!key_) return std::nullopt;
    DWORD value = 0, size = sizeof(value), type = 0;
    if (RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        size != sizeof(value))
        return std::nullopt;
    return value;
}

std::optional<std::string> RegKey::read_bytes(const char* name, DWORD size, DWORD* type) const {
    if (!key_) return std::nullopt;
    std::string bytes(size, '\0');
    DWORD got = size, value_type = 0;
    if (RegQueryValueExA(key_, name, nullptr, &value_type, reinterpret_cast<BYTE*>(bytes.data()),
                         &got) != ERROR_SUCCESS)
        return std::nullopt;
    bytes.resize(got);
    if (type) *type = value_type;
    return bytes;
}

bool RegKey::write_dword(const char* name, std::uint32_t value) {
    const DWORD v = value;
    return key_ && RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v),
                                  sizeof(v)) == ERROR_SUCCESS;
}

bool RegKey::write_string(const char* name, const char* text, DWORD size_with_zero) {
    return key_ && RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                  size_with_zero) == ERROR_SUCCESS;
}

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
