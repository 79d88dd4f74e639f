// Arbitrary process command lines classified into a run mode: only the modes the saver knows come
// out, with a window only where one belongs; "%i" integers read as strtoll reads them.
#include "fuzz_check.h"

#include "saverkit/command_line.h"

#include <cerrno>
#include <cstdlib>
#include <string>

using namespace nimbrel;
using nimbrel_fuzz::check;

namespace {

// Windows whose number is odd exist; the foreground window is 4242; the external preview
// program starts when the input says so.
CommandLineSystem system_for(bool preview_starts) {
    CommandLineSystem system;
    system.is_window = [](WindowId w) { return (w & 1) != 0; };
    system.foreground_window = [] { return WindowId{4242}; };
    system.external_preview = [preview_starts] { return preview_starts ? WindowId{77} : 0; };
    return system;
}

// The integer reading agrees with the C library wherever the value fits 32 bits.
void check_scan(const std::string& text) {
    const auto ours = ScanInteger(text);
    const std::string c_text = text.substr(0, text.find('\0'));
    if (c_text.size() != text.size()) return; // the C library would stop at the NUL
    errno = 0;
    char* end = nullptr;
    const long long theirs = std::strtoll(c_text.c_str(), &end, 0);
    const bool read = end != c_text.c_str();
    check(ours.has_value() == read, "a number is read exactly when the C library reads one");
    if (read && errno != ERANGE && theirs >= INT32_MIN && theirs <= INT32_MAX)
        check(*ours == static_cast<std::int32_t>(theirs), "the same value as the C library");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool preview_starts = (data[0] & 1) != 0;
    const std::string line(reinterpret_cast<const char*>(data) + 1, size - 1);
    check_scan(line);

    const auto command = ParseCommandLine(line, system_for(preview_starts));
    if (!command) return 0;
    switch (command->mode) {
    case smCRegular:
        check(command->window == 0 || command->window == 4242, "configuration: no or foreground");
        break;
    case smSFull:
        check(command->window == 0, "full screen: no window");
        break;
    case smSPMain:
        check(command->window == 77 || (command->window & 1) != 0, "preview: an existing window");
        break;
    case smPasswordChange:
        check(command->window == 4242 || (command->window & 1) != 0,
              "password: an existing or the foreground window");
        break;
    default:
        check(false, "only the command line's modes");
    }
    return 0;
}
