#include "gui/windows/TfIdent.h"
#include "gui/windows/WindowOperatorIdentification.h"

#include "gui/support/GuiTestSupport.h"

#include <QApplication>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace kestrel;
using namespace kestrel::gui;
using kestrel::gui::test::requireChild;

namespace {


QLineEdit* edit(const QWidget& window, const char* name) { return requireChild<QLineEdit>(window, name); }
// Typed key by key, Cyrillic included (QTest::keyClicks knows ASCII only).
void type(QWidget* widget, const QString& text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

bool okEnabled(const QWidget& window) { return requireChild<QPushButton>(window, "bbOk")->isEnabled(); }

// Acts on the identification window once its modal loop runs.
void whenShown(std::function<void(TfIdent&)> act)
{
    test::whenModalShown<TfIdent>("the identification window", std::move(act));
}

} // namespace

class OperatorIdentificationWindowTest : public QObject {
    Q_OBJECT

private slots:
    void opensWithTheDefaultCodeAndOkDisabled()
    {
        TfIdent window(QStringLiteral("77"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Идентификация"));
        QCOMPARE(window.layout()->sizeConstraint(), QLayout::SetFixedSize);
        QCOMPARE(edit(window, "ePassword")->text(), QStringLiteral("#77#"));
        QCOMPARE(edit(window, "ePassword")->echoMode(), QLineEdit::Normal);
        QVERIFY(edit(window, "eOperator")->text().isEmpty());
        QCOMPARE(edit(window, "eOperator")->maxLength(), 32);
        QVERIFY(!okEnabled(window));
    }

    void okFollowsTheOperatorName()
    {
        TfIdent window(QStringLiteral("77"));
        QLineEdit* name = edit(window, "eOperator");
        type(name, QStringLiteral("И"));
        QVERIFY(okEnabled(window));
        QTest::keyClick(name, Qt::Key_Backspace);
        QVERIFY(!okEnabled(window));

        type(name, QStringLiteral("Иванов"));
        edit(window, "ePassword")->clear();
        QVERIFY(okEnabled(window)); // the code alone is not checked
        QTest::keyClick(name, Qt::Key_Backspace);
        QVERIFY(!okEnabled(window)); // the next name change sees the empty code
    }

    void codeLimitRestrainsTypingOnly()
    {
        TfIdent longNumber(QStringLiteral("1234567890ABCDEF"));
        QLineEdit* code = edit(longNumber, "ePassword");
        QCOMPARE(code->text().size(), 18);
        code->end(false);
        QTest::keyClicks(code, QStringLiteral("9"));
        QCOMPARE(code->text().size(), 18);
        QTest::keyClick(code, Qt::Key_Backspace);
        QCOMPARE(code->text(), QStringLiteral("#1234567890ABCDEF"));

        TfIdent empty(QString{});
        QLineEdit* shortCode = edit(empty, "ePassword");
        QCOMPARE(shortCode->text(), QStringLiteral("##"));
        shortCode->end(false);
        QTest::keyClicks(shortCode, QStringLiteral("abcdefgh"));
        QCOMPARE(shortCode->text(), QStringLiteral("##abcdef"));
    }

    void identifyReturnsWhatWasConfirmed()
    {
        WindowOperatorIdentification identification(nullptr);
        whenShown([](TfIdent& window) {
            type(edit(window, "eOperator"), QStringLiteral("Петров"));
            edit(window, "ePassword")->setText(QStringLiteral("1234"));
            QTest::mouseClick(requireChild<QPushButton>(window, "bbOk"), Qt::LeftButton);
        });
        const auto credentials = identification.identify("77");
        QVERIFY(credentials.has_value());
        QCOMPARE(QString::fromStdString(credentials->operatorName), QStringLiteral("Петров"));
        QCOMPARE(credentials->accessCode, std::string("1234"));

        // A new window each time: nothing typed before is offered again; Esc cancels.
        whenShown([](TfIdent& window) {
            QVERIFY(edit(window, "eOperator")->text().isEmpty());
            QCOMPARE(edit(window, "ePassword")->text(), QStringLiteral("#5#"));
            QTest::keyClick(&window, Qt::Key_Escape);
        });
        QVERIFY(!identification.identify("5").has_value());

        whenShown([](TfIdent& window) {
            type(edit(window, "eOperator"), QStringLiteral("Петров"));
            QTest::mouseClick(requireChild<QPushButton>(window, "bbCancel"), Qt::LeftButton);
        });
        QVERIFY(!identification.identify("5").has_value());
    }
};

QTEST_MAIN(OperatorIdentificationWindowTest)
#include "OperatorIdentificationWindowTest.moc"
