// The zero day on the main page: an empty field, never "30.12.1899", and given back as it came.
#include "core/text/NumberFormat.h"
#include "gui/pages/MainPage.h"

#include <QApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QTest>

using namespace kestrel;
using namespace kestrel::gui;

class MainPageDatesTest : public QObject {
    Q_OBJECT

private slots:
    void zeroDayShowsEmptyAndRoundTrips()
    {
        MainPage page;
        page.setDisplayLocale(DisplayLocale::russian());
        auto* setup = page.findChild<QDateEdit*>(QStringLiteral("eRegSetup"));
        auto* start = page.findChild<QLineEdit*>(QStringLiteral("eStartDateCheck"));
        QVERIFY(setup != nullptr && start != nullptr);

        // Before anything is loaded.
        QVERIFY(setup->text().trimmed().isEmpty());

        IdentificationView shown;
        shown.eRegSetup = 45000.0;
        shown.eStartDateCheck = "15.03.2023";
        page.showIdentification(shown);
        QCOMPARE(setup->text(), QStringLiteral("15.03.2023"));
        QCOMPARE(start->text(), QStringLiteral("15.03.2023"));

        // A broken file after a good one: the earlier dates must not linger either.
        shown.eRegSetup = 0.0;
        shown.eStartDateCheck = formatShortDate(0.0, DisplayLocale::russian());
        page.showIdentification(shown);
        QVERIFY(setup->text().trimmed().isEmpty());
        QVERIFY(start->text().isEmpty());

        IdentificationView read;
        StatisticsView statistics;
        page.readInto(read, statistics);
        QCOMPARE(read.eRegSetup, 0.0);
        QCOMPARE(read.eStartDateCheck, shown.eStartDateCheck);

        // A date picked from the empty field is taken as picked.
        setup->setDate(QDate(2024, 1, 2));
        page.readInto(read, statistics);
        QCOMPARE(read.eRegSetup, static_cast<DateTime>(QDate(1899, 12, 30).daysTo(QDate(2024, 1, 2))));
    }
};

QTEST_MAIN(MainPageDatesTest)
#include "MainPageDatesTest.moc"
