#pragma once

#include <QChar>
#include <QObject>

namespace kestrel::gui {

// Key filters of the identification edits. Control keys (backspace, arrows, shortcuts)
// always pass; text that arrives by pasting is not filtered, as in the original edits.

// eSrok, eYear, eRegYear: digits only.
class DigitKeyFilter : public QObject {
    Q_OBJECT
public:
    explicit DigitKeyFilter(QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// eSumGruz, eGruz1, eGruz2: digits pass, "." and "," become the locale's decimal separator.
class DecimalKeyFilter : public QObject {
    Q_OBJECT
public:
    DecimalKeyFilter(QChar separator, QObject* parent = nullptr);
    void setSeparator(QChar separator) { separator_ = separator; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QChar separator_;
};

} // namespace kestrel::gui
