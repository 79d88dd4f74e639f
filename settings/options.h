// Nimbrel_Options: the program's options record. It finds the data directory in the registry,
// reads the options from the data directory's INI file at start-up and writes them back at exit,
// and collects the start-up problems of every part of the program.
#pragma once

#include "settings/file_io.h"
#include "settings/registry.h"
#include "settings/startup_report.h"

#include <cstdint>
#include <optional>
#include <string>

namespace nimbrel {

class TBag;

inline constexpr const char* Ini_file_name = "Nimbrel_32_Config.ini";
inline constexpr const char* Ini_section = "Nimbrel_start";
inline constexpr const char* Default_settings_file = "Nimbrel_32_Settings.cmp";

// What the full-screen saver shows on the monitors besides the primary one.
enum class Other_monitors_mode { rings, black };

class Nimbrel_Options : public Startup_report {
  public:
    // Looks the data directory up and reads the INI file when a directory was found.
    // exe_folder is where the INI file is written when no directory is known.
    explicit Nimbrel_Options(const RegistryReader& registry,
                             std::string exe_folder = executable_folder());
    // Writes the INI file, unless it exists and was not read (no directory was found); a
    // failure is ignored (there is nobody left to tell at exit).
    ~Nimbrel_Options();
    Nimbrel_Options(const Nimbrel_Options&) = delete;
    Nimbrel_Options& operator=(const Nimbrel_Options&) = delete;

    std::string Directory; // ends with a path separator when not empty
    bool Auto_cycling = false;
    bool Start_auto_cycling = false;
    bool Tagged_settings_only = false;
    std::int32_t Min_time = 0;
    std::int32_t Max_time = 0;
    std::string Settings_file;
    bool Prompt_screen_change = false;
    bool Prompt_force_change = false;
    // Show the rings through an emulated 256-colour palette when the display has none.
    bool Emulate_palette = true;
    // Rings of their own on every other monitor, or black covers there; stored as "rings" or
    // "black", anything else reads as rings.
    Other_monitors_mode Other_monitors = Other_monitors_mode::rings;

    void Read_ini();
    bool Write_ini(std::string* error = nullptr) const;
    // The INI options from and into a bag of the section, as Read_ini and Write_ini move them.
    void Read_from(const TBag& bag);
    void Write_to(TBag& bag) const;

  private:
    std::string ini_path() const;

    std::string exe_folder_;
    bool ini_read_ = false;
};

// The data directory as the record holds it, from the registry value: the registered folder
// with a path separator appended when it has none; empty when nothing is registered. Adds what
// is wrong with it to the report (nothing registered, or no such folder). Touches no file.
std::string find_data_directory(const std::optional<std::string>& registered,
                                Startup_report& report);

// The record of the running program, installed by the entry procedure for the whole run.
Nimbrel_Options* current_options();
void install_options(Nimbrel_Options* options);

} // namespace nimbrel
