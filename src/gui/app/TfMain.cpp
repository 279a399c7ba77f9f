#include "gui/app/TfMain.h"

#include "core/config/ServicePageFromView.h"
#include "core/config/WriteConfiguration.h"
#include "core/device/i2c/TI2C.h"
#include "core/device/reader/ExtendedPageActions.h"
#include "core/device/reader/ReaderBuses.h"
#include "core/device/reader/ReaderDeviceTransfer.h"
#include "core/device/sim/DeviceSelection.h"
#include "core/image/Checksum.h"
#include "core/image/DataFile.h"
#include "core/pipeline/DeviceLoad.h"
#include "core/pipeline/Pipeline.h"
#include "core/stats/LoadDistribution.h"
#include "core/text/SaveNameProposal.h"
#include "gui/app/FileFilter.h"
#include "gui/app/FleetController.h"
#include "gui/app/GuiDialogs.h"
#include "gui/app/GuiUserInterface.h"
#include "gui/app/HistoryController.h"
#include "gui/app/HelpTopics.h"
#include "gui/app/NativePath.h"
#include "gui/app/PdfReportCommand.h"
#include "gui/app/ReportCommand.h"
#include "gui/app/SyncController.h"
#include "gui/app/SystemDisplayLocale.h"
#include "gui/app/TDataModule1.h"
#include "gui/pages/DistributionPage.h"
#include "gui/pages/ExtendedPage.h"
#include "gui/pages/FleetPage.h"
#include "gui/pages/HistoryPage.h"
#include "gui/pages/MainPage.h"
#include "gui/pages/OperPage.h"
#include "gui/pages/ToolsPage.h"
#include "gui/windows/TfOper.h"
#include "gui/windows/WindowOperatorIdentification.h"
#include "ui_TfMain.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

#ifndef KESTREL_VERSION
#define KESTREL_VERSION "0.1.0"
#endif
#ifndef KESTREL_COMPANY
#define KESTREL_COMPANY ""
#endif

namespace kestrel::gui {

namespace {

QString qt(const char* text) { return QString::fromUtf8(text); }
QString qt(const std::string& text) { return QString::fromStdString(text); }

constexpr int kPanelWidths[] = {400, 100, 100, 200};
constexpr int kArchivePanelWidth = 160;

// Buttons that share their action's name after the "tb" prefix.
struct ActionButton {
    const char* button;
    QAction* TDataModule1::*action;
};
constexpr ActionButton kActionButtons[] = {
    {"tbGetCopyr", &TDataModule1::GetFromCopyr},
    {"tbGetFile", &TDataModule1::GetFromFile},
    {"tbSave", &TDataModule1::SaveData},
    {"tbStartReport", &TDataModule1::OpenPrev},
    {"tbHelp", &TDataModule1::Help},
    {"tbShutDown", &TDataModule1::ShutDown},
};

const char* const kLoadButtons[]
    = {"tbStartReport", "tbSave", "tbSaveHTML", "tbPrint", "tbPreview", kSavePdfButtonName};

// The operator identification window of a write-back, created for that one write-back.
std::unique_ptr<OperatorIdentification> makeOperatorIdentification(QWidget* parent)
{
    return std::make_unique<WindowOperatorIdentification>(parent);
}

} // namespace

// Marks the session as in use by an operation: actions that would touch it are off
// until the operation returns, even while it pumps window messages.
class TfMain::BusyScope {
public:
    explicit BusyScope(TfMain& window) : window_(window)
    {
        ++window_.busy_;
        window_.updateEnabling();
    }
    ~BusyScope()
    {
        --window_.busy_;
        window_.updateEnabling();
        if (window_.busy_ == 0 && window_.closed_)
            window_.releaseBus();
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    TfMain& window_;
};

TfMain::TfMain(const Options& options, QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::TfMain>()), dialogs_(*options.dialogs), clock_(*options.clock)
{
    const QString programFolder
        = options.programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : options.programFolder;
    folders_ = options.workFolder.isEmpty() ? ProgramFolders::forProgram(programFolder)
                                            : ProgramFolders::fixed(programFolder, options.workFolder);
    extended_ = options.extended;
    verifyReads_ = options.verifyReads;
    identification_ = options.identification;
    runCycleDetail_ = options.runCycleDetail;
    session_.locale = options.locale ? *options.locale : systemDisplayLocale();

    ui_->setupUi(this);
    setWindowTitle(qt(kApplicationTitle)); // with the simulator's name when it is one (buildStatusBar)
    dataModule_ = new TDataModule1(this);
    userInterface_ = std::make_unique<GuiUserInterface>(*this, dialogs_);

    buildPages();
    buildStatusBar();
    buildToolBar();
    history_ = new HistoryController({historyPage_, archivePanel_, &dialogs_, this, statusPanels_[0]},
        nativePath(options.archivePath), session_.locale);
    connect(history_, &HistoryController::openRequested, this, &TfMain::openArchivedReading);
    fleet_ = new FleetController({fleetPage_, ui_->PageControl1, ui_->PageControl1->findChild<QWidget*>(QStringLiteral("tsFleet")),
                                     &dialogs_, this},
        {[this] { return history_->link().archive(); }, [this] { return qt(history_->link().reason()); },
            QStringLiteral("Архив на этом компьютере")},
        session_.locale);
    connect(fleet_, &FleetController::openRequested, this, &TfMain::openArchivedReading);
    auto* sync = new SyncController({this, ui_->tbMain, ui_->StatusBar1, &dialogs_, history_});
    connect(sync, &SyncController::finished, fleet_, [this] { fleet_->archiveChanged(); });
    assignHelpContexts();
    applyVisibility();

    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, &TfMain::showContextHelp);

    createReaderLink();

    showView();
    // After the first display: the empty grid of a window that has read nothing is no
    // edit, and its chart has nothing to complain about.
    toolsPage_->attachLoadCharacteristicEditor(dialogs_, session_.image, session_.locale);
    toolsPage_->attachNormalisationEditor(dialogs_, session_);
    updateEnabling();
}

TfMain::~TfMain()
{
    transfer_.reset();
    bus_.reset();
}

void TfMain::buildPages()
{
    // Each page scrolls inside its tab when the screen is smaller than the page, so a
    // 1366×768 laptop reaches every control.
    const auto place = [](QWidget* tab, QWidget* page) {
        auto* scroll = new QScrollArea(tab);
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        scroll->setWidget(page);
        tab->layout()->addWidget(scroll);
    };
    mainPage_ = new MainPage(ui_->tsMain);
    mainPage_->setDisplayLocale(session_.locale);
    place(ui_->tsMain, mainPage_);
    distributionPage_ = new DistributionPage(dialogs_, ui_->tsRegData);
    place(ui_->tsRegData, distributionPage_);
    operPage_ = new OperPage(ui_->tsOper);
    operPage_->setImages(dataModule_->ImageState);
    place(ui_->tsOper, operPage_);
    toolsPage_ = new ToolsPage(ui_->tsTools);
    place(ui_->tsTools, toolsPage_);
    historyPage_ = new HistoryPage(ui_->tsHistory);
    place(ui_->tsHistory, historyPage_);
    extendedPage_ = new ExtendedPage(ui_->tsExtended);
    place(ui_->tsExtended, extendedPage_);
    // "Парк кранов", the cranes of the whole archive at a glance, comes last: with
    // "Дополнительно..." hidden as delivered it follows "История".
    auto* fleetTab = new QWidget;
    fleetTab->setObjectName(QStringLiteral("tsFleet"));
    fleetTab->setLayout(new QVBoxLayout);
    fleetTab->layout()->setContentsMargins(0, 0, 0, 0);
    ui_->PageControl1->addTab(fleetTab, QStringLiteral("Парк кранов"));
    fleetPage_ = new FleetPage(fleetTab);
    place(fleetTab, fleetPage_);

    connect(distributionPage_, &DistributionPage::stepChanged, this, &TfMain::stepChanged);
    connect(operPage_, &OperPage::cycleChosen, this, &TfMain::openCycleDetail);
    connect(extendedPage_, &ExtendedPage::readRequested, this, &TfMain::readArea);
    connect(extendedPage_, &ExtendedPage::eraseRequested, this, &TfMain::eraseArea);

    // The service page's operation boxes reach into the main page and the actions.
    if (auto* editIdentification = toolsPage_->findChild<QCheckBox*>(QStringLiteral("chbEditPKR")))
        connect(editIdentification, &QCheckBox::toggled, mainPage_, &MainPage::setIdentificationEditable);
    if (auto* write = toolsPage_->findChild<QAbstractButton*>(QStringLiteral("bbChangeIdent"))) {
        write->setText(dataModule_->PkrSave->text());
        write->setToolTip(dataModule_->PkrSave->toolTip());
        write->setProperty(kHelpContextProperty, dataModule_->PkrSave->property(kHelpContextProperty));
        connect(write, &QAbstractButton::clicked, dataModule_->PkrSave, &QAction::trigger);
    }
}

void TfMain::buildStatusBar()
{
    QStatusBar* bar = ui_->StatusBar1;
    for (int panel = 0; panel < 4; ++panel) {
        if (panel == 1) {
            // The progress bar covers panel 1.
            progressBar_ = new QProgressBar(bar);
            progressBar_->setObjectName(QStringLiteral("ProgressBar1"));
            progressBar_->setFixedWidth(kPanelWidths[1] - 2);
            progressBar_->setTextVisible(false);
            progressBar_->setRange(0, 100);
            progressBar_->setValue(0);
            bar->addWidget(progressBar_);
        }
        auto* label = new QLabel(bar);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(panel));
        label->setFixedWidth(kPanelWidths[panel]);
        label->setAlignment(panel == 3 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        if (panel == 1)
            label->hide();
        else
            bar->addWidget(label);
        statusPanels_ << label;
    }
    // A simulated reader device says so for as long as the window runs: its demo crane
    // must never pass for one read from a real reader device.
    const QString device = qEnvironmentVariable("KESTREL_PORTIO");
    if (selectsSimulator(device.toStdString())) {
        auto* simulator = new QLabel(qt(kSimulatorName), bar);
        simulator->setObjectName(QStringLiteral("StatusSimulator"));
        simulator->setAlignment(Qt::AlignCenter);
        simulator->setFrameShape(QFrame::StyledPanel);
        simulator->setFrameShadow(QFrame::Sunken);
        simulator->setStyleSheet(QStringLiteral("QLabel { color: #b00000; font-weight: bold; }"));
        simulator->setToolTip(QStringLiteral("Устройство: ") + device);
        bar->addWidget(simulator);
        setWindowTitle(qt(kApplicationTitle) + QStringLiteral(" — ") + qt(kSimulatorName));
    }
    // Whether the reading shown is kept in the archive.
    archivePanel_ = new QLabel(bar);
    archivePanel_->setObjectName(QStringLiteral("StatusArchive"));
    archivePanel_->setFixedWidth(kArchivePanelWidth);
    archivePanel_->setAlignment(Qt::AlignCenter);
    archivePanel_->setFrameShape(QFrame::StyledPanel);
    archivePanel_->setFrameShadow(QFrame::Sunken);
    bar->addWidget(archivePanel_);
    statusPanels_[2]->setText(QStringLiteral("Версия ") + QStringLiteral(KESTREL_VERSION));
    statusPanels_[3]->setText(QString::fromUtf8(KESTREL_COMPANY));
}

void TfMain::buildToolBar()
{
    QToolBar* bar = ui_->tbMain;
    TDataModule1& dm = *dataModule_;

    const auto addActionButton = [this, bar](const ActionButton& entry) {
        QAction* action = dataModule_->*entry.action;
        auto* button = new QToolButton(bar);
        button->setObjectName(QString::fromLatin1(entry.button));
        button->setText(action->text());
        button->setIcon(action->icon());
        button->setToolTip(action->toolTip());
        button->setProperty(kHelpContextProperty, action->property(kHelpContextProperty));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        // Not the button's default action: a button keeps its own enabled state
        // ("Начало" stays off after a period was applied) beside its action's.
        connect(button, &QToolButton::clicked, action, &QAction::trigger);
        connect(action, &QAction::changed, this, &TfMain::updateEnabling);
        bar->addWidget(button);
        buttonEnabled_[button->objectName()] = true;
    };

    const auto addReportButton = [this, bar](const ReportToolButton& entry, QMenu*& menu, const char* menuName) {
        const ReportMode mode = entry.mode;
        menu = new QMenu(this);
        menu->setObjectName(QString::fromLatin1(menuName));
        menu->setToolTipsVisible(true);
        for (const ReportKind& kind : kReportKinds) {
            QAction* item = menu->addAction(qt(kind.menuCaption));
            item->setObjectName(QStringLiteral("%1Item%2").arg(QString::fromLatin1(menuName)).arg(kind.tag));
            item->setToolTip(qt(kind.hint));
            item->setData(kind.tag);
            connect(item, &QAction::triggered, this, [this, tag = kind.tag, mode] { makeReport(tag, mode); });
        }
        auto* button = new QToolButton(bar);
        button->setObjectName(QString::fromLatin1(entry.name));
        button->setText(qt(entry.caption));
        button->setToolTip(qt(entry.hint));
        button->setProperty("tag", kToolButtonReportTag);
        button->setIcon(style()->standardIcon(mode == ReportMode::Preview ? QStyle::SP_FileDialogContentsView
                : mode == ReportMode::Print                               ? QStyle::SP_FileIcon
                                                                          : QStyle::SP_DriveHDIcon));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setPopupMode(QToolButton::MenuButtonPopup);
        button->setMenu(menu);
        // The face gives the button's own tag: protocol No. 2.
        connect(button, &QToolButton::clicked, this, [this, button, mode] {
            makeReport(button->property("tag").toInt(), mode);
        });
        bar->addWidget(button);
        buttonEnabled_[button->objectName()] = false; // until the first load
    };

    addActionButton(kActionButtons[0]);
    addActionButton(kActionButtons[1]);
    addActionButton(kActionButtons[2]);
    bar->addSeparator();
    addActionButton(kActionButtons[3]);
    addReportButton(kReportToolButtons[0], PopMenuView, "PopMenuView");
    addReportButton(kReportToolButtons[1], PopMenuPrint, "PopMenuPrint");
    addReportButton(kReportToolButtons[2], PopMenuSave, "PopMenuSave");
    // Beside "HTML": the same documents written as PDF, laid out as they are printed.
    PopMenuSavePdf = new QMenu(qt(kSavePdfMenuTitle), this);
    PopMenuSavePdf->setObjectName(QStringLiteral("PopMenuSavePdf"));
    PopMenuSavePdf->setToolTipsVisible(true);
    for (const ReportKind& kind : kReportKinds) {
        QAction* item = PopMenuSavePdf->addAction(qt(kind.menuCaption));
        item->setObjectName(QStringLiteral("PopMenuSavePdfItem%1").arg(kind.tag));
        item->setToolTip(qt(kind.hint));
        item->setData(kind.tag);
        connect(item, &QAction::triggered, this, [this, tag = kind.tag] { saveReportPdf(tag); });
    }
    auto* pdfButton = new QToolButton(bar);
    pdfButton->setObjectName(qt(kSavePdfButtonName));
    pdfButton->setText(qt(kSavePdfButtonCaption));
    pdfButton->setToolTip(qt(kSavePdfButtonHint));
    pdfButton->setProperty("tag", kToolButtonReportTag);
    pdfButton->setIcon(style()->standardIcon(QStyle::SP_DriveFDIcon));
    pdfButton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    pdfButton->setAutoRaise(true);
    pdfButton->setPopupMode(QToolButton::MenuButtonPopup);
    pdfButton->setMenu(PopMenuSavePdf);
    connect(pdfButton, &QToolButton::clicked, this,
        [this, pdfButton] { saveReportPdf(pdfButton->property("tag").toInt()); });
    bar->addWidget(pdfButton);
    buttonEnabled_[pdfButton->objectName()] = false; // until the first load
    bar->addSeparator();
    addActionButton(kActionButtons[4]);
    addActionButton(kActionButtons[5]);

    connect(dm.GetFromCopyr, &QAction::triggered, this, &TfMain::GetFromCopyrExecute);
    connect(dm.GetFromFile, &QAction::triggered, this, &TfMain::GetFromFileExecute);
    connect(dm.SaveData, &QAction::triggered, this, &TfMain::SaveDataExecute);
    connect(dm.OpenPrev, &QAction::triggered, this, &TfMain::OpenPrevExecute);
    connect(dm.PkrSave, &QAction::triggered, this, &TfMain::PkrSaveExecute);
    connect(dm.Help, &QAction::triggered, this, &TfMain::HelpExecute);
    connect(dm.ShutDown, &QAction::triggered, this, &QWidget::close);
    addActions(dm.actions());
}

void TfMain::assignHelpContexts()
{
    setProperty(kHelpContextProperty, kHelpContents);
    ui_->PageControl1->setProperty(kHelpContextProperty, kHelpContents);
    const std::pair<QWidget*, int> pages[] = {
        {ui_->tsMain, 2}, {ui_->tsRegData, 3}, {ui_->tsOper, 4}, {ui_->tsTools, 5}, {ui_->tsExtended, 6}};
    for (const auto& [page, context] : pages)
        page->setProperty(kHelpContextProperty, context);
    const std::pair<const char*, int> controls[]
        = {{"gbIntervalReport", 12}, {"chbSetRTC", 16}, {"chbEditPKR", 17}, {"chbNormir", 18}, {"chbErase", 19},
            {"chbProgram", 20}};
    for (const auto& [name, context] : controls)
        if (auto* control = findChild<QWidget*>(QString::fromLatin1(name)))
            control->setProperty(kHelpContextProperty, context);
}

void TfMain::showContextHelp()
{
    int context = 0;
    for (const QWidget* widget = QApplication::focusWidget(); widget != nullptr && context <= 0;
         widget = widget->parentWidget())
        context = widget->property(kHelpContextProperty).toInt();
    dialogs_.showHelp(this, context > 0 ? context : kHelpContents);
}

void TfMain::applyVisibility()
{
    // The reader-device memory page is a service tool, hidden as the program is delivered.
    ui_->PageControl1->setTabVisible(ui_->PageControl1->indexOf(ui_->tsExtended), extended_);
    if (auto* group = extendedPage_->findChild<QWidget*>(QStringLiteral("gbPSI")))
        group->setVisible(extended_);
    // So are the program settings and the erasure among the service operations.
    toolsPage_->setExtendedOperations(extended_);
}

void TfMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!firstShow_)
        return;
    firstShow_ = false;
    ui_->PageControl1->setCurrentWidget(ui_->tsMain);
    ui_->PageControl1->setFocus();
}

void TfMain::closeEvent(QCloseEvent* event)
{
    distributionPage_->clearChart();
    terminateRequested_ = true;
    closed_ = true;
    event->accept();
    QCoreApplication::quit();
    // A transfer still on the stack (the close came from its message pump) uses the bus
    // until it notices the request; the bus goes when the last operation returns.
    if (busy_ == 0)
        releaseBus();
}

void TfMain::createReaderLink()
{
    // The reader device is searched only where the user chose (nothing chosen: the USB
    // I2C adapters, then the parallel ports); a text that cannot be understood chooses nothing.
    const QString device = qEnvironmentVariable("KESTREL_PORTIO");
    BusChoice choice;
    try {
        choice = parseBusChoice(device.toStdString());
    } catch (const std::exception& error) {
        dialogs_.message(this, QStringLiteral("Устройство задано неверно: ") + qt(error.what()));
    }
    std::vector<std::unique_ptr<MemoryBus>> buses;
    try {
        buses = makeAdapterBuses(choice, clock_, *userInterface_);
    } catch (const std::exception& error) {
        dialogs_.message(this, qt(error.what()));
    }
    // Opening the port's bus opens the port library and calibrates the bit delay once; it
    // says by itself when the library cannot be had, and the window works on without it.
    if (choice.parallelPort)
        bus_ = std::make_unique<TI2C>(clock_, *userInterface_, nativePath(folders_.program));
    transfer_ = std::make_unique<ReaderDeviceTransfer>(std::move(buses), bus_.get(), clock_, *userInterface_);
}

void TfMain::releaseBus()
{
    transfer_.reset();
    bus_.reset();
}

QToolButton* TfMain::toolButton(const QString& name) const { return ui_->tbMain->findChild<QToolButton*>(name); }

QMenu* TfMain::reportMenu(ReportMode mode) const
{
    switch (mode) {
    case ReportMode::Preview:
        return PopMenuView;
    case ReportMode::Print:
        return PopMenuPrint;
    case ReportMode::Save:
        return PopMenuSave;
    }
    return nullptr;
}

QString TfMain::statusText(int panel) const
{
    return panel >= 0 && panel < statusPanels_.size() ? statusPanels_[panel]->text() : QString();
}

void TfMain::setStatusText(const QString& text) { statusPanels_[0]->setText(text); }

void TfMain::setProgress(int position, int maximum)
{
    progressBar_->setMaximum(maximum > 0 ? maximum : 100);
    progressBar_->setValue(position);
}

void TfMain::setTransferRunning(bool running)
{
    transferRunning_ = running;
    updateEnabling();
}

void TfMain::setButtonEnabled(const QString& name, bool enabled)
{
    buttonEnabled_[name] = enabled;
    updateEnabling();
}

void TfMain::updateEnabling()
{
    if (dataModule_ == nullptr)
        return;
    const bool idle = busy_ == 0 && !transferRunning_ && !closed_;
    TDataModule1& dm = *dataModule_;
    // Whatever reads or replaces the session, or would start a second transfer, waits.
    for (QAction* action : {dm.GetFromCopyr, dm.GetFromFile, dm.SaveData, dm.OpenPrev, dm.PkrSave}) {
        const QSignalBlocker quiet(action);
        action->setEnabled(idle);
    }
    for (const ActionButton& entry : kActionButtons)
        if (QToolButton* button = toolButton(QString::fromLatin1(entry.button)))
            button->setEnabled(buttonEnabled_.value(button->objectName(), true) && (dm.*entry.action)->isEnabled());
    for (const ReportToolButton& entry : kReportToolButtons)
        if (QToolButton* button = toolButton(QString::fromLatin1(entry.name)))
            button->setEnabled(buttonEnabled_.value(button->objectName(), false) && idle);
    if (QToolButton* button = toolButton(qt(kSavePdfButtonName)))
        button->setEnabled(buttonEnabled_.value(button->objectName(), false) && idle);
    if (extendedPage_ != nullptr)
        for (const char* name : {"bbGetRAM", "bbErase"})
            if (auto* button = extendedPage_->findChild<QAbstractButton*>(QString::fromLatin1(name)))
                button->setEnabled(idle);
    if (toolsPage_ != nullptr) {
        if (auto* write = toolsPage_->findChild<QAbstractButton*>(QStringLiteral("bbChangeIdent")))
            write->setEnabled(idle);
        // What a write-back reads must not change under it, nor under a load that refills it.
        toolsPage_->setEnabled(idle);
    }
}

void TfMain::showView()
{
    const MainView& view = session_.view;
    mainPage_->showIdentification(view.identification);
    mainPage_->showStatistics(view.statistics);
    toolsPage_->showSettings(view.settings, view.identification);
    distributionPage_->showDistribution(view.distribution);
    operPage_->showCycleLists(view.lvLast, view.lvStop);
}

MainView TfMain::viewFromWidgets() const
{
    MainView view = session_.view;
    mainPage_->readInto(view.identification, view.statistics);
    toolsPage_->readInto(view.settings, view.identification);
    distributionPage_->readInto(view.distribution);
    operPage_->readInto(view.lvLast, view.lvStop);
    return view;
}

ServicePage TfMain::servicePageFromWidgets() const
{
    MainView shown = session_.view;
    mainPage_->readInto(shown.identification, shown.statistics);
    toolsPage_->readInto(shown.settings, shown.identification);
    ServicePage page = servicePageFromView(shown);
    toolsPage_->readServicePage(page);
    return page;
}

void TfMain::showMemoryDumpOfImage() { extendedPage_->showMemoryDump(0, session_.image); }

void TfMain::showFileName(const QString& fileName)
{
    QLabel* panel = statusPanels_[0];
    const int room = panel->contentsRect().width() - 2 * panel->margin() - 4;
    const QString prefix = processedPrefix();
    const QString full = QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath());
    const int roomForName = (room > 0 ? room : kPanelWidths[0] - 8) - panel->fontMetrics().horizontalAdvance(prefix);
    setStatusText(prefix + panel->fontMetrics().elidedText(full, Qt::ElideMiddle, std::max(roomForName, 40)));
}

QString TfMain::processedPrefix() const
{
    return session_.processingFailed ? qt(kProcessedWithErrorsStatus) + QStringLiteral(": ") : QString();
}

void TfMain::enableAfterLoad()
{
    for (const char* name : kLoadButtons)
        buttonEnabled_[QString::fromLatin1(name)] = true;
    updateEnabling();
}

ReadCheck TfMain::readCheck() const { return verifyReads_ ? ReadCheck::Twice : ReadCheck::Once; }

QString TfMain::dataFileFilter() const { return qtFileFilter(QStringLiteral("Файл данных (*.bbd)|*.bbd")); }

QString TfMain::askDataFile(const QString& title)
{
    GuiDialogs::FileOptions options;
    options.title = title;
    options.filter = dataFileFilter();
    options.directory = folders_.dataFolder();
    options.defaultSuffix = QStringLiteral("bbd");
    return dialogs_.openFileName(this, options);
}

void TfMain::GetFromCopyrExecute()
{
    if (busy_ > 0 || transferRunning_ || !transfer_)
        return;
    {
        BusyScope busy(*this);
        const DeviceLoadResult result = loadFromDevice(session_, *transfer_, clock_, *userInterface_, readCheck());
        if (result != DeviceLoadResult::Processed || closed_)
            return; // nothing changed: the earlier reading stays whole, with its buttons
        showView();
        showMemoryDumpOfImage();
        history_->readingLoaded(session_.image, kDeviceSource);
        fleet_->archiveChanged();
    }
    enableAfterLoad();
}

void TfMain::GetFromFileExecute()
{
    if (busy_ > 0 || transferRunning_)
        return;
    const QString fileName = askDataFile(QStringLiteral("Выбор файла данных регистратора параметров"));
    if (!fileName.isEmpty())
        openDataFile(fileName);
}

void TfMain::openDataFile(const QString& fileName)
{
    // Asked from outside (a file double-clicked while a transfer runs): said, never dropped.
    if (busy_ > 0 || transferRunning_) {
        dialogs_.message(this, QStringLiteral("Файл данных «%1» не открыт: программа занята другой операцией. "
                                              "Откройте его, когда она закончится.")
                                   .arg(QDir::toNativeSeparators(fileName)));
        return;
    }
    if (!hasDataFileExtension(fileName.toStdString())) {
        dialogs_.message(this, qt(kWrongExtensionMessage));
        return;
    }
    loadFromFile(fileName);
}

void TfMain::loadFromFile(const QString& fileName)
{
    if (busy_ > 0 || transferRunning_)
        return;
    BusyScope busy(*this);
    try {
        // Refused or answered "Нет": the earlier reading stays whole, with its buttons.
        if (!loadImageFile(session_, nativePath(fileName), *userInterface_))
            return;
    } catch (const std::exception& error) {
        // The file could not be read: its reason, and nothing else changes.
        dialogs_.message(this, qt(error.what()));
        return;
    }
    showView();
    showMemoryDumpOfImage();
    if (session_.wholeReading)
    {
        history_->readingLoaded(session_.image, nativePath(QFileInfo(fileName).absoluteFilePath()));
        fleet_->archiveChanged();
    } else
        history_->partialReadingLoaded(session_.image, "Файл короче 32 768 байт: недостающее в нем не считано, "
                                                        "такое считывание в архив не сохраняется.");
    showFileName(fileName);
    enableAfterLoad();
}

void TfMain::openArchivedReading(const MemoryImage& image, qint64 id)
{
    if (busy_ > 0 || transferRunning_)
        return;
    BusyScope busy(*this);
    if (!loadImage(session_, image, *userInterface_))
        return;
    showView();
    showMemoryDumpOfImage();
    history_->archivedReadingOpened(image);
    setStatusText(processedPrefix() + QStringLiteral("Считывание № %1 из архива").arg(id));
    enableAfterLoad();
    ui_->PageControl1->setCurrentWidget(ui_->tsMain);
}

void TfMain::SaveDataExecute()
{
    if (busy_ > 0 || transferRunning_)
        return;
    BusyScope busy(*this);
    // A window that has read nothing holds no reading: a file of zeros would pass for one.
    if (!session_.hasReading) {
        dialogs_.information(this, QStringLiteral("Нет данных для сохранения: сначала загрузите данные из ПСИ "
                                                  "или откройте файл данных."));
        return;
    }
    MainView shown;
    mainPage_->readInto(shown.identification, shown.statistics);
    const std::string proposal = dataFileNameProposal(shown.identification.eDateCheck, shown.identification.eRegNum);

    GuiDialogs::FileOptions options;
    options.title = QStringLiteral("Сохранение данных регистратора параметров");
    options.filter = dataFileFilter();
    options.directory = folders_.dataFolder();
    options.defaultSuffix = QStringLiteral("bbd");
    options.proposedName = qt(proposal);
    options.confirmOverwrite = true;
    const QString fileName = dialogs_.saveFileName(this, options);
    if (fileName.isEmpty()) {
        // The user's own choice, not a failure.
        dialogs_.information(this, QStringLiteral("Файл данных регистратора не сохранен!"));
        return;
    }
    try {
        saveImage(nativePath(fileName), session_.image);
    } catch (const std::exception& error) {
        // The described text first, then the file and the system's reason.
        dialogs_.message(this, QStringLiteral("Файл данных регистратора не сохранен!\n") + qt(error.what()));
        return;
    }
    showFileName(fileName);
}

void TfMain::OpenPrevExecute()
{
    if (busy_ > 0 || transferRunning_)
        return;
    BusyScope busy(*this);
    bool applied = false;
    if (const auto fromArchive = startPeriodFromArchive()) {
        applied = *fromArchive;
    } else {
        const QString fileName = askDataFile(QStringLiteral("Выбор файла данных"));
        if (fileName.isEmpty())
            return;
        if (!hasDataFileExtension(fileName.toStdString())) {
            dialogs_.message(this, qt(kWrongExtensionMessage));
            return;
        }
        try {
            applied = applyPreviousPeriod(session_, nativePath(fileName), *userInterface_);
        } catch (const std::exception& error) {
            dialogs_.message(this, qt(error.what()));
            return;
        }
    }
    if (!applied)
        return;
    showView(); // no memory dump: the dump shows the reading as it came
    buttonEnabled_[QStringLiteral("tbStartReport")] = false;
    buttonEnabled_[QStringLiteral("tbSave")] = false;
    for (const ReportToolButton& entry : kReportToolButtons)
        buttonEnabled_[QString::fromLatin1(entry.name)] = true;
    buttonEnabled_[qt(kSavePdfButtonName)] = true;
}

std::optional<bool> TfMain::startPeriodFromArchive()
{
    const auto earlier = history_->earlierReading(session_.image);
    if (!earlier)
        return std::nullopt;
    const QString question = QStringLiteral("В архиве есть предыдущее считывание этого регистратора от %1.\n"
                                            "Принять его за начало отчетного периода?\n"
                                            "(«Нет» — выбрать файл данных.)")
                                 .arg(qt(earlier->readingText));
    if (!dialogs_.question(this, question))
        return std::nullopt;
    if (!checksumOk(earlier->image) && !userInterface_->askYesNo(kChecksumQuestionFile))
        return false;
    try {
        return applyPreviousReading(
            session_, earlier->image, "В архивном считывании от " + earlier->readingText, *userInterface_);
    } catch (const std::exception& error) {
        dialogs_.message(this, qt(error.what()));
        return false;
    }
}

void TfMain::PkrSaveExecute()
{
    if (busy_ > 0 || transferRunning_ || !transfer_)
        return;
    BusyScope busy(*this);
    ServicePage page = servicePageFromWidgets();
    std::unique_ptr<OperatorIdentification> window;
    OperatorIdentification* identification = identification_;
    if (identification == nullptr) {
        window = makeOperatorIdentification(this);
        identification = window.get();
    }
    // The image keeps what was composed, so "Сохранить" stores it.
    writeConfiguration(page, session_.image, credentials_, *transfer_, clock_, *userInterface_, *identification,
        session_.locale);
    if (!closed_)
        toolsPage_->applyWriteBack(page);
}

void TfMain::HelpExecute() { dialogs_.showHelp(this, kHelpContents); }

void TfMain::makeReport(int tag, ReportMode mode)
{
    if (busy_ > 0 || transferRunning_)
        return;
    BusyScope busy(*this);
    const MainView view = viewFromWidgets();
    const ReportInput input{view, session_.cycleRows, session_.stats, session_.locale, history_->assessment()};
    gui::makeReport(tag, mode, input, folders_, dialogs_, *userInterface_, this);
}

void TfMain::saveReportPdf(int tag)
{
    if (busy_ > 0 || transferRunning_)
        return;
    BusyScope busy(*this);
    const MainView view = viewFromWidgets();
    const ReportInput input{view, session_.cycleRows, session_.stats, session_.locale, history_->assessment()};
    const QString saved = gui::saveReportPdf(tag, input, folders_, dialogs_, *userInterface_, this);
    if (saved.isEmpty())
        return;
    QLabel* panel = statusPanels_[0];
    const QString prefix = qt(kPdfSavedStatus);
    const int room = std::max(panel->contentsRect().width(), kPanelWidths[0]) - 8
        - panel->fontMetrics().horizontalAdvance(prefix);
    setStatusText(prefix
        + panel->fontMetrics().elidedText(QDir::toNativeSeparators(QFileInfo(saved).absoluteFilePath()),
            Qt::ElideMiddle, std::max(room, 40)));
}

void TfMain::stepChanged(int step)
{
    if (step < 1)
        return;
    session_.view.distribution.step = step;
    showLoadDistribution(session_.stats, session_.view.distribution);
    distributionPage_->showDistribution(session_.view.distribution);
}

void TfMain::openCycleDetail(const QString& dateText)
{
    chosenRecord_ = findCycleRecord(session_.image, dateText.toStdString());
    if (!chosenRecord_ || busy_ > 0 || transferRunning_)
        return;
    // Created for one showing and gone when it closes.
    TfOper window(session_.image, chosenRecord_->stamp, dialogs_, this);
    if (runCycleDetail_)
        runCycleDetail_(window);
    else
        window.exec();
}

void TfMain::readArea()
{
    if (busy_ > 0 || transferRunning_ || !transfer_)
        return;
    BusyScope busy(*this);
    extendedPage_->showNormalisedAreaFields();
    AreaFields fields = extendedPage_->areaFields();
    const auto result = bbGetRAMClick(*transfer_, fields, readCheck());
    if (closed_)
        return;
    extendedPage_->setAreaFields(fields);
    if (result)
        extendedPage_->showMemoryDump(result->range.start, result->bytes);
}

void TfMain::eraseArea()
{
    if (busy_ > 0 || transferRunning_ || !transfer_)
        return;
    BusyScope busy(*this);
    extendedPage_->showNormalisedAreaFields();
    AreaFields fields = extendedPage_->areaFields();
    const EraseResult result = bbEraseClick(*transfer_, fields);
    if (closed_)
        return;
    extendedPage_->setAreaFields(fields);
    // Once the device has been written to, the table no longer shows what it holds.
    if (result == EraseResult::Erased || result == EraseResult::Failed)
        extendedPage_->clearMemoryDump();
}

} // namespace kestrel::gui
