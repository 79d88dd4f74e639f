// The system's screen-saver values as the general options page reads them, from arbitrary bytes:
// "Mouse Corners" data (present or missing), a password delay typed into the wait edit with its
// unit, and a mouse threshold index. Corners read back as written; a delay never wraps round to
// another delay; only the known thresholds come out.
#include "fuzz_check.h"

#include "saverkit/general_options.h"

#include <algorithm>
#include <cstring>
#include <limits>

using namespace nimbrel;
using nimbrel_fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 10) return 0;
    const std::uint8_t flags = data[0];
    const int unit_item = static_cast<std::int8_t>(data[1]); // -1 is no selection
    std::int64_t index;
    std::memcpy(&index, data + 2, sizeof index);
    const std::string rest(reinterpret_cast<const char*>(data) + 10, size - 10);

    // Corners: up to 5 bytes as the registry hands them over.
    const std::optional<std::string> stored =
        (flags & 1) ? std::optional<std::string>(rest.substr(0, 5)) : std::nullopt;
    const CornerModes corners = DecodeCorners(stored);
    const std::string encoded = EncodeCorners(corners);
    check(encoded.size() == 4 && encoded.find_first_not_of("-YN") == std::string::npos,
          "four corner characters");
    check(DecodeCorners(encoded) == corners, "corners read back as written");

    // The wait edit's text (or no edit) and its unit list.
    const bool has_text = (flags & 2) != 0, has_list = (flags & 4) != 0;
    const std::optional<std::string> text =
        has_text ? std::optional<std::string>(rest) : std::nullopt;
    const std::uint32_t seconds = ReadPasswordDelay(text, unit_item, has_list);
    const bool minutes = unit_item >= 1;
    if (text && !text->empty() && text->size() <= 9 && (*text)[0] != '0' &&
        text->find_first_not_of("0123456789") == std::string::npos) {
        const std::uint64_t n = std::stoull(*text);
        const std::uint64_t expected = std::min<std::uint64_t>(
            minutes ? n * 60 : n, std::numeric_limits<std::uint32_t>::max());
        check(seconds == expected, "a plain number is taken as it is, at most the largest delay");
    }
    if (text && text->find_first_of("0123456789") != std::string::npos &&
        text->find('-') == std::string::npos && minutes)
        check(seconds == 0 || seconds >= 60, "minutes never wrap to a few seconds");
    const WaitShown shown = ShowPasswordDelay(seconds);
    check(shown.unit == 0 ? shown.number == seconds : shown.number == seconds / 60,
          "the delay shown is the delay held");
    check(PasswordDelayIndex(seconds, unit_item) <= 1, "an index of 0 or 1");

    const TMouseThreshold threshold = MouseThresholdFromIndex(index);
    const std::uint32_t pixels = MousePixThreshold(threshold);
    check(pixels == 0 || pixels == 200 || pixels == 400 || pixels == 999999, "known thresholds");
    check((index >= 0 && index <= 3) || threshold == mtNormal, "unknown indices are normal");
    return 0;
}
