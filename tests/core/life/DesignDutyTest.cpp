// Design duty of a classification and the texts engineers type for it.
#include "core/life/DesignDuty.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kestrel;

TEST(DesignDuty, GroupDutyIsTheLargestOfItsClassPairs)
{
    const double expected[] = {8000, 16000, 32000, 63000, 125000, 250000, 500000};
    for (int group = 1; group <= 7; ++group) {
        double largest = 0.0;
        for (int load = 1; load <= 4; ++load)
            for (int usage = 0; usage <= 8; ++usage)
                if (load + usage - 2 == group)
                    largest = std::max(largest, designDutyOfClasses(usage, load).value());
        EXPECT_EQ(designDutyOfGroup(group), expected[group - 1]) << group;
        EXPECT_EQ(largest, expected[group - 1]) << group;
    }
    // Group 8 and U9 have no upper limit; nonsense has no duty.
    EXPECT_FALSE(designDutyOfGroup(8));
    EXPECT_FALSE(designDutyOfGroup(0));
    EXPECT_FALSE(designDutyOfClasses(9, 4));
    EXPECT_FALSE(designDutyOfClasses(5, 0));
    EXPECT_EQ(designDutyOfClasses(5, 3), 250000.0); // U5 Q3: 500 000 · 0.5
}

TEST(DesignDuty, ReadsGroupsAndClassesAsTyped)
{
    EXPECT_EQ(craneGroupNumber("A5"), 5);
    EXPECT_EQ(craneGroupNumber(" a8 "), 8);
    EXPECT_EQ(craneGroupNumber("А5"), 5); // Cyrillic, as the passport field holds it
    EXPECT_EQ(craneGroupNumber("а3"), 3);
    EXPECT_EQ(winchGroupNumber("М4"), 4);
    EXPECT_EQ(winchGroupNumber("m1"), 1);
    for (const char* wrong : {"", "A", "A9", "A0", "A55", "M5", "5", "А 5"})
        EXPECT_FALSE(craneGroupNumber(wrong)) << wrong;
    EXPECT_FALSE(winchGroupNumber("A5"));

    const auto classes = parseDesignClasses("u5  Q3");
    ASSERT_TRUE(classes);
    EXPECT_EQ(classes->usageClass, 5);
    EXPECT_EQ(classes->loadClass, 3);
    for (const char* wrong : {"U5Q3", "U5", "Q3 U5", "U10 Q1", "U5 Q5", "U5 Q3 x"})
        EXPECT_FALSE(parseDesignClasses(wrong)) << wrong;
}

TEST(DesignDuty, AGroupAndClassesEnteredTogetherMustAgree)
{
    EXPECT_EQ(designProblem({}), "");
    EXPECT_EQ(designProblem({"A6", "U5 Q3", "M5", "М4"}), ""); // 5 + 3 − 2 = 6
    EXPECT_EQ(craneGroupOfClasses({0, 1}), 1);                  // below A1 is A1
    EXPECT_EQ(craneGroupOfClasses({9, 4}), 8);
    const std::string conflict = designProblem({"A7", "U5 Q3", "", ""});
    EXPECT_NE(conflict.find("A7"), std::string::npos);
    EXPECT_NE(conflict.find("A6"), std::string::npos);
    for (const DesignClasses& bad : {DesignClasses{"B7", "", "", ""}, DesignClasses{"", "U5", "", ""},
             DesignClasses{"", "", "M9", ""}, DesignClasses{"", "", "", "A4"}})
        EXPECT_NE(designProblem(bad).find("указыва"), std::string::npos) << bad.craneGroup << bad.craneDesign;
}
