// The language file on the real system: lookups through the profile reader,
// the program-folder operations, and the translation of real windows and menus.
#include "win32/WideText.h"
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
        wchar_t folder[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, folder);
        wchar_t name[MAX_PATH] = {};
        GetTempFileNameW(folder, L"qvl", 0, name);
        path_ = NarrowZ(name);
        previous_ = LanguageFile();
        SetLanguageFile(path_);
    }
    void TearDown() override
    {
        SetLanguageFile(previous_);
        DeleteFileW(Widen(path_).c_str());
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
    DeleteFileW(Widen(path_).c_str());
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
    EXPECT_NE(GetFileAttributesW(Widen(folder).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(LanguageFileFixture, TranslatesAWindowAndAllItsDescendants)
{
    Write("[String]\r\n"
          "_Caption=Main \\n window\r\n"
          "_Button=Press me\r\n"
          "_Inner=Deep text\r\n"
          "Static=Literal texts are looked up too\r\n");
    HWND top = CreateWindowExW(0, L"STATIC", L"_Caption", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                               nullptr, nullptr);
    ASSERT_NE(top, nullptr);
    HWND button = CreateWindowExW(0, L"BUTTON", L"_Button", WS_CHILD, 0, 0, 50, 20, top, nullptr,
                                  nullptr, nullptr);
    HWND group = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 30, 100, 100, top, nullptr, nullptr, nullptr);
    HWND inner = CreateWindowExW(0, L"STATIC", L"_Inner", WS_CHILD, 0, 0, 50, 20, group, nullptr,
                                 nullptr, nullptr);
    HWND untranslated = CreateWindowExW(0, L"STATIC", L"_NoEntry", WS_CHILD, 0, 0, 50, 20, group,
                                        nullptr, nullptr, nullptr);
    HWND literal = CreateWindowExW(0, L"STATIC", L"Static", WS_CHILD, 0, 0, 50, 20, group, nullptr,
                                   nullptr, nullptr);
    HWND escaped = CreateWindowExW(0, L"STATIC", L"one\\ntwo", WS_CHILD, 0, 0, 50, 20, group, nullptr,
                                   nullptr, nullptr);

    TranslateWindow(top);

    auto text = [](HWND window) {
        wchar_t buffer[256] = {};
        GetWindowTextW(window, buffer, sizeof buffer / sizeof buffer[0]);
        return NarrowZ(buffer);
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
    AppendMenuW(deeper, MF_STRING, 30, L"_Leaf");
    AppendMenuW(file, MF_STRING, 2, L"_Exit");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_POPUP, reinterpret_cast<UINT_PTR>(deeper), L"_Deeper");
    AppendMenuW(file, MF_STRING | MF_GRAYED, 31, L"_Lines");
    AppendMenuW(file, MF_STRING, 32, L"_Unknown");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"_File");

    TranslateMenu(bar);

    auto itemText = [](HMENU menu, int position) {
        wchar_t buffer[256] = {};
        GetMenuStringW(menu, position, buffer, sizeof buffer / sizeof buffer[0], MF_BYPOSITION);
        return NarrowZ(buffer);
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
