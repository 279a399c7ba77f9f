#pragma once

#include <optional>
#include <string>

namespace kestrel {

// Who performs a write-back: the operator's name (at most 32 characters) and the
// access code, both as typed (UTF-8).
struct OperatorCredentials {
    std::string operatorName;
    std::string accessCode;
};

// The operator identification window as the write-back sees it: asked at the start of
// every write-back; nullopt when it was not confirmed (cancel, Esc, closed).
class OperatorIdentification {
public:
    virtual ~OperatorIdentification() = default;
    // `recorderNumber` is the current text of eRegNum, from which the default access
    // code is built.
    virtual std::optional<OperatorCredentials> identify(const std::string& recorderNumber) = 0;
};

} // namespace kestrel
