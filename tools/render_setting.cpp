#include "tools/render_setting.h"

#include "settings/progress.h"
#include "settings/settings_file.h"
#include "settings/text_lines.h"

namespace nimbrel {

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
