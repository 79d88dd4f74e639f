// Arbitrary bytes as packed data: rejected as corrupt, or unpacked to exactly the length the
// header states, with the progress counting whole KiB of packed data one at a time.
#include "fuzz_check.h"

#include "settings/lzh.h"

using namespace nimbrel;
using nimbrel_fuzz::check;

namespace {

struct Counting_sink : ProgressSink {
    int last = 0;
    int limit = 0;
    void set_position(int kib) override {
        check(kib == ((last + 1) & 0xFFFF), "progress advances one KiB at a time");
        check(kib <= limit, "progress stays within the packed data");
        last = kib;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Counting_sink sink;
    sink.limit = static_cast<int>(size / 1024);
    My_LZH_Compressor codec;
    codec.Progress_bar = &sink;
    codec.Packed_stream.assign(data, data + size);
    std::uint32_t length = 0;
    for (std::size_t i = 4; i-- > 0;)
        length = (length << 8) | (i < size ? data[i] : 0);
    try {
        codec.Process(false);
    } catch (const ElzhException&) {
        check(size >= 4, "data shorter than the length field is not corrupt");
        check(codec.Plain_stream.empty(), "corrupt data leaves no output");
        check(codec.Packed_stream.size() == size, "corrupt data stays for the caller");
        return 0;
    }
    check(codec.Plain_stream.size() == (size < 4 ? 0 : length), "output has the stated length");
    check(codec.Packed_stream.empty(), "the source is consumed");
    return 0;
}
