#pragma once

#include <QProxyStyle>

namespace kestrel::gui {

// Hints appear after 500 ms and the next one follows at once while the pointer moves
// on within 2 500 ms.
class HintStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
        QStyleHintReturn* returnData = nullptr) const override;
};

} // namespace kestrel::gui
