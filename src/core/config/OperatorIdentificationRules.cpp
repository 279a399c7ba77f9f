#include "core/config/OperatorIdentificationRules.h"

namespace kestrel {

std::string defaultAccessCode(const std::string& recorderNumber)
{
    return kAccessCodeMarker + recorderNumber + kAccessCodeMarker;
}

bool identificationConfirmable(const std::string& operatorName, const std::string& accessCode)
{
    return !operatorName.empty() && !accessCode.empty();
}

} // namespace kestrel
