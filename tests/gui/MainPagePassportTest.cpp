// The crane passport on "Главная": the long names of the manufacturer and the owner (up to
// 64 characters) are readable on a 1366×768 screen, and whole in the tool tip.
#include "gui/pages/MainPage.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QTest>

using namespace kestrel;
using namespace kestrel::gui;

class MainPagePassportTest : public QObject {
    Q_OBJECT

private slots:
    void longNamesAreReadableAndWholeInTheToolTip()
    {
        MainPage page;
        // The room the page has in the main window on a 1366×768 laptop.
        page.resize(1362, 620);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));

        IdentificationView shown;
        shown.eOwner = "ООО \"Северо-Западная портовая стивидорная компания Балтика-Терм\"";
        shown.eProd = "ОАО \"Подъемтрансмаш\", г. Санкт-Петербург, ул. Промышленная, д. 19";
        QCOMPARE(QString::fromStdString(shown.eOwner).size(), 64);
        page.showIdentification(shown);

        auto* passport = page.findChild<QGroupBox*>(QStringLiteral("gbInfo"));
        auto* type = page.findChild<QLineEdit*>(QStringLiteral("eMarka"));
        QVERIFY(passport != nullptr && type != nullptr);
        for (const char* name : {"eOwner", "eProd"}) {
            auto* edit = page.findChild<QLineEdit*>(QString::fromLatin1(name));
            QVERIFY(edit != nullptr);
            QCOMPARE(edit->toolTip(), edit->text());
            // The field takes the whole width of the group, under its caption, not the
            // column beside the captions that the short fields share.
            QVERIFY(edit->geometry().left() < type->geometry().left());
            QCOMPARE(edit->geometry().right(), type->geometry().right());
            QVERIFY(edit->width() >= passport->contentsRect().width() - 2 * 12);
            // Most of the name is in sight at once, its beginning first.
            const int needed = edit->fontMetrics().horizontalAdvance(edit->text());
            QVERIFY2(edit->width() * 100 >= needed * 85,
                qPrintable(QStringLiteral("%1: %2 px of text in %3 px").arg(name).arg(needed).arg(edit->width())));
            QCOMPARE(edit->cursorPosition(), 0);
        }

        // An edited name is the tool tip as typed.
        auto* owner = page.findChild<QLineEdit*>(QStringLiteral("eOwner"));
        owner->setText(QStringLiteral("ИП Сидоров"));
        QCOMPARE(owner->toolTip(), QStringLiteral("ИП Сидоров"));
    }
};

QTEST_MAIN(MainPagePassportTest)
#include "MainPagePassportTest.moc"
