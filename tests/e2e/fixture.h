// What a saver run needs around it: a private copy of the saver, a data folder with palettes, a
// settings file and an INI file, and a way to read the INI file back.
#pragma once

#include "driver.h"

#include <map>
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

} // namespace e2e
