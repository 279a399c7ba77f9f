#pragma once

#include "core/config/OperatorIdentification.h"
#include "core/config/ServicePage.h"
#include "core/device/Clock.h"
#include "core/pipeline/Session.h"
#include "core/reports/ReportDispatch.h"
#include "core/records/CycleRecordLookup.h"
#include "gui/app/ProgramFolders.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QMenu;
class QProgressBar;
class QToolButton;

namespace Ui {
class TfMain;
}

namespace kestrel {
enum class ReadCheck;
class ReaderDeviceTransfer;
class TI2C;
} // namespace kestrel

namespace kestrel::gui {

class DistributionPage;
class ExtendedPage;
class GuiDialogs;
class GuiUserInterface;
class HistoryController;
class FleetController;
class FleetPage;
class HistoryPage;
class MainPage;
class OperPage;
class TDataModule1;
class TfOper;
class ToolsPage;

// The main window "Регистратор параметров работы крана": owns the session (image,
// decoded values, texts), the bus master over the printer port and the pages; runs the
// load pipelines and the documents. Every widget shows what session().view holds after
// each operation; documents are made from what the widgets show.
class TfMain : public QMainWindow {
    Q_OBJECT
public:
    struct Options {
        GuiDialogs* dialogs = nullptr; // required
        Clock* clock = nullptr;        // required: the bus timing and the device pauses
        // Where the port library and the help topics are; empty: the program file's folder.
        QString programFolder;
        // Where "Данные", "Отчеты" and "$temp$.html" are; empty: the program folder
        // when writable, else the per-user application data folder.
        QString workFolder;
        std::optional<DisplayLocale> locale; // empty: the system's
        bool extended = false;               // show tsExtended, gbPSI, chbProgram and chbErase
        bool verifyReads = false;            // "Загрузить" and "Прочитать" read twice and compare
        // Who performs a write-back; empty: the operator identification window.
        OperatorIdentification* identification = nullptr;
        // Runs the cycle detail window instead of its modal loop (tests); empty: exec().
        std::function<void(TfOper&)> runCycleDetail;
        // The reading archive; empty: the per-user one.
        QString archivePath;
    };

    explicit TfMain(const Options& options, QWidget* parent = nullptr);
    ~TfMain() override;

    // Action handlers.
    void GetFromCopyrExecute();
    void GetFromFileExecute();
    void SaveDataExecute();
    void OpenPrevExecute();
    void PkrSaveExecute();
    void HelpExecute();
    // "Открыть" after its dialog, and the file named at start: the extension test, then pipeline B.
    void openDataFile(const QString& fileName);
    // Pipeline B: read, checksum question, processing, status bar, buttons.
    void loadFromFile(const QString& fileName);
    // A document of `tag` (1..5) previewed, printed or saved.
    void makeReport(int tag, ReportMode mode);
    // A document of `tag` (1..6) saved as PDF; the status bar names the file.
    void saveReportPdf(int tag);
    // The cycle lists' click or Enter on a row with this date text.
    void openCycleDetail(const QString& dateText);

    // The texts as the widgets show them now: what documents copy.
    MainView viewFromWidgets() const;
    // What "Записать в ПСИ" reads: the service page and the identification edits.
    ServicePage servicePageFromWidgets() const;
    // The operator name and access code confirmed at the last write-back.
    const OperatorCredentials& operatorCredentials() const { return credentials_; }

    const Session& session() const { return session_; }
    const ProgramFolders& folders() const { return folders_; }
    TDataModule1& dataModule() const { return *dataModule_; }
    MainPage& mainPage() const { return *mainPage_; }
    DistributionPage& distributionPage() const { return *distributionPage_; }
    OperPage& operPage() const { return *operPage_; }
    ToolsPage& toolsPage() const { return *toolsPage_; }
    ExtendedPage& extendedPage() const { return *extendedPage_; }
    HistoryPage& historyPage() const { return *historyPage_; }
    HistoryController& history() const { return *history_; }
    FleetPage& fleetPage() const { return *fleetPage_; }
    FleetController& fleet() const { return *fleet_; }
    QToolButton* toolButton(const QString& name) const;
    QMenu* reportMenu(ReportMode mode) const;
    QString statusText(int panel) const;
    QProgressBar* progressBar() const { return progressBar_; }
    // The record the last click on a cycle list found (the cycle detail window opens on it).
    const std::optional<CycleRecordRef>& chosenRecord() const { return chosenRecord_; }

    // What the core's user interface does on the window.
    void setStatusText(const QString& text);
    void setProgress(int position, int maximum);
    void setTransferRunning(bool running);
    bool terminateRequested() const { return terminateRequested_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    class BusyScope;

    void buildPages();
    void buildToolBar();
    void buildStatusBar();
    void assignHelpContexts();
    void showContextHelp();
    void applyVisibility();

    // Every widget from session_.view.
    void showView();
    void showMemoryDumpOfImage();
    void showFileName(const QString& fileName);
    // "Данные обработаны с ошибками: " when a step of the last processing failed.
    QString processedPrefix() const;
    void enableAfterLoad();
    void setButtonEnabled(const QString& name, bool enabled);
    void updateEnabling();
    void stepChanged(int step);
    void openArchivedReading(const MemoryImage& image, qint64 id);
    // "Начало" with the archive's earlier reading of the recorder; nullopt when the user
    // chose the file dialog instead (or the archive has none).
    std::optional<bool> startPeriodFromArchive();
    void readArea();
    void eraseArea();
    // The reader device's buses as the device text chooses them.
    void createReaderLink();
    void releaseBus();
    QString dataFileFilter() const;
    // The open dialog in "Данные" for a data file; empty when cancelled.
    QString askDataFile(const QString& title);
    ReadCheck readCheck() const;

    std::unique_ptr<Ui::TfMain> ui_;
    GuiDialogs& dialogs_;
    Clock& clock_;
    ProgramFolders folders_;
    bool extended_ = false;
    bool verifyReads_ = false;
    Session session_;
    std::unique_ptr<GuiUserInterface> userInterface_;
    std::unique_ptr<TI2C> bus_;
    std::unique_ptr<ReaderDeviceTransfer> transfer_;
    OperatorIdentification* identification_ = nullptr; // a test's; null: the window
    OperatorCredentials credentials_;
    std::function<void(TfOper&)> runCycleDetail_;

    TDataModule1* dataModule_ = nullptr;
    MainPage* mainPage_ = nullptr;
    DistributionPage* distributionPage_ = nullptr;
    OperPage* operPage_ = nullptr;
    ToolsPage* toolsPage_ = nullptr;
    ExtendedPage* extendedPage_ = nullptr;
    HistoryPage* historyPage_ = nullptr;
    HistoryController* history_ = nullptr;
    FleetPage* fleetPage_ = nullptr;
    FleetController* fleet_ = nullptr;
    QLabel* archivePanel_ = nullptr;
    QList<QLabel*> statusPanels_;
    QProgressBar* progressBar_ = nullptr;
    QMenu* PopMenuView = nullptr;
    QMenu* PopMenuPrint = nullptr;
    QMenu* PopMenuSave = nullptr;
    QMenu* PopMenuSavePdf = nullptr; // "Сохранить как PDF…"
    QHash<QString, bool> buttonEnabled_; // the buttons' own state; a busy window disables more
    std::optional<CycleRecordRef> chosenRecord_;

    int busy_ = 0;             // operations running on the session
    bool transferRunning_ = false;
    bool terminateRequested_ = false;
    bool closed_ = false;
    bool firstShow_ = true;
};

} // namespace kestrel::gui
