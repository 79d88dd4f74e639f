#include "dialogs/help_win32.h"

#include "settings/file_io.h"

#include <shellapi.h>

namespace nimbrel {
namespace {

// The old help viewer left the system with Windows Vista; later systems only say so.
bool system_shows_hlp() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info)) return false;
#pragma GCC diagnostic pop
    return info.dwMajorVersion < 6;
}

} // namespace

void open_help(HWND owner, const std::string& data_folder) {
    const std::string hlp = data_folder + "Nimbrel_32_Help.hlp";
    if (file_exists(hlp) && system_shows_hlp()) {
        WinHelpA(owner, hlp.c_str(), HELP_CONTEXT, 0);
        return;
    }
    const std::string html = data_folder + "Nimbrel_32_Help.html";
    if (file_exists(html))
        ShellExecuteA(owner, "open", html.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

} // namespace nimbrel
