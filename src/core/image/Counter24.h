#pragma once

#include "core/image/ByteAccess.h"

#include <cstdint>

namespace kestrel {

// Unsigned 24-bit little-endian counters of the recorder.
std::uint32_t readCounter24(ConstBytes image, std::size_t offset);
void writeCounter24(MutableBytes image, std::size_t offset, std::uint32_t value);
// this := this - other, modulo 2^24.
void subtractCounter24(MutableBytes image, std::size_t offset, ConstBytes other);

} // namespace kestrel
