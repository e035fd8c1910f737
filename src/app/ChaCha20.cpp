#include "ChaCha20.h"

namespace {
inline uint32_t rotl(uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }

inline void quarter(uint32_t &a, uint32_t &b, uint32_t &c, uint32_t &d)
{
    a += b; d ^= a; d = rotl(d, 16);
    c += d; b ^= c; b = rotl(b, 12);
    a += b; d ^= a; d = rotl(d, 8);
    c += d; b ^= c; b = rotl(b, 7);
}

inline uint32_t load32(const uint8_t *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void block(const uint32_t in[16], uint8_t out[64])
{
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = in[i];
    for (int i = 0; i < 10; ++i) {
        quarter(x[0], x[4], x[8], x[12]);
        quarter(x[1], x[5], x[9], x[13]);
        quarter(x[2], x[6], x[10], x[14]);
        quarter(x[3], x[7], x[11], x[15]);
        quarter(x[0], x[5], x[10], x[15]);
        quarter(x[1], x[6], x[11], x[12]);
        quarter(x[2], x[7], x[8], x[13]);
        quarter(x[3], x[4], x[9], x[14]);
    }
    for (int i = 0; i < 16; ++i) {
        const uint32_t v = x[i] + in[i];
        out[4 * i] = uint8_t(v);
        out[4 * i + 1] = uint8_t(v >> 8);
        out[4 * i + 2] = uint8_t(v >> 16);
        out[4 * i + 3] = uint8_t(v >> 24);
    }
}
} // namespace

QByteArray ChaCha20::apply(const Key &key, const Nonce &nonce, uint32_t counter, const QByteArray &data)
{
    uint32_t state[16] = {0x61707865, 0x3320646e, 0x79622d32, 0x6b206574};
    for (int i = 0; i < 8; ++i) state[4 + i] = load32(key.data() + 4 * i);
    state[12] = counter;
    for (int i = 0; i < 3; ++i) state[13 + i] = load32(nonce.data() + 4 * i);

    QByteArray out = data;
    uint8_t stream[64];
    for (qsizetype pos = 0; pos < out.size(); pos += 64) {
        block(state, stream);
        ++state[12];
        for (qsizetype i = 0; i < 64 && pos + i < out.size(); ++i)
            out[pos + i] = char(uint8_t(out[pos + i]) ^ stream[i]);
    }
    return out;
}
