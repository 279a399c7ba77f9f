#include "core/demo/OplogWriter.h"

#include "core/image/ImageLayout.h"

#include <algorithm>

namespace kestrel {

OplogWriter::OplogWriter(MutableBytes image, std::size_t start)
    : image_(image.subspan(layout::kOplog, layout::kOplogSize)), position_(start % layout::kOplogSize)
{
    std::fill(image_.begin(), image_.end(), std::uint8_t{0xFF});
}

void OplogWriter::beginSection(const StampBytes& stamp, int markBytes)
{
    const auto markSize = static_cast<std::size_t>(std::max(markBytes, 1)) + stamp.size();
    if (position_ + markSize > image_.size()) {
        while (position_ != 0)
            putByte(0xFF);
    }
    for (int i = 0; i < std::max(markBytes, 1); ++i)
        putByte(0xFF);
    for (auto b : stamp)
        putByte(b);
}

void OplogWriter::putByte(std::uint8_t b)
{
    image_[position_] = b;
    position_ = (position_ + 1) % image_.size();
    ++written_;
}

} // namespace kestrel
