#pragma once

#include "core/image/ByteAccess.h"

namespace kestrel {

// XOR of the bytes at even offsets is zero for a consistent image.
bool checksumOk(ConstBytes image);

// Sets the byte at the even offset `spare` (one that no field uses) so that the checksum
// comes out consistent.
void makeChecksumConsistent(MutableBytes image, std::size_t spare);

inline constexpr const char* kChecksumQuestionDevice =
    "Неправильная контрольная сумма!\nВозможно, ошибка чтения ПСИ.\n Продолжить обработку?";
inline constexpr const char* kChecksumQuestionFile =
    "Неправильная контрольная сумма!\nВозможно, ошибка чтения ПСИ.\nПродолжить обработку?";

} // namespace kestrel
