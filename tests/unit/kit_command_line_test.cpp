#include "saverkit/command_line.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace nimbrel {
namespace {

constexpr WindowId kForeground = 0x777;
constexpr WindowId kScrprevChild = 0x5150;

struct FakeSystem {
    std::set<WindowId> windows{0x1234, 0x10, 8, 100, WindowFromInteger(-5)};
    bool scrprev_runs = true;
    int scrprev_asked = 0;

    CommandLineSystem system() {
        return {[this](WindowId w) { return windows.count(w) != 0; }, [] { return kForeground; },
                [this] {
                    ++scrprev_asked;
                    return scrprev_runs ? kScrprevChild : WindowId{0};
                }};
    }
};

std::optional<ScrCommand> parse(const std::string& line) {
    FakeSystem fake;
    return ParseCommandLine(line, fake.system());
}

TEST(KitCommandLine, ClassifiesTheSaverConvention) {
    const ScrCommand full{smSFull, 0}, regular{smCRegular, 0}, config{smCRegular, kForeground};
    const struct {
        const char* line;
        std::optional<ScrCommand> expected;
    } cases[] = {
        {"saver.scr", regular},
        {"saver.scr   ", regular},
        {"\"C:\\Program Files\\saver.scr\"", regular},
        {"saver.scr /s", full},
        {"saver.scr -S", full},
        {"saver.scr s", full},
        {"saver.scr -/s", full},
        {"saver.scr /save", full},
        {"\"C:\\a b\\saver.scr\" /s", full},
        {"\"C:\\a b\\saver.scr\"/s", full},
        {"saver.scr /c", config},
        {"saver.scr /c:1234", config}, // the number after c is not read
        {"saver.scr /C 16", config},
        {"saver.scr /x", std::nullopt},
        {"saver.scr -", std::nullopt},
        {"saver.scr //s", std::nullopt},      // one slash only
        {"saver.scr --s", std::nullopt},      // one minus only
        {"\"C:\\saver.scr /s", std::nullopt}, // no closing quote
        {"saver.scr\t/s", regular},           // only spaces end the program name
        {"saver.scr /p 4660", ScrCommand{smSPMain, 0x1234}},
        {"saver.scr /P:4660", ScrCommand{smSPMain, 0x1234}},
        {"saver.scr /l : :4660", ScrCommand{smSPMain, 0x1234}},
        {"saver.scr /p 0x1234", ScrCommand{smSPMain, 0x1234}},
        {"saver.scr /p 0X10", ScrCommand{smSPMain, 0x10}},
        {"saver.scr /p 010", ScrCommand{smSPMain, 8}}, // octal
        {"saver.scr /p 100abc", ScrCommand{smSPMain, 100}},
        {"saver.scr /p -5", ScrCommand{smSPMain, WindowFromInteger(-5)}},
        {"saver.scr /p 4661", std::nullopt}, // not a window
        {"saver.scr /p", std::nullopt},
        {"saver.scr /p   ", std::nullopt},
        {"saver.scr /p x", std::nullopt},
        {"saver.scr /p 0x", std::nullopt}, // reads 0, which is no window
        {"saver.scr /a", ScrCommand{smPasswordChange, kForeground}},
        {"saver.scr /a 4660", ScrCommand{smPasswordChange, 0x1234}},
        {"saver.scr /a:0x10", ScrCommand{smPasswordChange, 0x10}},
        {"saver.scr /a 4661", ScrCommand{smPasswordChange, kForeground}},
        {"saver.scr /a junk", ScrCommand{smPasswordChange, kForeground}},
    };
    for (const auto& c : cases) {
        const auto got = parse(c.line);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.line;
        if (got) {
            EXPECT_EQ(got->mode, c.expected->mode) << c.line;
            EXPECT_EQ(got->window, c.expected->window) << c.line;
        }
    }
}

TEST(KitCommandLine, ExternalPreviewOnlyForTheExactNames) {
    for (const char* name : {"scrprev", "ScrPrev", "SCRPREV"}) {
        FakeSystem fake;
        const auto got = ParseCommandLine(std::string("saver.scr /p ") + name, fake.system());
        ASSERT_TRUE(got) << name;
        EXPECT_EQ(*got, (ScrCommand{smSPMain, kScrprevChild}));
        EXPECT_EQ(fake.scrprev_asked, 1);
    }
    for (const char* line :
         {"saver.scr /p scrPrev", "saver.scr /p scrprev ", "saver.scr /s scrprev"}) {
        FakeSystem fake;
        const auto got = ParseCommandLine(line, fake.system());
        EXPECT_EQ(fake.scrprev_asked, 0) << line;
        if (got) {
            EXPECT_EQ(got->mode, smSFull) << line;
        }
    }
    FakeSystem failing;
    failing.scrprev_runs = false;
    EXPECT_FALSE(ParseCommandLine("saver.scr /p:scrprev", failing.system()));
    EXPECT_EQ(failing.scrprev_asked, 1);
}

TEST(KitCommandLine, ScansIntegersLikePercentI) {
    const struct {
        const char* text;
        std::optional<std::int32_t> expected;
    } cases[] = {
        {"0", 0},
        {"42", 42},
        {"  \t42", 42},
        {"+42", 42},
        {"-42", -42},
        {"0x1F", 31},
        {"0XfF", 255},
        {"-0x10", -16},
        {"017", 15},
        {"08", 0}, // octal stops at 8
        {"0x", 0}, // no hex digit: only the 0 is read
        {"0xg", 0},
        {"12ab", 12},
        {"4294967295", -1}, // wraps to 32 bits
        {"0xFFFFFFFF", -1},
        {"0x100000001", 1},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"x12", std::nullopt},
        {" - 1", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScanInteger(c.text), c.expected) << c.text;
}

} // namespace
} // namespace nimbrel
