#include "fixture.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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
    std::vector<std::string> lines = {
        "        max_polygons\t0 200 80",    "       magnification\t0 256 120",
        "         perspective\t-128 128 20", "             RGBwalk\tTRUE",
        "         colour_step\t-128 128 12", "         palette_inc\t-128 128 30",
        "        sin_rotation\tTRUE",        "                ampl\t0 256 60",
        "                freq\t-128 128 20", "    ran_fluid_motion\tTRUE",
        "            density4\t-100 0 -60",  "            density5\t-100 0 -40",
        "         Screensaver\tTRUE",
    };
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

} // namespace e2e
