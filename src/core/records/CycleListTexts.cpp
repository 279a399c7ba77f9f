#include "core/records/CycleListTexts.h"

#include "core/text/NumberFormat.h"

namespace kestrel {

std::string cycleMassText(double tonnes, const DisplayLocale& locale)
{
    return formatFixed(tonnes, tonnes > 1.0 ? 1 : 2, locale) + " т";
}

CycleListRow cycleListRow(const CycleViewRow& row, float winch1Capacity, float winch2Capacity, bool workingCycles,
    const DisplayLocale& locale)
{
    CycleListRow out;
    out.caption = row.dateText;
    const double mass = (row.winch1Load * static_cast<double>(winch1Capacity)
                            + row.winch2Load * static_cast<double>(winch2Capacity))
        * 0.01;
    out.subItems = {std::to_string(row.winch1Load) + "%", std::to_string(row.winch2Load) + "%",
        cycleMassText(mass, locale), row.stateText};
    if (workingCycles) {
        if (row.stateText.find("Стоп") != std::string::npos)
            out.icon = kIconStop;
        if (row.stateText.find("Служ.") != std::string::npos)
            out.icon = kIconService;
    }
    out.stateIcon = row.hasDetail ? kIconDetail : kIconNone;
    return out;
}

} // namespace kestrel
