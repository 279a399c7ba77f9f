#pragma once

#include <cstddef>
#include <string>

namespace kestrel {

// Input limits of the identification window: they restrain typing only.
inline constexpr std::size_t kOperatorNameLimit = 32;
inline constexpr std::size_t kAccessCodeLimit = 8;

// Put on both sides of the recorder serial number in the default access code.
inline constexpr char kAccessCodeMarker = '#';

// The access code offered when the window opens: marker, serial number, marker.
// Never cut to kAccessCodeLimit (a 16-character number gives 18 characters).
std::string defaultAccessCode(const std::string& recorderNumber);

// OK may be pressed exactly when both texts are non-empty. The window asks this only
// when the operator name changes, so clearing the code alone leaves OK as it was.
bool identificationConfirmable(const std::string& operatorName, const std::string& accessCode);

} // namespace kestrel
