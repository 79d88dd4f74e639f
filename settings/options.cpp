#include "settings/options.h"

#include "settings/ini_bag.h"

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

Nimbrel_Options::Nimbrel_Options(const RegistryReader& registry, std::string exe_folder)
    : exe_folder_(std::move(exe_folder)) {
    const auto directory = registry.Read_directory();
    if (!directory || directory->empty()) {
        add(err_no_registry_key, std::string("Failed to find registry key :\r\n"
                                             "HKEY_CURRENT_USER\\Software\\Nimbrel\r\n") +
                                     Run_installer);
        return;
    }
    Directory = *directory;
    // File names are appended to the directory directly.
    if (!ends_with_separator(Directory)) Directory += path_separator();
    if (!folder_exists(Directory))
        add(err_bad_directory,
            "The Nimbrel directory " + Directory + " is invalid\r\n" + Run_installer);
    Read_ini();
}

Nimbrel_Options::~Nimbrel_Options() {
    if (g_current == this) g_current = nullptr;
    try {
        Write_ini();
    } catch (...) {
        // Nothing may leave a destructor.
    }
}

void Nimbrel_Options::Read_ini() {
    TBag bag;
    bag.Set_ini_file(Directory + Ini_file_name, exe_folder_);
    bag.IniSect = Ini_section;
    bag.Load();
    Start_auto_cycling = Auto_cycling = bag.Read_bool("Start_auto_cycling", true);
    Tagged_settings_only = bag.Read_bool("Tagged_settings_only", true);
    Min_time = bag.Read_integer("Min_time", 30);
    Max_time = bag.Read_integer("Max_time", 60);
    Prompt_screen_change = bag.Read_bool("Prompt_screen_change", true);
    Prompt_force_change = bag.Read_bool("Prompt_force_change", true);
    Settings_file = bag.Read_string("Settings_file", Default_settings_file);
    Emulate_palette = bag.Read_bool("Emulate_palette", true);
}

bool Nimbrel_Options::Write_ini(std::string* error) const {
    TBag bag;
    bag.Set_ini_file(Directory + Ini_file_name, exe_folder_);
    bag.IniSect = Ini_section;
    bag.Write_bool("Start_auto_cycling", Start_auto_cycling);
    bag.Write_bool("Tagged_settings_only", Tagged_settings_only);
    bag.Write_integer("Min_time", Min_time);
    bag.Write_integer("Max_time", Max_time);
    bag.Write_bool("Prompt_screen_change", Prompt_screen_change);
    bag.Write_bool("Prompt_force_change", Prompt_force_change);
    bag.Write_string("Settings_file", Settings_file);
    bag.Write_bool("Emulate_palette", Emulate_palette);
    return bag.Save(error);
}

Nimbrel_Options* current_options() {
    return g_current;
}
void install_options(Nimbrel_Options* options) {
    g_current = options;
}

} // namespace nimbrel
