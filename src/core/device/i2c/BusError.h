#pragma once

#include <stdexcept>

namespace kestrel {

// A fault on the I2C lines (a wait that ran out, a conflict, a bus that would not
// initialise); the message is the Russian text the user is shown.
class BusError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The messages of the bus master.
inline constexpr const char* kSendErrorMessage = "Ошибка передачи данных!";
inline constexpr const char* kReadErrorMessage = "Ошибка чтения данных!";
inline constexpr const char* kTimeoutMessage = "Превышено время ожидания ответа!";
inline constexpr const char* kInitErrorMessage = "Ошибка инициализации шины I2C!";
inline constexpr const char* kConflictMessage = "Конфликт шины I2C!";

} // namespace kestrel
