#pragma once

#include "core/text/DisplayLocale.h"

#include <QLocale>
#include <QString>

#include <string>

namespace kestrel::gui {

// The one place where the desktop program turns the user's locale into the core's
// DisplayLocale: the decimal point and the short date format.
DisplayLocale displayLocaleFrom(const QLocale& locale);
DisplayLocale systemDisplayLocale();

// A Qt date format reduced to the d, dd, M, MM, yy, yyyy letters and literal separators
// the core understands; month names become MM, day names are dropped. A format without
// day, month and year gives "dd.MM.yyyy".
std::string shortDatePattern(const QString& qtFormat);

} // namespace kestrel::gui
