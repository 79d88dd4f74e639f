#include "tools/settings_tool.h"

#include "settings/file_io.h"
#include "settings/lzh.h"
#include "settings/parameters.h"
#include "settings/settings_file.h"
#include "settings/settings_form.h"
#include "settings/text_lines.h"

#include <optional>
#include <ostream>

namespace nimbrel {
namespace {

const char* const Usage = "usage: nimbrel-settings unpack IN OUT | pack IN OUT | list FILE | "
                          "show FILE INDEX|NAME | tag FILE INDEX|NAME on|off | check FILE";

struct Failure {
    Tool_exit code;
    std::string message;
};

int fail(std::ostream& err, const Failure& f) {
    err << "nimbrel-settings: " << f.message << '\n';
    return f.code;
}

int filter(const std::string& in, const std::string& out, bool pack, std::ostream& err) {
    Bytes data;
    std::string error;
    if (!read_file(in, data, &error)) return fail(err, {tool_bad_data, error});
    try {
        data = pack ? lzh_pack(data) : lzh_unpack(data);
    } catch (const ElzhException& e) {
        return fail(err, {tool_bad_data, in + ": not packed settings data (" + e.what() + ")"});
    }
    if (!write_file_atomically(out, data, &error)) return fail(err, {tool_bad_data, error});
    return tool_ok;
}

std::optional<Failure> load(Nimbrel_settings_file& file, Startup_report& report,
                            const std::string& path) {
    file.Load(path, false);
    if (report.Error_set != 0)
        return Failure{tool_bad_data, path + ": " + one_line(report.Error_text)};
    return std::nullopt;
}

// A setting by its index, when the argument is a number, else by its name.
std::optional<int> find_setting(const Nimbrel_settings_file& file, const std::string& which) {
    const bool number =
        !which.empty() && which.find_first_not_of("0123456789") == std::string::npos;
    if (number) {
        if (which.size() > 9) return std::nullopt;
        const int i = std::stoi(which);
        return i < file.Count() ? std::optional<int>(i) : std::nullopt;
    }
    for (int i = 0; i < file.Count(); ++i)
        if (file.Setting(i).Get_name() == which) return i;
    return std::nullopt;
}

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string command = args.empty() ? "" : args[0];
    const auto arity = [&](std::size_t n) { return args.size() == n + 1; };
    if ((command == "pack" || command == "unpack") && arity(2))
        return filter(args[1], args[2], command == "pack", err);

    const bool known = (command == "list" && arity(1)) || (command == "check" && arity(1)) ||
                       (command == "show" && arity(2)) || (command == "tag" && arity(3));
    if (!known) return fail(err, {tool_bad_usage, Usage});
    if (command == "tag" && args[3] != "on" && args[3] != "off")
        return fail(err, {tool_bad_usage, "tag wants on or off, not " + args[3]});

    const std::string& path = args[1];
    Startup_report report;
    Nimbrel_settings_file file(report);
    if (auto f = load(file, report, path)) return fail(err, *f);

    if (command == "list") {
        for (int i = 0; i < file.Count(); ++i)
            out << i << ' ' << (file.Setting(i).Is_tagged() ? '*' : ' ') << ' '
                << file.Setting(i).Get_name() << '\n';
        return tool_ok;
    }

    if (command == "check") {
        int problems = 0;
        for (int i = 0; i < file.Count(); ++i) {
            const auto& lines = file.Setting(i).Lines;
            TSettings_Form holder{std::vector<std::string>{}};
            const auto problem = holder.Apply_setting(lines);
            if (!problem) continue;
            ++problems;
            const auto at = static_cast<std::size_t>(problem->line);
            out << "setting " << i << " \"" << file.Setting(i).Get_name() << "\", line "
                << problem->line << ": " << problem->reason;
            if (at < lines.size()) {
                out << ": " << lines[at];
                // The control's caption, so the value can be found and mended in an editor.
                const auto words = split_tokens(lines[at]);
                if (const auto param = words.empty() ? std::nullopt : find_param(words[0]))
                    out << " (\"" << param_info(*param).caption << "\")";
            }
            out << '\n';
        }
        if (problems == 0) return tool_ok;
        return fail(err, {tool_bad_data, path + ": " + std::to_string(problems) +
                                             (problems == 1 ? " setting" : " settings") +
                                             " with problems"});
    }

    const auto index = find_setting(file, args[2]);
    if (!index) return fail(err, {tool_bad_usage, path + ": no setting " + args[2]});

    if (command == "show") {
        for (const auto& line : file.Setting(*index).Lines)
            out << line << '\n';
        return tool_ok;
    }

    // tag
    file.Set_tag(*index, args[3] == "on");
    std::string error;
    if (!file.Save(&error)) return fail(err, {tool_bad_data, error});
    return tool_ok;
}

} // namespace

int run_settings_tool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        return run(args, out, err);
    } catch (const std::exception& e) {
        return fail(err, {tool_bad_data, e.what()});
    }
}

} // namespace nimbrel
