#pragma once

#include "core/config/OperatorIdentification.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace kestrel::gui::test {

// The operator identification of a write-back, answered from a queue (empty: not
// confirmed). `whileAsked` runs inside each question, while the write-back is under way.
class ScriptedOperatorIdentification : public OperatorIdentification {
public:
    std::deque<std::optional<OperatorCredentials>> answers;
    std::vector<std::string> recorderNumbers; // what each question was given
    std::function<void()> whileAsked;

    std::optional<OperatorCredentials> identify(const std::string& recorderNumber) override
    {
        recorderNumbers.push_back(recorderNumber);
        if (whileAsked)
            whileAsked();
        if (answers.empty())
            return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

} // namespace kestrel::gui::test
