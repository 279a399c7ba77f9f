#include "core/config/AccessBlock.h"

#include "core/config/ConfigurationArea.h"
#include "core/image/FixedText.h"

namespace kestrel {

using namespace config_area;

void clearOperationFlags(MutableBytes image)
{
    image[kOperationFlags] = 0;
    image[kOperationFlagsCopy] = 0;
}

void addOperationFlag(MutableBytes image, std::uint8_t flag)
{
    image[kOperationFlags] = static_cast<std::uint8_t>(image[kOperationFlags] | flag);
    image[kOperationFlagsCopy] = image[kOperationFlags];
}

void composeAccessBlock(MutableBytes image, std::string_view accessCode)
{
    putFixedText(image, kAccess.address, kAccessCodeLength, accessCode);
}

} // namespace kestrel
