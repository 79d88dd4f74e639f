#include "tools/render_setting.h"

#include "settings/progress.h"
#include "settings/settings_file.h"

namespace nimbrel {
namespace {

// A load report as one line: its CR LF paragraph breaks become spaces.
std::string one_line(const std::string& text) {
    std::string line;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            if (!line.empty() && line.back() != ' ') line += ' ';
            continue;
        }
        line += c;
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

} // namespace

std::optional<std::vector<std::string>> load_render_setting(const RenderOptions& options,
                                                            RenderFailure& failure) {
    const std::string& path = options.settings_file;
    Startup_report report;
    NoProgressBox no_box;
    Nimbrel_settings_file file(report, no_box);
    file.Load(path, false);
    if (report.Error_set != 0) {
        failure = {render_bad_data, path + ": " + one_line(report.Error_text)};
        return std::nullopt;
    }
    if (file.Count() == 0) {
        failure = {render_bad_data, "Nimbrel found no settings in " + path};
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (int i = 0; i < file.Count(); ++i)
        names.push_back(file.Setting(i).Get_name());
    const int index = find_setting(names, options.setting);
    if (index < 0) {
        failure = {render_bad_usage, path + ": no setting " + options.setting};
        return std::nullopt;
    }
    return file.Setting(index).Lines;
}

} // namespace nimbrel
