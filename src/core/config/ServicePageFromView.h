#pragma once

#include "core/config/ServicePage.h"
#include "core/view/MainView.h"

namespace kestrel {

// The service page as the window shows it after an image was read or opened: the
// passport and recorder edits, the installation date picker, the switch boxes, the
// spin edits, sgVylet and the "Qo"/"Qном" columns of lvCalibr, all taken from the
// view the identification output filled. No operation box is ticked; the clock
// pickers hold `clock` (the window sets them to the current time when the page shows).
ServicePage servicePageFromView(const MainView& view, const ClockSetting& clock = {});

} // namespace kestrel
