#include "core/image/ImageCompare.h"

#include "core/image/ImageLayout.h"

#include <algorithm>

namespace kestrel {

bool identificationEqual(ConstBytes a, ConstBytes b)
{
    const auto ia = a.subspan(layout::kIdentification, layout::kIdentificationSize);
    const auto ib = b.subspan(layout::kIdentification, layout::kIdentificationSize);
    return std::equal(ia.begin(), ia.end(), ib.begin());
}

bool hasDetail(ConstBytes image, const StampBytes& stamp)
{
    // Plain scan over the log without wrapping; marks cut by the end of the image never match.
    const std::size_t end = std::min(image.size(), layout::kOplog + layout::kOplogSize);
    for (std::size_t at = layout::kOplog; at + stamp.size() < end; ++at) {
        if (image[at] == 0xFF && std::equal(stamp.begin(), stamp.end(), image.begin() + static_cast<long>(at) + 1))
            return true;
    }
    return false;
}

} // namespace kestrel
