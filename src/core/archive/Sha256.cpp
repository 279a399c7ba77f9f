#include "core/archive/Sha256.h"

#include <bit>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace kestrel {

namespace {

constexpr std::array<std::uint32_t, 64> kRound = {0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b,
    0x59f111f1, 0x923f82a4, 0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe,
    0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc,
    0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1,
    0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116, 0x1e376c08,
    0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3, 0x748f82ee, 0x78a5636f, 0x84c87814,
    0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::array<std::uint32_t, 8> kInitial
    = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

std::uint32_t bigEndian32(const std::uint8_t* at)
{
    return (std::uint32_t{at[0]} << 24) | (std::uint32_t{at[1]} << 16) | (std::uint32_t{at[2]} << 8) | at[3];
}

void compressPortable(std::array<std::uint32_t, 8>& state, const std::uint8_t* block)
{
    std::array<std::uint32_t, 64> w{};
    for (std::size_t t = 0; t < 16; ++t)
        w[t] = bigEndian32(block + 4 * t);
    for (std::size_t t = 16; t < 64; ++t) {
        const std::uint32_t s0 = std::rotr(w[t - 15], 7) ^ std::rotr(w[t - 15], 18) ^ (w[t - 15] >> 3);
        const std::uint32_t s1 = std::rotr(w[t - 2], 17) ^ std::rotr(w[t - 2], 19) ^ (w[t - 2] >> 10);
        w[t] = w[t - 16] + s0 + w[t - 7] + s1;
    }
    auto [a, b, c, d, e, f, g, h] = state;
    for (std::size_t t = 0; t < 64; ++t) {
        const std::uint32_t sum1 = std::rotr(e, 6) ^ std::rotr(e, 11) ^ std::rotr(e, 25);
        const std::uint32_t choose = (e & f) ^ (~e & g);
        const std::uint32_t t1 = h + sum1 + choose + kRound[t] + w[t];
        const std::uint32_t sum0 = std::rotr(a, 2) ^ std::rotr(a, 13) ^ std::rotr(a, 22);
        const std::uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
        const std::uint32_t t2 = sum0 + majority;
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
}

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define KESTREL_SHA_INSTRUCTIONS 1

// The SHA extensions do four rounds' message schedule and two rounds per instruction:
// a reading is digested about ten times faster, which an import of thousands notices.
// The state is kept as ABEF and CDGH, the order sha256rnds2 works in.
__attribute__((target("sha,sse4.1,ssse3"))) void compressHardware(
    std::array<std::uint32_t, 8>& state, const std::uint8_t* blocks, std::size_t count)
{
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[0]));
    __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[4]));
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

    for (std::size_t block = 0; block < count; ++block, blocks += 64) {
        const __m128i abefBefore = abef;
        const __m128i cdghBefore = cdgh;
        __m128i w[16];
        for (std::size_t i = 0; i < 16; ++i) {
            if (i < 4) {
                w[i] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks + 16 * i)), byteSwap);
            } else {
                const __m128i next = _mm_add_epi32(_mm_sha256msg1_epu32(w[i - 4], w[i - 3]),
                    _mm_alignr_epi8(w[i - 1], w[i - 2], 4));
                w[i] = _mm_sha256msg2_epu32(next, w[i - 1]);
            }
            __m128i message
                = _mm_add_epi32(w[i], _mm_loadu_si128(reinterpret_cast<const __m128i*>(&kRound[4 * i])));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, message);
            message = _mm_shuffle_epi32(message, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, message);
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    dcba = _mm_blend_epi16(feba, dchg, 0xF0);
    hgfe = _mm_alignr_epi8(dchg, feba, 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[0]), dcba);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[4]), hgfe);
}

bool detectHardware()
{
    unsigned eax = 0;
    unsigned ebx = 0;
    unsigned ecx = 0;
    unsigned edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return false;
    const bool ssse3 = (ecx & (1u << 9)) != 0;
    const bool sse41 = (ecx & (1u << 19)) != 0;
    if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx))
        return false;
    const bool sha = (ebx & (1u << 29)) != 0;
    return ssse3 && sse41 && sha;
}
#endif

} // namespace

bool Sha256::hardwareAvailable()
{
#ifdef KESTREL_SHA_INSTRUCTIONS
    static const bool available = detectHardware();
    return available;
#else
    return false;
#endif
}

Sha256::Sha256(Engine engine)
    : hardware_(engine == Engine::Fastest && hardwareAvailable())
    , state_(kInitial)
{
}

void Sha256::compress(const std::uint8_t* blocks, std::size_t count)
{
#ifdef KESTREL_SHA_INSTRUCTIONS
    if (hardware_) {
        compressHardware(state_, blocks, count);
        return;
    }
#endif
    for (std::size_t i = 0; i < count; ++i)
        compressPortable(state_, blocks + 64 * i);
}

void Sha256::update(std::span<const std::uint8_t> bytes)
{
    totalBytes_ += bytes.size();
    std::size_t at = 0;
    if (blockSize_ > 0) {
        while (blockSize_ < block_.size() && at < bytes.size())
            block_[blockSize_++] = bytes[at++];
        if (blockSize_ < block_.size())
            return;
        compress(block_.data(), 1);
        blockSize_ = 0;
    }
    const std::size_t whole = (bytes.size() - at) / block_.size();
    compress(bytes.data() + at, whole);
    at += whole * block_.size();
    while (at < bytes.size())
        block_[blockSize_++] = bytes[at++];
}

Sha256::Digest Sha256::finish()
{
    const std::uint64_t bits = totalBytes_ * 8;
    block_[blockSize_++] = 0x80;
    if (blockSize_ > 56) {
        while (blockSize_ < block_.size())
            block_[blockSize_++] = 0;
        compress(block_.data(), 1);
        blockSize_ = 0;
    }
    while (blockSize_ < 56)
        block_[blockSize_++] = 0;
    for (int shift = 56; shift >= 0; shift -= 8)
        block_[blockSize_++] = static_cast<std::uint8_t>(bits >> shift);
    compress(block_.data(), 1);
    blockSize_ = 0;
    Digest digest{};
    for (std::size_t i = 0; i < state_.size(); ++i)
        for (std::size_t k = 0; k < 4; ++k)
            digest[4 * i + k] = static_cast<std::uint8_t>(state_[i] >> (24 - 8 * k));
    return digest;
}

Sha256::Digest Sha256::of(std::span<const std::uint8_t> bytes, Engine engine)
{
    Sha256 sha(engine);
    sha.update(bytes);
    return sha.finish();
}

std::string Sha256::hex(const Digest& digest)
{
    constexpr const char* kDigits = "0123456789abcdef";
    std::string text;
    text.reserve(2 * digest.size());
    for (const std::uint8_t byte : digest) {
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0x0F]);
    }
    return text;
}

} // namespace kestrel
