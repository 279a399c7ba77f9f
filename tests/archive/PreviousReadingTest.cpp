// Which stored reading "Начало" offers: the newest earlier one of the same recorder.
#include "core/archive/PreviousReading.h"
#include "core/archive/ReadingSummary.h"

#include "support/ImageBuilder.h"

#include <gtest/gtest.h>

using namespace kestrel;
using kestrel::test::ImageBuilder;

namespace {

MemoryImage readingOf(const std::string& recorder, int day, int month, int year)
{
    ImageBuilder builder;
    builder.text(layout::kRecorderSerial, 16, recorder);
    if (day > 0)
        builder.stamp(layout::kReadingStamp, 0, 9, day, month, year);
    return builder.image;
}

StoredReading stored(std::int64_t id, const MemoryImage& image)
{
    StoredReading reading = summariseReading(image);
    reading.id = id;
    return reading;
}

} // namespace

TEST(PreviousStoredReading, IsTheNewestEarlierReadingOfTheSameRecorder)
{
    const std::vector<StoredReading> list{
        stored(1, readingOf("12", 1, 3, 22)),
        stored(2, readingOf("12", 1, 3, 24)),
        stored(3, readingOf("12", 1, 3, 23)),
        stored(4, readingOf("77", 1, 2, 24)),  // another recorder, later than 2
        stored(5, readingOf("12", 1, 3, 25)),  // the current reading itself: not earlier
        stored(6, readingOf("12", 0, 0, 0)),   // no reading date
    };
    const auto previous = previousStoredReading(list, readingOf("12", 1, 3, 25));
    ASSERT_TRUE(previous.has_value());
    EXPECT_EQ(previous->id, 2);
    EXPECT_FALSE(previousStoredReading(list, readingOf("12", 1, 3, 22)).has_value());
    EXPECT_FALSE(previousStoredReading(list, readingOf("12", 0, 0, 0)).has_value()); // no date: nothing is earlier
}
