#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

// Little-endian field access over raw bytes; callers pass offsets from the layout.
namespace kestrel {

using ConstBytes = std::span<const std::uint8_t>;
using MutableBytes = std::span<std::uint8_t>;

inline std::uint8_t readU8(ConstBytes b, std::size_t at) { return b[at]; }
inline std::int8_t readI8(ConstBytes b, std::size_t at) { return static_cast<std::int8_t>(b[at]); }
inline std::uint16_t readU16(ConstBytes b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
inline std::int16_t readI16(ConstBytes b, std::size_t at) { return static_cast<std::int16_t>(readU16(b, at)); }
inline std::int32_t readI32(ConstBytes b, std::size_t at)
{
    const std::uint32_t v = static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8)
        | (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
    return static_cast<std::int32_t>(v);
}
inline float readFloat(ConstBytes b, std::size_t at)
{
    const auto bits = static_cast<std::uint32_t>(readI32(b, at));
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

inline void writeU8(MutableBytes b, std::size_t at, std::uint8_t v) { b[at] = v; }
inline void writeU16(MutableBytes b, std::size_t at, std::uint16_t v)
{
    b[at] = static_cast<std::uint8_t>(v & 0xFF);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void writeI16(MutableBytes b, std::size_t at, std::int16_t v) { writeU16(b, at, static_cast<std::uint16_t>(v)); }
inline void writeI32(MutableBytes b, std::size_t at, std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((u >> (8 * i)) & 0xFF);
}
inline void writeFloat(MutableBytes b, std::size_t at, float f)
{
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    writeI32(b, at, static_cast<std::int32_t>(bits));
}

} // namespace kestrel
