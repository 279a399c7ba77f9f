#include "core/device/port/PortIoFailureText.h"

#include <charconv>

namespace kestrel {

namespace {

// Windows system error codes met when loading the library or running its driver service.
constexpr long long kFileNotFound = 2;
constexpr long long kPathNotFound = 3;
constexpr long long kAccessDenied = 5;
constexpr long long kModNotFound = 126;
constexpr long long kProcNotFound = 127;
constexpr long long kBadExeFormat = 193;
constexpr long long kMachineTypeMismatch = 216;
constexpr long long kInvalidImageHash = 577; // no acceptable signature
constexpr long long kDllInitFailed = 1114;
constexpr long long kServiceDisabled = 1058;
constexpr long long kServiceMarkedForDelete = 1072;
constexpr long long kDriverBlocked = 1275;
constexpr long long kNeitherRunningNorStopped = -1;

constexpr std::string_view kService = "службу драйвера «DLPortIO»";

std::string decimal(long long value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return std::string(digits, end);
}

std::string withCode(std::string text, long long code)
{
    return text + " (ошибка Windows " + decimal(code) + ")";
}

struct Step {
    std::string_view name;
    std::string_view doing; // "<cannot> <doing>"
};

constexpr Step kSteps[] = {
    {"ConnectSCM", "подключиться к диспетчеру служб Windows"},
    {"DriverInstall", "установить службу драйвера «DLPortIO»"},
    {"DriverStart", "запустить службу драйвера «DLPortIO»"},
    {"DriverStop", "остановить службу драйвера «DLPortIO»"},
    {"DriverRemove", "удалить службу драйвера «DLPortIO»"},
};

} // namespace

std::string libraryLoadFailureReason(std::uint32_t code, int programBits)
{
    const long long c = code;
    switch (c) {
    case kModNotFound:
        // Also what Windows says when a library DLPortIO.dll itself needs is missing.
        return withCode("библиотека не найдена ни в папке программы, ни в системных папках Windows, ни в папках "
                        "из PATH, или не найдена библиотека, которая нужна ей самой",
            c);
    case kFileNotFound:
    case kPathNotFound:
        return withCode("файл библиотеки не найден", c);
    case kBadExeFormat:
    case kMachineTypeMismatch: {
        const std::string bits = decimal(programBits);
        const std::string other = decimal(programBits == 64 ? 32 : 64);
        return withCode("это не " + bits + "-разрядная библиотека; " + other + "-разрядную DLPortIO.dll " + bits +
                            "-разрядная программа загрузить не может, нужна " + bits + "-разрядная сборка библиотеки",
            c);
    }
    case kAccessDenied:
        return withCode("нет доступа к файлу библиотеки (доступ запрещён)", c);
    case kProcNotFound:
        return withCode("в библиотеке или в нужной ей библиотеке нет требуемой функции", c);
    case kDllInitFailed:
        return withCode("библиотека не смогла начать работу", c);
    default:
        return withCode("Windows не загрузил библиотеку", c);
    }
}

std::string serviceFailureReason(std::string_view step, long long code)
{
    const Step* found = nullptr;
    for (const Step& s : kSteps)
        if (s.name == step)
            found = &s;
    if (found == nullptr)
        return {};
    const bool connecting = found == &kSteps[0];
    const bool starting = found == &kSteps[2];

    if (code == kAccessDenied) {
        if (connecting)
            return "нет прав на обращение к диспетчеру служб Windows";
        std::string text = "нет прав администратора, чтобы " + std::string(found->doing);
        if (found == &kSteps[1])
            text += ": в первый раз запустите программу от имени администратора";
        else if (starting)
            text += ": запустите программу от имени администратора";
        return text;
    }
    if (code == kServiceMarkedForDelete && !connecting)
        return std::string(kService) + " Windows ещё удаляет: перезагрузите компьютер";
    if (starting) {
        switch (code) {
        case kFileNotFound:
        case kPathNotFound:
            return "файл драйвера DLPortIO.SYS не найден: он должен лежать в папке программы";
        case kInvalidImageHash:
            return "Windows не принимает драйвер DLPortIO.SYS: у него нет подходящей цифровой подписи "
                   "(64-разрядная Windows загружает только подписанные драйверы)";
        case kBadExeFormat:
        case kMachineTypeMismatch:
            return "драйвер DLPortIO.SYS собран не для этой Windows (64-разрядной Windows нужен "
                   "64-разрядный драйвер)";
        case kDriverBlocked:
            return "Windows заблокировал драйвер DLPortIO.SYS (защита от уязвимых драйверов)";
        case kServiceDisabled:
            return std::string(kService) + " отключили в Windows";
        case kNeitherRunningNorStopped:
            return std::string(kService) +
                " нельзя запустить: она сейчас запускается, останавливается или приостановлена; "
                "подождите и попробуйте снова";
        default:
            break;
        }
    }
    return "не удалось " + std::string(found->doing);
}

std::string serviceFailureReasonOf(std::string_view lastError)
{
    constexpr std::string_view kMarker = ": Error #";
    const auto at = lastError.find(kMarker);
    if (at == std::string_view::npos)
        return {};
    const std::string_view number = lastError.substr(at + kMarker.size());
    long long code = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), code);
    if (error != std::errc() || end != number.data() + number.size())
        return {};
    return serviceFailureReason(lastError.substr(0, at), code);
}

} // namespace kestrel
