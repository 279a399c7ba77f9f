#pragma once

#include "gui/app/GuiDialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace kestrel::gui {

// GuiDialogs for widget tests: records every call and answers from queues.
// An empty queue gives the "cancel" answer (No, no input, no file, no printer).
class ScriptedGuiDialogs : public GuiDialogs {
public:
    struct Call {
        QString kind;     // "message", "information", "error", "question", "input", "open", "save",
                          // "printer", "openDocument", "printDocument", "help"
        QString caption;  // caption / dialog title
        QString text;     // text / prompt / document path
        QString initial;  // input's initial text, or the file dialog's proposed name
        FileOptions file; // file dialogs only
        int context = 0;  // help only
    };

    std::deque<bool> questionAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    std::deque<bool> printerAnswers;

    std::vector<Call> calls;
    // Runs while a question is open, to see what the window shows at that moment.
    std::function<void()> whileAsking;

    void message(QWidget*, const QString& text) override { record(make("message", {}, text)); }
    void information(QWidget*, const QString& text) override { record(make("information", {}, text)); }
    void error(QWidget*, const QString& caption, const QString& text) override
    {
        record(make("error", caption, text));
    }
    bool question(QWidget*, const QString& text) override
    {
        record(make("question", {}, text));
        if (whileAsking)
            whileAsking();
        return take(questionAnswers, false);
    }
    std::optional<QString> input(
        QWidget*, const QString& caption, const QString& prompt, const QString& initial) override
    {
        record(make("input", caption, prompt, initial));
        return take(inputAnswers, std::optional<QString>{});
    }
    QString openFileName(QWidget*, const FileOptions& options) override
    {
        record(make("open", options.title, {}, options.proposedName, options));
        return take(openAnswers, QString{});
    }
    QString saveFileName(QWidget*, const FileOptions& options) override
    {
        record(make("save", options.title, {}, options.proposedName, options));
        return take(saveAnswers, QString{});
    }
    bool preparePrinter(QWidget*, QPrinter&) override
    {
        record(make("printer", {}, {}));
        return take(printerAnswers, false);
    }
    void openDocument(const QString& path) override { record(make("openDocument", {}, path)); }
    void printDocument(QWidget*, const QString& path) override
    {
        record(make("printDocument", {}, path));
    }
    void showHelp(QWidget*, int context) override
    {
        Call call = make("help", {}, {});
        call.context = context;
        record(call);
    }

    // Calls of one kind, in order.
    std::vector<Call> callsOf(const QString& kind) const
    {
        std::vector<Call> found;
        for (const Call& call : calls)
            if (call.kind == kind)
                found.push_back(call);
        return found;
    }
    QStringList kinds() const
    {
        QStringList list;
        for (const Call& call : calls)
            list << call.kind;
        return list;
    }
    void clear() { calls.clear(); }

private:
    void record(Call call) { calls.push_back(std::move(call)); }
    static Call make(const char* kind, const QString& caption, const QString& text, const QString& initial = {},
        const FileOptions& file = {})
    {
        Call call;
        call.kind = QString::fromLatin1(kind);
        call.caption = caption;
        call.text = text;
        call.initial = initial;
        call.file = file;
        return call;
    }
    template <typename T, typename Fallback> static T take(std::deque<T>& queue, Fallback fallback)
    {
        if (queue.empty())
            return T(fallback);
        T answer = std::move(queue.front());
        queue.pop_front();
        return answer;
    }
};

} // namespace kestrel::gui
