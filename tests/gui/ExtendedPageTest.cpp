#include "gui/pages/ExtendedPage.h"

#include "core/demo/DemoImage.h"
#include "core/device/reader/ReaderDeviceTransfer.h"
#include "core/image/DataFile.h"
#include "core/text/PlatformInteger.h"
#include "core/ui/ScriptedUserInterface.h"
#include "gui/support/GuiTestSupport.h"
#include "gui/widgets/MemoryDumpModel.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <array>

using namespace kestrel;
using namespace kestrel::gui;
using namespace kestrel::gui::test;

namespace {

QString text(const MemoryDumpModel& model, int row, int column)
{
    return model.data(model.index(row, column)).toString();
}

// The bytes "Прочитать" shows for the area the fields hold now.
QStringList readBack(WindowHarness& h)
{
    h.window->extendedPage().findChild<QPushButton*>(QStringLiteral("bbGetRAM"))->click();
    const MemoryDumpModel& model = h.window->extendedPage().model();
    QStringList bytes;
    for (int row = 0; row < model.rowCount(); ++row)
        for (int column = 1; column < model.columnCount(); ++column)
            if (const QString cell = text(model, row, column); !cell.isEmpty())
                bytes << cell;
    return bytes;
}

} // namespace

class ExtendedPageTest : public QObject {
    Q_OBJECT

private slots:
    void showsThreeBytesInTheirLine()
    {
        ExtendedPage page;
        const std::array<std::uint8_t, 3> bytes = {0xAB, 0x01, 0xFF};
        page.showMemoryDump(0x0005, bytes);

        const MemoryDumpModel& model = page.model();
        QCOMPARE(model.table().rowCount(), 2);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.columnCount(), 17);
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("00"));
        QCOMPARE(model.headerData(16, Qt::Horizontal).toString(), QStringLiteral("0F"));
        QCOMPARE(text(model, 0, 0), QStringLiteral("0000"));
        for (int column = 1; column <= 16; ++column) {
            const QString expected = column == 6 ? QStringLiteral("AB")
                : column == 7                    ? QStringLiteral("01")
                : column == 8                    ? QStringLiteral("FF")
                                                 : QString();
            QCOMPARE(text(model, 0, column), expected);
        }

        const auto* table = page.findChild<QTableView*>(QStringLiteral("sgRAM"));
        QVERIFY(table != nullptr);
        QCOMPARE(table->model(), &model);
        QCOMPARE(table->columnWidth(0), 60);
        QCOMPARE(table->columnWidth(1), 24);
        QCOMPARE(table->columnWidth(16), 24);
        QCOMPARE(table->rowHeight(0), 20);
        QVERIFY(table->showGrid());
        QCOMPARE(table->editTriggers(), QAbstractItemView::NoEditTriggers);
    }

    void showsTheWholeImageAtOnce()
    {
        ExtendedPage page;
        const MemoryImage image = makeDemoImage(11);
        page.showMemoryDump(0, image);

        const MemoryDumpModel& model = page.model();
        QCOMPARE(model.table().rowCount(), 2049); // the header row and 2 048 lines
        QCOMPARE(model.rowCount(), 2048);
        QCOMPARE(text(model, 2047, 0), QStringLiteral("7FF0"));
        for (std::size_t offset : {std::size_t{0}, std::size_t{0x1FF}, std::size_t{0x6A0}, std::size_t{0x7FFF}}) {
            const int row = static_cast<int>(offset / 16);
            const int column = static_cast<int>(offset % 16) + 1;
            QCOMPARE(text(model, row, column).toStdString(), hexText(image[offset], 2));
        }
        const auto* table = page.findChild<QTableView*>(QStringLiteral("sgRAM"));
        QCOMPARE(table->columnWidth(0), 60); // kept across the reset
        QCOMPARE(table->rowHeight(2047), 20);
    }

    void areaFieldsRoundTrip()
    {
        ExtendedPage page;
        QCOMPARE(page.areaFields().eeStart, std::string("0x0000"));
        QCOMPARE(page.areaFields().eeSize, std::string("0x8000"));

        page.findChild<QLineEdit*>(QStringLiteral("eeStart"))->setText(QStringLiteral("$7FF0"));
        page.findChild<QLineEdit*>(QStringLiteral("eeSize"))->setText(QStringLiteral("256"));
        AreaFields fields = page.areaFields();
        ScriptedUserInterface ui;
        const auto range = readAreaRange(fields, ui);
        QVERIFY(range.has_value());
        QCOMPARE(range->size, std::uint16_t{0x10});
        page.setAreaFields(fields);
        QCOMPARE(page.findChild<QLineEdit*>(QStringLiteral("eeStart"))->text(), QStringLiteral("0x7FF0"));
        QCOMPARE(page.findChild<QLineEdit*>(QStringLiteral("eeSize"))->text(), QStringLiteral("0x0010"));
        QCOMPARE(page.areaFields().eeSize, std::string("0x0010"));
    }

    void eraseRefusesSlipsAndAsksFirst()
    {
        QTemporaryDir dir;
        const MemoryImage memory = makeDemoImage(12);
        const QString file = dir.filePath(QStringLiteral("device.bbd"));
        saveImage(QFile::encodeName(file).toStdString(), memory);
        qputenv("KESTREL_PORTIO", (QStringLiteral("sim:") + file).toLocal8Bit());
        WindowHarness h(true);
        QLineEdit* start = h.window->extendedPage().findChild<QLineEdit*>(QStringLiteral("eeStart"));
        QLineEdit* size = h.window->extendedPage().findChild<QLineEdit*>(QStringLiteral("eeSize"));
        QPushButton* erase = h.window->extendedPage().findChild<QPushButton*>(QStringLiteral("bbErase"));

        // Once the whole memory was erased without a word.
        start->setText(QStringLiteral("abc"));
        size->setText(QStringLiteral("xyz"));
        erase->click();
        QCOMPARE(h.dialogs.kinds(), QStringList({"message"}));
        QCOMPARE(h.dialogs.calls[0].text,
            QStringLiteral("Адрес области задан неверно: «abc»\nРазмер области задан неверно: «xyz»"));
        QCOMPARE(start->text(), QStringLiteral("abc")); // as typed, to be mended
        QCOMPARE(h.window->statusText(0), QString()); // no search

        // No: nothing written.
        h.dialogs.clear();
        start->setText(QStringLiteral("0x100"));
        size->setText(QStringLiteral("4"));
        h.dialogs.questionAnswers.push_back(false);
        erase->click();
        QCOMPARE(h.dialogs.kinds(), QStringList({"question"}));
        QCOMPARE(h.dialogs.calls[0].text, QStringLiteral("Стереть область 0x0100–0x0103 (4 байта) в ПСИ?"));
        QStringList original;
        for (std::size_t i = 0x100; i < 0x104; ++i)
            original << QString::fromStdString(hexText(memory[i], 2));
        QCOMPARE(readBack(h), original);

        // Yes: zeros over the area.
        h.dialogs.clear();
        h.dialogs.questionAnswers.push_back(true);
        erase->click();
        QCOMPARE(h.dialogs.kinds(), QStringList({"question"})); // no failure after it
        QCOMPARE(h.window->statusText(0), QStringLiteral("Данные записаны на ПСИ"));
        QCOMPARE(readBack(h), QStringList(4, QStringLiteral("00")));
    }

    void fieldsNormalisedBeforeAndTableClearedAfterAnErase()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("device.bbd"));
        saveImage(QFile::encodeName(file).toStdString(), makeDemoImage(12));
        qputenv("KESTREL_PORTIO", (QStringLiteral("sim:") + file).toLocal8Bit());
        WindowHarness h(true);
        ExtendedPage& page = h.window->extendedPage();
        const MemoryDumpModel& model = page.model();
        QLineEdit* start = page.findChild<QLineEdit*>(QStringLiteral("eeStart"));
        QLineEdit* size = page.findChild<QLineEdit*>(QStringLiteral("eeSize"));

        // Nothing read yet: no offset captions over an empty table.
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString());
        start->setText(QStringLiteral("$200"));
        size->setText(QStringLiteral("16"));
        QVERIFY(!readBack(h).isEmpty());
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("00"));

        // While the question is open the fields already name the area to be erased.
        start->setText(QStringLiteral("512"));
        size->setText(QStringLiteral("$10"));
        QStringList shownWhileAsking;
        h.dialogs.whileAsking = [&] { shownWhileAsking << start->text() << size->text(); };
        h.dialogs.questionAnswers.push_back(true);
        page.findChild<QPushButton*>(QStringLiteral("bbErase"))->click();
        QCOMPARE(shownWhileAsking, QStringList({"0x0200", "0x0010"}));
        // The old reading is gone rather than shown as if the device still held it.
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString());
        QCOMPARE(text(model, 0, 1), QString());

        // A slip stays as typed.
        start->setText(QStringLiteral("abc"));
        page.showNormalisedAreaFields();
        QCOMPARE(start->text(), QStringLiteral("abc"));
    }

    void buttonsAskTheWindow()
    {
        ExtendedPage page;
        QSignalSpy reads(&page, &ExtendedPage::readRequested);
        QSignalSpy erases(&page, &ExtendedPage::eraseRequested);
        page.findChild<QPushButton*>(QStringLiteral("bbGetRAM"))->click();
        QCOMPARE(reads.count(), 1);
        QCOMPARE(erases.count(), 0);
        page.findChild<QPushButton*>(QStringLiteral("bbErase"))->click();
        QCOMPARE(erases.count(), 1);
        QCOMPARE(page.findChild<QPushButton*>(QStringLiteral("bbErase"))->text(), QStringLiteral("Стереть"));
    }
};

QTEST_MAIN(ExtendedPageTest)
#include "ExtendedPageTest.moc"
