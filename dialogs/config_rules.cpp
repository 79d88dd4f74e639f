#include "dialogs/config_rules.h"

#include "settings/text_lines.h"

#include <cctype>
#include <limits>

namespace nimbrel {
namespace {

bool is_space(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::int32_t saturate(std::int64_t value) {
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

// Optional sign and decimal digits from `pos`; the digits' count in `digits`.
std::int64_t read_decimal(std::string_view text, std::size_t& pos, int& digits) {
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    std::int64_t value = 0;
    digits = 0;
    for (; pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])); ++pos) {
        if (value < (std::int64_t{1} << 40)) value = value * 10 + (text[pos] - '0');
        ++digits;
    }
    return negative ? -value : value;
}

} // namespace

bool Times_valid(std::int32_t min_time, std::int32_t max_time) {
    return 1 <= min_time && min_time <= max_time && max_time <= Max_time_limit;
}

std::int32_t Leading_integer(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && is_space(text[pos]))
        ++pos;
    int digits = 0;
    const std::int64_t value = read_decimal(text, pos, digits);
    return digits ? saturate(value) : 0;
}

std::optional<std::int32_t> Strict_integer(std::string_view text) {
    return parse_int32(trimmed(text, is_space));
}

std::string Invalid_integer_message(const std::string& text) {
    return "'" + text + "' is not a valid integer value";
}

Time_exit Min_time_exit(std::string_view text, std::int32_t max_time) {
    const std::int32_t value = Leading_integer(text);
    return {value, 1 <= value && value <= max_time};
}

Time_exit Max_time_exit(std::string_view text, std::int32_t min_time) {
    const std::int32_t value = Leading_integer(text);
    return {value, value >= 1 && value >= min_time};
}

Option_boxes Boxes_from_options(const Nimbrel_Options& options) {
    Option_boxes boxes;
    boxes.cycling = options.Start_auto_cycling;
    boxes.cycle_tagged = options.Tagged_settings_only;
    boxes.min_time = std::to_string(options.Min_time);
    boxes.max_time = std::to_string(options.Max_time);
    boxes.allow_change = !options.Prompt_screen_change;
    boxes.allow_force = !options.Prompt_force_change;
    boxes.emulate_palette = options.Emulate_palette;
    boxes.animate_every_monitor = options.Other_monitors == Other_monitors_mode::rings;
    return boxes;
}

std::optional<std::string> Options_from_boxes(const Option_boxes& boxes, Nimbrel_Options& options) {
    options.Auto_cycling = boxes.cycling;
    options.Start_auto_cycling = boxes.cycling;
    options.Tagged_settings_only = boxes.cycle_tagged;
    const auto min_time = Strict_integer(boxes.min_time);
    if (!min_time) return Invalid_integer_message(boxes.min_time);
    options.Min_time = *min_time;
    const auto max_time = Strict_integer(boxes.max_time);
    if (!max_time) return Invalid_integer_message(boxes.max_time);
    options.Max_time = *max_time;
    options.Prompt_screen_change = !boxes.allow_change;
    options.Prompt_force_change = !boxes.allow_force;
    options.Emulate_palette = boxes.emulate_palette;
    options.Other_monitors =
        boxes.animate_every_monitor ? Other_monitors_mode::rings : Other_monitors_mode::black;
    return std::nullopt;
}

int Top_row(int index, int count) {
    constexpr int half = 8;
    if (index - half >= 0 && index + half <= count) return index - half;
    if (index - half < 0) return 0;
    const int top = count - Visible_rows;
    return top < 0 ? 0 : top;
}

std::string Name_header(int count) {
    return "Name        " + std::to_string(count) + " Settings in file";
}

int Name_section_width(int list_width, int tag_width, int scroll_bar_width) {
    return list_width - tag_width - scroll_bar_width;
}

namespace {

// Backslashes count only before a quote: doubled there, and one more escapes the quote itself.
std::string quoted(const std::string& argument) {
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\'); // before the closing quote
    return out + '"';
}

} // namespace

std::string Editor_command_line(const std::string& editor, const std::string& settings_file,
                                const std::string& setting_name) {
    return quoted(editor) + ' ' + quoted(settings_file) + ' ' + quoted(setting_name);
}

} // namespace nimbrel
