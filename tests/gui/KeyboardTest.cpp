// The keyboard: Tab walks every enabled control of a page in reading order
// and back to the page list; F5 starts the visible page's work; Esc while
// work runs asks before closing.
#include "CleanerGui.h"
#include "GuiDriver.h"

#include "resource.h"

#include <gtest/gtest.h>

namespace {

HWND FocusOf(HWND main)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info) ? info.hwndFocus : nullptr;
}

// A key pressed and let go where the focus is; returns once it was handled.
void PressKey(HWND main, UINT key)
{
    HWND target = FocusOf(main) ? FocusOf(main) : main;
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
    Pump(100);
    SendMessageW(main, WM_NULL, 0, 0);
}

// Shows the page at `index` of the page list; the page, or null.
HWND ShowPage(HWND main, int index)
{
    EXPECT_TRUE(TreeViewSelectRoot(PageListOf(main), index));
    for (HWND page = GetWindow(PageContainerOf(main), GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
        if (IsWindowVisible(page))
            return page;
    return nullptr;
}

// The ids of the controls Tab reaches from the page list until it is back.
std::vector<int> TabWalk(HWND main)
{
    HWND list = PageListOf(main);
    // A click below the entries puts the focus in the page list.
    RECT client = {};
    GetClientRect(list, &client);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right - 2, client.bottom - 2));
    PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(client.right - 2, client.bottom - 2));
    std::vector<int> ids;
    if (!WaitUntil([&] { return FocusOf(main) == list; }, 5000))
        return ids;
    while (ids.size() < 30 && (ids.empty() || ids.back() != IDC_PAGE_LIST)) {
        PressKey(main, VK_TAB);
        ids.push_back(FocusOf(main) ? GetDlgCtrlID(FocusOf(main)) : 0);
    }
    return ids;
}

} // namespace

TEST(Keyboard, TabWalksEachPageInReadingOrderAndF5StartsItsWork)
{
    ProgramCopy copy("keyboard");
    // The stand-in editor holds the backup until the test lets it go.
    ASSERT_TRUE(PlaceStandInEditor(copy));
    ASSERT_TRUE(WriteWholeFile(EditorSignal(copy, "hold"), ""));
    ASSERT_TRUE(WriteWholeFile(EditorSignal(copy, "idle"), ""));
    RunningProgram program;
    ASSERT_TRUE(program.Start(copy.Program()));
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    SetForegroundWindow(main);

    // Cleaner. Disabled buttons (Stop, Delete, Clear before any work) are passed over.
    HWND cleaner = ShowPage(main, 0);
    ASSERT_NE(cleaner, nullptr);
    EXPECT_EQ(TabWalk(main), std::vector<int>({IDC_CLEANER_TASKS, IDC_CLEANER_SCAN, IDC_CLEANER_RESULTS, IDC_PAGE_LIST}));
    // F5 scans the ticked checks; Esc during the scan asks, and No goes on.
    PressKey(main, VK_F5);
    EXPECT_NE(LanguageFileText(copy, "_PageRegistryCleanerState1"), WindowText(GetDlgItem(cleaner, IDC_STATUS)));
    PressKey(main, VK_ESCAPE);
    HWND question = program.WaitForDialog(LanguageFileText(copy, "_Quorvane"), main, 5000);
    ASSERT_NE(question, nullptr); // the scan of the default checks takes longer than this
    EXPECT_EQ(LanguageFileText(copy, "_MainDialogCancelConfirm"), MessageBoxText(question));
    ClickButton(question, IDNO);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }, 10000));
    ClickButton(cleaner, IDC_CLEANER_STOP);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(cleaner, IDC_CLEANER_SCAN)) != FALSE; }));

    // Search: F5 searches for the keyword.
    HWND search = ShowPage(main, 1);
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(TabWalk(main), std::vector<int>({IDC_SEARCH_KEYWORD, IDC_SEARCH_INCLUDE_KEY, IDC_SEARCH_INCLUDE_VALUE,
                                               IDC_SEARCH_INCLUDE_DATA, IDC_SEARCH_CASE, IDC_SEARCH_WILDCARD,
                                               IDC_SEARCH_FULL_WORD, IDC_SEARCH_HKCR, IDC_SEARCH_HKCU,
                                               IDC_SEARCH_HKLM, IDC_SEARCH_HKU, IDC_SEARCH_HKCC, IDC_SEARCH_START,
                                               IDC_SEARCH_DEFAULT, IDC_SEARCH_RESULTS, IDC_PAGE_LIST}));
    SetControlText(GetDlgItem(search, IDC_SEARCH_KEYWORD), "QuorvaneF5NoSuchWord");
    for (int id : {IDC_SEARCH_HKCR, IDC_SEARCH_HKCU, IDC_SEARCH_HKLM, IDC_SEARCH_HKU})
        SendDlgItemMessageW(search, id, BM_SETCHECK, BST_UNCHECKED, 0);
    PressKey(main, VK_F5);
    EXPECT_TRUE(WaitUntil([&] {
        return WindowText(GetDlgItem(search, IDC_STATUS)) == LanguageFileText(copy, "_PageRegistrySearchState3");
    }));

    // Backups: F5 backs up now.
    HWND backup = ShowPage(main, 2);
    ASSERT_NE(backup, nullptr);
    EXPECT_EQ(TabWalk(main), std::vector<int>({IDC_BACKUP_LIST, IDC_BACKUP_BACKUP, IDC_BACKUP_RESTORE,
                                               IDC_BACKUP_TO_FILE, IDC_BACKUP_FROM_FILE, IDC_BACKUP_DELETE,
                                               IDC_BACKUP_CHANGES, IDC_BACKUP_CHANGES_FILE, IDC_PAGE_LIST}));
    PressKey(main, VK_F5);
    EXPECT_TRUE(WaitUntil(
        [&] { return GetFileAttributesW(Widen(EditorSignal(copy, "started")).c_str()) != INVALID_FILE_ATTRIBUTES; }));
    ASSERT_TRUE(DeleteFileW(Widen(EditorSignal(copy, "hold")).c_str()));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(backup, IDC_BACKUP_BACKUP)) != FALSE; }));

    PostMessageW(main, WM_CLOSE, 0, 0);
    DWORD exitCode = 0;
    ASSERT_TRUE(program.WaitForExit(exitCode));
    EXPECT_EQ(2u, exitCode);
}
