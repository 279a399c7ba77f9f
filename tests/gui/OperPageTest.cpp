// The cycle lists' icons: full size in every row, whatever the first row carries.
#include "gui/pages/OperPage.h"
#include "gui/widgets/StateImages.h"

#include <QTest>
#include <QTreeWidget>

using namespace kestrel;
using namespace kestrel::gui;

class OperPageTest : public QObject {
    Q_OBJECT

private slots:
    void iconsKeepTheirSizeWhenTheFirstRowHasNone()
    {
        OperPage page;
        page.setImages(makeStateImages());
        CycleListRow plain;
        plain.caption = "01.02.2024 10:00";
        CycleListRow marked = plain;
        marked.icon = 0;
        marked.stateIcon = 1;
        page.showCycleLists({plain, marked}, {marked, plain});
        page.resize(900, 600);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));

        for (QTreeWidget* list : {page.lvLast(), page.lvStop()}) {
            for (int row = 0; row < 2; ++row) {
                QTreeWidgetItem* item = list->topLevelItem(row);
                QVERIFY(list->visualItemRect(item).height() >= kStateImageSize);
                // Captions start at the same place with or without images.
                QCOMPARE(item->icon(0).actualSize(list->iconSize()), cycleRowIconSize());
            }
        }
    }
};

QTEST_MAIN(OperPageTest)
#include "OperPageTest.moc"
