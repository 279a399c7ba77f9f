#pragma once

#include <cstdint>
#include <string>

namespace kestrel {

// The Windows service control manager, as far as the port driver's service needs it.
// Every call that fails leaves its reason in lastError() (GetLastError).
class ServiceControlManager {
public:
    using Handle = void*;

    struct CreateParameters {
        std::string name;
        std::string displayName;
        std::uint32_t access = 0;
        std::uint32_t serviceType = 0;
        std::uint32_t startType = 0;
        std::uint32_t errorControl = 0;
        std::string binaryPath;
        std::string loadOrderGroup;
    };

    virtual ~ServiceControlManager() = default;
    // The manager of the local machine, its default database; nullptr on failure.
    virtual Handle openManager(std::uint32_t access) = 0;
    virtual Handle openService(Handle manager, const std::string& name, std::uint32_t access) = 0;
    // No tag, no dependencies, no account, no password.
    virtual Handle createService(Handle manager, const CreateParameters& parameters) = 0;
    // The service's current state (1 stopped, 2 start pending, 3 stop pending, 4 running, ...).
    virtual bool queryState(Handle service, std::uint32_t& currentState) = 0;
    // Starts with no arguments.
    virtual bool startService(Handle service) = 0;
    virtual bool controlService(Handle service, std::uint32_t control) = 0;
    virtual bool deleteService(Handle service) = 0;
    // Closes a manager or a service handle.
    virtual bool closeHandle(Handle handle) = 0;
    virtual std::uint32_t lastError() = 0;
};

// The real service manager on Windows; elsewhere one that refuses everything
// (there the platform is never of the NT family, so it is not asked).
ServiceControlManager& systemServiceControlManager();

} // namespace kestrel
