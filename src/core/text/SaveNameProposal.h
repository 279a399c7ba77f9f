#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// A title turned into the file name a save dialog proposes: "." becomes "_" and ":" is
// dropped, as the proposals always did, and every character that a file name cannot
// hold on Windows or Linux (/ \ * ? " < > | and control characters) becomes "_" (every
// recorder number has a "/").
std::string saveNameProposal(std::string_view title);

// The proposal for saving a data file: "Данные от " + reading date and time + "  РП №" +
// recorder number, made savable as above.
std::string dataFileNameProposal(const std::string& readingDate, const std::string& recorderNumber);

} // namespace kestrel
