#pragma once

#include <QString>

namespace kestrel::gui {

// "Файл данных (*.bbd)|*.bbd" (description|pattern pairs) as a Qt dialog filter
// ("Файл данных (*.bbd)", several entries joined by ";;"). A description without
// its patterns in parentheses gets them appended.
QString qtFileFilter(const QString& pairs);

} // namespace kestrel::gui
