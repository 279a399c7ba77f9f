#include "gui/app/GuiUserInterface.h"

#include "gui/app/GuiDialogs.h"
#include "gui/app/TfMain.h"

#include <QCoreApplication>

namespace kestrel::gui {

namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }

} // namespace

GuiUserInterface::GuiUserInterface(TfMain& window, GuiDialogs& dialogs) : window_(window), dialogs_(dialogs) {}

void GuiUserInterface::showMessage(const std::string& text) { dialogs_.message(&window_, qt(text)); }

bool GuiUserInterface::askYesNo(const std::string& text) { return dialogs_.question(&window_, qt(text)); }

std::optional<std::string> GuiUserInterface::inputText(
    const std::string& caption, const std::string& prompt, const std::string& initial)
{
    const auto answer = dialogs_.input(&window_, qt(caption), qt(prompt), qt(initial));
    if (!answer)
        return std::nullopt;
    return answer->toStdString();
}

void GuiUserInterface::setStatusText(const std::string& text) { window_.setStatusText(qt(text)); }

void GuiUserInterface::setProgress(int position, int maximum) { window_.setProgress(position, maximum); }

void GuiUserInterface::processMessages() { QCoreApplication::processEvents(); }

void GuiUserInterface::showError(const std::string& caption, const std::string& text)
{
    dialogs_.error(&window_, qt(caption), qt(text));
}

bool GuiUserInterface::terminateRequested() { return window_.terminateRequested(); }

void GuiUserInterface::setTransferRunning(bool running) { window_.setTransferRunning(running); }

} // namespace kestrel::gui
