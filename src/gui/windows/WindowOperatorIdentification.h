#pragma once

#include "core/config/OperatorIdentification.h"

class QWidget;

namespace kestrel::gui {

// The write-back's operator identification as a window: each call opens a new TfIdent
// modally over `parent` and returns what was confirmed.
class WindowOperatorIdentification : public OperatorIdentification {
public:
    explicit WindowOperatorIdentification(QWidget* parent);
    std::optional<OperatorCredentials> identify(const std::string& recorderNumber) override;

private:
    QWidget* parent_;
};

} // namespace kestrel::gui
