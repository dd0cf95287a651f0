// The eleven cleaner tasks against the real registry and file system under
// Wine: uniquely named problems and near misses are planted in the places the
// tasks read, the real task runs through the system platform, and the planted
// problems must be among its rows with exact fields while the near misses
// must not. Everything planted is removed again.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "RegistryScratch.h"
#include "ScanPlant.h"
#include "core/ScanContext.h"
#include "core/ScanTasks.h"
#include "win32/Win32Platform.h"
#include "tests/support/ScanRecorder.h"

namespace {

using Rows = std::vector<std::string>;

const char kHkcu[] = "HKEY_CURRENT_USER";
const char kHklm[] = "HKEY_LOCAL_MACHINE";
const char kHkcr[] = "HKEY_CLASSES_ROOT";
const char kCurrentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion\\";

std::string KeyRow(const std::string& root, const std::string& path, const std::string& data = "",
                   bool scroll = true)
{
    return DescribeRow(root, path, "", data, 1, -1, scroll);
}

class ScanTaskTest : public ::testing::Test {
protected:
    // The unique name ends in a letter, so that no other scratch name of the
    // run (whose counters only grow) can contain it.
    ScanTaskTest() : folder("C:\\"), unique("QvScan" + UniqueScratchName() + "x")
    {
        present = folder.WriteTestFile("present.exe", "MZ");
        gone = DeletedFilePath(folder.Path(), "gone.exe");
        goneDll = DeletedFilePath(folder.Path(), "gone.dll");
    }

    void SetUp() override
    {
        ASSERT_TRUE(folder.IsCreated());
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Widen(present).c_str()));
        ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Widen(gone).c_str()));
    }

    RecordingSink Run(int task)
    {
        RecordingSink sink;
        RunScanTask(SystemPlatform(), task, sink.Sink());
        return sink;
    }

    // The rows of a run that concern the planted entries (those whose key
    // path or value name holds the unique name), sorted: the system lists the
    // values of a key in an order of its own. The order of the findings is
    // the subject of the native tests.
    Rows Planted(const RecordingSink& sink) const
    {
        Rows rows;
        for (const RecordedFinding& finding : sink.findings) {
            if (finding.item.keyPath.find(unique) != std::string::npos ||
                finding.item.valueName.find(unique) != std::string::npos)
                rows.push_back(DescribeFinding(finding));
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    static Rows Sorted(Rows rows)
    {
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    ScratchFolder folder;
    std::string unique;
    std::string present;
    std::string gone;
    std::string goneDll;
    RegistryPlanter plant;
};

// ---------------------------------------------------------------- tasks 1 and 2

TEST_F(ScanTaskTest, Tasks1And2FindMissingFilesInTheUserHive)
{
    ScratchRegistryKey scratch;
    ASSERT_TRUE(scratch.IsCreated());
    const std::string key = scratch.KeyPath();
    ASSERT_TRUE(scratch.SetString("", "Updater", "\"" + gone + "\" /background"));
    ASSERT_TRUE(scratch.SetValue("", "Expand", REG_EXPAND_SZ, gone + std::string(1, '\0')));
    ASSERT_TRUE(scratch.SetString("", goneDll, ""));
    ASSERT_TRUE(scratch.SetString("", "Present", present));
    ASSERT_TRUE(scratch.SetString("", "Switch", "\"" + gone + "\" -silent"));
    ASSERT_TRUE(scratch.SetString("CLSID", "", gone));
    ASSERT_TRUE(scratch.SetString("MyClsids\\Deep", "", gone));
    ASSERT_TRUE(scratch.SetString("Sub", "Tool", gone));

    const Rows expected = Sorted({DescribeRow(kHkcu, key, "Updater", "\"" + gone + "\" /background", 0, 1),
                        DescribeRow(kHkcu, key, goneDll, "", 0, 1),
                        DescribeRow(kHkcu, key + "\\Sub", "Tool", gone, 0, 1)});
    const RecordingSink task1 = Run(1);
    Rows rows;
    for (const RecordedFinding& finding : task1.findings) {
        if (finding.item.keyPath.compare(0, key.size(), key) == 0)
            rows.push_back(DescribeFinding(finding));
    }
    EXPECT_EQ(expected, Sorted(rows));
    EXPECT_NE(task1.walkedKeys.end(),
              std::find(task1.walkedKeys.begin(), task1.walkedKeys.end(), "HKCU:" + key));

    // The same hive seen below HKEY_USERS, under the user's own key.
    const RecordingSink task2 = Run(2);
    Rows userRows;
    for (const RecordedFinding& finding : task2.findings) {
        const std::size_t at = finding.item.keyPath.find("\\" + key);
        if (at == std::string::npos)
            continue;
        RegistryItem item = finding.item;
        EXPECT_EQ("HKEY_USERS", item.rootName);
        item.rootName = kHkcu;
        item.keyPath = item.keyPath.substr(at + 1);
        userRows.push_back(DescribeFinding(RecordedFinding{item, finding.scrollIntoView}));
    }
    EXPECT_EQ(expected, Sorted(userRows));
}

// ---------------------------------------------------------------- task 3

TEST_F(ScanTaskTest, Task3FindsMissingFilesOutsideTheExcludedMachineBranches)
{
    const std::string vendor = "Software\\" + unique + "Vendor\\Tools";
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, vendor, "Tool", gone));
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, vendor, "Present", present));
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, std::string(kCurrentVersion) + "Uninstall\\" + unique,
                             "Tool", gone));
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, "Software\\Classes\\" + unique, "Tool", gone));

    const RecordingSink sink = Run(3);

    EXPECT_EQ(Sorted({DescribeRow(kHklm, vendor, "Tool", gone, 0, 1)}), Planted(sink));
}

// ---------------------------------------------------------------- task 4

TEST_F(ScanTaskTest, Task4ReportsClassKeysOfMissingServersButNeverTheClassList)
{
    const std::string classId = "{" + unique + "}";
    const std::string machineClass = "Software\\Classes\\CLSID\\" + classId;
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, machineClass + "\\InprocServer32", "", goneDll));
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, machineClass + "\\InprocServer32",
                             "ThreadingModel", "Both"));
    // A server path stored directly in a class key names the class list
    // itself as the key above it.
    const std::string direct = "Software\\Classes\\CLSID\\{" + unique + "-direct}";
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, direct, "", gone));
    const std::string presentClass = "Software\\Classes\\CLSID\\{" + unique + "-present}";
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, presentClass + "\\LocalServer32", "", present));

    const RecordingSink sink = Run(4);

    EXPECT_EQ(Sorted({KeyRow(kHkcr, "CLSID\\" + classId, goneDll),
                    KeyRow(kHklm, machineClass, goneDll)}),
              Planted(sink));
    for (const RecordedFinding& finding : sink.findings) {
        const std::size_t level = finding.item.rootName == kHkcr ? 2 : 4;
        EXPECT_LE(level, CountPathComponents(finding.item.keyPath))
            << finding.item.keyPath;
    }
}

// ---------------------------------------------------------------- task 5

TEST_F(ScanTaskTest, Task5ReportsEmptyAndOrphanedUninstallRecords)
{
    const std::string uninstall = std::string(kCurrentVersion) + "Uninstall\\";
    ASSERT_TRUE(plant.Key(HKEY_LOCAL_MACHINE, uninstall + unique + "Empty"));
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, uninstall + unique + "Gone", "UninstallString",
                             "\"" + gone + "\" /S"));
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, uninstall + unique + "Present", "UninstallString",
                             "\"" + present + "\" /S"));
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, uninstall + unique + "Msi", "UninstallString",
                             "MsiExec.exe /X{00000000-0000-0000-0000-000000000000}"));

    const RecordingSink sink = Run(5);

    EXPECT_EQ(Sorted({KeyRow(kHklm, uninstall + unique + "Empty"),
                    KeyRow(kHklm, uninstall + unique + "Gone")}),
              Planted(sink));
    EXPECT_TRUE(sink.walkedKeys.empty());
}

// ---------------------------------------------------------------- task 6

TEST_F(ScanTaskTest, Task6ReportsTheHistoryLists)
{
    const std::string runMru = std::string(kCurrentVersion) + "Explorer\\RunMRU";
    const std::string typed = "Software\\Microsoft\\Internet Explorer\\TypedUrls";
    ASSERT_TRUE(plant.String(HKEY_CURRENT_USER, runMru, unique, "notepad\\1"));
    ASSERT_TRUE(plant.String(HKEY_CURRENT_USER, typed, unique + "url", "http://example.com/"));
    ASSERT_TRUE(plant.Dword(HKEY_CURRENT_USER, typed, unique + "count", 1));
    ASSERT_TRUE(plant.Dword(HKEY_CURRENT_USER, runMru, unique + "count", 2));
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, runMru, unique + "machine", "x"));

    const RecordingSink sink = Run(6);

    EXPECT_EQ(Sorted({DescribeRow(kHkcu, runMru, unique, "notepad\\1", 0, 1),
                    DescribeRow(kHkcu, runMru, unique + "count", "0x00000002 (2)", 2, 4),
                    DescribeRow(kHkcu, typed, unique + "url", "http://example.com/", 0, 1)}),
              Planted(sink));
}

// ---------------------------------------------------------------- task 7

TEST_F(ScanTaskTest, Task7ReportsMenuOrdersEmptySoftwareKeysAndBrokenAssociations)
{
    // A program group that exists in the user's real program folder.
    wchar_t programs[MAX_PATH] = {};
    DWORD size = sizeof programs - sizeof programs[0];
    HKEY shellFolders = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyW(HKEY_CURRENT_USER,
                          Widen(std::string(kCurrentVersion) + "Explorer\\Shell Folders").c_str(),
                          &shellFolders));
    const LONG read = RegQueryValueExW(shellFolders, L"Programs", nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(programs), &size);
    RegCloseKey(shellFolders);
    ASSERT_EQ(ERROR_SUCCESS, read);
    ScratchFolder group(NarrowZ(programs));
    ASSERT_TRUE(group.IsCreated());
    std::string groupName = group.Path().substr(0, group.Path().size() - 1);
    groupName = groupName.substr(groupName.rfind('\\') + 1);
    std::wstring wideGroup = Widen(groupName);
    CharUpperW(&wideGroup[0]);
    const std::string upperGroup = Narrow(wideGroup);

    const std::string menuOrder =
        std::string(kCurrentVersion) + "Explorer\\MenuOrder\\Start Menu\\Programs\\";
    ASSERT_TRUE(plant.Key(HKEY_CURRENT_USER, menuOrder + unique + "Old App"));
    ASSERT_TRUE(plant.Key(HKEY_CURRENT_USER, menuOrder + upperGroup));
    ASSERT_TRUE(plant.Key(HKEY_CURRENT_USER, "Software\\" + unique + "Empty"));
    ASSERT_TRUE(plant.Key(HKEY_CURRENT_USER, "Software\\" + unique + "Full\\Empty Child"));
    ASSERT_TRUE(plant.Key(HKEY_LOCAL_MACHINE, "Software\\" + unique + "Empty"));
    const std::string classes = "Software\\Classes\\";
    const std::string command = "\"" + gone + "\" \"%1\"";
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, classes + "." + unique, "", unique + "file"));
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, classes + unique + "file\\Shell\\Open\\Command", "",
                             command));
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, classes + "." + unique + "ok", "", unique + "okfile"));
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, classes + unique + "okfile\\Shell\\Open\\Command",
                             "", "\"" + present + "\" \"%1\""));

    const RecordingSink sink = Run(7);

    EXPECT_EQ(Sorted({KeyRow(kHkcu, menuOrder + unique + "Old App"),
                    KeyRow(kHkcu, "Software\\" + unique + "Empty"),
                    KeyRow(kHklm, "Software\\" + unique + "Empty"),
                    KeyRow(kHklm, classes + "." + unique, command, false),
                    KeyRow(kHklm, classes + unique + "file", command, true)}),
              Planted(sink));
    for (const RecordedFinding& finding : sink.findings)
        EXPECT_NE(menuOrder + upperGroup, finding.item.keyPath);
    EXPECT_TRUE(sink.walkedKeys.empty());
}

// ---------------------------------------------------------------- tasks 8 and 9

TEST_F(ScanTaskTest, Task8ReportsSharedFilesThatAreGone)
{
    // Spelled as the task walks it; the key path of a row is the walk's.
    const std::string shared = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
    const std::string goneShared = DeletedFilePath(folder.Path(), unique + ".dll");
    const std::string presentShared = folder.WriteTestFile(unique + "present.dll", "MZ");
    ASSERT_TRUE(plant.Dword(HKEY_LOCAL_MACHINE, shared, goneShared, 3));
    ASSERT_TRUE(plant.Dword(HKEY_LOCAL_MACHINE, shared, presentShared, 1));

    const RecordingSink sink = Run(8);

    EXPECT_EQ(Sorted({DescribeRow(kHklm, shared, goneShared, "0x00000003 (3)", 2, 4)}),
              Planted(sink));
}

TEST_F(ScanTaskTest, Task9ReportsLocalesWithEmptyData)
{
    const std::string locale = "System\\CurrentControlSet\\Control\\Nls\\Locale";
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, locale, unique + "empty", ""));
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, locale, unique + "full", "1"));

    const RecordingSink sink = Run(9);

    EXPECT_EQ(Sorted({DescribeRow(kHklm, locale, unique + "empty", "", 0, 1)}), Planted(sink));
}

// ---------------------------------------------------------------- task 10

TEST_F(ScanTaskTest, Task10ReportsEveryTimeZoneButTheOneInUse)
{
    const std::string zones = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones\\";
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, zones + unique, "std", unique + " Standard Time"));
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, zones + unique + " No Std", "Display", "none"));
    const std::string current = SystemPlatform().CurrentTimeZoneStandardName();
    ASSERT_FALSE(current.empty());

    const RecordingSink sink = Run(10);

    EXPECT_EQ(Sorted({KeyRow(kHklm, zones + unique, unique + " Standard Time")}), Planted(sink));
    // Wine installs many zones; all but the one in use are reported.
    EXPECT_LT(50u, sink.findings.size());
    for (const RecordedFinding& finding : sink.findings)
        EXPECT_NE(current, finding.item.dataText);
}

// ---------------------------------------------------------------- task 11

TEST_F(ScanTaskTest, Task11ReportsDeadStartupCommands)
{
    const std::string run = std::string(kCurrentVersion) + "Run";
    const std::string runOnce = std::string(kCurrentVersion) + "RunOnce";
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, run, unique + "ByName", "rundll32.exe foo.dll,Bar"));
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, run, unique + "Full",
                             "C:\\windows\\system32\\rundll32.exe foo.dll,Bar"));
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, run, unique + "Gone", "\"" + gone + "\" /min"));
    ASSERT_TRUE(plant.String(HKEY_LOCAL_MACHINE, run, unique + "Present", present));
    ASSERT_TRUE(plant.String(HKEY_CURRENT_USER, runOnce, unique + "Once", gone));

    const RecordingSink sink = Run(11);

    EXPECT_EQ(Sorted({DescribeRow(kHklm, run, unique + "ByName", "rundll32.exe foo.dll,Bar", 0, 1),
                    DescribeRow(kHklm, run, unique + "Gone", "\"" + gone + "\" /min", 0, 1),
                    DescribeRow(kHkcu, runOnce, unique + "Once", gone, 0, 1)}),
              Planted(sink));
}

// ---------------------------------------------------------------- stop

TEST_F(ScanTaskTest, StopEndsAWholeRootWalkAtOnce)
{
    std::atomic<bool> stop(false);
    RecordingSink sink;
    sink.stopFlag = &stop;
    sink.stopAfterKeys = 50;
    RunScanTask(SystemPlatform(), 3, sink.Sink(), &stop);
    EXPECT_EQ(50u, sink.walkedKeys.size());
    EXPECT_EQ(0u, sink.afterStop);
}

}  // namespace
