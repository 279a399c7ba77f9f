#include "core/life/ReadingFigures.h"

#include "core/image/ByteAccess.h"
#include "core/image/Checksum.h"
#include "core/image/ImageLayout.h"
#include "core/image/TimeStamp.h"
#include "core/pipeline/Pipeline.h"
#include "core/ui/ScriptedUserInterface.h"

#include <algorithm>
#include <memory>

namespace kestrel {

namespace {

DateTime readingDate(const MemoryImage& image)
{
    try {
        return stampToDateTime(stampAt(image, layout::kReadingStamp));
    } catch (const DateConversionError&) {
        return 0.0; // 31 February names no date
    }
}

std::string readingText(const MemoryImage& image, DateTime reading)
{
    if (reading == 0.0)
        return {};
    std::string text = stampText(stampAt(image, layout::kReadingStamp));
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

// Runs the window's processing on the session, answering nothing and showing nothing.
ReadingFigures processed(Session& session, const MemoryImage& reading)
{
    ScriptedUserInterface silent;
    processImage(session, silent);
    ReadingFigures figures;
    // A failure of the other steps (a text, an impossible reading date) leaves these figures whole.
    const bool decoded = std::ranges::find(silent.messages, std::string(kDecodingFailedMessage)) == silent.messages.end();
    figures.dutyKnown = decoded && session.stats[kCrane].loadClass != kClassNotComputed;
    figures.reading = readingDate(reading);
    figures.readingText = readingText(reading, figures.reading);
    figures.installation = readI32(reading, layout::kInstallationDay);
    figures.periodStart = session.periodStart;
    figures.checksumOk = checksumOk(reading);
    figures.stats = session.stats;
    const StatisticsView& view = session.view.statistics;
    figures.cycles = view.eNcicl;
    figures.kp = view.eKp;
    figures.q = view.eQi;
    figures.u = view.eUi;
    figures.a = view.eAi;
    figures.limiterTrips = view.eStop;
    figures.motorHours = view.eMoto;
    return figures;
}

} // namespace

ReadingFigures figuresOfReading(const MemoryImage& image, const DisplayLocale& locale)
{
    auto session = std::make_unique<Session>();
    session->image = image;
    session->locale = locale;
    resetPeriodStart(*session);
    return processed(*session, image);
}

ReadingFigures figuresOfPeriod(const MemoryImage& later, const MemoryImage& earlier, const DisplayLocale& locale)
{
    auto session = std::make_unique<Session>();
    session->image = later;
    session->locale = locale;
    subtractEarlierReading(session->image, earlier);
    session->periodStart = readingDate(earlier);
    return processed(*session, later);
}

} // namespace kestrel
