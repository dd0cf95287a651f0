// The main window comes back with the place, size, maximised state,
// splitter and column widths it was closed with (kept in config.xml), and
// starts as before when the file holds none of it or a place off every
// screen.
#include "CleanerGui.h"
#include "GuiDriver.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

struct Layout {
    RECT window = {};
    int pageList = 0;
    std::vector<int> columns; // the cleaner's four, then the backup list's first
};

// The backup page's list (its id is also that of a search page check box).
HWND BackupList(HWND main)
{
    for (HWND page = GetWindow(PageContainerOf(main), GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
        if (GetDlgItem(page, IDC_BACKUP_LIST) && ClassName(GetDlgItem(page, IDC_BACKUP_LIST)) == "SysListView32")
            return GetDlgItem(page, IDC_BACKUP_LIST);
    return nullptr;
}

Layout ReadLayout(HWND main)
{
    Layout layout;
    GetWindowRect(main, &layout.window);
    RECT list = {};
    GetWindowRect(PageListOf(main), &list);
    layout.pageList = list.right - list.left;
    HWND results = GetDlgItem(PageWithControl(main, IDC_CLEANER_RESULTS), IDC_CLEANER_RESULTS);
    for (int column = 0; column < 4; ++column)
        layout.columns.push_back(ListViewColumnWidth(results, column));
    layout.columns.push_back(ListViewColumnWidth(BackupList(main), 0));
    return layout;
}

void ExpectSameRect(const RECT& expected, const RECT& actual)
{
    EXPECT_TRUE(EqualRect(&expected, &actual)) << actual.left << "," << actual.top << " " << actual.right << ","
                                               << actual.bottom;
}

// Starts the program in the copy; the main window, or null.
HWND Start(RunningProgram& program, const ProgramCopy& copy)
{
    return program.Start(copy.Program()) ? program.WaitForMainWindow() : nullptr;
}

void Close(RunningProgram& program, HWND main)
{
    PostMessageW(main, WM_CLOSE, 0, 0);
    DWORD exitCode = 0;
    ASSERT_TRUE(program.WaitForExit(exitCode));
    ASSERT_EQ(2u, exitCode);
}

} // namespace

TEST(RememberedLayout, SizePlaceSplitterColumnsAndMaximisedStateComeBack)
{
    ProgramCopy copy("remembered-layout");
    RunningProgram first;
    HWND main = Start(first, copy);
    ASSERT_NE(main, nullptr);
    SetWindowPos(main, nullptr, 60, 40, 900, 640, SWP_NOZORDER | SWP_NOACTIVATE);
    // The splitter bar dragged to the right, as the mouse does.
    HWND splitter = GetParent(PageListOf(main));
    PostMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ReadLayout(main).pageList + 1, 40));
    PostMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(260, 40));
    PostMessageW(splitter, WM_LBUTTONUP, 0, MAKELPARAM(260, 40));
    ASSERT_TRUE(WaitUntil([&] { return ReadLayout(main).pageList > 240; }, 10000));
    SendDlgItemMessageW(PageWithControl(main, IDC_CLEANER_RESULTS), IDC_CLEANER_RESULTS, LVM_SETCOLUMNWIDTH, 1, 260);
    ASSERT_TRUE(TreeViewSelectRoot(PageListOf(main), 2));
    SendMessageW(BackupList(main), LVM_SETCOLUMNWIDTH, 0, 150);
    ASSERT_TRUE(TreeViewSelectRoot(PageListOf(main), 0));
    const Layout before = ReadLayout(main);
    EXPECT_NE(188, before.pageList);
    EXPECT_EQ(260, before.columns[1]);
    EXPECT_EQ(150, before.columns[4]);

    // A width the user set keeps its share when the window is resized, and
    // comes back exactly at the size it was set at.
    SetWindowPos(main, nullptr, 0, 0, 1100, 640, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const std::vector<int> wider = ReadLayout(main).columns;
    EXPECT_GT(wider[1], 260);
    EXPECT_GT(wider[1], wider[0]);
    SetWindowPos(main, nullptr, 0, 0, 900, 640, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(before.columns, ReadLayout(main).columns);
    ASSERT_NO_FATAL_FAILURE(Close(first, main));

    RunningProgram second;
    main = Start(second, copy);
    ASSERT_NE(main, nullptr);
    // A page is fitted to the window when it is shown.
    ASSERT_TRUE(TreeViewSelectRoot(PageListOf(main), 2));
    ASSERT_TRUE(TreeViewSelectRoot(PageListOf(main), 0));
    const Layout after = ReadLayout(main);
    ExpectSameRect(before.window, after.window);
    EXPECT_EQ(before.pageList, after.pageList);
    EXPECT_EQ(before.columns, after.columns);
    // Maximised, then minimised: it comes back maximised, not minimised, and
    // restores to the place it had.
    ShowWindow(main, SW_MAXIMIZE);
    ShowWindow(main, SW_MINIMIZE);
    ASSERT_NO_FATAL_FAILURE(Close(second, main));

    RunningProgram third;
    main = Start(third, copy);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(IsZoomed(main));
    EXPECT_FALSE(IsIconic(main));
    ShowWindow(main, SW_RESTORE);
    ExpectSameRect(before.window, ReadLayout(main).window);
    ASSERT_NO_FATAL_FAILURE(Close(third, main));
}

TEST(RememberedLayout, WithoutAPlaceOrWithOneOffEveryScreenItStartsOnTheScreen)
{
    ProgramCopy copy("layout-defaults");
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);

    // The config.xml of an earlier version: centred on the work area, as
    // before; the window element is added at the end.
    RunningProgram plain;
    HWND main = Start(plain, copy);
    ASSERT_NE(main, nullptr);
    const RECT centred = ReadLayout(main).window;
    EXPECT_EQ((work.left + work.right) / 2 - (centred.right - centred.left) / 2, centred.left);
    EXPECT_EQ((work.top + work.bottom) / 2 - (centred.bottom - centred.top) / 2, centred.top);
    ASSERT_NO_FATAL_FAILURE(Close(plain, main));
    std::string config = ReadWholeFile(copy.File("config.xml"));
    const std::size_t element = config.rfind("<window "); // after the comment that shows one
    ASSERT_NE(std::string::npos, element);

    // On a screen that is gone, and wider than this one: brought back onto
    // the work area and narrowed to it.
    config.replace(element, config.find("/>", element) - element,
                   "<window left=\"-4000\" top=\"-3000\" width=\"9000\" height=\"500\" dpi=\"96\"");
    ASSERT_TRUE(WriteWholeFile(copy.File("config.xml"), config));
    RunningProgram away;
    main = Start(away, copy);
    ASSERT_NE(main, nullptr);
    const RECT placed = {work.left, work.top, work.right, work.top + 500};
    ExpectSameRect(placed, ReadLayout(main).window);
    ASSERT_NO_FATAL_FAILURE(Close(away, main));
}
