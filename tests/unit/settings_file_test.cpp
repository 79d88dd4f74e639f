#include "settings/settings_file.h"

#include "file_size_limit.h"
#include "settings/random.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace nimbrel;
using namespace nimbrel_test;

namespace {

std::vector<std::string> read_all_lines(const std::string& text) {
    const Bytes data = bytes_of(text);
    Line_reader in(data);
    std::vector<std::string> lines;
    while (!in.at_end())
        lines.push_back(in.Read_line());
    return lines;
}

// Records what the settings file shows, in order.
struct Recording_box : ProgressBox {
    struct Bar : ProgressBar {
        std::vector<std::string>* log;
        void set_max(int max) override { log->push_back("max " + std::to_string(max)); }
        void set_position(int) override { ++positions; }
        int positions = 0;
    } bar;
    std::vector<std::string> log;
    Recording_box() { bar.log = &log; }
    void Think_show(const std::string& t) override { log.push_back("show " + t); }
    void Think_show_bar(const std::string& t) override { log.push_back("show_bar " + t); }
    ProgressBar& Think_bar() override { return bar; }
    void Think_hide() override { log.push_back("hide"); }
    void Think_alert(const std::string& t) override { log.push_back("alert " + t); }
};

const std::string Two_blocks = "{ First\r\n"
                               "max_polygons 0 200 50\r\n"
                               "         Screensaver\tTRUE\r\n"
                               "}\r\n"
                               "{Second\r\n"
                               "in_out FALSE\r\n"
                               "}\r\n";

struct Loaded {
    Startup_report report;
    Recording_box box;
    Nimbrel_settings_file file{report, box};
    bool exists = false;
};

void load_text(Loaded& l, const Temp_folder& t, const std::string& text,
               const std::string& name = "s.txt") {
    write_text(t.file(name), text);
    l.exists = l.file.Load(t.file(name), false);
}

const std::string Corrupt_message =
    "The Nimbrel settings file appears to have been corrupted\r\n\r\n";

} // namespace

TEST(LineReader, LineEndsLengthLimitAndNul) {
    const std::string long_line(5000, 'x');
    const std::string full_line(4096, 'y');
    const struct {
        const char* what;
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"CR LF", "a\r\nb\r\n", {"a", "b"}},
        {"LF", "a\nb\n", {"a", "b"}},
        {"lone CR", "a\rb", {"a", "b"}},
        {"LF CR is two ends", "a\n\rb", {"a", "", "b"}},
        {"CR CR", "a\r\rb", {"a", "", "b"}},
        {"no end at the end", "a\r\nlast", {"a", "last"}},
        {"5000 characters", long_line + "\r\n", {std::string(4096, 'x'), std::string(904, 'x')}},
        {"exactly 4096", full_line + "\r\nz", {full_line, "z"}},
        {"NUL drops the rest", std::string("ab\0cd\r\nef", 9), {"ab", "ef"}},
        {"NUL first", std::string("\0x\nq", 4), {"", "q"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(read_all_lines(c.text), c.lines) << c.what;

    const Bytes empty;
    Line_reader at_end(empty);
    EXPECT_EQ(at_end.Read_line(), "");
}

TEST(SettingsFile, ParsesBlocks) {
    Temp_folder t;
    Loaded l;
    load_text(l, t, Two_blocks);
    EXPECT_TRUE(l.exists);
    EXPECT_EQ(l.report.Error_set, 0);
    ASSERT_EQ(l.file.Count(), 2);
    EXPECT_EQ(l.file.Setting(0).Lines, (std::vector<std::string>{"First", "max_polygons 0 200 50",
                                                                 "         Screensaver\tTRUE"}));
    EXPECT_EQ(l.file.Setting(1).Get_name(), "Second");
    EXPECT_TRUE(l.file.Setting(0).Is_tagged());
    EXPECT_FALSE(l.file.Setting(1).Is_tagged());
    EXPECT_FALSE(l.file.Modified());
    EXPECT_TRUE(l.box.log.empty());
}

TEST(SettingsFile, BlockShapes) {
    const struct {
        const char* what;
        std::string text;
        bool corrupt;
        std::vector<std::string> first; // lines of the first setting when not corrupt
    } cases[] = {
        {"spaces around the name",
         "{   Name with  spaces \t \r\nx 1\r\n}\r\n",
         false,
         {"Name with  spaces", "x 1"}},
        {"no space after the brace", "{Tight\n}", false, {"Tight"}},
        {"text after the closing brace", "{ A\r\n} ignored\r\n", false, {"A"}},
        {"empty lines inside are dropped", "{ A\r\n\r\nx\r\n\r\n}\r\n", false, {"A", "x"}},
        {"empty name stays the name",
         "{\r\nmax_polygons 1 2 1\r\n}\r\n",
         false,
         {"", "max_polygons 1 2 1"}},
        {"lines kept as stored",
         "{ A\r\n  \tin_out   TRUE  \r\n}",
         false,
         {"A", "  \tin_out   TRUE  "}},
        {"empty file", "", true, {}},
        {"extra line end after the last block", Two_blocks + "\r\n", true, {}},
        {"blank line between blocks", "{ A\r\n}\r\n\r\n{ B\r\n}\r\n", true, {}},
        {"bad second block drops the first", "{ A\r\n}\r\nB\r\n}\r\n", true, {}},
        {"unclosed block", "{ A\r\nx 1\r\n", true, {}},
    };
    for (const auto& c : cases) {
        Temp_folder t;
        Loaded l;
        load_text(l, t, c.text);
        EXPECT_TRUE(l.exists) << c.what;
        if (c.corrupt) {
            EXPECT_EQ(l.file.Count(), 0) << c.what;
            EXPECT_TRUE(l.report.has(err_settings_corrupt)) << c.what;
            EXPECT_EQ(l.report.Error_text, Corrupt_message) << c.what;
        } else {
            ASSERT_GE(l.file.Count(), 1) << c.what;
            EXPECT_EQ(l.file.Setting(0).Lines, c.first) << c.what;
            EXPECT_EQ(l.report.Error_set, 0) << c.what;
        }
    }
}

TEST(SettingsFile, MissingFileIsReported) {
    Temp_folder t;
    Loaded l;
    const std::string path = t.file("none.cmp");
    EXPECT_FALSE(l.file.Load(path, true));
    EXPECT_EQ(l.file.Count(), 0);
    EXPECT_EQ(l.report.Error_set, 1u << err_no_settings_file);
    EXPECT_EQ(l.report.Error_text, "Nimbrel could not find the settings file " + path + "\r\n\r\n");
    EXPECT_EQ(l.file.Random_index(false), -1);
    EXPECT_EQ(l.file.Random_index(true), -1);
}

TEST(SettingTag, LineFormatAndPlacement) {
    EXPECT_EQ(tag_line(true), "         Screensaver\tTRUE");
    EXPECT_EQ(tag_line(false), "         Screensaver\tFALSE");

    const struct {
        const char* what;
        std::vector<std::string> lines;
        bool tagged;
        std::vector<std::string> after;
    } cases[] = {
        {"appended when missing", {"A", "x 1"}, true, {"A", "x 1", tag_line(true)}},
        {"replaces the first tag line",
         {"A", "Screensaver FALSE", "y", "Screensaver TRUE"},
         true,
         {"A", tag_line(true), "y", "Screensaver TRUE"}},
        {"name containing the word is not the tag",
         {"Screensaver special"},
         false,
         {"Screensaver special", tag_line(false)}},
    };
    for (const auto& c : cases) {
        Nimbrel_setting s;
        s.Lines = c.lines;
        s.Set_tag(c.tagged);
        EXPECT_EQ(s.Lines, c.after) << c.what;
        EXPECT_EQ(s.Is_tagged(), c.tagged) << c.what;
    }

    Nimbrel_setting s;
    s.Lines = {"Screensaver TRUE"}; // only the name says so
    EXPECT_FALSE(s.Is_tagged());
    s.Lines = {"A", "Screensaver\ttrue"}; // case counts
    EXPECT_FALSE(s.Is_tagged());
}

TEST(SettingsFile, WrittenBlocksReadBackAlike) {
    // Opening lines at the length limit: the name must come back whole, not spill its last
    // characters into a parameter line.
    const std::string longest(Max_line_length - 1, 'n');
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"longest name", "{" + longest + "\r\nx 1\r\n}\r\n"},
        {"longest name after spaces", "{" + longest.substr(0, 4093) + "  \r\n}\r\n"},
        {"name one shorter", "{" + longest.substr(1) + "\r\n}\r\n"},
        {"longest parameter line", "{ A\r\n" + std::string(Max_line_length, 'p') + "\r\n}\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Startup_report report;
        Nimbrel_settings_file file(report);
        file.Load_contents(bytes_of(c.text), false);
        ASSERT_EQ(file.Count(), 1);
        Bytes written;
        file.Setting(0).Write_to(written);
        Nimbrel_settings_file again(report);
        again.Load_contents(written, false);
        ASSERT_EQ(again.Count(), 1);
        EXPECT_EQ(again.Setting(0).Lines, file.Setting(0).Lines);
        EXPECT_EQ(report.Error_set, 0);
    }
}

TEST(SettingsFile, SavesChangedTagsOnDestruction) {
    Temp_folder t;
    const std::string path = t.file("s.txt");
    write_text(path, "{  First  \nmax_polygons 0 200 50\n\nScreensaver TRUE\n}\n{ Second\n}");
    {
        Startup_report report;
        Nimbrel_settings_file file(report);
        ASSERT_TRUE(file.Load(path, false));
        file.Set_tag(0, false);
        file.Set_tag(1, true);
        file.Set_tag(7, true); // no such setting: ignored
        EXPECT_TRUE(file.Modified());
    }
    const std::string saved = read_text(path);
    EXPECT_EQ(saved, "{ First\r\n"
                     "max_polygons 0 200 50\r\n"
                     "         Screensaver\tFALSE\r\n"
                     "}\r\n"
                     "{ Second\r\n"
                     "         Screensaver\tTRUE\r\n"
                     "}\r\n");
    EXPECT_EQ(t.entries(), 1u); // no temporary file left behind

    {
        Startup_report report;
        Nimbrel_settings_file again(report);
        ASSERT_TRUE(again.Load(path, false));
        EXPECT_FALSE(again.Setting(0).Is_tagged());
        EXPECT_TRUE(again.Setting(1).Is_tagged());
        again.Set_tag(0, true);
        ASSERT_TRUE(again.Save());
        EXPECT_FALSE(again.Modified());
        write_text(path, saved); // saved already: destruction must not write again
    }
    EXPECT_EQ(read_text(path), saved);
}

TEST(SettingsFile, FailedSaveKeepsTheOldFileAndIsReported) {
    std::string big = "{ Big\r\n";
    for (int i = 0; i < 200; ++i)
        big += "max_polygons 0 200 " + std::to_string(i * 7919 % 1000) + "\r\n";
    big += "}\r\n";
    const struct {
        const char* what;
        const char* name;
        Bytes contents;
        bool removed_after_load; // no old file to keep: nothing may be left instead
    } cases[] = {
        {"plain", "s.txt", bytes_of(big), false},
        {"packed", "s.cmp", lzh_pack(bytes_of(big)), false},
        {"plain, old file gone", "s.txt", bytes_of(big), true},
        {"packed, old file gone", "s.cmp", lzh_pack(bytes_of(big)), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_GT(c.contents.size(), 400u);
        Temp_folder t;
        const std::string path = t.file(c.name);
        ASSERT_TRUE(write_file_atomically(path, c.contents));
        const auto unchanged = [&] {
            Bytes now;
            const bool exists = read_file(path, now);
            EXPECT_EQ(exists, !c.removed_after_load);
            if (exists) {
                EXPECT_TRUE(now == c.contents);
            }
            EXPECT_EQ(t.entries(), c.removed_after_load ? 0u : 1u); // no temporary file left
        };

        Startup_report report;
        Recording_box box;
        {
            File_size_limit limit(400); // outlives the collection: its destruction fails too
            Nimbrel_settings_file file(report, box);
            ASSERT_TRUE(file.Load(path, false));
            ASSERT_EQ(file.Count(), 1);
            if (c.removed_after_load) std::filesystem::remove(path);
            file.Set_tag(0, true);
            box.log.clear();
            std::string error;
            EXPECT_FALSE(file.Save(&error)); // the writing fails half-way
            EXPECT_NE(error.find(path), std::string::npos) << error;
            EXPECT_TRUE(file.Modified());
            unchanged();
            // Packing shows its box and hides it again; the failure itself is the caller's.
            const std::size_t text_size = big.size() + tag_line(true).size() + 2;
            if (is_packed_settings_name(path))
                EXPECT_EQ(box.log, (std::vector<std::string>{
                                       "max " + std::to_string(text_size / 1024),
                                       "show_bar Compressing Nimbrel settings data", "hide"}));
            else
                EXPECT_TRUE(box.log.empty());
            box.log.clear();
        }
        unchanged();
        // The failure at destruction is shown, after any packing box.
        ASSERT_FALSE(box.log.empty());
        EXPECT_EQ(box.log.back(), "alert Nimbrel could not save the settings file " + path);
        EXPECT_EQ(report.Error_set, 0);
    }
}

TEST(SettingsFile, RandomIndex) {
    Temp_folder t;
    std::string text;
    for (int i = 0; i < 10; ++i)
        text +=
            "{ S" + std::to_string(i) + "\r\n" + (i == 7 ? tag_line(true) + "\r\n" : "") + "}\r\n";
    Loaded l;
    load_text(l, t, text);
    ASSERT_EQ(l.file.Count(), 10);

    set_random_seed(99);
    std::vector<int> seen(10, 0);
    for (int i = 0; i < 2000; ++i)
        ++seen.at(static_cast<size_t>(l.file.Random_index(false)));
    for (int n : seen)
        EXPECT_GT(n, 100);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(l.file.Random_index(true), 7);

    // No tagged setting: after 5001 misses one more draw, whatever its tag.
    l.file.Set_tag(7, false);
    set_random_seed(5);
    const int picked = l.file.Random_index(true);
    EXPECT_GE(picked, 0);
    EXPECT_LT(picked, 10);
    set_random_seed(5);
    for (int i = 0; i < 5001; ++i)
        random(10);
    EXPECT_EQ(static_cast<std::uint32_t>(picked), random(10));
}

TEST(SettingsFile, PackedOnlyForLowerCaseCmp) {
    const struct {
        const char* path;
        bool packed;
    } cases[] = {
        {"a/Nimbrel_32_Settings.cmp", true},
        {"a\\b.cmp", true},
        {"b.CMP", false},
        {"b.cmpx", false},
        {"dir.cmp/file", false},
        {"b.txt", false},
        {"cmp", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(is_packed_settings_name(c.path), c.packed) << c.path;

    // Capitals: read as the text itself, not unpacked.
    Temp_folder t;
    Loaded l;
    load_text(l, t, Two_blocks, "s.CMP");
    EXPECT_EQ(l.file.Count(), 2);
}

TEST(SettingsFile, PackedRoundTripShowsProgress) {
    Temp_folder t;
    const std::string path = t.file("s.cmp");
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += "{ Setting " + std::to_string(i) + "\r\nmax_polygons 0 200 " +
                std::to_string(i % 200) + "\r\n}\r\n";
    ASSERT_TRUE(write_file_atomically(path, lzh_pack(bytes_of(text))));

    Startup_report report;
    Recording_box box;
    {
        Nimbrel_settings_file file(report, box);
        ASSERT_TRUE(file.Load(path, true));
        ASSERT_EQ(file.Count(), 300);
        EXPECT_EQ(box.log, std::vector<std::string>{"show Decompressing Nimbrel settings data"});
        box.log.clear();
        file.Set_tag(3, true);
        ASSERT_TRUE(file.Save());
    }
    const std::size_t size = text.size() + std::string("         Screensaver\tTRUE\r\n").size();
    EXPECT_EQ(box.log,
              (std::vector<std::string>{"max " + std::to_string(size / 1024),
                                        "show_bar Compressing Nimbrel settings data", "hide"}));
    EXPECT_GT(box.bar.positions, 0);

    Bytes packed;
    ASSERT_TRUE(read_file(path, packed));
    const std::string unpacked = text_of(lzh_unpack(packed));
    EXPECT_EQ(unpacked.size(), size);
    EXPECT_NE(unpacked.find("{ Setting 3\r\nmax_polygons 0 200 3\r\n" + tag_line(true) + "\r\n}"),
              std::string::npos);
    EXPECT_EQ(report.Error_set, 0);
}

TEST(SettingsFile, DamagedPackedFileIsCorrupt) {
    Temp_folder t;
    Loaded l;
    // Claims a million bytes from two bytes of bits.
    write_text(t.file("s.cmp"), std::string("\x40\x42\x0f\x00\xff\xff", 6));
    EXPECT_TRUE(l.file.Load(t.file("s.cmp"), false));
    EXPECT_EQ(l.file.Count(), 0);
    EXPECT_TRUE(l.report.has(err_settings_corrupt));
}
