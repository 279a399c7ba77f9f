#include "core/device/port/PortIoFailureText.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel {
namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(PortIoFailureText, LoaderCodesAreExplainedAndKeepTheirNumber)
{
    const std::string missing = libraryLoadFailureReason(126);
    EXPECT_TRUE(has(missing, "не найдена ни в папке программы")) << missing;
    EXPECT_TRUE(has(missing, "PATH")) << missing;
    EXPECT_TRUE(missing.ends_with("(ошибка Windows 126)")) << missing;

    EXPECT_EQ(libraryLoadFailureReason(193, 64),
        "это не 64-разрядная библиотека; 32-разрядную DLPortIO.dll 64-разрядная программа загрузить не может, "
        "нужна 64-разрядная сборка библиотеки (ошибка Windows 193)");
    // A 32-bit build meets the opposite mismatch.
    EXPECT_TRUE(has(libraryLoadFailureReason(193, 32), "64-разрядную DLPortIO.dll 32-разрядная программа"));

    EXPECT_TRUE(has(libraryLoadFailureReason(5), "доступ запрещён"));
    EXPECT_TRUE(has(libraryLoadFailureReason(2), "файл библиотеки не найден"));
    EXPECT_TRUE(has(libraryLoadFailureReason(1114), "не смогла начать работу"));

    // Any other code is named as it is, the largest one too.
    EXPECT_EQ(libraryLoadFailureReason(1455), "Windows не загрузил библиотеку (ошибка Windows 1455)");
    EXPECT_EQ(libraryLoadFailureReason(0xFFFFFFFFu), "Windows не загрузил библиотеку (ошибка Windows 4294967295)");
}

TEST(PortIoFailureText, RefusedServiceStepsSayWhatTheUserCanDo)
{
    const std::string install = serviceFailureReason("DriverInstall", 5);
    EXPECT_TRUE(has(install, "нет прав администратора")) << install;
    EXPECT_TRUE(has(install, "установить службу драйвера «DLPortIO»")) << install;
    EXPECT_TRUE(has(install, "от имени администратора")) << install;
    EXPECT_TRUE(has(serviceFailureReason("DriverStart", 5), "запустить службу драйвера «DLPortIO»"));
    EXPECT_TRUE(has(serviceFailureReason("DriverRemove", 5), "удалить службу"));
    EXPECT_EQ(serviceFailureReason("ConnectSCM", 5), "нет прав на обращение к диспетчеру служб Windows");

    EXPECT_EQ(serviceFailureReason("DriverStart", 2), "файл драйвера DLPortIO.SYS не найден: он должен лежать в папке программы");
    EXPECT_TRUE(has(serviceFailureReason("DriverStart", 577), "цифровой подписи"));
    EXPECT_TRUE(has(serviceFailureReason("DriverStart", -1), "запускается, останавливается или приостановлена"));
    EXPECT_TRUE(has(serviceFailureReason("DriverInstall", 1072), "перезагрузите компьютер"));

    // Codes only starting gives meaning to, and codes without words, fall back on the step.
    EXPECT_EQ(serviceFailureReason("DriverInstall", 2), "не удалось установить службу драйвера «DLPortIO»");
    EXPECT_EQ(serviceFailureReason("ConnectSCM", 1722), "не удалось подключиться к диспетчеру служб Windows");
    EXPECT_EQ(serviceFailureReason("DriverStop", 1051), "не удалось остановить службу драйвера «DLPortIO»");
    EXPECT_EQ(serviceFailureReason("ppdev", 5), "");
}

TEST(PortIoFailureText, OnlyAServiceStepsLastErrorIsReadAsOne)
{
    EXPECT_EQ(serviceFailureReasonOf("DriverInstall: Error #5"), serviceFailureReason("DriverInstall", 5));
    EXPECT_EQ(serviceFailureReasonOf("DriverStart: Error #-1"), serviceFailureReason("DriverStart", -1));
    EXPECT_EQ(serviceFailureReasonOf("ConnectSCM: Error #1722"), serviceFailureReason("ConnectSCM", 1722));
    for (const char* other : {"", "ppdev: /dev/parport0: Permission denied", "DriverStart: Error #", "DriverStart: Error #5x",
             "DriverStart: Error # 5", "Симулятор ПСИ: файл памяти x.bbd не найден", "DriverStart: Error #99999999999999999999"})
        EXPECT_EQ(serviceFailureReasonOf(other), "") << other;
}

} // namespace
} // namespace kestrel
