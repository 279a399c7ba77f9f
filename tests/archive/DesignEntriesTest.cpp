// Design classifications as entries with who and when: every entry is kept once, the
// newest is the crane's current one, whether entered here or offered by another archive.
#include "core/archive/CurrentUser.h"
#include "core/archive/SqliteArchive.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace kestrel;
using kestrel::test::TempDir;

namespace {

const CraneKey kCrane{"КС-45717", "305"};

DesignEntry entry(const std::string& group, const std::string& at, const std::string& by)
{
    return {kCrane, {group, "", "", ""}, at, by};
}

} // namespace

TEST(DesignEntries, SettingADesignStampsItWithNowAndTheUser)
{
    TempDir dir;
    auto archive = openSqliteArchive(dir.file("a.sqlite"));
    archive->setDesign(kCrane, {"A5", "U5 Q3", "M5", "M4"});
    archive->setDesign(kCrane, {"A5", "U5 Q3", "M5", "M4"}); // the same again: no new entry
    archive->setDesign({"КС-45717", "306"}, {"A3", "", "", ""});

    const auto designs = archive->designs();
    ASSERT_EQ(designs.size(), 2u);
    EXPECT_EQ(designs[0].crane, kCrane);
    EXPECT_EQ(designs[0].classes, (DesignClasses{"A5", "U5 Q3", "M5", "M4"}));
    EXPECT_EQ(designs[0].changedBy, currentUserName());
    const std::string& at = designs[0].changedAt;
    ASSERT_EQ(at.size(), 20u) << at;
    EXPECT_EQ(at[4], '-');
    EXPECT_EQ(at[10], 'T');
    EXPECT_EQ(at[19], 'Z');
    EXPECT_EQ(archive->designHistory(kCrane).size(), 1u);
}

TEST(DesignEntries, AnOfferedEntryBecomesCurrentOnlyWhenNewer)
{
    TempDir dir;
    const std::string path = dir.file("a.sqlite");
    auto archive = openSqliteArchive(path);
    EXPECT_TRUE(archive->offerDesign(entry("A5", "2024-03-01T08:00:00Z", "petrov")));
    EXPECT_FALSE(archive->offerDesign(entry("A4", "2024-02-01T08:00:00Z", "sidorov"))); // older
    EXPECT_EQ(archive->design(kCrane).craneGroup, "A5");
    // At the same second the user name decides, so that every archive picks the same one.
    EXPECT_TRUE(archive->offerDesign(entry("A6", "2024-03-01T08:00:00Z", "semenov")));
    EXPECT_FALSE(archive->offerDesign(entry("A3", "2024-03-01T08:00:00Z", "ivanov")));
    EXPECT_EQ(archive->design(kCrane).craneGroup, "A6");
    // The same entry offered again (a second sync) is kept once and changes nothing.
    EXPECT_FALSE(archive->offerDesign(entry("A6", "2024-03-01T08:00:00Z", "semenov")));

    // Entered here now: newer than anything offered before.
    archive->setDesign(kCrane, {"A7", "", "", ""});
    EXPECT_EQ(archive->design(kCrane).craneGroup, "A7");

    archive.reset();
    auto reopened = openSqliteArchive(path);
    const auto history = reopened->designHistory(kCrane);
    ASSERT_EQ(history.size(), 5u);
    EXPECT_EQ(history[0].classes.craneGroup, "A4");
    EXPECT_EQ(history[1].classes.craneGroup, "A3"); // same second, "ivanov" first
    EXPECT_EQ(history[2].classes.craneGroup, "A5");
    EXPECT_EQ(history[3].classes.craneGroup, "A6");
    EXPECT_EQ(history[4].classes.craneGroup, "A7");
    EXPECT_TRUE(reopened->designHistory({"КС-45717", "999"}).empty());
    ASSERT_EQ(reopened->designs().size(), 1u);
    EXPECT_EQ(reopened->designs()[0].classes.craneGroup, "A7");
}
