// The shared text helpers at their edges: what each trimming keeps, ASCII-only case folding and
// the 32-bit limits of the integer reader.
#include "settings/text_lines.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

bool only_space(char c) {
    return c == ' ';
}

TEST(TextHelpers, TrimmingDropsBlanksAtTheEndsOnly) {
    EXPECT_EQ(trimmed(" \t\x01name value\x1a\r\n"), "name value");
    EXPECT_EQ(trimmed(std::string("\0x\0", 3)), "x");
    EXPECT_EQ(trimmed(" \x01x\x01 ", only_space), "\x01x\x01");
    EXPECT_EQ(trimmed("   "), "");
    EXPECT_EQ(trimmed(""), "");
}

TEST(TextHelpers, CaseFoldsAsciiLettersOnly) {
    EXPECT_EQ(upper_case("palette_1.pal \xe9"), "PALETTE_1.PAL \xe9");
    EXPECT_TRUE(equal_ignoring_case("Max_Polygons", "MAX_polygons"));
    EXPECT_FALSE(equal_ignoring_case("\xe9", "\xc9")); // a code page's letters are not folded
    EXPECT_FALSE(equal_ignoring_case("name", "name "));
    EXPECT_TRUE(less_ignoring_case("apple", "Banana"));
    EXPECT_FALSE(less_ignoring_case("Banana", "apple"));
    EXPECT_FALSE(less_ignoring_case("ABC", "abc"));
}

TEST(TextHelpers, IntegersAreDecimalWithinThirtyTwoBits) {
    const struct {
        const char* text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"0", 0},
        {"-0", 0},
        {"+17", 17},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", {}},
        {"-2147483649", {}},
        {"99999999999999999999", {}},
        {"", {}},
        {"-", {}},
        {"+-1", {}},
        {" 1", {}},
        {"1 ", {}},
        {"0x10", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parse_int32(c.text), c.value) << c.text;
}

} // namespace
} // namespace nimbrel
