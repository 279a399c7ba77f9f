#pragma once

#include "core/config/ServicePage.h"
#include "core/image/ByteAccess.h"
#include "core/text/DisplayLocale.h"

#include <string_view>

namespace kestrel {

// The operator name of an identification change at 0x635, the identification flag,
// and the whole identification block 0x700–0x8FF cleared (its reserved tail stays zero).
void beginIdentificationChange(MutableBytes image, std::string_view operatorName);

// The service life field is a signed byte.
inline constexpr int kLongestServiceLife = 127;

// Texts with a character that Windows-1251 cannot hold throw ConfigurationError naming
// the field and the character.
void checkIdentificationTexts(const IdentificationTexts& texts);

// The identification block at 0x700, field by field in the order of the window: texts
// in Windows-1251, cut to their fields; years, service life (0..127), installation day
// and capacities converted. The first field that cannot be converted or held throws
// ConfigurationError with its message; the fields before it stay in the image. Decimal
// numbers use `locale`'s separator.
void composeIdentificationBlock(MutableBytes image, const IdentificationTexts& texts, const DisplayLocale& locale);

} // namespace kestrel
