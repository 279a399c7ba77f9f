#include "core/image/Checksum.h"
#include "core/image/Counter24.h"
#include "core/image/FixedText.h"
#include "core/image/ImageCompare.h"
#include "core/image/ImageLayout.h"
#include "core/image/MemoryImage.h"
#include "core/image/TimeStamp.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(Checksum, ZeroImagePassesAndOnlyEvenOffsetsCount)
{
    MemoryImage image{};
    EXPECT_TRUE(checksumOk(image));
    image[1] = 0x5A; // odd offsets are not covered
    EXPECT_TRUE(checksumOk(image));
    image[0x7FFE] = 0x01;
    EXPECT_FALSE(checksumOk(image));
    image[0x100] = 0x01; // a second even byte cancels the first
    EXPECT_TRUE(checksumOk(image));
}

TEST(TimeStamp, ValidStampTextAndDateTime)
{
    const StampBytes s{0x30, 0x14, 0x07, 0x12, 0x26};
    EXPECT_TRUE(stampIsValid(s));
    EXPECT_EQ(stampText(s), "07.12.2026 14:30 ");
    // 7 December 2026 is day 46363 after 30 December 1899.
    EXPECT_DOUBLE_EQ(stampToDateTime(s), 46363.0 + (14 * 60 + 30) / 1440.0);
}

TEST(TimeStamp, InvalidStampsAreAbsent)
{
    for (const StampBytes& s : {StampBytes{0x1A, 0x10, 0x01, 0x01, 0x20}, StampBytes{0x00, 0x10, 0x00, 0x01, 0x20},
             StampBytes{0x00, 0x10, 0x01, 0x13, 0x20}, StampBytes{0x00, 0x24, 0x01, 0x01, 0x20},
             StampBytes{0x60, 0x10, 0x01, 0x01, 0x20}, StampBytes{0x00, 0x10, 0x01, 0x01, 0xA0}, StampBytes{}}) {
        EXPECT_FALSE(stampIsValid(s));
        EXPECT_EQ(stampText(s), "");
        EXPECT_EQ(stampToDateTime(s), 0.0);
    }
}

TEST(TimeStamp, DayMissingFromItsMonthHasTextButNoDateTime)
{
    const StampBytes feb31{0x00, 0x10, 0x31, 0x02, 0x26};
    EXPECT_TRUE(stampIsValid(feb31));
    EXPECT_EQ(stampText(feb31), "31.02.2026 10:00 ");
    EXPECT_THROW(stampToDateTime(feb31), DateConversionError);
    EXPECT_THROW(stampToDateTime(StampBytes{0x00, 0x10, 0x29, 0x02, 0x25}), DateConversionError);
    EXPECT_NO_THROW(stampToDateTime(StampBytes{0x00, 0x10, 0x29, 0x02, 0x24}));
}

TEST(TimeStamp, PackBcdReducesModulo100)
{
    EXPECT_EQ(packBcd(26), 0x26);
    EXPECT_EQ(packBcd(2026), 0x26);
    EXPECT_EQ(packBcd(7), 0x07);
    EXPECT_EQ(bcdDigits(0x26), "26");
}

TEST(Counter24, ReadWriteAndWrappingSubtraction)
{
    MemoryImage a{}, b{};
    a[0x600] = 0xFF;
    a[0x601] = 0xFF;
    a[0x602] = 0xFF;
    EXPECT_EQ(readCounter24(a, 0x600), 16777215u);
    writeCounter24(a, 0x603, 3);
    writeCounter24(b, 0x603, 5);
    subtractCounter24(a, 0x603, b);
    EXPECT_EQ(a[0x603], 0xFE);
    EXPECT_EQ(a[0x604], 0xFF);
    EXPECT_EQ(a[0x605], 0xFF);
    EXPECT_EQ(readCounter24(a, 0x603), 16777214u);
    writeCounter24(a, 0, 0x1234567);
    EXPECT_EQ(readCounter24(a, 0), 0x234567u);
}

TEST(FixedText, StopsAtZeroAndRoundTripsCp1251)
{
    MemoryImage image{};
    putFixedText(image, layout::kCraneType, 32, "КПМ-32/10");
    EXPECT_EQ(image[layout::kCraneType], 0xCA); // К in cp1251
    EXPECT_EQ(fixedText(image, layout::kCraneType, 32), "КПМ-32/10");
    putFixedText(image, layout::kCraneGroup, 2, "А7x"); // longer than the field: cut
    EXPECT_EQ(fixedText(image, layout::kCraneGroup, 2), "А7");
    EXPECT_EQ(image[layout::kCraneGroup + 2], 0); // the next field is untouched
    putFixedText(image, layout::kCraneSerial, 16, "№ 1 ✓");
    EXPECT_EQ(fixedText(image, layout::kCraneSerial, 16), "№ 1 ?");
}

TEST(ImageCompare, IdentificationIncludesUninterpretedTail)
{
    MemoryImage a{}, b{};
    EXPECT_TRUE(identificationEqual(a, b));
    b[0x8FF] = 1;
    EXPECT_FALSE(identificationEqual(a, b));
}

TEST(ImageCompare, DetailIsATimeMarkWithTheStampBytes)
{
    MemoryImage image{};
    const StampBytes s{0x30, 0x14, 0x07, 0x12, 0x26};
    EXPECT_FALSE(hasDetail(image, s));
    image[0x1000] = 0xFF;
    std::copy(s.begin(), s.end(), image.begin() + 0x1001);
    EXPECT_TRUE(hasDetail(image, s));
    MemoryImage tail{};
    tail[0x7FFB] = 0xFF; // the stamp would run past the end of the image
    std::copy(s.begin(), s.begin() + 4, tail.begin() + 0x7FFC);
    EXPECT_FALSE(hasDetail(tail, s));
}

} // namespace
} // namespace kestrel
