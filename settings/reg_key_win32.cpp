#include "settings/reg_key_win32.h"

namespace nimbrel {

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

} // namespace nimbrel
