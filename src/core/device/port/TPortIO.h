#pragma once

#include "core/device/PortAccess.h"
#include "core/device/port/LibraryLoader.h"
#include "core/device/port/PlatformInfo.h"
#include "core/device/port/PortIoEntryPoints.h"
#include "core/device/port/PortRecords.h"
#include "core/device/port/ServiceControlManager.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace kestrel {

// The operating system as the port component sees it; a null member means the real one.
struct PortIoSeams {
    LibraryLoader* loader = nullptr;
    ServiceControlManager* services = nullptr;
    PlatformInfo* platform = nullptr;
};

// Port access through the external port-I/O library. On the Windows NT family the
// library needs its kernel driver, which is installed and started as the service
// "DLPortIO" when opening and stopped and removed again when closing, unless it was
// there (or running) before. Service failures are reported by LastError(), never thrown.
class TPortIO : public PortAccess {
public:
    explicit TPortIO(PortIoSeams seams = {});
    ~TPortIO() override;
    TPortIO(const TPortIO&) = delete;
    TPortIO& operator=(const TPortIO&) = delete;

    // Success shows as ActiveHW(); when it is false, LastError() names a failed service step.
    void OpenDriver();
    void CloseDriver();

    // Folder of the kernel driver file DLPortIO.SYS; set before opening.
    const std::string& DriverPath() const { return driverPath_; }
    void SetDriverPath(std::string path) { driverPath_ = std::move(path); }
    // Folder of the port library; empty: the system's library search.
    const std::string& DLLPath() const { return dllPath_; }
    void SetDLLPath(std::string path) { dllPath_ = std::move(path); }
    bool ActiveHW() const { return activeHW_; }
    const std::string& LastError() const { return lastError_; }
    bool IsNT() const { return isNT_; }
    // Why the last opening could not use the library ("не удалось загрузить <path>: <reason>",
    // an entry point missing), in Russian; LastError() is kept for the service steps.
    const std::string& LibraryFailure() const { return libraryFailure_; }

    // Port operations throw PortError while the driver is not open, touching no port,
    // and a byte read throws it when our library says the port was lost during use.
    std::uint8_t GetPortByte(std::uint16_t port) override;
    void WritePortByte(std::uint16_t port, std::uint8_t value) override;
    // Processed in order; reads are stored back into the records.
    void PortControl(std::span<TPortRec> records);
    void PortCommand(std::span<TPortCommand> records);

protected:
    // The service steps of OpenDriver and CloseDriver on the NT family.
    bool ConnectSCM();
    bool DisconnectSCM();
    bool DriverInstall();
    bool DriverStart();
    bool DriverStop();
    bool DriverRemove();

    PlatformInfo& platform() { return platform_; }

private:
    template <typename Function>
    Function entryPoint(PortIoEntryPoint which) const
    {
        return reinterpret_cast<Function>(entryPoints_[which]);
    }
    void requireActive(std::uint16_t port) const;
    void checkPortKept(std::uint16_t port) const;
    bool resolveEntryPoints(const std::string& libraryPath);
    void releaseLibrary();
    void setServiceError(const char* step, long long code);

    LibraryLoader& loader_;
    ServiceControlManager& services_;
    PlatformInfo& platform_;

    bool activeHW_ = false;
    bool isNT_ = false;
    LibraryLoader::Handle libraryHandle_ = nullptr;
    ServiceControlManager::Handle managerHandle_ = nullptr;
    std::string driverPath_;
    std::string dllPath_;
    std::string lastError_;
    bool serviceExisted_ = false;
    bool serviceWasRunning_ = false;
    // Set once a close has stopped the service, so that a close retried after a
    // failed removal does not try to stop it again.
    bool serviceStopped_ = false;
    std::array<LibraryLoader::Symbol, kPortIoEntryPointCount> entryPoints_{};
    // Our own library's report of ports lost during use; nullptr for other libraries.
    PortIoPortStatusFn portStatus_ = nullptr;
    std::string libraryFailure_;
};

} // namespace kestrel
