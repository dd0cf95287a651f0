// The window of what changed since a backup, opened from the backup page of
// the running program: the rows of exactly the entries that changed, the
// rows an export takes, Esc and Stop while a long comparison runs, and Undo
// with its question putting the registry back as the backup holds it.
#include "CleanerGui.h"
#include "GuiDriver.h"
#include "RegistryScratch.h"
#include "RegistrySnapshot.h"

#include "core/Language.h"
#include "resource.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr DWORD kCompareTimeoutMs = 120000;

class ChangesWindowTest : public ::testing::Test {
protected:
    ChangesWindowTest() : copy_("changes-window") {}

    std::string Text(const char* key) const { return LanguageFileText(copy_, key); }
    std::string BackupFolder() const { return copy_.File("Data\\Quorvane\\Backup\\"); }
    std::string AutoBackupName() const { return "2008-03-03 14-05-09(" + Text("_PageRegistryBackupType2") + ").reg"; }

    void PlaceBackup(const std::string& name, const std::string& bytes)
    {
        CreateDirectoryW(Widen(copy_.File("Data")).c_str(), nullptr);
        CreateDirectoryW(Widen(copy_.File("Data\\Quorvane")).c_str(), nullptr);
        CreateDirectoryW(Widen(BackupFolder()).c_str(), nullptr);
        ASSERT_TRUE(WriteWholeFile(BackupFolder() + name, bytes));
    }

    int BackupFileCount() const
    {
        int count = 0;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW(Widen(BackupFolder() + "*.reg").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            return 0;
        do
            ++count;
        while (FindNextFileW(find, &data));
        FindClose(find);
        return count;
    }

    // Starts the program on the backup page, selects the only listed backup
    // and opens the window of its changes.
    void OpenChangesOfTheBackup()
    {
        ASSERT_TRUE(program_.Start(copy_.Program()));
        main_ = program_.WaitForMainWindow();
        ASSERT_NE(main_, nullptr);
        ASSERT_TRUE(TreeViewSelectRoot(PageListOf(main_), 2));
        // The search page uses some of the backup page's ids for other controls.
        HWND page = nullptr;
        for (HWND child = GetWindow(PageContainerOf(main_), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (ClassName(GetDlgItem(child, IDC_BACKUP_LIST)) == "SysListView32" && GetDlgItem(child, IDC_BACKUP_CHANGES))
                page = child;
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(IsWindowVisible(page));
        HWND backups = GetDlgItem(page, IDC_BACKUP_LIST);
        ASSERT_EQ(1, ListViewCount(backups));
        ASSERT_TRUE(ListViewSelectRow(program_.Process(), backups, 0));
        ClickButton(page, IDC_BACKUP_CHANGES);
        window_ = WaitForDialogWithControl(program_.ProcessId(), IDC_CHANGES_LIST);
        ASSERT_NE(window_, nullptr);
        list_ = GetDlgItem(window_, IDC_CHANGES_LIST);
        EXPECT_EQ(FormatTextWithString(Text("_ChangesDlgCaption1"), BackupFolder() + AutoBackupName()),
                  WindowText(window_));
        EXPECT_EQ(7, ListViewColumnCount(list_));
    }

    std::string Status() const { return WindowText(GetDlgItem(window_, IDC_STATUS)); }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(window_, id)) != FALSE; }

    // The text of a key filled with the numbers in order.
    std::string Counted(const char* key, std::initializer_list<long long> numbers) const
    {
        std::string text = Text(key);
        for (long long number : numbers)
            text = FormatTextWithNumber(text, number);
        return text;
    }

    // Waits until the status line begins with `lead`.
    bool WaitForStatusLead(const std::string& lead, DWORD timeoutMs = kCompareTimeoutMs) const
    {
        const DWORD start = GetTickCount();
        do {
            if (Status().compare(0, lead.size(), lead) == 0)
                return true;
            Sleep(50);
        } while (GetTickCount() - start < timeoutMs);
        return false;
    }
    std::string Lead(const char* key) const
    {
        const std::string text = Text(key);
        return text.substr(0, text.find('%'));
    }

    // The rows by value name: change, backup data, data now.
    std::map<std::string, std::vector<std::string>> RowsByValueName() const
    {
        std::map<std::string, std::vector<std::string>> rows;
        for (int row = 0; row < ListViewCount(list_); ++row)
            rows[Cell(row, 3)] = {Cell(row, 0), Cell(row, 5), Cell(row, 6)};
        return rows;
    }
    std::string Cell(int row, int column) const { return ListViewText(program_.Process(), list_, row, column); }
    int RowOfValue(const std::string& name) const
    {
        for (int row = 0; row < ListViewCount(list_); ++row)
            if (Cell(row, 3) == name)
                return row;
        return -1;
    }

    void PressKey(WPARAM key) const
    {
        PostMessageW(list_, WM_KEYDOWN, key, 0);
        PostMessageW(list_, WM_KEYUP, key, 0xC0000000);
    }
    HWND WaitForQuestion() { return program_.WaitForDialog(Text("_Quorvane"), main_); }
    static void Answer(HWND box, int button)
    {
        ClickButton(box, button);
        for (int i = 0; i < 100 && IsWindow(box); ++i)
            Sleep(50);
        ASSERT_FALSE(IsWindow(box));
    }
    // Asks to undo the selected rows, answers Yes and waits for the result.
    void UndoSelected(std::initializer_list<long long> count, bool byKey)
    {
        if (byKey)
            PressKey(VK_DELETE);
        else
            ClickButton(window_, IDC_CHANGES_UNDO);
        HWND question = WaitForQuestion();
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(Counted("_ChangesDlgUndoConfirm", count), MessageBoxText(question));
        Answer(question, IDYES);
        ASSERT_TRUE(WaitForStatusLead(Counted("_PageRegistryDiffUndone1", count), 30000)) << Status();
    }

    ProgramCopy copy_;
    RunningProgram program_;
    HWND main_ = nullptr;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
};

TEST_F(ChangesWindowTest, ListsWhatChangedAndUndoesExactlyTheChosenRows)
{
    ScratchRegistryKey scratch;
    ASSERT_TRUE(scratch.IsCreated());
    const std::string settings = scratch.KeyPath() + "\\Settings";
    for (const char* name : {"Colour", "Gone", "Keep"})
        ASSERT_TRUE(scratch.SetString("Settings", name, std::string("was ") + name));
    const RegistrySnapshot before = TakeRegistrySnapshot(HKEY_CURRENT_USER, scratch.KeyPath());
    // The scratch key's bare line: the backup holds it whole, so what is
    // added below it is listed.
    PlaceBackup(AutoBackupName(), "REGEDIT4\r\n\r\n[" + scratch.FullPath() + "]\r\n\r\n[" + scratch.FullPath() +
                                      "\\Settings]\r\n\"Colour\"=\"was Colour\"\r\n\"Gone\"=\"was Gone\"\r\n"
                                      "\"Keep\"=\"was Keep\"\r\n");
    ASSERT_TRUE(scratch.SetString("Settings", "Colour", "now red"));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyValueW(HKEY_CURRENT_USER, Widen(settings).c_str(), L"Gone"));
    ASSERT_TRUE(scratch.SetString("Settings", "New", "installed"));

    OpenChangesOfTheBackup();
    ASSERT_TRUE(WaitForStatusLead(Counted("_ChangesDlgState3", {3, 1, 1, 1}))) << Status();
    const std::map<std::string, std::vector<std::string>> expected = {
        {"Colour", {Text("_PageRegistryDiffKind2"), "was Colour", "now red"}},
        {"Gone", {Text("_PageRegistryDiffKind1"), "was Gone", ""}},
        {"New", {Text("_PageRegistryDiffKind3"), "", "installed"}},
    };
    EXPECT_EQ(expected, RowsByValueName());
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ("HKEY_CURRENT_USER", Cell(row, 1));
        EXPECT_EQ(settings, Cell(row, 2));
        EXPECT_EQ("REG_SZ", Cell(row, 4));
    }
    EXPECT_FALSE(Enabled(IDC_CHANGES_STOP));
    EXPECT_FALSE(Enabled(IDC_CHANGES_UNDO)); // nothing selected
    EXPECT_TRUE(Enabled(IDC_CHANGES_EXPORT));

    // Export takes every row without a selection, and the selected ones else.
    const std::string report = TemporaryFolder() + UniqueScratchName();
    ClickButton(window_, IDC_CHANGES_EXPORT);
    ASSERT_NE(ChooseFileInSaveDialog(program_.ProcessId(), report, 1), nullptr);
    std::string csv;
    for (int i = 0; i < 200 && (csv = ReadWholeFile(report + ".csv")).empty(); ++i)
        Sleep(50);
    EXPECT_EQ(4, std::count(csv.begin(), csv.end(), '\n')) << csv;
    ASSERT_TRUE(ListViewSelectRow(program_.Process(), list_, RowOfValue("New")));
    ClickButton(window_, IDC_CHANGES_EXPORT);
    ASSERT_NE(ChooseFileInSaveDialog(program_.ProcessId(), report, 0), nullptr);
    std::string undoFile;
    for (int i = 0; i < 200 && (undoFile = ReadRegFileText(report + ".reg")).empty(); ++i)
        Sleep(50);
    EXPECT_NE(std::string::npos, undoFile.find("\"New\"=-")) << undoFile;
    EXPECT_EQ(std::string::npos, undoFile.find("Colour")) << undoFile;
    DeleteFileW(Widen(report + ".csv").c_str());
    DeleteFileW(Widen(report + ".reg").c_str());
    ASSERT_TRUE(ListViewSelectRow(program_.Process(), list_, -1));

    // The removed and the changed value: written back, the added one left.
    ASSERT_TRUE(ListViewSetRowSelected(program_.Process(), list_, RowOfValue("Gone"), true));
    ASSERT_TRUE(ListViewSetRowSelected(program_.Process(), list_, RowOfValue("Colour"), true));
    ASSERT_TRUE(Enabled(IDC_CHANGES_UNDO));
    ASSERT_NO_FATAL_FAILURE(UndoSelected({2}, false));
    EXPECT_EQ("was Colour", ReadUserString(settings, "Colour"));
    EXPECT_EQ("was Gone", ReadUserString(settings, "Gone"));
    EXPECT_EQ("installed", ReadUserString(settings, "New"));
    ASSERT_EQ(1, ListViewCount(list_));
    EXPECT_EQ("New", Cell(0, 3));
    EXPECT_EQ(2, BackupFileCount()); // the automatic backup of the undo

    // Del on the added value deletes it: the key is as the backup holds it.
    ASSERT_TRUE(ListViewSelectRow(program_.Process(), list_, 0));
    ASSERT_NO_FATAL_FAILURE(UndoSelected({1}, true));
    EXPECT_EQ("", DescribeSnapshotDifference(before, TakeRegistrySnapshot(HKEY_CURRENT_USER, scratch.KeyPath())));
    EXPECT_EQ(0, ListViewCount(list_));
    EXPECT_EQ(3, BackupFileCount());

    // Esc once the comparison has ended closes at once.
    PressKey(VK_ESCAPE);
    for (int i = 0; i < 100 && IsWindow(window_); ++i)
        Sleep(50);
    EXPECT_FALSE(IsWindow(window_));
}

TEST_F(ChangesWindowTest, EscAsksAndStopKeepsWhatALongComparisonFound)
{
    ScratchRegistryKey scratch;
    ASSERT_TRUE(scratch.IsCreated());
    // Many keys the registry does not hold: each is a removed key.
    constexpr int kKeys = 60000;
    std::string file = "REGEDIT4\r\n\r\n";
    file.reserve(kKeys * (scratch.FullPath().size() + 32));
    char name[32];
    for (int key = 0; key < kKeys; ++key) {
        std::snprintf(name, sizeof name, "\\K%06d]\r\n", key);
        file += "[" + scratch.FullPath() + name + "\"V\"=\"x\"\r\n";
    }
    PlaceBackup(AutoBackupName(), file);

    OpenChangesOfTheBackup();
    ASSERT_TRUE(WaitForStatusLead(Lead("_ChangesDlgState2"))) << Status();
    EXPECT_TRUE(Enabled(IDC_CHANGES_STOP));
    EXPECT_FALSE(Enabled(IDC_CHANGES_UNDO));
    EXPECT_FALSE(Enabled(IDC_CHANGES_EXPORT));
    // The window answers while the worker compares.
    DWORD_PTR answer = 0;
    EXPECT_NE(0, SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));

    // Esc while it runs asks first; No goes on comparing.
    PressKey(VK_ESCAPE);
    HWND question = WaitForQuestion();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(Text("_ChangesDlgCancelConfirm"), MessageBoxText(question));
    ASSERT_NO_FATAL_FAILURE(Answer(question, IDNO));
    ASSERT_TRUE(IsWindow(window_));

    ClickButton(window_, IDC_CHANGES_STOP);
    ASSERT_TRUE(WaitForStatusLead(Lead("_ChangesDlgState5"), 30000)) << Status();
    const int found = ListViewCount(list_);
    EXPECT_GT(found, 0);
    EXPECT_LT(found, kKeys);
    EXPECT_EQ(Counted("_ChangesDlgState5", {found, found, 0, 0}), Status());
    EXPECT_EQ(Text("_PageRegistryDiffKind1"), Cell(found - 1, 0));
    EXPECT_FALSE(Enabled(IDC_CHANGES_STOP));
    EXPECT_TRUE(Enabled(IDC_CHANGES_EXPORT));
    // Nothing arrives after the stop.
    Sleep(500);
    EXPECT_EQ(found, ListViewCount(list_));

    PressKey(VK_ESCAPE);
    for (int i = 0; i < 100 && IsWindow(window_); ++i)
        Sleep(50);
    EXPECT_FALSE(IsWindow(window_));
}

} // namespace
