// Text helpers of the settings and options files: lines read from and written to an in-memory
// byte stream, words, trimming, ASCII case and decimal integers.
#pragma once

#include "settings/file_io.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

inline constexpr std::size_t Max_line_length = 4096;

class Line_reader {
  public:
    explicit Line_reader(const Bytes& data) : data_(data) {}

    // One line without its end (CR, LF or CR LF). A NUL ends the line's text; a line longer
    // than Max_line_length goes on as the next line. At the end of the data the line is empty.
    std::string Read_line();
    bool at_end() const { return pos_ >= data_.size(); }

  private:
    const Bytes& data_;
    std::size_t pos_ = 0;
};

// The text, then CR LF.
void Write_line(Bytes& out, const std::string& text);

// The words of a parameter line, split at spaces, TABs, CRs and LFs; the text ends at a NUL.
std::vector<std::string_view> split_tokens(std::string_view line);

// A multi-line report (such as the start-up error text) as one line for a command line's
// message: each line break becomes one space, trailing spaces go.
std::string one_line(const std::string& text);

// Spaces and every control character: what a settings line loses at its ends.
inline bool is_blank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// The text without the leading and trailing characters for which `blank` holds.
std::string trimmed(std::string_view text, bool (*blank)(char) = is_blank);

// ASCII letters only: other bytes (such as those of a code page) compare as they are.
std::string upper_case(std::string_view text);
bool equal_ignoring_case(std::string_view a, std::string_view b);
bool less_ignoring_case(std::string_view a, std::string_view b);

// A decimal integer with an optional sign that fits 32 bits, and nothing else.
std::optional<std::int32_t> parse_int32(std::string_view text);

} // namespace nimbrel
