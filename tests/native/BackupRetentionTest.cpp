// Keeping the newest whole-registry backups on the in-memory platform: the
// names that count as backups, the order of full backups with counters, the
// automatic backups and foreign files that always stay, the backup just
// written, and removals that fail.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/BackupRetention.h"
#include "core/BackupStore.h"
#include "tests/support/MemoryPlatform.h"

namespace {

using Names = std::vector<std::string>;

constexpr const char* kFolder = "C:\\Suite\\Data\\Quorvane\\Backup\\";

// The present moment of the tests: later than every name they use, except
// those dated ahead on purpose.
constexpr CalendarTime kNow{2026, 6, 1, 12, 0, 0};

class BackupRetentionTest : public ::testing::Test {
protected:
    void SetUp() override { platform.SetLocalTime(kNow); }

    Names ToRemove(const Names& names, std::size_t keep, const std::string& kept = std::string())
    {
        return BackupsToRemove(platform, names, "Full", keep, kNow, kept);
    }

    MemoryPlatform platform;
};

} // namespace

TEST_F(BackupRetentionTest, ReadsTheNamesTheProgramMakes)
{
    BackupName name;
    ASSERT_TRUE(ParseBackupFileName("2008-03-03 14-05-09(Full).reg", &name));
    EXPECT_EQ(name.time.year, 2008);
    EXPECT_EQ(name.time.month, 3);
    EXPECT_EQ(name.time.day, 3);
    EXPECT_EQ(name.time.hour, 14);
    EXPECT_EQ(name.time.minute, 5);
    EXPECT_EQ(name.time.second, 9);
    EXPECT_EQ(name.counter, 1);
    EXPECT_EQ(name.typeText, "Full");

    ASSERT_TRUE(ParseBackupFileName("2024-02-29 23-59-59 17(Auto).REG", &name));
    EXPECT_EQ(name.counter, 17);
    EXPECT_EQ(name.typeText, "Auto");
    ASSERT_TRUE(ParseBackupFileName("2000-01-01 00-00-00 100000(Sauvegarde compl\xE8te).Reg", &name));
    EXPECT_EQ(name.counter, 100000);
    EXPECT_EQ(name.typeText, "Sauvegarde compl\xE8te");

    // What the program writes reads back.
    platform.SetLocalTime({2031, 12, 31, 23, 59, 58});
    ASSERT_TRUE(ParseBackupFileName(MakeBackupFileName(platform, platform, "Full"), &name));
    EXPECT_EQ(name.time.year, 2031);
    EXPECT_EQ(name.time.second, 58);
}

TEST_F(BackupRetentionTest, RefusesEveryOtherName)
{
    for (const char* other : {
             "old.reg", "(Full).reg", "Full.reg", "",
             "2008-03-03 14-05-09(Full).reg.bak", "2008-03-03 14-05-09(Full).txt",
             "2008-03-03 14-05-09(Full)", "2008-03-03 14-05-09(Full) copy.reg", "2008-03-03 14-05-09().reg",
             "2008-03-03 14-05-09(Fu(ll).reg", "2008-03-03 14-05-09(Full)).reg", "2008-03-03 14-05-09Full).reg",
             "2008-03-03 14-05-09 (Full).reg", "2008-03-03 14-05-09 1(Full).reg", "2008-03-03 14-05-09 02(Full).reg",
             "2008-03-03 14-05-09 0(Full).reg", "2008-03-03 14-05-09 100001(Full).reg",
             "2008-03-03 14-05-09 2x(Full).reg", "2008-03-03 14-05-09  2(Full).reg",
             "2008-3-03 14-05-09(Full).reg", "08-03-03 14-05-09(Full).reg", "2008-03-03 14:05:09(Full).reg",
             "2008-03-03_14-05-09(Full).reg", "2008-13-03 14-05-09(Full).reg", "2008-00-03 14-05-09(Full).reg",
             "2008-04-31 14-05-09(Full).reg", "2007-02-29 14-05-09(Full).reg", "1900-02-29 14-05-09(Full).reg",
             "2008-03-00 14-05-09(Full).reg", "2008-03-03 24-05-09(Full).reg", "2008-03-03 14-60-09(Full).reg",
             "2008-03-03 14-05-60(Full).reg", "2008-03-03 14-05-9(Full).reg", "x2008-03-03 14-05-09(Full).reg"}) {
        BackupName name;
        EXPECT_FALSE(ParseBackupFileName(other, &name)) << other;
    }
    BackupName leapDay;
    EXPECT_TRUE(ParseBackupFileName("2000-02-29 14-05-09(Full).reg", &leapDay));
}

TEST_F(BackupRetentionTest, KeepsTheNewestFullBackupsByTheMomentInTheirNames)
{
    const Names names = {"2009-01-01 00-00-00(Full).reg", "2008-12-31 23-59-59(Full).reg",
                         "2010-06-15 08-30-00(Full).reg", "2008-03-03 14-05-09(Full).reg",
                         "2010-06-15 08-29-59(Full).reg"};
    EXPECT_EQ(ToRemove(names, 2), Names({"2009-01-01 00-00-00(Full).reg", "2008-12-31 23-59-59(Full).reg",
                                         "2008-03-03 14-05-09(Full).reg"}));
    EXPECT_EQ(ToRemove(names, 4), Names({"2008-03-03 14-05-09(Full).reg"}));
    EXPECT_EQ(ToRemove(names, 1).size(), 4u);
    EXPECT_TRUE(ToRemove(names, 5).empty());
    EXPECT_TRUE(ToRemove(names, 100).empty());
    EXPECT_TRUE(ToRemove(names, 0).empty()); // 0 keeps them all
    EXPECT_TRUE(ToRemove({}, 1).empty());
}

TEST_F(BackupRetentionTest, CountersOfOneSecondFollowTheirFirstBackup)
{
    const Names names = {"2008-03-03 14-05-09 3(Full).reg", "2008-03-03 14-05-09(Full).reg",
                         "2008-03-03 14-05-09 10(Full).reg", "2008-03-03 14-05-09 2(Full).reg",
                         "2008-03-03 14-05-10(Full).reg"};
    // 10 is newer than 3 and 2: counters compare as numbers, not as text.
    EXPECT_EQ(ToRemove(names, 3), Names({"2008-03-03 14-05-09(Full).reg", "2008-03-03 14-05-09 2(Full).reg"}));
    EXPECT_EQ(ToRemove(names, 1), Names({"2008-03-03 14-05-09 3(Full).reg", "2008-03-03 14-05-09(Full).reg",
                                         "2008-03-03 14-05-09 10(Full).reg", "2008-03-03 14-05-09 2(Full).reg"}));
}

TEST_F(BackupRetentionTest, AutomaticBackupsAndForeignFilesAlwaysStay)
{
    const Names names = {"2001-01-01 00-00-00(Auto).reg",  "2001-01-01 00-00-00 2(Auto).reg",
                         "2002-01-01 00-00-00(Full).reg",  "my own export.reg",
                         "2003-01-01 00-00-00(full).reg",  "2004-01-01 00-00-00(Full).reg",
                         "2002-01-01 00-00-00(Full) old.reg", "2001-01-01 00-00-00(Fulll).reg",
                         "2005-01-01 00-00-00(Auto).reg"};
    // Only the two parsed full backups count; the older one goes.
    EXPECT_EQ(ToRemove(names, 1), Names({"2002-01-01 00-00-00(Full).reg"}));
    EXPECT_TRUE(ToRemove(names, 2).empty());
    // Another language's type text names other files; an empty one none.
    EXPECT_EQ(BackupsToRemove(platform, names, "Auto", 1, kNow),
              Names({"2001-01-01 00-00-00(Auto).reg", "2001-01-01 00-00-00 2(Auto).reg"}));
    EXPECT_TRUE(BackupsToRemove(platform, names, "", 1, kNow).empty());
}

TEST_F(BackupRetentionTest, TheBackupJustWrittenIsNeverPushedOut)
{
    // Even a name the clock tells apart as dated ahead stays behind it.
    const Names names = {"2030-01-01 00-00-00(Full).reg", "2008-03-03 14-05-09(Full).reg",
                         "2007-01-01 00-00-00(Full).reg"};
    EXPECT_EQ(ToRemove(names, 1), Names({"2030-01-01 00-00-00(Full).reg", "2007-01-01 00-00-00(Full).reg"}));
    EXPECT_EQ(ToRemove(names, 1, "2007-01-01 00-00-00(Full).reg"),
              Names({"2030-01-01 00-00-00(Full).reg", "2008-03-03 14-05-09(Full).reg"}));
    EXPECT_EQ(ToRemove(names, 2, std::string(kFolder) + "2007-01-01 00-00-00(FULL).REG"),
              Names({"2030-01-01 00-00-00(Full).reg"}));
    // A name that is not among them changes nothing.
    EXPECT_EQ(ToRemove(names, 2, "2008-03-03 14-05-09 2(Full).reg"), Names({"2030-01-01 00-00-00(Full).reg"}));
}

TEST_F(BackupRetentionTest, RemovesTheSurplusFromTheFolder)
{
    for (const char* name : {"2008-01-01 10-00-00(Full).reg", "2008-01-02 10-00-00(Full).reg",
                             "2008-01-03 10-00-00(Full).reg", "2008-01-01 09-00-00(Auto).reg", "notes.txt",
                             "2007-01-01 10-00-00(Full).reg.old"})
        platform.AddFile(std::string(kFolder) + name, "REGEDIT4\r\n");
    platform.AddFolder(std::string(kFolder) + "2006-01-01 10-00-00(Full).reg"); // a folder, not a backup

    const BackupRemoval removal = RemoveSurplusBackups(platform, platform, platform, kFolder, "Full", 2);
    EXPECT_EQ(removal.removed, Names({std::string(kFolder) + "2008-01-01 10-00-00(Full).reg"}));
    EXPECT_TRUE(removal.failed.empty());
    EXPECT_FALSE(platform.HasFile(std::string(kFolder) + "2008-01-01 10-00-00(Full).reg"));
    for (const char* name : {"2008-01-02 10-00-00(Full).reg", "2008-01-03 10-00-00(Full).reg",
                             "2008-01-01 09-00-00(Auto).reg", "notes.txt", "2007-01-01 10-00-00(Full).reg.old"})
        EXPECT_TRUE(platform.HasFile(std::string(kFolder) + name)) << name;
    EXPECT_TRUE(platform.HasFolder(std::string(kFolder) + "2006-01-01 10-00-00(Full).reg"));

    // Once the newest N remain, running again removes nothing.
    EXPECT_TRUE(RemoveSurplusBackups(platform, platform, platform, kFolder, "Full", 2).removed.empty());
    // A missing folder has nothing to remove.
    EXPECT_TRUE(RemoveSurplusBackups(platform, platform, platform, "C:\\Nowhere\\", "Full", 1).removed.empty());
}

TEST_F(BackupRetentionTest, AFileThatCannotBeRemovedIsReportedAndTheOthersStillGo)
{
    platform.AddFile(std::string(kFolder) + "2008-01-01 10-00-00(Full).reg", "", 0x20 | 0x01); // read-only
    platform.AddFile(std::string(kFolder) + "2008-01-02 10-00-00(Full).reg");
    platform.AddFile(std::string(kFolder) + "2008-01-03 10-00-00(Full).reg");
    const BackupRemoval removal = RemoveSurplusBackups(platform, platform, platform, kFolder, "Full", 1, "");
    EXPECT_EQ(removal.failed, Names({std::string(kFolder) + "2008-01-01 10-00-00(Full).reg"}));
    EXPECT_EQ(removal.removed, Names({std::string(kFolder) + "2008-01-02 10-00-00(Full).reg"}));
    EXPECT_TRUE(platform.HasFile(std::string(kFolder) + "2008-01-01 10-00-00(Full).reg"));
    EXPECT_TRUE(platform.HasFile(std::string(kFolder) + "2008-01-03 10-00-00(Full).reg"));
}

// Names dated after the present moment were made by a clock that was wrong:
// they rank behind every correctly dated backup, so they never keep their
// places for ever and never push a real newer backup out; they stay only
// while too few correctly dated backups fill the places.
TEST_F(BackupRetentionTest, NamesDatedAheadRankBehindEveryCorrectlyDatedBackup)
{
    const std::string ahead1 = "2030-01-01 00-00-00(Full).reg";
    const std::string ahead2 = "2029-05-05 05-05-05(Full).reg";
    const std::string aheadSecond = "2026-06-01 12-00-01(Full).reg";   // one second ahead
    const std::string nowName = "2026-06-01 12-00-00(Full).reg";      // the present second counts as dated
    const std::string real1 = "2026-05-31 10-00-00(Full).reg";
    const std::string real2 = "2026-05-30 10-00-00(Full).reg";
    const std::string real3 = "2026-05-29 10-00-00(Full).reg";
    struct Case {
        const char* what;
        Names names;
        std::size_t keep;
        std::string kept;
        Names removed;
    };
    const Case cases[] = {
        {"dated ahead go before real ones", {ahead1, real1, real2, real3}, 2, "", {ahead1, real3}},
        {"several ahead all go first", {ahead1, real1, ahead2, real2}, 2, "", {ahead1, ahead2}},
        {"one second ahead is ahead", {aheadSecond, nowName, real1}, 2, "", {aheadSecond}},
        {"the newest real backup stays with keep 1", {ahead1, ahead2, real2, real1}, 1, "", {ahead1, ahead2, real2}},
        {"the backup just written stays first", {ahead1, real1, real2}, 1, real2, {ahead1, real1}},
        {"ahead ones fill places real ones leave", {ahead1, ahead2, real1}, 3, "", {}},
        {"ahead ones fill places by their names", {ahead2, ahead1, real1}, 2, "", {ahead2}},
        {"only names ahead: the latest stays", {ahead2, ahead1}, 1, "", {ahead2}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.removed, ToRemove(c.names, c.keep, c.kept)) << c.what;

    // The folder is ranked at the clock's present time.
    for (const std::string& name : {ahead1, real1, real2})
        platform.AddFile(std::string(kFolder) + name, "REGEDIT4\r\n");
    const BackupRemoval removal = RemoveSurplusBackups(platform, platform, platform, kFolder, "Full", 2);
    EXPECT_EQ(Names({std::string(kFolder) + ahead1}), removal.removed);
    EXPECT_TRUE(platform.HasFile(std::string(kFolder) + real1));
    EXPECT_TRUE(platform.HasFile(std::string(kFolder) + real2));
}
