// Where the data directory is registered: HKEY_CURRENT_USER\Software\Nimbrel, value "Directory".
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace nimbrel {

class RegistryReader {
  public:
    virtual ~RegistryReader() = default;
    // The value's text up to its first NUL; nullopt when the key or the value cannot be read.
    virtual std::optional<std::string> Read_directory() const = 0;
};

// A registry holding a given value, or nothing.
class Fixed_registry : public RegistryReader {
  public:
    explicit Fixed_registry(std::optional<std::string> value = std::nullopt)
        : value_(std::move(value)) {}
    std::optional<std::string> Read_directory() const override { return value_; }

  private:
    std::optional<std::string> value_;
};

inline constexpr const char* Registry_key = "Software\\Nimbrel";

// The reader's buffer: a longer value (its NUL included) cannot be read at all.
inline constexpr std::size_t Registry_value_buffer = 1024;

// The text of a value's data as read: up to the first NUL, or all of it when it has none.
std::string registry_value_text(const char* data, std::size_t size);

// The system's registry under HKEY_CURRENT_USER (on other systems: a registry holding nothing).
std::unique_ptr<RegistryReader> system_registry(const std::string& subkey = Registry_key);

} // namespace nimbrel
