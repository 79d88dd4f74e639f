// Numbers as C's "%i" reads them: leading blanks, a sign, 0x hexadecimal, leading-0 octal or
// decimal, up to the first character that is no digit.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace nimbrel {

struct CInteger {
    bool negative = false;
    std::uint32_t wrapped = 0;   // the digits modulo 2^32, as a 32-bit scan keeps them
    std::uint32_t saturated = 0; // the digits, held at 2^32 - 1 when larger
};

// Nothing when there are no digits.
std::optional<CInteger> ScanCInteger(std::string_view text);

} // namespace nimbrel
