#include "comm_protocol.h"
#include "crc32_internal.h"

#include <array>
#include <cstddef>
#include <cstdint>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define TRIVO_CRC32_CLMUL 1
#include <immintrin.h>
#endif

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

uint32_t updatePortable(uint32_t crc, const uint8_t *p, size_t length)
{
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
    return crc;
}

#ifdef TRIVO_CRC32_CLMUL
// Folding with carry-less multiplication: four 128-bit lanes are advanced by 64 bytes at a
// time, folded into one, and reduced to 32 bits (Barrett). The constants are powers of x
// modulo the reflected polynomial for the fold distances used.
constexpr size_t kClmulMinBytes = 64;

#define TRIVO_CLMUL_TARGET __attribute__((target("pclmul,sse4.1")))

TRIVO_CLMUL_TARGET inline __m128i load128(const uint8_t *p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
}

TRIVO_CLMUL_TARGET inline __m128i constant(const uint64_t *k)
{
    return _mm_load_si128(reinterpret_cast<const __m128i *>(k));
}

TRIVO_CLMUL_TARGET inline __m128i fold128(__m128i x, __m128i k, __m128i next)
{
    const __m128i lo = _mm_clmulepi64_si128(x, k, 0x00);
    const __m128i hi = _mm_clmulepi64_si128(x, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(hi, lo), next);
}

// 'reg' is the working register (complemented CRC); length >= 64 and a multiple of 16.
TRIVO_CLMUL_TARGET uint32_t updateClmul(uint32_t reg, const uint8_t *p, size_t length)
{
    alignas(16) static const uint64_t kFold4[2] = { 0x0154442bd4, 0x01c6e41596 };
    alignas(16) static const uint64_t kFold1[2] = { 0x01751997d0, 0x00ccaa009e };
    alignas(16) static const uint64_t kFold64[2] = { 0x0163cd6124, 0 };
    alignas(16) static const uint64_t kBarrett[2] = { 0x01db710641, 0x01f7011641 };
    __m128i x1 = _mm_xor_si128(load128(p), _mm_cvtsi32_si128(int(reg)));
    __m128i x2 = load128(p + 16);
    __m128i x3 = load128(p + 32);
    __m128i x4 = load128(p + 48);
    p += 64;
    length -= 64;

    __m128i k = constant(kFold4);
    for (; length >= 64; p += 64, length -= 64) {
        x1 = fold128(x1, k, load128(p));
        x2 = fold128(x2, k, load128(p + 16));
        x3 = fold128(x3, k, load128(p + 32));
        x4 = fold128(x4, k, load128(p + 48));
    }
    k = constant(kFold1);
    x1 = fold128(x1, k, x2);
    x1 = fold128(x1, k, x3);
    x1 = fold128(x1, k, x4);
    for (; length >= 16; p += 16, length -= 16)
        x1 = fold128(x1, k, load128(p));

    // 128 to 64 bits.
    const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, k, 0x10));
    k = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(kFold64));
    const __m128i upper = _mm_srli_si128(x1, 4);
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), k, 0x00), upper);

    // Barrett reduction to 32 bits.
    k = constant(kBarrett);
    __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), k, 0x10);
    t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), k, 0x00);
    return uint32_t(_mm_extract_epi32(_mm_xor_si128(x1, t), 1));
}
#endif

} // namespace

bool crc32HasCarrylessMultiply()
{
#ifdef TRIVO_CRC32_CLMUL
    static const bool kHas = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    }();
    return kHas;
#else
    return false;
#endif
}

uint32_t crc32Portable(const void *data, size_t length, uint32_t previous)
{
    if (!data)
        return previous;
    return ~updatePortable(~previous, static_cast<const uint8_t *>(data), length);
}

uint32_t crc32Compute(const void *data, size_t length, uint32_t previous)
{
    if (!data)
        return previous;
    const uint8_t *p = static_cast<const uint8_t *>(data);
    uint32_t reg = ~previous;
#ifdef TRIVO_CRC32_CLMUL
    if (length >= kClmulMinBytes && crc32HasCarrylessMultiply()) {
        const size_t folded = length & ~size_t(15);
        reg = updateClmul(reg, p, folded);
        p += folded;
        length -= folded;
    }
#endif
    return ~updatePortable(reg, p, length);
}
