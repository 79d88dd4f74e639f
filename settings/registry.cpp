#include "settings/registry.h"

#include <algorithm>

namespace nimbrel {

std::string registry_value_text(const char* data, std::size_t size) {
    return std::string(data, std::find(data, data + size, '\0'));
}

} // namespace nimbrel
