#include "core/pipeline/Pipeline.h"

#include "core/config/ConfigurationMemory.h"
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

namespace {

// Classes a failing step could not compute are shown empty: "U0" or "Q0" would pass for a result.
void forgetClasses(Session& s, bool loadClassesToo)
{
    for (LoadStatistics& block : s.stats) {
        if (loadClassesToo)
            block.loadClass = kClassNotComputed;
        block.usageClass = kClassNotComputed;
        block.group = kClassNotComputed;
    }
}

} // namespace

bool calcClassification(Session& s, UserInterface& ui)
{
    ui.processMessages();
    bool loadsClassified = false;
    try {
        classifyLoads(s.stats);
        loadsClassified = true;
        // The reading date is converted only where the elapsed time needs it: an impossible
        // date (31 February) fails that step and keeps the totals, masses and classes above.
        const DateTime periodEnd = stampToDateTime(stampAt(s.image, layout::kReadingStamp));
        classifyUsage(s.stats, s.periodStart, periodEnd, readI8(s.image, layout::kServiceLife));
        return true;
    } catch (const std::exception&) {
        forgetClasses(s, !loadsClassified);
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

bool processImage(Session& s, UserInterface& ui)
{
    bool complete = showIdentification(s, ui);
    complete = decodeRecords(s, ui) && complete;
    complete = calcClassification(s, ui) && complete;
    showStatistics(s);
    s.processingFailed = !complete;
    return complete;
}

void clearDecoded(Session& s)
{
    const int step = s.view.distribution.step;
    s.view = MainView{};
    s.view.distribution.step = step;
    s.stats = StatisticsBlocks{};
    s.cycleRows = CycleRows{};
    s.processingFailed = false;
}

void resetPeriodStart(Session& s) { s.periodStart = readI32(s.image, layout::kInstallationDay); }

void startReading(Session& s, const MemoryImage& reading, UserInterface& ui, bool whole)
{
    s.image = reading;
    s.hasReading = true;
    s.wholeReading = whole;
    clearDecoded(s);
    resetPeriodStart(s);
    if (!processImage(s, ui))
        ui.setStatusText(kProcessedWithErrorsStatus);
}

std::string shortFileQuestion(const std::string& fileName, std::size_t bytesSupplied)
{
    return "Файл данных «" + fileName + "» короче памяти регистратора: в нем " + std::to_string(bytesSupplied)
        + " байт из " + std::to_string(kImageSize)
        + ", недостающее заполнено нулями.\nДанные неполные. Продолжить обработку?";
}

bool holdsConfiguration(const MemoryImage& reading, const std::string& where, UserInterface& ui)
{
    const auto configuration = configurationMemoryOf(reading);
    if (configuration)
        ui.showMessage(configurationMemoryMessage(*configuration, where));
    return configuration.has_value();
}

bool loadImage(Session& s, const MemoryImage& image, UserInterface& ui)
{
    if (holdsConfiguration(image, "Считывание из архива", ui))
        return false;
    if (!checksumOk(image) && !ui.askYesNo(kChecksumQuestionFile))
        return false;
    startReading(s, image, ui);
    return true;
}

bool loadImageFile(Session& s, const std::string& fileName, UserInterface& ui)
{
    std::size_t bytesSupplied = 0;
    const MemoryImage reading = readImageFile(fileName, &bytesSupplied);
    if (holdsConfiguration(reading, "Файл «" + fileName + "»", ui))
        return false;
    // A short file is said to be short: its checksum would blame the device's reading.
    if (bytesSupplied < kImageSize) {
        if (!ui.askYesNo(shortFileQuestion(fileName, bytesSupplied)))
            return false;
    } else if (!checksumOk(reading) && !ui.askYesNo(kChecksumQuestionFile)) {
        return false;
    }
    startReading(s, reading, ui, bytesSupplied == kImageSize);
    return true;
}

} // namespace kestrel
