#include "saverkit/command_line.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

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
    // Only spaces end the program name; one slash or minus only; the number after c is not read;
    // the number after p is read as "%i" does and must be a window; after a, any window or the
    // foreground one.
    const struct {
        std::optional<ScrCommand> expected;
        std::vector<const char*> lines;
    } groups[] = {
        {ScrCommand{smCRegular, 0},
         {"saver.scr", "\"C:\\Program Files\\saver.scr\"", "saver.scr\t/s"}},
        {ScrCommand{smSFull, 0},
         {"saver.scr /s", "saver.scr -S", "saver.scr s", "saver.scr -/s", "saver.scr /save",
          "\"C:\\a b\\saver.scr\"/s"}},
        {ScrCommand{smCRegular, kForeground}, {"saver.scr /c", "saver.scr /c:1234"}},
        {std::nullopt,
         {"saver.scr /x", "saver.scr -", "saver.scr //s", "saver.scr --s", "\"C:\\saver.scr /s",
          "saver.scr /p 4661", "saver.scr /p", "saver.scr /p x"}},
        {ScrCommand{smSPMain, 0x1234},
         {"saver.scr /p 4660", "saver.scr /P:4660", "saver.scr /l : :4660", "saver.scr /p 0x1234"}},
        {ScrCommand{smSPMain, WindowFromInteger(-5)}, {"saver.scr /p -5"}},
        {ScrCommand{smPasswordChange, kForeground},
         {"saver.scr /a", "saver.scr /a 4661", "saver.scr /a junk"}},
        {ScrCommand{smPasswordChange, 0x10}, {"saver.scr /a:0x10"}},
    };
    for (const auto& g : groups)
        for (const char* line : g.lines) {
            FakeSystem fake;
            EXPECT_EQ(ParseCommandLine(line, fake.system()), g.expected) << line;
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
