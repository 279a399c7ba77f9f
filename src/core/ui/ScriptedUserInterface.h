#pragma once

#include "core/ui/UserInterface.h"

#include <deque>
#include <string>
#include <vector>

namespace kestrel {

// Records everything shown and answers from scripts: for tests and the command line.
class ScriptedUserInterface : public UserInterface {
public:
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::vector<std::string> statusTexts;
    std::vector<std::pair<int, int>> progress;
    int messagePumps = 0;

    // Answers to askYesNo in order; when empty, `defaultAnswer`.
    std::deque<bool> yesNoAnswers;
    bool defaultAnswer = true;
    // Answers to inputText in order (nullopt = cancel); when empty, the initial text is accepted.
    std::deque<std::optional<std::string>> inputAnswers;

    void showMessage(const std::string& text) override { messages.push_back(text); }
    bool askYesNo(const std::string& text) override
    {
        questions.push_back(text);
        if (yesNoAnswers.empty())
            return defaultAnswer;
        const bool a = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return a;
    }
    std::optional<std::string> inputText(
        const std::string& caption, const std::string& prompt, const std::string& initial) override
    {
        questions.push_back(caption + "\n" + prompt);
        if (inputAnswers.empty())
            return initial;
        auto a = inputAnswers.front();
        inputAnswers.pop_front();
        return a;
    }
    void setStatusText(const std::string& text) override { statusTexts.push_back(text); }
    void setProgress(int position, int maximum) override { progress.emplace_back(position, maximum); }
    void processMessages() override { ++messagePumps; }

    std::vector<std::pair<std::string, std::string>> errorBoxes; // caption, text
    bool terminate = false;
    std::vector<bool> transferRunning;
    void showError(const std::string& caption, const std::string& text) override { errorBoxes.emplace_back(caption, text); }
    bool terminateRequested() override { return terminate; }
    void setTransferRunning(bool running) override { transferRunning.push_back(running); }
};

} // namespace kestrel
