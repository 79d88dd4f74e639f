// What the fuzz targets share: a failed expectation stops the run like a crash, so libFuzzer
// keeps the input that caused it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
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

} // namespace nimbrel_fuzz
