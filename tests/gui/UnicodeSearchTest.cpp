// The search page with texts outside any code page: a Cyrillic keyword typed
// into the keyword box finds the Cyrillic value planted under
// HKEY_CURRENT_USER, the row shows its Cyrillic, Japanese and emoji texts
// unchanged, and the list's CSV export holds them as UTF-8 after a byte-order
// mark.
#include "CleanerGui.h"
#include "GuiDriver.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

// The position of "Export..." in the list's item menu.
constexpr int kExport = 3;
const char kBom[] = "\xEF\xBB\xBF";

class UnicodeSearchTest : public ::testing::Test {
protected:
    UnicodeSearchTest() : copy_("unicode-search"), unique_(UniqueName("QvUni")) {}

    void SetUp() override
    {
        planted_ = std::make_unique<PlantedKey>(unique_ + u8" Ключ");
        planted_->SetString("", u8"Привет" + unique_, u8"мир 日本語 😀");
        planted_->SetString("", u8"Другое" + unique_, u8"ничего");
        // Only value names are searched, only under HKEY_CURRENT_USER.
        ASSERT_TRUE(WriteWholeFile(copy_.File("config.xml"),
                                   "<?xml version=\"1.0\"?>\r\n<config><quorvane>"
                                   "<cleanersearchtasklist custom=\"0\" default=\"0\"/><searchpage>"
                                   "<options custom=\"0,1,0,0,0,0\" default=\"0,1,0,0,0,0\"/>"
                                   "<searchrange custom=\"0,1,0,0,0\" default=\"0,1,0,0,0\"/>"
                                   "<searchkeyword custom=\"\" default=\"\"/>"
                                   "</searchpage></quorvane></config>\r\n"));
        ASSERT_TRUE(program_.Start(copy_.Program()));
        main_ = program_.WaitForMainWindow();
        ASSERT_NE(main_, nullptr);
        ASSERT_TRUE(TreeViewSelectRoot(PageListOf(main_), 1));
        page_ = PageWithControl(main_, IDC_SEARCH_KEYWORD);
        ASSERT_NE(page_, nullptr);
        list_ = GetDlgItem(page_, IDC_SEARCH_RESULTS);
    }

    void TearDown() override
    {
        if (main_)
            PostMessageW(main_, WM_CLOSE, 0, 0);
        DWORD exitCode = 0;
        program_.WaitForExit(exitCode);
    }

    // Types the keyword, starts the search and waits for it to end.
    bool Search(const std::string& keyword)
    {
        SetControlText(GetDlgItem(page_, IDC_SEARCH_KEYWORD), keyword);
        SendCommand(page_, IDC_SEARCH_START);
        return WaitUntil([&] { return IsWindowEnabled(GetDlgItem(page_, IDC_SEARCH_START)) != FALSE; }, 60000);
    }

    std::string Row(int row)
    {
        std::string text;
        for (int column = 0; column < 4; ++column)
            text += (column ? "|" : "") + ListViewText(program_.Process(), list_, row, column);
        return text;
    }

    ProgramCopy copy_;
    std::string unique_;
    std::unique_ptr<PlantedKey> planted_;
    RunningProgram program_;
    HWND main_ = nullptr;
    HWND page_ = nullptr;
    HWND list_ = nullptr;
};

TEST_F(UnicodeSearchTest, ACyrillicKeywordListsTheRowWithItsTextsAndExportsThemAsUtf8)
{
    // The keyword box holds what was typed, and the search finds the one
    // value whose name holds it, whatever the case of the Cyrillic letters.
    const struct {
        std::string keyword;
        int rows;
    } searches[] = {
        {u8"Привет" + unique_, 1},
        {u8"ПРИВЕТ" + unique_, 1},
        {u8"Пока" + unique_, 0},
    };
    for (const auto& search : searches) {
        ASSERT_TRUE(Search(search.keyword)) << search.keyword;
        EXPECT_EQ(search.keyword, WindowText(GetDlgItem(page_, IDC_SEARCH_KEYWORD)));
        EXPECT_EQ(search.rows, ListViewCount(list_)) << search.keyword;
    }

    ASSERT_TRUE(Search(u8"привет" + unique_));
    ASSERT_EQ(1, ListViewCount(list_));
    const std::string row = "HKEY_CURRENT_USER," + planted_->Path() + u8",Привет" + unique_ + u8",мир 日本語 😀";
    EXPECT_EQ("HKEY_CURRENT_USER|" + planted_->Path() + u8"|Привет" + unique_ + u8"|мир 日本語 😀", Row(0));

    // Exported through the item menu into a file named in Cyrillic.
    const std::string file = TemporaryFolder() + u8"Отчёт " + unique_;
    ASSERT_TRUE(ChooseListMenuCommand(program_, list_, 0, kExport));
    ASSERT_NE(ChooseFileInSaveDialog(program_.ProcessId(), file, 1), nullptr);
    const std::string expected = kBom + LanguageFileText(copy_, "_CsvReportCol2") + "," +
                                 LanguageFileText(copy_, "_CsvReportCol3") + "," +
                                 LanguageFileText(copy_, "_CsvReportCol4") + "," +
                                 LanguageFileText(copy_, "_CsvReportCol5") + "\r\n" + row + "\r\n";
    EXPECT_TRUE(WaitUntil([&] { return ReadWholeFile(file + ".csv") == expected; }, 20000))
        << ReadWholeFile(file + ".csv");
    DeleteFileW(Widen(file + ".csv").c_str());
}

} // namespace
