// The start-up problems of the run: a set of error members and their messages, in the order
// they occurred. A saver window with a non-empty set shows the text instead of the rings.
#pragma once

#include <cstdint>
#include <string>

namespace nimbrel {

// Bit numbers in Error_set.
enum Startup_error : std::uint8_t {
    err_no_registry_key = 1,
    err_bad_directory = 2,
    err_no_settings_file = 3,
    err_settings_corrupt = 4,
    // The collection loaded without error but holds no setting, so there is nothing to show.
    err_no_settings = 5,
    err_no_palettes = 6,
    err_no_256_mode = 7,
    err_change_refused = 8,
    err_force_needed = 9,
    err_change_failed = 10,
};

struct Startup_report {
    std::uint16_t Error_set = 0;
    std::string Error_text;

    bool has(Startup_error e) const { return (Error_set >> e) & 1u; }
    // Adds the member and appends the message exactly as given (each ends with its own CR LFs).
    void add(Startup_error e, const std::string& message) {
        Error_set = static_cast<std::uint16_t>(Error_set | (1u << e));
        Error_text += message;
    }
};

} // namespace nimbrel
