#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kestrel {

// The recorder's memory as read from the reader device; offsets are device addresses.
inline constexpr std::size_t kImageSize = 0x8000;
using MemoryImage = std::array<std::uint8_t, kImageSize>;

} // namespace kestrel
