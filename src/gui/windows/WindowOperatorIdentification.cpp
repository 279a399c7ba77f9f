#include "gui/windows/WindowOperatorIdentification.h"

#include "gui/windows/TfIdent.h"

namespace kestrel::gui {

WindowOperatorIdentification::WindowOperatorIdentification(QWidget* parent) : parent_(parent) {}

std::optional<OperatorCredentials> WindowOperatorIdentification::identify(const std::string& recorderNumber)
{
    // A new window each time, so nothing typed for an earlier write-back is offered again.
    TfIdent window(QString::fromStdString(recorderNumber), parent_);
    if (window.exec() != QDialog::Accepted)
        return std::nullopt;
    return OperatorCredentials{window.operatorName().toStdString(), window.accessCode().toStdString()};
}

} // namespace kestrel::gui
