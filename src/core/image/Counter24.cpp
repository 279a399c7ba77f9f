#include "core/image/Counter24.h"

namespace kestrel {

std::uint32_t readCounter24(ConstBytes image, std::size_t offset)
{
    return static_cast<std::uint32_t>(image[offset]) | (static_cast<std::uint32_t>(image[offset + 1]) << 8)
        | (static_cast<std::uint32_t>(image[offset + 2]) << 16);
}

void writeCounter24(MutableBytes image, std::size_t offset, std::uint32_t value)
{
    image[offset] = static_cast<std::uint8_t>(value & 0xFF);
    image[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    image[offset + 2] = static_cast<std::uint8_t>((value >> 16) & 0xFF);
}

void subtractCounter24(MutableBytes image, std::size_t offset, ConstBytes other)
{
    // Unsigned arithmetic wraps; the write keeps the low 24 bits.
    writeCounter24(image, offset, readCounter24(image, offset) - readCounter24(other, offset));
}

} // namespace kestrel
