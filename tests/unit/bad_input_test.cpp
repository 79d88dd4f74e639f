// Hostile and damaged input from outside: every case ends in a clear error or a sound result,
// and nothing on disk changes because of it.
#include "lzh_sample_text.h"
#include "settings/ini_bag.h"
#include "settings/lzh.h"
#include "settings/options.h"
#include "settings/settings_file.h"
#include "settings/settings_form.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

using namespace nimbrel;
using namespace nimbrel_test;
using nimbrel::testing::random_bytes;

namespace {

Bytes with_length(std::uint32_t length, Bytes rest) {
    for (int i = 3; i >= 0; --i)
        rest.insert(rest.begin(), static_cast<std::uint8_t>(length >> (8 * i)));
    return rest;
}

} // namespace

TEST(BadInput, DamagedSettingsFilesAreReportedAndLeftAlone) {
    const Bytes sample = lzh_pack(nimbrel::testing::sample_settings_text(8000, 4));
    const Bytes data(sample.begin() + 4, sample.end());
    const std::string one_line(1 << 20, 'x');
    const struct {
        const char* what;
        const char* name;
        Bytes contents;
    } cases[] = {
        {"packed, cut to a half", "s.cmp",
         Bytes(sample.begin(), sample.begin() + sample.size() / 2)},
        {"packed, last byte missing", "s.cmp", Bytes(sample.begin(), sample.end() - 1)},
        {"packed, length field only", "s.cmp", Bytes(sample.begin(), sample.begin() + 4)},
        {"length 2^31-1 over a few bytes", "s.cmp", with_length(0x7FFFFFFF, random_bytes(64, 1))},
        {"length 2^31-1 over real data", "s.cmp", with_length(0x7FFFFFFF, data)},
        {"packed, random bytes", "s.cmp", random_bytes(3000, 2)},
        {"packed, random bits after a fitting length", "s.cmp",
         with_length(9000, random_bytes(3000, 3))},
        {"text, random bytes", "s.txt", random_bytes(3000, 4)},
        {"text, random bytes after a brace", "s.txt",
         bytes_of("{ " + text_of(random_bytes(3000, 5)))},
        {"text, 1 MB on one line", "s.txt", bytes_of("{ " + one_line)},
        {"text, 1 MB line, then more blocks", "s.txt", bytes_of(one_line + "\r\n{ A\r\n}\r\n")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Temp_folder t;
        const std::string path = t.file(c.name);
        ASSERT_TRUE(write_file_atomically(path, c.contents));
        {
            Startup_report report;
            Nimbrel_settings_file file(report);
            EXPECT_TRUE(file.Load(path, false));
            EXPECT_EQ(file.Count(), 0);
            EXPECT_EQ(report.Error_set, 1u << err_settings_corrupt);
            EXPECT_EQ(file.Random_index(false), -1);
            EXPECT_EQ(file.Random_index(true), -1);
        }
        Bytes after;
        ASSERT_TRUE(read_file(path, after));
        EXPECT_TRUE(after == c.contents); // not rewritten, not "repaired"
        EXPECT_EQ(t.entries(), 1u);
    }
}

TEST(BadInput, AMegabyteLineInsideABlockIsKeptInPieces) {
    const std::string line = "max_polygons 0 200 77 " + std::string((1 << 20) - 22, 'x');
    Startup_report report;
    Nimbrel_settings_file file(report);
    file.Load_contents(bytes_of("{ Long\r\n" + line + "\r\n}\r\n"), false);
    ASSERT_EQ(file.Count(), 1);
    const auto& lines = file.Setting(0).Lines;
    ASSERT_EQ(lines.size(), 1 + (line.size() + Max_line_length - 1) / Max_line_length);
    std::string joined;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_LE(lines[i].size(), Max_line_length);
        joined += lines[i];
    }
    EXPECT_EQ(joined, line);
    // The first piece applies; the rest are no parameters and are skipped.
    TSettings_Form holder;
    EXPECT_FALSE(holder.Apply_setting(lines));
    EXPECT_EQ(holder.pos(Param::max_polygons), 77);
}

TEST(BadInput, ParameterLinesOfTenThousandTokens) {
    std::string tail, names;
    for (int i = 0; i < 10000; ++i) {
        tail += " " + std::to_string(i);
        names += "max_polygons ";
    }
    const struct {
        std::string line;
        bool error;
    } cases[] = {
        {"perspective -50 50 40" + tail, false},
        {"in_out TRUE" + tail, false},
        {"no_such_parameter" + tail, false},
        {"vanishing 0 x" + tail, true},
        {names, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.substr(0, 20));
        TSettings_Form holder;
        const auto error = holder.Apply_setting({"Many", c.line, "rub_out FALSE"});
        ASSERT_EQ(error.has_value(), c.error);
        EXPECT_EQ(holder.on(Param::rub_out), c.error); // applying stops at a bad line
        if (c.error) {
            EXPECT_EQ(error->line, 1);
        }
    }
}

TEST(BadInput, IniFilesWithManyKeysOrInvalidUtf8) {
    std::string many = "[Nimbrel_start]\r\n";
    for (int i = 0; i < 10000; ++i)
        many += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    many += "Min_time=12\r\n";
    const std::string bad_name = "\xff\xfe\xc3(\xed\xa0\x80.cmp";
    const struct {
        std::string text;
        std::int32_t min_time, max_time;
        std::string settings_file;
    } cases[] = {
        {many, 12, 60, "Nimbrel_32_Settings.cmp"},
        {"[Nimbrel_start]\r\nSettings_file=" + bad_name +
             "\r\nMax_time=\xc0\xaf\r\n\xf8\x88\x80\x80\x80=5\r\n",
         30, 60, bad_name},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings_file);
        Temp_folder t;
        write_text(t.file("Nimbrel_32_Config.ini"), c.text);
        {
            Nimbrel_Options options(Fixed_registry(t.dir()), t.dir());
            EXPECT_EQ(options.Error_set, 0);
            EXPECT_EQ(options.Min_time, c.min_time);
            EXPECT_EQ(options.Max_time, c.max_time);
            EXPECT_EQ(options.Settings_file, c.settings_file);
        }
        // Written back at exit: every other line of the file is still there, byte for byte.
        const std::string after = read_text(t.file("Nimbrel_32_Config.ini"));
        std::size_t from = 0;
        for (std::size_t end; (end = c.text.find("\r\n", from)) != std::string::npos;
             from = end + 2) {
            const std::string line = c.text.substr(from, end - from);
            if (line.rfind("Min_time=", 0) == 0 || line.rfind("Max_time=", 0) == 0) continue;
            ASSERT_NE(after.find(line + "\r\n"), std::string::npos) << line;
        }
        Nimbrel_Options again(Fixed_registry(t.dir()), t.dir());
        EXPECT_EQ(again.Settings_file, c.settings_file);
    }
}

TEST(BadInput, LongRegistryDirectories) {
    const std::pair<std::string, std::string> values[] = {
        {std::string(1023, 'd') + '\0', std::string(1023, 'd')}, // the NUL fills the buffer
        {std::string(1024, 'd'), std::string(1024, 'd')},        // no NUL
        {std::string("C:\\A\0\0junk", 10), "C:\\A"},
        {std::string(1024, '\0'), ""},
    };
    for (const auto& [data, text] : values)
        EXPECT_EQ(registry_value_text(data.data(), data.size()), text) << text.size();

    // Registered but no such folder: reported, the name in full, and the record carries on;
    // nothing can be written there.
    for (std::size_t length : {1023u, 1024u}) {
        Temp_folder exe;
        const std::string value = "/" + std::string(length - 1, 'd');
        Nimbrel_Options options(Fixed_registry(value), exe.dir());
        EXPECT_EQ(options.Directory, value + "/");
        EXPECT_EQ(options.Error_set, 1u << err_bad_directory);
        EXPECT_EQ(
            options.Error_text,
            "The Nimbrel directory " + value +
                "/ is invalid\r\nPlease run the Nimbrel \"exe\" "
                "file : This will write the directory of the Nimbrel data files to the registry."
                "\r\n\r\n");
        EXPECT_EQ(options.Max_time, 60); // read all the same, with defaults
        std::string error;
        EXPECT_FALSE(options.Write_ini(&error));
        EXPECT_FALSE(error.empty());
    }
}
