// The cleaner page end to end: ticking tasks, scanning, stopping, deleting
// findings after a complete backup, restoring that backup, and the task
// choices kept in config.xml.
#include "CleanerGui.h"
#include "GuiDriver.h"

#include "core/Language.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>

namespace {

const char* const kConfigTemplate =
    "<?xml version=\"1.0\"?>\r\n<config>\r\n  <other keep=\"yes\"/>\r\n  <quorvane>\r\n"
    "    <cleanersearchtasklist custom=\"%s\" default=\"0,1\"/>\r\n"
    "    <searchpage><options custom=\"1,1,1,0,0,0\" default=\"1,1,1,0,0,0\"/>"
    "<searchrange custom=\"1,1,1,1,1\" default=\"1,1,1,1,1\"/>"
    "<searchkeyword custom=\"\" default=\"\"/></searchpage>\r\n"
    "  </quorvane>\r\n</config>\r\n";

void WriteConfig(const ProgramCopy& copy, const std::string& tasks)
{
    char text[1024];
    std::snprintf(text, sizeof text, kConfigTemplate, tasks.c_str());
    WriteWholeFile(copy.File("config.xml"), text);
}

std::string CustomTaskList(const ProgramCopy& copy)
{
    const std::string text = ReadWholeFile(copy.File("config.xml"));
    const std::string marker = "cleanersearchtasklist custom=\"";
    const std::size_t start = text.find(marker);
    if (start == std::string::npos)
        return "<none>";
    const std::size_t end = text.find('"', start + marker.size());
    return text.substr(start + marker.size(), end - start - marker.size());
}

std::vector<std::string> BackupFiles(const ProgramCopy& copy)
{
    std::vector<std::string> files;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(Widen(copy.File("Data\\Quorvane\\Backup\\*.reg")).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return files;
    do
        files.push_back(copy.File("Data\\Quorvane\\Backup\\" + NarrowZ(data.cFileName)));
    while (FindNextFileW(find, &data));
    FindClose(find);
    return files;
}

class CleanerPageTest : public CleanerPageFixture {
protected:
    CleanerPageTest() : CleanerPageFixture("cleaner") {}
};

} // namespace

TEST_F(CleanerPageTest, ScansDeletesWithABackupAndTheBackupRestoresEverything)
{
    const std::string unique = UniqueName("scan");
    PlantedKey planted(unique);
    const std::string command = "\"" + MissingProgram(unique) + "\" /background";
    planted.SetString("App", "Path", command);
    planted.SetString("App", MissingProgram(unique + "-name"), "");
    planted.SetString("App", "Present", "C:\\windows\\notepad.exe");          // exists: no finding
    planted.SetString("App", "Expand", MissingProgram(unique), REG_EXPAND_SZ); // type not looked at
    planted.SetString("App", "Quote \"and\" back\\slash", command);
    WriteConfig(copy_, "1,0");

    ASSERT_TRUE(Launch());
    EXPECT_EQ(Status(), Text("_PageRegistryCleanerState1"));
    EXPECT_TRUE(TaskTicked(tasks_, 0));
    for (int row = 1; row < 11; ++row)
        EXPECT_FALSE(TaskTicked(tasks_, row)) << row;
    EXPECT_TRUE(Enabled(IDC_CLEANER_SCAN));
    EXPECT_FALSE(Enabled(IDC_CLEANER_STOP));
    EXPECT_FALSE(Enabled(IDC_CLEANER_DELETE));
    EXPECT_FALSE(Enabled(IDC_CLEANER_DELETE_ALL));

    ClickButton(page_, IDC_CLEANER_SCAN);
    ASSERT_TRUE(WaitForScanEnd()) << Status();
    EXPECT_TRUE(Enabled(IDC_CLEANER_DELETE));
    EXPECT_TRUE(Enabled(IDC_CLEANER_DELETE_ALL));

    const std::string keyPath = planted.Path() + "\\App";
    const std::vector<int> rows = ListViewRowsWith(program_.Process(), results_, 1, keyPath);
    ASSERT_EQ(rows.size(), 3u);
    std::vector<std::string> names;
    for (int row : rows) {
        EXPECT_EQ(ListViewText(program_.Process(), results_, row, 0), "HKEY_CURRENT_USER");
        names.push_back(ListViewText(program_.Process(), results_, row, 2));
        const std::string data = ListViewText(program_.Process(), results_, row, 3);
        EXPECT_EQ(data, names.back() == MissingProgram(unique + "-name") ? "" : command);
    }
    // The registry decides the order of a key's values.
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected = {"Path", MissingProgram(unique + "-name"), "Quote \"and\" back\\slash"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);

    // Delete the three: one confirmation, one backup, then the values are gone.
    for (int row : rows)
        ASSERT_TRUE(ListViewSetRowSelected(program_.Process(), results_, row, true));
    const int before = ListViewCount(results_);
    ClickButton(page_, IDC_CLEANER_DELETE);
    HWND question = program_.WaitForDialog(Text("_Quorvane"), main_);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(MessageBoxText(question), FormatTextWithNumber(Text("_PageRegistryCleanerDeleteConfirm"), 3));
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(WaitUntil([&] { return ListViewCount(results_) == before - 3; }));
    EXPECT_TRUE(ListViewRowsWith(program_.Process(), results_, 1, keyPath).empty());
    EXPECT_FALSE(planted.HasValue("App", "Path"));
    EXPECT_FALSE(planted.HasValue("App", MissingProgram(unique + "-name")));
    EXPECT_FALSE(planted.HasValue("App", "Quote \"and\" back\\slash"));
    EXPECT_TRUE(planted.HasValue("App", "Present"));
    EXPECT_TRUE(planted.HasValue("App", "Expand"));

    const std::vector<std::string> backups = BackupFiles(copy_);
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_NE(backups[0].find("(" + Text("_PageRegistryBackupType2") + ").reg"), std::string::npos);
    EXPECT_EQ(ReadWholeFile(backups[0]).compare(0, 2, "\xFF\xFE"), 0);
    const std::string backup = ReadRegFileText(backups[0]);
    EXPECT_EQ(backup.compare(0, 40, "Windows Registry Editor Version 5.00\r\n\r\n"), 0);

    EXPECT_EQ(Close(), 2u);
    EXPECT_EQ(CustomTaskList(copy_), "1,0,0,0,0,0,0,0,0,0,0");
    EXPECT_NE(ReadWholeFile(copy_.File("config.xml")).find("keep=\"yes\""), std::string::npos);

    // The registry editor merges the backup back: every deleted value returns as it was.
    ASSERT_EQ(RunAndWait("C:\\windows\\regedit.exe /s \"" + backups[0] + "\""), 0);
    EXPECT_EQ(planted.StringValue("App", "Path"), command);
    EXPECT_EQ(planted.StringValue("App", MissingProgram(unique + "-name")), "");
    EXPECT_EQ(planted.StringValue("App", "Quote \"and\" back\\slash"), command);
}

TEST_F(CleanerPageTest, StopEndsTheScanAtOnceAndKeepsItsRows)
{
    WriteConfig(copy_, "1,1,1,1,0,1,0,1,1,0,1");
    ASSERT_TRUE(Launch());
    ClickButton(page_, IDC_CLEANER_SCAN);
    ASSERT_TRUE(WaitUntil([&] { return Enabled(IDC_CLEANER_STOP); }, 10000));
    EXPECT_FALSE(Enabled(IDC_CLEANER_SCAN));
    EXPECT_FALSE(Enabled(IDC_CLEANER_DELETE));
    // The status line follows the walk.
    const std::string walking = Text("_PageRegistryCleanerState2");
    ASSERT_TRUE(WaitUntil([&] { return Status().compare(0, walking.size(), walking) == 0; }, 10000)) << Status();

    ClickButton(page_, IDC_CLEANER_STOP);
    ASSERT_TRUE(WaitUntil([&] { return Status() == Text("_PageRegistryCleanerState4"); }, 20000)) << Status();
    const int rows = ListViewCount(results_);
    Sleep(1500);
    EXPECT_EQ(ListViewCount(results_), rows); // nothing arrives after the stop
    EXPECT_EQ(Status(), Text("_PageRegistryCleanerState4"));
    EXPECT_TRUE(Enabled(IDC_CLEANER_SCAN));
    EXPECT_FALSE(Enabled(IDC_CLEANER_STOP));
    EXPECT_EQ(Enabled(IDC_CLEANER_DELETE), rows > 0);
    EXPECT_EQ(Enabled(IDC_CLEANER_DELETE_ALL), rows > 0);

    // A new scan empties the list first and runs to its end, with the last
    // finding scrolled into view. It says it scans as soon as the click
    // returns: the last scan's end is no longer shown.
    SendCommand(page_, IDC_CLEANER_SCAN);
    EXPECT_EQ(0, Status().compare(0, walking.size(), walking)) << Status();
    ASSERT_TRUE(WaitForScanEnd()) << Status();
    // The finished scan's result, then a new one started at once.
    SendCommand(page_, IDC_CLEANER_SCAN);
    EXPECT_EQ(0, Status().compare(0, walking.size(), walking)) << Status();
    ASSERT_TRUE(WaitForScanEnd()) << Status();
    const int count = ListViewCount(results_);
    if (count > 0) {
        const int top = static_cast<int>(SendMessageW(results_, LVM_GETTOPINDEX, 0, 0));
        const int perPage = static_cast<int>(SendMessageW(results_, LVM_GETCOUNTPERPAGE, 0, 0));
        EXPECT_GE(count - 1, top);
        EXPECT_LE(count - 1, top + perPage);
    }
    EXPECT_EQ(Close(), 2u);
}

TEST_F(CleanerPageTest, ClosingDuringAScanAsksAndStopsTheScanBeforeSaving)
{
    WriteConfig(copy_, "0,1,1,0,0,0,0,0,0,0,0");
    ASSERT_TRUE(Launch());
    ClickButton(page_, IDC_CLEANER_SCAN);
    ASSERT_TRUE(WaitUntil([&] { return Enabled(IDC_CLEANER_STOP); }, 10000));

    PostMessageW(main_, WM_CLOSE, 0, 0);
    HWND question = program_.WaitForDialog(Text("_Quorvane"), main_);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(MessageBoxText(question), Text("_MainDialogCancelConfirm"));
    PostMessageW(question, WM_COMMAND, IDNO, 0);
    Sleep(500);
    EXPECT_TRUE(IsWindow(main_));
    // The scan goes on to its end.
    ASSERT_TRUE(WaitForScanEnd()) << Status();

    // A close early in a new scan, answered yes, stops it.
    ClickButton(page_, IDC_CLEANER_SCAN);
    ASSERT_TRUE(WaitUntil([&] { return Enabled(IDC_CLEANER_STOP); }, 10000));
    PostMessageW(main_, WM_CLOSE, 0, 0);
    question = program_.WaitForDialog(Text("_Quorvane"), main_);
    ASSERT_NE(question, nullptr);
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    DWORD exitCode = 99;
    ASSERT_TRUE(program_.WaitForExit(exitCode));
    EXPECT_EQ(exitCode, 2u);
    EXPECT_EQ(CustomTaskList(copy_), "0,1,1,0,0,0,0,0,0,0,0");
}

TEST_F(CleanerPageTest, NothingIsDeletedWhenTheBackupCannotBeWritten)
{
    const std::string unique = UniqueName("nobackup");
    PlantedKey planted(unique);
    planted.SetString("App", "Path", MissingProgram(unique));
    WriteConfig(copy_, "1,0");
    // A file where the backup folder must go: the folder cannot be made.
    WriteWholeFile(copy_.File("Data"), "not a folder");

    ASSERT_TRUE(Launch());
    ClickButton(page_, IDC_CLEANER_SCAN);
    ASSERT_TRUE(WaitForScanEnd()) << Status();
    const std::vector<int> rows = ListViewRowsWith(program_.Process(), results_, 1, planted.Path() + "\\App");
    ASSERT_EQ(rows.size(), 1u);
    const int before = ListViewCount(results_);

    ClickButton(page_, IDC_CLEANER_DELETE_ALL);
    HWND question = program_.WaitForDialog(Text("_Quorvane"), main_);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(MessageBoxText(question), Text("_PageRegistryCleanerDeleteAllConfirm"));
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    HWND notice = program_.WaitForDialog(Text("_Quorvane"), question);
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(MessageBoxText(notice), Text("_PageRegistryCleanerBackupFailed"));
    PostMessageW(notice, WM_COMMAND, IDOK, 0);

    Sleep(300);
    EXPECT_EQ(ListViewCount(results_), before);
    EXPECT_TRUE(planted.HasValue("App", "Path"));
    EXPECT_EQ(Close(), 2u);
}

TEST_F(CleanerPageTest, TheTaskMenuCommandsAndTheDefaultChoice)
{
    WriteConfig(copy_, ",,,");
    ASSERT_TRUE(Launch());
    // A list of empty pieces changes nothing: every row starts unticked.
    for (int row = 0; row < 11; ++row)
        EXPECT_FALSE(TaskTicked(tasks_, row)) << row;
    EXPECT_EQ(ListViewCount(tasks_), 11);
    EXPECT_EQ(Close(), 2u);
    EXPECT_EQ(CustomTaskList(copy_), "0,0,0,0,0,0,0,0,0,0,0");
}
