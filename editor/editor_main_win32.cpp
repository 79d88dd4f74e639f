// The editor's entry procedure:
//
//   Nimbrel_32_Editor.exe [SETTINGS_FILE [SETTING_NAME]]
//
// Without a file it opens the settings file of the registered data folder (the one its INI file
// names, as the saver does), or the one beside itself (the installer puts the editor there).
// Palettes come from the data folder's Palette folder, or from the opened file's when no data
// folder is registered.
#include "app/win32_api.h"

#include "app/thinking_box_win32.h"
#include "editor/editor_dialog_win32.h"
#include "engine/palette_file.h"
#include "saverkit/window_win32.h"
#include "settings/file_io.h"
#include "settings/ini_bag.h"
#include "settings/options.h"
#include "settings/random.h"
#include "settings/registry.h"

#include <commctrl.h>
#include <cstdlib>

using namespace nimbrel;

namespace {

std::string full_path(const std::string& path) {
    char buffer[MAX_PATH] = {};
    const DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return n == 0 || n >= sizeof buffer ? path : std::string(buffer, n);
}

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

EditorStart starting_point(int argc, char** argv) {
    EditorStart start;
    Startup_report ignored; // the editor asks instead of reporting
    std::string data = find_data_directory(system_registry()->Read_directory(), ignored);
    if (!data.empty() && !folder_exists(data)) data.clear();
    start.offer_registration = data.empty();

    if (argc > 1) start.settings_file = full_path(argv[1]);
    if (argc > 2) start.setting_name = argv[2];
    if (start.settings_file.empty()) {
        // The file the saver shows: its INI file may name another than the default.
        std::string name = Default_settings_file;
        if (!data.empty()) {
            TBag ini;
            ini.IniFile = data + Ini_file_name;
            ini.IniSect = Ini_section;
            ini.Load();
            name = ini.Read_string("Settings_file", Default_settings_file);
        }
        for (const std::string& folder : {data, executable_folder()}) {
            if (!folder.empty() && file_exists(folder + name)) {
                start.settings_file = folder + name;
                break;
            }
        }
    }
    start.data_folder = !data.empty() ? data : folder_of(start.settings_file);
    set_palette_folder(start.data_folder + "Palette");
    return start;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    seed_random_from_time_of_day();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    TApplicationWindow application("Nimbrel Editor");
    install_thinking_box(&thinking_box_proxy()); // saving a packed file shows its progress
    try {
        EditorDialog editor(starting_point(__argc, __argv));
        editor.run();
    } catch (...) {
        HandleException();
    }
    install_thinking_box(nullptr);
    Release_thinking_box();
    return 0;
}
