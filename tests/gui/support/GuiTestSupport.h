#pragma once

#include "core/device/FakeClock.h"
#include "core/image/MemoryImage.h"
#include "gui/app/ScriptedGuiDialogs.h"
#include "gui/app/TfMain.h"
#include "gui/support/ScriptedOperatorIdentification.h"

#include <QApplication>
#include <QJsonObject>
#include <QTimer>
#include <QLineEdit>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <functional>
#include <memory>

namespace kestrel::gui::test {

// Acts on a modal window of type `Window` once its modal loop runs; `what` names it when
// it is not open. The window is rejected afterwards if a failed check left it open, so
// the modal loop never waits for ever.
template <typename Window, typename Act> void whenModalShown(const char* what, Act act)
{
    QTimer::singleShot(0, [what, act] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        if (window == nullptr)
            qFatal("%s is not open", what);
        act(*window);
        if (window->isVisible())
            window->reject();
    });
}

// A child of `parent` by object name; the test stops at once when there is none, so a
// renamed widget fails loudly instead of crashing on a null pointer.
template <typename T> T* requireChild(const QObject& parent, const char* name)
{
    T* found = parent.findChild<T*>(QString::fromUtf8(name));
    if (found == nullptr)
        qFatal("no child %s", name);
    return found;
}

// The main window as the program builds it, but with scripted dialogs, a fake clock
// (device transfers at full speed), the Russian display locale and a temporary folder
// for "Данные", "Отчеты" and the temporary report. A write-back asks `identification`.
struct WindowHarness {
    ScriptedGuiDialogs dialogs;
    FakeClock clock;
    ScriptedOperatorIdentification identification;
    QTemporaryDir work;
    std::unique_ptr<TfMain> window;
    // The cycle detail window runs this instead of its modal loop; it is gone afterwards.
    std::function<void(TfOper&)> onCycleDetail;
    int cycleDetailOpenings = 0;

    explicit WindowHarness(bool extended = false);
    ~WindowHarness();

    QString path(const QString& name) const { return work.filePath(name); }
    // Writes makeDemoImage(seed) (or `image`) to a file in the work folder.
    QString writeDemo(std::uint32_t seed, const QString& name = QStringLiteral("demo.bbd")) const;
    QString writeImage(const MemoryImage& image, const QString& name) const;
    // "Открыть" with the file chosen in the dialog.
    void open(const QString& fileName);

    QLineEdit* edit(const QString& name) const;
    bool buttonEnabled(const char* name) const;
};

// The buttons every load enables.
inline constexpr const char* kLoadButtons[]
    = {"tbStartReport", "tbSave", "tbSaveHTML", "tbPrint", "tbPreview", "tbSavePDF"};

// Every named edit and every cell of every list, as the user sees them, sorted.
QStringList shownTexts(const WindowHarness& h);

MemoryImage readFile(const QString& fileName);
QByteArray fileBytes(const QString& fileName);
// Makes the even-offset XOR come out zero again after bytes were changed.
void fixChecksum(MemoryImage& image);

// kestrel-cli with arguments; the exit code through `exitCode`.
QByteArray runCli(const QStringList& arguments, int* exitCode = nullptr);
// `kestrel-cli show FILE --json --locale ru_RU` plus `extra`.
QJsonObject cliShow(const QString& file, const QStringList& extra = {});
// `kestrel-cli report FILE --doc TAG --limit LIMIT --locale ru_RU`: the document's bytes.
QByteArray cliReport(const QString& file, int tag, const QString& limit);

} // namespace kestrel::gui::test
