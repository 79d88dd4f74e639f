#include "editor/setting_writer.h"

#include "settings/setting.h"
#include "settings/text_lines.h"

#include <optional>

namespace nimbrel {
namespace {

// Each lock and the last line of the pairs it couples.
struct Lock {
    Param lock, last_coupled;
};
constexpr Lock kLocks[] = {
    {Param::lock_xy_aspect, Param::aspect_f_y},
    {Param::lock_xy_motion, Param::mot_par_f},
};

std::optional<Param> line_param(const std::string& line) {
    const auto tokens = split_tokens(line);
    if (tokens.empty()) return std::nullopt;
    return find_param(tokens[0]);
}

// The palette name of the last palette line among `previous`, as Apply_setting would use it.
std::string previous_palette(const std::vector<std::string>& previous) {
    std::string name;
    for (std::size_t i = 1; i < previous.size(); ++i) {
        const auto tokens = split_tokens(previous[i]);
        if (tokens.size() > 1 && line_param(previous[i]) == Param::palette_list)
            name = std::string(tokens[1]);
    }
    return name;
}

std::string value_of(const TSettings_Form& holder, Param p, bool tagged,
                     const std::vector<std::string>& previous) {
    const ParamInfo& info = param_info(p);
    switch (info.kind) {
    case Kind::Scroll: {
        const ScrollValue& s = holder.scroll(p);
        return std::to_string(s.Min) + ' ' + std::to_string(s.Max) + ' ' +
               std::to_string(s.Position);
    }
    case Kind::Check:
    case Kind::Radio:
        return (p == Param::Screensaver ? tagged : holder.on(p)) ? "TRUE" : "FALSE";
    case Kind::PaletteChoice:
        break;
    }
    if (holder.palette_index() >= 0)
        return holder.palette_list()[static_cast<std::size_t>(holder.palette_index())];
    const std::string kept = previous_palette(previous);
    return kept.empty() ? No_palette : kept;
}

} // namespace

std::vector<std::string> setting_lines(const std::string& name, const TSettings_Form& holder,
                                       bool tagged, const std::vector<std::string>& previous) {
    std::vector<std::string> lines{name};
    const auto add = [&](Param p) {
        lines.push_back(parameter_line(param_info(p).name, value_of(holder, p, tagged, previous)));
    };
    for (int i = 0; i < Param_count; ++i) {
        const auto p = static_cast<Param>(i);
        bool deferred = false;
        for (const Lock& lock : kLocks)
            deferred = deferred || (p == lock.lock && holder.on(p));
        if (!deferred) add(p);
        for (const Lock& lock : kLocks)
            if (p == lock.last_coupled && holder.on(lock.lock)) add(lock.lock);
    }
    // Lines this program does not know (from a newer editor, say) stay; a tag line of an older
    // spelling goes, as the tag is written above.
    for (std::size_t i = 1; i < previous.size(); ++i)
        if (!line_param(previous[i]) && !holds_tag(previous[i])) lines.push_back(previous[i]);
    return lines;
}

} // namespace nimbrel
