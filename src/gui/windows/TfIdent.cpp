#include "gui/windows/TfIdent.h"

#include "core/config/OperatorIdentificationRules.h"

#include "ui_TfIdent.h"

#include <QLayout>
#include <QValidator>

namespace kestrel::gui {

namespace {

// A length limit that restrains typing and pasting only: unlike QLineEdit's maximum
// length it keeps a longer start text, which may then only get shorter.
class TypingLimit : public QValidator {
public:
    TypingLimit(QLineEdit* edit, int limit) : QValidator(edit), limit_(limit), accepted_(edit->text().size())
    {
        // The edit shows the changed text while it is validated: remember the last one.
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { accepted_ = text.size(); });
    }

    State validate(QString& input, int& /*position*/) const override
    {
        return input.size() <= limit_ || input.size() <= accepted_ ? Acceptable : Invalid;
    }

private:
    int limit_;
    qsizetype accepted_;
};

} // namespace

struct TfIdent::Ui : ::Ui_TfIdent {};

TfIdent::TfIdent(const QString& recorderNumber, QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui>())
{
    ui_->setupUi(this);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    ui_->eOperator->setMaxLength(static_cast<int>(kOperatorNameLimit));
    ui_->ePassword->setText(QString::fromStdString(defaultAccessCode(recorderNumber.toStdString())));
    // After the start text: the limit measures every change against it.
    ui_->ePassword->setValidator(new TypingLimit(ui_->ePassword, static_cast<int>(kAccessCodeLimit)));
    ui_->eOperator->clear();
    ui_->bbOk->setEnabled(false);
    ui_->eOperator->setFocus();

    connect(ui_->eOperator, &QLineEdit::textChanged, this, &TfIdent::eOperatorChange);
    connect(ui_->bbOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->bbCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfIdent::~TfIdent() = default;

QString TfIdent::operatorName() const { return ui_->eOperator->text(); }

QString TfIdent::accessCode() const { return ui_->ePassword->text(); }

void TfIdent::eOperatorChange()
{
    ui_->bbOk->setEnabled(
        identificationConfirmable(ui_->eOperator->text().toStdString(), ui_->ePassword->text().toStdString()));
}

} // namespace kestrel::gui
