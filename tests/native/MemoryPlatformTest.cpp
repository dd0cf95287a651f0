// The in-memory platform answers as the Win32 functions do (result codes,
// sizes, path rules and case rules observed on the real system), so the core
// tests built on it mean something.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/MemoryPlatform.h"
#include "tests/support/RegistryPlatformCases.h"

namespace {

std::string Bytes(const char* text, std::size_t size) { return std::string(text, size); }

class MemoryRegistryTest : public ::testing::Test {
protected:
    MemoryPlatform platform;
    KeyHandle Open(const std::string& path, long* result = nullptr)
    {
        KeyHandle key = kNoKey;
        long r = platform.OpenKey(RootHandle(kHkeyCurrentUser), path, &key);
        if (result)
            *result = r;
        return key;
    }
};

TEST_F(MemoryRegistryTest, OpensByPathWithoutRegardToCaseAndKeepsStoredCase)
{
    platform.AddKey(kHkeyCurrentUser, "Software\\MixedCase\\Leaf");
    long result = -1;
    KeyHandle key = Open("SOFTWARE\\mixedcase", &result);
    ASSERT_EQ(kResultOk, result);
    char name[16];
    ASSERT_EQ(kResultOk, platform.EnumKey(key, 0, name, sizeof name));
    EXPECT_STREQ("Leaf", name);
    platform.CloseKey(key);
    EXPECT_EQ(0u, platform.OpenKeyCount());
}

TEST_F(MemoryRegistryTest, PathRulesFollowTheRegistry)
{
    platform.AddKey(kHkeyCurrentUser, "A\\B");
    long result = -1;
    KeyHandle key = Open("\\A", &result);
    EXPECT_EQ(161, result);   // a leading backslash is a bad path name
    EXPECT_EQ(kNoKey, key);
    for (const char* path : {"A\\", "A\\\\B", "A\\B\\"}) {
        key = Open(path, &result);
        EXPECT_EQ(kResultOk, result) << path;
        platform.CloseKey(key);
    }
    key = Open("A\\Missing", &result);
    EXPECT_EQ(kResultFileNotFound, result);
    EXPECT_EQ(kNoKey, key);
    // An empty path hands back the parent handle itself, not a new one.
    KeyHandle parent = Open("A");
    KeyHandle same = kNoKey;
    EXPECT_EQ(kResultOk, platform.OpenKey(parent, "", &same));
    EXPECT_EQ(parent, same);
    EXPECT_EQ(1u, platform.OpenKeyCount());
    platform.CloseKey(parent);
    platform.CloseKey(same);
    EXPECT_EQ(1u, platform.BadCloseCount());
    EXPECT_EQ(kResultOk, platform.OpenKey(RootHandle(kHkeyCurrentUser), "", &key));
    EXPECT_EQ(RootHandle(kHkeyCurrentUser), key);
    EXPECT_EQ(6, platform.OpenKey(0x12345, "A", &key));   // invalid handle
}

TEST_F(MemoryRegistryTest, AccessDeniedKeyCannotBeOpenedButItsChildrenCan)
{
    platform.AddKey(kHkeyCurrentUser, "Locked\\Child");
    platform.SetKeyFaults(kHkeyCurrentUser, "Locked", kDenyOpen);
    long result = -1;
    EXPECT_EQ(kNoKey, Open("Locked", &result));
    EXPECT_EQ(kResultAccessDenied, result);
    KeyHandle child = Open("Locked\\Child", &result);
    EXPECT_EQ(kResultOk, result);
    platform.CloseKey(child);
}

TEST_F(MemoryRegistryTest, EnumerationKeepsInsertionOrderAndReportsSmallBuffers)
{
    platform.AddKey(kHkeyCurrentUser, "K\\zeta");
    platform.AddKey(kHkeyCurrentUser, "K\\Alpha");
    platform.AddString(kHkeyCurrentUser, "K", "second", "a");   // 4 bytes of UTF-16
    platform.AddDword(kHkeyCurrentUser, "K", "First", 1);
    KeyHandle key = Open("K");
    char name[8];
    ASSERT_EQ(kResultOk, platform.EnumKey(key, 0, name, sizeof name));
    EXPECT_STREQ("zeta", name);
    ASSERT_EQ(kResultOk, platform.EnumKey(key, 1, name, sizeof name));
    EXPECT_STREQ("Alpha", name);
    EXPECT_EQ(kResultNoMoreItems, platform.EnumKey(key, 2, name, sizeof name));
    EXPECT_EQ(kResultMoreData, platform.EnumKey(key, 1, name, 5));
    EXPECT_EQ(kResultOk, platform.EnumKey(key, 1, name, 6));

    std::uint32_t nameLength = sizeof name, type = 0, dataSize = 8;
    std::uint8_t data[8];
    ASSERT_EQ(kResultOk, platform.EnumValue(key, 0, name, &nameLength, &type, data, &dataSize));
    EXPECT_STREQ("second", name);
    EXPECT_EQ(6u, nameLength);
    EXPECT_EQ(kRegSz, type);
    EXPECT_EQ(4u, dataSize);
    nameLength = 6;   // no room for the NUL
    dataSize = 8;
    EXPECT_EQ(kResultMoreData, platform.EnumValue(key, 0, name, &nameLength, &type, data, &dataSize));
    nameLength = sizeof name;
    dataSize = 2;
    EXPECT_EQ(kResultMoreData, platform.EnumValue(key, 0, name, &nameLength, &type, data, &dataSize));
    EXPECT_EQ(4u, dataSize);   // the size needed comes back
    nameLength = sizeof name;
    EXPECT_EQ(kResultOk, platform.EnumValue(key, 1, name, &nameLength, &type, nullptr, nullptr));
    EXPECT_STREQ("First", name);
    nameLength = sizeof name;
    EXPECT_EQ(kResultNoMoreItems, platform.EnumValue(key, 2, name, &nameLength, &type, data, &dataSize));
    platform.CloseKey(key);
}

TEST_F(MemoryRegistryTest, QueryValueReportsSizesAsTheSystemDoes)
{
    platform.AddValue(kHkeyCurrentUser, "K", "bin", kRegBinary, Bytes("\1\0\3", 3));
    KeyHandle key = Open("K");
    std::uint32_t type = 0, size = 0;
    EXPECT_EQ(kResultOk, platform.QueryValue(key, "BIN", &type, nullptr, &size));
    EXPECT_EQ(3u, size);
    std::uint8_t data[4] = {};
    size = 2;
    EXPECT_EQ(kResultMoreData, platform.QueryValue(key, "bin", &type, data, &size));
    EXPECT_EQ(3u, size);
    size = 4;
    EXPECT_EQ(kResultOk, platform.QueryValue(key, "bin", &type, data, &size));
    EXPECT_EQ(kRegBinary, type);
    EXPECT_EQ(0, std::memcmp(data, "\1\0\3", 3));
    EXPECT_EQ(kResultFileNotFound, platform.QueryValue(key, "", &type, data, &size));
    EXPECT_EQ(kResultFileNotFound, platform.QueryValue(key, "missing", &type, data, &size));
    platform.CloseKey(key);
}

TEST_F(MemoryRegistryTest, KeyInfoGivesCountsAndLongestSizes)
{
    platform.AddKey(kHkeyCurrentUser, "K\\abc");
    platform.AddKey(kHkeyCurrentUser, "K\\abcdefg");
    platform.AddValue(kHkeyCurrentUser, "K", "name12", kRegBinary, std::string(300, 'x'));
    platform.AddString(kHkeyCurrentUser, "K", "n", "text");
    KeyHandle key = Open("K");
    KeyInfo info;
    ASSERT_EQ(kResultOk, platform.QueryInfoKey(key, &info));
    EXPECT_EQ(2u, info.subKeyCount);
    EXPECT_EQ(7u, info.maxSubKeyNameLength);
    EXPECT_EQ(2u, info.valueCount);
    EXPECT_EQ(6u, info.maxValueNameLength);
    EXPECT_EQ(300u, info.maxValueDataSize);
    platform.SetKeyFaults(kHkeyCurrentUser, "K", kDenyQueryInfo);
    EXPECT_EQ(kResultAccessDenied, platform.QueryInfoKey(key, &info));
    platform.CloseKey(key);
}

TEST_F(MemoryRegistryTest, FaultsForEnumerationWritingAndOversizedData)
{
    platform.AddString(kHkeyCurrentUser, "K", "big", "data");
    platform.AddKey(kHkeyCurrentUser, "K\\Sub");
    platform.MakeValueOversized(kHkeyCurrentUser, "K", "big");
    KeyHandle key = Open("K");
    std::uint8_t data[4096];
    std::uint32_t type = 0, size = sizeof data;
    EXPECT_EQ(kResultMoreData, platform.QueryValue(key, "big", &type, data, &size));
    EXPECT_GT(size, sizeof data);

    platform.SetKeyFaults(kHkeyCurrentUser, "K", kDenyEnumerate | kDenyWrite);
    char name[16];
    std::uint32_t nameLength = sizeof name;
    EXPECT_EQ(kResultAccessDenied, platform.EnumKey(key, 0, name, sizeof name));
    EXPECT_EQ(kResultAccessDenied, platform.EnumValue(key, 0, name, &nameLength, &type, nullptr, nullptr));
    EXPECT_EQ(kResultAccessDenied, platform.SetValue(key, "x", kRegSz, nullptr, 0));
    EXPECT_EQ(kResultAccessDenied, platform.DeleteValue(key, "big"));
    EXPECT_TRUE(platform.HasValue(kHkeyCurrentUser, "K", "big"));
    platform.CloseKey(key);
}

TEST_F(MemoryRegistryTest, SetValueReplacesInPlaceAndDeleteValueRemoves)
{
    platform.AddString(kHkeyCurrentUser, "K", "one", "1");
    platform.AddString(kHkeyCurrentUser, "K", "two", "2");
    KeyHandle key = Open("K");
    const std::uint8_t dword[4] = {5, 0, 0, 0};
    EXPECT_EQ(kResultOk, platform.SetValue(key, "ONE", kRegDword, dword, 4));
    EXPECT_EQ((std::vector<std::string>{"one", "two"}), platform.ValueNames(kHkeyCurrentUser, "K"));
    std::uint32_t type = 0;
    std::string bytes;
    ASSERT_TRUE(platform.ReadValue(kHkeyCurrentUser, "K", "one", &type, &bytes));
    EXPECT_EQ(kRegDword, type);
    EXPECT_EQ(Bytes("\5\0\0\0", 4), bytes);
    EXPECT_EQ(kResultOk, platform.DeleteValue(key, "Two"));
    EXPECT_EQ(kResultFileNotFound, platform.DeleteValue(key, "two"));
    EXPECT_FALSE(platform.HasValue(kHkeyCurrentUser, "K", "two"));
    platform.CloseKey(key);
}

TEST_F(MemoryRegistryTest, NamesOfEveryScriptAreListedInUtf8AndReachedWithoutRegardToCase)
{
    const std::string lone = "Lone\xED\xA0\x80";   // a high surrogate without its partner
    platform.AddString(kHkeyCurrentUser, "Программа", "Путь", "1");
    platform.AddDword(kHkeyCurrentUser, "Программа", lone, 2);
    platform.AddKey(kHkeyCurrentUser, "Программа\\Ωμεγα😀");
    KeyHandle key = Open("ПРОГРАММА");
    ASSERT_NE(kNoKey, key);
    char name[32] = "x";
    std::uint32_t nameLength = sizeof name, type = 0, size = 0;
    ASSERT_EQ(kResultOk, platform.EnumValue(key, 1, name, &nameLength, &type, nullptr, &size));
    EXPECT_EQ(lone, name);
    EXPECT_EQ(lone.size(), nameLength);   // bytes of UTF-8, not characters
    nameLength = 8;                       // "Путь" needs 9 bytes with its NUL
    EXPECT_EQ(kResultMoreData, platform.EnumValue(key, 0, name, &nameLength, &type, nullptr, &size));
    ASSERT_EQ(kResultOk, platform.EnumKey(key, 0, name, sizeof name));
    EXPECT_STREQ("Ωμεγα😀", name);
    EXPECT_EQ(kResultOk, platform.QueryValue(key, "ПУТЬ", &type, nullptr, &size));
    EXPECT_EQ(kResultOk, platform.QueryValue(key, lone, &type, nullptr, &size));
    EXPECT_EQ(kResultFileNotFound, platform.QueryValue(key, "Lone", &type, nullptr, &size));
    EXPECT_EQ(kResultOk, platform.DeleteKeyTree(key, "ΩΜΕΓΑ😀"));
    platform.CloseKey(key);
    EXPECT_TRUE(platform.SubKeyNames(kHkeyCurrentUser, "Программа").empty());
}

TEST_F(MemoryRegistryTest, DeleteKeyTreeRemovesTheSubtreeOnly)
{
    platform.AddString(kHkeyCurrentUser, "P\\Doomed\\Deep", "v", "x");
    platform.AddKey(kHkeyCurrentUser, "P\\Kept");
    KeyHandle inside = Open("P\\Doomed\\Deep");
    KeyHandle parent = Open("P");
    EXPECT_EQ(kResultOk, platform.DeleteKeyTree(parent, "doomed"));
    EXPECT_FALSE(platform.HasKey(kHkeyCurrentUser, "P\\Doomed"));
    EXPECT_TRUE(platform.HasKey(kHkeyCurrentUser, "P\\Kept"));
    EXPECT_EQ(kResultFileNotFound, platform.DeleteKeyTree(parent, "Doomed"));
    // A handle to a deleted key answers "key deleted", as on the system.
    KeyInfo info;
    EXPECT_EQ(1018, platform.QueryInfoKey(inside, &info));
    platform.CloseKey(inside);
    platform.CloseKey(parent);
    EXPECT_EQ(0u, platform.OpenKeyCount());
    EXPECT_EQ(0u, platform.BadCloseCount());
}

TEST_F(MemoryRegistryTest, DeleteKeyTreeWithEmptyNameEmptiesTheKeyItself)
{
    // SHDeleteKeyA does this on the system; a caller passing an empty leaf
    // would wipe the parent, which tests must be able to see.
    platform.AddString(kHkeyCurrentUser, "P\\Child", "v", "x");
    platform.AddString(kHkeyCurrentUser, "P", "own", "x");
    KeyHandle parent = Open("P");
    EXPECT_EQ(kResultOk, platform.DeleteKeyTree(parent, ""));
    EXPECT_TRUE(platform.HasKey(kHkeyCurrentUser, "P"));
    EXPECT_TRUE(platform.SubKeyNames(kHkeyCurrentUser, "P").empty());
    EXPECT_TRUE(platform.ValueNames(kHkeyCurrentUser, "P").empty());
    platform.CloseKey(parent);
}

TEST_F(MemoryRegistryTest, DeleteKeyTreeRefusedChangesNothing)
{
    platform.AddKey(kHkeyCurrentUser, "P\\T\\Free");
    platform.AddKey(kHkeyCurrentUser, "P\\T\\Protected");
    platform.SetKeyFaults(kHkeyCurrentUser, "P\\T\\Protected", kDenyDelete);
    EXPECT_EQ(kResultAccessDenied, platform.DeleteKeyTree(RootHandle(kHkeyCurrentUser), "P\\T"));
    EXPECT_TRUE(platform.HasKey(kHkeyCurrentUser, "P\\T\\Free"));
}

TEST(MemoryFileSystemTest, FilesAndFoldersAnswerExistenceTests)
{
    MemoryPlatform platform;
    platform.AddFile("C:\\Program Files\\App\\app.exe", "MZ");
    platform.AddFile("C:\\locked.dat");
    platform.MakeFileUnopenable("C:\\locked.dat");
    EXPECT_TRUE(platform.OpenFileExists("c:\\program files\\APP\\App.exe"));
    EXPECT_FALSE(platform.OpenFileExists("C:\\Program Files\\App"));
    EXPECT_FALSE(platform.OpenFileExists("C:\\locked.dat"));
    EXPECT_EQ(0x20u, platform.FileAttributes("C:\\locked.dat"));
    EXPECT_EQ(kFileAttributeDirectory, platform.FileAttributes("C:\\Program Files\\App\\"));
    EXPECT_EQ(kFileAttributeDirectory, platform.FileAttributes("C:\\"));
    EXPECT_EQ(kInvalidFileAttributes, platform.FileAttributes("C:\\nothing.txt"));
    EXPECT_EQ(kInvalidFileAttributes, platform.FileAttributes("Q:\\"));
}

TEST(MemoryFileSystemTest, ListFolderMatchesTheLastComponentInInsertionOrder)
{
    MemoryPlatform platform;
    platform.AddFile("C:\\B\\b.REG", "12345");
    platform.AddFile("C:\\B\\notes.txt");
    platform.AddFile("C:\\B\\a.reg");
    platform.AddFolder("C:\\B\\d.reg");
    platform.AddFile("C:\\B\\d.reg\\inner.reg");
    std::vector<std::string> names;
    FolderVisitor collect = [](const FoundFile& file, void* context) {
        static_cast<std::vector<std::string>*>(context)->push_back(file.name);
        return true;
    };
    EXPECT_TRUE(platform.ListFolder("C:\\b\\*.reg", collect, &names));
    EXPECT_EQ((std::vector<std::string>{"b.REG", "a.reg", "d.reg"}), names);
    names.clear();
    EXPECT_TRUE(platform.ListFolder("C:\\B\\*.*", collect, &names));
    EXPECT_EQ((std::vector<std::string>{".", "..", "b.REG", "notes.txt", "a.reg", "d.reg"}), names);
    names.clear();
    FolderVisitor collectFirst = [](const FoundFile& file, void* context) {
        static_cast<std::vector<std::string>*>(context)->push_back(file.name);
        return false;   // stops after the first
    };
    EXPECT_TRUE(platform.ListFolder("C:\\B\\?.reg", collectFirst, &names));
    EXPECT_EQ((std::vector<std::string>{"b.REG"}), names);
    FoundFile first;
    platform.ListFolder("C:\\B\\b.reg",
                        [](const FoundFile& file, void* context) {
                            *static_cast<FoundFile*>(context) = file;
                            return true;
                        },
                        &first);
    EXPECT_EQ(5u, first.size);
    EXPECT_EQ(0x20u, first.attributes);
    EXPECT_FALSE(platform.ListFolder("C:\\B\\*.none", collect, &names));
    EXPECT_FALSE(platform.ListFolder("C:\\Missing\\*.*", collect, &names));
    // Without a visitor the result still tells whether the listing started.
    EXPECT_TRUE(platform.ListFolder("C:\\B\\*.*", nullptr, nullptr));
    EXPECT_FALSE(platform.ListFolder("C:\\B\\*.none", nullptr, nullptr));
    names.clear();
    EXPECT_TRUE(platform.ListFolder("C:\\*", collect, &names));
    EXPECT_EQ((std::vector<std::string>{"B"}), names);   // no dot entries in a drive root
}

TEST(MemoryFileSystemTest, OutputFilesCaptureBytesAndFailOnRequest)
{
    MemoryPlatform platform;
    EXPECT_EQ(nullptr, platform.CreateOutputFile("C:\\NoFolder\\x.reg", false));
    EXPECT_TRUE(platform.MakeDirectoryPath("C:\\Data\\Backup\\"));
    EXPECT_TRUE(platform.HasFolder("C:\\Data\\Backup"));
    auto file = platform.CreateOutputFile("C:\\Data\\Backup\\x.reg", true);
    ASSERT_NE(nullptr, file);
    EXPECT_TRUE(file->Write("A\r\n"));
    EXPECT_TRUE(file->Write(std::string("\0B", 2)));
    EXPECT_EQ(5u, file->Position());
    EXPECT_FALSE(platform.RemoveFile("C:\\Data\\Backup\\x.reg"));   // still open
    EXPECT_TRUE(file->Close());
    EXPECT_EQ(std::string("A\r\n\0B", 5), platform.FileContent("C:\\Data\\Backup\\x.reg"));
    EXPECT_EQ(nullptr, platform.CreateOutputFile("C:\\Data\\Backup\\X.REG", true));
    auto again = platform.CreateOutputFile("C:\\Data\\Backup\\X.REG", false);
    ASSERT_NE(nullptr, again);
    EXPECT_EQ("", platform.FileContent("C:\\Data\\Backup\\x.reg"));   // truncated
    again.reset();
    EXPECT_TRUE(platform.RemoveFile("C:\\Data\\Backup\\x.reg"));
    EXPECT_FALSE(platform.HasFile("C:\\Data\\Backup\\x.reg"));

    platform.FailFileCreation("C:\\Data\\denied.reg");
    EXPECT_EQ(nullptr, platform.CreateOutputFile("C:\\Data\\denied.reg", false));
    platform.FailFileWritesAfter("C:\\Data\\full.reg", 4);
    auto full = platform.CreateOutputFile("C:\\Data\\full.reg", false);
    ASSERT_NE(nullptr, full);
    EXPECT_TRUE(full->Write("1234"));
    EXPECT_FALSE(full->Write("5"));
    EXPECT_FALSE(full->Close());
    EXPECT_EQ("1234", platform.FileContent("C:\\Data\\full.reg"));
}

TEST(MemoryFileSystemTest, DirectoryPathsAndTimes)
{
    MemoryPlatform platform;
    platform.AddFile("C:\\f");
    EXPECT_FALSE(platform.MakeDirectoryPath("C:\\f\\sub\\"));   // a file stands in the way
    EXPECT_FALSE(platform.MakeDirectoryPath("Q:\\x\\"));        // no such drive
    EXPECT_TRUE(platform.MakeDirectoryPath("C:\\a\\b\\file.txt"));
    EXPECT_TRUE(platform.HasFolder("C:\\a\\b"));
    EXPECT_FALSE(platform.HasFile("C:\\a\\b\\file.txt"));
    platform.FailDirectoryCreation(true);
    EXPECT_FALSE(platform.MakeDirectoryPath("C:\\c\\"));

    CalendarTime created{2001, 2, 3, 4, 5, 6}, accessed{2002, 1, 1, 0, 0, 0}, written{2003, 1, 1, 0, 0, 0};
    platform.SetFileTimes("C:\\f", created, accessed, written);
    CalendarTime c, w;
    EXPECT_TRUE(platform.FileTimes("C:\\F", &c, nullptr, &w));
    EXPECT_EQ(2001, c.year);
    EXPECT_EQ(6, c.second);
    EXPECT_EQ(2003, w.year);
    EXPECT_FALSE(platform.FileTimes("C:\\none", &c, nullptr, nullptr));
}

TEST(MemoryDriveTest, DriveStringsAndTypes)
{
    MemoryPlatform platform;
    platform.SetDrive('e', kDriveCdRom);
    platform.SetDrive('D', kDriveFixed);
    platform.SetDrive('N', kDriveRemote);
    EXPECT_EQ(std::string("C:\\\0D:\\\0E:\\\0N:\\\0\0", 17), platform.LogicalDriveStrings());
    EXPECT_EQ(kDriveFixed, platform.DriveType("c:\\"));
    EXPECT_EQ(kDriveFixed, platform.DriveType("C:"));
    EXPECT_EQ(kDriveCdRom, platform.DriveType("E:\\"));
    EXPECT_EQ(kDriveNoRootDir, platform.DriveType("Q:\\"));
    EXPECT_EQ(kDriveNoRootDir, platform.DriveType("C"));
    platform.RemoveDrive('C');
    EXPECT_EQ(kDriveNoRootDir, platform.DriveType("C:\\"));
}

TEST(MemoryTextTest, CaseFoldingOfEveryScript)
{
    MemoryPlatform platform;
    ExpectCaseFoldRules(platform);
}

TEST(MemoryTextTest, AnsiTextIsCodePage1252)
{
    MemoryPlatform platform;
    EXPECT_EQ("Ä é ÿ € Š ™ plain", platform.AnsiToUtf8("\xC4 \xE9 \xFF \x80 \x8A \x99 plain"));
    // The five bytes 1252 leaves undefined stand for the control codes of the same number.
    EXPECT_EQ("\xC2\x81\xC2\x9D", platform.AnsiToUtf8("\x81\x9D"));
}

TEST(MemoryProfileTest, ReadsAsGetPrivateProfileString)
{
    MemoryPlatform platform;
    platform.SetProfileFile("C:\\Q\\Quorvane.language", kProfileCaseText);
    const std::string file = "c:\\q\\QUORVANE.language";   // names compare without case
    ExpectProfileRules(platform, file);
    EXPECT_EQ("", platform.ReadProfileString("C:\\none.ini", "String", "key1", 100));
}

TEST(MemoryTimeTest, ClockAndTimeZoneAreSettable)
{
    MemoryPlatform platform;
    platform.SetLocalTime(CalendarTime{2010, 12, 31, 23, 59, 58});
    platform.SetTimeZoneName("Tokyo Standard Time");
    CalendarTime now = platform.CurrentLocalTime();
    EXPECT_EQ(2010, now.year);
    EXPECT_EQ(58, now.second);
    EXPECT_EQ("Tokyo Standard Time", platform.CurrentTimeZoneStandardName());
}

}  // namespace
