#include "core/oplog/OperationalPages.h"
#include "core/oplog/TimeLabel.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(TimeLabel, SecondsThenSecondsWithinTheMinuteAndWholeMinutes)
{
    EXPECT_EQ(timeLabel(0), "0");
    EXPECT_EQ(timeLabel(58), "58");
    EXPECT_EQ(timeLabel(59), "59");
    EXPECT_EQ(timeLabel(60), "1мин");
    EXPECT_EQ(timeLabel(61), "1");
    EXPECT_EQ(timeLabel(62), "2");
    EXPECT_EQ(timeLabel(120), "2мин");
    EXPECT_EQ(timeLabel(179), "59");
}

TEST(OperationalPages, PageCountsAndRanges)
{
    EXPECT_EQ(pageCount(PageChoice::TwentySeconds, 45), 3);
    EXPECT_EQ(pageCount(PageChoice::TwentySeconds, 40), 2);
    EXPECT_EQ(pageCount(PageChoice::OneMinute, 45), 1);
    EXPECT_EQ(pageCount(PageChoice::OneMinute, 61), 2);
    EXPECT_EQ(pageCount(PageChoice::WholeCycle, 45), 1);
    // An empty chart (section not found) still has its one page.
    EXPECT_EQ(pageCount(PageChoice::TwentySeconds, 0), 1);

    const PageRange last = pageRange(PageChoice::TwentySeconds, 45, 3);
    EXPECT_EQ(last.first, 40U);
    EXPECT_EQ(last.end, 45U);
    const PageRange beyond = pageRange(PageChoice::TwentySeconds, 45, 7);
    EXPECT_EQ(beyond.first, 40U);
    const PageRange whole = pageRange(PageChoice::WholeCycle, 45, 1);
    EXPECT_EQ(whole.first, 0U);
    EXPECT_EQ(whole.end, 45U);
    EXPECT_EQ(pageLabel(1, 3), "1:3");
}

} // namespace
} // namespace kestrel
