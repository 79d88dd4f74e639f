#include "fixture.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>

namespace e2e {

std::string shipped_data() {
    const std::string folder = environment("NIMBREL_DATA");
    if (folder.empty() || !directory_exists(folder + "\\Palette") ||
        !file_exists(folder + "\\Nimbrel_32_Settings.cmp"))
        return {};
    return folder;
}

bool write_palette(const std::string& data_folder) {
    const std::string folder = data_folder + "Palette";
    if (!directory_exists(folder) && !CreateDirectoryA(folder.c_str(), nullptr)) return false;
    constexpr int kCount = 236;
    std::string text = std::to_string(kCount) + "\r\n";
    for (int i = 0; i < kCount; ++i) {
        for (double centre : {0.0, 2.0, 4.0}) { // red, green, blue: full saturation round the wheel
            const double distance = std::fabs(std::fmod(6.0 * i / kCount - centre + 9, 6.0) - 3);
            text += std::to_string(std::lround(255 * std::clamp(2 - distance, 0.0, 1.0))) +
                    (centre < 4 ? " " : "\r\n");
        }
    }
    return write_file(folder + "\\Rainbow.pal", text);
}

std::string setting_block(const std::string& name, const std::vector<std::string>& lines) {
    std::string text = "{ " + name + "\r\n";
    for (const auto& line : lines)
        text += line + "\r\n";
    return text + "}\r\n";
}

std::vector<std::string> busy_rings(const std::vector<std::string>& more) {
    std::vector<std::string> lines = {
        "max_polygons 0 200 80", "magnification 0 256 120", "perspective -128 128 20",
        "RGBwalk TRUE",          "colour_step -128 128 12", "palette_inc -128 128 30",
        "sin_rotation TRUE",     "ampl 0 256 60",           "freq -128 128 20",
        "ran_fluid_motion TRUE", "density4 -100 0 -60",     "density5 -100 0 -40",
        "Screensaver TRUE"};
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

bool write_ini(const std::string& path, const IniEntries& entries) {
    std::string text = "[" + std::string(kIniSection) + "]\r\n";
    for (const auto& [key, value] : entries)
        text += key + "=" + value + "\r\n";
    return write_file(path, text);
}

std::string ini_value(const std::string& path, const std::string& key) {
    std::istringstream in(read_file(path));
    const std::string section = "[" + std::string(kIniSection) + "]";
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind('[', 0) == 0)
            inside = _stricmp(line.c_str(), section.c_str()) == 0;
        else if (inside && line.size() > key.size() && line[key.size()] == '=' &&
                 _strnicmp(line.c_str(), key.c_str(), key.size()) == 0)
            return line.substr(key.size() + 1);
    }
    return kMissing;
}

// ------------------------------------------------------------------------------------------------
bool shows_rings(const Image& shot) {
    return distinct_colours(shot, 64) >= 8 && non_black_fraction(shot) >= 0.002;
}

bool shows_drawing(const Image& shot) {
    return distinct_colours(shot, 8) >= 2 && non_black_fraction(shot) >= 0.0002;
}

std::string summary(const Image& shot) {
    std::ostringstream out;
    out << shot.width << "x" << shot.height << ", " << distinct_colours(shot, 4096) << " colours, "
        << non_black_fraction(shot) * 100 << "% not black";
    return out.str();
}

std::string windows_of(const Process& process) {
    std::string out;
    if (!process.started())
        return "\n  (not started: CreateProcess error " + std::to_string(process.start_error()) +
               ")";
    if (!process.running())
        out += "\n  (the process has ended, exit code " + std::to_string(process.exit_code()) + ")";
    for (HWND w : process.top_windows())
        out += "\n  " + to_string(describe(w));
    return out.empty() ? "\n  (no windows)" : out;
}

// ------------------------------------------------------------------------------------------------
void Saver::SetUp() {
    const std::string scr = environment("NIMBREL_SCR");
    if (scr.empty()) GTEST_SKIP() << "NIMBREL_SCR is not set: no saver to test";
    ASSERT_TRUE(file_exists(scr)) << "the saver " << scr << " does not exist";
    std::string tag = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace_if(
        tag.begin(), tag.end(), [](char c) { return !isalnum(c); }, '-');
    root_ = std::make_unique<TempDir>(tag);
    bin_ = *root_ / "bin\\";
    data_ = *root_ / "data\\";
    exe_ = bin_ + "Nimbrel_32_Saver.scr";
    ASSERT_TRUE(!root_->path().empty() && CreateDirectoryA(bin_.c_str(), nullptr) &&
                CreateDirectoryA(data_.c_str(), nullptr) &&
                CopyFileA(scr.c_str(), exe_.c_str(), FALSE))
        << "could not prepare a folder for the saver";
    ASSERT_TRUE(threshold_.set_number(kMouseThreshold));
    ASSERT_TRUE(directory_.set_string(data_));
    const RECT screen = screen_rect();
    centre_ = {screen.right / 2, screen.bottom / 2};
    // Where the pointer is when the saver starts is where its movement is measured from.
    SetCursorPos(centre_.x, centre_.y);
}

bool Saver::copy_data(const std::string& folder) const {
    return copy_tree(folder, data_.substr(0, data_.size() - 1));
}

void Saver::prepare_shipped_data(bool cycling) {
    const std::string shipped = shipped_data();
    if (shipped.empty()) GTEST_SKIP() << "no shipped data folder (NIMBREL_DATA)";
    ASSERT_TRUE(copy_data(shipped));
    const char* on = cycling ? "1" : "0";
    ASSERT_TRUE(write_ini(data_ini(), {{"Start_auto_cycling", on},
                                       {"Tagged_settings_only", on},
                                       {"Min_time", "30"},
                                       {"Max_time", "60"},
                                       {"Prompt_screen_change", "1"},
                                       {"Prompt_force_change", "1"},
                                       {"Settings_file", kShippedSettings}}));
}

void Saver::prepare_data(const std::vector<std::string>& setting, const IniEntries& more_ini) {
    ASSERT_TRUE(write_palette(data_));
    ASSERT_TRUE(write_file(data_ + kSettingsName, setting_block("E2E rings", setting)));
    IniEntries ini = {{"Start_auto_cycling", "0"},
                      {"Tagged_settings_only", "0"},
                      {"Min_time", "7"},
                      {"Max_time", "9"},
                      {"Prompt_screen_change", "1"},
                      {"Settings_file", kSettingsName}};
    ini.insert(ini.end(), more_ini.begin(), more_ini.end());
    ASSERT_TRUE(write_ini(data_ini(), ini));
}

void Saver::expect_prepared_ini_written_back() {
    const std::pair<const char*, const char*> expected[] = {{"Start_auto_cycling", "0"},
                                                            {"Tagged_settings_only", "0"},
                                                            {"Min_time", "7"},
                                                            {"Max_time", "9"},
                                                            {"Prompt_screen_change", "1"},
                                                            {"Prompt_force_change", "1"},
                                                            {"Settings_file", kSettingsName}};
    for (const auto& [key, value] : expected)
        EXPECT_EQ(ini_value(data_ini(), key), value) << key << " in the INI file written at exit";
    EXPECT_FALSE(file_exists(bin_ini()))
        << "an INI file appeared next to the saver although the registry names a data folder";
}

HWND window_on(const Process& saver, const RECT& area, Millis timeout) {
    HWND found = nullptr;
    wait_until(
        [&] {
            for (HWND w : saver.visible_top_windows())
                if (const RECT r = describe(w).rect; EqualRect(&r, &area)) found = w;
            return found != nullptr;
        },
        timeout);
    return found;
}

double wait_for_rings(const Process& saver, Millis timeout, Image* last,
                      bool (*shows)(const Image&)) {
    Image shot;
    double seen_at = -1;
    wait_until(
        [&] {
            shot = capture_screen();
            if (shows(shot)) seen_at = seconds_since(saver.start_time());
            return seen_at >= 0 || !saver.running();
        },
        timeout, Millis(2));
    if (last) *last = shot;
    return seen_at;
}

bool ends_on_a_key(const Process& saver) {
    press_key(VK_SPACE);
    return saver.wait_exit(Millis(1000));
}

void expect_only_the_last_move_ends(const Process& saver, POINT from,
                                    const std::vector<POINT>& moves) {
    for (const POINT& move : moves) {
        SCOPED_TRACE(::testing::Message() << "move (" << move.x << "," << move.y << ")");
        move_mouse_to(from.x + move.x, from.y + move.y);
        const bool last = &move == &moves.back();
        ASSERT_EQ(saver.wait_exit(Millis(last ? 1000 : 400)), last);
    }
}

// ------------------------------------------------------------------------------------------------
std::vector<RECT> monitor_rects() {
    std::vector<RECT> rects;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
            MONITORINFO info{};
            info.cbSize = sizeof info;
            auto& out = *reinterpret_cast<std::vector<RECT>*>(data);
            if (!GetMonitorInfoA(monitor, &info)) return TRUE;
            out.insert(info.dwFlags & MONITORINFOF_PRIMARY ? out.begin() : out.end(),
                       info.rcMonitor);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&rects));
    return rects;
}

void SaverOnMonitors::SetUp() {
    const std::vector<RECT> monitors = monitor_rects();
    if (monitors.size() < 2)
        GTEST_SKIP() << "one monitor here (tests/wine-env.sh: nimbrel_xserver_start_monitors)";
    Saver::SetUp();
    others_.assign(monitors.begin() + 1, monitors.end());
}

} // namespace e2e
