#include "fixture.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <sstream>

namespace e2e {

std::string saver_under_test() {
    return environment("NIMBREL_SCR");
}

std::string shipped_data() {
    const std::string folder = environment("NIMBREL_DATA");
    if (folder.empty() || !directory_exists(folder + "\\Palette") ||
        !file_exists(folder + "\\Nimbrel_32_Settings.cmp"))
        return {};
    return folder;
}

SaverInstall::SaverInstall(const std::string& saver, const std::string& tag) : root_(tag) {
    if (root_.path().empty()) return;
    bin_ = root_ / "bin\\";
    data_ = root_ / "data\\";
    exe_ = bin_ + "Nimbrel_32_Saver.scr";
    ok_ = CreateDirectoryA(bin_.c_str(), nullptr) && CreateDirectoryA(data_.c_str(), nullptr) &&
          CopyFileA(saver.c_str(), exe_.c_str(), FALSE);
}

namespace {

// A colour wheel position 0..1 to RGB at full saturation.
void hue(double h, int& r, int& g, int& b) {
    const double x = h * 6;
    const auto ramp = [&](double centre) {
        double d = std::fabs(std::fmod(x - centre + 9, 6.0) - 3); // 0..3, distance on the wheel
        return int(std::lround(255 * std::clamp(2 - d, 0.0, 1.0)));
    };
    r = ramp(0);
    g = ramp(2);
    b = ramp(4);
}

std::string palette(int count, void (*colour)(int, int, int&, int&, int&)) {
    std::string text = std::to_string(count) + "\r\n";
    for (int i = 0; i < count; ++i) {
        int r, g, b;
        colour(i, count, r, g, b);
        text += std::to_string(r) + " " + std::to_string(g) + " " + std::to_string(b) + "\r\n";
    }
    return text;
}

} // namespace

bool write_fixture_palettes(const std::string& folder) {
    if (!directory_exists(folder) && !CreateDirectoryA(folder.c_str(), nullptr)) return false;
    const auto wheel = [](int i, int n, int& r, int& g, int& b) { hue(double(i) / n, r, g, b); };
    const auto fire = [](int i, int n, int& r, int& g, int& b) {
        r = std::min(255, 40 + i * 3 * 255 / n);
        g = std::max(0, (i * 2 - n) * 255 / n);
        b = i * 40 / n;
    };
    const auto ice = [](int i, int n, int& r, int& g, int& b) {
        r = i * 200 / n;
        g = 60 + i * 195 / n;
        b = 255;
    };
    return write_file(folder + "\\Rainbow.pal", palette(236, wheel)) &&
           write_file(folder + "\\Fire.pal", palette(120, fire)) &&
           write_file(folder + "\\Ice.pal", palette(60, ice));
}

std::string setting_block(const std::string& name, const std::vector<std::string>& lines) {
    std::string text = "{ " + name + "\r\n";
    for (const auto& line : lines)
        text += line + "\r\n";
    return text + "}\r\n";
}

std::vector<std::string> busy_rings(bool fix_speed, int frames_per_second) {
    // clang-format off
    std::vector<std::string> lines = {
        "        max_polygons\t0 200 80",
        "       magnification\t0 256 120",
        "         perspective\t-128 128 20",
        "             RGBwalk\tTRUE",
        "         colour_step\t-128 128 12",
        "         palette_inc\t-128 128 30",
        "        sin_rotation\tTRUE",
        "                ampl\t0 256 60",
        "                freq\t-128 128 20",
        "    ran_fluid_motion\tTRUE",
        "            density4\t-100 0 -60",
        "            density5\t-100 0 -40",
        "         Screensaver\tTRUE",
    };
    // clang-format on
    if (fix_speed) {
        lines.push_back("           fix_speed\tTRUE");
        lines.push_back("        speed_scroll\t1 200 " + std::to_string(frames_per_second));
    }
    return lines;
}

bool write_ini(const std::string& path, const std::string& section,
               const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string text = "[" + section + "]\r\n";
    for (const auto& [key, value] : entries)
        text += key + "=" + value + "\r\n";
    return write_file(path, text);
}

const std::string* IniSection::find(const std::string& key) const {
    for (const auto& entry : entries)
        if (_stricmp(entry.first.c_str(), key.c_str()) == 0) return &entry.second;
    return nullptr;
}

IniSection read_ini(const std::string& path, const std::string& section) {
    IniSection result;
    const std::string text = read_file(path);
    bool inside = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.front() == '[') {
            const auto close = line.find(']');
            inside = close != std::string::npos &&
                     _stricmp(line.substr(1, close - 1).c_str(), section.c_str()) == 0;
            result.found = result.found || inside;
            continue;
        }
        const auto equals = line.find('=');
        if (inside && equals != std::string::npos && equals > 0)
            result.entries.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    return result;
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
    const std::string scr = saver_under_test();
    if (scr.empty()) GTEST_SKIP() << "NIMBREL_SCR is not set: no saver to test";
    ASSERT_TRUE(file_exists(scr)) << "the saver " << scr << " does not exist";
    std::string tag = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace_if(
        tag.begin(), tag.end(), [](char c) { return !isalnum(c); }, '-');
    install_ = std::make_unique<SaverInstall>(scr, tag);
    ASSERT_TRUE(install_->ok()) << "could not prepare a folder for the saver";
    ASSERT_TRUE(threshold_.set_number(kMouseThreshold));
    ASSERT_TRUE(directory_.set_string(install_->data()));
    const RECT screen = screen_rect();
    centre_ = {screen.right / 2, screen.bottom / 2};
    // Where the pointer is when the saver starts is where its movement is measured from.
    SetCursorPos(centre_.x, centre_.y);
}

void Saver::prepare_data(const std::vector<std::string>& setting,
                         const std::vector<std::pair<std::string, std::string>>& more_ini) {
    ASSERT_TRUE(write_fixture_palettes(install().data() + "Palette"));
    ASSERT_TRUE(write_file(install().data() + kSettingsName, setting_block("E2E rings", setting)));
    std::vector<std::pair<std::string, std::string>> ini = {{"Start_auto_cycling", "0"},
                                                            {"Tagged_settings_only", "0"},
                                                            {"Min_time", "7"},
                                                            {"Max_time", "9"},
                                                            {"Prompt_screen_change", "1"},
                                                            {"Settings_file", kSettingsName}};
    ini.insert(ini.end(), more_ini.begin(), more_ini.end());
    ASSERT_TRUE(write_ini(install().data_ini(), kIniSection, ini));
}

void Saver::expect_prepared_ini_written_back() {
    const IniSection ini = read_ini(install().data_ini(), kIniSection);
    ASSERT_TRUE(ini.found) << "no [" << kIniSection << "] in " << install().data_ini();
    const std::pair<const char*, const char*> expected[] = {{"Start_auto_cycling", "0"},
                                                            {"Tagged_settings_only", "0"},
                                                            {"Min_time", "7"},
                                                            {"Max_time", "9"},
                                                            {"Prompt_screen_change", "1"},
                                                            {"Prompt_force_change", "1"},
                                                            {"Settings_file", kSettingsName}};
    for (const auto& [key, value] : expected) {
        const std::string* seen = ini.find(key);
        ASSERT_NE(seen, nullptr) << key << " missing from the INI file written at exit";
        EXPECT_EQ(*seen, value) << key;
    }
    EXPECT_FALSE(file_exists(install().bin_ini()))
        << "an INI file appeared next to the saver although the registry names a data folder";
}

HWND Saver::full_screen_window(const Process& saver, Millis timeout) {
    const RECT screen = screen_rect();
    HWND found = nullptr;
    wait_until(
        [&] {
            for (HWND w : saver.visible_top_windows())
                if (const RECT r = describe(w).rect; EqualRect(&r, &screen)) found = w;
            return found != nullptr;
        },
        timeout);
    return found;
}

double Saver::wait_for_rings(const Process& saver, Millis timeout, Image* last,
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
            if (info.dwFlags & MONITORINFOF_PRIMARY)
                out.insert(out.begin(), info.rcMonitor);
            else
                out.push_back(info.rcMonitor);
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
