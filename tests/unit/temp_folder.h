// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include "settings/file_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <unistd.h>

namespace nimbrel_test {

class Temp_folder {
  public:
    Temp_folder() {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("nimbrel-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~Temp_folder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    Temp_folder(const Temp_folder&) = delete;
    Temp_folder& operator=(const Temp_folder&) = delete;

    // The folder with a trailing separator, as the options record holds directories.
    std::string dir() const { return path_.string() + "/"; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::size_t entries() const {
        using It = std::filesystem::directory_iterator;
        return static_cast<std::size_t>(std::distance(It(path_), It()));
    }

  private:
    std::filesystem::path path_;
};

inline nimbrel::Bytes bytes_of(const std::string& s) {
    return nimbrel::Bytes(s.begin(), s.end());
}
inline std::string text_of(const nimbrel::Bytes& b) {
    return std::string(b.begin(), b.end());
}

inline void write_text(const std::string& path, const std::string& text) {
    ASSERT_TRUE(nimbrel::write_file_atomically(path, bytes_of(text)));
}

inline std::string read_text(const std::string& path) {
    nimbrel::Bytes b;
    nimbrel::read_file(path, b);
    return text_of(b);
}

} // namespace nimbrel_test
