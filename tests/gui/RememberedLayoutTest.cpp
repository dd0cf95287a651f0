// The main window remembers its place, size, maximised state, splitter and
// the column widths of the lists in config.xml from one run to the next,
// and starts as before when the file holds none of it or nonsense.
#include "CleanerGui.h"
#include "GuiDriver.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

struct Layout {
    RECT window = {};
    int pageList = 0;
    std::vector<int> cleanerColumns;
    int backupColumn = 0;
};

// The backup page's list (its id is also that of a search page check box).
HWND BackupList(HWND main)
{
    for (HWND page = GetWindow(PageContainerOf(main), GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT)) {
        HWND list = GetDlgItem(page, IDC_BACKUP_LIST);
        if (list && ClassName(list) == "SysListView32" && GetDlgItem(page, IDC_BACKUP_FROM_FILE))
            return list;
    }
    return nullptr;
}

RECT WindowRectOf(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

int WidthOf(HWND window)
{
    const RECT rect = WindowRectOf(window);
    return rect.right - rect.left;
}

Layout ReadLayout(HWND main)
{
    Layout layout;
    layout.window = WindowRectOf(main);
    layout.pageList = WidthOf(PageListOf(main));
    HWND results = GetDlgItem(PageWithControl(main, IDC_CLEANER_RESULTS), IDC_CLEANER_RESULTS);
    for (int column = 0; column < 4; ++column)
        layout.cleanerColumns.push_back(ListViewColumnWidth(results, column));
    layout.backupColumn = ListViewColumnWidth(BackupList(main), 0);
    return layout;
}

// Drags the splitter bar from where it is to `x`, as the mouse does.
void DragSplitter(HWND main, int x)
{
    HWND splitter = GetParent(PageListOf(main));
    const int bar = WidthOf(PageListOf(main)) + 1;
    PostMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(bar, 40));
    PostMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, 40));
    PostMessageW(splitter, WM_LBUTTONUP, 0, MAKELPARAM(x, 40));
    SendMessageW(splitter, WM_NULL, 0, 0);
}

void Close(RunningProgram& program, HWND main)
{
    PostMessageW(main, WM_CLOSE, 0, 0);
    DWORD exitCode = 0;
    ASSERT_TRUE(program.WaitForExit(exitCode));
    ASSERT_EQ(2u, exitCode);
}

// Starts the program in the copy, returns its layout and closes it.
Layout LayoutOfARun(const ProgramCopy& copy)
{
    RunningProgram program;
    Layout layout;
    if (!program.Start(copy.Program()))
        return layout;
    HWND main = program.WaitForMainWindow();
    if (!main)
        return layout;
    layout = ReadLayout(main);
    Close(program, main);
    return layout;
}

// The copy's config.xml with a window element of `attributes` in place of
// any the file holds.
void SetWindowElement(const ProgramCopy& copy, const std::string& attributes)
{
    std::string text = ReadWholeFile(copy.File("config.xml"));
    const std::size_t old = text.find("<window ");
    if (old != std::string::npos)
        text.erase(old, text.find("/>", old) + 2 - old);
    const std::size_t place = text.find("<cleanersearchtasklist");
    ASSERT_NE(std::string::npos, place);
    text.insert(place, "<window " + attributes + "/>");
    ASSERT_TRUE(WriteWholeFile(copy.File("config.xml"), text));
}

void ExpectSameRect(const RECT& expected, const RECT& actual)
{
    EXPECT_EQ(expected.left, actual.left);
    EXPECT_EQ(expected.top, actual.top);
    EXPECT_EQ(expected.right, actual.right);
    EXPECT_EQ(expected.bottom, actual.bottom);
}

} // namespace

TEST(RememberedLayout, SizePlaceSplitterColumnsAndMaximisedStateComeBack)
{
    ProgramCopy copy("remembered-layout");
    RunningProgram first;
    ASSERT_TRUE(first.Start(copy.Program()));
    HWND main = first.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    SetWindowPos(main, nullptr, 60, 40, 900, 640, SWP_NOZORDER | SWP_NOACTIVATE);
    DragSplitter(main, 260);
    HWND results = GetDlgItem(PageWithControl(main, IDC_CLEANER_RESULTS), IDC_CLEANER_RESULTS);
    SendMessageW(results, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(260, 0));
    const std::vector<int> set = ReadLayout(main).cleanerColumns;
    // A width the user set keeps its share when the window is resized, and
    // comes back exactly at the size it was set at.
    SetWindowPos(main, nullptr, 0, 0, 1100, 640, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const std::vector<int> wider = ReadLayout(main).cleanerColumns;
    EXPECT_GT(wider[1], set[1]);
    EXPECT_GT(wider[1], wider[0]);
    SetWindowPos(main, nullptr, 0, 0, 900, 640, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(set, ReadLayout(main).cleanerColumns);
    HWND backups = BackupList(main);
    ASSERT_TRUE(TreeViewSelectRoot(PageListOf(main), 2));
    SendMessageW(backups, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(150, 0));
    const Layout before = ReadLayout(main);
    EXPECT_NE(188, before.pageList);
    EXPECT_EQ(260, before.cleanerColumns[1]);
    EXPECT_EQ(150, before.backupColumn);
    ASSERT_NO_FATAL_FAILURE(Close(first, main));
    // The element the earlier config.xml lacked was added.
    EXPECT_NE(std::string::npos, ReadWholeFile(copy.File("config.xml")).find("<window "));

    RunningProgram second;
    ASSERT_TRUE(second.Start(copy.Program()));
    main = second.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    Layout after = ReadLayout(main);
    ExpectSameRect(before.window, after.window);
    EXPECT_EQ(before.pageList, after.pageList);
    EXPECT_EQ(before.cleanerColumns, after.cleanerColumns);
    ASSERT_TRUE(TreeViewSelectRoot(PageListOf(main), 2));
    EXPECT_EQ(before.backupColumn, ReadLayout(main).backupColumn);

    // Maximised, then minimised: it comes back maximised, never minimised,
    // and its normal place is the one it had.
    ShowWindow(main, SW_MAXIMIZE);
    ShowWindow(main, SW_MINIMIZE);
    SendMessageW(main, WM_NULL, 0, 0);
    ASSERT_NO_FATAL_FAILURE(Close(second, main));

    RunningProgram third;
    ASSERT_TRUE(third.Start(copy.Program()));
    main = third.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(IsZoomed(main));
    EXPECT_FALSE(IsIconic(main));
    ShowWindow(main, SW_RESTORE);
    SendMessageW(main, WM_NULL, 0, 0);
    ExpectSameRect(before.window, WindowRectOf(main));
    ASSERT_NO_FATAL_FAILURE(Close(third, main));
}

TEST(RememberedLayout, WithoutOrWithBrokenValuesTheWindowStartsAsBefore)
{
    ProgramCopy copy("layout-defaults");
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);

    // The config.xml of an earlier version: centred on the work area.
    const Layout plain = LayoutOfARun(copy);
    const int width = plain.window.right - plain.window.left;
    const int height = plain.window.bottom - plain.window.top;
    ASSERT_GT(width, 0);
    EXPECT_EQ((work.left + work.right) / 2 - width / 2, plain.window.left);
    EXPECT_EQ((work.top + work.bottom) / 2 - height / 2, plain.window.top);

    // A malformed size: the same as without any.
    ASSERT_NO_FATAL_FAILURE(SetWindowElement(copy, "left=\"-30000\" top=\"50\" width=\"5000\" height=\"abc\" "
                                                   "maximised=\"yes\" splitter=\"-3\" dpi=\"0\""));
    const Layout broken = LayoutOfARun(copy);
    ExpectSameRect(plain.window, broken.window);
    EXPECT_EQ(plain.pageList, broken.pageList);
    EXPECT_EQ(plain.cleanerColumns, broken.cleanerColumns);

    // On a screen that is gone and larger than this one: brought back onto
    // the work area and shrunk to it.
    ASSERT_NO_FATAL_FAILURE(SetWindowElement(copy, "left=\"-4000\" top=\"-3000\" width=\"9000\" height=\"700\" "
                                                   "maximised=\"0\" splitter=\"200\" dpi=\"96\""));
    const Layout away = LayoutOfARun(copy);
    EXPECT_EQ(work.left, away.window.left);
    EXPECT_EQ(work.top, away.window.top);
    EXPECT_EQ(work.right, away.window.right);
    EXPECT_EQ(work.top + 700, away.window.bottom);
}
