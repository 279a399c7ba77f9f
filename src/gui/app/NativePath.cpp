#include "gui/app/NativePath.h"

#include <QDir>
#include <QFile>

namespace kestrel::gui {

std::string nativePath(const QString& path)
{
#if defined(_WIN32)
    return QDir::toNativeSeparators(path).toLocal8Bit().toStdString();
#else
    return QFile::encodeName(path).toStdString();
#endif
}

} // namespace kestrel::gui
