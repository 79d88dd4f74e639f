#include "tools/render_options.h"

#include <cstdio>
#include <limits>

namespace nimbrel {
namespace {

// Plain decimal digits only: no sign, no spaces, no suffix.
std::optional<std::uint64_t> parse_count(const std::string& text, std::uint64_t max) {
    if (text.empty() || text.size() > 10) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > max) return std::nullopt;
    return value;
}

bool parse_size(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    const auto w = parse_count(text.substr(0, x), 8192), h = parse_count(text.substr(x + 1), 8192);
    if (!w || !h || *w == 0 || *h == 0) return false;
    width = static_cast<int>(*w);
    height = static_cast<int>(*h);
    return true;
}

struct Conversion {
    std::size_t start, end; // [start, end) in the pattern
    bool zero_pad;
    int width;
};

// Finds the frame number conversions; false for anything that is not %d, %Nd, %0Nd or %%.
bool scan_pattern(const std::string& pattern, std::vector<Conversion>& found) {
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') continue;
        const std::size_t start = i++;
        if (i < pattern.size() && pattern[i] == '%') continue;
        Conversion c{start, 0, false, 0};
        if (i < pattern.size() && pattern[i] == '0') {
            c.zero_pad = true;
            ++i;
        }
        std::size_t digits = 0;
        while (i < pattern.size() && pattern[i] >= '0' && pattern[i] <= '9' && digits < 2) {
            c.width = c.width * 10 + (pattern[i++] - '0');
            ++digits;
        }
        if (i >= pattern.size() || pattern[i] != 'd') return false;
        c.end = i + 1;
        found.push_back(c);
    }
    return true;
}

} // namespace

std::optional<std::string> frame_file_name(const std::string& pattern, int frame) {
    std::vector<Conversion> found;
    if (!scan_pattern(pattern, found) || found.size() > 1) return std::nullopt;
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (!found.empty() && i == found[0].start) {
            char number[128]; // widths stop at 99
            std::snprintf(number, sizeof number, found[0].zero_pad ? "%0*d" : "%*d", found[0].width,
                          frame);
            out += number;
            i = found[0].end - 1;
            continue;
        }
        if (pattern[i] == '%') ++i; // "%%"
        out += pattern[i];
    }
    return out;
}

bool has_frame_number(const std::string& pattern) {
    std::vector<Conversion> found;
    return scan_pattern(pattern, found) && !found.empty();
}

std::optional<RenderOptions> parse_render_options(const std::vector<std::string>& args,
                                                  std::string& error) {
    RenderOptions o;
    std::vector<std::string> seen;
    const auto fail = [&](const std::string& why) {
        error = why;
        return std::nullopt;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name.rfind("--", 0) != 0) return fail("unexpected argument \"" + name + "\"");
        for (const std::string& s : seen)
            if (s == name) return fail(name + " is given twice");
        seen.push_back(name);
        if (i + 1 >= args.size()) return fail(name + " needs a value");
        const std::string& value = args[++i];
        if (name == "--settings") {
            o.settings_file = value;
        } else if (name == "--setting") {
            o.setting = value;
        } else if (name == "--palettes") {
            o.palettes = value;
        } else if (name == "--size") {
            if (!parse_size(value, o.width, o.height))
                return fail("--size wants WIDTHxHEIGHT, each 1 to 8192, not \"" + value + "\"");
        } else if (name == "--frames" || name == "--every") {
            const auto n = parse_count(value, 1000000);
            if (!n || *n == 0)
                return fail(name + " wants a number from 1 to 1000000, not \"" + value + "\"");
            (name == "--frames" ? o.frames : o.every) = static_cast<int>(*n);
        } else if (name == "--seed") {
            const auto n = parse_count(value, std::numeric_limits<std::uint32_t>::max());
            if (!n)
                return fail("--seed wants a number from 0 to 4294967295, not \"" + value + "\"");
            o.seed = static_cast<std::uint32_t>(*n);
        } else if (name == "--png") {
            o.png_pattern = value;
        } else if (name == "--gif") {
            o.gif_file = value;
        } else {
            return fail("unknown option " + name);
        }
        if (value.empty()) return fail(name + " needs a value");
    }
    if (o.settings_file.empty()) return fail("--settings is missing");
    if (o.setting.empty()) return fail("--setting is missing");
    if (o.palettes.empty()) return fail("--palettes is missing");
    if (o.png_pattern.empty() == o.gif_file.empty())
        return fail("give exactly one of --png and --gif");
    if (o.every > o.frames)
        return fail("--every is larger than --frames, so no frame would be written");
    if (!o.png_pattern.empty()) {
        if (!frame_file_name(o.png_pattern, 0))
            return fail(
                "--png wants a name with at most one %d, %Nd or %0Nd (and %% for a percent sign)");
        if (o.frames / o.every > 1 && !has_frame_number(o.png_pattern))
            return fail("--png needs %d in the name to write more than one frame");
    }
    return o;
}

} // namespace nimbrel
