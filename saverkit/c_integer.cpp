#include "saverkit/c_integer.h"

#include <algorithm>

namespace nimbrel {
namespace {

bool is_c_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int digit_value(char c, int base) {
    int value = 99;
    if (c >= '0' && c <= '9') value = c - '0';
    if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value < base ? value : -1;
}

} // namespace

std::optional<CInteger> ScanCInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && is_c_space(text[i]))
        ++i;
    CInteger result;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) result.negative = text[i++] == '-';

    int base = 10;
    if (i < text.size() && text[i] == '0') {
        if (i + 2 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
            digit_value(text[i + 2], 16) >= 0) {
            base = 16;
            i += 2;
        } else {
            base = 8; // the 0 itself is the first octal digit
        }
    }
    constexpr std::uint64_t cap = UINT32_MAX;
    std::uint64_t saturated = 0;
    std::size_t digits = 0;
    for (; i < text.size(); ++i, ++digits) {
        const int d = digit_value(text[i], base);
        if (d < 0) break;
        result.wrapped =
            result.wrapped * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(d);
        saturated =
            std::min(cap, saturated * static_cast<std::uint64_t>(base) + static_cast<unsigned>(d));
    }
    if (digits == 0) return std::nullopt;
    result.saturated = static_cast<std::uint32_t>(saturated);
    return result;
}

} // namespace nimbrel
