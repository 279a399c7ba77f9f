#include "core/image/Checksum.h"

#include <cstdint>

namespace kestrel {

bool checksumOk(ConstBytes image)
{
    std::uint8_t x = 0;
    for (std::size_t i = 0; i < image.size(); i += 2)
        x ^= image[i];
    return x == 0;
}

} // namespace kestrel
