// LZHUF codec: LZSS over a 4096-byte ring with an adaptive Huffman code, and the
// 4-byte little-endian length header of packed settings files.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace nimbrel {

class ElzhException : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Receives the whole KiB read from the source so far (low 16 bits) whenever it changes.
class ProgressSink {
  public:
    virtual ~ProgressSink() = default;
    virtual void set_position(int kib) = 0;
};

class My_LZH_Compressor {
  public:
    std::vector<std::uint8_t> Plain_stream;
    std::vector<std::uint8_t> Packed_stream;
    ProgressSink* Progress_bar = nullptr;

    // true packs Plain_stream into Packed_stream, false the reverse; the source ends empty.
    // Throws ElzhException when packed data is corrupt.
    void Process(bool compress);
};

// Convenience wrappers around Process.
std::vector<std::uint8_t> lzh_pack(const std::vector<std::uint8_t>& plain);
std::vector<std::uint8_t> lzh_unpack(const std::vector<std::uint8_t>& packed);

} // namespace nimbrel
