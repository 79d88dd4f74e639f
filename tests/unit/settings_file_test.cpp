#include "settings/settings_file.h"

#include "file_size_limit.h"
#include "settings/random.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace nimbrel;
using namespace nimbrel_test;

namespace {

using Log = std::vector<std::string>;

// Records what the settings file shows, in order.
struct Recording_box : ProgressBox {
    struct Bar : ProgressBar {
        Log* log;
        int positions = 0;
        void set_max(int max) override { log->push_back("max " + std::to_string(max)); }
        void set_position(int) override { ++positions; }
    } bar;
    Log log;
    Recording_box() { bar.log = &log; }
    void Think_show(const std::string& t) override { log.push_back("show " + t); }
    void Think_show_bar(const std::string& t) override { log.push_back("show_bar " + t); }
    ProgressBar& Think_bar() override { return bar; }
    void Think_hide() override { log.push_back("hide"); }
    void Think_alert(const std::string& t) override { log.push_back("alert " + t); }
};

const std::string Two_blocks = "{ First\r\nmax_polygons 0 200 50\r\n         Screensaver\tTRUE\r\n}"
                               "\r\n{Second\r\nin_out FALSE\r\n}\r\n";

struct Loaded {
    Startup_report report;
    Recording_box box;
    Nimbrel_settings_file file{report, box};
    bool exists = false;
    Loaded(const Temp_folder& t, const std::string& text, const std::string& name = "s.txt") {
        write_text(t.file(name), text);
        exists = file.Load(t.file(name), false);
    }
};

// The box a packed save of `text_size` bytes shows.
Log packing_box(std::size_t text_size) {
    return {"max " + std::to_string(text_size / 1024), "show_bar Compressing Nimbrel settings data",
            "hide"};
}

std::string joined(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& line : lines)
        s += line + "|";
    return s;
}

} // namespace

TEST(LineReader, LineEndsLengthLimitAndNul) {
    const struct {
        const char* what;
        std::string text, lines; // lines joined, each followed by '|'
    } cases[] = {
        {"CR LF", "a\r\nb\r\n", "a|b|"},
        {"LF", "a\nb\n", "a|b|"},
        {"lone CR", "a\rb", "a|b|"},
        {"LF CR is two ends", "a\n\rb", "a||b|"},
        {"no end at the end", "a\r\nlast", "a|last|"},
        {"5000 characters", std::string(5000, 'x') + "\r\n",
         std::string(4096, 'x') + "|" + std::string(904, 'x') + "|"},
        {"exactly 4096, then its line end", std::string(4096, 'y') + "\r\nz",
         std::string(4096, 'y') + "|z|"},
        {"NUL drops the rest", std::string("ab\0cd\r\nef", 9), "ab|ef|"},
        {"NUL first", std::string("\0x\nq", 4), "|q|"},
        {"nothing", "", ""},
    };
    for (const auto& c : cases) {
        const Bytes data = bytes_of(c.text);
        Line_reader in(data);
        std::string lines;
        while (!in.at_end())
            lines += in.Read_line() + "|";
        EXPECT_EQ(lines, c.lines) << c.what;
        EXPECT_EQ(in.Read_line(), "") << c.what; // past the end
    }
}

TEST(SettingsFile, BlockShapes) {
    const struct {
        const char* what;
        std::string text;
        const char* first; // lines of the first setting joined; nullptr: corrupt
    } cases[] = {
        {"two blocks", Two_blocks, "First|max_polygons 0 200 50|         Screensaver\tTRUE|"},
        {"spaces around the name", "{   Name with  spaces \t \r\nx 1\r\n}\r\n",
         "Name with  spaces|x 1|"},
        {"no space after the brace", "{Tight\n}", "Tight|"},
        {"text after the closing brace", "{ A\r\n} ignored\r\n", "A|"},
        {"empty lines inside are dropped", "{ A\r\n\r\nx\r\n\r\n}\r\n", "A|x|"},
        {"empty name stays the name", "{\r\nmax_polygons 1 2 1\r\n}\r\n", "|max_polygons 1 2 1|"},
        {"lines kept as stored", "{ A\r\n  \tin_out   TRUE  \r\n}", "A|  \tin_out   TRUE  |"},
        {"empty file", "", nullptr},
        {"extra line end after the last block", Two_blocks + "\r\n", nullptr},
        {"blank line between blocks", "{ A\r\n}\r\n\r\n{ B\r\n}\r\n", nullptr},
        {"bad second block drops the first", "{ A\r\n}\r\nB\r\n}\r\n", nullptr},
        {"unclosed block", "{ A\r\nx 1\r\n", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Temp_folder t;
        Loaded l(t, c.text);
        EXPECT_TRUE(l.exists);
        EXPECT_FALSE(l.file.Modified());
        EXPECT_TRUE(l.box.log.empty());
        if (!c.first) {
            EXPECT_EQ(l.file.Count(), 0);
            EXPECT_EQ(l.report.Error_set, 1u << err_settings_corrupt);
            EXPECT_EQ(l.report.Error_text,
                      "The Nimbrel settings file appears to have been corrupted\r\n\r\n");
            continue;
        }
        ASSERT_GE(l.file.Count(), 1);
        EXPECT_EQ(joined(l.file.Setting(0).Lines), c.first);
        EXPECT_EQ(l.report.Error_set, 0);
    }
    Temp_folder t;
    Loaded two(t, Two_blocks, "s.CMP"); // capitals: the text itself, not packed
    ASSERT_EQ(two.file.Count(), 2);
    EXPECT_EQ(two.file.Setting(1).Get_name(), "Second");
    EXPECT_TRUE(two.file.Setting(0).Is_tagged());
    EXPECT_FALSE(two.file.Setting(1).Is_tagged());
}

TEST(SettingTag, Placement) {
    const std::string pal = "        palette_list\tMyScreensaver_TRUE.pal";
    const struct {
        const char* what;
        std::vector<std::string> lines;
        bool tagged_before, tagged;
        int tag_at; // the line that becomes the tag line; -1: appended
    } cases[] = {
        {"missing", {"A", "x 1"}, false, true, -1},
        {"the first one", {"A", "Screensaver FALSE", "y", "Screensaver TRUE"}, false, true, 1},
        {"a name holding the word", {"Screensaver special"}, false, false, -1},
        {"a palette named after it", {"A", pal}, false, true, -1},
        {"below a palette line", {"A", pal, "  Screensaver\tFALSE"}, false, true, 2},
        {"after an older one", {"A", "Screensaver=TRUE", "Screensaver FALSE"}, false, true, 2},
        // Files of older editors: a line holding the word is the tag line when there is no
        // other, unless it is a parameter line or says neither TRUE nor FALSE.
        {"older spelling", {"A", "Screensaver=TRUE"}, true, false, 1},
        {"older spelling untagged", {"A", "[Screensaver] FALSE"}, false, true, 1},
        {"a remark", {"A", "; Screensaver by Anne"}, false, true, -1},
        {"a parameter line", {"A", "UsePalette TRUE Screensaver"}, false, false, -1},
        {"case counts", {"A", "Screensaver\ttrue"}, false, false, 1},
    };
    for (const auto& c : cases) {
        Nimbrel_setting s;
        s.Lines = c.lines;
        EXPECT_EQ(s.Is_tagged(), c.tagged_before) << c.what;
        s.Set_tag(c.tagged);
        std::vector<std::string> after = c.lines;
        if (c.tag_at < 0)
            after.push_back(tag_line(c.tagged));
        else
            after[static_cast<std::size_t>(c.tag_at)] = tag_line(c.tagged);
        EXPECT_EQ(s.Lines, after) << c.what;
        EXPECT_EQ(s.Is_tagged(), c.tagged) << c.what;
    }
}

TEST(SettingsFile, WrittenBlocksReadBackAlike) {
    // Opening lines at the length limit: the name must come back whole, not spill its last
    // characters into a parameter line.
    const std::string longest(Max_line_length - 1, 'n');
    for (const std::string& text :
         {"{" + longest + "\r\nx 1\r\n}\r\n", "{" + longest.substr(0, 4093) + "  \r\n}\r\n",
          "{" + longest.substr(1) + "\r\n}\r\n",
          "{ A\r\n" + std::string(Max_line_length, 'p') + "\r\n}\r\n"}) {
        SCOPED_TRACE(text.size());
        Startup_report report;
        Nimbrel_settings_file file(report), again(report);
        file.Load_contents(bytes_of(text), false);
        ASSERT_EQ(file.Count(), 1);
        Bytes written;
        file.Setting(0).Write_to(written);
        again.Load_contents(written, false);
        ASSERT_EQ(again.Count(), 1);
        EXPECT_EQ(again.Setting(0).Lines, file.Setting(0).Lines);
        EXPECT_EQ(report.Error_set, 0);
    }
}

TEST(SettingsFile, SavesChangedTagsOnDestruction) {
    const std::string filler(3000, 'p'); // enough for the packing bar to move
    const std::string text =
        "{  First  \nmax_polygons 0 200 50\n\nScreensaver TRUE\n}\n{ Second\n" + filler + "\n}";
    const std::string saved = "{ First\r\nmax_polygons 0 200 50\r\n" + tag_line(false) +
                              "\r\n}\r\n{ Second\r\n" + filler + "\r\n" + tag_line(true) +
                              "\r\n}\r\n";
    for (const char* name : {"s.txt", "s.cmp"}) {
        SCOPED_TRACE(name);
        Temp_folder t;
        const std::string path = t.file(name);
        const bool packed = is_packed_settings_name(path);
        ASSERT_TRUE(
            write_file_atomically(path, packed ? lzh_pack(bytes_of(text)) : bytes_of(text)));
        const auto contents = [&] {
            Bytes b;
            read_file(path, b);
            return text_of(packed ? lzh_unpack(b) : b);
        };
        Startup_report report;
        Recording_box box;
        {
            Nimbrel_settings_file file(report, box);
            ASSERT_TRUE(file.Load(path, true));
            EXPECT_EQ(box.log, packed ? Log{"show Decompressing Nimbrel settings data"} : Log{});
            box.log.clear();
            file.Set_tag(0, false);
            file.Set_tag(1, true);
            file.Set_tag(7, true); // no such setting: ignored
            EXPECT_TRUE(file.Modified());
        }
        EXPECT_EQ(contents(), saved);
        EXPECT_EQ(box.log, packed ? packing_box(saved.size()) : Log{});
        EXPECT_EQ(box.bar.positions > 0, packed);
        EXPECT_EQ(t.entries(), 1u); // no temporary file left behind
        EXPECT_EQ(report.Error_set, 0);
        {
            Nimbrel_settings_file again(report, box);
            ASSERT_TRUE(again.Load(path, false));
            again.Set_tag(0, true);
            ASSERT_TRUE(again.Save());
            EXPECT_FALSE(again.Modified());
            write_text(path, "unchanged"); // saved already: destruction must not write again
        }
        EXPECT_EQ(read_text(path), "unchanged");
    }
}

// The configuration dialog holds its copy while the editor rewrites the file: a tag switched
// afterwards must not bring the old copy back.
TEST(SettingsFile, TagsGoOntoTheVersionAnotherProgramSaved) {
    const std::string newer = "{ New\r\nin_out TRUE\r\n}\r\n{ Second\r\nin_out TRUE\r\n}\r\n"
                              "{ First\r\nmax_polygons 0 200 99\r\n}\r\n";
    const struct {
        const char* what;
        std::string written_meanwhile; // empty: nobody wrote
        bool saved;
        std::string expected;
    } cases[] = {
        {"nobody wrote", "", true,
         "{ First\r\nmax_polygons 0 200 50\r\n" + tag_line(false) +
             "\r\n}\r\n{ Second\r\nin_out FALSE\r\n" + tag_line(true) + "\r\n}\r\n"},
        {"the editor saved", newer, true,
         "{ New\r\nin_out TRUE\r\n}\r\n{ Second\r\nin_out TRUE\r\n" + tag_line(true) +
             "\r\n}\r\n{ First\r\nmax_polygons 0 200 99\r\n" + tag_line(false) + "\r\n}\r\n"},
        {"unreadable now", "{ broken", false, "{ broken"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Temp_folder t;
        Loaded loaded(t, Two_blocks);
        loaded.file.Set_tag(0, false);
        loaded.file.Set_tag(1, true);
        if (!c.written_meanwhile.empty()) write_text(t.file("s.txt"), c.written_meanwhile);
        EXPECT_EQ(loaded.file.Save(), c.saved);
        EXPECT_EQ(read_text(t.file("s.txt")), c.expected);
        EXPECT_EQ(t.entries(), 1u);
    }
}

TEST(SettingsFile, RefreshTakesTheVersionAnotherProgramSaved) {
    const struct {
        const char* what;
        std::string written_meanwhile; // empty: nobody wrote
        bool tag_first;                // a tag switched here before
        bool refreshed;
        std::string names;
    } cases[] = {
        {"nobody wrote", "", false, false, "First|Second|"},
        {"the editor saved", "{ New\r\n}\r\n{ First\r\n}\r\n", false, true, "New|First|"},
        {"and a tag was switched", "{ New\r\n}\r\n{ First\r\n}\r\n", true, true, "New|First|"},
        {"unreadable now", "{ broken", false, false, "First|Second|"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Temp_folder t;
        Loaded loaded(t, Two_blocks);
        if (c.tag_first) loaded.file.Set_tag(0, false);
        if (!c.written_meanwhile.empty()) write_text(t.file("s.txt"), c.written_meanwhile);
        EXPECT_EQ(loaded.file.Refresh(), c.refreshed);
        std::string names;
        for (int i = 0; i < loaded.file.Count(); ++i)
            names += loaded.file.Setting(i).Get_name() + "|";
        EXPECT_EQ(names, c.names);
        EXPECT_FALSE(loaded.file.Refresh()) << "the same version twice";
        if (c.tag_first) { // saved at once, with the tag on the new version
            EXPECT_FALSE(loaded.file.Modified());
            EXPECT_EQ(read_text(t.file("s.txt")),
                      "{ New\r\n}\r\n{ First\r\n" + tag_line(false) + "\r\n}\r\n");
        }
    }
}

TEST(SettingsFile, FailedSaveKeepsTheOldFileAndIsReported) {
    std::string big = "{ Big\r\n";
    for (int i = 0; i < 200; ++i)
        big += "max_polygons 0 200 " + std::to_string(i * 7919 % 1000) + "\r\n";
    big += "}\r\n";
    const struct {
        const char* name;
        Bytes contents;
        bool removed_after_load; // no old file to keep: nothing may be left instead
    } cases[] = {
        {"s.txt", bytes_of(big), false},
        {"s.cmp", lzh_pack(bytes_of(big)), false},
        {"s.txt", bytes_of(big), true},
        {"s.cmp", lzh_pack(bytes_of(big)), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.removed_after_load ? ", old file gone" : ""));
        ASSERT_GT(c.contents.size(), 400u);
        Temp_folder t;
        const std::string path = t.file(c.name);
        ASSERT_TRUE(write_file_atomically(path, c.contents));
        const auto unchanged = [&] {
            Bytes now;
            EXPECT_EQ(read_file(path, now), !c.removed_after_load);
            EXPECT_TRUE(c.removed_after_load || now == c.contents);
            EXPECT_EQ(t.entries(), c.removed_after_load ? 0u : 1u); // no temporary file left
        };

        Startup_report report;
        Recording_box box;
        {
            File_size_limit limit(400); // outlives the collection: its destruction fails too
            Nimbrel_settings_file file(report, box);
            ASSERT_TRUE(file.Load(path, false));
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
            EXPECT_EQ(box.log, is_packed_settings_name(path) ? packing_box(text_size) : Log{});
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
    std::string text;
    for (int i = 0; i < 10; ++i)
        text +=
            "{ S" + std::to_string(i) + "\r\n" + (i == 7 ? tag_line(true) + "\r\n" : "") + "}\r\n";
    Temp_folder t;
    Loaded l(t, text);
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
    set_random_seed(5);
    for (int i = 0; i < 5001; ++i)
        random(10);
    EXPECT_EQ(static_cast<std::uint32_t>(picked), random(10));
}

TEST(SettingsFile, PackedOnlyForLowerCaseCmp) {
    for (const char* path : {"a/Nimbrel_32_Settings.cmp", "a\\b.cmp"})
        EXPECT_TRUE(is_packed_settings_name(path)) << path;
    for (const char* path : {"b.CMP", "b.cmpx", "dir.cmp/file", "b.txt", "cmp"})
        EXPECT_FALSE(is_packed_settings_name(path)) << path;
}
