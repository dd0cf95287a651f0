// The context menu and the keys of the result lists, driven as a user drives
// them: the enabling of the commands, the edit dialog (also for long data),
// export, the selection commands, deleting on the search page after the
// question and with a backup the backup page lists, Del, Enter, a
// double-click, Shift+F10, and the jump to a key.
#include "CleanerGui.h"
#include "GuiDriver.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

enum MenuPosition { kEdit = 1, kDelete, kExport, kInvert, kSelectNone, kSelectAll, kJump };

constexpr const wchar_t* kApplets = L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit";

void SetDword(const std::string& path, const char* name, DWORD number)
{
    HKEY key = nullptr;
    if (RegCreateKeyW(HKEY_CURRENT_USER, Widen(path).c_str(), &key) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, Widen(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(key);
}

std::string LastKey(bool* exists)
{
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer - sizeof buffer[0];
    HKEY key = nullptr;
    *exists = false;
    if (RegOpenKeyW(HKEY_CURRENT_USER, kApplets, &key) != ERROR_SUCCESS)
        return std::string();
    *exists = RegQueryValueExW(key, L"LastKey", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) ==
              ERROR_SUCCESS;
    RegCloseKey(key);
    return NarrowZ(buffer);
}

// Raw value data below HKEY_CURRENT_USER, as the registry holds it.
bool SetRawValue(const std::string& path, const std::string& name, DWORD type, const std::string& bytes)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(path).c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExW(key, Widen(name).c_str(), 0, type,
                                       reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool RawValue(const std::string& path, const std::string& name, DWORD* type, std::string* bytes)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(path).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    LONG result = RegQueryValueExW(key, Widen(name).c_str(), nullptr, type, nullptr, &size);
    bytes->assign(size, '\0');
    if (result == ERROR_SUCCESS && size > 0)
        result = RegQueryValueExW(key, Widen(name).c_str(), nullptr, type, reinterpret_cast<BYTE*>(&(*bytes)[0]),
                                  &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

BOOL CALLBACK CloseRegistryEditors(HWND window, LPARAM)
{
    if (ClassName(window) == "RegEdit_RegEdit")
        PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

class ItemMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        unique_ = UniqueName("menu");
        planted_ = std::make_unique<PlantedKey>(unique_);
        planted_->SetString("", "Alpha" + unique_, "one");
        planted_->SetString("", "Beta" + unique_, "two");
        SetDword("Software\\QuorvaneGuiTests\\" + unique_, ("Num" + unique_).c_str(), 10);
        WriteWholeFile(copy_.File("config.xml"),
                       "<?xml version=\"1.0\"?>\r\n<config><quorvane>"
                       "<cleanersearchtasklist custom=\"0\" default=\"0\"/><searchpage>"
                       "<options custom=\"1,1,1,0,0,0\" default=\"1,1,1,0,0,0\"/>"
                       "<searchrange custom=\"0,1,0,0,0\" default=\"0,1,0,0,0\"/>"
                       "<searchkeyword custom=\"" + unique_ + "\" default=\"\"/>"
                       "</searchpage></quorvane></config>\r\n");
        ASSERT_TRUE(program_.Start(copy_.Program()));
        main_ = program_.WaitForMainWindow();
        ASSERT_NE(main_, nullptr);
        ASSERT_TRUE(TreeViewSelectRoot(PageListOf(main_), 1));
        page_ = PageWithControl(main_, IDC_SEARCH_KEYWORD);
        ASSERT_NE(page_, nullptr);
        list_ = GetDlgItem(page_, IDC_SEARCH_RESULTS);
        ClickButton(page_, IDC_SEARCH_START);
        const std::string done = LanguageFileText(copy_, "_PageRegistrySearchState3");
        ASSERT_TRUE(WaitUntil([&] {
            return IsWindowEnabled(GetDlgItem(page_, IDC_SEARCH_START)) &&
                   WindowText(GetDlgItem(page_, IDC_STATUS)) == done;
        }, 60000));
        // The key's own row, then its three values in the registry's order.
        ASSERT_EQ(ListViewCount(list_), 4);
        ASSERT_EQ(ListViewText(program_.Process(), list_, 1, 2), "Alpha" + unique_);
        ASSERT_EQ(ListViewText(program_.Process(), list_, 2, 2), "Beta" + unique_);
        ASSERT_EQ(ListViewText(program_.Process(), list_, 3, 2), "Num" + unique_);
    }
    void TearDown() override
    {
        if (main_ && IsWindow(main_)) {
            PostMessageW(main_, WM_CLOSE, 0, 0);
            DWORD exitCode = 99;
            EXPECT_TRUE(program_.WaitForExit(exitCode));
            EXPECT_EQ(exitCode, 2u);
        }
    }
    void SelectOnly(std::initializer_list<int> rows)
    {
        for (int row = 0; row < ListViewCount(list_); ++row)
            ListViewSetRowSelected(program_.Process(), list_, row, false);
        for (int row : rows)
            ListViewSetRowSelected(program_.Process(), list_, row, true);
    }
    HWND WaitForEditDialog(DWORD timeoutMs = 10000)
    {
        return program_.WaitForDialog(LanguageFileText(copy_, "_EditRegItemDlg"), nullptr, timeoutMs);
    }
    std::string Text(const char* key) const { return LanguageFileText(copy_, key); }
    // The program's question or notice, other than `except`.
    HWND WaitForMessage(HWND except = nullptr) { return program_.WaitForDialog(Text("_Quorvane"), except); }
    // Answers a message box and waits until it has gone.
    bool Answer(HWND box, int button)
    {
        PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
        return WaitUntil([&] { return !IsWindow(box); });
    }
    std::string DeleteQuestion(int count) const
    {
        std::string text = LanguageFileText(copy_, "_PageRegistryCleanerDeleteConfirm");
        const std::size_t at = text.find("%d");
        return at == std::string::npos ? text : text.replace(at, 2, std::to_string(count));
    }
    // The names of the files in the program copy's backup folder.
    std::vector<std::string> BackupFiles() const
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAW found = {};
        HANDLE search = FindFirstFileW(Widen(copy_.File("Data\\Quorvane\\Backup\\*.reg")).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do
            names.push_back(NarrowZ(found.cFileName));
        while (FindNextFileW(search, &found));
        FindClose(search);
        return names;
    }
    void PressKey(WPARAM key)
    {
        PostMessageW(list_, WM_KEYDOWN, key, 1);
        PostMessageW(list_, WM_KEYUP, key, 0xC0000001);
    }

    ProgramCopy copy_{"item-menu"};
    std::string unique_;
    std::unique_ptr<PlantedKey> planted_;
    RunningProgram program_;
    HWND main_ = nullptr;
    HWND page_ = nullptr;
    HWND list_ = nullptr;
};

} // namespace

TEST_F(ItemMenuTest, SelectionCommandsAndTheirEnabling)
{
    SelectOnly({});
    // Without a selection, edit is greyed: choosing it opens nothing.
    ASSERT_TRUE(ChooseListMenuCommand(program_, list_, -1, kEdit));
    EXPECT_EQ(WaitForEditDialog(1000), nullptr);

    ASSERT_TRUE(ChooseListMenuCommand(program_, list_, -1, kSelectAll));
    EXPECT_EQ(ListViewSelectedCount(list_), 4);

    SelectOnly({0, 2});
    ASSERT_TRUE(ChooseListMenuCommand(program_, list_, 0, kInvert));
    EXPECT_FALSE(ListViewRowSelected(list_, 0));
    EXPECT_TRUE(ListViewRowSelected(list_, 1));
    EXPECT_FALSE(ListViewRowSelected(list_, 2));
    EXPECT_TRUE(ListViewRowSelected(list_, 3));

    // Two selected rows: edit and jump are greyed.
    ASSERT_TRUE(ChooseListMenuCommand(program_, list_, 1, kEdit));
    EXPECT_EQ(WaitForEditDialog(1000), nullptr);

    ASSERT_TRUE(ChooseListMenuCommand(program_, list_, 1, kSelectNone));
    EXPECT_EQ(ListViewSelectedCount(list_), 0);
    EXPECT_EQ(ListViewCount(list_), 4);
}

TEST_F(ItemMenuTest, EditShowsNumbersOnlyAndRenamesStrings)
{
    // A 32-bit number opens view-only, without the OK button.
    SelectOnly({3});
    ASSERT_TRUE(ChooseListMenuCommand(program_, list_, 3, kEdit));
    HWND dialog = WaitForEditDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_EDIT_ROOT)), "HKEY_CURRENT_USER");
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_EDIT_KEY)), planted_->Path());
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_EDIT_NAME)), "Num" + unique_);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_EDIT_DATA)), "0x0000000a (10)");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDOK)));
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(dialog, IDC_EDIT_DATA), GWL_STYLE) & ES_READONLY);
    ClickButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));

    // Empty data is refused and the dialog stays.
    SelectOnly({2});
    ASSERT_TRUE(ChooseListMenuCommand(program_, list_, 2, kEdit));
    dialog = WaitForEditDialog();
    ASSERT_NE(dialog, nullptr);
    SetControlText(GetDlgItem(dialog, IDC_EDIT_DATA), "");
    ClickButton(dialog, IDOK);
    HWND notice = program_.WaitForDialog(Text("_Quorvane"), dialog);
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(MessageBoxText(notice), Text("_EditRegItemDlgValueFieldCannotbeNULL"));
    PostMessageW(notice, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(notice); }));
    EXPECT_TRUE(IsWindow(dialog));
    ClickButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(planted_->StringValue("", "Beta" + unique_), "two");

    // Rename from Alpha to Gamma with new data: the row follows.
    SelectOnly({1});
    ASSERT_TRUE(ChooseListMenuCommand(program_, list_, 1, kEdit));
    dialog = WaitForEditDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDOK)));
    const std::string renamed = "Gamma" + unique_;
    SetControlText(GetDlgItem(dialog, IDC_EDIT_NAME), renamed);
    SetControlText(GetDlgItem(dialog, IDC_EDIT_DATA), "three");
    ClickButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(planted_->StringValue("", renamed), "three");
    EXPECT_FALSE(planted_->HasValue("", "Alpha" + unique_));
    EXPECT_EQ(ListViewText(program_.Process(), list_, 1, 2), renamed);
    EXPECT_EQ(ListViewText(program_.Process(), list_, 1, 3), "three");
}

TEST_F(ItemMenuTest, EditShowsTheValueAsItIsNowAndARenameKeepsEveryByte)
{
    // Changed since the search: data with a zero unit inside and no
    // terminator, which the row's text cannot hold.
    const std::string bytes = std::string("f\0r\0e\0s\0h\0\0\0h\0i\0d\0", 20);
    ASSERT_TRUE(SetRawValue(planted_->Path(), "Alpha" + unique_, REG_SZ, bytes));
    SelectOnly({1});
    ASSERT_TRUE(ChooseListMenuCommand(program_, list_, 1, kEdit));
    HWND dialog = WaitForEditDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ("fresh", WindowText(GetDlgItem(dialog, IDC_EDIT_DATA)));
    const std::string renamed = "Delta" + unique_;
    SetControlText(GetDlgItem(dialog, IDC_EDIT_NAME), renamed);
    ClickButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));

    DWORD type = 0;
    std::string now;
    ASSERT_TRUE(RawValue(planted_->Path(), renamed, &type, &now));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_TRUE(now == bytes);
    EXPECT_FALSE(planted_->HasValue("", "Alpha" + unique_));
    EXPECT_EQ(renamed, ListViewText(program_.Process(), list_, 1, 2));
    EXPECT_EQ("fresh", ListViewText(program_.Process(), list_, 1, 3));
    EXPECT_EQ(1u, BackupFiles().size());
}

TEST_F(ItemMenuTest, ExportWritesTheSelectedRowsToTheChosenFile)
{
    const std::string folder = TemporaryFolder();
    const std::string file = folder + unique_ + ".reg";
    SelectOnly({2, 3});
    ASSERT_TRUE(ChooseListMenuCommand(program_, list_, 2, kExport));
    HWND dialog = WaitForDialogWithControl(program_.ProcessId(), 0x47c);
    ASSERT_NE(dialog, nullptr);
    // The file types (cmb1) are the language file's texts.
    EXPECT_EQ(ComboBoxTexts(GetDlgItem(dialog, 0x470)),
              (std::vector<std::string>{LanguageFileText(copy_, "_RegFileFilterName"),
                                        LanguageFileText(copy_, "_CsvFileFilterName"),
                                        LanguageFileText(copy_, "_AllFilesFilterName")}));
    HWND combo = GetDlgItem(dialog, 0x47c);
    HWND edit = reinterpret_cast<HWND>(SendMessageW(combo, CBEM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    SetControlText(edit, file);
    ClickButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return ReadRegFileText(file).find("dword:0000000a") != std::string::npos; }));
    const std::string text = ReadRegFileText(file);
    const std::string keyLine = "[HKEY_CURRENT_USER\\" + planted_->Path() + "]\r\n";
    EXPECT_EQ(text, "Windows Registry Editor Version 5.00\r\n\r\n" + keyLine + "\"Beta" + unique_ + "\"=\"two\"\r\n" + keyLine + "\"Num" +
                        unique_ + "\"=dword:0000000a\r\n");
    DeleteFileW(Widen(file).c_str());
    EXPECT_EQ(ListViewSelectedCount(list_), 2); // rows stay selected and unchanged
}

// A .reg file that cannot be written (here: a file another program holds
// open without sharing, which the user chose to replace) is never reported
// as exported: the user is told.
TEST_F(ItemMenuTest, AnExportThatCannotBeWrittenSaysSo)
{
    const std::string file = TemporaryFolder() + unique_ + ".reg";
    ASSERT_TRUE(WriteWholeFile(file, "earlier"));
    HANDLE holder = CreateFileW(Widen(file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    SelectOnly({2});
    ASSERT_TRUE(ChooseListMenuCommand(program_, list_, 2, kExport));
    HWND dialog = ChooseFileInSaveDialog(program_.ProcessId(), file);
    ASSERT_NE(dialog, nullptr);
    // The save dialog asks before it replaces the file.
    HWND replace = WaitForOwnedWindow(dialog);
    ASSERT_NE(replace, nullptr);
    PostMessageW(replace, WM_COMMAND, IDYES, 0);
    HWND notice = program_.WaitForDialog(Text("_Quorvane"), dialog);
    CloseHandle(holder);
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(MessageBoxText(notice), Text("_RegistryListViewRegNotCreated"));
    PostMessageW(notice, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(notice); }));
    EXPECT_EQ(ReadWholeFile(file), "earlier");
    DeleteFileW(Widen(file).c_str());
}

TEST_F(ItemMenuTest, DeleteOnTheSearchPageAsksFirstAndBacksUpWhatItDeletes)
{
    // No keeps everything.
    SelectOnly({2});
    ASSERT_TRUE(ChooseListMenuCommand(program_, list_, 2, kDelete));
    HWND question = WaitForMessage();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(MessageBoxText(question), DeleteQuestion(1));
    ASSERT_TRUE(Answer(question, IDNO));
    Pump(300);
    EXPECT_EQ(ListViewCount(list_), 4);
    EXPECT_TRUE(planted_->HasValue("", "Beta" + unique_));
    EXPECT_TRUE(BackupFiles().empty());

    // Yes deletes the selected row after writing the automatic backup.
    ASSERT_TRUE(ChooseListMenuCommand(program_, list_, 2, kDelete));
    question = WaitForMessage();
    ASSERT_NE(question, nullptr);
    ASSERT_TRUE(Answer(question, IDYES));
    ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list_) == 3; }));
    EXPECT_FALSE(planted_->HasValue("", "Beta" + unique_));
    EXPECT_TRUE(planted_->HasValue("", "Alpha" + unique_));
    const std::vector<std::string> files = BackupFiles();
    ASSERT_EQ(files.size(), 1u);
    const std::string backup = ReadRegFileText(copy_.File("Data\\Quorvane\\Backup\\" + files[0]));
    EXPECT_NE(backup.find("\"Beta" + unique_ + "\"=\"two\""), std::string::npos) << backup;
    EXPECT_EQ(backup.find("Alpha" + unique_), std::string::npos);

    // The backup page lists it as an automatic backup.
    ASSERT_TRUE(TreeViewSelectRoot(PageListOf(main_), 2));
    // The backup page's ids are used by other pages as well: its list is the
    // list view among them.
    HWND backups = nullptr;
    HWND container = PageContainerOf(main_);
    for (HWND child = GetWindow(container, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        HWND candidate = GetDlgItem(child, IDC_BACKUP_LIST);
        if (candidate && ClassName(candidate) == "SysListView32")
            backups = candidate;
    }
    ASSERT_NE(backups, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ListViewCount(backups) == 1; }, 10000));
    EXPECT_EQ(ListViewText(program_.Process(), backups, 0, 3), Text("_PageRegistryBackupType2"));
    const std::string listed = ListViewText(program_.Process(), backups, 0, 4);
    EXPECT_EQ(listed.substr(listed.size() - std::min(listed.size(), files[0].size())), files[0]) << listed;
}

TEST_F(ItemMenuTest, DelKeyDeletesTheSelectedRowsAfterTheQuestion)
{
    SelectOnly({1, 3});
    PressKey(VK_DELETE);
    HWND question = WaitForMessage();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(MessageBoxText(question), DeleteQuestion(2));
    ASSERT_TRUE(Answer(question, IDNO));
    EXPECT_EQ(ListViewCount(list_), 4);
    EXPECT_TRUE(planted_->HasValue("", "Alpha" + unique_));

    PressKey(VK_DELETE);
    question = WaitForMessage();
    ASSERT_NE(question, nullptr);
    ASSERT_TRUE(Answer(question, IDYES));
    ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list_) == 2; }));
    EXPECT_FALSE(planted_->HasValue("", "Alpha" + unique_));
    EXPECT_TRUE(planted_->HasValue("", "Beta" + unique_));
    EXPECT_EQ(ListViewText(program_.Process(), list_, 1, 2), "Beta" + unique_);
    EXPECT_EQ(BackupFiles().size(), 1u);
}

TEST_F(ItemMenuTest, EnterAndDoubleClickOpenTheEditDialogOnTheRow)
{
    // Enter on a number: view-only.
    ASSERT_TRUE(ListViewSelectRow(program_.Process(), list_, 3));
    PressKey(VK_RETURN);
    HWND dialog = WaitForEditDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_EDIT_NAME)), "Num" + unique_);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDOK)));
    ClickButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));

    // A double-click on a string value: editable, and its change shows in the row.
    ASSERT_TRUE(ListViewSelectRow(program_.Process(), list_, 2));
    const POINT point = ListViewRowCentre(program_.Process(), list_, 2);
    const LPARAM where = MAKELPARAM(point.x, point.y);
    PostMessageW(list_, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
    PostMessageW(list_, WM_LBUTTONUP, 0, where);
    dialog = WaitForEditDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_EDIT_NAME)), "Beta" + unique_);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_EDIT_DATA)), "two");
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDOK)));
    SetControlText(GetDlgItem(dialog, IDC_EDIT_DATA), "twenty");
    ClickButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(planted_->StringValue("", "Beta" + unique_), "twenty");
    EXPECT_EQ(ListViewText(program_.Process(), list_, 2, 3), "twenty");
    EXPECT_EQ(BackupFiles().size(), 1u); // the edit backed up the former data
}

TEST_F(ItemMenuTest, ShiftF10OpensTheMenuOnTheSelectedRow)
{
    ASSERT_TRUE(ListViewSelectRow(program_.Process(), list_, 2));
    SetForegroundWindow(main_);
    SendMessageW(page_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list_), TRUE);
    INPUT keys[4] = {};
    const WORD codes[4] = {VK_SHIFT, VK_F10, VK_F10, VK_SHIFT};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = codes[i];
        keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    ASSERT_EQ(SendInput(4, keys, sizeof(INPUT)), 4u);
    HWND popup = WaitForPopupMenu(program_);
    ASSERT_NE(popup, nullptr);
    // The menu opens beside the row, inside the list.
    RECT menu = {};
    RECT list = {};
    GetWindowRect(popup, &menu);
    GetWindowRect(list_, &list);
    EXPECT_GE(menu.left, list.left);
    EXPECT_LE(menu.left, list.right);
    EXPECT_GE(menu.top, list.top);
    EXPECT_LE(menu.top, list.bottom);
    // Its Edit acts on that row.
    ASSERT_TRUE(ChooseOpenMenuCommand(popup, kEdit));
    HWND dialog = WaitForEditDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_EDIT_NAME)), "Beta" + unique_);
    ClickButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
}

TEST_F(ItemMenuTest, LongDataIsShownAndWrittenWhole)
{
    std::string data;
    for (int i = 0; data.size() < 1500; ++i)
        data += "segment" + std::to_string(i) + ",";
    ASSERT_TRUE(ListViewSelectRow(program_.Process(), list_, 1));
    PressKey(VK_RETURN);
    HWND dialog = WaitForEditDialog();
    ASSERT_NE(dialog, nullptr);
    SetControlText(GetDlgItem(dialog, IDC_EDIT_DATA), data);
    ClickButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(planted_->StringValue("", "Alpha" + unique_), data);
    EXPECT_EQ(ListViewText(program_.Process(), list_, 1, 3), data);

    // Opened again, the field holds the whole text, and typing at its end works.
    PressKey(VK_RETURN);
    dialog = WaitForEditDialog();
    ASSERT_NE(dialog, nullptr);
    HWND field = GetDlgItem(dialog, IDC_EDIT_DATA);
    EXPECT_EQ(WindowText(field), data);
    SendMessageW(field, EM_SETSEL, data.size(), data.size());
    SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"tail"));
    ClickButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(planted_->StringValue("", "Alpha" + unique_), data + "tail");
}

TEST_F(ItemMenuTest, JumpHandsTheKeyToTheRegistryEditorOnlyWhenItsKeyExists)
{
    bool existed = false;
    const std::string previous = LastKey(&existed);

    // Without the editor's key nothing happens at all.
    RegDeleteTreeW(HKEY_CURRENT_USER, kApplets);
    SelectOnly({3});
    ASSERT_TRUE(ChooseListMenuCommand(program_, list_, 3, kJump));
    Sleep(1000);
    bool exists = false;
    LastKey(&exists);
    EXPECT_FALSE(exists);
    HKEY probe = nullptr;
    EXPECT_NE(RegOpenKeyW(HKEY_CURRENT_USER, kApplets, &probe), ERROR_SUCCESS);

    HKEY applets = nullptr;
    ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, kApplets, &applets), ERROR_SUCCESS);
    RegCloseKey(applets);
    ASSERT_TRUE(ChooseListMenuCommand(program_, list_, 3, kJump));
    ASSERT_TRUE(WaitUntil([&] {
        bool stored = false;
        return LastKey(&stored) == "HKEY_CURRENT_USER\\" + planted_->Path() && stored;
    }));
    // Close the editor the jump opened.
    Sleep(1500);
    EnumWindows(CloseRegistryEditors, 0);

    if (existed) {
        HKEY key = nullptr;
        RegCreateKeyW(HKEY_CURRENT_USER, kApplets, &key);
        const std::wstring data = Widen(previous);
        RegSetValueExW(key, L"LastKey", 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
}

TEST_F(ItemMenuTest, ExportAsCsvWritesTheSelectedRowsAsAReport)
{
    const std::string folder = TemporaryFolder();
    // Typed without an extension: the chosen type's ".csv" is added.
    const std::string file = folder + unique_;
    SelectOnly({1, 3});
    ASSERT_TRUE(ChooseListMenuCommand(program_, list_, 1, kExport));
    ASSERT_NE(ChooseFileInSaveDialog(program_.ProcessId(), file, 1), nullptr);
    const std::string expected = "\xEF\xBB\xBF" + Text("_CsvReportCol2") + "," + Text("_CsvReportCol3") + "," +
                                 Text("_CsvReportCol4") + "," + Text("_CsvReportCol5") + "\r\n" +
                                 "HKEY_CURRENT_USER," + planted_->Path() + ",Alpha" + unique_ + ",one\r\n" +
                                 "HKEY_CURRENT_USER," + planted_->Path() + ",Num" + unique_ +
                                 ",0x0000000a (10)\r\n";
    EXPECT_TRUE(WaitUntil([&] { return ReadWholeFile(file + ".csv") == expected; }, 20000))
        << ReadWholeFile(file + ".csv");
    DeleteFileW(Widen(file + ".csv").c_str());
    // Neither a .reg file nor one under the bare name.
    EXPECT_EQ(GetFileAttributesW(Widen(file + ".reg").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(Widen(file).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ListViewSelectedCount(list_), 2);
}
