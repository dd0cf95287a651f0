// The backup page of the running program: its list and status line, whole
// registry backups into the backup folder (also several within one second),
// restoring a listed backup, deleting with the selection kept by position,
// the notices and questions, the refresh when the page is shown, the file
// dialogs of backing up to and restoring from a chosen file (their file
// types from the language file, no restore from a file that is not there),
// sorting by a column and the column widths; the window answering while the
// registry editor runs, "saved" only for a file the editor wrote, and the
// check of every restore with the list of what did not come back.
#include "CleanerGui.h"
#include "GuiDriver.h"
#include "RegistryScratch.h"

#include "core/Language.h"
#include "win32/RegeditBridge.h"
#include "resource.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

// Control ids of the system's file dialogs: the file name box, the file
// type box and the read-only check box.
constexpr int kFileNameCombo = 0x47c;      // cmb13
constexpr int kFileTypeCombo = 0x470;      // cmb1
constexpr int kReadOnlyCheckBox = 0x410;   // chx1

constexpr DWORD kBackupTimeoutMs = 120000;

bool FileExists(const std::string& path)
{
    return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(Widen(folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(NarrowZ(data.cFileName));
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

// The program started from its own copy, switched to the backup page.
class BackupPageTest : public ::testing::Test {
protected:
    BackupPageTest() : copy_("backup-page") {}

    std::string BackupFolder() const { return copy_.File("Data\\Quorvane\\Backup\\"); }
    std::string Text(const char* key) const { return LanguageFileText(copy_, key); }
    std::string Status() const { return WindowText(GetDlgItem(page_, IDC_STATUS)); }
    std::string Signal(const char* name) const { return EditorSignal(copy_, name); }

    // Back Up Now, Restore, Back Up As, Restore From and Delete as "1"/"0".
    std::string ButtonStates() const
    {
        std::string states;
        for (int id : {IDC_BACKUP_BACKUP, IDC_BACKUP_RESTORE, IDC_BACKUP_TO_FILE, IDC_BACKUP_FROM_FILE,
                       IDC_BACKUP_DELETE})
            states += IsWindowEnabled(GetDlgItem(page_, id)) ? '1' : '0';
        return states;
    }

    // The stand-in editor in the copy, steered by the signal files given.
    void UseStandInEditor(std::initializer_list<const char*> signals)
    {
        ASSERT_TRUE(PlaceStandInEditor(copy_));
        for (const char* name : signals)
            ASSERT_TRUE(WriteWholeFile(Signal(name), ""));
    }

    // A backup file of the given size that takes no room on the disk: its
    // end is set past bytes never written.
    void PlaceSparseBackup(const std::string& name, LONGLONG size)
    {
        const std::string path = PlaceBackup(name, "");
        HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        LARGE_INTEGER end;
        end.QuadPart = size;
        EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
        EXPECT_TRUE(SetEndOfFile(file));
        CloseHandle(file);
    }

    // Puts a file into the backup folder before or while the program runs.
    std::string PlaceBackup(const std::string& name, const std::string& bytes = "REGEDIT4\r\n")
    {
        CreateDirectoryW(Widen(copy_.File("Data")).c_str(), nullptr);
        CreateDirectoryW(Widen(copy_.File("Data\\Quorvane")).c_str(), nullptr);
        CreateDirectoryW(Widen(BackupFolder()).c_str(), nullptr);
        const std::string path = BackupFolder() + name;
        WriteWholeFile(path, bytes);
        return path;
    }

    // A backup in the folder holding the scratch key alone, exported by the
    // registry editor.
    std::string PlaceKeyBackup(const ScratchRegistryKey& scratch, const std::string& name)
    {
        const std::string path = PlaceBackup(name, "");
        RunRegeditExport(scratch.FullPath(), path, BuiltRegistryEditor(), true);
        return path;
    }

    void StartOnBackupPage()
    {
        ASSERT_TRUE(program_.Start(copy_.Program()));
        main_ = program_.WaitForMainWindow();
        ASSERT_NE(main_, nullptr);
        pageList_ = PageListOf(main_);
        HWND container = PageContainerOf(main_);
        for (HWND child = GetWindow(container, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            HWND list = GetDlgItem(child, IDC_BACKUP_LIST);
            if (list && ClassName(list) == "SysListView32" && GetDlgItem(child, IDC_BACKUP_BACKUP))
                page_ = child;
        }
        ASSERT_NE(page_, nullptr);
        list_ = GetDlgItem(page_, IDC_BACKUP_LIST);
        ShowPage(2);
        ASSERT_TRUE(IsWindowVisible(page_));
    }

    void ShowPage(int index) { ASSERT_TRUE(TreeViewSelectRoot(pageList_, index)); }

    // Waits until the status line shows `text`; the page does not answer
    // while the registry editor runs.
    bool WaitForStatus(const std::string& text, DWORD timeoutMs = kBackupTimeoutMs)
    {
        const DWORD start = GetTickCount();
        do {
            if (Status() == text)
                return true;
            Sleep(100);
        } while (GetTickCount() - start < timeoutMs);
        return false;
    }

    // Clicks a page button and returns the message box it opens.
    HWND ClickForMessageBox(int button)
    {
        ClickButton(page_, button);
        return program_.WaitForDialog(Text("_Quorvane"), main_);
    }

    // Answers a message box and waits until it has gone.
    void Answer(HWND box, int button)
    {
        ClickButton(box, button);
        for (int i = 0; i < 100 && IsWindow(box); ++i)
            Sleep(50);
        ASSERT_FALSE(IsWindow(box));
    }

    // The open or save dialog a page button opened.
    HWND WaitForFileDialog(int button)
    {
        ClickButton(page_, button);
        return WaitForDialogWithControl(program_.ProcessId(), kFileNameCombo);
    }

    // Feeds a path into a file dialog and presses its OK button.
    static void EnterFileName(HWND dialog, const std::string& path)
    {
        // Both file dialogs hide the read-only check box.
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, kReadOnlyCheckBox)));
        HWND combo = GetDlgItem(dialog, kFileNameCombo);
        HWND edit = reinterpret_cast<HWND>(SendMessageW(combo, CBEM_GETEDITCONTROL, 0, 0));
        ASSERT_NE(edit, nullptr);
        SetControlText(edit, path);
        ClickButton(dialog, IDOK);
    }

    static void WaitUntilClosed(HWND window)
    {
        for (int i = 0; i < 200 && IsWindow(window); ++i)
            Sleep(50);
        ASSERT_FALSE(IsWindow(window));
    }

    // Chooses a file through the dialog of a page button.
    void ChooseFile(int button, const std::string& path)
    {
        HWND dialog = WaitForFileDialog(button);
        ASSERT_NE(dialog, nullptr);
        ASSERT_NO_FATAL_FAILURE(EnterFileName(dialog, path));
        WaitUntilClosed(dialog);
    }

    std::string Cell(int row, int column) { return ListViewText(program_.Process(), list_, row, column); }
    std::vector<std::string> Column(int column)
    {
        std::vector<std::string> texts;
        for (int row = 0; row < ListViewCount(list_); ++row)
            texts.push_back(Cell(row, column));
        return texts;
    }
    int RowOfName(const std::string& name)
    {
        for (int row = 0; row < ListViewCount(list_); ++row)
            if (Cell(row, 4) == BackupFolder() + name)
                return row;
        return -1;
    }

    ProgramCopy copy_;
    RunningProgram program_;
    HWND main_ = nullptr;
    HWND pageList_ = nullptr;
    HWND page_ = nullptr;
    HWND list_ = nullptr;
};

// Today's date as the list shows it.
std::string Today()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", now.wYear, now.wMonth, now.wDay);
    return text;
}

// The backup name of a moment `offset` seconds from now.
std::string NameOfSecond(int offset, const std::string& type)
{
    FILETIME file;
    GetSystemTimeAsFileTime(&file);
    ULARGE_INTEGER ticks;
    ticks.LowPart = file.dwLowDateTime;
    ticks.HighPart = file.dwHighDateTime;
    ticks.QuadPart += static_cast<ULONGLONG>(offset) * 10000000ull;
    file.dwLowDateTime = ticks.LowPart;
    file.dwHighDateTime = ticks.HighPart;
    SYSTEMTIME universal;
    SYSTEMTIME local;
    FileTimeToSystemTime(&file, &universal);
    SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d-%02d-%02d(%s).reg", local.wYear, local.wMonth,
                  local.wDay, local.wHour, local.wMinute, local.wSecond, type.c_str());
    return text;
}

} // namespace

TEST_F(BackupPageTest, ShowsItsListAndMakesAWholeRegistryBackup)
{
    StartOnBackupPage();
    EXPECT_EQ(Text("_PageRegistryBackupState1"), Status());
    EXPECT_EQ(0, ListViewCount(list_));
    EXPECT_FALSE(FileExists(BackupFolder()));
    EXPECT_EQ(5, ListViewColumnCount(list_));
    EXPECT_EQ(0, ListViewColumnWidth(list_, 4));
    const LRESULT styles = SendMessageW(list_, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_EQ(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES, styles & (LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES));
    EXPECT_NE(0, SendMessageW(list_, LVM_GETIMAGELIST, LVSIL_SMALL, 0));

    ClickButton(page_, IDC_BACKUP_BACKUP);
    const std::vector<std::string> files = [&] {
        for (int i = 0; i < 1200 && FilesIn(BackupFolder()).empty(); ++i)
            Sleep(100);
        return FilesIn(BackupFolder());
    }();
    ASSERT_EQ(1u, files.size());
    const std::string path = BackupFolder() + files[0];
    ASSERT_TRUE(WaitForStatus(FormatTextWithString(Text("_PageRegistryBackupState3"), path)))
        << "status: " << Status();

    // The name is the date and time of the backup and the text of its kind.
    ASSERT_EQ(files[0].size(), std::string("2008-03-03 14-05-09(Full).reg").size() - 4 +
                                   Text("_PageRegistryBackupType1").size());
    EXPECT_EQ(0u, files[0].find(Today() + " "));
    EXPECT_EQ("(" + Text("_PageRegistryBackupType1") + ").reg",
              files[0].substr(files[0].size() - Text("_PageRegistryBackupType1").size() - 6));

    // The editor wrote the whole registry into it, and the list shows it.
    const std::string bytes = ReadWholeFile(path);
    EXPECT_GT(bytes.size(), 100000u);
    ASSERT_EQ(1, ListViewCount(list_));
    EXPECT_EQ(Today(), Cell(0, 0));
    EXPECT_EQ(8u, Cell(0, 1).size());
    EXPECT_EQ(std::to_string(bytes.size()), Cell(0, 2));
    EXPECT_EQ(Text("_PageRegistryBackupType1"), Cell(0, 3));
    EXPECT_EQ(path, Cell(0, 4));
}

TEST_F(BackupPageTest, BackupsWithinOneSecondNeverOverwriteAnEarlierOne)
{
    // Backups of "Full" kind named for every second of the next half minute:
    // whenever the backup runs, its plain name is already taken.
    const std::string type = Text("_PageRegistryBackupType1");
    std::vector<std::string> earlier;
    for (int offset = -1; offset < 30; ++offset)
        earlier.push_back(NameOfSecond(offset, type));
    for (const std::string& name : earlier)
        PlaceBackup(name, "earlier " + name);
    StartOnBackupPage();
    ASSERT_EQ(static_cast<int>(earlier.size()), ListViewCount(list_));

    ClickButton(page_, IDC_BACKUP_BACKUP);
    std::vector<std::string> now;
    for (int i = 0; i < 1200 && (now = FilesIn(BackupFolder())).size() == earlier.size(); ++i)
        Sleep(100);
    ASSERT_EQ(earlier.size() + 1, now.size());
    std::string added;
    for (const std::string& name : now)
        if (std::find(earlier.begin(), earlier.end(), name) == earlier.end())
            added = name;
    // The counter goes before the bracket, so the type still lists.
    EXPECT_NE(std::string::npos, added.find(" 2(" + type + ").reg")) << added;
    const std::string path = BackupFolder() + added;
    ASSERT_TRUE(WaitForStatus(FormatTextWithString(Text("_PageRegistryBackupState3"), path)));

    for (const std::string& name : earlier)
        EXPECT_EQ("earlier " + name, ReadWholeFile(BackupFolder() + name));
    EXPECT_GT(ReadWholeFile(BackupFolder() + added).size(), 100000u);
    ASSERT_EQ(static_cast<int>(now.size()), ListViewCount(list_));
    const int row = RowOfName(added);
    ASSERT_GE(row, 0);
    EXPECT_EQ(type, Cell(row, 3));
}

TEST_F(BackupPageTest, BackupThatCouldNotBeWrittenIsNotReportedAsSaved)
{
    // A file where the backup folder should be: the folder cannot be made,
    // so the editor cannot write the backup.
    CreateDirectoryW(Widen(copy_.File("Data")).c_str(), nullptr);
    CreateDirectoryW(Widen(copy_.File("Data\\Quorvane")).c_str(), nullptr);
    ASSERT_TRUE(WriteWholeFile(copy_.File("Data\\Quorvane\\Backup"), "not a folder"));
    StartOnBackupPage();

    ClickButton(page_, IDC_BACKUP_BACKUP);
    const std::string before = Status();
    std::string status = before;
    for (int i = 0; i < 1200 && (status == before || status == Text("_PageRegistryBackupState2")); ++i) {
        Sleep(100);
        status = Status();
    }
    // The text up to the path; the key itself until the language file has it.
    auto lead = [&](const char* key) {
        const std::string text = Text(key).empty() ? key : Text(key);
        return text.substr(0, text.find('%'));
    };
    EXPECT_EQ(0u, status.find(lead("_PageRegistryBackupState6"))) << status;
    EXPECT_NE(0u, status.find(lead("_PageRegistryBackupState3"))) << status;
    EXPECT_EQ(0, ListViewCount(list_));
    EXPECT_EQ("not a folder", ReadWholeFile(copy_.File("Data\\Quorvane\\Backup")));
}

TEST_F(BackupPageTest, RestoringAListedBackupBringsTheKeyBack)
{
    ScratchRegistryKey scratch;
    ASSERT_TRUE(scratch.IsCreated());
    ASSERT_TRUE(scratch.SetString("", "Colour", "original"));
    // A backup of the scratch key alone: merging a whole-registry backup here
    // would also turn back the keys of tests running beside this one.
    const std::string name = "2008-03-03 14-05-09(" + Text("_PageRegistryBackupType1") + ").reg";
    const std::string path = PlaceKeyBackup(scratch, name);
    ASSERT_GT(ReadWholeFile(path).size(), 0u);
    PlaceBackup("other(" + Text("_PageRegistryBackupType2") + ").reg");

    StartOnBackupPage();
    ASSERT_EQ(2, ListViewCount(list_));
    ASSERT_TRUE(scratch.SetString("", "Colour", "changed"));
    ASSERT_TRUE(scratch.SetString("", "Added", "stays"));

    const int row = RowOfName(name);
    ASSERT_GE(row, 0);
    ASSERT_TRUE(ListViewSelectRow(program_.Process(), list_, row));
    HWND question = ClickForMessageBox(IDC_BACKUP_RESTORE);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(Text("_PageRegistryBackupAreYouSureRestore"), MessageBoxText(question));
    EXPECT_EQ(Text("_PageRegistryBackupState1"), Status());
    Answer(question, IDYES);
    // Checked against the registry afterwards: the key and its one value.
    ASSERT_TRUE(WaitForStatus(FormatTextWithNumber(Text("_PageRegistryBackupState9"), 2))) << Status();

    EXPECT_EQ("original", ReadUserString(scratch.KeyPath(), "Colour"));
    // A merge only writes what the backup holds.
    EXPECT_EQ("stays", ReadUserString(scratch.KeyPath(), "Added"));
    // The list is not touched by a restore.
    EXPECT_EQ(2, ListViewCount(list_));
    EXPECT_EQ(row, ListViewSelectedRow(list_));
}

TEST_F(BackupPageTest, DeletingKeepsTheSelectionAtItsPosition)
{
    for (int i = 1; i <= 5; ++i)
        PlaceBackup("backup" + std::to_string(i) + "(" + Text("_PageRegistryBackupType2") + ").reg");
    StartOnBackupPage();
    ASSERT_EQ(5, ListViewCount(list_));
    EXPECT_EQ(-1, ListViewSelectedRow(list_));

    // The third of five: the row now at that position is selected.
    ASSERT_TRUE(ListViewSelectRow(program_.Process(), list_, 2));
    const std::string third = Cell(2, 4);
    HWND question = ClickForMessageBox(IDC_BACKUP_DELETE);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(Text("_PageRegistryBackupAreYouSureDeleteBackupFile"), MessageBoxText(question));
    Answer(question, IDYES);
    ASSERT_TRUE(WaitForStatus(Text("_PageRegistryBackupState7"), 10000));
    EXPECT_FALSE(FileExists(third));
    EXPECT_EQ(4, ListViewCount(list_));
    EXPECT_EQ(2, ListViewSelectedRow(list_));
    EXPECT_EQ(4u, FilesIn(BackupFolder()).size());

    // The last row: the new last row is selected.
    ASSERT_TRUE(ListViewSelectRow(program_.Process(), list_, 3));
    const std::string last = Cell(3, 4);
    question = ClickForMessageBox(IDC_BACKUP_DELETE);
    ASSERT_NE(question, nullptr);
    Answer(question, IDYES);
    for (int i = 0; i < 100 && ListViewCount(list_) != 3; ++i)
        Sleep(50);
    EXPECT_FALSE(FileExists(last));
    EXPECT_EQ(3, ListViewCount(list_));
    EXPECT_EQ(2, ListViewSelectedRow(list_));
    EXPECT_EQ(Text("_PageRegistryBackupState7"), Status());
}

TEST_F(BackupPageTest, AFileThatCouldNotBeDeletedSaysSoAndStaysListed)
{
    for (int i = 1; i <= 2; ++i)
        PlaceBackup("backup" + std::to_string(i) + "(" + Text("_PageRegistryBackupType2") + ").reg");
    StartOnBackupPage();
    ASSERT_EQ(2, ListViewCount(list_));
    ASSERT_TRUE(ListViewSelectRow(program_.Process(), list_, 0));
    const std::string held = Cell(0, 4);
    // Held open without leave to delete it, as a program that has it open does.
    HANDLE file = CreateFileW(Widen(held).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    HWND question = ClickForMessageBox(IDC_BACKUP_DELETE);
    ASSERT_NE(question, nullptr);
    Answer(question, IDYES);
    const bool said = WaitForStatus(Text("_PageRegistryBackupDeleteFailed"), 10000);
    CloseHandle(file);
    EXPECT_TRUE(said) << Status();
    EXPECT_TRUE(FileExists(held));
    EXPECT_EQ(2, ListViewCount(list_));
    EXPECT_EQ(held, Cell(ListViewSelectedRow(list_), 4));
}

TEST_F(BackupPageTest, RestoreAndDeleteWithNothingSelectedOnlyAskToSelect)
{
    StartOnBackupPage();
    ASSERT_EQ(0, ListViewCount(list_));
    for (int button : {IDC_BACKUP_RESTORE, IDC_BACKUP_DELETE}) {
        HWND notice = ClickForMessageBox(button);
        ASSERT_NE(notice, nullptr);
        EXPECT_EQ(Text("_PageRegistryBackupPleaseSelectAItem"), MessageBoxText(notice));
        Answer(notice, IDOK);
        EXPECT_EQ(Text("_PageRegistryBackupState1"), Status());
    }

    // Listed files, but none selected.
    PlaceBackup("a(" + Text("_PageRegistryBackupType1") + ").reg");
    PlaceBackup("b(" + Text("_PageRegistryBackupType1") + ").reg");
    ShowPage(1);
    ShowPage(2);
    ASSERT_EQ(2, ListViewCount(list_));
    ASSERT_EQ(-1, ListViewSelectedRow(list_));
    HWND notice = ClickForMessageBox(IDC_BACKUP_DELETE);
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(Text("_PageRegistryBackupPleaseSelectAItem"), MessageBoxText(notice));
    Answer(notice, IDOK);
    EXPECT_EQ(2u, FilesIn(BackupFolder()).size());
    EXPECT_EQ(Text("_PageRegistryBackupState1"), Status());
}

TEST_F(BackupPageTest, AnsweringNoChangesNothing)
{
    ScratchRegistryKey scratch;
    ASSERT_TRUE(scratch.IsCreated());
    ASSERT_TRUE(scratch.SetString("", "Colour", "original"));
    const std::string name = "2008-03-03 14-05-09(" + Text("_PageRegistryBackupType1") + ").reg";
    const std::string path = PlaceKeyBackup(scratch, name);
    PlaceBackup("second(" + Text("_PageRegistryBackupType1") + ").reg");
    StartOnBackupPage();
    ASSERT_TRUE(scratch.SetString("", "Colour", "changed"));
    ASSERT_EQ(2, ListViewCount(list_));
    ASSERT_TRUE(ListViewSelectRow(program_.Process(), list_, RowOfName(name)));
    const int selected = ListViewSelectedRow(list_);

    for (int button : {IDC_BACKUP_RESTORE, IDC_BACKUP_DELETE}) {
        HWND question = ClickForMessageBox(button);
        ASSERT_NE(question, nullptr);
        Answer(question, IDNO);
        EXPECT_EQ(Text("_PageRegistryBackupState1"), Status());
        EXPECT_EQ(2, ListViewCount(list_));
        EXPECT_EQ(selected, ListViewSelectedRow(list_));
    }
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ("changed", ReadUserString(scratch.KeyPath(), "Colour"));
}

TEST_F(BackupPageTest, AutomaticBackupIsListedAsSoonAsThePageIsShown)
{
    StartOnBackupPage();
    ASSERT_EQ(0, ListViewCount(list_));
    ShowPage(0);
    // Written as the cleaner does before a deletion, while its page is shown.
    const std::string name = "2008-03-03 14-05-09(" + Text("_PageRegistryBackupType2") + ").reg";
    const std::string content = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\QuorvaneTests]\r\n";
    PlaceBackup(name, content);
    EXPECT_EQ(0, ListViewCount(list_));

    ShowPage(2);
    ASSERT_EQ(1, ListViewCount(list_));
    EXPECT_EQ(Text("_PageRegistryBackupType2"), Cell(0, 3));
    EXPECT_EQ(BackupFolder() + name, Cell(0, 4));
    EXPECT_EQ(std::to_string(content.size()), Cell(0, 2));
    EXPECT_EQ(Today(), Cell(0, 0));
}

TEST_F(BackupPageTest, BacksUpToAndRestoresFromChosenFiles)
{
    ScratchRegistryKey scratch;
    ASSERT_TRUE(scratch.IsCreated());
    ASSERT_TRUE(scratch.SetString("", "Colour", "original"));
    ScratchFolder outside("C:\\");
    ASSERT_TRUE(outside.IsCreated());
    StartOnBackupPage();

    // Cancelling the save dialog leaves the page as it was.
    HWND dialog = WaitForFileDialog(IDC_BACKUP_TO_FILE);
    ASSERT_NE(dialog, nullptr);
    ClickButton(dialog, IDCANCEL);
    ASSERT_NO_FATAL_FAILURE(WaitUntilClosed(dialog));
    EXPECT_EQ(Text("_PageRegistryBackupState1"), Status());

    // A whole-registry backup into a file outside the backup folder; the
    // dialog adds the default extension.
    const std::string chosen = outside.Path() + "my backup";
    ASSERT_NO_FATAL_FAILURE(ChooseFile(IDC_BACKUP_TO_FILE, chosen));
    const std::string state3 = FormatTextWithString(Text("_PageRegistryBackupState3"), chosen + ".reg");
    ASSERT_TRUE(WaitForStatus(state3)) << Status();
    const std::string written = ReadWholeFile(chosen + ".reg");
    EXPECT_GT(written.size(), 100000u);
    EXPECT_EQ(0, ListViewCount(list_));

    // The save dialog asks before it overwrites; No keeps the file.
    dialog = WaitForFileDialog(IDC_BACKUP_TO_FILE);
    ASSERT_NE(dialog, nullptr);
    ASSERT_NO_FATAL_FAILURE(EnterFileName(dialog, chosen + ".reg"));
    HWND overwrite = WaitForDialogWithControl(program_.ProcessId(), IDNO);
    ASSERT_NE(overwrite, nullptr);
    ClickButton(overwrite, IDNO);
    ASSERT_NO_FATAL_FAILURE(WaitUntilClosed(overwrite));
    ClickButton(dialog, IDCANCEL);
    ASSERT_NO_FATAL_FAILURE(WaitUntilClosed(dialog));
    EXPECT_EQ(state3, Status());
    EXPECT_EQ(written, ReadWholeFile(chosen + ".reg"));

    // Restoring from a chosen file merges it; the list stays as it was.
    const std::string keyFile = outside.Path() + "key.reg";
    RunRegeditExport(scratch.FullPath(), keyFile, BuiltRegistryEditor(), true);
    ASSERT_TRUE(scratch.SetString("", "Colour", "changed"));
    ASSERT_NO_FATAL_FAILURE(ChooseFile(IDC_BACKUP_FROM_FILE, keyFile));
    ASSERT_TRUE(WaitForStatus(FormatTextWithNumber(Text("_PageRegistryBackupState9"), 2))) << Status();
    EXPECT_EQ("original", ReadUserString(scratch.KeyPath(), "Colour"));
    EXPECT_EQ(0, ListViewCount(list_));
}

TEST_F(BackupPageTest, FileDialogsTakeTheirTypesFromTheLanguageFileAndOpenOnlyExistingFiles)
{
    // Other texts than the English ones, so that they can only come from
    // the program copy's language file.
    std::string language = ReadWholeFile(copy_.File("Quorvane.language"));
    const std::pair<std::string, std::string> texts[] = {
        {"_RegFileFilterName=Registry File (*.reg)", "_RegFileFilterName=Registro (*.reg)"},
        {"_AllFilesFilterName=All Files (*.*)", "_AllFilesFilterName=Todos (*.*)"},
    };
    for (const auto& text : texts) {
        const std::size_t at = language.find(text.first);
        ASSERT_NE(at, std::string::npos) << text.first;
        language.replace(at, text.first.size(), text.second);
    }
    ASSERT_TRUE(WriteWholeFile(copy_.File("Quorvane.language"), language));
    StartOnBackupPage();

    HWND dialog = WaitForFileDialog(IDC_BACKUP_TO_FILE);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ComboBoxTexts(GetDlgItem(dialog, kFileTypeCombo)),
              (std::vector<std::string>{"Registro (*.reg)", "Todos (*.*)"}));
    ClickButton(dialog, IDCANCEL);
    ASSERT_NO_FATAL_FAILURE(WaitUntilClosed(dialog));

    dialog = WaitForFileDialog(IDC_BACKUP_FROM_FILE);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ComboBoxTexts(GetDlgItem(dialog, kFileTypeCombo)), std::vector<std::string>{"Registro (*.reg)"});

    // A file that is not there is refused by the dialog itself: it warns,
    // stays open, and nothing is reported as restored.
    ScratchFolder outside("C:\\");
    ASSERT_TRUE(outside.IsCreated());
    ASSERT_NO_FATAL_FAILURE(EnterFileName(dialog, outside.Path() + "missing.reg"));
    HWND warning = WaitForOwnedWindow(dialog);
    ASSERT_NE(warning, nullptr);
    ClickButton(warning, IDOK);
    ASSERT_NO_FATAL_FAILURE(WaitUntilClosed(warning));
    EXPECT_TRUE(IsWindow(dialog));
    ClickButton(dialog, IDCANCEL);
    ASSERT_NO_FATAL_FAILURE(WaitUntilClosed(dialog));
    EXPECT_EQ(Text("_PageRegistryBackupState1"), Status());
}

TEST_F(BackupPageTest, ColumnsShareTheWidthAndSortInTurnDescendingAndAscending)
{
    PlaceBackup("small(" + Text("_PageRegistryBackupType1") + ").reg", std::string(5, 'x'));
    PlaceBackup("large(" + Text("_PageRegistryBackupType2") + ").reg", std::string(900, 'x'));
    PlaceBackup("medium(" + Text("_PageRegistryBackupType1") + ").reg", std::string(70, 'x'));
    StartOnBackupPage();
    ASSERT_EQ(3, ListViewCount(list_));

    auto expectSharedWidths = [&] {
        RECT client = {};
        GetClientRect(list_, &client);
        for (int column = 0; column < 4; ++column)
            EXPECT_EQ(client.right / 4, ListViewColumnWidth(list_, column)) << column;
        EXPECT_EQ(0, ListViewColumnWidth(list_, 4));
    };
    expectSharedWidths();
    RECT window = {};
    GetWindowRect(main_, &window);
    SetWindowPos(main_, nullptr, 0, 0, window.right - window.left - 150, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    expectSharedWidths();
    SetWindowPos(main_, nullptr, 0, 0, window.right - window.left + 200, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    expectSharedWidths();

    // The first click sorts descending, numbers as numbers.
    ASSERT_TRUE(ClickListViewHeader(program_.Process(), list_, 2));
    EXPECT_EQ((std::vector<std::string>{"900", "70", "5"}), Column(2));
    ASSERT_TRUE(ClickListViewHeader(program_.Process(), list_, 2));
    EXPECT_EQ((std::vector<std::string>{"5", "70", "900"}), Column(2));
    // The direction alternates from click to click, whichever column.
    std::vector<std::string> types = {Text("_PageRegistryBackupType1"), Text("_PageRegistryBackupType1"),
                                      Text("_PageRegistryBackupType2")};
    std::sort(types.begin(), types.end());
    ASSERT_TRUE(ClickListViewHeader(program_.Process(), list_, 3));
    EXPECT_EQ(std::vector<std::string>(types.rbegin(), types.rend()), Column(3));
    ASSERT_TRUE(ClickListViewHeader(program_.Process(), list_, 3));
    EXPECT_EQ(types, Column(3));
}

TEST_F(BackupPageTest, SizesBeyondFourGigabytesShowWholeAndSortByTheirValue)
{
    PlaceBackup("small(" + Text("_PageRegistryBackupType1") + ").reg", std::string(900, 'x'));
    PlaceSparseBackup("huge(" + Text("_PageRegistryBackupType1") + ").reg", 0x140000003LL);
    PlaceSparseBackup("large(" + Text("_PageRegistryBackupType1") + ").reg", 0x80000000LL);
    StartOnBackupPage();
    ASSERT_EQ(3, ListViewCount(list_));

    ASSERT_TRUE(ClickListViewHeader(program_.Process(), list_, 2));
    EXPECT_EQ((std::vector<std::string>{"5368709123", "2147483648", "900"}), Column(2));
    ASSERT_TRUE(ClickListViewHeader(program_.Process(), list_, 2));
    EXPECT_EQ((std::vector<std::string>{"900", "2147483648", "5368709123"}), Column(2));
}

TEST_F(BackupPageTest, WindowAnswersWhileTheEditorRunsAndTheButtonsWaitForIt)
{
    UseStandInEditor({"hold"});
    StartOnBackupPage();
    EXPECT_EQ("11111", ButtonStates());

    ClickButton(page_, IDC_BACKUP_BACKUP);
    ASSERT_TRUE(WaitUntil([&] { return FileExists(Signal("started")); }));
    ASSERT_TRUE(WaitUntil([&] { return ButtonStates() == "00000"; }, 10000)) << ButtonStates();
    EXPECT_EQ(Text("_PageRegistryBackupState2"), Status());

    // The window answers at once and switches pages while the editor works.
    DWORD_PTR answer = 0;
    EXPECT_NE(0, SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer));
    ShowPage(0);
    EXPECT_FALSE(IsWindowVisible(page_));
    ShowPage(2);
    EXPECT_TRUE(IsWindowVisible(page_));
    EXPECT_NE(0, RedrawWindow(main_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW));
    EXPECT_NE(0, SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer));
    // A second backup is not started meanwhile, even by a command sent to
    // the disabled button.
    ClickButton(page_, IDC_BACKUP_BACKUP);
    EXPECT_FALSE(FileExists(Signal("ended")));
    EXPECT_EQ("00000", ButtonStates());

    ASSERT_TRUE(DeleteFileW(Widen(Signal("hold")).c_str()));
    ASSERT_TRUE(WaitUntil([&] { return Status() != Text("_PageRegistryBackupState2"); }, kBackupTimeoutMs));
    const std::vector<std::string> files = FilesIn(BackupFolder());
    ASSERT_EQ(1u, files.size());
    EXPECT_EQ(FormatTextWithString(Text("_PageRegistryBackupState3"), BackupFolder() + files[0]), Status());
    EXPECT_EQ("11111", ButtonStates());
    EXPECT_EQ(1, ListViewCount(list_));
    EXPECT_GT(ReadWholeFile(BackupFolder() + files[0]).size(), 100000u);
}

TEST_F(BackupPageTest, BackingUpOntoAFileTheEditorLeftAsItWasIsNotReportedAsSaved)
{
    // The editor writes nothing: the chosen file keeps what it held.
    UseStandInEditor({"idle"});
    ScratchFolder outside("C:\\");
    ASSERT_TRUE(outside.IsCreated());
    const std::string existing = outside.Path() + "earlier.reg";
    const std::string earlier = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Earlier]\r\n";
    ASSERT_TRUE(WriteWholeFile(existing, earlier));
    StartOnBackupPage();

    HWND dialog = WaitForFileDialog(IDC_BACKUP_TO_FILE);
    ASSERT_NE(dialog, nullptr);
    ASSERT_NO_FATAL_FAILURE(EnterFileName(dialog, existing));
    HWND overwrite = WaitForDialogWithControl(program_.ProcessId(), IDNO);
    ASSERT_NE(overwrite, nullptr);
    ClickButton(overwrite, IDYES);
    ASSERT_NO_FATAL_FAILURE(WaitUntilClosed(dialog));

    ASSERT_TRUE(WaitForStatus(FormatTextWithString(Text("_PageRegistryBackupState6"), existing))) << Status();
    EXPECT_TRUE(FileExists(Signal("ended")));
    EXPECT_EQ(earlier, ReadWholeFile(existing));
    EXPECT_EQ("11111", ButtonStates());
}

TEST_F(BackupPageTest, RestoreThatDidNotComeBackSaysSoAndOffersItsList)
{
    ScratchRegistryKey scratch;
    ASSERT_TRUE(scratch.IsCreated());
    ASSERT_TRUE(scratch.SetString("", "Colour", "changed"));
    // An automatic backup the editor merges nothing of.
    UseStandInEditor({"idle"});
    const std::string backup = PlaceBackup("2008-03-03 14-05-09(" + Text("_PageRegistryBackupType2") + ").reg",
                                           "REGEDIT4\r\n\r\n"
                                           "[" + scratch.FullPath() + "]\r\n"   // line 3
                                           "\"Colour\"=\"original\"\r\n"       // line 4
                                           "\"Missing\"=\"x\"\r\n"             // line 5
                                           "not a line of a REG file\r\n");     // line 6
    ScratchFolder outside("C:\\");
    ASSERT_TRUE(outside.IsCreated());
    StartOnBackupPage();
    ASSERT_TRUE(ListViewSelectRow(program_.Process(), list_, 0));
    HWND question = ClickForMessageBox(IDC_BACKUP_RESTORE);
    ASSERT_NE(question, nullptr);
    Answer(question, IDYES);

    // Two values did not come back; the unreadable line was not checked.
    ASSERT_TRUE(WaitForStatus(FormatTextWithNumber(Text("_PageRegistryBackupState10"), 2))) << Status();
    HWND offer = program_.WaitForDialog(Text("_Quorvane"), main_);
    ASSERT_NE(offer, nullptr);
    EXPECT_EQ(FormatTextWithNumber(Text("_PageRegistryBackupSaveList1"), 3), MessageBoxText(offer));
    EXPECT_EQ("11111", ButtonStates());
    ClickButton(offer, IDYES);

    HWND dialog = WaitForDialogWithControl(program_.ProcessId(), kFileNameCombo);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(std::vector<std::string>{Text("_TextFileFilterName")},
              ComboBoxTexts(GetDlgItem(dialog, kFileTypeCombo)));
    ASSERT_NO_FATAL_FAILURE(EnterFileName(dialog, outside.Path() + "not restored"));
    ASSERT_NO_FATAL_FAILURE(WaitUntilClosed(dialog));

    const std::string listFile = outside.Path() + "not restored.txt";
    ASSERT_TRUE(WaitUntil([&] { return FileExists(listFile); }, 10000));
    EXPECT_EQ(FormatTextWithString(Text("_PageRegistryBackupListHeader1"), backup) + "\r\n" +
                  scratch.FullPath() + " \"Colour\"\r\n" +
                  scratch.FullPath() + " \"Missing\"\r\n" +
                  FormatTextWithNumber(Text("_PageRegistryBackupListLine1"), 6) + "\r\n",
              ReadWholeFile(listFile));
    EXPECT_EQ("changed", ReadUserString(scratch.KeyPath(), "Colour"));
    EXPECT_EQ(FormatTextWithNumber(Text("_PageRegistryBackupState10"), 2), Status());
}

TEST_F(BackupPageTest, ARestoreTheEditorRefusedOrNeverRanIsReportedAsFailed)
{
    ScratchRegistryKey scratch;
    ASSERT_TRUE(scratch.IsCreated());
    ASSERT_TRUE(scratch.SetString("", "Colour", "original"));
    const std::string name = "2008-03-03 14-05-09(" + Text("_PageRegistryBackupType1") + ").reg";
    const std::string path = PlaceKeyBackup(scratch, name);
    ASSERT_GT(ReadWholeFile(path).size(), 0u);
    // Even a backup whose entries are all in the registry as it holds them
    // is no restore when the editor did not merge it.
    UseStandInEditor({"idle", "fail"});
    StartOnBackupPage();
    ASSERT_EQ(1, ListViewCount(list_));

    struct Case {
        const char* label;
        bool editorThere;
        std::string status;
    };
    const Case cases[] = {
        {"editor ended with an error", true, Text("_PageRegistryBackupRestoreFailed")},
        {"editor missing", false, FormatTextWithString(Text("_PageRegistryBackupState13"), path)},
    };
    for (const Case& c : cases) {
        if (!c.editorThere) {
            ASSERT_TRUE(DeleteFileW(Widen(copy_.File("Tools\\Regedit.exe")).c_str()));
        }
        ASSERT_TRUE(ListViewSelectRow(program_.Process(), list_, 0));
        HWND question = ClickForMessageBox(IDC_BACKUP_RESTORE);
        ASSERT_NE(question, nullptr) << c.label;
        Answer(question, IDYES);
        EXPECT_TRUE(WaitForStatus(c.status)) << c.label << ": " << Status();
        EXPECT_EQ("11111", ButtonStates()) << c.label;
        const std::string verified = Text("_PageRegistryBackupState9");
        EXPECT_NE(0u, Status().find(verified.substr(0, verified.find('%')))) << c.label;
    }
    EXPECT_TRUE(FileExists(Signal("ended")));
}
