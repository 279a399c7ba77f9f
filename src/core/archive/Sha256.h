#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kestrel {

// SHA-256 (FIPS 180-4). Our own, because the Windows build has no crypto library; the
// archives only need it to name readings and to notice changed bytes.
class Sha256 {
public:
    using Digest = std::array<std::uint8_t, 32>;

    // Fastest: the processor's SHA instructions where it has them (x86-64), else Portable.
    // Both give the same digests; the choice is there so that the tests check both.
    enum class Engine { Fastest, Portable };

    explicit Sha256(Engine engine = Engine::Fastest);
    void update(std::span<const std::uint8_t> bytes);
    // The digest of everything given; the object is spent afterwards.
    Digest finish();

    static Digest of(std::span<const std::uint8_t> bytes, Engine engine = Engine::Fastest);
    // True when Fastest uses the processor's SHA instructions.
    static bool hardwareAvailable();
    // 64 lower-case hex digits.
    static std::string hex(const Digest& digest);

private:
    // Whole 64-byte blocks.
    void compress(const std::uint8_t* blocks, std::size_t count);

    bool hardware_ = false;

    std::array<std::uint32_t, 8> state_{};
    std::array<std::uint8_t, 64> block_{};
    std::size_t blockSize_ = 0;
    std::uint64_t totalBytes_ = 0;
};

} // namespace kestrel
