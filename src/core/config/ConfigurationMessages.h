#pragma once

// The write-back's own texts, one place for the code, the window and the tests.
namespace kestrel::config_text {

inline constexpr const char* kDeviceNotConnected = "Прибор считывания  информации не подключен!";
inline constexpr const char* kClearFailed = "Ошибка при стирания данных из ПСИ!";
inline constexpr const char* kClockComposeFailed = "Ошибка при формировании блока данных часов!";
inline constexpr const char* kClockWriteFailed = "Ошибка при записи данных часов в память!";
inline constexpr const char* kRecorderYearWrong = "Неправильно указан год изготовления регистратора параметров!";
inline constexpr const char* kInstallationDateWrong = "Неправильно указана дата установки регистратора параметров!";
inline constexpr const char* kCraneYearWrong = "Неправильно указан год изготовления крана!";
inline constexpr const char* kServiceLifeWrong = "Неправильно указан нормативный срок службы крана!";
inline constexpr const char* kCraneCapacityWrong = "Неправильно указана грузоподъемность крана!";
inline constexpr const char* kWinch1CapacityWrong = "Неправильно указана грузоподъемность Лебедки №1!";
inline constexpr const char* kWinch2CapacityWrong = "Неправильно указана грузоподъемность Лебедки №2!";
inline constexpr const char* kIdentificationWriteFailed = "Ошибка при записи идентификационных данных в память!";
inline constexpr const char* kOperatorNameWriteFailed = "Ошибка при записи имени оператора!";
inline constexpr const char* kNormalisationWriteFailed = "Ошибка при записи нормировки Qnom в память!";
inline constexpr const char* kEraseQuestion
    = "Выбрана очистка регистратора параметров. Данные будут уничтожены!\nПродолжить выполнение?";
inline constexpr const char* kThresholdsComposeFailed = "Ошибка при формировании блока порогов срабатывания программы!";
inline constexpr const char* kCharacteristicComposeFailed = "Ошибка при формировании блока грузовой характеристики!";
inline constexpr const char* kProgramWriteFailed = "Ошибка при записи изменений программы микроконтроллера в память!";
inline constexpr const char* kAccessWriteFailed = "Ошибка при записи кода доступа!";
inline constexpr const char* kReadBackFailed
    = "Проверка записи не выполнена: область настроек не прочитана из ПСИ, запись не подтверждена!";
inline constexpr const char* kWriteBackChecked = "Данные записаны на ПСИ и проверены";
inline constexpr const char* kWriteBackDone = "Данные успешно записаны в память!";

} // namespace kestrel::config_text
