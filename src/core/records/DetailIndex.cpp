#include "core/records/DetailIndex.h"

#include "core/image/ImageLayout.h"

#include <algorithm>
#include <cstring>

namespace kestrel {

namespace {

std::uint64_t keyOf(const std::uint8_t* p)
{
    std::uint64_t k = 0;
    for (int i = 0; i < 5; ++i)
        k = (k << 8) | p[i];
    return k;
}

} // namespace

DetailIndex::DetailIndex(ConstBytes image)
{
    const std::size_t end = std::min(image.size(), layout::kOplog + layout::kOplogSize);
    const std::uint8_t* base = image.data();
    std::size_t at = layout::kOplog;
    while (at + 5 < end) {
        const void* hit = std::memchr(base + at, 0xFF, end - 5 - at);
        if (hit == nullptr)
            break;
        at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - base);
        // Only the last 0xFF of a run can stand before a stamp; an erased log is mostly
        // 0xFF, so runs are skipped eight bytes at a time.
        std::uint64_t word;
        while (at + 13 < end && (std::memcpy(&word, base + at + 1, 8), word == ~std::uint64_t{0}))
            at += 8;
        while (at + 6 < end && base[at + 1] == 0xFF)
            ++at;
        if (base[at + 1] != 0xFF)
            marks_.push_back(keyOf(base + at + 1));
        ++at;
    }
    std::sort(marks_.begin(), marks_.end());
    marks_.erase(std::unique(marks_.begin(), marks_.end()), marks_.end());
}

bool DetailIndex::contains(const StampBytes& stamp) const
{
    return std::binary_search(marks_.begin(), marks_.end(), keyOf(stamp.data()));
}

} // namespace kestrel
