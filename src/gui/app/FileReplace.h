#pragma once

#include <QString>

namespace kestrel::gui {

// Moves `from` to `to`, replacing a file of that name. The old file is set aside first
// and put back when the move fails, so a failed save never costs the user the file
// that was there. False when the move failed; `from` then still exists and `reason`, when
// given, receives the system's reason.
bool moveReplacing(const QString& from, const QString& to, QString* reason = nullptr);

} // namespace kestrel::gui
