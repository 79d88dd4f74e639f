// An open key of the Windows registry, closed with the object.
#pragma once

#include "app/win32_api.h"

#include <cstdint>
#include <optional>
#include <string>

namespace nimbrel {

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
    // Up to `size` bytes of the value with its type; nothing when the value is longer.
    std::optional<std::string> read_bytes(const char* name, DWORD size,
                                          DWORD* type = nullptr) const;
    bool write_dword(const char* name, std::uint32_t value);
    bool write_string(const char* name, const char* text, DWORD size_with_zero);

  private:
    HKEY key_ = nullptr;
};

} // namespace nimbrel
