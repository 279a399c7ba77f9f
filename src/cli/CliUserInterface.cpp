#include "cli/CliUserInterface.h"

#include <ostream>

namespace kestrel::cli {

void CliUserInterface::showMessage(const std::string& text) { err_ << text << "\n"; }

bool CliUserInterface::askYesNo(const std::string& text)
{
    if (answerYes_)
        return true;
    err_ << text << "\n";
    questionRefused_ = true;
    return false;
}

std::optional<std::string> CliUserInterface::inputText(const std::string&, const std::string&, const std::string& initial)
{
    return inputAnswer_ ? inputAnswer_ : std::optional<std::string>(initial);
}

void CliUserInterface::setStatusText(const std::string& text) { err_ << text << "\n"; }

} // namespace kestrel::cli
