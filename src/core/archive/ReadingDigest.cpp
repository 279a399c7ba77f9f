#include "core/archive/ReadingDigest.h"

#include "core/archive/Sha256.h"

namespace kestrel {

std::string readingDigest(const MemoryImage& image) { return Sha256::hex(Sha256::of(image)); }

} // namespace kestrel
