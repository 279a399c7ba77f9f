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

TEST(ExtendedPage, EraseWritesZerosOverTheAreaOnly)
{
    ReaderSimulation sim;
    const MemoryImage before = sim.device.memory();
    AreaFields fields{"0x100", "0x45"};
    EXPECT_TRUE(bbEraseClick(sim.transfer, fields));
    MemoryImage expected = before;
    std::fill(expected.begin() + 0x100, expected.begin() + 0x145, std::uint8_t{0});
    EXPECT_EQ(sim.device.memory(), expected);
    EXPECT_TRUE(sim.ui.messages.empty());
    EXPECT_TRUE(sim.ui.questions.empty()); // no confirmation
}

TEST(ExtendedPage, AFailedEraseSaysSoAfterTheWritesOwnReport)
{
    SimulatedFaults vanishing;
    vanishing.disconnectAfterBytes = 10; // found, then gone during the first page
    ReaderSimulation sim(vanishing);
    sim.transfer.RetryLimit = 20;
    AreaFields fields{"0", "64"};
    EXPECT_FALSE(bbEraseClick(sim.transfer, fields));
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
    EXPECT_FALSE(bbEraseClick(sim.transfer, fields));
    EXPECT_TRUE(sim.ui.messages.empty());
    EXPECT_TRUE(sim.ui.transferRunning.empty());

    ReaderSimulation present;
    AreaFields empty{"0x0123", "0"};
    const auto result = bbGetRAMClick(present.transfer, empty);
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->bytes.empty());
    EXPECT_EQ(result->table.rowCount(), 2);
    EXPECT_EQ(result->table.cell(1, 0), "0120");
    EXPECT_TRUE(bbEraseClick(present.transfer, empty));
    EXPECT_TRUE(present.ui.statusTexts.empty()); // not even a search

    AreaFields outside{"0x9000", "16"};
    EXPECT_FALSE(bbGetRAMClick(present.transfer, outside));
    EXPECT_FALSE(bbEraseClick(present.transfer, outside));
    EXPECT_EQ(present.ui.messages.size(), 2u);
    EXPECT_TRUE(present.ui.statusTexts.empty());
}

} // namespace
} // namespace kestrel
