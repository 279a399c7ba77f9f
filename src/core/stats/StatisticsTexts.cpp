#include "core/stats/StatisticsTexts.h"

#include "core/text/NumberFormat.h"

#include <string>

namespace kestrel {

namespace {

std::string classText(const char* letter, std::int32_t number)
{
    return number == kClassNotComputed ? std::string() : letter + std::to_string(number);
}

} // namespace

StatisticsView statisticsTexts(const StatisticsBlocks& blocks, const DisplayLocale& locale)
{
    StatisticsView view;

    const LoadStatistics& crane = blocks[kCrane];
    view.eKp = formatFixed(crane.coefficient, 2, locale);
    view.eQi = classText("Q", crane.loadClass);
    view.eUi = classText("U", crane.usageClass);
    view.eAi = classText("A", crane.group);
    view.eNcicl = std::to_string(crane.totalCycles);
    view.eMoto = formatFixed(crane.motorHours, 1, locale);
    view.eKranHar = formatFixed(crane.characteristicNumber, 2, locale);
    view.eStop = std::to_string(crane.limiterTrips);
    view.eMass = formatFixed(crane.liftedMass, 1, locale);

    for (std::size_t column = 0; column < 2; ++column) {
        const LoadStatistics& winch = blocks[column == 0 ? kWinch1 : kWinch2];
        view.lvCommon[0][column] = formatFixed(winch.coefficient, 2, locale);
        view.lvCommon[1][column] = classText("L", winch.loadClass);
        view.lvCommon[2][column] = classText("T", winch.usageClass);
        view.lvCommon[3][column] = classText("M", winch.group);
        view.lvCommon[4][column] = formatFixed(winch.characteristicNumber, 2, locale);
        view.lvCommon[5][column] = std::to_string(winch.totalCycles);
        view.lvCommon[6][column] = formatFixed(winch.liftedMass, 1, locale);
    }
    return view;
}

} // namespace kestrel
