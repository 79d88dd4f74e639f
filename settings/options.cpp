#include "settings/options.h"

#include "settings/ini_bag.h"
#include "settings/text_lines.h"

namespace nimbrel {
namespace {

Nimbrel_Options* g_current = nullptr;

const char* const Run_installer =
    "Please run the Nimbrel \"exe\" file : "
    "This will write the directory of the Nimbrel data files to the registry.\r\n\r\n";

bool ends_with_separator(const std::string& path) {
    return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

} // namespace

std::string find_data_directory(const std::optional<std::string>& registered,
                                Startup_report& report) {
    if (!registered || registered->empty()) {
        report.add(err_no_registry_key, std::string("Failed to find registry key :\r\n"
                                                    "HKEY_CURRENT_USER\\Software\\Nimbrel\r\n") +
                                            Run_installer);
        return std::string();
    }
    // File names are appended to the directory directly.
    const std::string directory =
        ends_with_separator(*registered) ? *registered : *registered + path_separator();
    if (!folder_exists(directory))
        report.add(err_bad_directory,
                   "The Nimbrel directory " + directory + " is invalid\r\n" + Run_installer);
    return directory;
}

Nimbrel_Options::Nimbrel_Options(const RegistryReader& registry, std::string exe_folder)
    : exe_folder_(std::move(exe_folder)) {
    Directory = find_data_directory(registry.Read_directory(), *this);
    // Without a registered directory the INI file is not read: the options keep zero values.
    if (!Directory.empty()) Read_ini();
}

Nimbrel_Options::~Nimbrel_Options() {
    if (g_current == this) g_current = nullptr;
    try {
        // Options that were never read are not the user's: they may start a file, never replace
        // one (a per-user installation keeps the INI file beside the executable).
        if (ini_read_ || !file_exists(ini_path())) Write_ini();
    } catch (...) {
        // Nothing may leave a destructor.
    }
}

std::string Nimbrel_Options::ini_path() const {
    TBag bag;
    bag.Set_ini_file(Directory + Ini_file_name, exe_folder_);
    return bag.IniFile;
}

void Nimbrel_Options::Read_ini() {
    TBag bag;
    bag.IniFile = ini_path();
    bag.IniSect = Ini_section;
    bag.Load();
    Read_from(bag);
    ini_read_ = true;
}

bool Nimbrel_Options::Write_ini(std::string* error) const {
    TBag bag;
    bag.IniFile = ini_path();
    bag.IniSect = Ini_section;
    Write_to(bag);
    return bag.Save(error);
}

void Nimbrel_Options::Read_from(const TBag& bag) {
    Start_auto_cycling = Auto_cycling = bag.Read_bool("Start_auto_cycling", true);
    Tagged_settings_only = bag.Read_bool("Tagged_settings_only", true);
    Min_time = bag.Read_integer("Min_time", 30);
    Max_time = bag.Read_integer("Max_time", 60);
    Prompt_screen_change = bag.Read_bool("Prompt_screen_change", true);
    Prompt_force_change = bag.Read_bool("Prompt_force_change", true);
    Settings_file = bag.Read_string("Settings_file", Default_settings_file);
    Emulate_palette = bag.Read_bool("Emulate_palette", true);
    // "black" in any case: an edited INI file may well say "Black".
    Other_monitors = equal_ignoring_case(bag.Read_string("Other_monitors", "rings"), "black")
                         ? Other_monitors_mode::black
                         : Other_monitors_mode::rings;
}

void Nimbrel_Options::Write_to(TBag& bag) const {
    bag.Write_bool("Start_auto_cycling", Start_auto_cycling);
    bag.Write_bool("Tagged_settings_only", Tagged_settings_only);
    bag.Write_integer("Min_time", Min_time);
    bag.Write_integer("Max_time", Max_time);
    bag.Write_bool("Prompt_screen_change", Prompt_screen_change);
    bag.Write_bool("Prompt_force_change", Prompt_force_change);
    bag.Write_string("Settings_file", Settings_file);
    bag.Write_bool("Emulate_palette", Emulate_palette);
    bag.Write_string("Other_monitors",
                     Other_monitors == Other_monitors_mode::black ? "black" : "rings");
}

Nimbrel_Options* current_options() {
    return g_current;
}
void install_options(Nimbrel_Options* options) {
    g_current = options;
}

} // namespace nimbrel
