// Arbitrary INI file text read into the options record, written back into that text and read
// again: the options are the same, and writing them once more changes nothing.
#include "fuzz_check.h"

#include "settings/ini_bag.h"
#include "settings/ini_text.h"
#include "settings/options.h"

using namespace nimbrel;
using nimbrel_fuzz::check;

namespace {

// No registry entry: the record reads no file, and at exit writes its INI file beside this
// "executable", under a device, which always fails without touching anything.
const char* const Nowhere = "/dev/null/";

struct Fields {
    bool start_auto, tagged_only, prompt_screen, prompt_force, emulate;
    std::int32_t min_time, max_time;
    std::string settings_file;
    Other_monitors_mode other_monitors;
    bool operator==(const Fields& o) const {
        return start_auto == o.start_auto && tagged_only == o.tagged_only &&
               prompt_screen == o.prompt_screen && prompt_force == o.prompt_force &&
               emulate == o.emulate && min_time == o.min_time && max_time == o.max_time &&
               settings_file == o.settings_file && other_monitors == o.other_monitors;
    }
};

Fields read_options(const Bytes& text) {
    TBag bag;
    bag.IniSect = Ini_section;
    bag.Load_text(text);
    for (const std::string& key : bag.Keys())
        check(!key.empty() && bag.Get(key).size() <= 255, "keys named, values cut to 255");
    Nimbrel_Options options(Fixed_registry(), Nowhere);
    options.Read_from(bag);
    check(options.Auto_cycling == options.Start_auto_cycling, "the run starts as stored");
    return {options.Start_auto_cycling,
            options.Tagged_settings_only,
            options.Prompt_screen_change,
            options.Prompt_force_change,
            options.Emulate_palette,
            options.Min_time,
            options.Max_time,
            options.Settings_file,
            options.Other_monitors};
}

Bytes write_options(const Bytes& text, const Fields& f) {
    Nimbrel_Options options(Fixed_registry(), Nowhere);
    options.Start_auto_cycling = f.start_auto;
    options.Tagged_settings_only = f.tagged_only;
    options.Prompt_screen_change = f.prompt_screen;
    options.Prompt_force_change = f.prompt_force;
    options.Emulate_palette = f.emulate;
    options.Min_time = f.min_time;
    options.Max_time = f.max_time;
    options.Settings_file = f.settings_file;
    options.Other_monitors = f.other_monitors;
    TBag bag;
    options.Write_to(bag);
    Ini_entries entries;
    for (const std::string& key : bag.Keys())
        entries.emplace_back(key, bag.Get(key));
    return write_ini_section(text, Ini_section, entries);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Bytes text(data, data + size);
    const Fields read = read_options(text);
    const Bytes written = write_options(text, read);
    check(read_options(written) == read, "the options read back as written");
    check(write_options(written, read) == written, "writing the same options again is a no-op");
    return 0;
}
