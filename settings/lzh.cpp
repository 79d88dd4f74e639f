// LZHUF packer and unpacker over in-memory buffers.
//
// The bytes produced are those of the classic byte-at-a-time implementation (same match search,
// same tie-breaks, same bit order); the buffers are just accessed directly for speed.
#include "settings/lzh.h"

#include "settings/lzh_model.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

namespace nimbrel {

namespace {

using namespace lzh;

const char* const kNoMemory = "LZH : Cannot get memory for dictionary tables";
const char* const kCorrupt = "LZH : Packed data is corrupt";
const char* const kTooLarge = "LZH : Data too large to pack";

// Packed data starts with the unpacked length as a little-endian 32-bit signed integer.
constexpr std::size_t kHeaderSize = 4;

// Reports the whole KiB read from the source each time that number changes.
class ProgressCounter {
  public:
    explicit ProgressCounter(ProgressSink* sink) : sink_(sink) {}

    void bytes_read(std::uint64_t total) {
        const auto kib = static_cast<std::uint32_t>(total) >> 10;
        while (kib_ != kib) {
            ++kib_;
            if (sink_) sink_->set_position(static_cast<int>(kib_ & 0xFFFF));
        }
    }

  private:
    ProgressSink* sink_;
    std::uint32_t kib_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Packing

// Collects codes most significant bit first.
class BitWriter {
  public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    // Appends the top len bits of code (the rest of code must be 0); len is at most 32.
    void put(std::uint32_t code, int len) {
        acc_ |= static_cast<std::uint64_t>(code) << (32 - n_);
        n_ += len;
        while (n_ >= 8) {
            out_.push_back(static_cast<std::uint8_t>(acc_ >> 56));
            acc_ <<= 8;
            n_ -= 8;
        }
    }

    // The last byte is filled up with 0 bits.
    void flush() {
        if (n_ > 0) out_.push_back(static_cast<std::uint8_t>(acc_ >> 56));
        acc_ = 0;
        n_ = 0;
    }

  private:
    std::vector<std::uint8_t>& out_;
    std::uint64_t acc_ = 0; // n_ pending bits, left-aligned
    int n_ = 0;
};

// Index of the first difference between a[1..59] and b[1..59], or F when they agree.
inline int common_length(const std::uint8_t* a, const std::uint8_t* b) {
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    for (int i = 1; i < F; i += 8) {
        std::uint64_t x;
        std::uint64_t y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y) return std::min(F, i + __builtin_ctzll(x ^ y) / 8);
    }
    return F;
#else
    int i = 1;
    while (i < F && a[i] == b[i])
        ++i;
    return i;
#endif
}

// The ring buffer with one binary search tree per first byte over the F-byte strings that start
// at ring positions; finds the longest (then nearest) earlier match for a new position.
struct MatchFinder {
    // Positions N..N+F-2 mirror 0..F-2 so that comparisons never wrap; the tail pads the
    // 8-byte comparison reads. Bytes not yet written read as 0.
    std::uint8_t text[N + F - 1 + 8] = {};
    std::uint16_t lson[N + 1];
    std::uint16_t rson[N + 257]; // N+1+b is the root of the tree for first byte b
    std::uint16_t dad[N + 1];
    int match_position = 0;
    int match_length = 0;

    MatchFinder() {
        std::fill(std::begin(rson) + N + 1, std::end(rson), NIL);
        std::fill(std::begin(dad), std::begin(dad) + N, NIL);
        std::fill(std::begin(text), std::begin(text) + FIRST_FILL, ' ');
    }

    void store(int s, std::uint8_t c) {
        text[s] = c;
        if (s < F - 1) text[s + N] = c;
    }

    void insert(int r) {
        const std::uint8_t* key = &text[r];
        bool right = true;
        int p = N + 1 + key[0];
        rson[r] = lson[r] = NIL;
        int best_length = 0;
        int best_position = 0;
        int worth = THRESHOLD + 1; // shortest length that can change the result
        for (;;) {
            std::uint16_t& next = right ? rson[p] : lson[p];
            if (next == NIL) {
                next = static_cast<std::uint16_t>(r);
                dad[r] = static_cast<std::uint16_t>(p);
                match_length = best_length;
                match_position = best_position;
                return;
            }
            p = next;
            const int i = common_length(key, &text[p]);
            if (i >= worth) {
                const int position = ((r - p) & (N - 1)) - 1;
                if (i > best_length) {
                    best_position = position;
                    best_length = worth = i;
                    if (i >= F) break;
                } else if (position < best_position) {
                    best_position = position; // equal length: prefer the nearer match
                }
            }
            right = key[i] >= text[p + i];
        }
        match_length = best_length;
        match_position = best_position;
        // r matches p over the whole look-ahead: r takes p's place in the tree.
        dad[r] = dad[p];
        lson[r] = lson[p];
        rson[r] = rson[p];
        dad[lson[p]] = static_cast<std::uint16_t>(r);
        dad[rson[p]] = static_cast<std::uint16_t>(r);
        if (rson[dad[p]] == p)
            rson[dad[p]] = static_cast<std::uint16_t>(r);
        else
            lson[dad[p]] = static_cast<std::uint16_t>(r);
        dad[p] = NIL;
    }

    void remove(int p) {
        if (dad[p] == NIL) return;
        int q;
        if (rson[p] == NIL) {
            q = lson[p];
        } else if (lson[p] == NIL) {
            q = rson[p];
        } else {
            q = lson[p];
            if (rson[q] != NIL) {
                do
                    q = rson[q];
                while (rson[q] != NIL);
                rson[dad[q]] = lson[q];
                dad[lson[q]] = dad[q];
                lson[q] = lson[p];
                dad[lson[p]] = static_cast<std::uint16_t>(q);
            }
            rson[q] = rson[p];
            dad[rson[p]] = static_cast<std::uint16_t>(q);
        }
        dad[q] = dad[p];
        if (rson[dad[p]] == p)
            rson[dad[p]] = static_cast<std::uint16_t>(q);
        else
            lson[dad[p]] = static_cast<std::uint16_t>(q);
        dad[p] = NIL;
    }
};

struct Packer {
    HuffmanModel model;
    MatchFinder finder;

    void encode_char(BitWriter& out, int c) {
        // Collect the path from the leaf up; the bit next to the root goes out first.
        std::uint32_t code = 0;
        int len = 0;
        int k = model.prnt[c + T];
        do {
            code = (code >> 1) | (static_cast<std::uint32_t>(k & 1) << 31);
            ++len;
            k = model.prnt[k];
        } while (k != R);
        // A 32-bit code keeps every bit of the deepest paths the tree can reach (over 16).
        out.put(code, len);
        model.update(c);
    }

    static void encode_position(BitWriter& out, int position) {
        const int upper = position >> 6;
        out.put(static_cast<std::uint32_t>(p_code[upper]) << 24, p_len(upper));
        out.put(static_cast<std::uint32_t>(position & 0x3F) << 26, 6);
    }

    void pack(const std::uint8_t* in, std::size_t size, std::vector<std::uint8_t>& dest,
              ProgressCounter& progress) {
        BitWriter out(dest);
        std::size_t read = 0;
        int s = 0;
        int r = FIRST_FILL;
        int len = 0;
        while (len < F && read < size)
            finder.text[r + len++] = in[read++];
        progress.bytes_read(read);
        for (int i = 1; i <= F; ++i)
            finder.insert(r - i);
        finder.insert(r);
        do {
            int& match_length = finder.match_length;
            if (match_length > len) match_length = len;
            if (match_length <= THRESHOLD) {
                match_length = 1;
                encode_char(out, finder.text[r]);
            } else {
                encode_char(out, 255 - THRESHOLD + match_length);
                encode_position(out, finder.match_position);
            }
            const int last = match_length;
            int i = 0;
            for (; i < last && read < size; ++i) {
                finder.remove(s);
                finder.store(s, in[read++]);
                s = (s + 1) & (N - 1);
                r = (r + 1) & (N - 1);
                finder.insert(r);
            }
            progress.bytes_read(read);
            for (; i < last; ++i) {
                finder.remove(s);
                s = (s + 1) & (N - 1);
                r = (r + 1) & (N - 1);
                if (--len) finder.insert(r);
            }
        } while (len > 0);
        out.flush();
    }
};

void pack(const std::vector<std::uint8_t>& plain, std::vector<std::uint8_t>& packed,
          ProgressCounter& progress) {
    if (plain.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw ElzhException(kTooLarge);
    const auto size = static_cast<std::uint32_t>(plain.size());
    for (int i = 0; i < 4; ++i)
        packed.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
    // Empty data needs no bits at all: the length alone says everything.
    if (plain.empty()) return;
    const auto packer = std::make_unique<Packer>();
    packed.reserve(kHeaderSize + plain.size() / 2);
    packer->pack(plain.data(), plain.size(), packed, progress);
}

// ---------------------------------------------------------------------------------------------
// Unpacking

// Reads bits most significant first; past the end of the data every bit is 0.
class BitReader {
  public:
    BitReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    int bit() {
        if (n_ == 0) refill();
        const int b = static_cast<int>(acc_ >> 63);
        acc_ <<= 1;
        --n_;
        return b;
    }

    unsigned bits(int count) { // count is 1 to 8
        if (n_ < count) refill();
        const auto v = static_cast<unsigned>(acc_ >> (64 - count));
        acc_ <<= count;
        n_ -= count;
        return v;
    }

    // Bytes that a reader topping up a 16-bit buffer one byte at a time would have fetched by
    // now: it keeps more than 8 bits ahead, and every symbol ends with a single-bit read.
    std::uint64_t bytes_fetched() const {
        const std::uint64_t consumed = 8 * static_cast<std::uint64_t>(pos_) - n_;
        return std::min<std::uint64_t>(size_, (consumed + 15) / 8);
    }

  private:
    void refill() {
        if (pos_ + 8 <= size_ && n_ == 0) {
            std::uint64_t word = 0;
            for (int i = 0; i < 8; ++i)
                word = (word << 8) | data_[pos_ + i];
            acc_ = word;
            pos_ += 8;
            n_ = 64;
            return;
        }
        while (n_ <= 56) {
            const std::uint64_t b = pos_ < size_ ? data_[pos_] : 0;
            ++pos_;
            acc_ |= b << (56 - n_);
            n_ += 8;
        }
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0; // may run past size_: those bytes read as 0
    std::uint64_t acc_ = 0;
    int n_ = 0;
};

struct Unpacker {
    HuffmanModel model;
    std::uint8_t text[N];

    Unpacker() {
        std::fill(std::begin(text), std::begin(text) + FIRST_FILL, ' ');
        std::fill(std::begin(text) + FIRST_FILL, std::end(text), 0);
    }

    int decode_char(BitReader& in) {
        unsigned c = model.son[R];
        while (c < T)
            c = model.son[c + in.bit()];
        c -= T;
        model.update(static_cast<int>(c));
        return static_cast<int>(c);
    }

    static int decode_position(BitReader& in) {
        const unsigned i = in.bits(8);
        const int extra = d_table.len[i] - 2;
        const unsigned low = (i << extra) | in.bits(extra);
        return (d_table.code[i] << 6) | static_cast<int>(low & 0x3F);
    }

    void unpack(BitReader& in, std::uint8_t* out, std::size_t length, ProgressCounter& progress) {
        std::uint8_t* const end = out + length;
        int r = FIRST_FILL;
        while (out < end) {
            const int c = decode_char(in);
            if (c < 256) {
                *out++ = static_cast<std::uint8_t>(c);
                text[r] = static_cast<std::uint8_t>(c);
                r = (r + 1) & (N - 1);
            } else {
                const int from = (r - decode_position(in) - 1) & (N - 1);
                // Damaged data may code a match longer than what is left: stop at the length.
                const auto count = std::min<std::size_t>(c - 255 + THRESHOLD, end - out);
                for (std::size_t k = 0; k < count; ++k) {
                    const std::uint8_t b = text[(from + k) & (N - 1)];
                    *out++ = b;
                    text[r] = b;
                    r = (r + 1) & (N - 1);
                }
            }
            progress.bytes_read(in.bytes_fetched());
        }
    }
};

void unpack(const std::vector<std::uint8_t>& packed, std::vector<std::uint8_t>& plain,
            ProgressCounter& progress) {
    if (packed.size() < kHeaderSize) return;
    std::uint32_t field = 0;
    for (int i = 3; i >= 0; --i)
        field = (field << 8) | packed[i];
    const auto length = static_cast<std::int32_t>(field);
    const std::uint64_t bits = 8 * static_cast<std::uint64_t>(packed.size() - kHeaderSize);
    // No symbol yields more than 60 bytes or costs less than one bit.
    if (length < 0 || static_cast<std::uint64_t>(length) > F * bits) throw ElzhException(kCorrupt);
    if (length == 0) return;
    const auto unpacker = std::make_unique<Unpacker>();
    plain.resize(static_cast<std::size_t>(length));
    BitReader in(packed.data() + kHeaderSize, packed.size() - kHeaderSize);
    unpacker->unpack(in, plain.data(), plain.size(), progress);
}

} // namespace

void My_LZH_Compressor::Process(bool compress) {
    std::vector<std::uint8_t>& source = compress ? Plain_stream : Packed_stream;
    std::vector<std::uint8_t>& dest = compress ? Packed_stream : Plain_stream;
    dest.clear();
    ProgressCounter progress(Progress_bar);
    try {
        if (compress)
            pack(source, dest, progress);
        else
            unpack(source, dest, progress);
    } catch (const std::bad_alloc&) {
        dest.clear();
        throw ElzhException(kNoMemory);
    } catch (...) {
        dest.clear();
        throw;
    }
    source.clear();
}

std::vector<std::uint8_t> lzh_pack(const std::vector<std::uint8_t>& plain) {
    My_LZH_Compressor codec;
    codec.Plain_stream = plain;
    codec.Process(true);
    return std::move(codec.Packed_stream);
}

std::vector<std::uint8_t> lzh_unpack(const std::vector<std::uint8_t>& packed) {
    My_LZH_Compressor codec;
    codec.Packed_stream = packed;
    codec.Process(false);
    return std::move(codec.Plain_stream);
}

} // namespace nimbrel
