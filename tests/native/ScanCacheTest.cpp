// A scan with one ScanCache shared by its tasks on the in-memory platform:
// the same findings in the same order as without it over a varied registry,
// each path and the drive table asked for once per scan, and a new scan that
// asks again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <tuple>
#include <vector>

#include "core/ScanCache.h"
#include "core/ScanTasks.h"
#include "tests/support/MemoryPlatform.h"
#include "tests/support/ScanRecorder.h"

namespace {

using Rows = std::vector<std::string>;

const char kCurrentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion\\";
const char kUser[] = "S-1-5-21-1";

std::string Cv(const std::string& rest)
{
    return kCurrentVersion + rest;
}

// What a whole scan of tasks 1 to 11 reported.
struct ScanRecord {
    Rows rows;
    Rows walkedKeys;
};

ScanRecord ScanAllTasks(MemoryPlatform& platform, ScanCache* cache)
{
    RecordingSink sink;
    ScanRecord record;
    for (int task = 1; task <= kScanTaskCount; ++task)
        RunScanTask(platform, task, sink.Sink(), nullptr, cache);
    record.rows = sink.Rows();
    record.walkedKeys = sink.walkedKeys;
    return record;
}

// The texts every walking task meets, in every shape the path rules tell
// apart: present files, missing ones, folders, type libraries inside modules,
// paths on drives that are no fixed disks, commands with arguments, refused
// texts, and the same paths again in other case and quoting.
const char* const kTexts[] = {
    "C:\\Apps\\present.exe",
    "\"C:\\Apps\\present.exe\" /S",
    "c:\\apps\\PRESENT.EXE",
    "C:\\Gone\\app.exe",
    "\"C:\\Gone\\app.exe\" /background",
    "C:\\GONE\\APP.EXE",
    "C:\\Apps\\Data",
    "C:\\Apps\\Data\\2",
    "C:\\Apps\\present.dll\\2",
    "C:\\Apps\\present.dll\\2a",
    "C:\\Gone\\absent.dll\\2",
    "D:\\Setup\\setup.exe",
    "E:\\Stick\\tool.exe",
    "G:\\Data\\lib.dll",
    "G:\\Gone\\lib.dll",
    "Q:\\Nowhere\\x.exe",
    "C:\\Gone\\x.exe -silent",
    "C:\\Gone\\a.dll,C:\\Gone\\b.dll",
    "rundll32.exe shell32.dll,Control_RunDLL x.cpl",
    "%SystemRoot%\\gone.dll",
    "  C:\\Gone\\padded.exe  ",
    "C:\\",
    "English",
    "",
};

class ScanCacheTest : public ::testing::Test {
protected:
    ScanCacheTest()
    {
        platform.AddFile("C:\\Apps\\present.exe");
        platform.AddFile("C:\\Apps\\present.dll");
        platform.AddFolder("C:\\Apps\\Data");
        platform.SetDrive('D', kDriveCdRom);
        platform.SetDrive('E', kDriveRemovable);
        platform.SetDrive('G', kDriveFixed);
        platform.AddFile("G:\\Data\\lib.dll");
    }

    // The texts as data and as value names below key, for tasks 1 to 3.
    void PlantTexts(RootKey root, const std::string& key)
    {
        int n = 0;
        for (const char* text : kTexts) {
            platform.AddString(root, key, "Value" + std::to_string(n++), text);
            if (*text)
                platform.AddString(root, key + "\\Named", text, "");
        }
        platform.AddDword(root, key, "C:\\Gone\\number.dll", 1);
    }

    // Something for each of the eleven tasks, the user's settings both below
    // HKEY_CURRENT_USER and below HKEY_USERS as the system shows them.
    void PlantRegistry()
    {
        PlantTexts(kHkeyCurrentUser, "Software\\Vendor\\App");
        PlantTexts(kHkeyUsers, std::string(kUser) + "\\Software\\Vendor\\App");
        PlantTexts(kHkeyUsers, ".DEFAULT\\Software\\Vendor\\App");
        PlantTexts(kHkeyLocalMachine, "Software\\Vendor\\App");
        PlantTexts(kHkeyLocalMachine, "SYSTEM\\Services\\Driver");
        int n = 0;
        for (const char* text : kTexts) {
            const std::string id = "{" + std::to_string(n++) + "}";
            platform.AddString(kHkeyClassesRoot, "CLSID\\" + id + "\\InprocServer32", "", text);
            platform.AddString(kHkeyLocalMachine, "Software\\Classes\\CLSID\\" + id + "\\LocalServer32",
                               "", text);
            platform.AddString(kHkeyLocalMachine, Cv("Uninstall\\App" + id), "UninstallString", text);
            platform.AddString(kHkeyLocalMachine, "Software\\Classes\\.ext" + std::to_string(n), "",
                               "class" + std::to_string(n));
            platform.AddString(kHkeyLocalMachine,
                               "Software\\Classes\\class" + std::to_string(n) + "\\Shell\\Open\\Command",
                               "", std::string(text) + " \"%1\"");
            if (*text)
                platform.AddDword(kHkeyLocalMachine, Cv("SharedDlls"), text, 1);
            platform.AddString(kHkeyLocalMachine, Cv("Run"), "Run" + std::to_string(n), text);
            platform.AddString(kHkeyCurrentUser, Cv("RunOnce"), "Once" + std::to_string(n), text);
        }
        platform.AddKey(kHkeyLocalMachine, Cv("Uninstall\\Empty"));
        platform.AddString(kHkeyCurrentUser, Cv("Explorer\\RunMRU"), "a", "C:\\Gone\\app.exe");
        platform.AddString(kHkeyCurrentUser, Cv("Explorer\\Shell Folders"), "Programs",
                           "C:\\User\\Programs");
        platform.AddFolder("C:\\User\\Programs\\Games");
        platform.AddKey(kHkeyCurrentUser, Cv("Explorer\\MenuOrder\\Start Menu\\Programs\\Games"));
        platform.AddKey(kHkeyCurrentUser, Cv("Explorer\\MenuOrder\\Start Menu\\Programs\\Old"));
        platform.AddKey(kHkeyCurrentUser, "Software\\Empty");
        platform.AddString(kHkeyLocalMachine, "System\\CurrentControlSet\\Control\\Nls\\Locale",
                           "00000409", "");
        platform.SetTimeZoneName("Zone A");
        for (const char* zone : {"Zone A", "Zone B"})
            platform.AddString(kHkeyLocalMachine,
                               std::string("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones\\") +
                                   zone,
                               "std", zone);
    }

    // Scans every task without a cache and then with one; the two must
    // agree row for row. Returns the cached scan.
    ScanRecord ScanTwiceAndCompare()
    {
        const ScanRecord uncached = ScanAllTasks(platform, nullptr);
        ScanCache cache;
        ScanRecord cached = ScanAllTasks(platform, &cache);
        EXPECT_EQ(uncached.rows, cached.rows);
        EXPECT_EQ(uncached.walkedKeys, cached.walkedKeys);
        return cached;
    }

    MemoryPlatform platform;
};

TEST_F(ScanCacheTest, ACachedScanFindsExactlyWhatAnUncachedScanFinds)
{
    PlantRegistry();

    const ScanRecord cached = ScanTwiceAndCompare();
    // The planted registry gives findings of every shape; the comparison
    // above means something only then.
    EXPECT_GT(cached.rows.size(), 100u);
    const std::string gone = DescribeRow("HKEY_CURRENT_USER", "Software\\Vendor\\App", "Value3",
                                         "C:\\Gone\\app.exe", 0, 1);
    const std::string present = DescribeRow("HKEY_CURRENT_USER", "Software\\Vendor\\App", "Value0",
                                            "C:\\Apps\\present.exe", 0, 1);
    EXPECT_EQ(1, std::count(cached.rows.begin(), cached.rows.end(), gone));
    EXPECT_EQ(0, std::count(cached.rows.begin(), cached.rows.end(), present));
}

// Paths and names of every script, the file system's case rules applied to
// them, and a name holding a lone surrogate.
TEST_F(ScanCacheTest, ACachedScanFindsTheSameWithNamesOfEveryScript)
{
    PlantRegistry();
    const std::string key = "Software\\Vendor\\Программа";
    platform.AddString(kHkeyCurrentUser, key, "Gone", "C:\\ソフト\\😀.exe");
    platform.AddString(kHkeyCurrentUser, key, "Letter", "Ж:\\gone.exe");
    platform.AddFile("C:\\Программа\\here.exe");
    platform.AddString(kHkeyCurrentUser, key, "Here", "c:\\ПРОГРАММА\\HERE.exe");
    platform.AddString(kHkeyCurrentUser, key, "Lone\xED\xA0\x80", "C:\\Gone\\Ωμεγα.exe");

    const ScanRecord cached = ScanTwiceAndCompare();
    for (const auto& [name, data, found] :
         {std::make_tuple("Gone", "C:\\ソフト\\😀.exe", 1),
          std::make_tuple("Lone\xED\xA0\x80", "C:\\Gone\\Ωμεγα.exe", 1),
          std::make_tuple("Here", "c:\\ПРОГРАММА\\HERE.exe", 0)}) {
        const std::string row = DescribeRow("HKEY_CURRENT_USER", key, name, data, 0, 1);
        EXPECT_EQ(found, std::count(cached.rows.begin(), cached.rows.end(), row)) << name;
    }
}

// Task 2 walks the user's settings again below HKEY_USERS: with the scan's
// cache it asks the file system about none of them a second time, and the
// drive table is read once for the whole scan.
TEST_F(ScanCacheTest, EachPathAndTheDrivesAreAskedForOncePerScan)
{
    platform.AddString(kHkeyCurrentUser, "Software\\App", "Gone", "C:\\Gone\\app.exe");
    platform.AddString(kHkeyCurrentUser, "Software\\App", "Here", "C:\\Apps\\present.exe");
    platform.AddString(kHkeyCurrentUser, "Software\\App", "Again", "\"C:\\Gone\\app.exe\" /S");
    platform.AddString(kHkeyUsers, std::string(kUser) + "\\Software\\App", "Gone", "C:\\Gone\\app.exe");
    platform.AddString(kHkeyUsers, std::string(kUser) + "\\Software\\App", "Here",
                       "C:\\Apps\\present.exe");

    MemoryPlatform::FileTestCounts before = platform.FileTests();
    RecordingSink uncachedSink;
    RunScanTask(platform, 1, uncachedSink.Sink());
    RunScanTask(platform, 2, uncachedSink.Sink());
    const MemoryPlatform::FileTestCounts uncached = platform.FileTests();
    // Without the cache each of the five texts is tested on its own (the
    // three missing ones with the open test too), and the four drives are
    // asked for each of them.
    EXPECT_EQ(5u, uncached.attributeQueries - before.attributeQueries);
    EXPECT_EQ(3u, uncached.openTests - before.openTests);
    EXPECT_EQ(5u, uncached.driveLists - before.driveLists);
    EXPECT_EQ(20u, uncached.driveTypeQueries - before.driveTypeQueries);

    before = uncached;
    ScanCache cache;
    RecordingSink cachedSink;
    RunScanTask(platform, 1, cachedSink.Sink(), nullptr, &cache);
    const MemoryPlatform::FileTestCounts afterTask1 = platform.FileTests();
    // The missing file: attributes and the open test; the present one:
    // attributes only; the quoted form of the missing one: nothing new.
    EXPECT_EQ(2u, afterTask1.attributeQueries - before.attributeQueries);
    EXPECT_EQ(1u, afterTask1.openTests - before.openTests);
    RunScanTask(platform, 2, cachedSink.Sink(), nullptr, &cache);
    const MemoryPlatform::FileTestCounts afterTask2 = platform.FileTests();
    EXPECT_EQ(afterTask1.attributeQueries, afterTask2.attributeQueries);
    EXPECT_EQ(afterTask1.openTests, afterTask2.openTests);
    EXPECT_EQ(1u, afterTask2.driveLists - before.driveLists);
    EXPECT_EQ(4u, afterTask2.driveTypeQueries - before.driveTypeQueries);
    EXPECT_EQ(2u, cache.TestedPathCount());

    EXPECT_EQ(uncachedSink.Rows(), cachedSink.Rows());
    EXPECT_EQ(3u, cachedSink.findings.size());
}

// Within a scan a path keeps its first answer; the next scan, with a new
// cache, sees files and drives as they are then.
TEST_F(ScanCacheTest, ANewScanStartsWithAnEmptyCache)
{
    platform.AddString(kHkeyCurrentUser, "Software\\App", "Tool", "C:\\Gone\\tool.exe");
    platform.AddString(kHkeyCurrentUser, "Software\\App", "Data", "G:\\Data\\lib.dll");
    platform.AddString(kHkeyCurrentUser, "Software\\App", "Other", "G:\\Gone\\lib.dll");
    const Rows bothMissing{
        DescribeRow("HKEY_CURRENT_USER", "Software\\App", "Tool", "C:\\Gone\\tool.exe", 0, 1),
        DescribeRow("HKEY_CURRENT_USER", "Software\\App", "Other", "G:\\Gone\\lib.dll", 0, 1)};

    ScanCache first;
    RecordingSink firstSink;
    RunScanTask(platform, 1, firstSink.Sink(), nullptr, &first);
    EXPECT_EQ(bothMissing, firstSink.Rows());

    // The program is put back and G: becomes a network drive mid-scan: the
    // scan under way keeps what it learnt.
    platform.AddFile("C:\\Gone\\tool.exe");
    platform.SetDrive('G', kDriveRemote);
    RecordingSink sameScanSink;
    RunScanTask(platform, 1, sameScanSink.Sink(), nullptr, &first);
    EXPECT_EQ(bothMissing, sameScanSink.Rows());

    const MemoryPlatform::FileTestCounts before = platform.FileTests();
    ScanCache second;
    EXPECT_EQ(0u, second.TestedPathCount());
    RecordingSink secondSink;
    RunScanTask(platform, 1, secondSink.Sink(), nullptr, &second);
    EXPECT_EQ(Rows{}, secondSink.Rows());
    EXPECT_EQ(1u, platform.FileTests().driveLists - before.driveLists);
    EXPECT_LT(before.attributeQueries, platform.FileTests().attributeQueries);
}

}  // namespace
