#include "gui/widgets/MemoryDumpModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include <array>
#include <vector>

using namespace kestrel;
using namespace kestrel::gui;

class MemoryDumpModelTest : public QObject {
    Q_OBJECT

private slots:
    void passesTheModelTesterThroughResets()
    {
        MemoryDumpModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

        const std::array<std::uint8_t, 3> three = {1, 2, 3};
        model.setTable(showMemoryDump(0x0005, three));
        std::vector<std::uint8_t> many(0x1234, 0x5A);
        model.setTable(showMemoryDump(0x0100, many));
        QCOMPARE(model.rowCount(), 0x1234 / 16 + 1);
        model.setTable(showMemoryDump(0x7FFF, std::span<const std::uint8_t>{}));
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(resets.count(), 3);
    }

    void isReadOnlyAndFlat()
    {
        MemoryDumpModel model;
        const std::array<std::uint8_t, 2> bytes = {0x10, 0x20};
        model.setTable(showMemoryDump(0x000E, bytes));
        const QModelIndex cell = model.index(0, 15);
        QCOMPARE(model.data(cell).toString(), QStringLiteral("10"));
        QVERIFY(!(model.flags(cell) & Qt::ItemIsEditable));
        QVERIFY(!model.setData(cell, QStringLiteral("FF")));
        QCOMPARE(model.rowCount(cell), 0);
        QCOMPARE(model.columnCount(cell), 0);
        QVERIFY(!model.data(QModelIndex()).isValid());
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QString());
        QCOMPARE(model.headerData(11, Qt::Horizontal).toString(), QStringLiteral("0A"));
        QVERIFY(!model.headerData(17, Qt::Horizontal).isValid());
    }
};

QTEST_MAIN(MemoryDumpModelTest)
#include "MemoryDumpModelTest.moc"
