#include "core/image/Checksum.h"

#include <cstdint>

namespace kestrel {

namespace {

std::uint8_t evenXor(ConstBytes image)
{
    std::uint8_t x = 0;
    for (std::size_t i = 0; i < image.size(); i += 2)
        x ^= image[i];
    return x;
}

} // namespace

bool checksumOk(ConstBytes image) { return evenXor(image) == 0; }

void makeChecksumConsistent(MutableBytes image, std::size_t spare)
{
    image[spare] = 0;
    image[spare] = evenXor(image);
}

} // namespace kestrel
