// Arbitrary bytes packed and unpacked again come back unchanged.
#include "fuzz_check.h"

#include "settings/lzh.h"

using namespace nimbrel;
using nimbrel_fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> plain(data, data + size);
    const std::vector<std::uint8_t> packed = lzh_pack(plain);
    check(packed.size() >= 4, "packed data has its length field");
    check(lzh_unpack(packed) == plain, "unpacking restores the data");
    return 0;
}
