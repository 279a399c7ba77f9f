#include "core/device/reader/AreaRange.h"
#include "core/device/reader/ExtendedPageActions.h"
#include "core/device/reader/MemoryDumpTable.h"
#include "core/text/PlatformInteger.h"
#include "core/device/reader/ReaderSimulation.h"

#include <gtest/gtest.h>

#include <climits>

namespace kestrel {
namespace {

using test::ReaderSimulation;

TEST(PlatformInteger, DecimalAndTheFourHexPrefixes)
{
    for (const char* text : {"956", "$3BC", "0x3BC", "0X3bc", "x3bc", "X3BC", "  +956", "+$3bc"})
        EXPECT_EQ(platformStrToInt(text), 956) << text;
    EXPECT_EQ(platformStrToInt("-1"), -1);
    EXPECT_EQ(platformStrToInt("-$10"), -16);
    EXPECT_EQ(platformStrToInt("2147483647"), INT_MAX);
    EXPECT_EQ(platformStrToInt("-2147483648"), INT_MIN);
    EXPECT_EQ(platformStrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(platformStrToInt("0"), 0);
    EXPECT_EQ(platformStrToInt("007"), 7);
}

TEST(PlatformInteger, TextThatIsNoNumberTakesTheDefault)
{
    for (const char* text : {"", " ", "0x", "$", "-", "12 ", "1 2", "0x3BG", "порт", "2147483648", "$100000000",
             "99999999999999999999", "3.0", "0b101"})
        EXPECT_EQ(platformStrToIntDef(text, 888), 888) << text;
}

TEST(AreaRange, FieldsAreReadShortenedAndRewritten)
{
    ReaderSimulation sim;
    AreaFields fields{"0x7F00", "0x1000"};
    auto range = readAreaRange(fields, sim.ui);
    ASSERT_TRUE(range);
    EXPECT_EQ(range->start, 0x7F00);
    EXPECT_EQ(range->size, 0x0100);
    EXPECT_EQ(fields.eeStart, "0x7F00");
    EXPECT_EQ(fields.eeSize, "0x0100");

    fields = {"", ""};
    range = readAreaRange(fields, sim.ui);
    ASSERT_TRUE(range);
    EXPECT_EQ(fields.eeStart, "0x0000");
    EXPECT_EQ(fields.eeSize, "0x8000");

    fields = {"$1a", "70000"}; // 70000 taken as 16 bits is 0x1170
    range = readAreaRange(fields, sim.ui);
    ASSERT_TRUE(range);
    EXPECT_EQ(range->start, 0x1A);
    EXPECT_EQ(range->size, 0x1170);
    EXPECT_EQ(fields.eeStart, "0x001A");
    EXPECT_TRUE(sim.ui.messages.empty());
}

TEST(AreaRange, TextThatIsNoNumberIsRefusedNamingItsField)
{
    ReaderSimulation sim;
    AreaFields fields{"abc", "xyz"};
    EXPECT_FALSE(readAreaRange(fields, sim.ui));
    EXPECT_EQ(fields.eeStart, "abc"); // left as typed, to be mended
    EXPECT_EQ(fields.eeSize, "xyz");
    ASSERT_EQ(sim.ui.messages.size(), 1u);
    EXPECT_EQ(sim.ui.messages[0], "Адрес области задан неверно: «abc»\nРазмер области задан неверно: «xyz»");

    EXPECT_EQ(areaFieldsError({"0x10", "1O"}), "Размер области задан неверно: «1O»");
    EXPECT_EQ(areaFieldsError({"$", ""}), "Адрес области задан неверно: «$»");
    // Blank is no slip (the defaults), nor are blanks around a number.
    EXPECT_EQ(areaFieldsError({"  ", ""}), "");
    fields = {" 0x10 ", "\t32 "};
    const auto range = readAreaRange(fields, sim.ui);
    ASSERT_TRUE(range);
    EXPECT_EQ(range->start, 0x10);
    EXPECT_EQ(range->size, 32);
}

TEST(AreaRange, AStartOutsideTheDeviceIsRefused)
{
    ReaderSimulation sim;
    for (const char* start : {"0x8000", "0xFFFF", "-1"}) {
        AreaFields fields{start, "16"};
        EXPECT_FALSE(readAreaRange(fields, sim.ui)) << start;
        EXPECT_EQ(fields.eeSize, "0x0010");
    }
    EXPECT_EQ(sim.ui.messages, std::vector<std::string>(3, "Адрес области должен быть от 0x0000 до 0x7FFF!"));
}

TEST(MemoryDump, ThreeBytesSitUnderTheirColumns)
{
    const std::vector<std::uint8_t> bytes{0x01, 0xAB, 0xFF};
    const auto table = showMemoryDump(0x0005, bytes);
    ASSERT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.columnCount(), 17);
    EXPECT_EQ(table.cell(0, 0), "");
    EXPECT_EQ(table.cell(0, 1), "00");
    EXPECT_EQ(table.cell(0, 16), "0F");
    EXPECT_EQ(table.cell(1, 0), "0000");
    for (int column = 1; column <= 16; ++column) {
        const char* expected = column == 6 ? "01" : column == 7 ? "AB" : column == 8 ? "FF" : "";
        EXPECT_EQ(table.cell(1, column), expected) << column;
    }
}

TEST(MemoryDump, AnAreaAcrossLinesFillsTheLastRowPartly)
{
    std::vector<std::uint8_t> bytes(20);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i);
    const auto table = showMemoryDump(0x7FEE, bytes); // 0x7FEE..0x8001 spans three lines
    ASSERT_EQ(table.rowCount(), 4);
    EXPECT_EQ(table.cell(1, 0), "7FE0");
    EXPECT_EQ(table.cell(1, 14), "");
    EXPECT_EQ(table.cell(1, 15), "00");
    EXPECT_EQ(table.cell(2, 1), "02");
    EXPECT_EQ(table.cell(3, 0), "8000");
    EXPECT_EQ(table.cell(3, 2), "13");
    EXPECT_EQ(table.cell(3, 3), "");
}

TEST(MemoryDump, TheWholeImageHas2048DataRows)
{
    const MemoryImage image = makeDemoImage(3);
    const auto table = showMemoryDump(0, image);
    ASSERT_EQ(table.rowCount(), 2049);
    EXPECT_EQ(table.cell(1, 0), "0000");
    EXPECT_EQ(table.cell(2048, 0), "7FF0");
    EXPECT_EQ(table.cell(2048, 16), hexText(image[0x7FFF], 2));
    EXPECT_EQ(table.cell(1025, 9), hexText(image[0x4008], 2));
    EXPECT_THROW((void)table.cell(2049, 0), std::out_of_range);
}

TEST(MemoryDump, AnEmptyAreaStillShowsOneLine)
{
    for (const std::uint16_t start : {std::uint16_t{0x0100}, std::uint16_t{0x0105}}) {
        const auto table = showMemoryDump(start, {});
        ASSERT_EQ(table.rowCount(), 2);
        EXPECT_EQ(table.cell(1, 0), "0100");
        for (int column = 1; column <= 16; ++column)
            EXPECT_EQ(table.cell(1, column), "");
    }
}

TEST(ExtendedPage, ReadShowsTheAreaWithoutTouchingAnythingElse)
{
    ReaderSimulation sim;
    AreaFields fields{"0x7FF8", "0x20"};
    const auto result = bbGetRAMClick(sim.transfer, fields);
    ASSERT_TRUE(result);
    EXPECT_EQ(fields.eeSize, "0x0008");
    EXPECT_EQ(result->bytes, std::vector<std::uint8_t>(sim.device.memory().begin() + 0x7FF8, sim.device.memory().end()));
    EXPECT_EQ(result->table.rowCount(), 2);
    EXPECT_EQ(result->table.cell(1, 0), "7FF0");
    EXPECT_EQ(result->table.cell(1, 9), hexText(sim.device.memory()[0x7FF8], 2));
    EXPECT_EQ(result->table.cell(1, 8), "");
    // The search, the half-second after it, and the read.
    EXPECT_EQ(sim.ui.statusTexts.back(), "Данные загружены в память");
}

TEST(ExtendedPage, EraseAsksAndYesWritesZerosOverTheAreaOnly)
{
    ReaderSimulation sim;
    const MemoryImage before = sim.device.memory();
    AreaFields fields{"0x100", "0x45"};
    sim.ui.yesNoAnswers = {true};
    EXPECT_EQ(bbEraseClick(sim.transfer, fields), EraseResult::Erased);
    EXPECT_EQ(sim.ui.questions, std::vector<std::string>{"Стереть область 0x0100–0x0144 (69 байт) в ПСИ?"});
    MemoryImage expected = before;
    std::fill(expected.begin() + 0x100, expected.begin() + 0x145, std::uint8_t{0});
    EXPECT_EQ(sim.device.memory(), expected);
    EXPECT_TRUE(sim.ui.messages.empty());
}

TEST(ExtendedPage, EraseAnsweredNoOrWithASlipTouchesNothing)
{
    ReaderSimulation sim;
    const MemoryImage before = sim.device.memory();
    AreaFields whole{"", ""};
    sim.ui.yesNoAnswers = {false};
    EXPECT_EQ(bbEraseClick(sim.transfer, whole), EraseResult::Declined);
    EXPECT_EQ(sim.ui.questions, std::vector<std::string>{"Стереть область 0x0000–0x7FFF (32768 байт) в ПСИ?"});

    // Once "abc" and "xyz" erased the whole memory without a word.
    AreaFields slip{"abc", "xyz"};
    EXPECT_EQ(bbEraseClick(sim.transfer, slip), EraseResult::Refused);
    EXPECT_EQ(sim.ui.questions.size(), 1u); // nothing more asked
    EXPECT_EQ(sim.ui.messages.size(), 1u);

    EXPECT_EQ(sim.device.memory(), before);
    EXPECT_TRUE(sim.ui.statusTexts.empty()); // the port was not even searched
    EXPECT_EQ(sim.device.counters.starts, 0);
}

TEST(ExtendedPage, TheEraseQuestionNamesTheRealRangeAndCountsInRussian)
{
    EXPECT_EQ(eraseQuestion({0x7FFF, 1}), "Стереть область 0x7FFF–0x7FFF (1 байт) в ПСИ?");
    EXPECT_EQ(eraseQuestion({0x10, 2}), "Стереть область 0x0010–0x0011 (2 байта) в ПСИ?");
    EXPECT_EQ(eraseQuestion({0, 12}), "Стереть область 0x0000–0x000B (12 байт) в ПСИ?");
    EXPECT_EQ(eraseQuestion({0, 22}), "Стереть область 0x0000–0x0015 (22 байта) в ПСИ?");
    EXPECT_EQ(eraseQuestion({0, 114}), "Стереть область 0x0000–0x0071 (114 байт) в ПСИ?");
}

TEST(ExtendedPage, AnAreaReadTwiceIsShownOnlyWhenBothReadingsAgree)
{
    SimulatedFaults flip;
    flip.flipBitAtByte = 3;
    ReaderSimulation sim(flip);
    AreaFields fields{"0x200", "0x10"};
    EXPECT_FALSE(bbGetRAMClick(sim.transfer, fields, ReadCheck::Twice));
    ASSERT_EQ(sim.ui.errorBoxes.size(), 1u);
    EXPECT_EQ(sim.ui.errorBoxes[0].second, "Два чтения ПСИ не совпадают: первое различие по адресу 0x0203!");

    const auto again = bbGetRAMClick(sim.transfer, fields, ReadCheck::Twice); // the flip came once
    ASSERT_TRUE(again);
    EXPECT_EQ(again->bytes, std::vector<std::uint8_t>(sim.memory.begin() + 0x200, sim.memory.begin() + 0x210));
}

TEST(ExtendedPage, AFailedEraseSaysSoAfterTheWritesOwnReport)
{
    SimulatedFaults vanishing;
    vanishing.disconnectAfterBytes = 10; // found, then gone during the first page
    ReaderSimulation sim(vanishing);
    sim.transfer.RetryLimit = 20;
    AreaFields fields{"0", "64"};
    EXPECT_EQ(bbEraseClick(sim.transfer, fields), EraseResult::Failed);
    EXPECT_EQ(sim.ui.errorBoxes.size(), 1u);
    EXPECT_EQ(sim.ui.messages, std::vector<std::string>{"Ошибка при стирании данных из ПСИ!"});
    EXPECT_EQ(sim.ui.statusTexts.back(), "Данные не записаны на ПСИ");
}

TEST(ExtendedPage, NoDeviceOrAnEmptyAreaMeansNoTransfer)
{
    SimulatedFaults absent;
    absent.disconnectAfterBytes = 0;
    ReaderSimulation sim(absent);
    AreaFields fields{"0", "16"};
    EXPECT_FALSE(bbGetRAMClick(sim.transfer, fields));
    EXPECT_EQ(bbEraseClick(sim.transfer, fields), EraseResult::Failed);
    EXPECT_TRUE(sim.ui.messages.empty());
    EXPECT_TRUE(sim.ui.transferRunning.empty());

    ReaderSimulation present;
    AreaFields empty{"0x0123", "0"};
    const auto result = bbGetRAMClick(present.transfer, empty);
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->bytes.empty());
    EXPECT_EQ(result->table.rowCount(), 2);
    EXPECT_EQ(result->table.cell(1, 0), "0120");
    EXPECT_EQ(bbEraseClick(present.transfer, empty), EraseResult::Erased);
    EXPECT_TRUE(present.ui.questions.empty()); // nothing to erase, nothing to ask
    EXPECT_TRUE(present.ui.statusTexts.empty()); // not even a search

    AreaFields outside{"0x9000", "16"};
    EXPECT_FALSE(bbGetRAMClick(present.transfer, outside));
    EXPECT_EQ(bbEraseClick(present.transfer, outside), EraseResult::Refused);
    EXPECT_EQ(present.ui.messages.size(), 2u);
    EXPECT_TRUE(present.ui.statusTexts.empty());
}

} // namespace
} // namespace kestrel
