#include "comm_protocol.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace {

constexpr uint32_t kReflectedPoly = 0xEDB88320u;
constexpr size_t kSliceBytes = 16;
constexpr size_t kBlockBytes = 64;

using SliceTables = std::array<std::array<uint32_t, 256>, kSliceBytes>;

// Table k advances the register over k further zero bytes, so sixteen bytes can be
// folded in with sixteen independent look-ups instead of a serial chain.
constexpr SliceTables makeTables()
{
    SliceTables t {};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1u) ? (c >> 1) ^ kReflectedPoly : c >> 1;
        t[0][i] = c;
    }
    for (size_t k = 1; k < kSliceBytes; ++k)
        for (size_t i = 0; i < 256; ++i)
            t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFFu];
    return t;
}

// Built by the compiler: no run-time initialisation, nothing to race on.
constexpr SliceTables kTables = makeTables();

inline uint32_t loadLe32(const uint8_t *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline uint32_t fold16(uint32_t crc, const uint8_t *p)
{
    const uint32_t a = loadLe32(p) ^ crc;
    const uint32_t b = loadLe32(p + 4);
    const uint32_t c = loadLe32(p + 8);
    const uint32_t d = loadLe32(p + 12);
    return kTables[15][a & 0xFF] ^ kTables[14][(a >> 8) & 0xFF] ^ kTables[13][(a >> 16) & 0xFF]
        ^ kTables[12][a >> 24] ^ kTables[11][b & 0xFF] ^ kTables[10][(b >> 8) & 0xFF]
        ^ kTables[9][(b >> 16) & 0xFF] ^ kTables[8][b >> 24] ^ kTables[7][c & 0xFF]
        ^ kTables[6][(c >> 8) & 0xFF] ^ kTables[5][(c >> 16) & 0xFF] ^ kTables[4][c >> 24]
        ^ kTables[3][d & 0xFF] ^ kTables[2][(d >> 8) & 0xFF] ^ kTables[1][(d >> 16) & 0xFF]
        ^ kTables[0][d >> 24];
}

} // namespace

uint32_t crc32Compute(const void *data, size_t length, uint32_t previous)
{
    const uint8_t *p = static_cast<const uint8_t *>(data);
    uint32_t crc = ~previous;
    if (!p)
        return previous;

    while (length >= kBlockBytes) {
        crc = fold16(crc, p);
        crc = fold16(crc, p + 16);
        crc = fold16(crc, p + 32);
        crc = fold16(crc, p + 48);
        p += kBlockBytes;
        length -= kBlockBytes;
    }
    while (length--)
        crc = (crc >> 8) ^ kTables[0][(crc ^ *p++) & 0xFF];
    return ~crc;
}
