// The language file on the real system: lookups through the profile reader,
// the program-folder operations, and the translation of real windows and menus.
#include "win32/LanguageWin.h"
#include "win32/ProgramPaths.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

// A language file written to the temporary folder for one test.
class LanguageFileFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        char name[MAX_PATH] = {};
        GetTempFileNameA(folder, "qvl", 0, name);
        path_ = name;
        previous_ = LanguageFile();
        SetLanguageFile(path_);
    }
    void TearDown() override
    {
        SetLanguageFile(previous_);
        DeleteFileA(path_.c_str());
    }
    void Write(const std::string& text)
    {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out << text;
    }

    std::string path_;
    std::string previous_;
};

} // namespace

TEST_F(LanguageFileFixture, LookupFollowsTheProfileRules)
{
    Write("[String]\r\n"
          "_Title=Registry Cleaner\r\n"
          "_pageregistrycleanertitle=Cleaner\r\n"
          "_Blank=   \r\n"
          "_Empty=\r\n"
          "_Quoted=\"  spaced out  \"\r\n"
          "_Padded=   trimmed text   \r\n"
          "_TwoLines=first\\nsecond\r\n"
          "_Both=a\\r\\nb\r\n"
          "_Path=C:\\path\\to\r\n"
          "[Other]\r\n"
          "_Elsewhere=not in the String section\r\n");

    EXPECT_EQ(LookupText("_Title"), "Registry Cleaner");
    EXPECT_EQ(LookupText("_PageRegistryCleanerTitle"), "Cleaner"); // keys ignore case
    EXPECT_EQ(LookupText("_Missing"), "_Missing");
    EXPECT_EQ(LookupText("_Blank"), "_Blank");
    EXPECT_EQ(LookupText("_Empty"), "_Empty");
    EXPECT_EQ(LookupText("_Elsewhere"), "_Elsewhere");
    EXPECT_EQ(LookupText("_Quoted"), "  spaced out  ");
    EXPECT_EQ(LookupText("_Padded"), "trimmed text");
    EXPECT_EQ(LookupText("_TwoLines"), "first\\nsecond");
    EXPECT_EQ(LookupText("_TwoLines", true), "first\nsecond");
    EXPECT_EQ(LookupText("_Both", true), "a\r\nb");
    EXPECT_EQ(LookupText("_Path", true), "C:\\path\\to");
}

TEST_F(LanguageFileFixture, AMissingFileGivesTheKeys)
{
    DeleteFileA(path_.c_str());
    EXPECT_EQ(LookupText("_Quorvane"), "_Quorvane");
    EXPECT_EQ(LookupText("_Quorvane", true), "_Quorvane");
}

TEST_F(LanguageFileFixture, AnEditedFileIsReadAtTheNextLookup)
{
    Write("[String]\r\n_Key=old\r\n");
    EXPECT_EQ(LookupText("_Key"), "old");
    Write("[String]\r\n_Key=new\r\n");
    EXPECT_EQ(LookupText("_Key"), "new");
}

TEST_F(LanguageFileFixture, VeryLongTextsAreCutAt65534Characters)
{
    const std::string longText(70000, 'x');
    Write("[String]\r\n_Long=" + longText + "\r\n");
    const std::string text = LookupText("_Long");
    EXPECT_EQ(text.size(), 65534u);
    EXPECT_EQ(text, longText.substr(0, 65534));
}

TEST(ProgramPaths, NameTheTestProgramItself)
{
    const std::string file = ProgramFilePath();
    const std::string folder = ProgramFolder();
    const std::string withExtension = ProgramBaseName(true);
    const std::string withoutExtension = ProgramBaseName(false);
    EXPECT_EQ(file, folder + "\\" + withExtension);
    EXPECT_EQ(withExtension, "win_LocalisationTest.exe");
    EXPECT_EQ(withoutExtension, "win_LocalisationTest");
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_NE(GetFileAttributesA(folder.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(LanguageFileFixture, TranslatesAWindowAndAllItsDescendants)
{
    Write("[String]\r\n"
          "_Caption=Main \\n window\r\n"
          "_Button=Press me\r\n"
          "_Inner=Deep text\r\n"
          "Static=Literal texts are looked up too\r\n");
    HWND top = CreateWindowExA(0, "STATIC", "_Caption", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                               nullptr, nullptr);
    ASSERT_NE(top, nullptr);
    HWND button = CreateWindowExA(0, "BUTTON", "_Button", WS_CHILD, 0, 0, 50, 20, top, nullptr,
                                  nullptr, nullptr);
    HWND group = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 30, 100, 100, top, nullptr, nullptr, nullptr);
    HWND inner = CreateWindowExA(0, "STATIC", "_Inner", WS_CHILD, 0, 0, 50, 20, group, nullptr,
                                 nullptr, nullptr);
    HWND untranslated = CreateWindowExA(0, "STATIC", "_NoEntry", WS_CHILD, 0, 0, 50, 20, group,
                                        nullptr, nullptr, nullptr);
    HWND literal = CreateWindowExA(0, "STATIC", "Static", WS_CHILD, 0, 0, 50, 20, group, nullptr,
                                   nullptr, nullptr);
    HWND escaped = CreateWindowExA(0, "STATIC", "one\\ntwo", WS_CHILD, 0, 0, 50, 20, group, nullptr,
                                   nullptr, nullptr);

    TranslateWindow(top);

    auto text = [](HWND window) {
        char buffer[256] = {};
        GetWindowTextA(window, buffer, sizeof buffer);
        return std::string(buffer);
    };
    EXPECT_EQ(text(top), "Main \n window");
    EXPECT_EQ(text(button), "Press me");
    EXPECT_EQ(text(group), "");
    EXPECT_EQ(text(inner), "Deep text");
    EXPECT_EQ(text(untranslated), "_NoEntry");
    EXPECT_EQ(text(literal), "Literal texts are looked up too");
    // A resource text with backslash-n gets a real line break without any entry.
    EXPECT_EQ(text(escaped), "one\ntwo");

    // Translating again looks the translated texts up as keys: nothing changes.
    TranslateWindow(top);
    EXPECT_EQ(text(button), "Press me");
    DestroyWindow(top);
}

TEST_F(LanguageFileFixture, TranslatesEveryMenuLevelAndLeavesSeparators)
{
    Write("[String]\r\n"
          "_File=&File\r\n"
          "_Exit=E&xit\r\n"
          "_Deeper=Deeper\r\n"
          "_Leaf=Leaf item\r\n"
          "_Lines=two\\nlines\r\n");
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    HMENU deeper = CreatePopupMenu();
    AppendMenuA(deeper, MF_STRING, 30, "_Leaf");
    AppendMenuA(file, MF_STRING, 2, "_Exit");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(deeper), "_Deeper");
    AppendMenuA(file, MF_STRING | MF_GRAYED, 31, "_Lines");
    AppendMenuA(file, MF_STRING, 32, "_Unknown");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "_File");

    TranslateMenu(bar);

    auto itemText = [](HMENU menu, int position) {
        char buffer[256] = {};
        GetMenuStringA(menu, position, buffer, sizeof buffer, MF_BYPOSITION);
        return std::string(buffer);
    };
    EXPECT_EQ(itemText(bar, 0), "&File");
    EXPECT_EQ(itemText(file, 0), "E&xit");
    EXPECT_EQ(GetMenuItemID(file, 0), 2u);
    EXPECT_TRUE(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(itemText(file, 2), "Deeper");
    EXPECT_EQ(GetSubMenu(file, 2), deeper);
    EXPECT_EQ(itemText(deeper, 0), "Leaf item");
    // Menus take no escape expansion; the other states of the item stay.
    EXPECT_EQ(itemText(file, 3), "two\\nlines");
    EXPECT_TRUE(GetMenuState(file, 3, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_EQ(itemText(file, 4), "_Unknown");

    TranslateMenu(nullptr); // not a menu: nothing happens
    DestroyMenu(bar);
}
