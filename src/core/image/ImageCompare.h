#pragma once

#include "core/image/ByteAccess.h"
#include "core/image/TimeStamp.h"

namespace kestrel {

// Two images come from the same recorder and crane when their identification blocks are equal.
bool identificationEqual(ConstBytes a, ConstBytes b);

// True when the operational memory holds a time mark (0xFF and the stamp bytes) for the stamp.
bool hasDetail(ConstBytes image, const StampBytes& stamp);

} // namespace kestrel
