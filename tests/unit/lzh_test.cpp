#include "settings/lzh.h"

#include "lzh_reference.h"
#include "lzh_sample_text.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>
#include <string>

using namespace nimbrel;
using nimbrel::testing::random_bytes;
using nimbrel::testing::ReferenceLzh;
using nimbrel::testing::sample_settings_text;
using nimbrel_test::bytes_of;

namespace {

// Bytes from a small alphabet with long and short repeats: plenty of matches of every length.
Bytes repetitive_bytes(std::size_t n, std::uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes b;
    while (b.size() < n) {
        if (b.size() > 100 && rng() % 3) {
            const std::size_t from = b.size() - 1 - rng() % std::min<std::size_t>(b.size(), 5000);
            const std::size_t len = 1 + rng() % 80;
            for (std::size_t k = 0; k < len; ++k)
                b.push_back(b[from + k]);
        } else {
            b.push_back(static_cast<std::uint8_t>('a' + rng() % 4));
        }
    }
    b.resize(n);
    return b;
}

// Shuffled chunks of the previous 2000 bytes, chunk lengths 4 to 11 with frequencies falling by
// a ratio near the golden ratio: a match-only stream whose length symbols drive the Huffman tree
// deeper than 16 levels, so the rarest symbols get codes longer than 16 bits.
Bytes deep_tree_bytes() {
    constexpr std::size_t block = 2000;
    const unsigned weights[] = {1000, 606, 367, 223, 135, 82, 50, 30};
    unsigned total = 0;
    for (unsigned w : weights)
        total += w;
    std::mt19937 rng(1);
    Bytes b(block);
    for (auto& x : b)
        x = static_cast<std::uint8_t>(rng());
    for (int generation = 0; generation < 300; ++generation) {
        const std::size_t base = b.size() - block;
        std::vector<std::pair<std::size_t, std::size_t>> chunks; // start, length
        for (std::size_t at = 0; at < block;) {
            unsigned u = rng() % total;
            std::size_t len = 4;
            for (unsigned w : weights) {
                if (u < w) break;
                u -= w;
                ++len;
            }
            len = std::min(len, block - at);
            chunks.emplace_back(base + at, len);
            at += len;
        }
        for (std::size_t i = chunks.size() - 1; i > 0; --i)
            std::swap(chunks[i], chunks[rng() % (i + 1)]);
        for (const auto& [from, len] : chunks)
            for (std::size_t k = 0; k < len; ++k)
                b.push_back(b[from + k]);
    }
    return b;
}

struct ReferenceRun {
    Bytes out;
    std::uint32_t bytes_read = 0;
    std::vector<int> progress; // as the codec reports it: whole KiB read, on each change
};

// Drives the reference codec the way the compressor drives its codec: one byte per call.
ReferenceRun reference_process(const Bytes& source, bool compress) {
    ReferenceRun run;
    std::size_t pos = 0;
    auto get = [&](std::uint8_t* buf, int) {
        if (pos >= source.size()) return 0;
        *buf = source[pos++];
        ++run.bytes_read;
        if (run.bytes_read % 1024 == 0) run.progress.push_back((run.bytes_read >> 10) & 0xFFFF);
        return 1;
    };
    auto put = [&](const std::uint8_t* buf, int) {
        run.out.push_back(*buf);
        return 1;
    };
    const auto codec = std::make_unique<ReferenceLzh>();
    if (compress) {
        const auto size = static_cast<std::uint32_t>(source.size());
        for (int i = 0; i < 4; ++i)
            run.out.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
        codec->LZH_pack(get, put);
    } else if (source.size() >= 4) {
        pos = 4; // the length is read directly, not through the counted reader
        std::uint32_t field = 0;
        for (int i = 3; i >= 0; --i)
            field = field << 8 | source[i];
        codec->LZH_unpack(static_cast<std::int32_t>(field), get, put);
    }
    return run;
}

struct RecordingSink : ProgressSink {
    std::vector<int> positions;
    void set_position(int kib) override { positions.push_back(kib); }
};

// Unpacks with the real codec, recording the progress it reports.
std::vector<int> unpack_progress(const Bytes& packed, const Bytes& plain) {
    RecordingSink sink;
    My_LZH_Compressor codec;
    codec.Progress_bar = &sink;
    codec.Packed_stream = packed;
    codec.Process(false);
    EXPECT_EQ(codec.Plain_stream, plain);
    EXPECT_TRUE(codec.Packed_stream.empty());
    return sink.positions;
}

} // namespace

TEST(Lzh, KnownPackedForms) {
    const struct {
        std::string plain;
        Bytes packed;
    } cases[] = {
        {"abc", {0x03, 0x00, 0x00, 0x00, 0xF6, 0xFB, 0xBD, 0xE0}},
        // One literal, then one match of length 9 at position 0.
        {"aaaaaaaaaa", {0x0A, 0x00, 0x00, 0x00, 0xF6, 0xC9, 0x00, 0x00}},
        {"", {0x00, 0x00, 0x00, 0x00}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lzh_pack(bytes_of(c.plain)), c.packed) << c.plain;
        EXPECT_EQ(lzh_unpack(c.packed), bytes_of(c.plain)) << c.plain;
    }
    // Other packers code one literal for empty data; the length alone decides.
    const Bytes empty = reference_process({}, true).out;
    ASSERT_GT(empty.size(), 4u);
    EXPECT_TRUE(lzh_unpack(empty).empty());
}

TEST(Lzh, RoundTripsAndMatchesTheReferenceByteForByte) {
    Bytes all_values, up_down_up; // every value ascending, descending, ascending
    for (int i = 0; i < 3 * 256; ++i) {
        if (i < 256) all_values.push_back(static_cast<std::uint8_t>(i));
        up_down_up.push_back(static_cast<std::uint8_t>(i / 256 == 1 ? 511 - i : i % 256));
    }
    Bytes text_then_random = sample_settings_text(30000, 9);
    const Bytes r = random_bytes(9000, 4);
    text_then_random.insert(text_then_random.end(), r.begin(), r.end());
    // Short, repeated, every byte value, runs around the longest match, random (all literals,
    // several tree rebuilds), a small alphabet, settings text, text then random.
    std::vector<Bytes> samples(
        {bytes_of("A"), bytes_of(std::string("\xFF\0", 2)), bytes_of("\a\a\a"), Bytes(300, ' '),
         all_values, up_down_up, Bytes(1000, 'x'), Bytes(60, 'q'), Bytes(61, 'q'),
         random_bytes(5000, 1), random_bytes(200000, 2), repetitive_bytes(100000, 3),
         sample_settings_text(600000), text_then_random});
    std::mt19937 rng(77);
    for (int i = 0; i < 60; ++i) {
        const std::size_t n = 1 + rng() % 3000;
        samples.push_back(i % 2 ? random_bytes(n, rng()) : repetitive_bytes(n, rng()));
    }
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const Bytes& plain = samples[i];
        SCOPED_TRACE(::testing::Message() << "sample " << i << ", " << plain.size() << " bytes");
        const Bytes packed = lzh_pack(plain);
        ASSERT_EQ(packed, reference_process(plain, true).out);
        ASSERT_EQ(lzh_unpack(packed), plain);
        ASSERT_EQ(reference_process(packed, false).out, plain);
    }
}

TEST(Lzh, CodesLongerThan16BitsSurvive) {
    // A 16-bit code register drops the first bits of such codes; this input needs them, which
    // the register-bound reference shows by failing to round-trip it.
    const Bytes plain = deep_tree_bytes();
    const Bytes packed = lzh_pack(plain);
    EXPECT_EQ(lzh_unpack(packed), plain);
    EXPECT_EQ(reference_process(packed, false).out, plain);
    const Bytes narrow = reference_process(plain, true).out;
    EXPECT_NE(narrow, packed);
    EXPECT_NE(lzh_unpack(narrow), plain);
}

TEST(Lzh, LengthFieldAndShortStreams) {
    const struct {
        const char* name;
        Bytes packed;
        bool corrupt;
        std::size_t size;
    } cases[] = {
        {"shorter than the length field", {0x03, 0x00, 0x00}, false, 0},
        {"zero length, anything after", {0, 0, 0, 0, 0xDE, 0xAD}, false, 0},
        {"length without bits", {0x01, 0, 0, 0}, true, 0},
        // "aaaaaaaaaa" cut short: its match of 9 runs past the stated 5 bytes.
        {"match longer than what is left", {0x05, 0, 0, 0, 0xF6, 0xC9, 0, 0}, false, 5},
        {"60 bytes per bit is still possible", {0xE0, 0x01, 0, 0, 0x00}, false, 480},
        {"more than 60 bytes per bit", {0xE1, 0x01, 0, 0, 0x00}, true, 0},
        {"most negative length", {0, 0, 0, 0x80, 1, 2, 3, 4}, true, 0},
        {"huge length, few bits", {0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3, 4}, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        My_LZH_Compressor codec;
        codec.Packed_stream = c.packed;
        codec.Plain_stream = {1, 2, 3};
        if (c.corrupt) {
            EXPECT_THROW(codec.Process(false), ElzhException);
            EXPECT_EQ(codec.Packed_stream, c.packed); // left for the caller to inspect
        } else {
            EXPECT_NO_THROW(codec.Process(false));
            EXPECT_TRUE(codec.Packed_stream.empty());
        }
        EXPECT_EQ(codec.Plain_stream.size(), c.size);
    }
}

TEST(Lzh, DamagedDataDecodesLikeTheReferenceAndStaysInBounds) {
    const Bytes packed = lzh_pack(sample_settings_text(20000, 5));
    std::vector<Bytes> damaged;
    for (std::size_t cut = 4; cut < packed.size(); cut += 1 + cut / 4) // truncated
        damaged.emplace_back(packed.begin(), packed.begin() + static_cast<long>(cut));
    std::mt19937 rng(11);
    for (int i = 0; i < 40; ++i) { // flipped bits
        Bytes b = packed;
        for (int f = 0; f < 1 + i % 4; ++f)
            b[4 + rng() % (b.size() - 4)] ^= static_cast<std::uint8_t>(1u << rng() % 8);
        damaged.push_back(b);
    }
    for (int i = 0; i < 40; ++i) { // noise after a plausible length
        Bytes b = random_bytes(4 + rng() % 200, rng());
        b[2] = b[3] = 0;
        damaged.push_back(b);
    }
    for (const auto& b : damaged) {
        SCOPED_TRACE(b.size());
        const std::size_t length = b[0] | b[1] << 8 | b[2] << 16 | std::size_t{b[3]} << 24;
        if (length > 480 * (b.size() - 4)) {
            EXPECT_THROW(lzh_unpack(b), ElzhException);
            continue;
        }
        const Bytes out = lzh_unpack(b);
        EXPECT_EQ(out.size(), length);
        EXPECT_EQ(out, reference_process(b, false).out);
    }
}

TEST(Lzh, PackingReportsWholeKibReadOnEachChange) {
    for (const Bytes& source : {sample_settings_text(70000, 6), random_bytes(5000, 8)}) {
        SCOPED_TRACE(source.size());
        RecordingSink sink;
        My_LZH_Compressor codec;
        codec.Progress_bar = &sink;
        codec.Plain_stream = source;
        codec.Process(true);
        std::vector<int> expected;
        for (int k = 1; k <= static_cast<int>(source.size() / 1024); ++k)
            expected.push_back(k);
        EXPECT_EQ(sink.positions, expected);
        EXPECT_TRUE(codec.Plain_stream.empty());
        EXPECT_EQ(unpack_progress(codec.Packed_stream, source),
                  reference_process(codec.Packed_stream, false).progress);
    }
}

TEST(Lzh, UnpackingCountsThePackedBytesTheBitReaderFetched) {
    // Near a KiB boundary the count depends on exactly how far the reader has fetched: scan
    // sizes whose packed form ends around 1 and 2 KiB, followed by bytes never needed.
    const Bytes text = sample_settings_text(9000, 6);
    std::set<std::uint32_t> fetched;
    for (std::size_t n = 3450; n < 8900; n = n == 3699 ? 8650 : n + 1) {
        const Bytes plain(text.begin(), text.begin() + static_cast<long>(n));
        Bytes packed = lzh_pack(plain);
        packed.resize(packed.size() + 16, 0x5A);
        const ReferenceRun reference = reference_process(packed, false);
        fetched.insert(reference.bytes_read);
        ASSERT_EQ(unpack_progress(packed, plain), reference.progress) << n;
    }
    for (std::uint32_t boundary : {1023u, 1024u, 2047u, 2048u})
        EXPECT_TRUE(fetched.count(boundary));
}
