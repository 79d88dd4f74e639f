#include "dialogs/config_rules.h"
#include "settings/registry.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <limits>

namespace nimbrel {
namespace {

TEST(ConfigRules, TimesValidOnlyWithinLimitsAndInOrder) {
    const struct {
        std::int32_t min, max;
        bool valid;
    } cases[] = {{1, 1, true},       {30, 60, true},
                 {3600, 3600, true}, {0, 60, false},
                 {61, 60, false},    {1, 3601, false},
                 {0, 0, false},      {std::numeric_limits<std::int32_t>::min(), 1, false}};
    for (const auto& c : cases)
        EXPECT_EQ(Times_valid(c.min, c.max), c.valid) << c.min << ".." << c.max;
}

TEST(ConfigRules, TimeBoxesReadTheirLeadingNumber) {
    constexpr std::int32_t none = -99; // not a strict integer; "010" is decimal, not octal
    const struct {
        const char* text;
        std::int32_t leading, strict;
    } cases[] = {
        {"  45 ", 45, 45}, {"-7", -7, -7},
        {"+8", 8, 8},      {"12abc", 12, none},
        {"abc", 0, none},  {"", 0, none},
        {"- 5", 0, none},  {"0x10", 0, none},
        {"010", 10, 10},   {"99999999999", std::numeric_limits<std::int32_t>::max(), none},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Leading_integer(c.text), c.leading) << c.text;
        EXPECT_EQ(Strict_integer(c.text).value_or(none), c.strict) << c.text;
    }
}

TEST(ConfigRules, LeavingATimeBoxDecidesTheOtherLimit) {
    EXPECT_EQ(Min_time_exit("20", 60).value, 20);
    EXPECT_TRUE(Min_time_exit("20", 60).limit);
    EXPECT_TRUE(Min_time_exit("60", 60).limit);
    EXPECT_FALSE(Min_time_exit("61", 60).limit);
    EXPECT_FALSE(Min_time_exit("0", 60).limit); // the Options tab comes forward instead
    EXPECT_FALSE(Min_time_exit("x", 60).limit);
    EXPECT_TRUE(Max_time_exit("5000", 30).limit); // the up-down limit is OK's business
    EXPECT_FALSE(Max_time_exit("29", 30).limit);
    EXPECT_FALSE(Max_time_exit("0", 0).limit);
    EXPECT_EQ(Max_time_exit(" 7s", 1).value, 7);
}

TEST(ConfigRules, OptionBoxesToTheRecordStopAtABadTime) {
    nimbrel_test::Temp_folder folder;
    Nimbrel_Options options(Fixed_registry(std::nullopt), folder.dir());
    options.Min_time = 30;
    options.Max_time = 60;
    options.Start_auto_cycling = true;
    options.Tagged_settings_only = true;

    const auto record = [&] {
        return std::make_tuple(options.Start_auto_cycling, options.Auto_cycling,
                               options.Tagged_settings_only, options.Min_time, options.Max_time,
                               options.Prompt_screen_change, options.Prompt_force_change,
                               options.Emulate_palette, options.Other_monitors);
    };
    const Option_boxes boxes = Boxes_from_options(options);
    EXPECT_EQ(std::tie(boxes.cycling, boxes.cycle_tagged, boxes.min_time, boxes.max_time,
                       boxes.allow_change, boxes.emulate_palette, boxes.animate_every_monitor),
              std::make_tuple(true, true, "30", "60", !options.Prompt_screen_change, true, true));
    options.Other_monitors = Other_monitors_mode::black;
    EXPECT_FALSE(Boxes_from_options(options).animate_every_monitor);

    EXPECT_EQ(Options_from_boxes({false, false, "5", "20", true, false, false, true}, options),
              std::nullopt);
    EXPECT_EQ(record(), std::make_tuple(false, false, false, 5, 20, false, true, false,
                                        Other_monitors_mode::rings));

    // A bad Max: what came before it is kept, what comes after is not done.
    EXPECT_EQ(Options_from_boxes({true, true, "7", "2x", false, true, true}, options),
              "'2x' is not a valid integer value");
    EXPECT_EQ(record(), std::make_tuple(true, true, true, 7, 20, false, true, false,
                                        Other_monitors_mode::rings));
}

TEST(ConfigRules, ListScrollsToShowTheSelectionOnTheNinthRow) {
    const struct {
        int index, count, top;
    } cases[] = {{7, 40, 0}, {8, 40, 0}, {20, 40, 12}, {32, 40, 24}, {33, 40, 25}, {39, 40, 25},
                 {0, 1, 0},  {9, 10, 0}, {0, 0, 0},    {8, 16, 0},   {9, 16, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(Top_row(c.index, c.count), c.top) << c.index << " of " << c.count;
}

TEST(ConfigRules, HeaderAndTagColumn) {
    EXPECT_EQ(Name_header(40), "Name        40 Settings in file");
    EXPECT_EQ(Name_header(0), "Name        0 Settings in file");
    EXPECT_EQ(Name_section_width(306, 42, 17), 247);
    EXPECT_FALSE(In_tag_column(247, 247));
    EXPECT_TRUE(In_tag_column(248, 247));
    EXPECT_FALSE(In_tag_column(0, 247));
}

// The C runtime splits the editor's command line back into the very names given.
TEST(ConfigRules, EditorCommandLineQuotesEachArgument) {
    const struct {
        const char* name;
        const char* quoted;
    } cases[] = {
        {"Triangle Tunnel", R"("Triangle Tunnel")"},
        {"", R"("")"},
        {R"(Say "hi")", R"("Say \"hi\"")"},
        {R"(ends in \)", R"("ends in \\")"},
        {R"(a\b)", R"("a\b")"},     // a backslash before anything else stays single
        {R"(a\"b)", R"("a\\\"b")"}, // before a quote: doubled, then the quote escaped
        {R"(\\server\share\)", R"("\\server\share\\")"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Editor_command_line(R"(C:\Program Files\E.exe)", R"(C:\d\s.cmp)", c.name),
                  std::string(R"("C:\Program Files\E.exe" "C:\d\s.cmp" )") + c.quoted)
            << c.name;
}

} // namespace
} // namespace nimbrel
