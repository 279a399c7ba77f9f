#include "gui/app/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kestrel::gui {

bool installRussianQtTranslations(QCoreApplication& application)
{
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    const QStringList folders = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
    for (const QString& folder : folders) {
        auto* translator = new QTranslator(&application);
        if (translator->load(russian, QStringLiteral("qtbase"), QStringLiteral("_"), folder)
            && QCoreApplication::installTranslator(translator))
            return true;
        delete translator;
    }
    return false;
}

} // namespace kestrel::gui
