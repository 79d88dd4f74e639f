// Arbitrary settings file contents, plain text or packed (first input byte odd). The collection
// either holds settings or reports corruption; written back and read again it is the same; a
// tag set or cleared reads back, and survives the next write and read.
#include "fuzz_check.h"

#include "settings/settings_file.h"

using namespace nimbrel;
using nimbrel_fuzz::check;

namespace {

std::vector<std::vector<std::string>> settings_of(const Nimbrel_settings_file& file) {
    std::vector<std::vector<std::string>> all;
    for (int i = 0; i < file.Count(); ++i)
        all.push_back(file.Setting(i).Lines);
    return all;
}

Bytes text_of(const Nimbrel_settings_file& file) {
    Bytes text;
    for (int i = 0; i < file.Count(); ++i)
        file.Setting(i).Write_to(text);
    return text;
}

// Reading the written text gives the same settings.
void check_round_trip(const Nimbrel_settings_file& file, const char* what) {
    Startup_report report;
    Nimbrel_settings_file again(report);
    again.Load_contents(text_of(file), false);
    check(report.Error_set == 0, what);
    check(settings_of(again) == settings_of(file), what);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool packed = (data[0] & 1) != 0;
    Startup_report report;
    Nimbrel_settings_file file(report);
    file.Load_contents(Bytes(data + 1, data + size), packed);

    check(report.Error_set == 0 || report.Error_set == (1u << err_settings_corrupt),
          "corruption is the only problem reported");
    check((file.Count() == 0) == report.has(err_settings_corrupt),
          "settings, or a corruption report");
    if (file.Count() == 0) return 0;
    check(!file.Modified(), "a fresh load is unmodified");
    check_round_trip(file, "written and read again, the settings are the same");

    const int pick = file.Random_index(false);
    check(pick >= 0 && pick < file.Count(), "random index in range");
    const int tagged_pick = file.Random_index(true);
    check(tagged_pick >= 0 && tagged_pick < file.Count(), "random tagged index in range");

    for (int i = 0; i < file.Count(); ++i) {
        const bool tagged = file.Setting(i).Is_tagged();
        const std::string name = file.Setting(i).Get_name();
        file.Set_tag(i, !tagged);
        const auto& lines = file.Setting(i).Lines;
        check(lines.at(0) == name, "tagging keeps the name");
        // One line holds the tag, and it is the line rewritten, whatever other lines say.
        check(file.Setting(i).Is_tagged() == !tagged, "a tag set or cleared reads back");
    }
    check(file.Modified(), "tagging marks the collection modified");
    check_round_trip(file, "tags survive writing and reading");
    return 0;
}
