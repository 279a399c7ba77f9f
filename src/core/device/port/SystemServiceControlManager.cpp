#include "core/device/port/ServiceControlManager.h"

#include "core/device/WindowsApi.h"

namespace kestrel {

namespace {

#if defined(_WIN32)

SC_HANDLE scHandle(ServiceControlManager::Handle handle) { return static_cast<SC_HANDLE>(handle); }

class WindowsServiceControlManager : public ServiceControlManager {
public:
    Handle openManager(std::uint32_t access) override { return OpenSCManagerA(nullptr, nullptr, access); }
    Handle openService(Handle manager, const std::string& name, std::uint32_t access) override
    {
        return OpenServiceA(scHandle(manager), name.c_str(), access);
    }
    Handle createService(Handle manager, const CreateParameters& p) override
    {
        return CreateServiceA(scHandle(manager), p.name.c_str(), p.displayName.c_str(), p.access, p.serviceType,
            p.startType, p.errorControl, p.binaryPath.c_str(), p.loadOrderGroup.c_str(), nullptr, nullptr, nullptr,
            nullptr);
    }
    bool queryState(Handle service, std::uint32_t& currentState) override
    {
        SERVICE_STATUS status{};
        if (!QueryServiceStatus(scHandle(service), &status))
            return false;
        currentState = status.dwCurrentState;
        return true;
    }
    bool startService(Handle service) override { return StartServiceA(scHandle(service), 0, nullptr) != 0; }
    bool controlService(Handle service, std::uint32_t control) override
    {
        SERVICE_STATUS status{};
        return ControlService(scHandle(service), control, &status) != 0;
    }
    bool deleteService(Handle service) override { return DeleteService(scHandle(service)) != 0; }
    bool closeHandle(Handle handle) override { return CloseServiceHandle(scHandle(handle)) != 0; }
    std::uint32_t lastError() override { return GetLastError(); }
};

#else

// There is no service manager here; every call fails as "not supported".
class AbsentServiceControlManager : public ServiceControlManager {
public:
    static constexpr std::uint32_t kNotSupported = 50; // ERROR_NOT_SUPPORTED

    Handle openManager(std::uint32_t) override { return nullptr; }
    Handle openService(Handle, const std::string&, std::uint32_t) override { return nullptr; }
    Handle createService(Handle, const CreateParameters&) override { return nullptr; }
    bool queryState(Handle, std::uint32_t&) override { return false; }
    bool startService(Handle) override { return false; }
    bool controlService(Handle, std::uint32_t) override { return false; }
    bool deleteService(Handle) override { return false; }
    bool closeHandle(Handle) override { return false; }
    std::uint32_t lastError() override { return kNotSupported; }
};

#endif

} // namespace

ServiceControlManager& systemServiceControlManager()
{
#if defined(_WIN32)
    static WindowsServiceControlManager manager;
#else
    static AbsentServiceControlManager manager;
#endif
    return manager;
}

} // namespace kestrel
