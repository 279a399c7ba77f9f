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
};

} // namespace kestrel
