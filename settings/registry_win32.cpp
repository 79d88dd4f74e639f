// The data directory as the installer registered it.
#include "settings/registry.h"

#include "settings/reg_key_win32.h"

namespace nimbrel {
namespace {

class Windows_registry : public RegistryReader {
  public:
    explicit Windows_registry(std::string subkey) : subkey_(std::move(subkey)) {}

    std::optional<std::string> Read_directory() const override {
        // Read access is all this needs; asking for more fails for users without write rights.
        RegKey key;
        if (!key.open(HKEY_CURRENT_USER, subkey_.c_str(), KEY_READ)) return std::nullopt;
        const auto data = key.read_bytes("Directory", Registry_value_buffer);
        if (!data) return std::nullopt;
        return registry_value_text(data->data(), data->size());
    }

  private:
    std::string subkey_;
};

} // namespace

std::unique_ptr<RegistryReader> system_registry(const std::string& subkey) {
    return std::make_unique<Windows_registry>(subkey);
}

} // namespace nimbrel
