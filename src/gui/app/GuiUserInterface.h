#pragma once

#include "core/ui/UserInterface.h"

namespace kestrel::gui {

class GuiDialogs;
class TfMain;

// The core's user interface on the main window: dialogs through GuiDialogs, status
// panel 0, the progress bar, and the window's message loop.
class GuiUserInterface : public UserInterface {
public:
    GuiUserInterface(TfMain& window, GuiDialogs& dialogs);

    void showMessage(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    std::optional<std::string> inputText(
        const std::string& caption, const std::string& prompt, const std::string& initial) override;
    void setStatusText(const std::string& text) override;
    void setProgress(int position, int maximum) override;
    void processMessages() override;
    void showError(const std::string& caption, const std::string& text) override;
    bool terminateRequested() override;
    void setTransferRunning(bool running) override;

private:
    TfMain& window_;
    GuiDialogs& dialogs_;
};

} // namespace kestrel::gui
