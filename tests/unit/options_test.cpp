#include "file_size_limit.h"
#include "settings/ini_bag.h"
#include "settings/ini_text.h"
#include "settings/options.h"
#include "settings/settings_file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

using namespace nimbrel;
using namespace nimbrel_test;

namespace {

// The stored options, for comparing a record at once.
auto stored(const Nimbrel_Options& o) {
    return std::make_tuple(o.Start_auto_cycling, o.Tagged_settings_only, o.Min_time, o.Max_time,
                           o.Prompt_screen_change, o.Prompt_force_change, o.Settings_file,
                           o.Emulate_palette, o.Other_monitors);
}

// The advice that ends both registry problems.
const std::string Run_the_exe =
    "Please run the Nimbrel \"exe\" file : This will write the directory "
    "of the Nimbrel data files to the registry.\r\n\r\n";

} // namespace

TEST(IniText, ReadsTheSectionAsTheProfileFunctionsDo) {
    const std::string text = "; comment\r\n[Other]\r\nMin_time=1\r\n  [ nimbrel_START ]  \n"
                             "  Min_time  =  45  \n;Max_time=2\nno equals sign\r=no name\r\n"
                             "Empty=\r\n\r\na=b=c\r\n[Nimbrel_start]\r\nMax_time=99\r\n";
    const Ini_entries expected = {{"Min_time", "45"}, {"", "no name"}, {"Empty", ""}, {"a", "b=c"}};
    EXPECT_EQ(read_ini_section(bytes_of(text), "Nimbrel_start"), expected);
    EXPECT_TRUE(read_ini_section(bytes_of(text), "Missing").empty());
    EXPECT_TRUE(read_ini_section(Bytes{}, "Nimbrel_start").empty());
}

TEST(IniText, WritesKeysInPlace) {
    const struct {
        const char* what;
        std::string before;
        const char *key, *value;
        std::string after;
    } cases[] = {
        {"new file", "", "KEY", "1", "[S]\r\nKEY=1\r\n"},
        {"existing key keeps its spelling", "[s]\nMin_Time = 5 \nother=x\n", "MIN_TIME", "30",
         "[s]\r\nMin_Time=30\r\nother=x\r\n"},
        {"new key after the section's last line, before blank lines",
         "[S]\r\na=1\r\n\r\n[T]\r\nb=2\r\n", "NEW", "v",
         "[S]\r\na=1\r\nNEW=v\r\n\r\n[T]\r\nb=2\r\n"},
        {"other sections and comments untouched", "; top\r\n[T]\r\nKEY=old\r\n", "KEY", "new",
         "; top\r\n[T]\r\nKEY=old\r\n[S]\r\nKEY=new\r\n"},
        {"a commented key is not the key", "[S]\r\n;KEY=0\r\n", "KEY", "1",
         "[S]\r\n;KEY=0\r\nKEY=1\r\n"},
        {"value cut at a line break", "", "K", "a\r\nb", "[S]\r\nK=a\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text_of(write_ini_section(bytes_of(c.before), "S", {{c.key, c.value}})), c.after)
            << c.what;
}

TEST(TBag, KeysValuesAndConversions) {
    TBag bag;
    bag.Put("Min_time", "12");
    bag.Put("MIN_TIME", "13"); // same key
    bag.Put("caf\xe9", "1");   // a code page's letters are not folded
    EXPECT_EQ(bag.Keys(), (std::vector<std::string>{"MIN_TIME", "CAF\xe9"}));
    EXPECT_EQ(bag.Get("min_TIME"), "13");
    EXPECT_EQ(bag.Get("CAF\xc9"), "");
    EXPECT_EQ(bag.Get("absent"), "");
    EXPECT_EQ(bag.Read_string("absent", "def"), "def");

    const struct {
        const char* value;
        bool as_bool;            // default true
        std::int32_t as_integer; // default 30
    } cases[] = {
        {"1", true, 1},
        {"0", false, 0},
        {"TRUE", false, 30},
        {"", true, 30},
        {"+8", false, 8},
        {"12abc", false, 30},
        {"0x10", false, 30},
        {"2147483647", false, 2147483647},
        {"2147483648", false, 30},
        {"-2147483648", false, -2147483647 - 1},
        {"-2147483649", false, 30},
        {"99999999999999999999", false, 30},
        {"-0", false, 0},
        {"+-1", false, 30},
        {"-", false, 30},
        {" 1", false, 30},
        {"1 ", false, 30},
    };
    for (const auto& c : cases) {
        bag.Put("v", c.value);
        EXPECT_EQ(bag.Read_bool("v", true), c.as_bool) << c.value;
        EXPECT_EQ(bag.Read_integer("v", 30), c.as_integer) << c.value;
    }
    bag.Write_bool("b", false);
    bag.Write_integer("i", -5);
    EXPECT_EQ(bag.Get("b"), "0");
    EXPECT_EQ(bag.Get("i"), "-5");
}

TEST(TBag, Errors) {
    const auto message = [](auto&& action) {
        try {
            action();
        } catch (const EBagError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    TBag bag;
    EXPECT_EQ(message([&] { bag.Get(""); }), "No item specified");
    EXPECT_EQ(message([&] { bag.Put("", "x"); }), "No item specified");
    EXPECT_EQ(message([&] { bag.Load(); }), "No INI file specified");
    EXPECT_EQ(message([&] { bag.Save(); }), "No INI file specified");
    bag.IniFile = "/x.ini";
    EXPECT_EQ(message([&] { bag.Load(); }), "No INI file section specified");
    EXPECT_EQ(message([&] { bag.Save(); }), "No INI file section specified");
}

TEST(TBag, IniFilePlacementAndLoad) {
    TBag bag;
    bag.Set_ini_file("Config.ini", "/exe/");
    EXPECT_EQ(bag.IniFile, "/exe/Config.ini");
    bag.Set_ini_file("C:\\data\\Config.ini", "/exe/");
    EXPECT_EQ(bag.IniFile, "C:\\data\\Config.ini");

    Temp_folder t;
    write_text(t.file("c.ini"), "[S]\r\nlong=" + std::string(300, 'v') + "\r\nk=1\r\nK=2\r\n");
    bag.Set_ini_file(t.file("c.ini"));
    bag.IniSect = "S";
    bag.Load();
    EXPECT_EQ(bag.Get("long"), std::string(255, 'v'));
    EXPECT_EQ(bag.Get("k"), "2"); // later lines replace earlier ones
    EXPECT_EQ(bag.Count(), 2);
}

TEST(NimbrelOptions, NoIniFileGivesDefaultsAndIsCreatedAtExit) {
    Temp_folder t;
    {
        Nimbrel_Options o(Fixed_registry(t.dir()), "/nonexistent/");
        EXPECT_EQ(o.Error_set, 0);
        EXPECT_EQ(o.Directory, t.dir());
        EXPECT_TRUE(o.Auto_cycling);
    }
    EXPECT_EQ(
        read_text(t.file("Nimbrel_32_Config.ini")),
        "[Nimbrel_start]\r\nSTART_AUTO_CYCLING=1\r\nTAGGED_SETTINGS_ONLY=1\r\nMIN_TIME=30\r\n"
        "MAX_TIME=60\r\nPROMPT_SCREEN_CHANGE=1\r\nPROMPT_FORCE_CHANGE=1\r\n"
        "SETTINGS_FILE=Nimbrel_32_Settings.cmp\r\nEMULATE_PALETTE=1\r\nOTHER_MONITORS=rings\r\n");
}

TEST(NimbrelOptions, ReadsAndWritesBackKeepingSpelling) {
    Temp_folder t;
    write_text(
        t.file("Nimbrel_32_Config.ini"),
        "[Other]\r\nx=1\r\n[Nimbrel_start]\r\nStart_auto_cycling=TRUE\r\nTagged_settings_only=0"
        "\r\nMin_time=abc\r\nMax_time=90\r\nPrompt_screen_change=\r\nSettings_file=Mine.txt"
        "\r\nEmulate_palette=0\r\nOther_monitors=Black\r\nUnknown=kept\r\n");
    {
        Nimbrel_Options o(Fixed_registry(t.dir()), "/nonexistent/");
        // Only "1" is true; Min_time is no number and Prompt_screen_change empty: the defaults.
        EXPECT_EQ(stored(o), std::make_tuple(false, false, 30, 90, true, true, "Mine.txt", false,
                                             Other_monitors_mode::black));
        EXPECT_FALSE(o.Auto_cycling);
        o.Auto_cycling = true; // the run's switch is never stored
        o.Max_time = 120;
    }
    EXPECT_EQ(read_text(t.file("Nimbrel_32_Config.ini")),
              "[Other]\r\nx=1\r\n[Nimbrel_start]\r\nStart_auto_cycling=0\r\nTagged_settings_only=0"
              "\r\nMin_time=30\r\nMax_time=120\r\nPrompt_screen_change=1\r\nSettings_file=Mine.txt"
              "\r\nEmulate_palette=0\r\nOther_monitors=black\r\nUnknown=kept\r\n"
              "PROMPT_FORCE_CHANGE=1\r\n");
}

TEST(NimbrelOptions, OtherMonitorsReadsAnythingButBlackAsRings) {
    // The value as written (nullptr: no line), and whether it means black.
    const std::pair<const char*, bool> cases[] = {
        {nullptr, false}, {"rings", false},    {"black", true}, {"BLACK", true},
        {"", false},      {"blackout", false}, {"blac", false}, {"0", false}};
    for (const auto& [value, black] : cases) {
        SCOPED_TRACE(value ? value : "no line");
        Temp_folder t;
        write_text(t.file("Nimbrel_32_Config.ini"),
                   "[Nimbrel_start]\r\n" +
                       (value ? "other_monitors=" + std::string(value) + "\r\n" : ""));
        Nimbrel_Options o(Fixed_registry(t.dir()), "/nonexistent/");
        EXPECT_EQ(o.Other_monitors,
                  black ? Other_monitors_mode::black : Other_monitors_mode::rings);
    }
}

TEST(NimbrelOptions, RegistryProblems) {
    Temp_folder exe;
    const struct {
        const char* what;
        std::optional<std::string> value;
    } missing[] = {{"no key or value", std::nullopt}, {"empty value", std::string()}};
    for (const auto& c : missing) {
        {
            Nimbrel_Options o{Fixed_registry(c.value), exe.dir()};
            EXPECT_EQ(o.Error_set, 1u << err_no_registry_key) << c.what;
            EXPECT_EQ(o.Error_text,
                      "Failed to find registry key :\r\nHKEY_CURRENT_USER\\Software\\Nimbrel\r\n" +
                          Run_the_exe)
                << c.what;
            EXPECT_EQ(o.Directory, "") << c.what;
            // The INI file is not read: the record keeps its initial values.
            EXPECT_EQ(stored(o), std::make_tuple(false, false, 0, 0, false, false, "", true,
                                                 Other_monitors_mode::rings))
                << c.what;
        }
        // At exit the zero values go to the INI file beside the executable.
        const std::string ini = read_text(exe.file("Nimbrel_32_Config.ini"));
        EXPECT_NE(ini.find("START_AUTO_CYCLING=0\r\n"), std::string::npos) << c.what;
        EXPECT_NE(ini.find("SETTINGS_FILE=\r\n"), std::string::npos) << c.what;
    }
}

// A per-user installation keeps the saver and its INI file in one folder: a run that found no
// registry value read nothing, so it must not write its zero values over the user's options.
TEST(NimbrelOptions, RunWithoutRegistryValueLeavesAnExistingIniAlone) {
    Temp_folder exe;
    const std::string ini = exe.file("Nimbrel_32_Config.ini");
    const std::string mine =
        "[Nimbrel_start]\nMin_time=7\r\nMax_time=900\r\nSettings_file=Mine.txt\n"
        "Start_auto_cycling=0\r\n";
    write_text(ini, mine);
    {
        Nimbrel_Options o{Fixed_registry(std::nullopt), exe.dir()};
        EXPECT_EQ(o.Max_time, 0); // not read
        o.Max_time = 5;           // as the dialog may change it
    }
    EXPECT_EQ(read_text(ini), mine);
    EXPECT_EQ(exe.entries(), 1u);
}

TEST(NimbrelOptions, RegisteredFolderWithoutItsSeparator) {
    Temp_folder t;
    write_text(t.file("Nimbrel_32_Config.ini"), "[Nimbrel_start]\r\nMax_time=77\r\n");
    Nimbrel_Options o(Fixed_registry(t.dir().substr(0, t.dir().size() - 1)), "/nowhere/");
    EXPECT_EQ(o.Directory, t.dir());
    EXPECT_EQ(o.Error_set, 0);
    EXPECT_EQ(o.Max_time, 77);
}

TEST(NimbrelOptions, ProcessWideRecordAndSettingsFileErrors) {
    Temp_folder t;
    auto options = std::make_unique<Nimbrel_Options>(Fixed_registry(t.dir()), t.dir());
    install_options(options.get());
    EXPECT_EQ(current_options(), options.get());
    {
        Nimbrel_settings_file file; // reports into the installed record
        EXPECT_FALSE(file.Load(t.file("absent.cmp"), false));
    }
    EXPECT_TRUE(options->has(err_no_settings_file));
    EXPECT_EQ(options->Error_text,
              "Nimbrel could not find the settings file " + t.file("absent.cmp") + "\r\n\r\n");
    options.reset();
    EXPECT_EQ(current_options(), nullptr); // a destroyed record is not reachable
}

TEST(NimbrelOptions, FailedIniWriteKeepsTheOldFile) {
    Temp_folder t;
    std::string old = "; kept as it is\r\n[Nimbrel_start]\r\nMin_time=5\r\n[Other]\r\n";
    for (int i = 0; i < 40; ++i)
        old += "Key" + std::to_string(i) + "=some value\r\n";
    const std::string ini = t.file("Nimbrel_32_Config.ini");
    write_text(ini, old);
    {
        File_size_limit limit(200); // the new file is larger: its writing fails half-way
        Nimbrel_Options options(Fixed_registry(t.dir()), t.dir());
        EXPECT_EQ(options.Min_time, 5);
        options.Min_time = 6;
        std::string error;
        EXPECT_FALSE(options.Write_ini(&error));
        EXPECT_NE(error.find(ini), std::string::npos) << error;
        EXPECT_EQ(read_text(ini), old);
        EXPECT_EQ(t.entries(), 1u);
    } // the write at exit fails the same way, silently
    EXPECT_EQ(read_text(ini), old);
    EXPECT_EQ(t.entries(), 1u);
}
