#pragma once

#include "core/image/ByteAccess.h"
#include "core/image/DateTime.h"
#include "core/text/DisplayLocale.h"
#include "core/view/MainView.h"

namespace kestrel {

// Copies the passport, recorder, program and settings fields of the image into the
// view, field by field in the window's order. Throws on the first field that cannot
// be shown; the fields filled before it keep their new texts.
void fillIdentification(ConstBytes image, DateTime periodStart, const DisplayLocale& locale,
    IdentificationView& identification, SettingsView& settings);

// The program caption: name and version, ending at the name's first zero byte.
std::string versionCaption(ConstBytes image);

// Spin field ranges of the thresholds, in the order of the settings page.
struct ThresholdRange {
    int minimum;
    int maximum;
};
extern const std::array<ThresholdRange, 13> kThresholdRanges;

} // namespace kestrel
