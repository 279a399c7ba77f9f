#include "core/demo/DemoHistory.h"
#include "core/demo/DemoImage.h"
#include "core/image/ByteAccess.h"
#include "core/image/Checksum.h"
#include "core/image/Counter24.h"
#include "core/image/ImageCompare.h"
#include "core/image/ImageLayout.h"
#include "core/image/TimeStamp.h"

#include <gtest/gtest.h>

using namespace kestrel;

// A history is what "Начало" and the archive accept as one recorder's readings.
TEST(DemoHistory, ReadingsOfOneRecorderYearByYearAfterItsInstallation)
{
    const auto history = makeDemoHistory(1, 4);
    ASSERT_EQ(history.size(), 4u);
    EXPECT_EQ(history.back(), makeDemoImage(1));
    const double installation = readI32(history.front(), layout::kInstallationDay);
    for (std::size_t k = 0; k < history.size(); ++k) {
        EXPECT_TRUE(checksumOk(history[k])) << k;
        EXPECT_TRUE(identificationEqual(history[k], history.back())) << k;
        EXPECT_GT(stampToDateTime(stampAt(history[k], layout::kReadingStamp)), installation) << k;
        if (k > 0) {
            EXPECT_GT(stampToDateTime(stampAt(history[k], layout::kReadingStamp)),
                stampToDateTime(stampAt(history[k - 1], layout::kReadingStamp)) + 364.0);
            EXPECT_GE(readCounter24(history[k], layout::kMotorMinutes), readCounter24(history[k - 1], layout::kMotorMinutes));
        }
    }
    // The demo recorder was installed about five years before its reading: no more fit.
    EXPECT_LE(makeDemoHistory(1, 40).size(), 6u);
    EXPECT_EQ(makeDemoHistory(1, 0).size(), 1u);
}
