// The backup store on the in-memory platform: file names, the extension
// rule, the type shown for a name, the folder listing, the row texts, the
// unique names of backups made within one second and the selection kept by
// position after a refresh.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/BackupStore.h"
#include "tests/support/MemoryPlatform.h"

namespace {

constexpr const char* kFolder = "C:\\Suite\\Data\\Quorvane\\Backup\\";

CalendarTime Moment(int year, int month, int day, int hour, int minute, int second)
{
    CalendarTime time;
    time.year = year;
    time.month = month;
    time.day = day;
    time.hour = hour;
    time.minute = minute;
    time.second = second;
    return time;
}

class BackupStoreTest : public ::testing::Test {
protected:
    void SetUp() override { platform.SetLocalTime(Moment(2008, 3, 3, 14, 5, 9)); }

    // Names of the listed files with their labels, in listing order.
    std::vector<std::string> Listed(const std::string& folder,
                                    const std::map<std::string, std::string>& patterns)
    {
        std::vector<std::string> names;
        FindFiles(platform, platform, folder, patterns,
                  [](const std::string& path, const std::string& label, const FoundFile& found,
                     void* context) {
                      EXPECT_EQ(path, std::string("C:\\Backups\\") + found.name);
                      static_cast<std::vector<std::string>*>(context)->push_back(found.name + "|" +
                                                                                 label);
                  },
                  &names);
        return names;
    }

    MemoryPlatform platform;
};

} // namespace

TEST_F(BackupStoreTest, StampAndFileNameComeFromOneReadingOfTheLocalClock)
{
    EXPECT_EQ("2008-03-03", DateTimeStamp(platform, false));
    EXPECT_EQ("2008-03-03 14:05:09", DateTimeStamp(platform, true));
    EXPECT_EQ("2008-03-03 14-05-09(Full).reg", MakeBackupFileName(platform, platform, "Full"));
    EXPECT_EQ("2008-03-03 14-05-09(Auto).reg", MakeBackupFileName(platform, platform, "Auto"));

    platform.SetLocalTime(Moment(1999, 12, 31, 0, 0, 0));
    EXPECT_EQ("1999-12-31 00-00-00(Full).reg", MakeBackupFileName(platform, platform, "Full"));
    platform.SetLocalTime(Moment(2024, 1, 2, 23, 59, 58));
    EXPECT_EQ("2024-01-02 23-59-58(Full).reg", MakeBackupFileName(platform, platform, "Full"));
}

TEST_F(BackupStoreTest, TypeTextGoesIntoTheNameUnchanged)
{
    EXPECT_EQ("2008-03-03 14-05-09(Vollst\xE4ndig).reg", MakeBackupFileName(platform, platform, "Vollst\xE4ndig"));
    EXPECT_EQ("2008-03-03 14-05-09().reg", MakeBackupFileName(platform, platform, ""));
    // Only ":" of the stamp is replaced, never a character of the type text.
    EXPECT_EQ("2008-03-03 14-05-09(a:b).reg", MakeBackupFileName(platform, platform, "a:b"));
}

TEST_F(BackupStoreTest, EnsureExtensionAppendsOnlyWhenTheEndingDiffers)
{
    std::string name = "x.REG";
    EnsureExtension(platform, name, "reg");
    EXPECT_EQ("x.REG", name);

    name = "x";
    EnsureExtension(platform, name, ".Reg");
    EXPECT_EQ("x.reg", name);

    name = "x.reg.bak";
    EnsureExtension(platform, name, "reg");
    EXPECT_EQ("x.reg.bak.reg", name);

    name = "xreg";   // no dot before it
    EnsureExtension(platform, name, "reg");
    EXPECT_EQ("xreg.reg", name);

    name = "";
    EnsureExtension(platform, name, "REG");
    EXPECT_EQ(".reg", name);

    name = "a.Reg";
    EnsureExtension(platform, name, ".reg");
    EXPECT_EQ("a.Reg", name);
}

TEST_F(BackupStoreTest, TypeIsTheSecondPieceBetweenBrackets)
{
    EXPECT_EQ("Full", BackupTypeOfFileName("2008-03-03 14-05-09(Full).reg"));
    EXPECT_EQ("Auto", BackupTypeOfFileName("2008-03-03 14-05-09 2(Auto).reg"));
    EXPECT_EQ("", BackupTypeOfFileName("old.reg"));
    EXPECT_EQ(".reg", BackupTypeOfFileName("(x).reg"));
    EXPECT_EQ("b", BackupTypeOfFileName("a(b)(c).reg"));
    EXPECT_EQ("", BackupTypeOfFileName("()().reg"));
    EXPECT_EQ("", BackupTypeOfFileName(""));
}

TEST_F(BackupStoreTest, ListingTakesRegFilesDirectlyInTheFolderWhateverTheirCase)
{
    platform.AddFile("C:\\Backups\\a.reg", "x");
    platform.AddFile("C:\\Backups\\B.REG", "y");
    platform.AddFile("C:\\Backups\\notes.txt");
    platform.AddFile("C:\\Backups\\c.reg.bak");
    platform.AddFolder("C:\\Backups\\d.reg");
    platform.AddFile("C:\\Backups\\d.reg\\inner.reg");
    platform.AddFile("C:\\Other\\e.reg");

    const std::vector<std::string> expected = {"a.reg|", "B.REG|"};
    EXPECT_EQ(expected, Listed("C:\\Backups\\", {{kBackupFilePattern, ""}}));
    // The folder may also be given without its trailing backslash.
    EXPECT_EQ(expected, Listed("C:\\Backups", {{kBackupFilePattern, ""}}));
}

TEST_F(BackupStoreTest, ListingGivesTheLabelOfTheFirstMatchingPatternInKeyOrder)
{
    platform.AddFile("C:\\Backups\\a.reg");
    platform.AddFile("C:\\Backups\\b.txt");
    platform.AddFile("C:\\Backups\\c.log");
    // "*.REG" sorts before "A*", so a.reg gets the label of "*.REG".
    const std::vector<std::string> expected = {"a.reg|registry", "b.txt|text"};
    EXPECT_EQ(expected,
              Listed("C:\\Backups\\", {{"A*", "a-files"}, {"*.REG", "registry"}, {"?.TXT", "text"}}));
}

TEST_F(BackupStoreTest, MissingFolderListsNothing)
{
    EXPECT_TRUE(Listed("C:\\Backups\\", {{kBackupFilePattern, ""}}).empty());
    platform.AddFolder("C:\\Backups");
    EXPECT_TRUE(Listed("C:\\Backups\\", {{kBackupFilePattern, ""}}).empty());
}

TEST_F(BackupStoreTest, RowShowsCreationTimeOfTheFileNotTheDateInItsName)
{
    const std::string path = std::string(kFolder) + "2008-03-03 14-05-09(Full).reg";
    platform.AddFile(path, std::string(1234, 'x'));
    platform.SetFileTimes(path, Moment(2011, 7, 8, 9, 1, 2), Moment(2012, 1, 1, 0, 0, 0),
                          Moment(2013, 1, 1, 0, 0, 0));
    FoundFile found{"2008-03-03 14-05-09(Full).reg", 0x20, 1234};

    const BackupRow row = MakeBackupRow(platform, path, found);
    EXPECT_EQ("2011-07-08", row.date);
    EXPECT_EQ("09:01:02", row.time);
    EXPECT_EQ("1234", row.size);
    EXPECT_EQ("Full", row.type);
    EXPECT_EQ(path, row.path);
}

TEST_F(BackupStoreTest, RowOfAnUnreadableFileShowsZeroTimesAndSizeMinusOne)
{
    FoundFile found{"gone(Auto).reg", 0x20, 77};
    const BackupRow row = MakeBackupRow(platform, "C:\\Backups\\gone(Auto).reg", found);
    EXPECT_EQ("0000-00-00", row.date);
    EXPECT_EQ("00:00:00", row.time);
    EXPECT_EQ("-1", row.size);
    EXPECT_EQ("Auto", row.type);
}

TEST_F(BackupStoreTest, RowSizeIsTheWhole64BitSize)
{
    const std::string path = "C:\\Backups\\big.reg";
    platform.AddFile(path);
    EXPECT_EQ("0", MakeBackupRow(platform, path, FoundFile{"big.reg", 0x20, 0}).size);
    EXPECT_EQ("2147483648", MakeBackupRow(platform, path, FoundFile{"big.reg", 0x20, 0x80000000ull}).size);
    EXPECT_EQ("4294967295", MakeBackupRow(platform, path, FoundFile{"big.reg", 0x20, 0xFFFFFFFFull}).size);
    EXPECT_EQ("4294967301", MakeBackupRow(platform, path, FoundFile{"big.reg", 0x20, 0x100000005ull}).size);
    EXPECT_EQ("18446744073709551615",
              MakeBackupRow(platform, path, FoundFile{"big.reg", 0x20, ~0ull}).size);
}

TEST(BackupSizeOrder, UnreadableFirstThenBySizeHoweverLarge)
{
    // In ascending order; each compares below every later one.
    const std::vector<std::string> ascending = {
        "-1",         "0",          "5",          "2147483647", "2147483648", "4294967295",
        "4294967296", "4294967301", "9007199254740992", "9007199254740993",
        "18446744073709551615", "100000000000000000000"};
    for (std::size_t i = 0; i < ascending.size(); ++i) {
        EXPECT_EQ(0, CompareBackupSizeTexts(ascending[i], ascending[i])) << ascending[i];
        for (std::size_t j = i + 1; j < ascending.size(); ++j) {
            EXPECT_LT(CompareBackupSizeTexts(ascending[i], ascending[j]), 0)
                << ascending[i] << " " << ascending[j];
            EXPECT_GT(CompareBackupSizeTexts(ascending[j], ascending[i]), 0)
                << ascending[j] << " " << ascending[i];
        }
    }
    // Leading zeros do not change a size; texts that are no size tie.
    EXPECT_EQ(0, CompareBackupSizeTexts("007", "7"));
    EXPECT_EQ(0, CompareBackupSizeTexts("00", "0"));
    EXPECT_EQ(0, CompareBackupSizeTexts("-1", ""));
    EXPECT_EQ(0, CompareBackupSizeTexts("-1", "12a"));
    EXPECT_LT(CompareBackupSizeTexts("x", "0"), 0);
}

TEST_F(BackupStoreTest, FileTimesAreZeroedWhenUnreadable)
{
    CalendarTime creation = Moment(1, 2, 3, 4, 5, 6);
    CalendarTime lastWrite = Moment(1, 2, 3, 4, 5, 6);
    EXPECT_EQ(0, GetFileTimes(platform, "C:\\none.reg", &creation, nullptr, &lastWrite));
    EXPECT_EQ(0, creation.year);
    EXPECT_EQ(0, lastWrite.second);

    platform.AddFile("C:\\some.reg");
    platform.SetFileTimes("C:\\some.reg", Moment(2001, 1, 1, 1, 1, 1), Moment(2002, 2, 2, 2, 2, 2),
                          Moment(2003, 3, 3, 3, 3, 3));
    CalendarTime lastAccess;
    EXPECT_EQ(1, GetFileTimes(platform, "C:\\some.reg", nullptr, &lastAccess, &lastWrite));
    EXPECT_EQ(2002, lastAccess.year);
    EXPECT_EQ(3, lastWrite.second);
}

TEST_F(BackupStoreTest, BackupsOfTheSameSecondGetACounterBeforeTheBracket)
{
    const std::string first = MakeUniqueBackupPath(platform, platform, platform, kFolder, "Full");
    EXPECT_EQ(std::string(kFolder) + "2008-03-03 14-05-09(Full).reg", first);
    // Nothing is written yet, so asking again gives the same name.
    EXPECT_EQ(first, MakeUniqueBackupPath(platform, platform, platform, kFolder, "Full"));

    platform.AddFile(first, "first backup");
    const std::string second = MakeUniqueBackupPath(platform, platform, platform, kFolder, "Full");
    EXPECT_EQ(std::string(kFolder) + "2008-03-03 14-05-09 2(Full).reg", second);
    platform.AddFile(second, "second backup");
    const std::string third = MakeUniqueBackupPath(platform, platform, platform, kFolder, "Full");
    EXPECT_EQ(std::string(kFolder) + "2008-03-03 14-05-09 3(Full).reg", third);

    // Each still lists with its type, and the earlier files are untouched.
    EXPECT_EQ("Full", BackupTypeOfFileName("2008-03-03 14-05-09 3(Full).reg"));
    EXPECT_EQ("first backup", platform.FileContent(first));

    // Another kind of the same second is a name of its own.
    EXPECT_EQ(std::string(kFolder) + "2008-03-03 14-05-09(Auto).reg",
              MakeUniqueBackupPath(platform, platform, platform, kFolder, "Auto"));
    // The next second starts without a counter again.
    platform.SetLocalTime(Moment(2008, 3, 3, 14, 5, 10));
    EXPECT_EQ(std::string(kFolder) + "2008-03-03 14-05-10(Full).reg",
              MakeUniqueBackupPath(platform, platform, platform, kFolder, "Full"));
}

TEST_F(BackupStoreTest, UniquePathComparesNamesWithoutRegardToCaseAndAddsTheBackslash)
{
    platform.AddFile("C:\\Backups\\2008-03-03 14-05-09(FULL).REG");
    EXPECT_EQ("C:\\Backups\\2008-03-03 14-05-09 2(Full).reg",
              MakeUniqueBackupPath(platform, platform, platform, "C:\\Backups", "Full"));
    // A folder of that name counts as taken, too.
    platform.AddFolder("C:\\Backups\\2008-03-03 14-05-09 2(Full).reg");
    EXPECT_EQ("C:\\Backups\\2008-03-03 14-05-09 3(Full).reg",
              MakeUniqueBackupPath(platform, platform, platform, "C:\\Backups\\", "Full"));
}

TEST(BackupSelection, StaysAtItsPositionAndMovesUpToTheLastRow)
{
    EXPECT_EQ(2, SelectionAfterRefresh(2, 4));    // third of five, four left
    EXPECT_EQ(3, SelectionAfterRefresh(4, 4));    // fifth of five, now the last
    EXPECT_EQ(-1, SelectionAfterRefresh(-1, 4));  // none stays none
    EXPECT_EQ(0, SelectionAfterRefresh(0, 1));
    EXPECT_EQ(-1, SelectionAfterRefresh(0, 0));   // the list got empty
    EXPECT_EQ(-1, SelectionAfterRefresh(-1, 0));
    EXPECT_EQ(2, SelectionAfterRefresh(2, 9));    // a longer list keeps the position
    EXPECT_EQ(0, SelectionAfterRefresh(7, 1));
}
