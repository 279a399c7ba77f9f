#include "gui/app/HintStyle.h"

namespace kestrel::gui {

int HintStyle::styleHint(
    StyleHint hint, const QStyleOption* option, const QWidget* widget, QStyleHintReturn* returnData) const
{
    if (hint == SH_ToolTip_WakeUpDelay)
        return 500;
    if (hint == SH_ToolTip_FallAsleepDelay)
        return 2500;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

} // namespace kestrel::gui
