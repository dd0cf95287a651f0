// The subkey cleaner tasks (5, 7 and 10) and the menu folder map on the
// in-memory platform, plus what every task shares: unknown task numbers, the
// stop flag, the guard against protected keys and closed key handles.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "core/KeyChecks.h"
#include "core/ScanContext.h"
#include "core/ScanTasks.h"
#include "tests/support/MemoryPlatform.h"
#include "tests/support/ScanRecorder.h"

namespace {

using Rows = std::vector<std::string>;

const char kHkcu[] = "HKEY_CURRENT_USER";
const char kHklm[] = "HKEY_LOCAL_MACHINE";

const char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kMenuOrder[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu\\Programs";
const char kMenuOrder2[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu2\\Programs";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kTimeZones[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones";

std::string KeyRow(const std::string& root, const std::string& path, const std::string& data = "",
                   bool scroll = true)
{
    return DescribeRow(root, path, "", data, 1, -1, scroll);
}

std::string Join(const std::string& path, const std::string& name)
{
    return path + "\\" + name;
}

class ScanTaskKeyTest : public ::testing::Test {
protected:
    ScanTaskKeyTest()
    {
        platform.AddFile("C:\\Apps\\present.exe");
        platform.SetDrive('D', kDriveCdRom);
    }

    void TearDown() override
    {
        EXPECT_EQ(0u, platform.OpenKeyCount());
        EXPECT_EQ(0u, platform.BadCloseCount());
    }

    void Run(int task, const std::atomic<bool>* stop = nullptr)
    {
        RunScanTask(platform, task, sink.Sink(), stop);
    }

    void AddZone(const std::string& key, const std::string& standardName)
    {
        platform.AddString(kHkeyLocalMachine, Join(kTimeZones, key), "Display", key);
        platform.AddString(kHkeyLocalMachine, Join(kTimeZones, key), "std", standardName);
    }

    MemoryPlatform platform;
    RecordingSink sink;
};

// ---------------------------------------------------------------- task 5

TEST_F(ScanTaskKeyTest, Task5ReportsEmptyRecordsAndRecordsWithAMissingUninstaller)
{
    platform.AddKey(kHkeyLocalMachine, Join(kUninstall, "Empty"));
    platform.AddString(kHkeyLocalMachine, Join(kUninstall, "Gone"), "UninstallString",
                       "\"C:\\Gone\\unins000.exe\" /S");
    platform.AddString(kHkeyLocalMachine, Join(kUninstall, "Present"), "UninstallString",
                       "\"C:\\Apps\\present.exe\" /S");
    platform.AddString(kHkeyLocalMachine, Join(kUninstall, "Msi"), "UninstallString",
                       "MsiExec.exe /X{12345678-1234-1234-1234-123456789012}");
    platform.AddString(kHkeyLocalMachine, Join(kUninstall, "NameOnly"), "DisplayName", "App");
    platform.AddString(kHkeyLocalMachine, Join(kUninstall, "CdDrive"), "UninstallString",
                       "D:\\setup.exe");
    // Only direct subkeys count: an empty key deeper down is not a record.
    platform.AddString(kHkeyLocalMachine, Join(kUninstall, "Parent"), "DisplayName", "Parent");
    platform.AddKey(kHkeyLocalMachine, Join(kUninstall, "Parent\\EmptyChild"));

    Run(5);

    EXPECT_EQ((Rows{KeyRow(kHklm, Join(kUninstall, "Empty")),
                    KeyRow(kHklm, Join(kUninstall, "Gone"))}),
              sink.Rows());
    EXPECT_EQ(Rows{}, sink.walkedKeys);
}

TEST_F(ScanTaskKeyTest, Task5ReadsTheUninstallCommandIntoAFixedBuffer)
{
    // 499 characters and the zero unit fill the 1000-byte buffer; one more does not.
    const std::string fits = "C:\\Gone\\" + std::string(487, 'a') + ".exe";
    const std::string tooLong = "C:\\Gone\\" + std::string(488, 'a') + ".exe";
    ASSERT_EQ(499u, fits.size());
    platform.AddString(kHkeyLocalMachine, Join(kUninstall, "Fits"), "UninstallString", fits);
    platform.AddString(kHkeyLocalMachine, Join(kUninstall, "TooLong"), "UninstallString", tooLong);
    platform.AddString(kHkeyLocalMachine, Join(kUninstall, "Oversized"), "UninstallString",
                       "C:\\Gone\\x.exe");
    platform.MakeValueOversized(kHkeyLocalMachine, Join(kUninstall, "Oversized"), "UninstallString");

    Run(5);

    EXPECT_EQ((Rows{KeyRow(kHklm, Join(kUninstall, "Fits"))}), sink.Rows());
}

TEST_F(ScanTaskKeyTest, Task5SkipsRecordsItCannotOpenOrCount)
{
    platform.AddKey(kHkeyLocalMachine, Join(kUninstall, "Locked"));
    platform.SetKeyFaults(kHkeyLocalMachine, Join(kUninstall, "Locked"), kDenyOpen);
    // Counts unknown: an empty-looking record is not reported, but its
    // uninstall command is still read.
    platform.AddKey(kHkeyLocalMachine, Join(kUninstall, "Uncounted"));
    platform.SetKeyFaults(kHkeyLocalMachine, Join(kUninstall, "Uncounted"), kDenyQueryInfo);
    platform.AddString(kHkeyLocalMachine, Join(kUninstall, "UncountedGone"), "UninstallString",
                       "C:\\Gone\\u.exe");
    platform.SetKeyFaults(kHkeyLocalMachine, Join(kUninstall, "UncountedGone"), kDenyQueryInfo);

    Run(5);

    EXPECT_EQ((Rows{KeyRow(kHklm, Join(kUninstall, "UncountedGone"))}), sink.Rows());
}

TEST_F(ScanTaskKeyTest, Task5ReportsRecordsNamedInEveryScript)
{
    // No record is passed over for its name, not even one holding a lone surrogate.
    platform.AddKey(kHkeyLocalMachine, Join(kUninstall, "Программа"));
    platform.AddKey(kHkeyLocalMachine, Join(kUninstall, "ソフト\xED\xA0\x80"));
    platform.AddString(kHkeyLocalMachine, Join(kUninstall, "Ωμεγα"), "UninstallString",
                       "C:\\Ωμεγα\\😀.exe");
    platform.AddFile("C:\\ΩΜΕΓΑ\\😀.EXE");

    Run(5);

    EXPECT_EQ((Rows{KeyRow(kHklm, Join(kUninstall, "Программа")),
                    KeyRow(kHklm, Join(kUninstall, "ソフト\xED\xA0\x80"))}),
              sink.Rows());
}

TEST_F(ScanTaskKeyTest, Task5WithoutAnUninstallKeyReportsNothing)
{
    Run(5);
    EXPECT_EQ(Rows{}, sink.Rows());
}

// ---------------------------------------------------------------- menu folders

TEST_F(ScanTaskKeyTest, ListSubfoldersMapsTheFoldersDirectlyInside)
{
    platform.AddFolder("C:\\Menu\\Games");
    platform.AddFolder("C:\\Menu\\Games\\Deeper");
    platform.AddFolder("C:\\Menu\\Office Tools");
    platform.AddFile("C:\\Menu\\readme.txt");

    MenuFolderMap map{{"Stale", "C:\\Stale"}};
    ListSubfolders(platform, "C:\\Menu", map, false);
    EXPECT_EQ((MenuFolderMap{{"Games", "C:\\Menu\\Games"},
                             {"Office Tools", "C:\\Menu\\Office Tools"},
                             {"Stale", "C:\\Stale"}}),
              map);

    // A trailing backslash is not doubled; clearing drops what was there.
    ListSubfolders(platform, "C:\\Menu\\Games\\", map, true);
    EXPECT_EQ((MenuFolderMap{{"Deeper", "C:\\Menu\\Games\\Deeper"}}), map);

    ListSubfolders(platform, "C:\\Nowhere", map, false);
    EXPECT_EQ(1u, map.size());
    ListSubfolders(platform, "", map, true);   // cleared even without a folder
    EXPECT_TRUE(map.empty());
}

// ---------------------------------------------------------------- task 7

class Task7Test : public ScanTaskKeyTest {
protected:
    Task7Test()
    {
        platform.AddString(kHkeyCurrentUser, kShellFolders, "Programs", "C:\\User\\Programs");
        platform.AddString(kHkeyLocalMachine, kShellFolders, "Common Programs",
                           "C:\\All Users\\Programs\\");
        platform.AddFolder("C:\\User\\Programs\\games");
        platform.AddFolder("C:\\All Users\\Programs\\Accessories\\Deep");
        platform.AddFile("C:\\User\\Programs\\readme.txt");
    }
};

TEST_F(Task7Test, ReportsMenuOrdersOfProgramGroupsInNeitherProgramFolder)
{
    for (const char* name : {"Games", "Old App", "ACCESSORIES", "readme.txt", "Deep"})
        platform.AddKey(kHkeyCurrentUser, Join(kMenuOrder, name));
    platform.AddKey(kHkeyCurrentUser, Join(kMenuOrder2, "Gone Too"));
    platform.AddKey(kHkeyCurrentUser, Join(kMenuOrder2, "Games"));

    Run(7);

    EXPECT_EQ((Rows{KeyRow(kHkcu, Join(kMenuOrder, "Old App")),
                    KeyRow(kHkcu, Join(kMenuOrder, "readme.txt")),
                    KeyRow(kHkcu, Join(kMenuOrder, "Deep")),
                    KeyRow(kHkcu, Join(kMenuOrder2, "Gone Too"))}),
              sink.RowsContaining("MenuOrder"));
    EXPECT_EQ(Rows{}, sink.walkedKeys);
}

TEST_F(Task7Test, WithoutProgramFoldersEveryMenuOrderIsReported)
{
    platform.AddString(kHkeyCurrentUser, kShellFolders, "Programs", "");
    platform.AddString(kHkeyLocalMachine, kShellFolders, "Common Programs", "C:\\Nowhere");
    platform.AddKey(kHkeyCurrentUser, Join(kMenuOrder, "Games"));

    Run(7);

    EXPECT_EQ((Rows{KeyRow(kHkcu, Join(kMenuOrder, "Games"))}), sink.RowsContaining("MenuOrder"));
}

TEST_F(Task7Test, ReportsEmptyKeysDirectlyBelowSoftware)
{
    platform.AddKey(kHkeyCurrentUser, "Software\\Foo");
    platform.AddKey(kHkeyCurrentUser, "Software\\Parent\\EmptyChild");
    platform.AddString(kHkeyCurrentUser, "Software\\Valued", "", "");
    platform.AddKey(kHkeyCurrentUser, "Software\\Locked");
    platform.SetKeyFaults(kHkeyCurrentUser, "Software\\Locked", kDenyOpen);
    platform.AddKey(kHkeyCurrentUser, "Software\\Uncounted");
    platform.SetKeyFaults(kHkeyCurrentUser, "Software\\Uncounted", kDenyQueryInfo);
    platform.AddKey(kHkeyLocalMachine, "Software\\Empty Machine Key");
    platform.AddKey(kHkeyLocalMachine, "Hardware\\Empty");

    Run(7);

    // The shell folder values of the fixture keep both "Software\Microsoft" keys
    // from being empty.
    EXPECT_EQ((Rows{KeyRow(kHkcu, "Software\\Foo"), KeyRow(kHklm, "Software\\Empty Machine Key")}),
              sink.Rows());
}

TEST_F(Task7Test, ReportsBrokenFileAssociationsWithTheirClass)
{
    const std::string classes = "Software\\Classes";
    const std::string brokenCommand = "\"C:\\Gone\\abc.exe\" \"%1\"";
    platform.AddString(kHkeyLocalMachine, Join(classes, ".abc"), "", "abcfile");
    platform.AddString(kHkeyLocalMachine, Join(classes, "abcfile\\Shell\\Open\\Command"), "",
                       brokenCommand);
    // No class named: the extension is its own class.
    platform.AddString(kHkeyLocalMachine, Join(classes, ".xyz\\Shell\\Open\\Command"), "",
                       "C:\\Gone\\xyz.exe %1");
    // The named class does not exist: the extension is its own class too.
    platform.AddString(kHkeyLocalMachine, Join(classes, ".nocls"), "", "NoSuchClass");
    platform.AddString(kHkeyLocalMachine, Join(classes, ".nocls\\Shell\\Open\\Command"), "",
                       "C:\\Gone\\nocls.exe");
    // Near misses: a present program, a refused command, a class that is no
    // extension, an extension whose class has no open command.
    platform.AddString(kHkeyLocalMachine, Join(classes, ".ok"), "", "okfile");
    platform.AddString(kHkeyLocalMachine, Join(classes, "okfile\\Shell\\Open\\Command"), "",
                       "\"C:\\Apps\\present.exe\" \"%1\"");
    platform.AddString(kHkeyLocalMachine, Join(classes, ".dash"), "", "dashfile");
    platform.AddString(kHkeyLocalMachine, Join(classes, "dashfile\\Shell\\Open\\Command"), "",
                       "\"C:\\Gone\\dash.exe\" -open \"%1\"");
    platform.AddString(kHkeyLocalMachine, Join(classes, "txtfile\\Shell\\Open\\Command"), "",
                       "C:\\Gone\\notepad.exe");
    platform.AddString(kHkeyLocalMachine, Join(classes, ".nocmd"), "", "nocmdfile");
    platform.AddKey(kHkeyLocalMachine, Join(classes, "nocmdfile\\Shell\\Open"));
    platform.AddString(kHkeyLocalMachine, Join(classes, ".big\\Shell\\Open\\Command"), "",
                       "C:\\Gone\\big.exe");
    platform.MakeValueOversized(kHkeyLocalMachine, Join(classes, ".big\\Shell\\Open\\Command"), "");

    Run(7);

    EXPECT_EQ((Rows{KeyRow(kHklm, Join(classes, ".abc"), brokenCommand, false),
                    KeyRow(kHklm, Join(classes, "abcfile"), brokenCommand, true),
                    KeyRow(kHklm, Join(classes, ".xyz"), "C:\\Gone\\xyz.exe %1", false),
                    KeyRow(kHklm, Join(classes, ".nocls"), "C:\\Gone\\nocls.exe", false)}),
              sink.RowsContaining("Classes\\"));
}

// An extension may name any text as its class. Neither a class name that
// would resolve to the classes key itself nor the class list may become a row.
TEST_F(Task7Test, NeverOffersTheClassesKeyOrTheClassList)
{
    const std::string classes = "Software\\Classes";
    platform.AddString(kHkeyLocalMachine, Join(classes, "Shell\\Open\\Command"), "",
                       "C:\\Gone\\odd.exe");
    platform.AddString(kHkeyLocalMachine, Join(classes, "CLSID\\Shell\\Open\\Command"), "",
                       "C:\\Gone\\odd.exe");
    platform.AddString(kHkeyLocalMachine, Join(classes, ".slash"), "", "\\");
    platform.AddString(kHkeyLocalMachine, Join(classes, ".list"), "", "CLSID");

    Run(7);

    EXPECT_EQ((Rows{KeyRow(kHklm, Join(classes, ".list"), "C:\\Gone\\odd.exe", false)}),
              sink.RowsContaining("Classes"));
}

TEST_F(Task7Test, RunsItsChecksInStepOrder)
{
    platform.AddString(kHkeyLocalMachine, "Software\\Classes\\.abc\\Shell\\Open\\Command", "",
                       "C:\\Gone\\abc.exe");
    platform.AddKey(kHkeyLocalMachine, "Software\\Empty");
    platform.AddKey(kHkeyCurrentUser, "Software\\Empty");
    platform.AddKey(kHkeyCurrentUser, Join(kMenuOrder2, "Second"));
    platform.AddKey(kHkeyCurrentUser, Join(kMenuOrder, "First"));

    Run(7);

    EXPECT_EQ((Rows{KeyRow(kHkcu, Join(kMenuOrder, "First")),
                    KeyRow(kHkcu, Join(kMenuOrder2, "Second")), KeyRow(kHkcu, "Software\\Empty"),
                    KeyRow(kHklm, "Software\\Empty"),
                    KeyRow(kHklm, "Software\\Classes\\.abc", "C:\\Gone\\abc.exe", false)}),
              sink.Rows());
}

// ---------------------------------------------------------------- task 10

TEST_F(ScanTaskKeyTest, Task10ReportsEveryTimeZoneButTheOneInUse)
{
    platform.SetTimeZoneName("W. Europe Standard Time");
    AddZone("Pacific Standard Time", "Pacific Standard Time");
    AddZone("W. Europe Standard Time", "W. Europe Standard Time");
    AddZone("Lower Case", "w. europe standard time");
    platform.AddString(kHkeyLocalMachine, Join(kTimeZones, "No Std"), "Display", "none");
    AddZone("Locked", "Locked Standard Time");
    platform.SetKeyFaults(kHkeyLocalMachine, Join(kTimeZones, "Locked"), kDenyOpen);

    Run(10);

    EXPECT_EQ((Rows{KeyRow(kHklm, Join(kTimeZones, "Pacific Standard Time"), "Pacific Standard Time"),
                    KeyRow(kHklm, Join(kTimeZones, "Lower Case"), "w. europe standard time")}),
              sink.Rows());
    EXPECT_EQ(Rows{}, sink.walkedKeys);
}

TEST_F(ScanTaskKeyTest, Task10WithEightyZonesReportsSeventyNine)
{
    platform.SetTimeZoneName("Zone 42");
    for (int i = 0; i < 80; ++i)
        AddZone("Key " + std::to_string(i), "Zone " + std::to_string(i));
    Run(10);
    ASSERT_EQ(79u, sink.findings.size());
    EXPECT_EQ("Zone 41", sink.findings[41].item.dataText);
    EXPECT_EQ("Zone 43", sink.findings[42].item.dataText);
}

// The zone in use is asked for every zone, so a change during the scan counts.
TEST_F(ScanTaskKeyTest, Task10AsksForTheZoneInUseForEveryZone)
{
    // Records each finding, then changes the zone in use.
    struct ZoneChanger {
        MemoryPlatform& platform;
        RecordingSink recorder;
    } changer{platform, {}};
    FindingSink changing;
    changing.addFinding = [](const RegistryItem& item, bool scroll, void* context) {
        ZoneChanger& changer = *static_cast<ZoneChanger*>(context);
        changer.recorder.AddFinding(item, scroll);
        changer.platform.SetTimeZoneName("Zone B");
    };
    changing.context = &changer;
    platform.SetTimeZoneName("Zone C");
    AddZone("A", "Zone A");
    AddZone("B", "Zone B");
    AddZone("C", "Zone C");

    RunScanTask(platform, 10, changing);

    EXPECT_EQ((Rows{KeyRow(kHklm, Join(kTimeZones, "A"), "Zone A"),
                    KeyRow(kHklm, Join(kTimeZones, "C"), "Zone C")}),
              changer.recorder.Rows());
}

// Without the name of the zone in use, the zone the system needs could not
// be told apart from the others.
TEST_F(ScanTaskKeyTest, Task10WithoutTheZoneInUseReportsNothing)
{
    platform.SetTimeZoneName("");
    AddZone("A", "Zone A");
    Run(10);
    EXPECT_EQ(Rows{}, sink.Rows());
}

// ---------------------------------------------------------------- all tasks

TEST_F(ScanTaskKeyTest, TaskNumbersOutsideOneToElevenDoNothing)
{
    platform.AddString(kHkeyCurrentUser, "Software\\App", "Tool", "C:\\Gone\\tool.exe");
    for (int task : {-1, 0, 12, 100})
        Run(task);
    EXPECT_EQ(Rows{}, sink.Rows());
    EXPECT_EQ(Rows{}, sink.walkedKeys);
    EXPECT_EQ(0u, platform.KeyOpenTotal());
}

TEST_F(ScanTaskKeyTest, ProtectedKeyPaths)
{
    for (const char* path : {"", "Software", "CLSID", "Software\\Classes", "SOFTWARE\\classes",
                             "Software\\Classes\\CLSID", "software\\CLASSES\\clsid",
                             "Software\\", "\\Software\\Foo", "Software\\\\Foo", "Software\\Foo\\"})
        EXPECT_TRUE(IsProtectedKeyPath(platform, path)) << path;
    for (const char* path : {"Software\\Foo", "CLSID\\{x}", "Software\\Classes\\.abc",
                             "Software\\Classes\\CLSID\\{x}", "Software\\Classes2"})
        EXPECT_FALSE(IsProtectedKeyPath(platform, path)) << path;


    // Names of every script: a top-level key is protected whatever its
    // letters; case folds in every script, but a Cyrillic letter that looks
    // like a Latin one is another letter.
    for (const char* path : {"Программа", "ソフト", "😀", "ΠΡΟΓΡΑΜΜΑ\\", "\\Ωμεγα\\x"})
        EXPECT_TRUE(IsProtectedKeyPath(platform, path)) << path;
    for (const char* path : {"Software\\ソ", "Программа\\Ключ", "Software\\\u0421lasses",
                             "Software\\Classes\\\u0421LSID", "Ωμεγα\\ΣΙΣΥΦΟΣ"})
        EXPECT_FALSE(IsProtectedKeyPath(platform, path)) << path;
}

// Every task ends at once when the flag is raised: nothing is added after it.
TEST_F(ScanTaskKeyTest, StopEndsEveryKindOfTaskAtOnce)
{
    const std::string explorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
    for (int i = 0; i < 5; ++i) {
        const std::string n = std::to_string(i);
        platform.AddString(kHkeyLocalMachine, "Software\\Vendor" + n, "Tool", "C:\\Gone\\" + n + ".exe");
        platform.AddKey(kHkeyLocalMachine, Join(kUninstall, "Empty" + n));
        platform.AddKey(kHkeyCurrentUser, Join(kMenuOrder, "Group" + n));
        platform.AddKey(kHkeyCurrentUser, Join(kMenuOrder2, "Group" + n));
        platform.AddString(kHkeyCurrentUser, explorer + "RunMRU", n, "cmd" + n);
        platform.AddString(kHkeyCurrentUser, explorer + "RecentDocs", n, "doc" + n);
        AddZone("Zone" + n, "Zone " + n);
    }
    for (int task : {3, 5, 6, 7, 10}) {
        std::atomic<bool> stop(false);
        RecordingSink stopping;
        stopping.stopFlag = &stop;
        stopping.stopAfterFindings = 1;
        RunScanTask(platform, task, stopping.Sink(), &stop);
        EXPECT_EQ(1u, stopping.findings.size()) << "task " << task;
        EXPECT_EQ(0u, stopping.afterStop) << "task " << task;
    }

    // Raised while a walk shows a key: not one value of it is checked.
    std::atomic<bool> stop(false);
    RecordingSink stopping;
    stopping.stopFlag = &stop;
    stopping.stopAfterKeys = 2;
    RunScanTask(platform, 3, stopping.Sink(), &stop);
    EXPECT_EQ(0u, stopping.findings.size());
    EXPECT_EQ(2u, stopping.walkedKeys.size());

    // Raised before the task: nothing is opened at all.
    const std::size_t opened = platform.KeyOpenTotal();
    RecordingSink idle;
    for (int task = 1; task <= kScanTaskCount; ++task)
        RunScanTask(platform, task, idle.Sink(), &stop);
    EXPECT_EQ(opened, platform.KeyOpenTotal());
    EXPECT_TRUE(idle.findings.empty());
    EXPECT_TRUE(idle.walkedKeys.empty());
}

// A full run of all eleven tasks over a mixed registry leaves no key open.
TEST_F(ScanTaskKeyTest, AllTasksCloseEveryKeyTheyOpen)
{
    platform.AddString(kHkeyCurrentUser, "Software\\App", "Tool", "C:\\Gone\\tool.exe");
    platform.AddString(kHkeyUsers, "S-1\\Software\\App", "Tool", "C:\\Gone\\tool.exe");
    platform.AddString(kHkeyClassesRoot, "CLSID\\{A}\\InprocServer32", "", "C:\\Gone\\a.dll");
    platform.AddKey(kHkeyLocalMachine, Join(kUninstall, "Empty"));
    platform.AddString(kHkeyLocalMachine, "Software\\Classes\\.abc\\Shell\\Open\\Command", "",
                       "C:\\Gone\\abc.exe");
    AddZone("Zone", "Other Zone");
    for (int task = 1; task <= kScanTaskCount; ++task)
        Run(task);
    EXPECT_EQ(6u, sink.findings.size());
    EXPECT_LT(0u, platform.KeyOpenTotal());
    // TearDown checks that every handle is closed again.
}

// A sink may leave its functions out: every task then does the same work
// and reports to nobody.
TEST_F(ScanTaskKeyTest, ASinkWithoutFunctionsLeavesTheTasksAsTheyAre)
{
    platform.AddString(kHkeyCurrentUser, "Software\\App", "Tool", "C:\\Gone\\tool.exe");
    platform.AddKey(kHkeyLocalMachine, Join(kUninstall, "Empty"));
    platform.AddKey(kHkeyCurrentUser, Join(kMenuOrder, "Group"));
    AddZone("Zone", "Other Zone");
    for (int task = 1; task <= kScanTaskCount; ++task) {
        const std::size_t start = platform.KeyOpenTotal();
        Run(task);
        const std::size_t recorded = platform.KeyOpenTotal() - start;
        RunScanTask(platform, task, FindingSink());
        EXPECT_EQ(recorded, platform.KeyOpenTotal() - start - recorded) << "task " << task;
    }
    EXPECT_EQ(4u, sink.findings.size());
}

}  // namespace
