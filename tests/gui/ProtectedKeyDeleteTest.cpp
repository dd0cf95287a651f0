// Deleting a key every program relies on from the search page's list: the
// search for keys named "Software" finds HKEY_CURRENT_USER\Software, and
// deleting it, even with Yes to the question, deletes nothing, writes no
// backup and names the key in its message.
#include "CleanerGui.h"
#include "GuiDriver.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(ProtectedKeyDeleteTest, SoftwareBelowTheUserRootIsRefusedWhole)
{
    ProgramCopy copy("protected-key");
    PlantedKey planted(UniqueName("protected"));
    planted.SetString("", "Kept", "still here");
    // Keys only, full words, HKEY_CURRENT_USER only.
    WriteWholeFile(copy.File("config.xml"),
                   "<?xml version=\"1.0\"?>\r\n<config><quorvane>"
                   "<cleanersearchtasklist custom=\"0\" default=\"0\"/><searchpage>"
                   "<options custom=\"1,0,0,0,1,0\" default=\"1,0,0,0,1,0\"/>"
                   "<searchrange custom=\"0,1,0,0,0\" default=\"0,1,0,0,0\"/>"
                   "<searchkeyword custom=\"Software\" default=\"\"/>"
                   "</searchpage></quorvane></config>\r\n");
    RunningProgram program;
    ASSERT_TRUE(program.Start(copy.Program()));
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(TreeViewSelectRoot(PageListOf(main), 1));
    HWND page = PageWithControl(main, IDC_SEARCH_KEYWORD);
    ASSERT_NE(page, nullptr);
    HWND list = GetDlgItem(page, IDC_SEARCH_RESULTS);
    ClickButton(page, IDC_SEARCH_START);
    const std::string done = LanguageFileText(copy, "_PageRegistrySearchState3");
    ASSERT_TRUE(WaitUntil([&] {
        return IsWindowEnabled(GetDlgItem(page, IDC_SEARCH_START)) &&
               WindowText(GetDlgItem(page, IDC_STATUS)) == done;
    }, 120000));
    const std::vector<int> rows = ListViewRowsWith(program.Process(), list, 1, "Software");
    ASSERT_EQ(rows.size(), 1u);
    const int count = ListViewCount(list);
    ASSERT_TRUE(ListViewSelectRow(program.Process(), list, rows[0]));

    constexpr int kMenuDelete = 2;
    ASSERT_TRUE(ChooseListMenuCommand(program, list, rows[0], kMenuDelete));
    const std::string caption = LanguageFileText(copy, "_Quorvane");
    HWND question = program.WaitForDialog(caption);
    ASSERT_NE(question, nullptr);
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }));

    HWND refusal = program.WaitForDialog(caption);
    ASSERT_NE(refusal, nullptr);
    std::string expected = LanguageFileText(copy, "_RegistryListViewDeleteRefused");
    expected.replace(expected.find("%s"), 2, "\r\nHKEY_CURRENT_USER\\Software");
    const std::string message = MessageBoxText(refusal);
    EXPECT_EQ(message, expected);
    EXPECT_NE(message.find("HKEY_CURRENT_USER\\Software"), std::string::npos) << message;
    PostMessageW(refusal, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(refusal); }));

    // Nothing was deleted: the row, the key and what lies below it stay, and
    // no backup was written.
    EXPECT_EQ(ListViewCount(list), count);
    EXPECT_TRUE(ListViewRowSelected(list, rows[0]));
    EXPECT_EQ(planted.StringValue("", "Kept"), "still here");
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW(Widen(copy.File("Data\\Quorvane\\Backup\\*.reg")).c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);

    PostMessageW(main, WM_CLOSE, 0, 0);
    DWORD exitCode = 99;
    EXPECT_TRUE(program.WaitForExit(exitCode));
}
