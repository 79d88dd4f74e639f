// Pieces shared by the LZH packer and unpacker: the format's constants, the fixed prefix code
// for the upper bits of match positions, and the adaptive Huffman model for literals and match
// lengths. Every constant and tie-break here is part of the file format: changing one changes
// the packed bytes and breaks compatibility with existing settings files.
#pragma once

#include <array>
#include <cstdint>

namespace nimbrel::lzh {

constexpr int N = 4096;                     // ring buffer size
constexpr int F = 60;                       // look-ahead size and longest match
constexpr int THRESHOLD = 2;                // only longer matches are coded as matches
constexpr int NIL = N;                      // missing node in the match trees
constexpr int N_CHAR = 256 - THRESHOLD + F; // literals 0..255, lengths 3..60 as 256..313
constexpr int T = 2 * N_CHAR - 1;           // nodes of the Huffman tree
constexpr int R = T - 1;                    // root node
constexpr unsigned MAX_FREQ = 0x8000;       // root frequency that triggers a rebuild
constexpr int FIRST_FILL = N - F;           // ring bytes preset to spaces; first write position

// Left-aligned prefix codes for position / 64 (a canonical code of lengths 3 to 8).
constexpr std::array<std::uint8_t, 64> p_code = {
    0x00, 0x20, 0x30, 0x40, 0x50, 0x58, 0x60, 0x68, 0x70, 0x78, 0x80, 0x88, 0x90, 0x94, 0x98, 0x9C,
    0xA0, 0xA4, 0xA8, 0xAC, 0xB0, 0xB4, 0xB8, 0xBC, 0xC0, 0xC2, 0xC4, 0xC6, 0xC8, 0xCA, 0xCC, 0xCE,
    0xD0, 0xD2, 0xD4, 0xD6, 0xD8, 0xDA, 0xDC, 0xDE, 0xE0, 0xE2, 0xE4, 0xE6, 0xE8, 0xEA, 0xEC, 0xEE,
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF};

constexpr int p_len(int upper) {
    return upper < 1 ? 3 : upper < 4 ? 4 : upper < 12 ? 5 : upper < 24 ? 6 : upper < 48 ? 7 : 8;
}

// Inverse of p_code over every byte: the value whose code prefixes the byte, and its length.
struct PositionDecodeTable {
    std::uint8_t code[256] = {};
    std::uint8_t len[256] = {};
};

constexpr PositionDecodeTable make_position_decode_table() {
    PositionDecodeTable t;
    for (int v = 0; v < 64; ++v) {
        const int l = p_len(v);
        for (int b = p_code[v]; b < p_code[v] + (1 << (8 - l)); ++b) {
            t.code[b] = static_cast<std::uint8_t>(v);
            t.len[b] = static_cast<std::uint8_t>(l);
        }
    }
    return t;
}

inline constexpr PositionDecodeTable d_table = make_position_decode_table();

// Adaptive Huffman tree over N_CHAR symbols. Nodes are kept in order of non-decreasing
// frequency; an inner node's children are son and son + 1, a leaf's son is symbol + T.
struct HuffmanModel {
    std::uint16_t freq[T + 1];
    std::uint16_t son[T];
    std::uint16_t prnt[T + N_CHAR];

    HuffmanModel() {
        for (int i = 0; i < N_CHAR; ++i) {
            freq[i] = 1;
            son[i] = static_cast<std::uint16_t>(i + T);
            prnt[i + T] = static_cast<std::uint16_t>(i);
        }
        for (int i = 0, j = N_CHAR; j <= R; i += 2, ++j) {
            freq[j] = static_cast<std::uint16_t>(freq[i] + freq[i + 1]);
            son[j] = static_cast<std::uint16_t>(i);
            prnt[i] = prnt[i + 1] = static_cast<std::uint16_t>(j);
        }
        freq[T] = 0xFFFF; // stops the upward scan in update
        prnt[R] = 0;
    }

    // Counts one more occurrence of symbol c, swapping nodes to keep the frequency order.
    void update(int c) {
        if (freq[R] == MAX_FREQ) rebuild();
        int k = prnt[c + T];
        do {
            const unsigned f = ++freq[k];
            if (f > freq[k + 1]) {
                int l = k + 1;
                while (f > freq[l + 1])
                    ++l;
                freq[k] = freq[l];
                freq[l] = static_cast<std::uint16_t>(f);
                const int a = son[k];
                const int b = son[l];
                prnt[a] = static_cast<std::uint16_t>(l);
                if (a < T) prnt[a + 1] = static_cast<std::uint16_t>(l);
                son[l] = static_cast<std::uint16_t>(a);
                prnt[b] = static_cast<std::uint16_t>(k);
                if (b < T) prnt[b + 1] = static_cast<std::uint16_t>(k);
                son[k] = static_cast<std::uint16_t>(b);
                k = l;
            }
            k = prnt[k];
        } while (k != 0); // only the root's parent is 0
    }

  private:
    // Halves the leaf frequencies (rounding up) and rebuilds the tree from them.
    void rebuild() {
        int j = 0;
        for (int i = 0; i < T; ++i) {
            if (son[i] >= T) {
                freq[j] = static_cast<std::uint16_t>((freq[i] + 1) / 2);
                son[j] = son[i];
                ++j;
            }
        }
        for (int i = 0; j < T; i += 2, ++j) {
            const unsigned f = freq[i] + freq[i + 1];
            int k = j - 1;
            while (f < freq[k])
                --k;
            ++k;
            for (int m = j; m > k; --m) {
                freq[m] = freq[m - 1];
                son[m] = son[m - 1];
            }
            freq[k] = static_cast<std::uint16_t>(f);
            son[k] = static_cast<std::uint16_t>(i);
        }
        for (int i = 0; i < T; ++i) {
            const int k = son[i];
            prnt[k] = static_cast<std::uint16_t>(i);
            if (k < T) prnt[k + 1] = static_cast<std::uint16_t>(i);
        }
    }
};

} // namespace nimbrel::lzh
