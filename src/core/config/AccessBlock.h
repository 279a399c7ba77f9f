#pragma once

#include "core/image/ByteAccess.h"

#include <cstdint>
#include <string_view>

namespace kestrel {

// Operation flags at 0x6F8 and their copy at 0x6F9, which always agree.
void clearOperationFlags(MutableBytes image);
void addOperationFlag(MutableBytes image, std::uint8_t flag);

// The access code in its 8 bytes at 0x6F0, zero-padded; a longer code is cut to 8
// bytes so that it never reaches the operation flags behind it.
void composeAccessBlock(MutableBytes image, std::string_view accessCode);

} // namespace kestrel
