#pragma once

#include "core/config/ServicePage.h"
#include "core/image/ByteAccess.h"

#include <string_view>

namespace kestrel {

// The program block 0x660–0x6CF: the change stamp stays as the image holds it; the
// operator name, the switch byte, the 13 thresholds and the 16 zones of the load
// characteristic are composed from the page, and the program flag is set.
//
// A threshold text that is not an integer reads as its spin edit's minimum, and a
// value outside the spin edit's range as the nearest bound, as the spin edit itself
// would pull it on losing the focus; the page's text is set to the value taken.
// AverTime is kept in units of 40 ms. A characteristic cell that is not an integer
// throws ConfigurationError("Ошибка при формировании блока грузовой характеристики!").
void composeProgramBlock(MutableBytes image, ServicePage& page, std::string_view operatorName);

} // namespace kestrel
