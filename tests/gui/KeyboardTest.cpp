// The keyboard: F5 starts the visible page's work, Esc while work runs asks
// before closing, and Tab walks every enabled control of a page in reading
// order and back to the page list.
#include "CleanerGui.h"
#include "GuiDriver.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

HWND FocusOf(HWND main)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

// A key pressed and let go in the window that has the focus; returns once
// the program has handled it.
void PressKey(HWND main, UINT key)
{
    HWND focus = FocusOf(main);
    HWND target = focus ? focus : main;
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
    SendMessageW(main, WM_NULL, 0, 0);
    Pump(100);
}

// Shows the page at `index` of the page list; the page, or null.
HWND PageOf(HWND main, int index)
{
    EXPECT_TRUE(TreeViewSelectRoot(PageListOf(main), index));
    for (HWND page = GetWindow(PageContainerOf(main), GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
        if (IsWindowVisible(page))
            return page;
    return nullptr;
}

// The ids of the controls Tab reaches from the page list until it comes
// back to it (at most 30 steps).
std::vector<int> TabWalk(HWND main)
{
    std::vector<int> ids;
    HWND list = PageListOf(main);
    // A click puts the focus in the page list without changing its entry.
    RECT client = {};
    GetClientRect(list, &client);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right - 2, client.bottom - 2));
    PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(client.right - 2, client.bottom - 2));
    SendMessageW(main, WM_NULL, 0, 0);
    if (!WaitUntil([&] { return FocusOf(main) == list; }, 5000))
        return ids;
    for (int step = 0; step < 30; ++step) {
        PressKey(main, VK_TAB);
        HWND focus = FocusOf(main);
        ids.push_back(focus ? GetDlgCtrlID(focus) : 0);
        if (focus == list || !focus)
            break;
    }
    return ids;
}

void Close(RunningProgram& program, HWND main)
{
    PostMessageW(main, WM_CLOSE, 0, 0);
    DWORD exitCode = 0;
    ASSERT_TRUE(program.WaitForExit(exitCode));
    EXPECT_EQ(2u, exitCode);
}

} // namespace

TEST(Keyboard, TabWalksEachPageInReadingOrder)
{
    ProgramCopy copy("keyboard-tab");
    RunningProgram program;
    ASSERT_TRUE(program.Start(copy.Program()));
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    SetForegroundWindow(main);

    // Disabled buttons (Stop, Delete, Clear before any work) are passed over.
    ASSERT_NE(PageOf(main, 0), nullptr);
    EXPECT_EQ(TabWalk(main),
              std::vector<int>({IDC_CLEANER_TASKS, IDC_CLEANER_SCAN, IDC_CLEANER_RESULTS, IDC_PAGE_LIST}));

    ASSERT_NE(PageOf(main, 1), nullptr);
    EXPECT_EQ(TabWalk(main),
              std::vector<int>({IDC_SEARCH_KEYWORD, IDC_SEARCH_INCLUDE_KEY, IDC_SEARCH_INCLUDE_VALUE,
                                IDC_SEARCH_INCLUDE_DATA, IDC_SEARCH_CASE, IDC_SEARCH_WILDCARD, IDC_SEARCH_FULL_WORD,
                                IDC_SEARCH_HKCR, IDC_SEARCH_HKCU, IDC_SEARCH_HKLM, IDC_SEARCH_HKU, IDC_SEARCH_HKCC,
                                IDC_SEARCH_START, IDC_SEARCH_DEFAULT, IDC_SEARCH_RESULTS, IDC_PAGE_LIST}));

    ASSERT_NE(PageOf(main, 2), nullptr);
    EXPECT_EQ(TabWalk(main), std::vector<int>({IDC_BACKUP_LIST, IDC_BACKUP_BACKUP, IDC_BACKUP_RESTORE,
                                               IDC_BACKUP_TO_FILE, IDC_BACKUP_FROM_FILE, IDC_BACKUP_DELETE,
                                               IDC_PAGE_LIST}));
    ASSERT_NO_FATAL_FAILURE(Close(program, main));
}

TEST(Keyboard, F5StartsEachPagesWorkAndEscAsksWhileItRuns)
{
    ProgramCopy copy("keyboard-f5");
    // The stand-in editor holds the backup until the test lets it go.
    ASSERT_TRUE(PlaceStandInEditor(copy));
    ASSERT_TRUE(WriteWholeFile(EditorSignal(copy, "hold"), ""));
    ASSERT_TRUE(WriteWholeFile(EditorSignal(copy, "idle"), ""));
    RunningProgram program;
    ASSERT_TRUE(program.Start(copy.Program()));
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    SetForegroundWindow(main);

    // Cleaner: F5 scans the ticked checks; Esc asks, and No goes on.
    HWND cleaner = PageOf(main, 0);
    ASSERT_NE(cleaner, nullptr);
    PressKey(main, VK_F5);
    EXPECT_NE(LanguageFileText(copy, "_PageRegistryCleanerState1"), WindowText(GetDlgItem(cleaner, IDC_STATUS)));
    HWND stop = GetDlgItem(cleaner, IDC_CLEANER_STOP);
    if (IsWindowEnabled(stop)) {
        PressKey(main, VK_ESCAPE);
        HWND question = program.WaitForDialog(LanguageFileText(copy, "_Quorvane"), main, 5000);
        if (IsWindowEnabled(stop)) {
            ASSERT_NE(question, nullptr);
            EXPECT_EQ(LanguageFileText(copy, "_MainDialogCancelConfirm"), MessageBoxText(question));
            ClickButton(question, IDNO);
            ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }, 10000));
        } else if (question) {
            ClickButton(question, IDNO); // the scan ended meanwhile
        }
        ClickButton(cleaner, IDC_CLEANER_STOP);
    }
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(cleaner, IDC_CLEANER_SCAN)) != FALSE; }));

    // Search: F5 searches for the keyword.
    HWND search = PageOf(main, 1);
    ASSERT_NE(search, nullptr);
    SetControlText(GetDlgItem(search, IDC_SEARCH_KEYWORD), "QuorvaneF5NoSuchWord");
    for (int id : {IDC_SEARCH_HKCR, IDC_SEARCH_HKCU, IDC_SEARCH_HKLM, IDC_SEARCH_HKU})
        SendDlgItemMessageW(search, id, BM_SETCHECK, BST_UNCHECKED, 0);
    SendDlgItemMessageW(search, IDC_SEARCH_HKCC, BM_SETCHECK, BST_CHECKED, 0);
    PressKey(main, VK_F5);
    EXPECT_TRUE(WaitUntil([&] {
        return WindowText(GetDlgItem(search, IDC_STATUS)) == LanguageFileText(copy, "_PageRegistrySearchState3");
    }));

    // Backups: F5 backs up now.
    HWND backup = PageOf(main, 2);
    ASSERT_NE(backup, nullptr);
    PressKey(main, VK_F5);
    EXPECT_TRUE(WaitUntil([&] {
        return GetFileAttributesW(Widen(EditorSignal(copy, "started")).c_str()) != INVALID_FILE_ATTRIBUTES;
    }));
    ASSERT_TRUE(DeleteFileW(Widen(EditorSignal(copy, "hold")).c_str()));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(backup, IDC_BACKUP_BACKUP)) != FALSE; }));
    ASSERT_NO_FATAL_FAILURE(Close(program, main));
}
