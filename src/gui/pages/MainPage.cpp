#include "gui/pages/MainPage.h"

#include "core/text/NumberFormat.h"
#include "gui/widgets/KeyFilters.h"
#include "ui_MainPage.h"

#include <QApplication>
#include <QDate>
#include <QHeaderView>
#include <QPalette>
#include <QScrollBar>

#include <cmath>

namespace kestrel::gui {

namespace {

// Date-time values count days from 30 December 1899.
const QDate kDayZero(1899, 12, 30);

QDate dateOf(DateTime value)
{
    if (!std::isfinite(value) || std::fabs(value) > 3.0e6)
        return {};
    return kDayZero.addDays(static_cast<qint64>(std::trunc(value)));
}

QString qt(const std::string& text) { return QString::fromStdString(text); }
std::string text(const QLineEdit* edit) { return edit->text().toStdString(); }

// Widths follow the captions and values in the platform's font, so nothing is cut.
void fitColumns(QTreeWidget* list)
{
    for (int column = 0; column < list->columnCount(); ++column)
        list->resizeColumnToContents(column);
    // The list is at least as wide as its columns, so none hides behind a scroll bar.
    list->setMinimumWidth(list->header()->length() + 2 * list->frameWidth() +
        list->verticalScrollBar()->sizeHint().width());
}

} // namespace

MainPage::MainPage(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::MainPage>())
{
    ui_->setupUi(this);

    auto* header = ui_->lvCommon->header();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(false);
    for (int column = 1; column < 3; ++column)
        ui_->lvCommon->headerItem()->setTextAlignment(column, Qt::AlignCenter);
    for (const char* caption : kCommonRowCaptions) {
        auto* row = new QTreeWidgetItem(ui_->lvCommon, QStringList{QString::fromUtf8(caption), {}, {}});
        row->setTextAlignment(1, Qt::AlignCenter);
        row->setTextAlignment(2, Qt::AlignCenter);
    }
    fitColumns(ui_->lvCommon);

    // A narrow window scrolls the page rather than squeezing a figure out of its field.
    const int figureWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 12;
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        edit->setMinimumWidth(figureWidth);

    // Names of up to 64 characters may still be wider than their field: the whole text
    // is there as the field's tool tip.
    for (QLineEdit* edit : {ui_->eProd, ui_->eOwner})
        connect(edit, &QLineEdit::textChanged, edit, &QWidget::setToolTip);

    auto* digits = new DigitKeyFilter(this);
    for (QLineEdit* edit : {ui_->eSrok, ui_->eYear, ui_->eRegYear})
        edit->installEventFilter(digits);
    decimalFilter_ = new DecimalKeyFilter(QChar(u'.'), this);
    for (QLineEdit* edit : {ui_->eSumGruz, ui_->eGruz1, ui_->eGruz2})
        edit->installEventFilter(decimalFilter_);

    // The picker's lowest date stands for the zero day and reads as an empty field.
    ui_->eRegSetup->setMinimumDate(QDate(100, 1, 1));
    ui_->eRegSetup->setSpecialValueText(QStringLiteral(" "));
    ui_->eRegSetup->setDate(ui_->eRegSetup->minimumDate());
    shownRegSetupDate_ = ui_->eRegSetup->minimumDate();
    zeroDateText_ = formatShortDate(0.0, DisplayLocale{});
    setIdentificationEditable(false);
}

MainPage::~MainPage() = default;

void MainPage::setDisplayLocale(const DisplayLocale& locale)
{
    decimalFilter_->setSeparator(QChar(static_cast<char16_t>(static_cast<unsigned char>(locale.decimalSeparator))));
    ui_->eRegSetup->setDisplayFormat(QString::fromStdString(locale.shortDateFormat));
    zeroDateText_ = formatShortDate(0.0, locale);
}

void MainPage::showIdentification(const IdentificationView& id)
{
    startDateCheckBlanked_ = id.eStartDateCheck == zeroDateText_;
    ui_->eStartDateCheck->setText(startDateCheckBlanked_ ? QString() : qt(id.eStartDateCheck));
    ui_->eDateCheck->setText(qt(id.eDateCheck));

    ui_->eMarka->setText(qt(id.eMarka));
    ui_->eNumber->setText(qt(id.eNumber));
    ui_->eYear->setText(qt(id.eYear));
    ui_->eProd->setText(qt(id.eProd));
    ui_->eOwner->setText(qt(id.eOwner));
    ui_->eSrok->setText(qt(id.eSrok));
    ui_->eSumGruz->setText(qt(id.eSumGruz));
    ui_->eGruz1->setText(qt(id.eGruz1));
    ui_->eGruz2->setText(qt(id.eGruz2));
    ui_->eGroup->setText(qt(id.eGroup));
    ui_->eEnter->setText(qt(id.eEnter));

    ui_->eRegType->setText(qt(id.eRegType));
    ui_->eRegNum->setText(qt(id.eRegNum));
    ui_->eRegYear->setText(qt(id.eRegYear));
    ui_->eRegProd->setText(qt(id.eRegProd));
    ui_->eRegSetupName->setText(qt(id.eRegSetupName));
    // Long passport texts show their beginning, not their end.
    for (QLineEdit* edit : {ui_->eMarka, ui_->eNumber, ui_->eProd, ui_->eOwner, ui_->eEnter, ui_->eRegType,
             ui_->eRegNum, ui_->eRegProd, ui_->eRegSetupName})
        edit->setCursorPosition(0);
    if (const QDate date = dateOf(id.eRegSetup); date == kDayZero)
        ui_->eRegSetup->setDate(ui_->eRegSetup->minimumDate());
    else if (date.isValid())
        ui_->eRegSetup->setDate(date);
    shownRegSetup_ = id.eRegSetup;
    shownRegSetupDate_ = ui_->eRegSetup->date(); // a date the picker cannot hold leaves it as it was
}

void MainPage::showStatistics(const StatisticsView& st)
{
    ui_->eKp->setText(qt(st.eKp));
    ui_->eQi->setText(qt(st.eQi));
    ui_->eUi->setText(qt(st.eUi));
    ui_->eAi->setText(qt(st.eAi));
    ui_->eNcicl->setText(qt(st.eNcicl));
    ui_->eMoto->setText(qt(st.eMoto));
    ui_->eKranHar->setText(qt(st.eKranHar));
    ui_->eStop->setText(qt(st.eStop));
    ui_->eMass->setText(qt(st.eMass));
    for (int row = 0; row < ui_->lvCommon->topLevelItemCount() && row < static_cast<int>(st.lvCommon.size()); ++row) {
        QTreeWidgetItem* item = ui_->lvCommon->topLevelItem(row);
        item->setText(1, qt(st.lvCommon[static_cast<std::size_t>(row)][0]));
        item->setText(2, qt(st.lvCommon[static_cast<std::size_t>(row)][1]));
    }
    fitColumns(ui_->lvCommon);
}

void MainPage::readInto(IdentificationView& id, StatisticsView& st) const
{
    id.eStartDateCheck = text(ui_->eStartDateCheck);
    if (startDateCheckBlanked_ && id.eStartDateCheck.empty())
        id.eStartDateCheck = zeroDateText_;
    id.eDateCheck = text(ui_->eDateCheck);

    id.eMarka = text(ui_->eMarka);
    id.eNumber = text(ui_->eNumber);
    id.eYear = text(ui_->eYear);
    id.eProd = text(ui_->eProd);
    id.eOwner = text(ui_->eOwner);
    id.eSrok = text(ui_->eSrok);
    id.eSumGruz = text(ui_->eSumGruz);
    id.eGruz1 = text(ui_->eGruz1);
    id.eGruz2 = text(ui_->eGruz2);
    id.eGroup = text(ui_->eGroup);
    id.eEnter = text(ui_->eEnter);

    id.eRegType = text(ui_->eRegType);
    id.eRegNum = text(ui_->eRegNum);
    id.eRegYear = text(ui_->eRegYear);
    id.eRegProd = text(ui_->eRegProd);
    id.eRegSetupName = text(ui_->eRegSetupName);
    const QDate picked = ui_->eRegSetup->date();
    if (picked == shownRegSetupDate_)
        id.eRegSetup = shownRegSetup_;
    else if (picked == ui_->eRegSetup->minimumDate())
        id.eRegSetup = 0.0;
    else
        id.eRegSetup = static_cast<DateTime>(kDayZero.daysTo(picked));

    st.eKp = text(ui_->eKp);
    st.eQi = text(ui_->eQi);
    st.eUi = text(ui_->eUi);
    st.eAi = text(ui_->eAi);
    st.eNcicl = text(ui_->eNcicl);
    st.eMoto = text(ui_->eMoto);
    st.eKranHar = text(ui_->eKranHar);
    st.eStop = text(ui_->eStop);
    st.eMass = text(ui_->eMass);
    for (int row = 0; row < ui_->lvCommon->topLevelItemCount() && row < static_cast<int>(st.lvCommon.size()); ++row) {
        const QTreeWidgetItem* item = ui_->lvCommon->topLevelItem(row);
        st.lvCommon[static_cast<std::size_t>(row)] = {item->text(1).toStdString(), item->text(2).toStdString()};
    }
}

void MainPage::setIdentificationEditable(bool editable)
{
    ui_->gbInfo->setEnabled(editable);
    ui_->gbReg->setEnabled(editable);
    // The fields look like input fields only while they take input.
    QList<QWidget*> fields;
    for (QGroupBox* group : {ui_->gbInfo, ui_->gbReg})
        for (QLineEdit* edit : group->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly))
            fields << edit;
    fields << ui_->eRegSetup;
    for (QWidget* field : fields) {
        QPalette palette = field->palette();
        palette.setColor(QPalette::Base, QApplication::palette(field).color(editable ? QPalette::Base : QPalette::Button));
        field->setPalette(palette);
    }
}

} // namespace kestrel::gui
