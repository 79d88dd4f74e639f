// What a saver run needs around it: a private copy of the saver, a data folder with a palette, a
// settings file and an INI file, a way to read the INI file back, and the test fixture that sets
// all of it up for one run of the real saver.
#pragma once

#include "driver.h"
#include "image.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

// The repository's data folder (NIMBREL_DATA) when it holds palettes and a settings file.
std::string shipped_data();

inline constexpr const char* kIniName = "Nimbrel_32_Config.ini";
inline constexpr const char* kIniSection = "Nimbrel_start";
inline constexpr const char* kMissing = "<missing>";
inline constexpr char kSettingsName[] = "E2E_settings.txt";
inline constexpr char kShippedSettings[] = "Nimbrel_32_Settings.cmp";
inline constexpr DWORD kMouseThreshold = 100;

using IniEntries = std::vector<std::pair<std::string, std::string>>;

// Palette\Rainbow.pal: a 236-colour hue wheel, no black in it.
bool write_palette(const std::string& data_folder);
// One setting block in the settings text format, lines ending in CR LF.
std::string setting_block(const std::string& name, const std::vector<std::string>& lines);
// A setting that fills the screen with many rings in changing colours; `more` lines follow, and a
// later line wins over an earlier one of the same parameter or choice.
std::vector<std::string> busy_rings(const std::vector<std::string>& more = {});
// An INI file with the saver's section only, values as given.
bool write_ini(const std::string& path, const IniEntries& entries);
// A value of the saver's section (key matched without regard to case), or kMissing.
std::string ini_value(const std::string& path, const std::string& key);

// ------------------------------------------------------------------------------------------------
// Judging what the saver shows.
bool shows_rings(const Image& shot); // many colours, and more than a few pixels lit
// Anything drawn: a few shipped settings draw only dots, a few hundred lit pixels at first, too
// few for shows_rings while such a setting has just started.
bool shows_drawing(const Image& shot);
std::string summary(const Image& shot);
std::string windows_of(const Process& process); // its top-level windows, for failure messages

// Waits for a visible window of the saver lying exactly on `area`; answers it or null.
HWND window_on(const Process& saver, const RECT& area, Millis timeout);
// Captures the screen until it shows rings; answers the seconds since the saver started, or a
// negative number after `timeout`.
double wait_for_rings(const Process& saver, Millis timeout, Image* last = nullptr,
                      bool (*shows)(const Image&) = shows_rings);
// A key press ends the saver within a second.
bool ends_on_a_key(const Process& saver);
// Moves the pointer from `from` by each of `moves` in turn: only the last ends the saver.
void expect_only_the_last_move_ends(const Process& saver, POINT from,
                                    const std::vector<POINT>& moves);

// One run of the real saver: its own copy in <temp>\bin\ and a data folder <temp>\data\ (the copy
// keeps whatever the saver writes next to itself inside the test's folder), the registry naming
// that folder, a mouse threshold of kMouseThreshold, and the pointer in the middle of the screen.
// Skips the test when the run has no saver (NIMBREL_SCR).
class Saver : public ::testing::Test {
  protected:
    void SetUp() override;

    std::string data_ini() const { return data_ + kIniName; }
    std::string bin_ini() const { return bin_ + kIniName; }
    // The data folder as a copy of `folder`.
    bool copy_data(const std::string& folder) const;

    // A palette, one setting with the given lines, and an INI file that switches cycling off. The
    // INI file leaves out Prompt_force_change, so the saver's write at exit is visible: it adds
    // it.
    void prepare_data(const std::vector<std::string>& setting = busy_rings(),
                      const IniEntries& more_ini = {});
    // The shipped data folder (NIMBREL_DATA) with an INI file that cycles through the tagged
    // settings or not. Skips the test when there is no shipped folder: check IsSkipped().
    void prepare_shipped_data(bool cycling);
    // The options prepare_data wrote, as the saver writes them back at exit.
    void expect_prepared_ini_written_back();

    std::string exe_;        // the saver's copy
    std::string bin_, data_; // its folder and the data folder, with a trailing backslash
    POINT centre_{};
    RegistryValueGuard directory_{kNimbrelKey, "Directory"};
    RegistryValueGuard threshold_{kSaverOptionsKey, "Mouse Threshold"};

  private:
    std::unique_ptr<TempDir> root_;
};

// The monitors as Windows reports them, the primary one first.
std::vector<RECT> monitor_rects();

// The saver with more than one monitor: skips the test on a desktop with one. others_ holds the
// monitors besides the primary one.
class SaverOnMonitors : public Saver {
  protected:
    void SetUp() override;
    std::vector<RECT> others_;
};

} // namespace e2e
