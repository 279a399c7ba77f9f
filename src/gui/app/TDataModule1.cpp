#include "gui/app/TDataModule1.h"

#include "gui/app/HelpTopics.h"
#include "gui/widgets/StateImages.h"

#include <QAction>
#include <QApplication>
#include <QStyle>

namespace kestrel::gui {

namespace {

QAction* makeAction(QObject* owner, const char* name, const char* caption, const char* hint, int helpContext,
    QStyle::StandardPixmap picture)
{
    auto* action = new QAction(QApplication::style()->standardIcon(picture), QString::fromUtf8(caption), owner);
    action->setObjectName(QString::fromLatin1(name));
    action->setToolTip(QString::fromUtf8(hint));
    action->setProperty(kHelpContextProperty, helpContext);
    return action;
}

} // namespace

TDataModule1::TDataModule1(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("DataModule1"));
    GetFromCopyr = makeAction(this, "GetFromCopyr", "Загрузить", "Загрузить данные из ПСИ", 2, QStyle::SP_ArrowDown);
    GetFromFile = makeAction(
        this, "GetFromFile", "Открыть", "Открыть файл данных регистратора", 3, QStyle::SP_DialogOpenButton);
    SaveData = makeAction(
        this, "SaveData", "Сохранить", "Сохранить файл данных регистратора", 5, QStyle::SP_DialogSaveButton);
    OpenPrev = makeAction(
        this, "OpenPrev", "Начало", "Выбор файла данных начала отчетного периода", 0, QStyle::SP_MediaSkipBackward);
    PkrSave = makeAction(this, "PkrSave", "Записать в ПСИ", "Записать данные в Прибор считывания информации", 12,
        QStyle::SP_ArrowUp);
    Help = makeAction(this, "Help", "Справка", "Вызов файла справки", kHelpContents, QStyle::SP_DialogHelpButton);
    ShutDown = makeAction(this, "ShutDown", "Выход", "Прекращение работы программы", 0, QStyle::SP_DialogCloseButton);
    ImageState = makeStateImages();
}

QList<QAction*> TDataModule1::actions() const
{
    return {GetFromCopyr, GetFromFile, SaveData, OpenPrev, PkrSave, Help, ShutDown};
}

} // namespace kestrel::gui
