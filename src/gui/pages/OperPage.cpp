#include "gui/pages/OperPage.h"

#include "gui/widgets/StateImages.h"
#include "ui_OperPage.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace kestrel::gui {

namespace {

constexpr int kColumnWidths[] = {150, 90, 90, 100, 220};

QString qt(const std::string& text) { return QString::fromStdString(text); }

} // namespace

OperPage::OperPage(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::OperPage>())
{
    ui_->setupUi(this);
    for (QTreeWidget* list : {ui_->lvLast, ui_->lvStop}) {
        list->setIconSize(cycleRowIconSize());
        for (int column = 0; column < 5; ++column)
            list->setColumnWidth(column, kColumnWidths[column] + (column == 0 ? cycleRowIconSize().width() : 0));
        for (int column = 1; column < 4; ++column)
            list->headerItem()->setTextAlignment(column, Qt::AlignCenter);
        connect(list, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { choose(item); });
        list->installEventFilter(this);
    }
}

OperPage::~OperPage() = default;

void OperPage::setImages(const QList<QIcon>& images) { images_ = images; }

QTreeWidget* OperPage::lvLast() const { return ui_->lvLast; }
QTreeWidget* OperPage::lvStop() const { return ui_->lvStop; }

void OperPage::showCycleLists(const std::vector<CycleListRow>& last, const std::vector<CycleListRow>& stop)
{
    fill(ui_->lvLast, last);
    fill(ui_->lvStop, stop);
}

void OperPage::fill(QTreeWidget* list, const std::vector<CycleListRow>& rows)
{
    list->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const CycleListRow& row : rows) {
        auto* item = new QTreeWidgetItem(QStringList{qt(row.caption), qt(row.subItems[0]), qt(row.subItems[1]),
            qt(row.subItems[2]), qt(row.subItems[3])});
        for (int column = 1; column < 4; ++column)
            item->setTextAlignment(column, Qt::AlignCenter);
        item->setData(0, kIconRole, row.icon);
        item->setData(0, kStateIconRole, row.stateIcon);
        item->setIcon(0, cycleRowIcon(images_, row.icon, row.stateIcon));
        items << item;
    }
    list->addTopLevelItems(items);
}

void OperPage::readInto(std::vector<CycleListRow>& last, std::vector<CycleListRow>& stop) const
{
    read(ui_->lvLast, last);
    read(ui_->lvStop, stop);
}

void OperPage::read(const QTreeWidget* list, std::vector<CycleListRow>& rows)
{
    rows.clear();
    for (int index = 0; index < list->topLevelItemCount(); ++index) {
        const QTreeWidgetItem* item = list->topLevelItem(index);
        CycleListRow row;
        row.caption = item->text(0).toStdString();
        for (int column = 1; column < 5; ++column)
            row.subItems[static_cast<std::size_t>(column - 1)] = item->text(column).toStdString();
        row.icon = item->data(0, kIconRole).toInt();
        row.stateIcon = item->data(0, kStateIconRole).toInt();
        rows.push_back(std::move(row));
    }
}

bool OperPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (auto* list = qobject_cast<QTreeWidget*>(watched)) {
                choose(list->currentItem());
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void OperPage::choose(const QTreeWidgetItem* item)
{
    if (item != nullptr)
        emit cycleChosen(item->text(0));
}

} // namespace kestrel::gui
