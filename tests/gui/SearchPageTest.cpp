// The running program's search page: its first state, a search of a planted
// tree with the exact texts of its rows, Clear, an empty keyword, a sort by
// a header click that keeps the selected row selected, stopping a
// long search, the Default button and the options kept in config.xml when
// the program closes, also while a search runs.
#include "GuiDriver.h"
#include "RegistryScratch.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

const int kOptionBoxes[] = {IDC_SEARCH_INCLUDE_KEY, IDC_SEARCH_INCLUDE_VALUE, IDC_SEARCH_INCLUDE_DATA,
                            IDC_SEARCH_WILDCARD,    IDC_SEARCH_FULL_WORD,     IDC_SEARCH_CASE};
const int kRangeBoxes[] = {IDC_SEARCH_HKCR, IDC_SEARCH_HKCU, IDC_SEARCH_HKLM, IDC_SEARCH_HKU, IDC_SEARCH_HKCC};

std::string LanguageText(const ProgramCopy& copy, const char* key)
{
    return LanguageFileText(copy, key);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 60000)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() > end)
            return false;
        Pump(20);
    }
    return true;
}

// The search page window: the page container's child that holds the keyword box.
HWND FindSearchPage(HWND mainWindow)
{
    return PageWithControl(mainWindow, IDC_SEARCH_KEYWORD);
}

// "1" or "0" per box, joined as config.xml stores them.
std::string CheckStates(HWND page, const int* boxes, std::size_t count)
{
    std::string states;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0)
            states += ',';
        states += SendDlgItemMessageW(page, boxes[i], BM_GETCHECK, 0, 0) == BST_CHECKED ? '1' : '0';
    }
    return states;
}

std::string OptionStates(HWND page)
{
    return CheckStates(page, kOptionBoxes, 6);
}

std::string RangeStates(HWND page)
{
    return CheckStates(page, kRangeBoxes, 5);
}

void SetCheck(HWND page, int id, bool checked)
{
    SendDlgItemMessageW(page, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SetKeyword(HWND page, const std::string& text)
{
    SetControlText(GetDlgItem(page, IDC_SEARCH_KEYWORD), text);
}

bool IsEnabled(HWND page, int id)
{
    return IsWindowEnabled(GetDlgItem(page, id)) != FALSE;
}

// Start, Stop and Clear as "1"/"0" each.
std::string ButtonStates(HWND page)
{
    std::string states;
    for (int id : {IDC_SEARCH_START, IDC_SEARCH_STOP, IDC_SEARCH_CLEAR})
        states += IsEnabled(page, id) ? '1' : '0';
    return states;
}

std::string StatusText(HWND page)
{
    return WindowText(GetDlgItem(page, IDC_STATUS));
}

// The value of an attribute of the first element with that tag in an XML text.
std::string XmlAttribute(const std::string& xml, const std::string& element, const std::string& attribute)
{
    const std::size_t start = xml.find("<" + element + " ");
    if (start == std::string::npos)
        return "<no element>";
    const std::size_t end = xml.find('>', start);
    const std::string tag = xml.substr(start, end - start);
    const std::size_t at = tag.find(" " + attribute + "=\"");
    if (at == std::string::npos)
        return "<no attribute>";
    const std::size_t valueStart = at + attribute.size() + 3;
    std::string value = tag.substr(valueStart, tag.find('"', valueStart) - valueStart);
    const std::pair<const char*, char> entities[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&amp;", '&'}};
    for (const auto& entity : entities) {
        for (std::size_t found = value.find(entity.first); found != std::string::npos;
             found = value.find(entity.first, found + 1))
            value.replace(found, std::string(entity.first).size(), 1, entity.second);
    }
    return value;
}

// A config.xml of the installed shape with the given search attributes.
std::string SearchConfig(const std::string& optionsCustom, const std::string& optionsDefault,
                         const std::string& rangeCustom, const std::string& rangeDefault,
                         const std::string& keywordCustom, const std::string& keywordDefault)
{
    return "<?xml version=\"1.0\"?>\r\n<config>\r\n  <other keep=\"this\"/>\r\n  <quorvane>\r\n"
           "    <cleanersearchtasklist custom=\"1,0,0,1,1,0,0,1,0,0,0\" default=\"1,0,0,1,1,0,0,1,0,0,0\"/>\r\n"
           "    <searchpage>\r\n"
           "      <options custom=\"" + optionsCustom + "\" default=\"" + optionsDefault + "\"/>\r\n"
           "      <searchrange custom=\"" + rangeCustom + "\" default=\"" + rangeDefault + "\"/>\r\n"
           "      <searchkeyword custom=\"" + keywordCustom + "\" default=\"" + keywordDefault + "\"/>\r\n"
           "    </searchpage>\r\n  </quorvane>\r\n</config>\r\n";
}

// The program started on its own copy, with the search page shown.
class SearchPageTest : public ::testing::Test {
protected:
    SearchPageTest() : copy("search-page") {}

    // Starts the program and switches to the search page.
    void Open()
    {
        ASSERT_TRUE(program.Start(copy.Program()));
        main = program.WaitForMainWindow();
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(TreeViewSelectRoot(PageListOf(main), 1));
        page = FindSearchPage(main);
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(page) != FALSE; }, 10000));
        list = GetDlgItem(page, IDC_SEARCH_RESULTS);
    }

    void Close()
    {
        SendMessageW(main, WM_CLOSE, 0, 0);
        DWORD exitCode = 0;
        ASSERT_TRUE(program.WaitForExit(exitCode));
        EXPECT_EQ(2u, exitCode);
    }

    // One row as "column1|column2|column3|column4".
    std::string Row(int row)
    {
        std::string text;
        for (int column = 0; column < 4; ++column)
            text += (column ? "|" : "") + ListViewText(program.Process(), list, row, column);
        return text;
    }

    Strings Rows()
    {
        Strings rows;
        const int count = ListViewCount(list);
        for (int row = 0; row < count; ++row)
            rows.push_back(Row(row));
        return rows;
    }

    std::string Text(const char* key) { return LanguageText(copy, key); }

    bool SearchDone() { return StatusText(page) == Text("_PageRegistrySearchState3"); }

    ProgramCopy copy;
    RunningProgram program;
    HWND main = nullptr;
    HWND page = nullptr;
    HWND list = nullptr;
};

TEST_F(SearchPageTest, StartsIdleWithTheStoredOptionsAndEqualColumns)
{
    ASSERT_TRUE(WriteWholeFile(copy.File("config.xml"),
                               SearchConfig("1,0", "1,1,1,0,0,0", "1,,0,1", "1,1,1,1,1", "stored word", "")));
    Open();

    EXPECT_EQ(Text("_PageRegistrySearchState1"), StatusText(page));
    EXPECT_EQ("100", ButtonStates(page));
    // "1,0": the last piece stands for every box after it.
    EXPECT_EQ("1,0,0,0,0,0", OptionStates(page));
    // "1,,0,1": the empty piece is dropped.
    EXPECT_EQ("1,0,1,1,1", RangeStates(page));
    EXPECT_EQ("stored word", WindowText(GetDlgItem(page, IDC_SEARCH_KEYWORD)));

    ASSERT_EQ(4, ListViewColumnCount(list));
    RECT client = {};
    GetClientRect(list, &client);
    for (int column = 0; column < 4; ++column)
        EXPECT_EQ(client.right / 4, SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0)) << column;
    EXPECT_EQ(0, ListViewCount(list));
    Close();
}

TEST_F(SearchPageTest, ListsThePlantedHitsThenClearsThem)
{
    ScratchRegistryKey tree;
    ASSERT_TRUE(tree.IsCreated());
    const std::string token = "QvGui" + std::to_string(GetCurrentProcessId()) + "t";
    ASSERT_TRUE(tree.SetString(token, "Path", "C:\\Tools\\" + token + ".exe"));
    ASSERT_TRUE(tree.SetValue(token, "Size" + token, REG_DWORD, std::string("\x0a\0\0\0", 4)));
    ASSERT_TRUE(tree.SetString(token + "\\Sub", "Unrelated", "nothing"));
    Open();

    SetKeyword(page, token);
    for (int id : kOptionBoxes)
        SetCheck(page, id, id == IDC_SEARCH_INCLUDE_KEY || id == IDC_SEARCH_INCLUDE_VALUE ||
                               id == IDC_SEARCH_INCLUDE_DATA);
    for (int id : kRangeBoxes)
        SetCheck(page, id, id == IDC_SEARCH_HKCU);
    SendCommand(page, IDC_SEARCH_START);
    ASSERT_TRUE(WaitUntil([&] { return SearchDone(); }));

    const std::string key = tree.KeyPath() + "\\" + token;
    EXPECT_EQ((Strings{
                  "HKEY_CURRENT_USER|" + key + "|" + Text("_PageRegistrySearchKeyFlagString") + "|",
                  "HKEY_CURRENT_USER|" + key + "|Path|C:\\Tools\\" + token + ".exe",
                  "HKEY_CURRENT_USER|" + key + "|Size" + token + "|0x0000000a (10)",
              }),
              Rows());
    EXPECT_EQ("101", ButtonStates(page));

    // Whole text and case: only the key's own name is exactly the token.
    SetCheck(page, IDC_SEARCH_FULL_WORD, true);
    SetCheck(page, IDC_SEARCH_CASE, true);
    SendCommand(page, IDC_SEARCH_START);
    ASSERT_TRUE(WaitUntil([&] { return IsEnabled(page, IDC_SEARCH_START) && ListViewCount(list) == 1; }));
    EXPECT_EQ((Strings{"HKEY_CURRENT_USER|" + key + "|" + Text("_PageRegistrySearchKeyFlagString") + "|"}),
              Rows());

    SendCommand(page, IDC_SEARCH_CLEAR);
    EXPECT_EQ(0, ListViewCount(list));
    EXPECT_EQ("100", ButtonStates(page));
    EXPECT_TRUE(SearchDone()) << StatusText(page);

    // An empty keyword empties the list and ends at once.
    SetCheck(page, IDC_SEARCH_FULL_WORD, false);
    SendCommand(page, IDC_SEARCH_START);
    ASSERT_TRUE(WaitUntil([&] { return IsEnabled(page, IDC_SEARCH_START) && ListViewCount(list) == 3; }));
    SetKeyword(page, "");
    SendCommand(page, IDC_SEARCH_START);
    ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) == 0 && IsEnabled(page, IDC_SEARCH_START); }));
    EXPECT_TRUE(SearchDone()) << StatusText(page);
    EXPECT_EQ("100", ButtonStates(page));
    Close();
}

TEST_F(SearchPageTest, AHeaderClickSortsTheHitsAndKeepsTheSelectedRowSelected)
{
    ScratchRegistryKey tree;
    ASSERT_TRUE(tree.IsCreated());
    const std::string token = "QvSort" + std::to_string(GetCurrentProcessId()) + "t";
    ASSERT_TRUE(tree.SetString(token, "Path", "C:\\Tools\\" + token + ".exe"));
    ASSERT_TRUE(tree.SetValue(token, "Size" + token, REG_DWORD, std::string("\x0a\0\0\0", 4)));
    Open();
    SetKeyword(page, token);
    for (int id : kOptionBoxes)
        SetCheck(page, id, id == IDC_SEARCH_INCLUDE_KEY || id == IDC_SEARCH_INCLUDE_VALUE ||
                               id == IDC_SEARCH_INCLUDE_DATA);
    for (int id : kRangeBoxes)
        SetCheck(page, id, id == IDC_SEARCH_HKCU);
    SendCommand(page, IDC_SEARCH_START);
    ASSERT_TRUE(WaitUntil([&] { return SearchDone(); }));
    const auto names = [&] {
        Strings texts;
        for (int row = 0; row < ListViewCount(list); ++row)
            texts.push_back(ListViewText(program.Process(), list, row, 2));
        return texts;
    };
    const std::string keyFlag = Text("_PageRegistrySearchKeyFlagString");
    ASSERT_EQ((Strings{keyFlag, "Path", "Size" + token}), names());

    // The last row is selected and focused; it moves with each sort.
    ASSERT_TRUE(ListViewSelectRow(program.Process(), list, 2));
    const auto selectedName = [&] {
        const int row = ListViewSelectedRow(list);
        return row < 0 ? std::string("(none)") : ListViewText(program.Process(), list, row, 2);
    };
    const auto focusedRow = [&] {
        return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    };
    // The first click sorts greatest first, the next one smallest first.
    ASSERT_TRUE(ClickListViewHeader(program.Process(), list, 2));
    ASSERT_TRUE(WaitUntil([&] { return names().front() == "Size" + token; }, 10000)) << names().front();
    EXPECT_EQ((Strings{"Size" + token, "Path", keyFlag}), names());
    EXPECT_EQ("Size" + token, selectedName());
    EXPECT_EQ(0, focusedRow());
    EXPECT_EQ(1, SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0));

    ASSERT_TRUE(ClickListViewHeader(program.Process(), list, 2));
    ASSERT_TRUE(WaitUntil([&] { return names().front() == keyFlag; }, 10000)) << names().front();
    EXPECT_EQ((Strings{keyFlag, "Path", "Size" + token}), names());
    EXPECT_EQ("Size" + token, selectedName());
    EXPECT_EQ(2, focusedRow());
    Close();
}

TEST_F(SearchPageTest, StopEndsALongSearchAndKeepsItsRows)
{
    Open();
    // A search that ends at once leaves its result in the status line.
    SetKeyword(page, "");
    SendCommand(page, IDC_SEARCH_START);
    ASSERT_TRUE(WaitUntil([&] { return SearchDone() && IsEnabled(page, IDC_SEARCH_START); }));
    SetKeyword(page, "a");
    for (int id : kRangeBoxes)
        SetCheck(page, id, true);
    SendCommand(page, IDC_SEARCH_START);
    // The new search says so as soon as the click returns, not the last result.
    const std::string searching = Text("_PageRegistrySearchState2");
    EXPECT_EQ(0u, StatusText(page).find(searching.substr(0, searching.find('%')))) << StatusText(page);
    ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) >= 50; }));
    EXPECT_EQ("010", ButtonStates(page));
    EXPECT_EQ(0u, StatusText(page).find(searching.substr(0, searching.find('%'))));

    SendCommand(page, IDC_SEARCH_STOP);
    EXPECT_EQ(Text("_PageRegistrySearchState4"), StatusText(page));
    EXPECT_EQ("101", ButtonStates(page));
    const Strings rows = Rows();
    EXPECT_GE(rows.size(), 50u);
    Pump(1500);
    EXPECT_EQ(rows, Rows());
    EXPECT_EQ(Text("_PageRegistrySearchState4"), StatusText(page));

    // Stop when nothing runs leaves the status line alone.
    SendCommand(page, IDC_SEARCH_CLEAR);
    SetDlgItemTextW(page, IDC_STATUS, L"untouched");
    SendCommand(page, IDC_SEARCH_STOP);
    EXPECT_EQ("untouched", StatusText(page));
    Close();
}

TEST_F(SearchPageTest, DefaultLoadsTheDefaultsAndClosingStoresTheControls)
{
    ASSERT_TRUE(WriteWholeFile(copy.File("config.xml"),
                               SearchConfig("1,1,1,1,1,1", "0,1,1,1,0,1", "1", "0,1", "mine", "from defaults")));
    Open();
    EXPECT_EQ("1,1,1,1,1,1", OptionStates(page));
    EXPECT_EQ("1,1,1,1,1", RangeStates(page));

    SendCommand(page, IDC_SEARCH_DEFAULT);
    EXPECT_EQ("0,1,1,1,0,1", OptionStates(page));
    EXPECT_EQ("0,1,1,1,1", RangeStates(page));
    EXPECT_EQ("from defaults", WindowText(GetDlgItem(page, IDC_SEARCH_KEYWORD)));
    // Nothing is saved by the Default button itself.
    EXPECT_EQ("1,1,1,1,1,1", XmlAttribute(ReadWholeFile(copy.File("config.xml")), "options", "custom"));

    SetCheck(page, IDC_SEARCH_HKLM, false);
    SetKeyword(page, "final & <words>");
    Close();

    const std::string xml = ReadWholeFile(copy.File("config.xml"));
    EXPECT_EQ("0,1,1,1,0,1", XmlAttribute(xml, "options", "custom"));
    EXPECT_EQ("0,1,0,1,1", XmlAttribute(xml, "searchrange", "custom"));
    EXPECT_EQ("final & <words>", XmlAttribute(xml, "searchkeyword", "custom"));
    EXPECT_EQ("0,1,1,1,0,1", XmlAttribute(xml, "options", "default"));
    EXPECT_EQ("0,1", XmlAttribute(xml, "searchrange", "default"));
    EXPECT_EQ("from defaults", XmlAttribute(xml, "searchkeyword", "default"));
    EXPECT_EQ("this", XmlAttribute(xml, "other", "keep"));
}

TEST_F(SearchPageTest, ClosingDuringASearchStopsItAndStillSaves)
{
    Open();
    SetKeyword(page, "e");
    for (int id : kRangeBoxes)
        SetCheck(page, id, true);
    SetCheck(page, IDC_SEARCH_CASE, true);
    SendCommand(page, IDC_SEARCH_START);
    ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) >= 10; }));
    ASSERT_TRUE(IsEnabled(page, IDC_SEARCH_STOP));
    // Closing asks first while the search runs.
    PostMessageW(main, WM_CLOSE, 0, 0);
    HWND question = program.WaitForDialog(Text("_Quorvane"), main);
    ASSERT_NE(question, nullptr);
    ClickButton(question, IDYES);
    DWORD exitCode = 0;
    ASSERT_TRUE(program.WaitForExit(exitCode));
    EXPECT_EQ(2u, exitCode);

    const std::string xml = ReadWholeFile(copy.File("config.xml"));
    EXPECT_EQ("1,1,1,0,0,1", XmlAttribute(xml, "options", "custom"));
    EXPECT_EQ("1,1,1,1,1", XmlAttribute(xml, "searchrange", "custom"));
    EXPECT_EQ("e", XmlAttribute(xml, "searchkeyword", "custom"));
}

} // namespace
