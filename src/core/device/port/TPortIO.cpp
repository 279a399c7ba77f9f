#include "core/device/port/TPortIO.h"

#include "core/text/PlatformInteger.h"

namespace kestrel {

namespace {

constexpr const char* kServiceName = "DLPortIO";
constexpr const char* kServiceDisplayName = "DriverLINX Port I/O Driver";
constexpr const char* kServiceLoadOrderGroup = "SST miniport drivers";

// Service manager access rights.
constexpr std::uint32_t kManagerFullAccess = 0x17;    // connect, create service, enumerate, query lock
constexpr std::uint32_t kManagerNoCreateAccess = 0x15; // the same without create service
constexpr std::uint32_t kServiceQueryStatus = 0x4;
constexpr std::uint32_t kServiceStart = 0x10;
constexpr std::uint32_t kServiceQueryAndStop = 0x24;
constexpr std::uint32_t kServiceDelete = 0x10000;
constexpr std::uint32_t kServiceCreateAccess = 0x10034; // delete, start, stop, query status

constexpr std::uint32_t kKernelDriver = 1;
constexpr std::uint32_t kDemandStart = 3;
constexpr std::uint32_t kErrorNormal = 1;
constexpr std::uint32_t kControlStop = 1;
constexpr std::uint32_t kStateStopped = 1;
constexpr std::uint32_t kStateRunning = 4;
constexpr std::uint32_t kErrorAccessDenied = 5;

// DriverStart's own code for a service that is neither running nor stopped.
constexpr long long kServiceNotStartable = -1;

} // namespace

TPortIO::TPortIO(PortIoSeams seams)
    : loader_(seams.loader ? *seams.loader : systemLibraryLoader()),
      services_(seams.services ? *seams.services : systemServiceControlManager()),
      platform_(seams.platform ? *seams.platform : systemPlatformInfo())
{
    isNT_ = platform_.isNT();
    const std::string systemDirectory = platform_.systemDirectory();
    if (!systemDirectory.empty())
        driverPath_ = systemDirectory + "\\DRIVERS";
}

TPortIO::~TPortIO()
{
    if (activeHW_)
        CloseDriver();
    // A close refused by the service manager leaves the service as it is, but the
    // handles of an object that goes away are released all the same.
    if (libraryHandle_ != nullptr)
        releaseLibrary();
    if (managerHandle_ != nullptr)
        DisconnectSCM();
}

void TPortIO::setServiceError(const char* step, long long code)
{
    lastError_ = std::string(step) + ": Error #" + std::to_string(code);
}

bool TPortIO::ConnectSCM()
{
    managerHandle_ = services_.openManager(kManagerFullAccess);
    if (managerHandle_ == nullptr && services_.lastError() == kErrorAccessDenied)
        managerHandle_ = services_.openManager(kManagerNoCreateAccess);
    if (managerHandle_ != nullptr)
        return true;
    setServiceError("ConnectSCM", services_.lastError());
    return false;
}

bool TPortIO::DisconnectSCM()
{
    if (managerHandle_ == nullptr)
        return false;
    const bool closed = services_.closeHandle(managerHandle_);
    managerHandle_ = nullptr;
    return closed;
}

bool TPortIO::DriverInstall()
{
    serviceExisted_ = false;
    const std::string driverFile = driverPath_ + "\\" + kServiceName + ".SYS";

    if (const auto existing = services_.openService(managerHandle_, kServiceName, kServiceQueryStatus)) {
        serviceExisted_ = true;
        services_.closeHandle(existing);
        return true;
    }

    ServiceControlManager::CreateParameters parameters;
    parameters.name = kServiceName;
    parameters.displayName = kServiceDisplayName;
    parameters.access = kServiceCreateAccess;
    parameters.serviceType = kKernelDriver;
    parameters.startType = kDemandStart;
    parameters.errorControl = kErrorNormal;
    parameters.binaryPath = driverFile;
    parameters.loadOrderGroup = kServiceLoadOrderGroup;
    const auto created = services_.createService(managerHandle_, parameters);
    if (created == nullptr) {
        setServiceError("DriverInstall", services_.lastError());
        return false;
    }
    services_.closeHandle(created);
    return true;
}

bool TPortIO::DriverStart()
{
    serviceWasRunning_ = false;
    // A failed call counts as a failure even when the system reports code 0.
    bool failed = false;
    long long code = 0;
    const auto fail = [&](long long c) {
        failed = true;
        code = c;
    };

    const auto query = services_.openService(managerHandle_, kServiceName, kServiceQueryStatus);
    if (query == nullptr) {
        fail(services_.lastError());
    } else {
        std::uint32_t state = 0;
        if (!services_.queryState(query, state)) {
            fail(services_.lastError());
            services_.closeHandle(query);
        } else if (state == kStateRunning) {
            serviceWasRunning_ = true;
            services_.closeHandle(query);
        } else if (state == kStateStopped) {
            services_.closeHandle(query);
            const auto start = services_.openService(managerHandle_, kServiceName, kServiceStart);
            if (start == nullptr) {
                fail(services_.lastError());
            } else {
                if (!services_.startService(start))
                    fail(services_.lastError());
                services_.closeHandle(start);
            }
        } else {
            fail(kServiceNotStartable);
            services_.closeHandle(query);
        }
    }

    if (!failed)
        return true;
    setServiceError("DriverStart", code);
    return false;
}

bool TPortIO::DriverStop()
{
    if (serviceWasRunning_)
        return true; // a driver found running stays running

    bool failed = false;
    long long code = 0;
    const auto service = services_.openService(managerHandle_, kServiceName, kServiceQueryAndStop);
    if (service == nullptr) {
        failed = true;
        code = services_.lastError();
    } else {
        if (!services_.controlService(service, kControlStop)) {
            failed = true;
            code = services_.lastError();
        }
        services_.closeHandle(service);
    }
    if (!failed)
        return true;
    setServiceError("DriverStop", code);
    return false;
}

bool TPortIO::DriverRemove()
{
    if (serviceExisted_)
        return true; // a service found installed stays installed

    bool failed = false;
    long long code = 0;
    const auto service = services_.openService(managerHandle_, kServiceName, kServiceDelete);
    if (service == nullptr) {
        failed = true;
        code = services_.lastError();
    } else {
        if (!services_.deleteService(service)) {
            failed = true;
            code = services_.lastError();
        }
        services_.closeHandle(service);
    }
    if (!failed)
        return true;
    setServiceError("DriverRemove", code);
    return false;
}

void TPortIO::OpenDriver()
{
    if (activeHW_)
        return;
    libraryFailure_.clear();
    serviceStopped_ = false;

    if (isNT_) {
        if (!ConnectSCM())
            return;
        if (!DriverInstall()) {
            DisconnectSCM();
            return;
        }
        if (!DriverStart()) {
            DriverRemove();
            DisconnectSCM();
            return;
        }
    }

    const std::string libraryPath =
        dllPath_.empty() ? std::string(kPortIoLibraryFileName) : dllPath_ + kPathSeparator + kPortIoLibraryFileName;
    libraryHandle_ = loader_.load(libraryPath);
    std::string backendRefusal;
    if (libraryHandle_ == nullptr) {
        libraryFailure_ = "не удалось загрузить " + libraryPath;
        std::string reason = loader_.lastFailure();
        // dlerror names the file again; once is enough.
        if (reason.starts_with(libraryPath + ": "))
            reason.erase(0, libraryPath.size() + 2);
        if (!reason.empty())
            libraryFailure_ += ": " + reason;
    } else if (resolveEntryPoints(libraryPath)) {
        // Our own library can say that its backend cannot work (no port, no permission).
        const auto status = reinterpret_cast<PortIoStatusFn>(loader_.resolve(libraryHandle_, kPortIoStatusEntryPoint));
        const char* reason = status != nullptr ? status() : nullptr;
        if (reason != nullptr) {
            backendRefusal = reason;
            libraryFailure_ = backendRefusal;
        } else {
            activeHW_ = true;
            portStatus_ = reinterpret_cast<PortIoPortStatusFn>(loader_.resolve(libraryHandle_, kPortIoPortStatusEntryPoint));
        }
    }

    if (!activeHW_) {
        if (isNT_) {
            DriverStop();
            DriverRemove();
            DisconnectSCM();
        }
        if (libraryHandle_ != nullptr)
            releaseLibrary();
        libraryHandle_ = nullptr;
        entryPoints_.fill(nullptr);
        if (!backendRefusal.empty())
            lastError_ = backendRefusal;
    }
}

bool TPortIO::resolveEntryPoints(const std::string& libraryPath)
{
    for (std::size_t i = 0; i < kPortIoEntryPointCount; ++i) {
        entryPoints_[i] = loader_.resolve(libraryHandle_, kPortIoEntryPoints[i]);
        if (entryPoints_[i] == nullptr) {
            libraryFailure_ = "в библиотеке " + libraryPath + " нет функции " + kPortIoEntryPoints[i];
            return false;
        }
    }
    return true;
}

void TPortIO::releaseLibrary()
{
    if (loader_.free(libraryHandle_)) {
        libraryHandle_ = nullptr;
        entryPoints_.fill(nullptr);
        portStatus_ = nullptr;
    }
}

void TPortIO::CloseDriver()
{
    if (!activeHW_)
        return;
    if (isNT_) {
        if (!serviceStopped_) {
            if (!DriverStop())
                return;
            serviceStopped_ = true;
        }
        if (!DriverRemove())
            return;
        DisconnectSCM();
    }
    releaseLibrary();
    if (libraryHandle_ == nullptr)
        activeHW_ = false;
}

void TPortIO::requireActive(std::uint16_t port) const
{
    if (activeHW_)
        return;
    throw PortError("Драйвер портов ввода-вывода не открыт: нет доступа к порту 0x" + hexText(port, 1) + ".");
}

void TPortIO::checkPortKept(std::uint16_t port) const
{
    if (portStatus_ == nullptr)
        return;
    if (const char* reason = portStatus_(port); reason != nullptr)
        throw PortError("Связь с портом 0x" + hexText(port, 1) + " потеряна: " + reason);
}

std::uint8_t TPortIO::GetPortByte(std::uint16_t port)
{
    requireActive(port);
    const std::uint8_t value = entryPoint<PortReadUcharFn>(kReadPortUchar)(port);
    // A port lost during use reads as a floating bus; only then is it worth asking.
    if (value == 0xFF)
        checkPortKept(port);
    return value;
}

void TPortIO::WritePortByte(std::uint16_t port, std::uint8_t value)
{
    requireActive(port);
    entryPoint<PortWriteUcharFn>(kWritePortUchar)(port, value);
}

void TPortIO::PortControl(std::span<TPortRec> records)
{
    if (!records.empty())
        requireActive(records.front().Port);
    for (auto& record : records) {
        if (record.Write)
            entryPoint<PortWriteUcharFn>(kWritePortUchar)(record.Port, record.Value);
        else
            record.Value = entryPoint<PortReadUcharFn>(kReadPortUchar)(record.Port);
    }
}

void TPortIO::PortCommand(std::span<TPortCommand> records)
{
    if (!records.empty())
        requireActive(records.front().Port);
    for (auto& record : records) {
        switch (record.Command) {
        case kReadByte:
            record.Value = (record.Value & 0xFFFFFF00u) | entryPoint<PortReadUcharFn>(kReadPortUchar)(record.Port);
            break;
        case kReadWord:
            record.Value = (record.Value & 0xFFFF0000u) | entryPoint<PortReadUshortFn>(kReadPortUshort)(record.Port);
            break;
        case kReadDword:
            record.Value = entryPoint<PortReadUlongFn>(kReadPortUlong)(record.Port);
            break;
        case kWriteByte:
            entryPoint<PortWriteUcharFn>(kWritePortUchar)(record.Port, static_cast<std::uint8_t>(record.Value));
            break;
        case kWriteWord:
            entryPoint<PortWriteUshortFn>(kWritePortUshort)(record.Port, static_cast<std::uint16_t>(record.Value));
            break;
        case kWriteDword:
            entryPoint<PortWriteUlongFn>(kWritePortUlong)(record.Port, record.Value);
            break;
        default:
            break; // unknown command types leave the record untouched
        }
    }
}

} // namespace kestrel
