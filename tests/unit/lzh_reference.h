// A deliberately naive LZHUF codec written straight from the format description: 16-bit
// registers, one byte per Get_bytes/Put_bytes call, no shortcuts. The real codec must produce
// the same bytes; keeping this one literal lets it catch a wrong tie-break or bit order.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace nimbrel::testing {

class ReferenceLzh {
  public:
    using Get_bytes = std::function<int(std::uint8_t*, int)>;
    using Put_bytes = std::function<int(const std::uint8_t*, int)>;

    // Packs the whole source. No length header.
    void LZH_pack(const Get_bytes& get, const Put_bytes& put) {
        get_ = get;
        put_ = put;
        StartHuff();
        InitTree();
        int s = 0;
        int r = N - F;
        for (int i = 0; i < r; ++i)
            text_buf[i] = ' ';
        int len = 0;
        std::uint8_t c;
        while (len < F && get_(&c, 1) == 1)
            text_buf[r + len++] = c;
        for (int i = 1; i <= F; ++i)
            InsertNode(r - i);
        InsertNode(r);
        do {
            if (match_length > len) match_length = len;
            if (match_length <= THRESHOLD) {
                match_length = 1;
                EncodeChar(text_buf[r]);
            } else {
                EncodeChar(255 - THRESHOLD + match_length);
                EncodePosition(match_position);
            }
            const int last_match_length = match_length;
            int i = 0;
            for (; i < last_match_length && get_(&c, 1) == 1; ++i) {
                DeleteNode(s);
                text_buf[s] = c;
                if (s < F - 1) text_buf[s + N] = c;
                s = (s + 1) & (N - 1);
                r = (r + 1) & (N - 1);
                InsertNode(r);
            }
            while (i++ < last_match_length) {
                DeleteNode(s);
                s = (s + 1) & (N - 1);
                r = (r + 1) & (N - 1);
                if (--len) InsertNode(r);
            }
        } while (len > 0);
        if (putlen) PutByte(static_cast<std::uint8_t>(putbuf >> 8));
    }

    void LZH_unpack(long length, const Get_bytes& get, const Put_bytes& put) {
        get_ = get;
        put_ = put;
        StartHuff();
        for (int i = 0; i < N - F; ++i)
            text_buf[i] = ' ';
        int r = N - F;
        for (long count = 0; count < length;) {
            int c = DecodeChar();
            if (c < 256) {
                PutByte(static_cast<std::uint8_t>(c));
                text_buf[r++] = static_cast<std::uint8_t>(c);
                r &= N - 1;
                ++count;
            } else {
                const int i = (r - DecodePosition() - 1) & (N - 1);
                const int j = c - 255 + THRESHOLD;
                for (int k = 0; k < j && count < length; ++k) {
                    c = text_buf[(i + k) & (N - 1)];
                    PutByte(static_cast<std::uint8_t>(c));
                    text_buf[r++] = static_cast<std::uint8_t>(c);
                    r &= N - 1;
                    ++count;
                }
            }
        }
    }

  private:
    static constexpr int N = 4096, F = 60, THRESHOLD = 2, NIL = N;
    static constexpr int N_CHAR = 256 - THRESHOLD + F, T = N_CHAR * 2 - 1, R = T - 1;
    static constexpr unsigned MAX_FREQ = 0x8000;

    static constexpr std::uint8_t p_len[64] = {
        0x03, 0x04, 0x04, 0x04, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x06,
        0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x07, 0x07,
        0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07,
        0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x08, 0x08, 0x08, 0x08,
        0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08};
    static constexpr std::uint8_t p_code[64] = {
        0x00, 0x20, 0x30, 0x40, 0x50, 0x58, 0x60, 0x68, 0x70, 0x78, 0x80, 0x88, 0x90,
        0x94, 0x98, 0x9C, 0xA0, 0xA4, 0xA8, 0xAC, 0xB0, 0xB4, 0xB8, 0xBC, 0xC0, 0xC2,
        0xC4, 0xC6, 0xC8, 0xCA, 0xCC, 0xCE, 0xD0, 0xD2, 0xD4, 0xD6, 0xD8, 0xDA, 0xDC,
        0xDE, 0xE0, 0xE2, 0xE4, 0xE6, 0xE8, 0xEA, 0xEC, 0xEE, 0xF0, 0xF1, 0xF2, 0xF3,
        0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF};

    // Unwritten look-ahead bytes read as 0, as in the real codec.
    std::uint8_t text_buf[N + F - 1] = {};
    int match_position = 0, match_length = 0;
    std::uint16_t lson[N + 1] = {}, rson[N + 257] = {}, dad[N + 1] = {};
    std::uint16_t freq[T + 1] = {}, son[T] = {}, prnt[T + N_CHAR] = {};
    std::uint16_t getbuf = 0, putbuf = 0;
    int getlen = 0, putlen = 0;
    Get_bytes get_;
    Put_bytes put_;

    void PutByte(std::uint8_t b) { put_(&b, 1); }

    void InitTree() {
        for (int i = N + 1; i <= N + 256; ++i)
            rson[i] = NIL;
        for (int i = 0; i < N; ++i)
            dad[i] = NIL;
    }

    void InsertNode(int r) {
        int cmp = 1;
        const std::uint8_t* key = &text_buf[r];
        int p = N + 1 + key[0];
        rson[r] = lson[r] = NIL;
        match_length = 0;
        for (;;) {
            std::uint16_t& next = cmp >= 0 ? rson[p] : lson[p];
            if (next == NIL) {
                next = static_cast<std::uint16_t>(r);
                dad[r] = static_cast<std::uint16_t>(p);
                return;
            }
            p = next;
            int i;
            for (i = 1; i < F; ++i)
                if ((cmp = key[i] - text_buf[p + i]) != 0) break;
            if (i > THRESHOLD) {
                if (i > match_length) {
                    match_position = ((r - p) & (N - 1)) - 1;
                    if ((match_length = i) >= F) break;
                }
                if (i == match_length) {
                    const int c = ((r - p) & (N - 1)) - 1;
                    if (c < match_position) match_position = c;
                }
            }
        }
        dad[r] = dad[p];
        lson[r] = lson[p];
        rson[r] = rson[p];
        dad[lson[p]] = r;
        dad[rson[p]] = r;
        if (rson[dad[p]] == p)
            rson[dad[p]] = r;
        else
            lson[dad[p]] = r;
        dad[p] = NIL;
    }

    void DeleteNode(int p) {
        int q;
        if (dad[p] == NIL) return;
        if (rson[p] == NIL) {
            q = lson[p];
        } else if (lson[p] == NIL) {
            q = rson[p];
        } else {
            q = lson[p];
            if (rson[q] != NIL) {
                do {
                    q = rson[q];
                } while (rson[q] != NIL);
                rson[dad[q]] = lson[q];
                dad[lson[q]] = dad[q];
                lson[q] = lson[p];
                dad[lson[p]] = q;
            }
            rson[q] = rson[p];
            dad[rson[p]] = q;
        }
        dad[q] = dad[p];
        if (rson[dad[p]] == p)
            rson[dad[p]] = q;
        else
            lson[dad[p]] = q;
        dad[p] = NIL;
    }

    // Keeps at least 9 bits in the 16-bit buffer; bytes past the end read as 0.
    void Fill() {
        while (getlen <= 8) {
            std::uint8_t b = 0;
            if (get_(&b, 1) != 1) b = 0;
            getbuf |= static_cast<std::uint16_t>(b << (8 - getlen));
            getlen += 8;
        }
    }

    int GetBits(int n) {
        Fill();
        const int bits = getbuf >> (16 - n);
        getbuf = static_cast<std::uint16_t>(getbuf << n);
        getlen -= n;
        return bits;
    }

    void Putcode(int l, std::uint16_t c) {
        putbuf |= c >> putlen;
        if ((putlen += l) >= 8) {
            PutByte(static_cast<std::uint8_t>(putbuf >> 8));
            if ((putlen -= 8) >= 8) {
                PutByte(static_cast<std::uint8_t>(putbuf));
                putlen -= 8;
                putbuf = static_cast<std::uint16_t>(c << (l - putlen));
            } else {
                putbuf = static_cast<std::uint16_t>(putbuf << 8);
            }
        }
    }

    void StartHuff() {
        for (int i = 0; i < N_CHAR; ++i) {
            freq[i] = 1;
            son[i] = i + T;
            prnt[i + T] = i;
        }
        int i = 0, j = N_CHAR;
        while (j <= R) {
            freq[j] = freq[i] + freq[i + 1];
            son[j] = i;
            prnt[i] = prnt[i + 1] = j;
            i += 2;
            ++j;
        }
        freq[T] = 0xFFFF;
        prnt[R] = 0;
    }

    void reconst() {
        int j = 0;
        for (int i = 0; i < T; ++i) {
            if (son[i] >= T) {
                freq[j] = (freq[i] + 1) / 2;
                son[j] = son[i];
                ++j;
            }
        }
        for (int i = 0, j2 = N_CHAR; j2 < T; i += 2, ++j2) {
            const unsigned f = freq[i] + freq[i + 1];
            int k = j2 - 1;
            while (f < freq[k])
                --k;
            ++k;
            for (int m = j2; m > k; --m) {
                freq[m] = freq[m - 1];
                son[m] = son[m - 1];
            }
            freq[k] = f;
            son[k] = i;
        }
        for (int i = 0; i < T; ++i) {
            const int k = son[i];
            if (k >= T) {
                prnt[k] = i;
            } else {
                prnt[k] = prnt[k + 1] = i;
            }
        }
    }

    void update(int c) {
        if (freq[R] == MAX_FREQ) reconst();
        c = prnt[c + T];
        do {
            const unsigned k = ++freq[c];
            int l = c + 1;
            if (k > freq[l]) {
                while (k > freq[++l]) {
                }
                --l;
                freq[c] = freq[l];
                freq[l] = k;
                const int i = son[c];
                prnt[i] = l;
                if (i < T) prnt[i + 1] = l;
                const int j = son[l];
                son[l] = i;
                prnt[j] = c;
                if (j < T) prnt[j + 1] = c;
                son[c] = j;
                c = l;
            }
        } while ((c = prnt[c]) != 0);
    }

    void EncodeChar(unsigned c) {
        std::uint16_t i = 0;
        int j = 0;
        int k = prnt[c + T];
        do {
            i >>= 1;
            if (k & 1) i += 0x8000;
            ++j;
        } while ((k = prnt[k]) != R);
        Putcode(j, i);
        update(static_cast<int>(c));
    }

    void EncodePosition(unsigned c) {
        const unsigned i = c >> 6;
        Putcode(p_len[i], static_cast<std::uint16_t>(p_code[i] << 8));
        Putcode(6, static_cast<std::uint16_t>((c & 0x3F) << 10));
    }

    int DecodeChar() {
        unsigned c = son[R];
        while (c < T) {
            c += GetBits(1);
            c = son[c];
        }
        c -= T;
        update(static_cast<int>(c));
        return static_cast<int>(c);
    }

    int DecodePosition() {
        unsigned i = GetBits(8);
        int v = 0;
        while ((i & (0xFF00u >> p_len[v])) != p_code[v])
            ++v; // the code that prefixes i
        const unsigned c = static_cast<unsigned>(v) << 6;
        int j = p_len[v] - 2;
        while (j--)
            i = (i << 1) + GetBits(1);
        return static_cast<int>(c | (i & 0x3F));
    }
};

} // namespace nimbrel::testing
