// The backup store on real folders under Wine: which files a folder lists,
// the date, time, size and type each row shows, and new backup names beside
// files that already exist.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "RegistryScratch.h"
#include "core/BackupStore.h"
#include "win32/Win32Platform.h"

namespace {

struct Listing {
    std::string folder;
    std::vector<std::string> names;
};

std::vector<std::string> ListedNames(const std::string& folder)
{
    Listing listing{folder, {}};
    Platform& platform = SystemPlatform();
    FindFiles(platform, platform, folder, {{kBackupFilePattern, ""}},
              [](const std::string& path, const std::string& label, const FoundFile& found,
                 void* context) {
                  Listing& listing = *static_cast<Listing*>(context);
                  EXPECT_EQ(listing.folder + found.name, path);
                  EXPECT_EQ("", label);
                  listing.names.push_back(found.name);
              },
              &listing);
    std::sort(listing.names.begin(), listing.names.end());
    return listing.names;
}

// The creation time of a file as the system reports it, in local time.
SYSTEMTIME LocalCreationTime(const std::string& path)
{
    SYSTEMTIME local = {};
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data))
        return local;
    SYSTEMTIME universal;
    FileTimeToSystemTime(&data.ftCreationTime, &universal);
    SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local);
    return local;
}

class BackupFolderTest : public ::testing::TestWithParam<std::string> {};

} // namespace

TEST_P(BackupFolderTest, ListsOnlyRegFilesDirectlyInTheFolder)
{
    ScratchFolder folder(GetParam());
    ASSERT_TRUE(folder.IsCreated());
    folder.WriteTestFile("a.reg", "REGEDIT4\r\n");
    folder.WriteTestFile("B.REG", "REGEDIT4\r\n");
    folder.WriteTestFile("notes.txt", "");
    folder.WriteTestFile("c.reg.bak", "");
    ASSERT_TRUE(CreateDirectoryW(Widen((folder.Path() + "d.reg")).c_str(), nullptr));
    folder.WriteTestFile("d.reg\\inner.reg", "");

    EXPECT_EQ((std::vector<std::string>{"B.REG", "a.reg"}), ListedNames(folder.Path()));
}

TEST_P(BackupFolderTest, RowsShowCreationTimeSizeAndTypeOfRealFiles)
{
    ScratchFolder folder(GetParam());
    ASSERT_TRUE(folder.IsCreated());
    const std::string named = folder.WriteTestFile("2008-03-03 14-05-09(Full).reg", std::string(4321, 'r'));
    folder.WriteTestFile("old.reg", "");
    folder.WriteTestFile("(x).reg", "");
    folder.WriteTestFile("a(b)(c).reg", "");

    std::map<std::string, BackupRow> rows;
    Platform& platform = SystemPlatform();
    FindFiles(platform, platform, folder.Path(), {{kBackupFilePattern, ""}},
              [](const std::string& path, const std::string&, const FoundFile& found, void* context) {
                  (*static_cast<std::map<std::string, BackupRow>*>(context))[found.name] =
                      MakeBackupRow(SystemPlatform(), path, found);
              },
              &rows);
    ASSERT_EQ(4u, rows.size());

    const BackupRow& full = rows["2008-03-03 14-05-09(Full).reg"];
    // The file's own creation time, not the date its name carries.
    const SYSTEMTIME created = LocalCreationTime(named);
    char date[16];
    char time[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", created.wYear, created.wMonth, created.wDay);
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", created.wHour, created.wMinute, created.wSecond);
    EXPECT_NE("2008-03-03", full.date);
    EXPECT_EQ(date, full.date);
    EXPECT_EQ(time, full.time);
    EXPECT_EQ("4321", full.size);
    EXPECT_EQ("Full", full.type);
    EXPECT_EQ(named, full.path);

    EXPECT_EQ("", rows["old.reg"].type);
    EXPECT_EQ("0", rows["old.reg"].size);
    EXPECT_EQ(".reg", rows["(x).reg"].type);
    EXPECT_EQ("b", rows["a(b)(c).reg"].type);
}

TEST_P(BackupFolderTest, FileGoneAfterListingShowsZeroTimesAndSizeMinusOne)
{
    ScratchFolder folder(GetParam());
    ASSERT_TRUE(folder.IsCreated());
    const BackupRow row = MakeBackupRow(SystemPlatform(), folder.Path() + "gone(Auto).reg",
                                        FoundFile{"gone(Auto).reg", FILE_ATTRIBUTE_ARCHIVE, 10});
    EXPECT_EQ("0000-00-00", row.date);
    EXPECT_EQ("00:00:00", row.time);
    EXPECT_EQ("-1", row.size);
    EXPECT_EQ("Auto", row.type);
}

TEST_P(BackupFolderTest, NewBackupNameNeverTakesAnExistingFile)
{
    ScratchFolder folder(GetParam());
    ASSERT_TRUE(folder.IsCreated());
    Platform& platform = SystemPlatform();
    // Several names in a row within one second (or across a second
    // boundary): each is new and the earlier files keep their content.
    std::vector<std::string> made;
    for (int i = 0; i < 4; ++i) {
        const std::string path = MakeUniqueBackupPath(platform, platform, platform, folder.Path(), "Full");
        ASSERT_FALSE(path.empty());
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Widen(path).c_str())) << path;
        EXPECT_EQ(0u, path.find(folder.Path()));
        WriteWholeFile(path, "backup " + std::to_string(i));
        made.push_back(path);
    }
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ("backup " + std::to_string(i), ReadWholeFile(made[i]));
    EXPECT_EQ(4u, ListedNames(folder.Path()).size());
    FindFiles(platform, platform, folder.Path(), {{kBackupFilePattern, ""}},
              [](const std::string& path, const std::string&, const FoundFile& found, void* context) {
                  FileSystem& files = *static_cast<Platform*>(context);
                  EXPECT_EQ("Full", MakeBackupRow(files, path, found).type) << found.name;
              },
              &platform);
}

TEST(BackupNames, NameCarriesTheLocalDateAndTime)
{
    Platform& platform = SystemPlatform();
    // Retried when the second changes between the two readings.
    for (int attempt = 0; attempt < 5; ++attempt) {
        SYSTEMTIME before;
        GetLocalTime(&before);
        const std::string name = MakeBackupFileName(platform, platform, "Full");
        const std::string stamp = DateTimeStamp(platform, true);
        SYSTEMTIME after;
        GetLocalTime(&after);
        if (before.wSecond != after.wSecond)
            continue;
        char expected[64];
        std::snprintf(expected, sizeof expected, "%04d-%02d-%02d %02d-%02d-%02d(Full).reg", before.wYear,
                      before.wMonth, before.wDay, before.wHour, before.wMinute, before.wSecond);
        EXPECT_EQ(expected, name);
        std::snprintf(expected, sizeof expected, "%04d-%02d-%02d %02d:%02d:%02d", before.wYear,
                      before.wMonth, before.wDay, before.wHour, before.wMinute, before.wSecond);
        EXPECT_EQ(expected, stamp);
        return;
    }
    FAIL() << "the clock never stayed within one second";
}

TEST(BackupNames, MissingFolderListsNothing)
{
    EXPECT_TRUE(ListedNames("C:\\QuorvaneTests_no_such_folder\\Data\\").empty());
}

INSTANTIATE_TEST_SUITE_P(Drives, BackupFolderTest, ::testing::Values("C:\\", "Z:\\tmp\\"));
