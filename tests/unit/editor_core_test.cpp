// The editor's model: a holder written back as lines, the list of a settings file, and the
// measured preview speed.
#include "editor/setting_writer.h"
#include "editor/settings_document.h"
#include "editor/speed_meter.h"
#include "file_size_limit.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <tuple>

using namespace nimbrel;
using namespace nimbrel_test;

namespace {

const std::string Data = NIMBREL_REPO_DATA "/";
using Lines = std::vector<std::string>;

void expect_same_values(const TSettings_Form& a, const TSettings_Form& b) {
    for (int i = 0; i < Param_count; ++i) {
        const auto p = static_cast<Param>(i);
        const ScrollValue &x = a.scroll(p), &y = b.scroll(p);
        EXPECT_EQ(std::make_tuple(x.Min, x.Max, x.Position, a.on(p)),
                  std::make_tuple(y.Min, y.Max, y.Position, b.on(p)))
            << param_info(p).name;
    }
    EXPECT_EQ(a.palette_index(), b.palette_index());
}

TSettings_Form applied(const Lines& lines, TSettings_Form holder) {
    EXPECT_FALSE(holder.Apply_setting(lines));
    return holder;
}

bool holds(const std::string& path, const Bytes& contents) {
    Bytes now;
    return read_file(path, now) && now == contents;
}

} // namespace

TEST(SettingWriter, EveryShippedSettingAppliesAndSavesBackToItsValues) {
    Settings_document doc;
    std::string error;
    ASSERT_TRUE(doc.open(Data + "Nimbrel_32_Settings.cmp", &error)) << error;
    ASSERT_EQ(doc.count(), 54);
    // Saved unchanged, the document is the shipped text to the byte.
    Temp_folder t;
    ASSERT_TRUE(doc.save_as(t.file("s.txt"), &error)) << error;
    EXPECT_EQ(read_text(t.file("s.txt")), read_text(Data + "Nimbrel_32_Settings.txt"));

    const TSettings_Form fresh(Data + "Palette");
    std::vector<Lines> written;
    int same_text = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < doc.count(); ++i) {
        const Nimbrel_setting& s = doc.setting(i);
        SCOPED_TRACE(s.Get_name());
        const TSettings_Form holder = applied(s.Lines, fresh);
        written.push_back(setting_lines(s.Get_name(), holder, s.Is_tagged(), s.Lines));
        expect_same_values(applied(written.back(), fresh), holder);
        same_text += written.back() == s.Lines;
        doc.set_lines(i, written.back());
    }
    ASSERT_TRUE(doc.save_as(t.file("s.cmp"), &error)) << error;
    Settings_document again;
    ASSERT_TRUE(again.open(t.file("s.cmp"), &error)) << error;
    ASSERT_EQ(again.count(), doc.count());
    for (int i = 0; i < again.count(); ++i)
        EXPECT_EQ(again.setting(i).Lines, written[static_cast<std::size_t>(i)]);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    std::printf("[ MEASURE  ] %d settings applied, written, saved and read back to the same values "
                "(%d as the same text) in %.1f ms\n",
                doc.count(), same_text, took.count());
}

TEST(SettingWriter, HoldersThatLinesInPlainOrderWouldNotReproduce) {
    const TSettings_Form fresh(Lines{"A.pal", "B.pal"});
    // A holder that showed another setting before: its ranges, palette and locks must not leak.
    const TSettings_Form used = applied({"used", "palette_list B.pal", "mot_par_d 50 60 55",
                                         "aspect_a_y 80 90 85", "lock_xy_aspect TRUE"},
                                        fresh);
    const struct {
        const char* what;
        Lines lines;
        const char* palette; // written
    } cases[] = {
        {"aspect lock on over a differing pair",
         {"x", "palette_list a.pal", "aspect_a_x 0 100 30", "aspect_a_y 0 100 70",
          "lock_xy_aspect TRUE"},
         "A.pal"},
        {"motion lock on over pairs of other ranges",
         {"x", "lock_xy_motion TRUE", "mot_par_d 20 40 20", "mot_par_a 0 128 10", "mot_par_f 0 5 5",
          "mot_par_c 0 128 90"},
         No_palette},
        {"a palette missing here, lines of a newer editor, an old tag spelling",
         {"x", "palette_list Gone.pal", "future_parameter 1 2 3", "Screensaver=TRUE"},
         "Gone.pal"},
        {"32-bit limits, no colour source",
         {"x", "perspective -2147483648 2147483647 -2147483648", "UsePalette FALSE",
          "speed_scroll 1 1 1", "Screensaver TRUE"},
         No_palette},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TSettings_Form holder = applied(c.lines, fresh);
        const bool tagged = holder.on(Param::Screensaver);
        const Lines written = setting_lines("Renamed", holder, tagged, c.lines);
        expect_same_values(applied(written, fresh), holder);
        expect_same_values(applied(written, used), holder);
        EXPECT_EQ(written[0], "Renamed");
        EXPECT_EQ(std::count(written.begin(), written.end(), tag_line(tagged)), 1);
        EXPECT_EQ(
            std::count(written.begin(), written.end(), parameter_line("palette_list", c.palette)),
            1);
        const bool newer = c.lines[2] == "future_parameter 1 2 3";
        EXPECT_EQ(written.size(), 1u + Param_count + newer);
        EXPECT_EQ(written.back() == "future_parameter 1 2 3", newer);
    }
}

TEST(SettingsDocument, ListEditsNamesAndDirtyState) {
    Settings_document doc;
    int at = -1;
    for (const char* name : {"  Fire\t ", "Ice", "Rain"})
        ASSERT_EQ(doc.add_new(name, &at), "");
    EXPECT_EQ(at, 2);
    EXPECT_EQ(doc.setting(0).Get_name(), "Fire");
    expect_same_values(applied(doc.setting(0).Lines, TSettings_Form{}), TSettings_Form{});
    for (const std::string& refused :
         {std::string(), std::string(" \t "), std::string("fIRE"), std::string("a\r\nb"),
          std::string("a\tb"), std::string(Max_setting_name + 1, 'n')})
        EXPECT_NE(doc.rename(1, refused), "") << refused.substr(0, 9);
    EXPECT_EQ(doc.rename(1, std::string(Max_setting_name, 'n')), "");
    EXPECT_EQ(doc.rename(1, "ice"), ""); // its own name in another case
    EXPECT_EQ(doc.duplicate(1, doc.free_name("Fire"), &at), "");
    EXPECT_EQ(doc.setting(at).Get_name(), "Fire (2)"); // Fire, ice, Fire (2), Rain
    EXPECT_EQ(doc.setting(at).Lines.size(), doc.setting(1).Lines.size());
    EXPECT_FALSE(doc.move(0, -1));
    EXPECT_FALSE(doc.move(3, +1));
    EXPECT_TRUE(doc.move(3, -1));
    doc.remove(0);
    doc.remove(3);
    std::string names;
    for (int i = 0; i < doc.count(); ++i)
        names += doc.setting(i).Get_name() + "|";
    EXPECT_EQ(names, "ice|Rain|Fire (2)|");

    Temp_folder t;
    std::string error;
    ASSERT_TRUE(doc.save_as(t.file("mine.txt"), &error)) << error;
    EXPECT_FALSE(doc.dirty());
    doc.set_lines(1, doc.setting(1).Lines);
    doc.set_tag(1, false);
    doc.rename(1, "Rain");
    EXPECT_FALSE(doc.dirty()); // nothing changed
    doc.set_lines(1, {"Other name", "in_out TRUE"});
    EXPECT_TRUE(doc.dirty());
    EXPECT_EQ(doc.setting(1).Lines, (Lines{"Rain", "in_out TRUE"}));
}

TEST(SettingsDocument, DamagedFilesAndFailedSavesLeaveTheFileAlone) {
    Temp_folder t;
    std::string error;
    Settings_document doc;
    EXPECT_FALSE(doc.open(t.file("none.cmp"), &error));
    EXPECT_EQ(error, "Nimbrel could not find the settings file " + t.file("none.cmp"));

    const Bytes bad = {9, 0, 0, 0, 0xFF, 0xFF};
    ASSERT_TRUE(write_file_atomically(t.file("bad.cmp"), bad));
    ASSERT_TRUE(doc.open(t.file("bad.cmp"), &error));
    EXPECT_EQ(error, "The Nimbrel settings file appears to have been corrupted");
    EXPECT_TRUE(doc.read_only());
    int at;
    ASSERT_EQ(doc.add_new("New", &at), "");
    EXPECT_FALSE(doc.save(&error));
    EXPECT_FALSE(doc.save_as(t.dir() + "./bad.cmp", &error));
    EXPECT_TRUE(holds(t.file("bad.cmp"), bad));
    ASSERT_TRUE(doc.save_as(t.file("good.cmp"), &error)) << error;
    EXPECT_FALSE(doc.read_only());

    // A full disk, or a folder that cannot be written: the old file stays as it was.
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(doc.add_new(doc.free_name("Filler"), &at), "");
    const Bytes old = bytes_of("{ Old\r\n}\r\n");
    for (const std::string name : {"full.txt", "full.cmp", "no folder/s.txt"}) {
        SCOPED_TRACE(name);
        const bool folder = name.find('/') != std::string::npos;
        ASSERT_TRUE(folder || write_file_atomically(t.file(name), old));
        {
            File_size_limit limit(2000);
            EXPECT_FALSE(doc.save_as(t.file(name), &error));
        }
        EXPECT_NE(error.find(t.file(name)), std::string::npos) << error;
        EXPECT_TRUE(doc.dirty());
        EXPECT_EQ(doc.path(), t.file("good.cmp"));
        EXPECT_TRUE(folder || holds(t.file(name), old));
    }
    EXPECT_EQ(t.entries(), 4u); // no temporary file left
    doc.new_document();
    EXPECT_FALSE(doc.save(&error));                         // no file yet
    EXPECT_FALSE(doc.save_as(t.file("empty.txt"), &error)); // no setting
}

TEST(SpeedMeter, FakeClock) {
    const struct {
        const char* what;
        double from, to, every; // frames at from, from + every, ... before to
        double asked_at;
        int fps;
    } cases[] = {
        {"no frame yet", 0, 0, 1, 0, 0},
        {"one frame", 5, 5.01, 1, 5, 0},
        {"start-up, three frames", 0, 0.06, 0.025, 0.05, 40},
        {"steady 40", 0, 3, 0.025, 2.99, 40},
        {"steady 30, asked between frames", 10, 13, 1.0 / 30, 12.98, 30},
        {"stalled half a second", 0, 3, 0.025, 3.4875, 20},
        {"stalled over a second", 0, 3, 0.025, 4.5, 0},
        {"1 ms timer", 0, 2, 0.001, 1.9995, 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Speed_meter meter;
        for (int k = 0; c.from + k * c.every < c.to - 1e-9; ++k)
            meter.frame(c.from + k * c.every);
        EXPECT_EQ(meter.frames_per_second(c.asked_at), c.fps);
    }
    Speed_meter meter;
    for (int k = 0; k < 100; ++k)
        meter.frame(100 + k * 0.025);
    meter.frame(1.0); // the clock went back: measured anew
    EXPECT_EQ(meter.frames_per_second(), 0);
    meter.frame(1.5);
    EXPECT_EQ(meter.frames_per_second(), 2);
}
