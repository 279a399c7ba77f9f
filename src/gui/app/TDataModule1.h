#pragma once

#include <QIcon>
#include <QList>
#include <QObject>

class QAction;

namespace kestrel::gui {

// The main window's actions and the image list of the cycle lists. Each action carries
// its help context as the property "helpContext" (0: none).
class TDataModule1 : public QObject {
    Q_OBJECT
public:
    explicit TDataModule1(QObject* parent = nullptr);

    QAction* GetFromCopyr = nullptr; // "Загрузить"
    QAction* GetFromFile = nullptr;  // "Открыть"
    QAction* SaveData = nullptr;     // "Сохранить"
    QAction* OpenPrev = nullptr;     // "Начало"
    QAction* PkrSave = nullptr;      // "Записать в ПСИ"
    QAction* Help = nullptr;         // "Справка"
    QAction* ShutDown = nullptr;     // "Выход"

    // ImageState: 0 has detail, 1 stop, 2 service mode.
    QList<QIcon> ImageState;

    QList<QAction*> actions() const;
};

} // namespace kestrel::gui
