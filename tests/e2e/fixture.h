// What a saver run needs around it: a private copy of the saver, a data folder with palettes, a
// settings file and an INI file, a way to read the INI file back, and the test fixture that sets
// all of it up for one run of the real saver.
#pragma once

#include "driver.h"
#include "image.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

// The saver under test (NIMBREL_SCR), or empty when the run has none.
std::string saver_under_test();
// The repository's data folder (NIMBREL_DATA) when it holds palettes and a settings file.
std::string shipped_data();

inline constexpr const char* kIniName = "Nimbrel_32_Config.ini";
inline constexpr const char* kIniSection = "Nimbrel_start";

// One test's world: <temp>\bin\Nimbrel_32_Saver.scr and <temp>\data\. The copy keeps whatever
// the saver writes next to itself inside the test's folder.
class SaverInstall {
  public:
    SaverInstall(const std::string& saver, const std::string& tag);
    bool ok() const { return ok_; }
    const std::string& exe() const { return exe_; }
    const std::string& bin() const { return bin_; }   // with trailing backslash
    const std::string& data() const { return data_; } // with trailing backslash
    std::string data_ini() const { return data_ + kIniName; }
    std::string bin_ini() const { return bin_ + kIniName; }

  private:
    TempDir root_;
    std::string bin_, data_, exe_;
    bool ok_ = false;
};

// A few palette files: a 236-colour hue wheel, a 120-colour fire ramp and a 60-colour ice ramp.
bool write_fixture_palettes(const std::string& palette_folder);

// One setting block in the settings text format, lines ending in CR LF.
std::string setting_block(const std::string& name, const std::vector<std::string>& lines);

// A setting that fills the screen with many rings in changing colours.
std::vector<std::string> busy_rings(bool fix_speed = false, int frames_per_second = 30);

// Writes an INI file with one section; values are written as given.
bool write_ini(const std::string& path, const std::string& section,
               const std::vector<std::pair<std::string, std::string>>& entries);

// One section of an INI file: keys as written in the file, in file order.
struct IniSection {
    bool found = false;
    std::vector<std::pair<std::string, std::string>> entries;
    // The value of a key, matched without regard to case; nullptr when absent.
    const std::string* find(const std::string& key) const;
};
IniSection read_ini(const std::string& path, const std::string& section);

// ------------------------------------------------------------------------------------------------
// Judging what the saver shows.
bool shows_rings(const Image& shot); // many colours, and more than a few pixels lit
// Anything drawn: a few shipped settings draw only dots, a few hundred lit pixels at first, too
// few for shows_rings while such a setting has just started.
bool shows_drawing(const Image& shot);
std::string summary(const Image& shot);
std::string windows_of(const Process& process); // its top-level windows, for failure messages

inline constexpr DWORD kMouseThreshold = 100;
inline constexpr char kSettingsName[] = "E2E_settings.txt";

// One run of the real saver: its own copy and data folder, the registry naming that folder, a
// mouse threshold of kMouseThreshold, and the pointer in the middle of the screen. Skips the test
// when the run has no saver.
class Saver : public ::testing::Test {
  protected:
    void SetUp() override;

    const SaverInstall& install() const { return *install_; }

    // Palettes, one setting with the given lines, and an INI file that switches cycling off. The
    // INI file leaves out Prompt_force_change, so the saver's write at exit is visible: it adds
    // it.
    void prepare_data(const std::vector<std::string>& setting = busy_rings(),
                      const std::vector<std::pair<std::string, std::string>>& more_ini = {});
    // The options prepare_data wrote, as the saver writes them back at exit.
    void expect_prepared_ini_written_back();
    // Waits for the saver's full-screen window; answers it or null.
    HWND full_screen_window(const Process& saver, Millis timeout);
    // Captures the screen until it shows rings; answers the seconds since the saver started,
    // or a negative number after `timeout`.
    double wait_for_rings(const Process& saver, Millis timeout, Image* last = nullptr,
                          bool (*shows)(const Image&) = shows_rings);

    POINT centre_{};
    RegistryValueGuard directory_{kNimbrelKey, "Directory"};
    RegistryValueGuard threshold_{kSaverOptionsKey, "Mouse Threshold"};

  private:
    std::unique_ptr<SaverInstall> install_;
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
