// The About box and the help file that come with the main window's menu.
#include "CleanerGui.h"
#include "GuiDriver.h"

#include "ui/WindowUtil.h"
#include "resource.h"

#include <gtest/gtest.h>

TEST(AboutBox, ShowsProductVersionLinksAndOneThankedNamePerLine)
{
    ProgramCopy copy("about");
    // A thanks list with a bare and a full line break between the names.
    std::string language = ReadWholeFile(copy.File("Quorvane.language"));
    const std::size_t entry = language.find("_Thankyoulist=");
    ASSERT_NE(entry, std::string::npos);
    language.replace(entry, language.find("\r\n", entry) - entry, "_Thankyoulist=Ada\\nGrace\\r\\nLinus");
    WriteWholeFile(copy.File("Quorvane.language"), language);
    RunningProgram program;
    ASSERT_TRUE(program.Start(copy.Program()));
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);

    PostMessageW(main, WM_COMMAND, ID_ABOUT_ABOUT, 0);
    HWND about = program.WaitForDialog(LanguageFileText(copy, "_AboutDialog"));
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(about, IDC_ABOUT_NAME)), ReadProductString(copy.Program(), "ProductName"));
    EXPECT_EQ(WindowText(GetDlgItem(about, IDC_ABOUT_VERSION)), "V1.5");
    EXPECT_EQ(WindowText(GetDlgItem(about, IDC_ABOUT_WEBSITE)), LanguageFileText(copy, "_Websitelink"));
    EXPECT_EQ(WindowText(GetDlgItem(about, IDC_ABOUT_SUPPORT)), LanguageFileText(copy, "_Supportlink"));
    // Each name on a line of its own.
    HWND thanks = GetDlgItem(about, IDC_ABOUT_THANKS);
    EXPECT_EQ(WindowText(thanks), "Ada\r\nGrace\r\nLinus");
    EXPECT_EQ(SendMessageW(thanks, EM_GETLINECOUNT, 0, 0), 3);
    EXPECT_TRUE(GetWindowLongW(thanks, GWL_STYLE) & ES_READONLY);
    // The links take the keyboard focus like buttons.
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(about, IDC_ABOUT_WEBSITE), GWL_STYLE) & WS_TABSTOP);

    // The About box is modal: the main window waits behind it.
    EXPECT_FALSE(IsWindowEnabled(main));
    PostMessageW(about, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
    EXPECT_TRUE(IsWindowEnabled(main));

    PostMessageW(main, WM_CLOSE, 0, 0);
    DWORD exitCode = 99;
    ASSERT_TRUE(program.WaitForExit(exitCode));
    EXPECT_EQ(exitCode, 2u);
}

TEST(HelpFile, ShipsBesideTheProgramAsACompiledHelpFile)
{
    ProgramCopy copy("help");
    const std::string help = ReadWholeFile(copy.File("Quorvane.chm"));
    ASSERT_GT(help.size(), 4000u);
    EXPECT_EQ(help.compare(0, 4, "ITSF"), 0);
    // The pages on the checks and on restoring are compiled in.
    EXPECT_NE(help.find("tasks.html"), std::string::npos);
    EXPECT_NE(help.find("backups.html"), std::string::npos);
}
