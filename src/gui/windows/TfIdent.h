#pragma once

#include <QDialog>

#include <memory>

namespace kestrel::gui {

// "Идентификация": who performs the write-back (eOperator) and the access code
// (ePassword), which starts as the default built from the recorder serial number.
// bbOk confirms (Accepted), bbCancel, Esc and closing cancel.
class TfIdent : public QDialog {
    Q_OBJECT
public:
    explicit TfIdent(const QString& recorderNumber, QWidget* parent = nullptr);
    ~TfIdent() override;

    QString operatorName() const;
    QString accessCode() const;

private:
    void eOperatorChange();

    struct Ui;
    std::unique_ptr<Ui> ui_;
};

} // namespace kestrel::gui
