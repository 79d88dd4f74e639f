// Where the data directory is registered: HKEY_CURRENT_USER\Software\Nimbrel, value "Directory".
#pragma once

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

// The system's registry under HKEY_CURRENT_USER (on other systems: a registry holding nothing).
std::unique_ptr<RegistryReader> system_registry(const std::string& subkey = Registry_key);

} // namespace nimbrel
