// The data directory as the installer registered it.
#include "settings/registry.h"

#include <windows.h>

namespace nimbrel {
namespace {

class Registry_key_handle {
  public:
    Registry_key_handle() = default;
    ~Registry_key_handle() {
        if (key_) RegCloseKey(key_);
    }
    Registry_key_handle(const Registry_key_handle&) = delete;
    Registry_key_handle& operator=(const Registry_key_handle&) = delete;
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

class Windows_registry : public RegistryReader {
  public:
    explicit Windows_registry(std::string subkey) : subkey_(std::move(subkey)) {}

    std::optional<std::string> Read_directory() const override {
        // Read access is all this needs; asking for more fails for users without write rights.
        Registry_key_handle key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey_.c_str(), 0, KEY_READ, key.out()) !=
            ERROR_SUCCESS)
            return std::nullopt;
        char buffer[Registry_value_buffer] = {};
        DWORD size = sizeof buffer;
        DWORD type = 0;
        if (RegQueryValueExA(key.get(), "Directory", nullptr, &type,
                             reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
            return std::nullopt;
        return registry_value_text(buffer, size);
    }

  private:
    std::string subkey_;
};

} // namespace

std::unique_ptr<RegistryReader> system_registry(const std::string& subkey) {
    return std::make_unique<Windows_registry>(subkey);
}

} // namespace nimbrel
