#pragma once

#include "core/device/port/ServiceControlManager.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kestrel::test {

// A service manager holding the one driver service. Any step can be refused with any
// error code (optionally only for one access mask); every call is recorded.
class FakeServiceControlManager : public ServiceControlManager {
public:
    static constexpr std::uint32_t kDoesNotExist = 1060;
    static constexpr std::uint32_t kAlreadyRunning = 1056;
    static constexpr std::uint32_t kNotActive = 1062;
    static constexpr std::uint32_t kExists = 1073;

    bool installed = false;
    std::uint32_t state = 1; // stopped
    std::optional<CreateParameters> created;
    // "Step access" for every call but CloseServiceHandle, e.g. "OpenService 0x24".
    std::vector<std::string> trace;

    void refuse(std::string step, std::uint32_t error, std::optional<std::uint32_t> access = std::nullopt)
    {
        refusals_.push_back({std::move(step), error, access});
    }
    void clearRefusals() { refusals_.clear(); }
    std::size_t openHandles() const { return open_.size(); }
    std::size_t count(const std::string& step) const
    {
        return static_cast<std::size_t>(std::count_if(trace.begin(), trace.end(),
            [&](const std::string& t) { return t.compare(0, step.size() + 1, step + " ") == 0 || t == step; }));
    }

    Handle openManager(std::uint32_t access) override
    {
        if (refused("OpenSCManager", access))
            return nullptr;
        return newHandle();
    }
    Handle openService(Handle manager, const std::string& name, std::uint32_t access) override
    {
        if (refused("OpenService", access) || !isOpen(manager))
            return nullptr;
        if (!installed || name != "DLPortIO")
            return fail(kDoesNotExist);
        return newHandle();
    }
    Handle createService(Handle manager, const CreateParameters& parameters) override
    {
        if (refused("CreateService", parameters.access) || !isOpen(manager))
            return nullptr;
        if (installed)
            return fail(kExists);
        installed = true;
        state = 1;
        created = parameters;
        return newHandle();
    }
    bool queryState(Handle service, std::uint32_t& currentState) override
    {
        if (refused("QueryServiceStatus") || !isOpen(service))
            return false;
        currentState = state;
        return true;
    }
    bool startService(Handle service) override
    {
        if (refused("StartService") || !isOpen(service))
            return false;
        if (state != 1)
            return failed(kAlreadyRunning);
        state = 4;
        return true;
    }
    bool controlService(Handle service, std::uint32_t control) override
    {
        if (refused("ControlService", control) || !isOpen(service))
            return false;
        if (control != 1 || state != 4)
            return failed(kNotActive);
        state = 1;
        return true;
    }
    bool deleteService(Handle service) override
    {
        if (refused("DeleteService") || !isOpen(service))
            return false;
        installed = false;
        return true;
    }
    bool closeHandle(Handle handle) override
    {
        if (open_.erase(handle) == 0) {
            lastError_ = 6; // invalid handle
            return false;
        }
        return true;
    }
    std::uint32_t lastError() override { return lastError_; }

private:
    struct Refusal {
        std::string step;
        std::uint32_t error;
        std::optional<std::uint32_t> access;
    };

    bool refused(const std::string& step, std::optional<std::uint32_t> access = std::nullopt)
    {
        std::string entry = step;
        if (access) {
            char hex[16];
            std::snprintf(hex, sizeof hex, " 0x%X", *access);
            entry += hex;
        }
        trace.push_back(entry);
        for (const auto& r : refusals_) {
            if (r.step == step && (!r.access || r.access == access)) {
                lastError_ = r.error;
                return true;
            }
        }
        return false;
    }
    bool isOpen(Handle handle)
    {
        if (open_.count(handle) != 0)
            return true;
        lastError_ = 6;
        return false;
    }
    std::nullptr_t fail(std::uint32_t error)
    {
        lastError_ = error;
        return nullptr;
    }
    bool failed(std::uint32_t error)
    {
        lastError_ = error;
        return false;
    }
    Handle newHandle()
    {
        Handle handle = &slots_[next_++ % slots_.size()];
        open_.insert(handle);
        return handle;
    }

    std::vector<Refusal> refusals_;
    std::array<char, 256> slots_{};
    std::size_t next_ = 0;
    std::set<Handle> open_;
    std::uint32_t lastError_ = 0;
};

} // namespace kestrel::test
