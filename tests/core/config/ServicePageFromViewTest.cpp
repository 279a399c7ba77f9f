#include "core/config/ServicePageFromView.h"
#include "core/records/IdentificationOutput.h"
#include "support/ImageBuilder.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using namespace layout;

TEST(ServicePageFromView, TakesEveryFieldTheIdentificationOutputFilled)
{
    test::ImageBuilder b;
    b.text(kCraneType, 32, "КПП 16/20").text(kRecorderSerial, 16, "77").i16(kRecorderYear, 2010);
    b.i32(kInstallationDay, 46000).capacities(12.5f, 16.0f, 0.5f).byte(kServiceLife, 25);
    b.byte(kSwitches, 0x05).i16(kThresholds + 2 * 10, 27).i16(kThresholds + 2 * 9, -6);
    b.i16(kLoadCharacteristic + 3, 1200).byte(kLoadCharacteristic + 5, 80);
    b.i16(kNormalisation + 4, 210).i16(kNormalisation + 6, 850);
    MainView view;
    fillIdentification(b.image, 46000.0, DisplayLocale::russian(), view.identification, view.settings);

    const ServicePage page = servicePageFromView(view, ClockSetting{2026, 12, 31, 23, 59, 41});
    EXPECT_FALSE(page.chbSetRTC || page.chbEditPKR || page.chbNormir || page.chbProgram || page.chbErase);
    EXPECT_EQ(page.clock.year, 2026);
    EXPECT_EQ(page.clock.second, 41);
    EXPECT_EQ(page.identification.eMarka, "КПП 16/20");
    EXPECT_EQ(page.identification.eRegNum, "77");
    EXPECT_EQ(page.identification.eRegYear, "2010");
    EXPECT_EQ(page.identification.eRegSetup, 46000.0);
    EXPECT_EQ(page.identification.eSumGruz, "12,5");
    EXPECT_EQ(page.identification.eSrok, "25");
    EXPECT_EQ(page.switches, (std::array<bool, 5>{true, false, true, false, false}));
    EXPECT_EQ(page.thresholds[10], "1080"); // AverTime in ms, as the spin edit shows it
    EXPECT_EQ(page.thresholds[9], "-6");
    EXPECT_EQ(page.vylet[1], (std::array<std::string, 2>{"1200", "80"}));
    EXPECT_EQ(page.calibr[1], (std::array<std::string, 2>{"210", "850"}));
}

TEST(ServicePageFromView, AnUnloadedWindowGivesTheDesignValues)
{
    const ServicePage page = servicePageFromView(MainView{});
    EXPECT_EQ(page.thresholds, ServicePage{}.thresholds);
    EXPECT_EQ(page.calibr[3], (std::array<std::string, 2>{"0", "0"}));
}

} // namespace
} // namespace kestrel
