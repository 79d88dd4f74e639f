// What the fuzz targets share: a failed expectation stops the run like a crash, so libFuzzer
// keeps the input that caused it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace nimbrel_fuzz {

inline void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "expectation failed: %s\n", what);
    std::abort();
}

// The input cut at LF into lines (a CR before the LF stays in the line, as a tokeniser sees it).
inline std::vector<std::string> lines_of(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n')
            lines.emplace_back();
        else
            lines.back().push_back(static_cast<char>(data[i]));
    }
    return lines;
}

// A folder of this target's own under the temporary folder, made on first use, removed at exit.
inline const std::filesystem::path& private_folder() {
    static const std::filesystem::path* const folder = [] {
        std::string path =
            (std::filesystem::temp_directory_path() / "nimbrel-fuzz-XXXXXX").string();
        check(::mkdtemp(path.data()) != nullptr, "a private folder");
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(private_folder(), ignored);
        });
        // Never destroyed: a static path would be gone before the removal above runs.
        return new std::filesystem::path(path);
    }();
    return *folder;
}

inline void write_file(const std::filesystem::path& path, const void* bytes, std::size_t size) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
}

} // namespace nimbrel_fuzz
