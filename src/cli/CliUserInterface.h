#pragma once

#include "core/ui/UserInterface.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace kestrel::cli {

// The window's dialogs on a terminal: messages and status texts go to stderr,
// questions are answered by --yes, the input dialog by a given text.
class CliUserInterface : public UserInterface {
public:
    CliUserInterface(std::ostream& err, bool answerYes) : err_(err), answerYes_(answerYes) {}

    void setInputAnswer(std::string text) { inputAnswer_ = std::move(text); }
    bool questionRefused() const { return questionRefused_; }

    void showMessage(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    std::optional<std::string> inputText(
        const std::string& caption, const std::string& prompt, const std::string& initial) override;
    void setStatusText(const std::string& text) override;
    void setProgress(int, int) override {}
    void processMessages() override {}

private:
    std::ostream& err_;
    bool answerYes_;
    bool questionRefused_ = false;
    std::optional<std::string> inputAnswer_;
};

} // namespace kestrel::cli
