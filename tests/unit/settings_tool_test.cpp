#include "tools/settings_tool.h"

#include "settings/lzh.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace nimbrel;
using namespace nimbrel_test;

namespace {

struct Tool_run {
    int code;
    std::string out, err;
};

Tool_run run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = run_settings_tool(args, out, err);
    return {code, out.str(), err.str()};
}

const std::string Collection =
    "{ Plain\r\nmax_polygons 0 200 50\r\n}\r\n{ Tagged one\r\n"
    "         Screensaver\tTRUE\r\n}\r\n{ 7\r\nperspective 60 50 55\r\n}\r\n";

} // namespace

TEST(SettingsTool, UsageAndDataErrors) {
    Temp_folder t;
    write_text(t.file("s.txt"), Collection);
    write_text(t.file("corrupt.txt"), Collection + "\r\n");
    write_text(t.file("bad.cmp"), std::string("\x40\x42\x0f\x00\xff", 5));
    const struct {
        std::vector<std::string> args;
        int code;
    } cases[] = {
        {{}, 2},
        {{"frobnicate", t.file("s.txt")}, 2},
        {{"list"}, 2},
        {{"list", t.file("s.txt"), "extra"}, 2},
        {{"tag", t.file("s.txt"), "0", "maybe"}, 2},
        {{"show", t.file("s.txt"), "3"}, 2},      // index out of range
        {{"show", t.file("s.txt"), "Nobody"}, 2}, // no such name
        {{"list", t.file("absent.txt")}, 1},
        {{"list", t.file("corrupt.txt")}, 1},
        {{"unpack", t.file("bad.cmp"), t.file("out.txt")}, 1},
        {{"pack", t.file("absent.txt"), t.file("out.cmp")}, 1},
        {{"check", t.file("s.txt")}, 1},
    };
    for (const auto& c : cases) {
        const Tool_run r = run(c.args);
        EXPECT_EQ(r.code, c.code) << &c - cases;
        // One line, naming the program.
        EXPECT_EQ(r.err.rfind("nimbrel-settings: ", 0), 0u) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    }
    EXPECT_FALSE(file_exists(t.file("out.txt"))); // no partial output
    EXPECT_FALSE(file_exists(t.file("out.cmp")));
}

TEST(SettingsTool, ListShowTagUnpackAndPack) {
    Temp_folder t;
    const std::string path = t.file("s.cmp");
    ASSERT_TRUE(write_file_atomically(path, lzh_pack(bytes_of(Collection))));

    Tool_run r = run({"list", path});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "0   Plain\n1 * Tagged one\n2   7\n");

    // A number is an index; the setting named "7" is reached by its index.
    EXPECT_EQ(run({"show", path, "Plain"}).out, "Plain\nmax_polygons 0 200 50\n");
    EXPECT_EQ(run({"show", path, "2"}).out, "7\nperspective 60 50 55\n");

    EXPECT_EQ(run({"tag", path, "Plain", "on"}).code, 0);
    EXPECT_EQ(run({"tag", path, "1", "off"}).code, 0);
    EXPECT_EQ(run({"list", path}).out, "0 * Plain\n1   Tagged one\n2   7\n");
    EXPECT_EQ(t.entries(), 1u);

    ASSERT_EQ(run({"unpack", path, t.file("s.txt")}).code, 0);
    ASSERT_EQ(run({"pack", t.file("s.txt"), t.file("again.cmp")}).code, 0);
    EXPECT_EQ(read_text(t.file("again.cmp")), read_text(path));
    EXPECT_EQ(read_text(t.file("s.txt")).rfind("{ Plain\r\n", 0), 0u);
}

TEST(SettingsTool, CheckNamesEveryBadSettingAndLine) {
    Temp_folder t;
    write_text(t.file("ok.txt"), "{ Fine\r\nmax_polygons 0 200 50\r\npalette_list x.pal\r\n}\r\n");
    EXPECT_EQ(run({"check", t.file("ok.txt")}).code, 0);

    write_text(t.file("s.txt"), Collection + "{ Short\r\nin_out TRUE\r\nvanishing 1 2\r\n}\r\n");
    const Tool_run r = run({"check", t.file("s.txt")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("setting 2 \"7\", line 1: "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("perspective 60 50 55 (\"Perspective\")\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("vanishing 1 2 (\"Vanishing point\")\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("setting 3 \"Short\", line 2: "), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("Plain"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("2 settings with problems"), std::string::npos) << r.err;
}
