#pragma once

#include "core/config/OperatorIdentification.h"

#include <string>

namespace kestrel::cli {

// The identification window answered from --operator and --code. Its OK button needs
// a name (the access code field starts filled), so an empty name is not confirmed.
class CliOperatorIdentification : public OperatorIdentification {
public:
    CliOperatorIdentification(std::string operatorName, std::string accessCode)
        : credentials_{std::move(operatorName), std::move(accessCode)}
    {
    }

    bool confirmable() const { return !credentials_.operatorName.empty(); }

    std::optional<OperatorCredentials> identify(const std::string&) override
    {
        if (!confirmable())
            return std::nullopt;
        return credentials_;
    }

private:
    OperatorCredentials credentials_;
};

} // namespace kestrel::cli
