#include "settings/text_lines.h"

namespace nimbrel {

std::string Line_reader::Read_line() {
    std::string text;
    bool text_ended = false; // a NUL was seen: the rest of the line is read but dropped
    std::size_t length = 0;
    while (pos_ < data_.size()) {
        const std::uint8_t c = data_[pos_];
        if (c == '\n') {
            ++pos_;
            return text;
        }
        if (c == '\r') {
            ++pos_;
            if (pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
            return text;
        }
        if (length == Max_line_length) {
            // The rest of the physical line becomes the next line. A line end right here
            // belongs to this line, so an exactly full line does not leave an empty one behind.
            return text;
        }
        ++pos_;
        ++length;
        if (c == 0) text_ended = true;
        if (!text_ended) text.push_back(static_cast<char>(c));
    }
    return text;
}

void Write_line(Bytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back('\r');
    out.push_back('\n');
}

std::string one_line(const std::string& text) {
    std::string line;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            if (!line.empty() && line.back() != ' ') line += ' ';
            continue;
        }
        line += c;
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

std::vector<std::string_view> split_tokens(std::string_view line) {
    line = line.substr(0, line.find('\0'));
    std::vector<std::string_view> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() &&
               std::string_view(" \t\r\n").find(line[i]) != std::string_view::npos)
            ++i;
        const std::size_t start = i;
        while (i < line.size() &&
               std::string_view(" \t\r\n").find(line[i]) == std::string_view::npos)
            ++i;
        if (i > start) tokens.push_back(line.substr(start, i - start));
    }
    return tokens;
}

std::string trimmed(std::string_view text, bool (*blank)(char)) {
    std::size_t first = 0, last = text.size();
    while (first < last && blank(text[first]))
        ++first;
    while (last > first && blank(text[last - 1]))
        --last;
    return std::string(text.substr(first, last - first));
}

namespace {

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

std::string upper_case(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = upper(c);
    return out;
}

bool equal_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

bool less_ignoring_case(std::string_view a, std::string_view b) {
    return upper_case(a) < upper_case(b);
}

std::optional<std::int32_t> parse_int32(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > 2147483648LL) return std::nullopt; // past the most negative value's size
    }
    if (negative) value = -value;
    if (value > 2147483647LL) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace nimbrel
