// The Win32 platform against the real registry, file system and drives:
// the answers the program relies on, which the in-memory platform copies.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "RegistryScratch.h"
#include "core/StartupRules.h"
#include "win32/Win32Handles.h"
#include "win32/Win32Platform.h"

#include <shlobj.h>
#include <cstdio>
#include "tests/support/RegistryPlatformCases.h"

namespace {

class Win32RegistryTest : public ::testing::Test {
protected:
    Platform& platform = SystemPlatform();
    ScratchRegistryKey scratch;

    void SetUp() override { ASSERT_TRUE(scratch.IsCreated()); }

    KeyHandle Open(const std::string& subPath, long* result = nullptr)
    {
        KeyHandle key = kNoKey;
        std::string path = scratch.KeyPath() + (subPath.empty() ? "" : "\\" + subPath);
        long r = platform.OpenKey(RootHandle(kHkeyCurrentUser), path, &key);
        if (result)
            *result = r;
        return key;
    }
};

TEST_F(Win32RegistryTest, RootHandlesAndEmptyPaths)
{
    KeyHandle key = kNoKey;
    EXPECT_EQ(kResultOk, platform.OpenKey(RootHandle(kHkeyCurrentUser), "", &key));
    EXPECT_EQ(RootHandle(kHkeyCurrentUser), key);
    EXPECT_EQ(kResultOk, platform.OpenKey(RootHandle(kHkeyLocalMachine), "Software", &key));
    EXPECT_NE(kNoKey, key);
    KeyInfo info;
    EXPECT_EQ(kResultOk, platform.QueryInfoKey(key, &info));
    EXPECT_GT(info.subKeyCount, 0u);
    KeyHandle same = kNoKey;
    EXPECT_EQ(kResultOk, platform.OpenKey(key, "", &same));
    EXPECT_EQ(key, same);
    platform.CloseKey(key);
    // Closing a root key leaves it usable.
    platform.CloseKey(RootHandle(kHkeyCurrentUser));
    EXPECT_EQ(kResultOk, platform.QueryInfoKey(RootHandle(kHkeyCurrentUser), &info));
}

TEST_F(Win32RegistryTest, PathRules)
{
    ASSERT_TRUE(scratch.CreateSubKey("A\\B"));
    long result = -1;
    KeyHandle key = kNoKey;
    EXPECT_EQ(161, platform.OpenKey(RootHandle(kHkeyCurrentUser), "\\" + scratch.KeyPath(), &key));
    EXPECT_EQ(kNoKey, key);
    for (const char* path : {"a\\", "A\\\\b", "A\\B\\"}) {
        key = Open(path, &result);
        EXPECT_EQ(kResultOk, result) << path;
        platform.CloseKey(key);
    }
    key = Open("A\\Missing", &result);
    EXPECT_EQ(kResultFileNotFound, result);
    EXPECT_EQ(kNoKey, key);
}

TEST_F(Win32RegistryTest, EnumerationAndQueriesReportSmallBuffers)
{
    ASSERT_TRUE(scratch.CreateSubKey("Alpha"));
    ASSERT_TRUE(scratch.SetValue("", "bin", REG_BINARY, "\x01\x02\x03"));
    KeyHandle key = Open("");
    char name[16];
    EXPECT_EQ(kResultMoreData, platform.EnumKey(key, 0, name, 5));
    ASSERT_EQ(kResultOk, platform.EnumKey(key, 0, name, 6));
    EXPECT_STREQ("Alpha", name);
    EXPECT_EQ(kResultNoMoreItems, platform.EnumKey(key, 1, name, sizeof name));

    std::uint32_t nameLength = 3, type = 0, size = 8;
    std::uint8_t data[8];
    EXPECT_EQ(kResultMoreData, platform.EnumValue(key, 0, name, &nameLength, &type, data, &size));
    nameLength = sizeof name;
    size = 2;
    EXPECT_EQ(kResultMoreData, platform.EnumValue(key, 0, name, &nameLength, &type, data, &size));
    EXPECT_EQ(3u, size);
    nameLength = sizeof name;
    EXPECT_EQ(kResultOk, platform.EnumValue(key, 0, name, &nameLength, nullptr, nullptr, nullptr));
    EXPECT_EQ(3u, nameLength);
    nameLength = sizeof name;
    EXPECT_EQ(kResultNoMoreItems, platform.EnumValue(key, 1, name, &nameLength, &type, data, &size));

    size = 0;
    EXPECT_EQ(kResultOk, platform.QueryValue(key, "BIN", &type, nullptr, &size));
    EXPECT_EQ(3u, size);
    EXPECT_EQ(kRegBinary, type);
    size = 2;
    EXPECT_EQ(kResultMoreData, platform.QueryValue(key, "bin", &type, data, &size));
    EXPECT_EQ(3u, size);
    EXPECT_EQ(kResultFileNotFound, platform.QueryValue(key, "", &type, data, &size));
    KeyInfo info;
    ASSERT_EQ(kResultOk, platform.QueryInfoKey(key, &info));
    // Name lengths are told as room for UTF-8: three bytes a UTF-16 unit.
    EXPECT_EQ(1u, info.subKeyCount);
    EXPECT_EQ(15u, info.maxSubKeyNameLength);
    EXPECT_EQ(1u, info.valueCount);
    EXPECT_EQ(9u, info.maxValueNameLength);
    platform.CloseKey(key);
}

TEST_F(Win32RegistryTest, VolatileKeysAreToldFromLastingOnes)
{
    struct Case {
        RootKey root;
        std::string path;
        bool isVolatile;
    };
    const Case cases[] = {
        // Keys the system makes in memory at every start.
        {kHkeyLocalMachine, "System\\CurrentControlSet\\Control\\ServiceCurrent", true},
        {kHkeyLocalMachine, "Hardware\\DESCRIPTION", true},
        // Keys that last, the test's own among them.
        {kHkeyLocalMachine, "System\\CurrentControlSet\\Control", false},
        {kHkeyCurrentUser, scratch.KeyPath(), false},
        {kHkeyCurrentUser, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        KeyHandle key = kNoKey;
        ASSERT_EQ(kResultOk, platform.OpenKey(RootHandle(c.root), c.path, &key));
        bool isVolatile = !c.isVolatile;
        EXPECT_EQ(kResultOk, platform.QueryKeyVolatile(key, &isVolatile));
        EXPECT_EQ(c.isVolatile, isVolatile);
        platform.CloseKey(key);
    }
    // Asking leaves the key as it was: no subkey stays behind.
    KeyHandle key = Open("");
    KeyInfo info;
    ASSERT_EQ(kResultOk, platform.QueryInfoKey(key, &info));
    EXPECT_EQ(0u, info.subKeyCount);
    platform.CloseKey(key);
}

TEST_F(Win32RegistryTest, SetDeleteAndDeleteTree)
{
    ASSERT_TRUE(scratch.SetString("P\\Doomed\\Deep", "v", "x"));
    ASSERT_TRUE(scratch.CreateSubKey("P\\Kept"));
    KeyHandle parent = Open("P");
    const std::uint8_t dword[4] = {7, 0, 0, 0};
    EXPECT_EQ(kResultOk, platform.SetValue(parent, "n", kRegDword, dword, 4));
    EXPECT_EQ(kResultOk, platform.DeleteValue(parent, "N"));
    EXPECT_EQ(kResultFileNotFound, platform.DeleteValue(parent, "n"));

    KeyHandle inside = Open("P\\Doomed\\Deep");
    EXPECT_EQ(kResultOk, platform.DeleteKeyTree(parent, "doomed"));
    EXPECT_EQ(kResultFileNotFound, platform.DeleteKeyTree(parent, "Doomed"));
    KeyInfo info;
    EXPECT_EQ(1018, platform.QueryInfoKey(inside, &info));   // the key was deleted
    platform.CloseKey(inside);
    long result = -1;
    Open("P\\Doomed", &result);
    EXPECT_EQ(kResultFileNotFound, result);
    KeyHandle kept = Open("P\\Kept", &result);
    EXPECT_EQ(kResultOk, result);
    platform.CloseKey(kept);

    // An empty name empties the key itself, as the in-memory platform copies.
    ASSERT_TRUE(scratch.SetString("P", "own", "x"));
    EXPECT_EQ(kResultOk, platform.DeleteKeyTree(parent, ""));
    ASSERT_EQ(kResultOk, platform.QueryInfoKey(parent, &info));
    EXPECT_EQ(0u, info.subKeyCount);
    EXPECT_EQ(0u, info.valueCount);
    platform.CloseKey(parent);
}

class Win32FileSystemTest : public ::testing::TestWithParam<const char*> {
protected:
    Platform& platform = SystemPlatform();
};

TEST_P(Win32FileSystemTest, ExistenceAttributesAndListing)
{
    ScratchFolder folder(GetParam());
    ASSERT_TRUE(folder.IsCreated()) << GetParam();
    const std::string base = folder.Path();
    std::string file = folder.WriteTestFile("b.REG", "12345");
    folder.WriteTestFile("notes.txt", "");
    ASSERT_TRUE(CreateDirectoryW(Widen(base + "d.reg").c_str(), nullptr));

    EXPECT_TRUE(platform.OpenFileExists(file));
    EXPECT_FALSE(platform.OpenFileExists(base + "d.reg"));
    EXPECT_FALSE(platform.OpenFileExists(base + "missing.reg"));
    EXPECT_NE(0u, platform.FileAttributes(base + "d.reg") & kFileAttributeDirectory);
    EXPECT_NE(kInvalidFileAttributes, platform.FileAttributes(file));
    EXPECT_EQ(0u, platform.FileAttributes(file) & kFileAttributeDirectory);
    EXPECT_EQ(kInvalidFileAttributes, platform.FileAttributes(base + "missing.reg"));

    struct Listing {
        std::vector<std::string> names;
        std::uint64_t size = 0;   // of b.REG
    } listing;
    FolderVisitor collect = [](const FoundFile& found, void* context) {
        Listing& listing = *static_cast<Listing*>(context);
        listing.names.push_back(found.name);
        if (found.name == "b.REG")
            listing.size = found.size;
        return true;
    };
    EXPECT_TRUE(platform.ListFolder(base + "*.reg", collect, &listing));
    std::sort(listing.names.begin(), listing.names.end());
    EXPECT_EQ((std::vector<std::string>{"b.REG", "d.reg"}), listing.names);
    EXPECT_EQ(5u, listing.size);
    listing.names.clear();
    EXPECT_TRUE(platform.ListFolder(base + "*.*", collect, &listing));
    EXPECT_EQ(5u, listing.names.size());   // with "." and ".."
    EXPECT_NE(listing.names.end(), std::find(listing.names.begin(), listing.names.end(), ".."));
    EXPECT_FALSE(platform.ListFolder(base + "*.none", collect, &listing));
    EXPECT_FALSE(platform.ListFolder(base + "gone\\*.*", collect, &listing));
    // Without a visitor the result still tells whether the listing started.
    EXPECT_TRUE(platform.ListFolder(base + "*.*", nullptr, nullptr));
    EXPECT_FALSE(platform.ListFolder(base + "*.none", nullptr, nullptr));

    CalendarTime creation, lastWrite;
    ASSERT_TRUE(platform.FileTimes(file, &creation, nullptr, &lastWrite));
    CalendarTime now = platform.CurrentLocalTime();
    EXPECT_EQ(now.year, creation.year);
    EXPECT_EQ(now.year, lastWrite.year);
    EXPECT_FALSE(platform.FileTimes(base + "missing.reg", &creation, nullptr, nullptr));
}

TEST_P(Win32FileSystemTest, OutputFilesFoldersAndRemoval)
{
    ScratchFolder folder(GetParam());
    ASSERT_TRUE(folder.IsCreated());
    const std::string target = folder.Path() + "Data\\Quorvane\\Backup\\";
    EXPECT_TRUE(platform.MakeDirectoryPath(target));
    EXPECT_NE(kInvalidFileAttributes, platform.FileAttributes(target));

    const std::string path = target + "x.reg";
    auto file = platform.CreateOutputFile(path, true);
    ASSERT_NE(nullptr, file);
    const std::string bytes("REGEDIT4\r\n\n\0\xff", 13);
    EXPECT_TRUE(file->Write(bytes));
    EXPECT_EQ(13u, file->Position());
    EXPECT_TRUE(file->Close());
    EXPECT_EQ(bytes, ReadWholeFile(path));   // no line-end translation
    EXPECT_EQ(nullptr, platform.CreateOutputFile(path, true));
    EXPECT_EQ(bytes, ReadWholeFile(path));
    auto again = platform.CreateOutputFile(path, false);
    ASSERT_NE(nullptr, again);
    EXPECT_TRUE(again->Close());
    EXPECT_EQ("", ReadWholeFile(path));
    EXPECT_EQ(nullptr, platform.CreateOutputFile(folder.Path() + "no\\such\\x.reg", false));
    EXPECT_TRUE(platform.RemoveFile(path));
    EXPECT_FALSE(platform.RemoveFile(path));
}

INSTANTIATE_TEST_SUITE_P(Drives, Win32FileSystemTest, ::testing::Values("C:\\", "Z:\\tmp\\"));

TEST(Win32DriveTest, DriveTableMatchesTheSystem)
{
    Platform& platform = SystemPlatform();
    std::string strings = platform.LogicalDriveStrings();
    ASSERT_GE(strings.size(), 2u);
    EXPECT_EQ('\0', strings[strings.size() - 1]);
    EXPECT_EQ('\0', strings[strings.size() - 2]);
    EXPECT_NE(std::string::npos, strings.find(std::string("C:\\\0", 4)));
    EXPECT_NE(std::string::npos, strings.find(std::string("Z:\\\0", 4)));
    for (const char* root = strings.c_str(); *root; root += std::strlen(root) + 1)
        EXPECT_EQ(GetDriveTypeW(Widen(root).c_str()), platform.DriveType(root)) << root;
    EXPECT_EQ(kDriveFixed, platform.DriveType("c:\\"));
    EXPECT_EQ(kDriveFixed, platform.DriveType("C:"));
    char absent = 0;
    for (char letter = 'Y'; letter > 'D' && !absent; --letter) {
        if (strings.find(std::string(1, letter) + ":\\") == std::string::npos)
            absent = letter;
    }
    ASSERT_NE(0, absent);
    std::string absentRoot = std::string(1, absent) + ":\\";
    EXPECT_EQ(GetDriveTypeW(Widen(absentRoot).c_str()), platform.DriveType(absentRoot));
    EXPECT_EQ(GetDriveTypeW(L"C:\\windows\\"), platform.DriveType("C:\\windows\\"));
    EXPECT_EQ(GetDriveTypeW(L"C"), platform.DriveType("C"));
}

TEST(Win32TextTest, CaseRulesOfTheAnsiCodePage)
{
    Platform& platform = SystemPlatform();
    ASSERT_EQ(1252u, GetACP());
    ExpectCaseFoldRules(platform);
}

TEST(Win32ProfileTest, ReadsWithTheSameRulesAsTheMemoryPlatform)
{
    Platform& platform = SystemPlatform();
    ScratchFolder folder("C:\\");
    ASSERT_TRUE(folder.IsCreated());
    std::string file = folder.WriteTestFile("Quorvane.language", kProfileCaseText);
    ExpectProfileRules(platform, file);
    EXPECT_EQ("", platform.ReadProfileString(folder.Path() + "none.ini", "String", "key1", 100));
}

TEST(Win32TimeTest, LocalTimeAndTimeZoneName)
{
    Platform& platform = SystemPlatform();
    SYSTEMTIME before;
    GetLocalTime(&before);
    CalendarTime now = platform.CurrentLocalTime();
    EXPECT_EQ(before.wYear, now.year);
    EXPECT_EQ(before.wMonth, now.month);
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    char expected[128] = {};
    WideCharToMultiByte(CP_ACP, 0, zone.StandardName, -1, expected, sizeof expected, nullptr, nullptr);
    EXPECT_EQ(std::string(expected), platform.CurrentTimeZoneStandardName());
    EXPECT_FALSE(platform.CurrentTimeZoneStandardName().empty());
}

}  // namespace

// The test programs are 64-bit: the system redirects nothing for them, so
// the start-up rule lets them run.
TEST(Win32Environment, A64BitProcessDoesNotRunUnderWow64)
{
    EXPECT_FALSE(SystemPlatform().RunsUnderWow64());
    EXPECT_FALSE(MustRefuseToStart(sizeof(void*) == 4, SystemPlatform().RunsUnderWow64()));
}

// The elevation the platform reports is the one of the process's token:
// a full token is elevated, a limited one (an administrator's filtered
// token) is not, and a token with no split (no UAC, or a standard user) is
// elevated exactly when it holds the administrators' rights.
TEST(Win32Environment, RunsElevatedAgreesWithTheProcessToken)
{
    HANDLE opened = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened));
    const UniqueHandle token(opened);
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    ASSERT_TRUE(GetTokenInformation(token.Get(), TokenElevationType, &type, sizeof type, &size));

    const bool elevated = SystemPlatform().RunsElevated();
    if (type == TokenElevationTypeFull)
        EXPECT_TRUE(elevated);
    else if (type == TokenElevationTypeLimited)
        EXPECT_FALSE(elevated);
    else
        EXPECT_EQ(elevated, IsUserAnAdmin() != FALSE);
    // Asked again, the answer stays.
    EXPECT_EQ(elevated, SystemPlatform().RunsElevated());
    std::printf("token elevation type %d, elevated %d, user an admin %d\n", static_cast<int>(type),
                elevated ? 1 : 0, IsUserAnAdmin() ? 1 : 0);
}
