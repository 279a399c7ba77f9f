// "История": every loaded reading kept once in the archive, the periods between them,
// opening a kept reading, "Начало" from the archive, the design classes, a foreign file.
#include "core/demo/DemoHistory.h"
#include "core/demo/DemoImage.h"
#include "core/image/ImageLayout.h"
#include "core/image/TimeStamp.h"
#include "core/life/LifeAssessment.h"
#include "core/reports/ReportDispatch.h"
#include "core/text/Cp1251.h"
#include "gui/app/HelpTopics.h"
#include "gui/app/HistoryController.h"
#include "gui/pages/HistoryPage.h"
#include "support/ArchiveDamage.h"
#include "support/GuiTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <qcustomplot.h>

#include <fstream>

using namespace kestrel;
using namespace kestrel::gui;
using namespace kestrel::gui::test;

namespace {

// The demo reading of `seed` a year earlier: an earlier reading of the same recorder.
MemoryImage yearEarlier(std::uint32_t seed) { return makeDemoHistory(seed, 2).front(); }

QTreeWidget* list(const WindowHarness& h, const char* name) { return requireChild<QTreeWidget>(*h.window, name); }

// The row of the design working period table with this caption.
QTreeWidgetItem* lifeRow(const WindowHarness& h, const char* caption)
{
    const auto found = list(h, "lvLife")->findItems(QString::fromUtf8(caption), Qt::MatchExactly, 0);
    if (found.size() != 1)
        qFatal("no row %s", caption);
    return found.front();
}

QString archiveStatus(const WindowHarness& h) { return requireChild<QLabel>(*h.window, "StatusArchive")->text(); }

} // namespace

class HistoryPageTest : public QObject {
    Q_OBJECT

private slots:
    void readingsArePeriodsAndTheChartFollows()
    {
        WindowHarness h;
        const QString earlier = h.writeImage(yearEarlier(4), QStringLiteral("earlier.bbd"));
        const QString later = h.writeDemo(4, QStringLiteral("later.bbd"));
        QCOMPARE(archiveStatus(h), QString());
        QCOMPARE(list(h, "lvReadings")->topLevelItemCount(), 0);

        h.open(earlier);
        QCOMPARE(archiveStatus(h), QString::fromUtf8(kStoredInArchiveText));
        h.open(later);
        h.open(later); // the same bytes again: still two readings
        QTreeWidget* readings = list(h, "lvReadings");
        QCOMPARE(readings->topLevelItemCount(), 2);
        // Newest first, with the cycles the main page shows.
        QCOMPARE(readings->topLevelItem(0)->text(1), h.edit("eNcicl")->text());
        QVERIFY(readings->topLevelItem(0)->text(0).mid(6, 4) > readings->topLevelItem(1)->text(0).mid(6, 4));
        QCOMPARE(readings->topLevelItem(0)->text(8), QStringLiteral("верна"));
        QCOMPARE(list(h, "lvPeriods")->topLevelItemCount(), 1);
        QVERIFY(list(h, "lvPeriods")->topLevelItem(0)->text(1).toInt() > 0);
        QVERIFY(list(h, "lvLife")->topLevelItemCount() > 5);
        auto* chart = requireChild<QCustomPlot>(*h.window, "ChartHistory");
        QVERIFY(chart->plottable(0)->interface1D()->dataCount() > 0);
        QVERIFY(h.window->history().assessment() != nullptr);

        // A double-click opens the earlier reading as "Открыть" would.
        const QString laterDate = h.edit("eDateCheck")->text();
        emit readings->itemActivated(readings->topLevelItem(1), 0);
        QVERIFY(h.edit("eDateCheck")->text() != laterDate);
        QVERIFY(h.window->statusText(0).contains(QStringLiteral("из архива")));
        QCOMPARE(list(h, "lvReadings")->topLevelItemCount(), 2); // opening stores nothing new
    }

    void startOfPeriodOffersTheArchivedReadingFirst()
    {
        WindowHarness h;
        const QString earlier = h.writeImage(yearEarlier(9), QStringLiteral("earlier.bbd"));
        const QString later = h.writeDemo(9, QStringLiteral("later.bbd"));
        h.open(earlier);
        h.open(later);

        // "Нет": the file dialog as before (cancelled here).
        h.dialogs.clear();
        h.dialogs.questionAnswers.push_back(false);
        h.window->OpenPrevExecute();
        QCOMPARE(h.dialogs.kinds(), QStringList({"question", "open"}));
        QVERIFY(h.dialogs.calls[0].text.contains(QStringLiteral("Принять его за начало отчетного периода?")));

        // "Да": the period from the archived reading, as with its file.
        h.dialogs.clear();
        h.dialogs.questionAnswers.push_back(true);
        h.window->OpenPrevExecute();
        QCOMPARE(h.dialogs.kinds(), QStringList({"question"}));
        const QJsonObject expected = cliShow(later, {QStringLiteral("--previous"), earlier});
        QCOMPARE(h.edit("eNcicl")->text(), expected["statistics"].toObject()["eNcicl"].toString());
        QVERIFY(!h.buttonEnabled("tbStartReport"));
    }

    // A bit flipped in the archive file: the reading is listed as damaged, used in no
    // figure, opened by nobody, skipped for "Начало"; loading its file again mends it.
    void aDamagedReadingIsMarkedAndNeverUsed()
    {
        WindowHarness h;
        const auto years = makeDemoHistory(5, 3); // oldest first
        const QString oldest = h.writeImage(years[0], QStringLiteral("oldest.bbd"));
        const QString middle = h.writeImage(years[1], QStringLiteral("middle.bbd"));
        const QString newest = h.writeImage(years[2], QStringLiteral("newest.bbd"));
        for (const QString& file : {oldest, middle, newest})
            h.open(file);
        const auto stored = h.window->history().link().archive()->readings();
        QCOMPARE(stored.size(), std::size_t{3});
        const std::int64_t damagedId = stored[1].id;
        kestrel::test::flipStoredBit(h.window->history().link().path(), damagedId);
        h.open(newest); // the same bytes again: the history is read anew

        QTreeWidget* readings = list(h, "lvReadings");
        QCOMPARE(readings->topLevelItemCount(), 3);
        QTreeWidgetItem* row = readings->topLevelItem(1); // in its place by date
        QCOMPARE(row->text(8), QString::fromUtf8(kDamagedChecksumText));
        QCOMPARE(row->text(0), QString::fromStdString(stored[1].readingText));
        QCOMPARE(row->text(1), QStringLiteral("—"));
        QVERIFY(row->toolTip(0).contains(QStringLiteral("Считывание №%1 (").arg(damagedId)));
        QCOMPARE(readings->topLevelItem(0)->text(8), QStringLiteral("верна"));
        QCOMPARE(readings->topLevelItem(2)->text(8), QStringLiteral("верна"));
        // The period runs from the oldest reading to the newest, over the damaged one.
        QCOMPARE(list(h, "lvPeriods")->topLevelItemCount(), 1);
        QVERIFY(list(h, "lvPeriods")->topLevelItem(0)->text(0).startsWith(readings->topLevelItem(2)->text(0).left(10)));
        QVERIFY(requireChild<QLabel>(*h.window, "lHistoryNote")
                    ->text()
                    .contains(QStringLiteral("Поврежденных считываний в архиве: 1.")));

        // Chosen: said, and nothing is opened.
        const QString shownDate = h.edit("eDateCheck")->text();
        h.dialogs.clear();
        emit readings->itemActivated(row, 0);
        QCOMPARE(h.dialogs.kinds(), QStringList({"message"}));
        QVERIFY(h.dialogs.calls[0].text.contains(QStringLiteral("повреждено")));
        QCOMPARE(h.edit("eDateCheck")->text(), shownDate);

        // "Начало": the damaged reading is said and passed over for the one before it.
        h.dialogs.clear();
        h.dialogs.questionAnswers.push_back(false);
        h.window->OpenPrevExecute();
        QCOMPARE(h.dialogs.kinds(), QStringList({"message", "question", "open"}));
        QVERIFY(h.dialogs.calls[0].text.contains(QStringLiteral("Считывание №%1 (").arg(damagedId)));
        QVERIFY(h.dialogs.calls[1].text.contains(QString::fromStdString(stored[0].readingText)));

        // The file loaded again: its bytes put right, the history whole.
        h.open(middle);
        h.open(newest);
        QCOMPARE(readings->topLevelItemCount(), 3);
        QCOMPARE(readings->topLevelItem(1)->text(8), QStringLiteral("верна"));
        QCOMPARE(list(h, "lvPeriods")->topLevelItemCount(), 2);
    }

    void designClassesAreCheckedAndKept()
    {
        WindowHarness h;
        h.open(h.writeDemo(2));
        auto* winch1 = requireChild<QLineEdit>(*h.window, "eWinch1Group");
        auto* save = requireChild<QPushButton>(*h.window, "bbSaveDesign");

        h.dialogs.clear();
        winch1->setText(QStringLiteral("Z9"));
        save->click();
        QCOMPARE(h.dialogs.kinds(), QStringList({"message"}));

        h.dialogs.clear();
        winch1->setText(QStringLiteral("М5")); // Cyrillic М
        save->click();
        QCOMPARE(h.dialogs.kinds(), QStringList());
        const LifeAssessment* life = h.window->history().assessment();
        QVERIFY(life != nullptr && life->winch1.has_value());
        QCOMPARE(life->winch1->designDuty.value_or(0.0), 125000.0);

        // Kept in the archive: the next load of the crane knows it.
        h.open(h.writeDemo(2, QStringLiteral("again.bbd")));
        QCOMPARE(winch1->text(), QStringLiteral("М5"));
    }

    void aTypedGroupOverridesThePassportOnThePageAndInTheDocument()
    {
        WindowHarness h;
        MemoryImage image = makeDemoImage(6);
        image[layout::kServiceLife] = 5; // long past for every demo crane
        fixChecksum(image);
        h.open(h.writeImage(image, QStringLiteral("old.bbd")));
        auto* group = requireChild<QLineEdit>(*h.window, "eDesignGroup");
        auto* classes = requireChild<QLineEdit>(*h.window, "eDesignClasses");
        auto* save = requireChild<QPushButton>(*h.window, "bbSaveDesign");
        auto* verdict = requireChild<QLabel>(*h.window, "lLifeVerdict");
        const QString passport = h.edit("eGroup")->text().trimmed();
        // Empty: the passport's group is used, and shown as the field's hint.
        QVERIFY(!group->isReadOnly());
        QCOMPARE(group->text(), QString());
        QCOMPARE(group->placeholderText(), passport);
        QCOMPARE(lifeRow(h, "Источник расчетной группы")->text(1), QStringLiteral("паспорт крана"));
        // The passport's service life is past: the examination leads the verdict.
        QVERIFY(verdict->text().startsWith(QStringLiteral("Кран отработал нормативный срок службы")));
        QVERIFY(verdict->text().contains(QStringLiteral("требуется экспертиза промышленной безопасности")));
        QVERIFY(requireChild<QLabel>(*h.window, "lNormativeLife")
                    ->text()
                    .startsWith(QStringLiteral("Нормативный срок службы: 5 лет с ")));

        QTest::keyClicks(group, QStringLiteral("a3"));
        save->click();
        QCOMPARE(h.dialogs.callsOf("message").size(), std::size_t{0});
        const LifeAssessment* life = h.window->history().assessment();
        QVERIFY(life != nullptr);
        QCOMPARE(QString::fromStdString(life->crane.group), QStringLiteral("A3"));
        QVERIFY(life->groupSource == GroupSource::User);
        QCOMPARE(lifeRow(h, "Расчетная группа (классы)")->text(1), QStringLiteral("A3"));
        QCOMPARE(lifeRow(h, "Источник расчетной группы")->text(1), QStringLiteral("пользователь"));
        QCOMPARE(lifeRow(h, "Расчетная наработка D, циклов полной нагрузки")->text(1), QStringLiteral("32000"));
        QVERIFY(verdict->text().contains(QStringLiteral("Кран: ")));

        // The sixth document says the same, and names the reading it assesses.
        h.window->makeReport(kLifeReportTag, ReportMode::Preview);
        const QString html = QString::fromStdString(cp1251ToUtf8(fileBytes(h.path(QStringLiteral("$temp$.html"))).toStdString()));
        QVERIFY(html.contains(QStringLiteral("Расчетная группа (классы) крана A3 указана пользователем")));
        QVERIFY(html.contains(QStringLiteral("Оценка выполнена по считыванию РП ")));
        QVERIFY(html.contains(h.edit("eRegNum")->text().toHtmlEscaped()));
        QVERIFY(html.contains(QStringLiteral("требуется экспертиза промышленной безопасности")));

        // Classes that disagree with the group are refused in words, and nothing changes.
        classes->setText(QStringLiteral("U5 Q3"));
        save->click();
        QCOMPARE(h.dialogs.callsOf("message").size(), std::size_t{1});
        QVERIFY(h.dialogs.callsOf("message")[0].text.contains(QStringLiteral("не соответствует классам U5 Q3")));
        QCOMPARE(QString::fromStdString(h.window->history().assessment()->crane.group), QStringLiteral("A3"));
        // Classes alone are used (and kept for the next load of the crane).
        group->clear();
        save->click();
        QCOMPARE(QString::fromStdString(h.window->history().assessment()->crane.group), QStringLiteral("U5 Q3"));
        h.open(h.writeImage(image, QStringLiteral("again.bbd")));
        QCOMPARE(classes->text(), QStringLiteral("U5 Q3"));
        QCOMPARE(lifeRow(h, "Расчетная группа (классы)")->text(1), QStringLiteral("U5 Q3"));
    }

    void f1OnTheHistoryPageOpensItsTopics()
    {
        WindowHarness h;
        h.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        h.window->activateWindow();
        auto* tabs = requireChild<QTabWidget>(*h.window, "PageControl1");
        QWidget* page = requireChild<QWidget>(*h.window, "tsHistory");
        tabs->setCurrentWidget(page);
        QCOMPARE(page->property(kHelpContextProperty).toInt(), kHelpHistory);
        const auto f1On = [&](QWidget* widget) {
            widget->setFocus();
            QApplication::processEvents();
            h.dialogs.clear();
            QTest::keyClick(widget, Qt::Key_F1);
            return h.dialogs.calls.empty() ? -1 : h.dialogs.calls.back().context;
        };
        QCOMPARE(f1On(list(h, "lvReadings")), kHelpArchive);
        QCOMPARE(f1On(requireChild<QLineEdit>(*h.window, "eDesignGroup")), kHelpDesignLife);
        QCOMPARE(f1On(list(h, "lvLife")), kHelpDesignLife);
        QCOMPARE(f1On(requireChild<QCustomPlot>(*h.window, "ChartHistory")), kHelpHistory);
        // Every topic the page names is there to open.
        for (int context : {kHelpHistory, kHelpArchive, kHelpDesignLife, kHelpLifeVerdicts})
            QVERIFY(helpTopicFile(QFileInfo(QStringLiteral(KESTREL_GUI_PATH)).dir().filePath(QStringLiteral("help")),
                context)
                        .endsWith(QStringLiteral("context-%1.html").arg(context)));
    }

    void aFileThatIsNotAnArchiveIsNeitherUsedNorChanged()
    {
        QTemporaryDir work;
        const QString notes = work.filePath(QStringLiteral("notes.txt"));
        { std::ofstream(notes.toStdString()) << "заметки инженера"; }
        WindowHarness h;
        h.window.reset();
        TfMain::Options options;
        options.dialogs = &h.dialogs;
        options.clock = &h.clock;
        options.workFolder = h.work.path();
        options.locale = DisplayLocale::russian();
        options.archivePath = notes;
        h.window = std::make_unique<TfMain>(options);

        const QString file = h.writeDemo(3);
        h.open(file);
        h.open(file);
        QCOMPARE(h.dialogs.kinds(), QStringList({"open", "message", "open"})); // said once
        QVERIFY(h.dialogs.calls[1].text.contains(QStringLiteral("не является архивом Kestrel")));
        QCOMPARE(archiveStatus(h), QString::fromUtf8(kNotStoredInArchiveText));
        QCOMPARE(fileBytes(notes), QByteArray("заметки инженера"));
        // The history still shows the reading at hand, and says why there is no more.
        QCOMPARE(list(h, "lvReadings")->topLevelItemCount(), 1);
        QVERIFY(requireChild<QLabel>(*h.window, "lHistoryNote")->text().contains(QStringLiteral("не является архивом")));
        // A group typed without an archive to keep it is still used, and the page says so.
        requireChild<QLineEdit>(*h.window, "eDesignGroup")->setText(QStringLiteral("A3"));
        requireChild<QPushButton>(*h.window, "bbSaveDesign")->click();
        QCOMPARE(QString::fromStdString(h.window->history().assessment()->crane.group), QStringLiteral("A3"));
        QVERIFY(requireChild<QLabel>(*h.window, "lHistoryNote")->text().contains(QStringLiteral("не сохранены в архив")));
        QCOMPARE(fileBytes(notes), QByteArray("заметки инженера"));
    }
};

QTEST_MAIN(HistoryPageTest)
#include "HistoryPageTest.moc"
