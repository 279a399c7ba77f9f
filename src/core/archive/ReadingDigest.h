#pragma once

#include "core/image/MemoryImage.h"

#include <string>

namespace kestrel {

// SHA-256 of a reading's 32 768 bytes as 64 lower-case hex digits: the reading's identity
// in every archive (the server computes the same with sha256()), and the check that the
// stored bytes are still the ones that were read.
std::string readingDigest(const MemoryImage& image);

} // namespace kestrel
