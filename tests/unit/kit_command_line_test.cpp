#include "saverkit/command_line.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace nimbrel {
namespace {

constexpr WindowId kForeground = 0x777;
constexpr WindowId kScrprevChild = 0x5150;

struct FakeSystem {
    bool scrprev_runs = true;
    int scrprev_asked = 0;

    CommandLineSystem system() {
        static const std::set<WindowId> windows{0x1234, 0x10, WindowFromInteger(-5)};
        return {[](WindowId w) { return windows.count(w) != 0; }, [] { return kForeground; },
                [this] {
                    ++scrprev_asked;
                    return scrprev_runs ? kScrprevChild : WindowId{0};
                }};
    }
};

TEST(KitCommandLine, ClassifiesTheSaverConvention) {
    const ScrCommand full{smSFull, 0}, regular{smCRegular, 0}, config{smCRegular, kForeground};
    const ScrCommand preview{smSPMain, 0x1234}, password{smPasswordChange, kForeground};
    const struct {
        const char* line;
        std::optional<ScrCommand> expected;
    } cases[] = {
        {"saver.scr", regular},
        {"\"C:\\Program Files\\saver.scr\"", regular},
        {"saver.scr /s", full},
        {"saver.scr -S", full},
        {"saver.scr s", full},
        {"saver.scr -/s", full},
        {"saver.scr /save", full},
        {"\"C:\\a b\\saver.scr\"/s", full},
        {"saver.scr /c", config},
        {"saver.scr /c:1234", config}, // the number after c is not read
        {"saver.scr /x", std::nullopt},
        {"saver.scr -", std::nullopt},
        {"saver.scr //s", std::nullopt},      // one slash only
        {"saver.scr --s", std::nullopt},      // one minus only
        {"\"C:\\saver.scr /s", std::nullopt}, // no closing quote
        {"saver.scr\t/s", regular},           // only spaces end the program name
        {"saver.scr /p 4660", preview},
        {"saver.scr /P:4660", preview},
        {"saver.scr /l : :4660", preview},
        {"saver.scr /p 0x1234", preview}, // read as "%i" does
        {"saver.scr /p -5", ScrCommand{smSPMain, WindowFromInteger(-5)}},
        {"saver.scr /p 4661", std::nullopt}, // not a window
        {"saver.scr /p", std::nullopt},
        {"saver.scr /p x", std::nullopt},
        {"saver.scr /a", password},
        {"saver.scr /a:0x10", ScrCommand{smPasswordChange, 0x10}},
        {"saver.scr /a 4661", password},
        {"saver.scr /a junk", password},
    };
    for (const auto& c : cases) {
        FakeSystem fake;
        EXPECT_EQ(ParseCommandLine(c.line, fake.system()), c.expected) << c.line;
    }
}

TEST(KitCommandLine, ExternalPreviewOnlyForTheExactNames) {
    for (const char* name : {"scrprev", "SCRPREV"}) {
        FakeSystem fake;
        const auto got = ParseCommandLine(std::string("saver.scr /p ") + name, fake.system());
        EXPECT_EQ(got, (ScrCommand{smSPMain, kScrprevChild})) << name;
        EXPECT_EQ(fake.scrprev_asked, 1);
    }
    for (const char* line :
         {"saver.scr /p scrPrev", "saver.scr /p scrprev ", "saver.scr /s scrprev"}) {
        FakeSystem fake;
        const auto got = ParseCommandLine(line, fake.system());
        EXPECT_EQ(fake.scrprev_asked, 0) << line;
        EXPECT_TRUE(!got || got->mode == smSFull) << line;
    }
    FakeSystem failing;
    failing.scrprev_runs = false;
    EXPECT_FALSE(ParseCommandLine("saver.scr /p:scrprev", failing.system()));
    EXPECT_EQ(failing.scrprev_asked, 1);
}

TEST(KitCommandLine, ScansIntegersLikePercentI) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"0", 0},           {"  \t+42", 42},    {"-42", -42}, {"0XfF", 255},
        {"-0x10", -16},     {"017", 15},        {"08", 0},    {"0x", 0},
        {"4294967295", -1}, {"0x100000001", 1}, {"12ab", 12}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ScanInteger(text), value) << text;
    for (const char* text : {"", "-", "x12", " - 1"})
        EXPECT_EQ(ScanInteger(text), std::nullopt) << text;
}

} // namespace
} // namespace nimbrel
