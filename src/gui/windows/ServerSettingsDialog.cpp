#include "gui/windows/ServerSettingsDialog.h"

#include "gui/app/BackgroundJob.h"
#ifdef KESTREL_HAVE_SERVER
#include "core/server/ServerArchive.h"
#endif

#include "ui_ServerSettingsDialog.h"

#include <QLayout>
#include <QRegularExpression>

namespace kestrel::gui {

std::unique_ptr<ReadingArchive> openTeamServer([[maybe_unused]] const std::string& connection)
{
#ifdef KESTREL_HAVE_SERVER
    return openServerArchive(connection);
#else
    throw ArchiveError("Эта сборка программы не может соединяться с сервером команды: она собрана без "
                       "клиентской библиотеки PostgreSQL (libpqxx).");
#endif
}

QString connectionRefusal(const QString& connection)
{
    // libpq allows blanks around "=", and a URI may carry the password in its query or
    // after the user name.
    static const QRegularExpression keyword(
        QStringLiteral("(^|[\\s?&])password\\s*="), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression userInfo(
        QStringLiteral("^postgres(ql)?://[^@/?#]*:[^@/?#]*@"), QRegularExpression::CaseInsensitiveOption);
    const QString text = connection.trimmed();
    if (keyword.match(text).hasMatch() || userInfo.match(text).hasMatch())
        return QStringLiteral("Пароль в строке соединения не принимается: программа не хранит паролей. "
                              "Уберите его из строки и запишите в файл паролей PostgreSQL (pgpass).");
    return {};
}

struct ServerSettingsDialog::Ui : ::Ui_ServerSettingsDialog {};

ServerSettingsDialog::ServerSettingsDialog(const QString& connection, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui>()), job_(std::make_unique<BackgroundJob>(this, std::chrono::seconds(0)))
{
    ui_->setupUi(this);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui_->eConnection->setText(connection);
    ui_->lCheckResult->clear();
    ui_->eConnection->setFocus();

    connect(ui_->bbCheck, &QPushButton::clicked, this, &ServerSettingsDialog::check);
    connect(ui_->bbOk, &QPushButton::clicked, this, &ServerSettingsDialog::accept);
    connect(ui_->bbCancel, &QPushButton::clicked, this, &QDialog::reject);
    // What was said of the old text does not hold for a new one.
    connect(ui_->eConnection, &QLineEdit::textEdited, this, [this] {
        ++checkNumber_;
        ui_->lCheckResult->clear();
        ui_->bbCheck->setEnabled(true);
    });
}

// A check still connecting is left to end on its own: closing does not wait for the network.
ServerSettingsDialog::~ServerSettingsDialog() = default;

QString ServerSettingsDialog::connection() const { return ui_->eConnection->text().trimmed(); }

bool ServerSettingsDialog::checking() const { return job_->running(); }

void ServerSettingsDialog::showResult(const QString& text, bool good)
{
    ui_->lCheckResult->setText(text);
    ui_->lCheckResult->setStyleSheet(good ? QStringLiteral("QLabel { color: #006000; }")
                                          : QStringLiteral("QLabel { color: #b00000; }"));
}

void ServerSettingsDialog::accept()
{
    if (const QString refusal = connectionRefusal(connection()); !refusal.isEmpty()) {
        showResult(refusal, false);
        ui_->eConnection->setFocus();
        return;
    }
    QDialog::accept();
}

void ServerSettingsDialog::check()
{
    const QString text = connection();
    if (text.isEmpty()) {
        showResult(QStringLiteral("Укажите сервер."), false);
        return;
    }
    if (const QString refusal = connectionRefusal(text); !refusal.isEmpty()) {
        showResult(refusal, false);
        return;
    }
    if (job_->running()) {
        // The earlier check still waits for its server; its answer is not shown, a new one starts after it.
        showResult(QStringLiteral("Предыдущая проверка еще не закончилась."), false);
        return;
    }
    const int number = ++checkNumber_;
    ui_->bbCheck->setEnabled(false);
    showResult(QStringLiteral("Соединение с сервером…"), true);
    job_->start([this, number, connection = text.toStdString()](BackgroundJob::Context& context) {
        QString answer;
        bool connected = false;
        try {
            // Opening checks the schema version too: a database that is not Kestrel's fails here.
            openTeamServer(connection);
            connected = true;
            answer = QStringLiteral("Соединение установлено: архив команды доступен.");
        } catch (const std::exception& error) {
            answer = QStringLiteral("Соединение не установлено. ") + QString::fromStdString(error.what());
        }
        // `this` is used on the GUI thread only, while the dialog lives.
        context.post([this, number, answer, connected] {
            ui_->bbCheck->setEnabled(true);
            if (number != checkNumber_)
                return;
            showResult(answer, connected);
            emit checkFinished(connected);
        });
    });
}

} // namespace kestrel::gui
