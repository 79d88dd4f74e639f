// Arbitrary "Directory" registry data as the reader receives it (more than its buffer holds:
// the query fails), through to the options record's data directory and start-up report.
// Nothing here writes a file: a fuzzed directory must never become a place to write to.
#include "fuzz_check.h"

#include "settings/options.h"
#include "settings/registry.h"

#include <optional>

using namespace nimbrel;
using nimbrel_fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::optional<std::string> value;
    if (size <= Registry_value_buffer) {
        value = registry_value_text(reinterpret_cast<const char*>(data), size);
        check(value->find('\0') == std::string::npos, "the text stops at the first NUL");
        check(value->size() <= size, "the text lies within the data");
    }
    Startup_report report;
    const std::string directory = find_data_directory(value, report);
    if (!value || value->empty()) {
        check(report.Error_set == (1u << err_no_registry_key), "nothing registered: reported");
        check(directory.empty(), "nothing registered: no directory");
        return 0;
    }
    check(directory.compare(0, value->size(), *value) == 0, "the registered folder kept");
    check(directory.back() == '/' || directory.back() == '\\', "ends with a separator");
    check(directory.size() <= value->size() + 1, "at most one separator added");
    const bool exists = folder_exists(directory);
    check(report.Error_set == (exists ? 0u : 1u << err_bad_directory), "a missing folder reported");
    check(exists || report.Error_text.find(directory) != std::string::npos,
          "the report names the directory");
    return 0;
}
