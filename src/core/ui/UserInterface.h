#pragma once

#include <optional>
#include <string>

namespace kestrel {

// What long operations ask of the window: messages, questions, input, status and
// progress, and letting pending window messages run. The GUI implements it with
// Qt dialogs; tests and the command line script the answers.
class UserInterface {
public:
    virtual ~UserInterface() = default;

    // A plain message box.
    virtual void showMessage(const std::string& text) = 0;
    // A Yes/No confirmation; true for Yes.
    virtual bool askYesNo(const std::string& text) = 0;
    // An input dialog; nullopt when cancelled.
    virtual std::optional<std::string> inputText(
        const std::string& caption, const std::string& prompt, const std::string& initial)
        = 0;
    // Status bar panel 0.
    virtual void setStatusText(const std::string& text) = 0;
    // Progress bar over panel 1.
    virtual void setProgress(int position, int maximum) = 0;
    // Lets pending window messages run (repaint, clicks) during a long operation.
    virtual void processMessages() = 0;

    // An error box with its own caption (device transfers use "Прибор считывания информации").
    virtual void showError(const std::string& caption, const std::string& text)
    {
        (void)caption;
        showMessage(text);
    }
    // True once the application has been asked to quit; long transfers stop at their next pump.
    virtual bool terminateRequested() { return false; }
    // The "Загрузить" action (and whatever else would start a second transfer) is disabled while one runs.
    virtual void setTransferRunning(bool running) { (void)running; }
};

} // namespace kestrel
