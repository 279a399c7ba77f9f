#include "core/pipeline/Pipeline.h"

#include "core/image/Checksum.h"
#include "core/image/DataFile.h"
#include "core/image/ImageLayout.h"
#include "core/image/TimeStamp.h"
#include "core/records/CycleListTexts.h"
#include "core/records/IdentificationOutput.h"
#include "core/records/RecordDecoder.h"
#include "core/stats/Classification.h"
#include "core/stats/LoadDistribution.h"
#include "core/stats/StatisticsTexts.h"

#include <exception>

namespace kestrel {

bool showIdentification(Session& s, UserInterface& ui)
{
    try {
        fillIdentification(s.image, s.periodStart, s.locale, s.view.identification, s.view.settings);
        return true;
    } catch (const std::exception&) {
        ui.showMessage(kIdentificationFailedMessage);
        return false;
    }
}

bool decodeRecords(Session& s, UserInterface& ui)
{
    try {
        decodeImage(s.image, s.stats, s.cycleRows);
        return true;
    } catch (const std::exception&) {
        ui.showMessage(kDecodingFailedMessage);
        return false;
    }
}

bool calcClassification(Session& s, UserInterface& ui)
{
    ui.processMessages();
    try {
        classifyLoads(s.stats);
        // The reading date is converted only where the elapsed time needs it: an impossible
        // date (31 February) fails that step and keeps the totals, masses and classes above.
        const DateTime periodEnd = stampToDateTime(stampAt(s.image, layout::kReadingStamp));
        classifyUsage(s.stats, s.periodStart, periodEnd, readI8(s.image, layout::kServiceLife));
        return true;
    } catch (const std::exception&) {
        ui.showMessage(kStatisticsFailedMessage);
        return false;
    }
}

void fillCycleLists(Session& s)
{
    const float cap1 = s.stats[kWinch1].capacity;
    const float cap2 = s.stats[kWinch2].capacity;
    s.view.lvLast.clear();
    s.view.lvStop.clear();
    for (std::size_t k = 0; k < layout::kRingSlots; ++k)
        s.view.lvLast.push_back(cycleListRow(s.cycleRows[k], cap1, cap2, true, s.locale));
    for (std::size_t k = layout::kRingSlots; k < s.cycleRows.size(); ++k)
        s.view.lvStop.push_back(cycleListRow(s.cycleRows[k], cap1, cap2, false, s.locale));
}

void showStatistics(Session& s)
{
    try {
        s.view.statistics = statisticsTexts(s.stats, s.locale);
        showLoadDistribution(s.stats, s.view.distribution);
        fillCycleLists(s);
    } catch (const std::exception&) {
        // The page keeps what was filled; this step has no message of its own.
    }
}

void processImage(Session& s, UserInterface& ui)
{
    showIdentification(s, ui);
    decodeRecords(s, ui);
    calcClassification(s, ui);
    showStatistics(s);
}

void resetPeriodStart(Session& s) { s.periodStart = readI32(s.image, layout::kInstallationDay); }

bool loadImage(Session& s, const MemoryImage& image, UserInterface& ui)
{
    s.image = image;
    if (!checksumOk(s.image) && !ui.askYesNo(kChecksumQuestionFile))
        return false;
    resetPeriodStart(s);
    processImage(s, ui);
    return true;
}

bool loadImageFile(Session& s, const std::string& fileName, UserInterface& ui)
{
    return loadImage(s, readImageFile(fileName), ui);
}

} // namespace kestrel
