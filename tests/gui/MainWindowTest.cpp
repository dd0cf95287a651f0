// The running program's main window: caption, page list, page switching,
// resizing, closing (with its question while work runs), the single instance
// and the start without XML support.
#include "CleanerGui.h"
#include "GuiDriver.h"

#include "ui/WindowUtil.h"
#include "resource.h"

#include <gtest/gtest.h>

namespace {

std::string LanguageText(const ProgramCopy& copy, const char* key)
{
    return LanguageFileText(copy, key);
}

// The page window inside the container that is visible, or null.
HWND VisiblePage(HWND mainWindow)
{
    HWND pages = PageContainerOf(mainWindow);
    HWND visible = nullptr;
    int visibleCount = 0;
    for (HWND child = GetWindow(pages, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowVisible(child)) {
            visible = child;
            ++visibleCount;
        }
    }
    return visibleCount == 1 ? visible : nullptr;
}

RECT ClientRectOf(HWND window)
{
    RECT rect = {};
    GetClientRect(window, &rect);
    return rect;
}

RECT WindowRectOf(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

} // namespace

TEST(MainWindow, ShowsCaptionPagesAndSwitchesBetweenThem)
{
    ProgramCopy copy("main-window");
    RunningProgram program;
    ASSERT_TRUE(program.Start(copy.Program()));
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);

    const std::string productName = ReadProductString(copy.Program(), "ProductName");
    ASSERT_FALSE(productName.empty());
    EXPECT_EQ(WindowText(main), productName + " (V1.5)");

    HWND list = PageListOf(main);
    ASSERT_NE(list, nullptr);
    const std::vector<std::string> entries = TreeViewRootTexts(program.Process(), list);
    const std::vector<std::string> expected = {LanguageText(copy, "_PageRegistryCleanerTitle"),
                                               LanguageText(copy, "_PageRegistrySearchTitle"),
                                               LanguageText(copy, "_PageRegistryBackupTitle")};
    EXPECT_EQ(entries, expected);
    EXPECT_FALSE(expected[0].empty());

    // At start the cleaner page is visible and its entry selected.
    EXPECT_EQ(TreeViewSelectedText(program.Process(), list), expected[0]);
    HWND cleaner = VisiblePage(main);
    ASSERT_NE(cleaner, nullptr);
    EXPECT_NE(GetDlgItem(cleaner, IDC_CLEANER_TASKS), nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(cleaner, IDC_CLEANER_SCAN)), LanguageText(copy, "_Scan"));

    // The visible page fills the container.
    const RECT container = ClientRectOf(PageContainerOf(main));
    const RECT page = ClientRectOf(cleaner);
    EXPECT_EQ(page.right, container.right);
    EXPECT_EQ(page.bottom, container.bottom);

    // Selecting the search entry hides the cleaner page and shows the search page.
    ASSERT_TRUE(TreeViewSelectRoot(list, 1));
    HWND search = VisiblePage(main);
    ASSERT_NE(search, nullptr);
    EXPECT_NE(search, cleaner);
    EXPECT_NE(GetDlgItem(search, IDC_SEARCH_KEYWORD), nullptr);
    EXPECT_FALSE(IsWindowVisible(cleaner));
    EXPECT_EQ(WindowText(GetDlgItem(search, IDC_SEARCH_START)), LanguageText(copy, "_StartSearch"));
    EXPECT_EQ(ClientRectOf(search).right, container.right);

    // Selecting the same entry again changes nothing.
    ASSERT_TRUE(TreeViewSelectRoot(list, 1));
    EXPECT_EQ(VisiblePage(main), search);

    ASSERT_TRUE(TreeViewSelectRoot(list, 2));
    HWND backup = VisiblePage(main);
    ASSERT_NE(backup, nullptr);
    EXPECT_NE(GetDlgItem(backup, IDC_BACKUP_LIST), nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(backup, IDC_BACKUP_BACKUP)), LanguageText(copy, "_Backup"));

    ASSERT_TRUE(TreeViewSelectRoot(list, 0));
    EXPECT_EQ(VisiblePage(main), cleaner);

    SendMessageW(main, WM_CLOSE, 0, 0);
    DWORD exitCode = 0;
    ASSERT_TRUE(program.WaitForExit(exitCode));
    EXPECT_EQ(exitCode, 2u);
}

TEST(MainWindow, ResizingStretchesBannerAndPageHostOnly)
{
    ProgramCopy copy("resize");
    RunningProgram program;
    ASSERT_TRUE(program.Start(copy.Program()));
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);

    HWND banner = GetDlgItem(main, IDC_MAIN_BANNER);
    HWND host = GetDlgItem(main, IDC_MAIN_PAGE_HOST);
    const RECT bannerBefore = WindowRectOf(banner);
    const RECT hostBefore = WindowRectOf(host);
    const RECT mainBefore = WindowRectOf(main);
    const RECT containerBefore = ClientRectOf(PageContainerOf(main));

    SetWindowPos(main, nullptr, 0, 0, (mainBefore.right - mainBefore.left) + 200,
                 (mainBefore.bottom - mainBefore.top) + 100, SWP_NOMOVE | SWP_NOZORDER);
    const RECT bannerAfter = WindowRectOf(banner);
    const RECT hostAfter = WindowRectOf(host);
    EXPECT_EQ(bannerAfter.right - bannerAfter.left, (bannerBefore.right - bannerBefore.left) + 200);
    EXPECT_EQ(bannerAfter.bottom - bannerAfter.top, bannerBefore.bottom - bannerBefore.top);
    EXPECT_EQ(hostAfter.right - hostAfter.left, (hostBefore.right - hostBefore.left) + 200);
    EXPECT_EQ(hostAfter.bottom - hostAfter.top, (hostBefore.bottom - hostBefore.top) + 100);

    // The container grew and the visible page followed it.
    const RECT containerAfter = ClientRectOf(PageContainerOf(main));
    EXPECT_GT(containerAfter.right, containerBefore.right);
    EXPECT_EQ(containerAfter.bottom, containerBefore.bottom + 100);
    HWND page = VisiblePage(main);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(ClientRectOf(page).right, containerAfter.right);
    EXPECT_EQ(ClientRectOf(page).bottom, containerAfter.bottom);

    // The page list keeps its share of the width: it grew in proportion.
    const RECT listBefore = {0, 0, 188, 0};
    const RECT listAfter = WindowRectOf(PageListOf(main));
    EXPECT_GT(listAfter.right - listAfter.left, listBefore.right);

    // Minimising changes no layout.
    ShowWindow(main, SW_MINIMIZE);
    const RECT bannerMinimised = WindowRectOf(banner);
    EXPECT_EQ(bannerMinimised.right - bannerMinimised.left, bannerAfter.right - bannerAfter.left);
    ShowWindow(main, SW_RESTORE);

    SendCommand(main, ID_FILE_EXIT);
    DWORD exitCode = 0;
    ASSERT_TRUE(program.WaitForExit(exitCode));
    EXPECT_EQ(exitCode, 2u);
}

TEST(MainWindow, SecondCopyExitsAtOnceAndLeavesTheFirstRunning)
{
    ProgramCopy copy("single-instance");
    RunningProgram first;
    ASSERT_TRUE(first.Start(copy.Program()));
    HWND main = first.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    const std::string caption = WindowText(main);

    RunningProgram second;
    ASSERT_TRUE(second.Start(copy.Program()));
    DWORD secondExit = 99;
    ASSERT_TRUE(second.WaitForExit(secondExit));
    EXPECT_EQ(secondExit, 0u);

    EXPECT_TRUE(IsWindow(main));
    EXPECT_EQ(WindowText(main), caption);

    // The Esc key closes the main window like its close box.
    PostMessageW(main, WM_COMMAND, IDCANCEL, 0);
    DWORD firstExit = 0;
    ASSERT_TRUE(first.WaitForExit(firstExit));
    EXPECT_EQ(firstExit, 2u);
}

namespace {

bool FileExists(const std::string& path)
{
    return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Answers(HWND window)
{
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer) != 0;
}

// Asks the program to close the way `close` does and returns the question
// it shows.
HWND AskToClose(RunningProgram& program, const ProgramCopy& copy, HWND main, void (*close)(HWND))
{
    close(main);
    return program.WaitForDialog(LanguageText(copy, "_Quorvane"), main);
}

void Answer(HWND box, int button)
{
    ClickButton(box, button);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 10000));
}

} // namespace

TEST(MainWindow, ClosingWhileTheEditorRunsAsksAndThenWaitsForTheEditor)
{
    ProgramCopy copy("close-during-backup");
    // The stand-in editor holds until the test lets it go, and writes nothing.
    ASSERT_TRUE(PlaceStandInEditor(copy));
    ASSERT_TRUE(WriteWholeFile(EditorSignal(copy, "hold"), ""));
    ASSERT_TRUE(WriteWholeFile(EditorSignal(copy, "idle"), ""));
    RunningProgram program;
    ASSERT_TRUE(program.Start(copy.Program()));
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(TreeViewSelectRoot(PageListOf(main), 2));
    HWND backup = VisiblePage(main);
    ASSERT_NE(backup, nullptr);
    ClickButton(backup, IDC_BACKUP_BACKUP);
    ASSERT_TRUE(WaitUntil([&] { return FileExists(EditorSignal(copy, "started")); }));

    // The close box asks; No keeps the program and the editor running.
    HWND question = AskToClose(program, copy, main, [](HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); });
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(LanguageText(copy, "_MainDialogCancelConfirm3"), MessageBoxText(question));
    ASSERT_NO_FATAL_FAILURE(Answer(question, IDNO));
    DWORD exitCode = 0;
    EXPECT_FALSE(program.WaitForExit(exitCode, 500));
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_EQ(LanguageText(copy, "_PageRegistryBackupState2"), WindowText(GetDlgItem(backup, IDC_STATUS)));

    // Esc asks the same; Yes waits for the editor, never ending it, with
    // the window still answering.
    question = AskToClose(program, copy, main,
                          [](HWND window) { PostMessageW(window, WM_COMMAND, IDCANCEL, 0); });
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(LanguageText(copy, "_MainDialogCancelConfirm3"), MessageBoxText(question));
    ASSERT_NO_FATAL_FAILURE(Answer(question, IDYES));
    EXPECT_FALSE(program.WaitForExit(exitCode, 1000));
    EXPECT_TRUE(Answers(main));
    EXPECT_FALSE(IsWindowEnabled(main));
    EXPECT_FALSE(FileExists(EditorSignal(copy, "ended")));

    ASSERT_TRUE(DeleteFileW(Widen(EditorSignal(copy, "hold")).c_str()));
    ASSERT_TRUE(program.WaitForExit(exitCode));
    EXPECT_EQ(2u, exitCode);
    EXPECT_TRUE(FileExists(EditorSignal(copy, "ended")));
}

TEST(MainWindow, ClosingDuringASearchAsksAndYesStopsIt)
{
    ProgramCopy copy("close-during-search");
    RunningProgram program;
    ASSERT_TRUE(program.Start(copy.Program()));
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(TreeViewSelectRoot(PageListOf(main), 1));
    HWND search = VisiblePage(main);
    ASSERT_NE(search, nullptr);
    // A keyword that matches nearly everywhere, in every root: a long search.
    SetControlText(GetDlgItem(search, IDC_SEARCH_KEYWORD), "e");
    for (int id : {IDC_SEARCH_HKCR, IDC_SEARCH_HKCU, IDC_SEARCH_HKLM, IDC_SEARCH_HKU, IDC_SEARCH_HKCC})
        SendDlgItemMessageW(search, id, BM_SETCHECK, BST_CHECKED, 0);
    SendCommand(search, IDC_SEARCH_START);
    HWND stop = GetDlgItem(search, IDC_SEARCH_STOP);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(stop) != FALSE; }, 10000));

    // File > Exit asks; No leaves the search running.
    HWND question = AskToClose(program, copy, main,
                               [](HWND window) { PostMessageW(window, WM_COMMAND, ID_FILE_EXIT, 0); });
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(LanguageText(copy, "_MainDialogCancelConfirm2"), MessageBoxText(question));
    ASSERT_NO_FATAL_FAILURE(Answer(question, IDNO));
    DWORD exitCode = 0;
    EXPECT_FALSE(program.WaitForExit(exitCode, 300));
    EXPECT_TRUE(IsWindowEnabled(stop));
    EXPECT_NE(LanguageText(copy, "_PageRegistrySearchState4"), WindowText(GetDlgItem(search, IDC_STATUS)));

    question = AskToClose(program, copy, main, [](HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); });
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(LanguageText(copy, "_MainDialogCancelConfirm2"), MessageBoxText(question));
    ClickButton(question, IDYES);
    ASSERT_TRUE(program.WaitForExit(exitCode));
    EXPECT_EQ(2u, exitCode);
}

// Wine's per-program settings switch the XML component off for one program
// name only, so the rest of the session keeps it.
class XmlComponentDisabledFor {
public:
    explicit XmlComponentDisabledFor(const std::string& programName)
        : key_("Software\\Wine\\AppDefaults\\" + programName)
    {
        HKEY overrides = nullptr;
        if (RegCreateKeyW(HKEY_CURRENT_USER, Widen(key_ + "\\DllOverrides").c_str(), &overrides) == ERROR_SUCCESS) {
            RegSetValueExW(overrides, L"msxml3", 0, REG_SZ, reinterpret_cast<const BYTE*>(L""), sizeof(wchar_t));
            RegCloseKey(overrides);
        }
    }
    ~XmlComponentDisabledFor() { RegDeleteTreeW(HKEY_CURRENT_USER, Widen(key_).c_str()); }

private:
    std::string key_;
};

TEST(MainWindow, WithoutXmlComponentShowsNoticeAndExitsWithZero)
{
    // Under another file name the program reads the language file of that name.
    ProgramCopy copy("no-xml");
    const std::string program = copy.File("QuorvaneNoXml.exe");
    ASSERT_TRUE(MoveFileW(Widen(copy.Program()).c_str(), Widen(program).c_str()));
    ASSERT_TRUE(MoveFileW(Widen(copy.File("Quorvane.language")).c_str(), Widen(copy.File("QuorvaneNoXml.language")).c_str()));
    WriteWholeFile(copy.File("QuorvaneNoXml.language"),
                   "[String]\r\n_Quorvane=Renamed Quorvane\r\n_NotInstallXML2=The XML component is missing.\r\n");
    XmlComponentDisabledFor disabled("QuorvaneNoXml.exe");

    RunningProgram running;
    ASSERT_TRUE(running.Start(program));
    HWND box = running.WaitForDialog("Renamed Quorvane");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "The XML component is missing.");
    EXPECT_EQ(GetMenu(box), nullptr); // the notice, not the main window
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    DWORD exitCode = 99;
    ASSERT_TRUE(running.WaitForExit(exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST(MainWindow, WithoutLanguageFileShowsTheKeys)
{
    ProgramCopy copy("no-language");
    ASSERT_TRUE(DeleteFileW(Widen(copy.File("Quorvane.language")).c_str()));
    RunningProgram program;
    ASSERT_TRUE(program.Start(copy.Program()));
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    const std::vector<std::string> entries = TreeViewRootTexts(program.Process(), PageListOf(main));
    const std::vector<std::string> keys = {"_PageRegistryCleanerTitle", "_PageRegistrySearchTitle",
                                           "_PageRegistryBackupTitle"};
    EXPECT_EQ(entries, keys);
    HWND cleaner = VisiblePage(main);
    ASSERT_NE(cleaner, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(cleaner, IDC_CLEANER_SCAN)), "_Scan");
    SendMessageW(main, WM_CLOSE, 0, 0);
    DWORD exitCode = 0;
    ASSERT_TRUE(program.WaitForExit(exitCode));
    EXPECT_EQ(exitCode, 2u);
}
