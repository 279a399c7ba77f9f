#include "core/image/Checksum.h"
#include "core/image/DataFile.h"
#include "core/pipeline/Pipeline.h"
#include "core/ui/ScriptedUserInterface.h"
#include "support/ImageBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include <sys/stat.h>

namespace kestrel {
namespace {

using test::ImageBuilder;
using namespace layout;

// A small but complete reading: installed 09.12.2025, read 07.12.2026 14:30.
ImageBuilder reading()
{
    ImageBuilder b;
    b.text(kCraneType, 32, "КПП 16/20").text(kRecorderSerial, 16, "77").i32(kInstallationDay, 46000);
    b.capacities(16.0f, 16.0f, 8.0f).byte(kServiceLife, 20);
    b.stamp(kReadingStamp, 30, 14, 7, 12, 26);
    b.bucket(1, 49, 1000).bucket(2, 79, 200).counter(kMotorMinutes, 6000).counter(kLimiterTrips, 9);
    b.byte(kCycleRingIndex, 3).record(kCycleRing, 2, 0, 10, 6, 12, 26, 50, 0, 0);
    b.record(kCycleRing, 1, 0, 9, 6, 12, 26, 60, 10, 0x01);
    b.byte(kTripRingIndex, 1).record(kTripRing, 0, 0, 11, 6, 12, 26, 105, 0, 0x01);
    return b;
}

struct PipelineFixture : ::testing::Test {
    test::TempDir dir;
    ScriptedUserInterface ui;
    Session session;

    // The message of the date failure of "Начало" with this earlier file.
    std::string dateFailureWith(const std::string& earlierPath)
    {
        try {
            applyPreviousPeriod(session, earlierPath, ui);
        } catch (const DateConversionError& e) {
            return e.what();
        }
        return "no date failure";
    }

    std::string save(const std::string& name, ImageBuilder& b)
    {
        b.fixChecksum();
        const auto path = dir.file(name);
        saveImage(path, b.image);
        return path;
    }
};

TEST_F(PipelineFixture, OpeningAFileFillsEveryPage)
{
    auto b = reading();
    ASSERT_TRUE(loadImageFile(session, save("a.bbd", b), ui));
    EXPECT_TRUE(session.hasReading && session.wholeReading);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.questions.empty());
    const auto& v = session.view;
    EXPECT_EQ(v.identification.eMarka, "КПП 16/20");
    EXPECT_EQ(session.periodStart, 46000.0);
    EXPECT_EQ(v.statistics.eNcicl, "1200");
    EXPECT_EQ(v.statistics.eStop, "9");
    EXPECT_EQ(v.statistics.eMoto, "100.0");
    EXPECT_EQ(v.distribution.lvLoad.size(), 6u);
    ASSERT_EQ(v.lvLast.size(), 32u);
    ASSERT_EQ(v.lvStop.size(), 32u);
    EXPECT_EQ(v.lvLast[0].caption, "06.12.2026 10:00 ");
    EXPECT_EQ(v.lvLast[1].subItems[3], "Стоп(Л1) ");
    EXPECT_EQ(v.lvLast[1].subItems[2], "10.4 т");
    EXPECT_EQ(v.lvStop[0].subItems[0], "105%");
    EXPECT_GE(ui.messagePumps, 1);
}

TEST_F(PipelineFixture, ZeroImageReportsEachFailingStepAndGoesOn)
{
    ImageBuilder zero;
    ASSERT_TRUE(loadImageFile(session, save("zero.bbd", zero), ui));
    EXPECT_EQ(ui.messages, (std::vector<std::string>{kDecodingFailedMessage, kStatisticsFailedMessage}));
    EXPECT_EQ(session.view.identification.eStartDateCheck, "30.12.1899");
    EXPECT_EQ(session.view.lvLast.size(), 32u); // the display still runs
    EXPECT_EQ(session.view.lvLast[0].subItems[2], "0.00 т");
}

TEST_F(PipelineFixture, ChecksumNoChangesNothing)
{
    auto good = reading();
    loadImageFile(session, save("good.bbd", good), ui);
    const MemoryImage imageBefore = session.image;
    const MainView viewBefore = session.view;

    auto bad = reading();
    bad.text(kCraneType, 32, "Другой");
    const auto path = save("bad.bbd", bad);
    MemoryImage corrupt = readImageFile(path);
    corrupt[0x10] ^= 1;
    saveImage(path, corrupt);

    ui.yesNoAnswers = {false};
    EXPECT_FALSE(loadImageFile(session, path, ui));
    EXPECT_EQ(ui.questions.back(), kChecksumQuestionFile);
    EXPECT_EQ(session.image, imageBefore);
    EXPECT_TRUE(session.view == viewBefore);

    ui.yesNoAnswers = {true};
    EXPECT_TRUE(loadImageFile(session, path, ui));
    EXPECT_EQ(session.image, corrupt);
    EXPECT_EQ(session.view.identification.eMarka, "Другой");

    // On a fresh session "Нет" leaves it holding no reading at all.
    Session fresh;
    ui.yesNoAnswers = {false};
    EXPECT_FALSE(loadImageFile(fresh, path, ui));
    EXPECT_FALSE(fresh.hasReading);
    EXPECT_EQ(fresh.image, MemoryImage{});
}

// What a freshly started program shows for a file: what the command line models.
Session freshlyOpened(const std::string& path)
{
    ScriptedUserInterface ui;
    ui.yesNoAnswers = {true};
    Session session;
    EXPECT_TRUE(loadImageFile(session, path, ui));
    return session;
}

TEST_F(PipelineFixture, AShortFileIsCalledShortAndNothingOfTheEarlierReadingSurvives)
{
    auto b = reading();
    loadImageFile(session, save("full.bbd", b), ui);
    const MemoryImage before = session.image;

    // The head of a reading of another crane: its passport and the configuration area
    // are missing, so identification and decoding fail.
    auto other = reading();
    other.text(kCraneType, 32, "Другой").bucket(1, 20, 5);
    const auto otherPath = save("other.bbd", other);
    const auto path = dir.file("short.bbd");
    {
        const MemoryImage whole = readImageFile(otherPath);
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(whole.data(), 1, 0x700, f);
        std::fclose(f);
    }
    ui.yesNoAnswers = {false};
    EXPECT_FALSE(loadImageFile(session, path, ui));
    EXPECT_EQ(ui.questions.back(), shortFileQuestion(path, 0x700));
    EXPECT_NE(ui.questions.back().find("короче памяти регистратора"), std::string::npos);
    EXPECT_EQ(session.image, before);

    ui.yesNoAnswers = {true};
    ui.statusTexts.clear();
    EXPECT_TRUE(loadImageFile(session, path, ui));
    MemoryImage expected = readImageFile(otherPath);
    std::fill(expected.begin() + 0x700, expected.end(), std::uint8_t{0});
    EXPECT_EQ(session.image, expected);
    EXPECT_FALSE(session.wholeReading); // a guess beyond the end: not for the archive
    EXPECT_TRUE(session.processingFailed);
    EXPECT_EQ(ui.statusTexts, std::vector<std::string>{kProcessedWithErrorsStatus});
    // Every text equals a fresh program's for the same file: no figure of the full reading remains.
    const Session fresh = freshlyOpened(path);
    EXPECT_TRUE(session.view == fresh.view);
    EXPECT_EQ(session.view.identification.eMarka, "");
    EXPECT_EQ(session.periodStart, fresh.periodStart);

    EXPECT_THROW(loadImageFile(session, dir.file("missing.bbd"), ui), FileError);
}

TEST_F(PipelineFixture, AMemoryHoldingAConfigurationIsNoReading)
{
    auto b = reading();
    loadImageFile(session, save("reading.bbd", b), ui);
    const MemoryImage before = session.image;

    // What a write-back leaves in the reader device: the area cleared, a clock block, the access block.
    MemoryImage written = before;
    std::fill(written.begin() + 0x60B, written.begin() + 0x900, std::uint8_t{0});
    written[0x60B] = 0x30;
    written[0x60C] = 0x14;
    written[0x60D] = 0x07;
    written[0x60E] = 0x12;
    written[0x60F] = 0x26;
    written[0x610] = 0xC8; // the operator "И"
    written[0x6F0] = '#';
    written[0x6F8] = written[0x6F9] = 0x01;
    const auto path = dir.file("config.bbd");
    saveImage(path, written);

    ui.messages.clear();
    EXPECT_FALSE(loadImageFile(session, path, ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].find("не считывание крана"), std::string::npos);
    EXPECT_NE(ui.messages[0].find("установка часов регистратора на 07.12.2026 14:30"), std::string::npos);
    EXPECT_NE(ui.messages[0].find("Записал: И."), std::string::npos);
    EXPECT_TRUE(ui.questions.empty()); // no checksum question about something that is no reading
    EXPECT_EQ(session.image, before);
}

TEST_F(PipelineFixture, PreviousPeriodNeedsTheSameRecorderAndAnEarlierReading)
{
    auto now = reading();
    const auto nowPath = save("now.bbd", now);
    loadImageFile(session, nowPath, ui);
    const MemoryImage before = session.image;

    auto other = reading();
    other.text(kRecorderSerial, 16, "78").stamp(kReadingStamp, 0, 8, 1, 6, 26);
    EXPECT_FALSE(applyPreviousPeriod(session, save("other.bbd", other), ui));
    EXPECT_EQ(ui.messages.back(), kWrongPreviousFileMessage);

    EXPECT_FALSE(applyPreviousPeriod(session, nowPath, ui)); // same date: not strictly earlier
    auto tail = reading();
    tail.byte(0x8FF, 1).stamp(kReadingStamp, 0, 8, 1, 6, 26);
    EXPECT_FALSE(applyPreviousPeriod(session, save("tail.bbd", tail), ui));
    EXPECT_EQ(session.image, before);
}

TEST_F(PipelineFixture, PreviousPeriodSubtractsCountersAndDropsKnownRecords)
{
    auto now = reading();
    loadImageFile(session, save("now.bbd", now), ui);

    auto earlier = reading();
    earlier.stamp(kReadingStamp, 0, 8, 1, 6, 26).bucket(1, 49, 400).bucket(2, 79, 205);
    earlier.counter(kMotorMinutes, 1200).counter(kLimiterTrips, 4);
    earlier.record(kCycleRing, 1, 0, 9, 6, 12, 26, 61, 10, 0x01); // differs: kept
    ASSERT_TRUE(applyPreviousPeriod(session, save("earlier.bbd", earlier), ui));

    EXPECT_EQ(readCounter24(session.image, kWinch1Spectrum + 3 * 49), 600u);
    EXPECT_EQ(readCounter24(session.image, kWinch2Spectrum + 3 * 79), 16777211u); // wraps
    EXPECT_EQ(readCounter24(session.image, kMotorMinutes), 4800u);
    EXPECT_EQ(session.view.statistics.eStop, "5");
    EXPECT_EQ(session.view.identification.eStartDateCheck, "01.06.2026");
    // Slot 2 and the trip were already there; slot 1 changed and stays.
    EXPECT_EQ(session.view.lvLast[0].caption, "");
    EXPECT_EQ(session.view.lvLast[1].caption, "06.12.2026 09:00 ");
    EXPECT_EQ(session.view.lvStop[0].caption, "");
    EXPECT_EQ(session.image[kCycleRingIndex], 3);
}

TEST_F(PipelineFixture, EarlierFileWithoutReadingDateStartsThePeriodAtDayZero)
{
    auto now = reading();
    loadImageFile(session, save("now.bbd", now), ui);
    auto earlier = reading();
    for (std::size_t i = 0; i < 5; ++i)
        earlier.byte(kReadingStamp + i, 0);
    ASSERT_TRUE(applyPreviousPeriod(session, save("earlier.bbd", earlier), ui));
    EXPECT_EQ(session.periodStart, 0.0);
    EXPECT_EQ(session.view.identification.eStartDateCheck, "30.12.1899");
}

TEST_F(PipelineFixture, CurrentImageWithoutReadingDateRefusesEveryEarlierFile)
{
    auto now = reading();
    for (std::size_t i = 0; i < 5; ++i)
        now.byte(kReadingStamp + i, 0);
    loadImageFile(session, save("now.bbd", now), ui);
    auto earlier = reading();
    earlier.stamp(kReadingStamp, 0, 8, 1, 6, 20);
    EXPECT_FALSE(applyPreviousPeriod(session, save("earlier.bbd", earlier), ui));
}

TEST_F(PipelineFixture, ImpossibleReadingDateKeepsTheFiguresComputedBeforeTheElapsedTime)
{
    // A first reading leaves usage classes behind that must not survive into the next.
    auto first = reading();
    loadImageFile(session, save("first.bbd", first), ui);
    EXPECT_FALSE(session.view.statistics.eUi.empty());

    auto b = reading();
    b.stamp(kReadingStamp, 30, 14, 31, 2, 26); // 31.02.2026
    b.bucket(1, 49, 3000).bucket(2, 99, 400);
    ui.messages.clear();
    ASSERT_TRUE(loadImageFile(session, save("feb31.bbd", b), ui));
    EXPECT_EQ(ui.messages, (std::vector<std::string>{kStatisticsFailedMessage}));
    const auto& st = session.view.statistics;
    EXPECT_EQ(st.eNcicl, "3600");
    EXPECT_EQ(session.stats[kWinch1].totalCycles, 3000);
    EXPECT_GT(session.stats[kCrane].liftedMass, 0.0f);
    EXPECT_NE(st.eMass, "0.0");
    EXPECT_NE(st.eKp, "0.00");
    EXPECT_EQ(st.eQi, "Q" + std::to_string(session.stats[kCrane].loadClass));
    EXPECT_EQ(session.stats[kWinch2].loadClass, 4); // most cycles at 100 %
    // What could not be computed is empty, not "U0" (a class that exists) or the earlier reading's.
    EXPECT_EQ(st.eUi, "");
    EXPECT_EQ(st.eAi, "");
    EXPECT_EQ(st.lvCommon[2][0], "");
    EXPECT_EQ(st.lvCommon[3][1], "");
    EXPECT_EQ(session.view.identification.eDateCheck, "31.02.2026 14:30 ");
}

TEST_F(PipelineFixture, ImpossibleReadingDateInStartOfPeriodNamesItsPlaceAndChangesNothing)
{
    auto now = reading();
    loadImageFile(session, save("now.bbd", now), ui);
    const MemoryImage before = session.image;
    auto earlier = reading();
    earlier.stamp(kReadingStamp, 0, 8, 31, 2, 26);
    const auto earlierPath = save("earlier.bbd", earlier);
    EXPECT_EQ(dateFailureWith(earlierPath), "В файле " + earlierPath
            + " указана несуществующая дата считывания 31.02.2026 08:00.\nНачало отчетного периода не изменено.");
    EXPECT_EQ(session.image, before);

    // The identification is compared first: another recorder's file is simply the wrong file.
    earlier.text(kRecorderSerial, 16, "78");
    ui.messages.clear();
    EXPECT_FALSE(applyPreviousPeriod(session, save("other.bbd", earlier), ui));
    EXPECT_EQ(ui.messages, (std::vector<std::string>{kWrongPreviousFileMessage}));

    // The current reading's own impossible date is named as such.
    auto feb31 = reading();
    feb31.stamp(kReadingStamp, 30, 14, 31, 2, 26);
    loadImageFile(session, save("feb31.bbd", feb31), ui);
    auto older = reading();
    older.stamp(kReadingStamp, 0, 8, 1, 6, 26);
    EXPECT_EQ(dateFailureWith(save("older.bbd", older)).rfind(
                  "В текущих данных регистратора указана несуществующая дата считывания 31.02.2026 14:30.", 0),
        0u);
}

TEST_F(PipelineFixture, FilesThatAreNotRegularAreRefusedAtOnce)
{
    const auto fifo = dir.file("fifo.bbd");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // With no writer, opening the pipe would wait for ever.
    try {
        loadImageFile(session, fifo, ui);
        FAIL() << "a named pipe was read";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), fifo + ": это именованный канал, а не файл данных");
    }
    EXPECT_THROW(applyPreviousPeriod(session, fifo, ui), FileError);
    EXPECT_THROW(readImageFile(dir.path().string()), FileError);
    EXPECT_THROW(readImageFile("/dev/zero"), FileError);
    EXPECT_THROW(saveImage(fifo, session.image), FileError);
}

} // namespace
} // namespace kestrel
