// The walking cleaner tasks (1 to 4, 6, 8, 9 and 11) on the in-memory
// platform: planted problems they must report with exact rows, near misses
// they must leave alone, excluded paths, type masks, unreadable keys, the
// walked-key reports and the order of the findings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ScanContext.h"
#include "core/ScanTasks.h"
#include "core/Unicode.h"
#include "core/ValueChecks.h"
#include "tests/support/MemoryPlatform.h"
#include "tests/support/ScanRecorder.h"

namespace {

using Rows = std::vector<std::string>;

const char kHkcu[] = "HKEY_CURRENT_USER";
const char kHklm[] = "HKEY_LOCAL_MACHINE";
const char kHku[] = "HKEY_USERS";
const char kHkcr[] = "HKEY_CLASSES_ROOT";

std::string KeyRow(const std::string& root, const std::string& path, const std::string& data)
{
    return DescribeRow(root, path, "", data, 1, -1);
}

class ScanTaskValueTest : public ::testing::Test {
protected:
    ScanTaskValueTest()
    {
        platform.AddFile("C:\\Apps\\present.exe");
        platform.AddFile("C:\\Apps\\present.dll");
        platform.AddFolder("C:\\Apps\\Data");
        platform.SetDrive('D', kDriveCdRom);
    }

    void TearDown() override
    {
        EXPECT_EQ(0u, platform.OpenKeyCount());
        EXPECT_EQ(0u, platform.BadCloseCount());
    }

    void Run(int task) { RunScanTask(platform, task, sink.Sink()); }

    void AddBytes(RootKey root, const std::string& path, const std::string& name,
                  std::uint32_t type, const std::string& bytes)
    {
        platform.AddValue(root, path, name, type, bytes);
    }

    MemoryPlatform platform;
    RecordingSink sink;
};

// ---------------------------------------------------------------- task 1

TEST_F(ScanTaskValueTest, Task1ReportsStringValuesNamingMissingFilesByNameOrData)
{
    const std::string app = "Software\\Vendor\\App";
    platform.AddString(kHkeyCurrentUser, app, "Updater", "\"C:\\Gone\\app.exe\" /background");
    platform.AddString(kHkeyCurrentUser, app, "C:\\Gone\\named.dll", "");
    // The name already names a missing file: one row, showing the data.
    platform.AddString(kHkeyCurrentUser, app, "C:\\Gone\\both.dll", "C:\\Gone\\other.exe");
    // The name is a present file, so the data decides.
    platform.AddString(kHkeyCurrentUser, app, "C:\\Apps\\present.exe", "C:\\Gone\\data.exe");
    platform.AddString(kHkeyCurrentUser, "Software\\Other", "Lower", "c:\\gone\\lower.exe");

    Run(1);

    EXPECT_EQ((Rows{DescribeRow(kHkcu, app, "Updater", "\"C:\\Gone\\app.exe\" /background", 0, 1),
                    DescribeRow(kHkcu, app, "C:\\Gone\\named.dll", "", 0, 1),
                    DescribeRow(kHkcu, app, "C:\\Gone\\both.dll", "C:\\Gone\\other.exe", 0, 1),
                    DescribeRow(kHkcu, app, "C:\\Apps\\present.exe", "C:\\Gone\\data.exe", 0, 1),
                    DescribeRow(kHkcu, "Software\\Other", "Lower", "c:\\gone\\lower.exe", 0, 1)}),
              sink.Rows());
    for (const RecordedFinding& finding : sink.findings)
        EXPECT_TRUE(finding.scrollIntoView);
}

TEST_F(ScanTaskValueTest, Task1LeavesPresentRefusedAndNonStringValuesAlone)
{
    const std::string app = "Software\\Vendor\\App";
    platform.AddString(kHkeyCurrentUser, app, "Present", "\"C:\\Apps\\present.exe\" /S");
    platform.AddString(kHkeyCurrentUser, app, "Folder", "C:\\Apps\\Data");
    platform.AddString(kHkeyCurrentUser, app, "Switch", "\"C:\\Gone\\x.exe\" -silent");
    platform.AddString(kHkeyCurrentUser, app, "Arguments", "C:\\Gone\\x.exe %1");
    platform.AddString(kHkeyCurrentUser, app, "CdDrive", "D:\\Gone\\x.exe");
    platform.AddString(kHkeyCurrentUser, app, "Unknown", "Q:\\Gone\\x.exe");
    platform.AddString(kHkeyCurrentUser, app, "Variable", "%SystemRoot%\\gone.dll");
    platform.AddString(kHkeyCurrentUser, app, "List", "C:\\Gone\\a.dll,C:\\Gone\\b.dll");
    // The mask admits odd types; the check itself takes REG_SZ only.
    AddBytes(kHkeyCurrentUser, app, "Expand", kRegExpandSz, TextToStringData("C:\\Gone\\e.exe"));
    AddBytes(kHkeyCurrentUser, app, "Binary", kRegBinary, TextToStringData("C:\\Gone\\b.exe"));
    AddBytes(kHkeyCurrentUser, app, "Multi", kRegMultiSz,
             Utf8ToUtf16LeBytes(std::string("C:\\Gone\\m.exe\0\0", 15)));
    AddBytes(kHkeyCurrentUser, app, "C:\\Gone\\dword.dll", kRegDword, std::string("\1\0\0\0", 4));
    // Outside "Software" of the user.
    platform.AddString(kHkeyCurrentUser, "Environment", "Tool", "C:\\Gone\\tool.exe");
    platform.AddString(kHkeyLocalMachine, "Software\\Vendor", "Tool", "C:\\Gone\\tool.exe");

    Run(1);

    EXPECT_EQ(Rows{}, sink.Rows());
}

TEST_F(ScanTaskValueTest, Task1TakesTypeLibrariesInsideModulesForPresentFiles)
{
    const std::string typeLib = "Software\\Classes\\TypeLib\\{1}\\1.0\\0";
    platform.AddString(kHkeyCurrentUser, typeLib + "\\win32", "", "C:\\Apps\\present.dll\\2");
    platform.AddString(kHkeyCurrentUser, typeLib + "\\win64", "", "C:\\Gone\\absent.dll\\2");

    Run(1);

    EXPECT_EQ((Rows{DescribeRow(kHkcu, typeLib + "\\win64", "", "C:\\Gone\\absent.dll\\2", 0, 1)}),
              sink.Rows());
}

TEST_F(ScanTaskValueTest, Task1SkipsClassKeysAndUnopenableKeysButWalksTheirSiblings)
{
    platform.AddString(kHkeyCurrentUser, "Software\\Vendor\\CLSID\\{1}", "", "C:\\Gone\\a.dll");
    platform.AddString(kHkeyCurrentUser, "Software\\MyClsids\\Deep", "Server", "C:\\Gone\\b.dll");
    platform.AddString(kHkeyCurrentUser, "Software\\Locked\\Inner", "Tool", "C:\\Gone\\c.exe");
    platform.SetKeyFaults(kHkeyCurrentUser, "Software\\Locked", kDenyOpen);
    platform.AddString(kHkeyCurrentUser, "Software\\Open", "Tool", "C:\\Gone\\d.exe");

    Run(1);

    EXPECT_EQ((Rows{DescribeRow(kHkcu, "Software\\Open", "Tool", "C:\\Gone\\d.exe", 0, 1)}),
              sink.Rows());
    // Every key the walk opened is shown, in walking order; skipped ones are not.
    EXPECT_EQ((Rows{"HKCU:Software", "HKCU:Software\\Vendor", "HKCU:Software\\Open"}),
              sink.walkedKeys);
}

TEST_F(ScanTaskValueTest, Task1ReportsNamesAndPathsOfEveryScript)
{
    const std::string lone = "Lone\xED\xA0\x80";
    platform.AddString(kHkeyCurrentUser, "Software\\Производитель", "Путь", "C:\\Пропало\\a.exe");
    platform.AddString(kHkeyCurrentUser, "Software\\Производитель", lone, "C:\\Gone\\😀.exe");
    platform.AddString(kHkeyCurrentUser, "Software\\Производитель", "Здесь", "c:\\ΦΑΚΕΛΟΙ\\ソ.EXE");
    platform.AddFile("C:\\φακελοι\\ソ.exe");
    platform.AddString(kHkeyCurrentUser, "Software\\ソフト", "Tool", "C:\\Gone\\ソ.exe");

    Run(1);

    EXPECT_EQ((Rows{DescribeRow(kHkcu, "Software\\Производитель", "Путь", "C:\\Пропало\\a.exe", 0, 1),
                    DescribeRow(kHkcu, "Software\\Производитель", lone, "C:\\Gone\\😀.exe", 0, 1),
                    DescribeRow(kHkcu, "Software\\ソフト", "Tool", "C:\\Gone\\ソ.exe", 0, 1)}),
              sink.Rows());
    EXPECT_EQ((Rows{"HKCU:Software", "HKCU:Software\\Производитель", "HKCU:Software\\ソフト"}),
              sink.walkedKeys);
}

// ---------------------------------------------------------------- task 2

TEST_F(ScanTaskValueTest, Task2WalksEveryUserHiveExceptClassesAndShellFolders)
{
    const std::string user = "S-1-5-21-1";
    const std::string explorer = user + "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
    platform.AddString(kHkeyUsers, user + "\\Software\\App", "Tool", "C:\\Gone\\tool.exe");
    platform.AddString(kHkeyUsers, explorer + "\\Shell Folders", "Programs", "C:\\Gone\\Programs");
    platform.AddString(kHkeyUsers, explorer + "\\SHELL FOLDERS\\Deeper", "X", "C:\\Gone\\x.exe");
    // A similar name that is not the excluded key.
    platform.AddString(kHkeyUsers, explorer + "\\User Shell Folders", "Programs",
                       "C:\\Gone\\UserPrograms");
    platform.AddString(kHkeyUsers, user + "\\Software\\Classes\\CLSID\\{1}", "", "C:\\Gone\\c.dll");
    platform.AddString(kHkeyUsers, ".DEFAULT\\Environment", "Temp", "C:\\Gone\\Temp");
    platform.AddString(kHkeyUsers, "Locked\\Software", "Tool", "C:\\Gone\\locked.exe");
    platform.SetKeyFaults(kHkeyUsers, "Locked", kDenyOpen);

    Run(2);

    EXPECT_EQ((Rows{DescribeRow(kHku, user + "\\Software\\App", "Tool", "C:\\Gone\\tool.exe", 0, 1),
                    DescribeRow(kHku, explorer + "\\User Shell Folders", "Programs",
                                "C:\\Gone\\UserPrograms", 0, 1),
                    DescribeRow(kHku, ".DEFAULT\\Environment", "Temp", "C:\\Gone\\Temp", 0, 1)}),
              sink.Rows());
    ASSERT_FALSE(sink.walkedKeys.empty());
    EXPECT_EQ("HKU:", sink.walkedKeys.front());   // the root itself comes first
}

// ---------------------------------------------------------------- task 3

TEST_F(ScanTaskValueTest, Task3WalksTheMachineRootOutsideItsExcludedBranches)
{
    const std::string cv = "Software\\Microsoft\\Windows\\CurrentVersion\\";
    platform.AddString(kHkeyLocalMachine, "Software\\Vendor", "Tool", "C:\\Gone\\tool.exe");
    platform.AddString(kHkeyLocalMachine, "SYSTEM\\Services\\Gone", "ImagePath",
                       "C:\\Gone\\driver.sys");
    platform.AddString(kHkeyLocalMachine, cv + "Run", "Tray", "C:\\Gone\\tray.exe");
    for (const std::string& excluded :
         {std::string("Software\\Classes\\.abc"), std::string("Software\\Vendor\\CLSID"),
          cv + "Explorer\\DocFolderPaths", cv + "Installer\\Folders", cv + "Uninstall\\App",
          cv + "Internet Settings\\Cache\\Paths"})
        platform.AddString(kHkeyLocalMachine, excluded, "Excluded", "C:\\Gone\\excluded.exe");

    Run(3);

    EXPECT_EQ((Rows{DescribeRow(kHklm, "Software\\Vendor", "Tool", "C:\\Gone\\tool.exe", 0, 1),
                    DescribeRow(kHklm, cv + "Run", "Tray", "C:\\Gone\\tray.exe", 0, 1),
                    DescribeRow(kHklm, "SYSTEM\\Services\\Gone", "ImagePath",
                                "C:\\Gone\\driver.sys", 0, 1)}),
              sink.Rows());
    for (const std::string& key : sink.walkedKeys)
        EXPECT_EQ(std::string::npos, key.find("Uninstall")) << key;
}

// ---------------------------------------------------------------- task 4

TEST_F(ScanTaskValueTest, Task4ReportsTheClassKeyAboveAMissingServer)
{
    platform.AddString(kHkeyClassesRoot, "CLSID\\{A}\\InprocServer32", "", "C:\\Gone\\a.dll");
    platform.AddString(kHkeyClassesRoot, "CLSID\\{A}\\InprocServer32", "ThreadingModel", "Both");
    platform.AddString(kHkeyClassesRoot, "CLSID\\{C}\\InprocServer32", "C:\\Gone\\c.dll", "named");
    platform.AddString(kHkeyClassesRoot, "CLSID\\{P}\\InprocServer32", "", "C:\\Apps\\present.dll");
    AddBytes(kHkeyClassesRoot, "CLSID\\{X}\\InprocServer32", "", kRegExpandSz,
             TextToStringData("C:\\Gone\\x.dll"));
    platform.AddString(kHkeyLocalMachine, "Software\\Classes\\CLSID\\{B}\\LocalServer32", "",
                       "\"C:\\Gone\\b.exe\" /automation");
    platform.AddString(kHkeyLocalMachine, "Software\\Classes\\CLSID\\{G}\\Inproc\\Sub", "",
                       "C:\\Gone\\g.dll");

    Run(4);

    EXPECT_EQ((Rows{KeyRow(kHkcr, "CLSID\\{A}", "C:\\Gone\\a.dll"),
                    KeyRow(kHkcr, "CLSID\\{C}", "named"),
                    KeyRow(kHklm, "Software\\Classes\\CLSID\\{B}", "\"C:\\Gone\\b.exe\" /automation"),
                    KeyRow(kHklm, "Software\\Classes\\CLSID\\{G}\\Inproc", "C:\\Gone\\g.dll")}),
              sink.Rows());
    EXPECT_EQ("HKCR:CLSID", sink.walkedKeys.front());
}

// A value stored directly in a class key, or in the class list itself, would
// name the key holding every class registration of the machine.
TEST_F(ScanTaskValueTest, Task4NeverOffersTheClassListOrAnythingAboveIt)
{
    platform.AddString(kHkeyClassesRoot, "CLSID\\{D}", "", "C:\\Gone\\d.dll");
    platform.AddString(kHkeyClassesRoot, "CLSID", "C:\\Gone\\list.dll", "");
    platform.AddString(kHkeyLocalMachine, "Software\\Classes\\CLSID\\{E}", "Server", "C:\\Gone\\e.dll");
    platform.AddString(kHkeyLocalMachine, "Software\\Classes\\CLSID", "", "C:\\Gone\\f.dll");
    platform.AddString(kHkeyLocalMachine, "Software\\Classes\\CLSID\\{H}\\InprocServer32", "",
                       "C:\\Gone\\h.dll");

    Run(4);

    EXPECT_EQ((Rows{KeyRow(kHklm, "Software\\Classes\\CLSID\\{H}", "C:\\Gone\\h.dll")}),
              sink.Rows());
}

// The class check itself holds back any key above the class key level it is
// given, whatever the key is called.
TEST_F(ScanTaskValueTest, ClassCheckHoldsBackKeysAboveTheClassKeyLevel)
{
    ScanContext context(platform, sink.Sink(), nullptr);
    context.classKeyLevel = 3;
    const std::string data = "C:\\Gone\\x.dll";
    const std::string stored = TextToStringData(data);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(stored.data());
    const auto size = static_cast<std::uint32_t>(stored.size());
    CheckClassFileValue(kHkeyLocalMachine, "Vendor\\Classes\\{X}", "", 0, kRegSz, bytes, size,
                        &context);
    CheckClassFileValue(kHkeyLocalMachine, "Vendor\\Classes\\{X}\\Server", "", 0, kRegSz, bytes,
                        size, &context);
    EXPECT_EQ((Rows{KeyRow(kHklm, "Vendor\\Classes\\{X}", data)}), sink.Rows());
}

// ---------------------------------------------------------------- task 6

TEST_F(ScanTaskValueTest, Task6ReportsTheHistoryListsWholeInStepOrder)
{
    const std::string explorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
    // Planted in reverse, so the order of the rows comes from the steps.
    platform.AddString(kHkeyCurrentUser, "Software\\Microsoft\\Internet Explorer\\TypedUrls",
                       "url1", "http://example.com/");
    platform.AddString(kHkeyCurrentUser, "Software\\Microsoft\\Internet Explorer\\TypedUrls",
                       "url2", "ftp://example.org/");
    platform.AddString(kHkeyCurrentUser, "Software\\Microsoft\\Internet Explorer\\TypedUrls",
                       "url3", "example.net");
    AddBytes(kHkeyCurrentUser, "Software\\Microsoft\\Internet Explorer\\TypedUrls", "exp",
             kRegExpandSz, TextToStringData("x"));
    platform.AddDword(kHkeyCurrentUser, "Software\\Microsoft\\Internet Explorer\\TypedUrls",
                      "count", 3);
    platform.AddString(kHkeyCurrentUser, "Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList",
                       "File0", "C:\\Music\\a.mp3");
    platform.AddString(kHkeyCurrentUser,
                       "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List",
                       "File1", "C:\\Pictures\\a.bmp");
    AddBytes(kHkeyCurrentUser, explorer + "RecentDocs", "MRUListEx", kRegBinary,
             std::string("\x01\x00\x00\x00\xff\xff\xff\xff", 8));
    AddBytes(kHkeyCurrentUser, explorer + "RecentDocs\\.txt", "0", kRegBinary, std::string(25, 'a'));
    AddBytes(kHkeyCurrentUser, explorer + "StreamMRU", "nothing", kRegNone, "zz");
    platform.AddDword(kHkeyCurrentUser, explorer + "ComDlg32\\OpenSaveMRU", "Count", 5);
    AddBytes(kHkeyCurrentUser, explorer + "ComDlg32\\LastVisitedMRU", "MRUList", kRegExpandSz,
             TextToStringData("%TEMP%"));
    platform.AddString(kHkeyCurrentUser, explorer + "RunMRU", "a", "notepad\\1");
    platform.AddString(kHkeyLocalMachine, explorer + "RunMRU", "a", "machine");

    Run(6);

    const std::string typed = "Software\\Microsoft\\Internet Explorer\\TypedUrls";
    EXPECT_EQ(
        (Rows{DescribeRow(kHkcu, explorer + "RunMRU", "a", "notepad\\1", 0, 1),
              DescribeRow(kHkcu, explorer + "ComDlg32\\LastVisitedMRU", "MRUList", "%TEMP%", 2, 2),
              DescribeRow(kHkcu, explorer + "ComDlg32\\OpenSaveMRU", "Count", "0x00000005 (5)", 2, 4),
              DescribeRow(kHkcu, explorer + "RecentDocs", "MRUListEx", "01 00 00 00 ff ff ff ff", 2, 3),
              DescribeRow(kHkcu, explorer + "RecentDocs\\.txt", "0",
                          "61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61...", 2, 3),
              DescribeRow(kHkcu,
                          "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List",
                          "File1", "C:\\Pictures\\a.bmp", 0, 1),
              DescribeRow(kHkcu, "Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList", "File0",
                          "C:\\Music\\a.mp3", 0, 1),
              DescribeRow(kHkcu, typed, "url1", "http://example.com/", 0, 1),
              DescribeRow(kHkcu, typed, "url2", "ftp://example.org/", 0, 1),
              DescribeRow(kHkcu, typed, "url3", "example.net", 0, 1)}),
        sink.Rows());
}

TEST_F(ScanTaskValueTest, Task6WithEmptyListsReportsNothing)
{
    platform.AddKey(kHkeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU");
    Run(6);
    EXPECT_EQ(Rows{}, sink.Rows());
    EXPECT_EQ((Rows{"HKCU:Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU"}),
              sink.walkedKeys);
}

// ---------------------------------------------------------------- task 8

TEST_F(ScanTaskValueTest, Task8ReportsUsageCountsOfMissingSharedFiles)
{
    const std::string shared = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
    platform.AddDword(kHkeyLocalMachine, shared, "C:\\Gone\\shared.dll", 3);
    platform.AddDword(kHkeyLocalMachine, shared, "C:\\Apps\\present.dll", 1);
    platform.AddDword(kHkeyLocalMachine, shared, "D:\\Gone\\cd.dll", 1);
    AddBytes(kHkeyLocalMachine, shared, "C:\\Gone\\binary.dll", kRegBinary, std::string("\x02", 1));
    platform.AddString(kHkeyLocalMachine, shared, "C:\\Gone\\string.dll", "7");
    // Only the name is tested, never the data.
    platform.AddString(kHkeyLocalMachine, shared, "Present", "C:\\Gone\\data.dll");
    platform.AddDword(kHkeyLocalMachine, shared + "\\Sub", "C:\\Gone\\deeper.dll", 1);
    // No cleaner check ever sees a REG_NONE value (only the search does).
    AddBytes(kHkeyLocalMachine, shared, "C:\\Gone\\none.dll", kRegNone, "");

    Run(8);

    EXPECT_EQ((Rows{DescribeRow(kHklm, shared, "C:\\Gone\\shared.dll", "0x00000003 (3)", 2, 4),
                    DescribeRow(kHklm, shared, "C:\\Gone\\binary.dll", "02", 2, 3),
                    DescribeRow(kHklm, shared, "C:\\Gone\\string.dll", "7", 0, 1)}),
              sink.Rows());
    EXPECT_EQ((Rows{"HKLM:" + shared}), sink.walkedKeys);
}

// ---------------------------------------------------------------- task 9

TEST_F(ScanTaskValueTest, Task9ReportsLocalesWithEmptyData)
{
    const std::string locale = "System\\CurrentControlSet\\Control\\Nls\\Locale";
    platform.AddString(kHkeyLocalMachine, locale, "00000409", "1");
    platform.AddString(kHkeyLocalMachine, locale, "00000407", "");
    AddBytes(kHkeyLocalMachine, locale, "NoBytes", kRegSz, "");
    AddBytes(kHkeyLocalMachine, locale, "ZeroFirst", kRegBinary, std::string("\0\0\1\0", 4));
    AddBytes(kHkeyLocalMachine, locale, "Expand", kRegExpandSz, std::string("\0\0", 2));
    platform.AddDword(kHkeyLocalMachine, locale, "Dword", 0);
    platform.AddString(kHkeyLocalMachine, locale + "\\Alternate Sorts", "00010407", "");
    AddBytes(kHkeyLocalMachine, locale, "None", kRegNone, "");

    Run(9);

    EXPECT_EQ((Rows{DescribeRow(kHklm, locale, "00000407", "", 0, 1),
                    DescribeRow(kHklm, locale, "NoBytes", "", 0, 1),
                    DescribeRow(kHklm, locale, "ZeroFirst", "", 2, 3)}),
              sink.Rows());
}

// ---------------------------------------------------------------- task 11

TEST_F(ScanTaskValueTest, Task11ReportsDeadStartupCommands)
{
    const std::string run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    platform.AddString(kHkeyLocalMachine, run, "ByName", "rundll32.exe foo.dll,Bar");
    platform.AddString(kHkeyLocalMachine, run, "Full",
                       "C:\\Windows\\system32\\rundll32.exe foo.dll,Bar");
    platform.AddString(kHkeyLocalMachine, run, "Gone", "\"C:\\Gone\\tray.exe\" /min");
    platform.AddString(kHkeyLocalMachine, run, "Present", "C:\\Apps\\present.exe");
    platform.AddString(kHkeyLocalMachine, run, "CdDrive", "D:\\setup.exe");
    platform.AddString(kHkeyLocalMachine, run, "Empty", "");
    AddBytes(kHkeyLocalMachine, run, "Expand", kRegExpandSz, TextToStringData("tray.exe"));
    platform.AddString(kHkeyLocalMachine, run + "\\Sub", "Deeper", "deeper.exe");

    Run(11);

    EXPECT_EQ((Rows{DescribeRow(kHklm, run, "ByName", "rundll32.exe foo.dll,Bar", 0, 1),
                    DescribeRow(kHklm, run, "Gone", "\"C:\\Gone\\tray.exe\" /min", 0, 1),
                    DescribeRow(kHklm, run, "Empty", "", 0, 1)}),
              sink.Rows());
}

TEST_F(ScanTaskValueTest, Task11WalksTheSixStartupKeysInOrder)
{
    const std::string cv = "Software\\Microsoft\\Windows\\CurrentVersion\\";
    // Planted in reverse order of the steps.
    platform.AddString(kHkeyCurrentUser, cv + "RunOnce", "a", "6");
    platform.AddString(kHkeyCurrentUser, cv + "Run", "a", "5");
    platform.AddString(kHkeyLocalMachine, cv + "RunServicesOnce", "a", "4");
    platform.AddString(kHkeyLocalMachine, cv + "RunServices", "a", "3");
    platform.AddString(kHkeyLocalMachine, cv + "RunOnce", "a", "2");
    platform.AddString(kHkeyLocalMachine, cv + "Run", "a", "1");
    platform.AddString(kHkeyCurrentUser, cv + "RunServices", "a", "not a task key");
    // A binary value passes the mask and is read as UTF-16 text like any other.
    AddBytes(kHkeyLocalMachine, cv + "Run", "Binary", kRegBinary, Utf8ToUtf16LeBytes("\x01\x02"));

    Run(11);

    std::vector<std::string> data;
    for (const RecordedFinding& finding : sink.findings)
        data.push_back(finding.item.dataText);
    EXPECT_EQ((Rows{"1", "\x01\x02", "2", "3", "4", "5", "6"}), data);
    EXPECT_EQ(2, sink.findings[1].item.image);
    EXPECT_EQ(3, sink.findings[1].item.type);
    EXPECT_EQ((Rows{"HKLM:" + cv + "Run", "HKLM:" + cv + "RunOnce", "HKLM:" + cv + "RunServices",
                    "HKLM:" + cv + "RunServicesOnce", "HKCU:" + cv + "Run",
                    "HKCU:" + cv + "RunOnce"}),
              sink.walkedKeys);
}

}  // namespace
