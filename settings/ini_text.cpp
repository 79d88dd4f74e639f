#include "settings/ini_text.h"

#include "settings/text_lines.h"

#include <optional>

namespace nimbrel {
namespace {

// White space as the profile functions see it: C's, and the end-of-file mark.
bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string trimmed(const std::string& s) {
    return nimbrel::trimmed(s, is_space);
}

std::vector<std::string> split_lines(const Bytes& text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = static_cast<char>(text[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            lines.push_back(line);
            line.clear();
        } else {
            line.push_back(c);
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

// The section name of a "[name]" line.
std::optional<std::string> section_name(const std::string& line) {
    const std::string t = trimmed(line);
    if (t.empty() || t[0] != '[') return std::nullopt;
    const auto close = t.find_last_of(']');
    const std::size_t end = close == std::string::npos || close == 0 ? t.size() : close;
    return trimmed(t.substr(1, end - 1));
}

struct Key_line {
    std::string name, value;
};

// The key of a "name=value" line; comments and lines without a name are no keys.
std::optional<Key_line> key_line(const std::string& line) {
    const std::string t = trimmed(line);
    if (t.empty() || t[0] == ';') return std::nullopt;
    const auto equals = t.find('=');
    if (equals == std::string::npos) return Key_line{t, std::string()};
    return Key_line{trimmed(t.substr(0, equals)), trimmed(t.substr(equals + 1))};
}

// [first, last) line indices of the section's body; first == npos when there is none.
std::pair<std::size_t, std::size_t> find_section(const std::vector<std::string>& lines,
                                                 const std::string& section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = section_name(lines[i]);
        if (!name || !equal_ignoring_case(*name, section)) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && !section_name(lines[end]))
            ++end;
        return {i + 1, end};
    }
    return {std::string::npos, std::string::npos};
}

std::string single_line(const std::string& value) {
    return value.substr(0, value.find_first_of("\r\n"));
}

} // namespace

Ini_entries read_ini_section(const Bytes& text, const std::string& section) {
    Ini_entries entries;
    const auto lines = split_lines(text);
    const auto [first, last] = find_section(lines, section);
    if (first == std::string::npos) return entries;
    for (std::size_t i = first; i < last; ++i) {
        const std::string t = trimmed(lines[i]);
        if (t.empty() || t[0] == ';' || t.find('=') == std::string::npos) continue;
        const auto key = key_line(t);
        entries.emplace_back(key->name, key->value);
    }
    return entries;
}

Bytes write_ini_section(const Bytes& text, const std::string& section, const Ini_entries& entries) {
    auto lines = split_lines(text);
    auto [first, last] = find_section(lines, section);
    if (first == std::string::npos) {
        lines.push_back("[" + section + "]");
        first = last = lines.size();
    }
    for (const auto& [name, value] : entries) {
        bool found = false;
        for (std::size_t i = first; i < last && !found; ++i) {
            const auto key = key_line(lines[i]);
            if (key && equal_ignoring_case(key->name, name)) {
                lines[i] = key->name + "=" + single_line(value);
                found = true;
            }
        }
        if (found) continue;
        // After the section's last non-blank line, so blank lines keep separating sections.
        std::size_t at = last;
        while (at > first && trimmed(lines[at - 1]).empty())
            --at;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at),
                     name + "=" + single_line(value));
        ++last;
    }
    Bytes out;
    for (const auto& line : lines) {
        out.insert(out.end(), line.begin(), line.end());
        out.push_back('\r');
        out.push_back('\n');
    }
    return out;
}

} // namespace nimbrel
