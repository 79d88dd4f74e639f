#include "settings/file_io.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace nimbrel {

bool file_exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

bool folder_exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

bool read_file(const std::string& path, Bytes& bytes, std::string* error) {
    bytes.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = "cannot open " + path;
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        if (error) *error = "cannot read " + path;
        bytes.clear();
        return false;
    }
    return true;
}

char path_separator() {
    return static_cast<char>(std::filesystem::path::preferred_separator);
}

} // namespace nimbrel
