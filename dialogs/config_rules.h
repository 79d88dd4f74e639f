// The configuration dialog's rules that need no window: the time limits and their message, how
// the options boxes are read into the options record, the settings list's scrolling and header,
// where the Tag column begins, and how the editor is started.
#pragma once

#include "settings/options.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nimbrel {

inline constexpr const char* Invalid_times_message =
    "Min and Max time settings are invalid \n    (1->3600 allowed) and Min<=Max";
inline constexpr std::int32_t Max_time_limit = 3600;
inline constexpr int Visible_rows = 15;

// 1 <= Min_time <= Max_time <= 3600.
bool Times_valid(std::int32_t min_time, std::int32_t max_time);

// The number at the start of a time box: optional blanks, an optional sign, decimal digits; 0
// when there is none, the rest ignored (values beyond 32 bits saturate).
std::int32_t Leading_integer(std::string_view text);
// A whole text that is an integer (blanks around it allowed), or nothing.
std::optional<std::int32_t> Strict_integer(std::string_view text);
std::string Invalid_integer_message(const std::string& text);

// Leaving (or changing) the Min box: the options record takes the number; `limit` is set when
// the other box's up-down may take it as its limit, otherwise the Options tab is shown.
struct Time_exit {
    std::int32_t value = 0;
    bool limit = false;
};
Time_exit Min_time_exit(std::string_view text, std::int32_t max_time);
Time_exit Max_time_exit(std::string_view text, std::int32_t min_time);

// What the option boxes show.
struct Option_boxes {
    bool cycling = false;
    bool cycle_tagged = false;
    std::string min_time, max_time;
    bool allow_change = false;
    bool allow_force = false;
    bool emulate_palette = false;
    bool animate_every_monitor = false;
};
Option_boxes Boxes_from_options(const Nimbrel_Options& options);
// Copies the boxes into the record in the dialog's order; a time that is not an integer stops
// there (what was copied before stays) and gives the message to show.
std::optional<std::string> Options_from_boxes(const Option_boxes& boxes, Nimbrel_Options& options);

// The settings list's first visible row with `index` selected among `count` settings.
int Top_row(int index, int count);
// The "Name" section's text once the list is filled.
std::string Name_header(int count);
// The "Name" section's width: the list less the Tag section and a vertical scroll bar.
int Name_section_width(int list_width, int tag_width, int scroll_bar_width);
// A point at x (list coordinates) is in the Tag column.
inline bool In_tag_column(int x, int name_width) {
    return x > name_width;
}

// The editor's file name, and the command line that starts it on a settings file with one of
// its settings shown first. Each argument is quoted so that the C runtime's reading gives it
// back as it was, whatever quotes, blanks or backslashes it holds.
inline constexpr const char* Editor_file_name = "Nimbrel_32_Editor.exe";
std::string Editor_command_line(const std::string& editor, const std::string& settings_file,
                                const std::string& setting_name);

} // namespace nimbrel
