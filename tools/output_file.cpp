#include "tools/output_file.h"

#include <filesystem>

namespace nimbrel {

void remove_failed_output(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::symlink_status(path, ec).type() == std::filesystem::file_type::regular)
        std::filesystem::remove(path, ec);
}

} // namespace nimbrel
