#pragma once

#include "core/reports/DocumentLines.h"

#include <string>

namespace kestrel {

// DOCTYPE, head with the (escaped) full title, and the opening BODY tag.
void writeDocumentOpening(DocumentLines& lines, const std::string& fullTitle);
// The closing BODY and HTML tags.
void writeDocumentClosing(DocumentLines& lines);

} // namespace kestrel
