// The ignore list in the windows: the cleaner's item menu puts rows on it and
// later scans leave them out, the task list menu's dialog shows and removes
// its entries, and the export writes CSV reports of the cleaner's rows.
#include "CleanerGui.h"
#include "GuiDriver.h"

#include "core/Language.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kMenuIgnore = 8;            // the cleaner's item menu
constexpr int kMenuExport = 3;
constexpr int kTaskMenuIgnoredEntries = 5; // the task list menu

void WriteConfig(const ProgramCopy& copy, const std::string& ignoreEntries)
{
    WriteWholeFile(copy.File("config.xml"),
                   "<?xml version=\"1.0\"?>\r\n<config><quorvane>"
                   "<cleanersearchtasklist custom=\"1,0\" default=\"1,0\"/>"
                   "<ignorelist>" + ignoreEntries + "</ignorelist>"
                   "</quorvane></config>\r\n");
}

int CountOf(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class IgnoreListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        unique_ = UniqueName("ignore");
        planted_ = std::make_unique<PlantedKey>(unique_);
        command_ = "\"" + MissingProgram(unique_) + "\" /run";
        planted_->SetString("App", "Path", command_);
        planted_->SetString("App", "Second", command_);
        planted_->SetString("Other", "Path", command_);
    }
    void TearDown() override
    {
        if (main_ && IsWindow(main_)) {
            PostMessageW(main_, WM_CLOSE, 0, 0);
            DWORD exitCode = 99;
            EXPECT_TRUE(program_.WaitForExit(exitCode));
        }
    }
    bool Launch()
    {
        if (!program_.Start(copy_.Program()))
            return false;
        main_ = program_.WaitForMainWindow();
        page_ = main_ ? CleanerPage(main_) : nullptr;
        tasks_ = page_ ? GetDlgItem(page_, IDC_CLEANER_TASKS) : nullptr;
        results_ = page_ ? GetDlgItem(page_, IDC_CLEANER_RESULTS) : nullptr;
        return results_ != nullptr;
    }
    std::string Text(const char* key) const { return LanguageFileText(copy_, key); }
    std::string Status() const { return WindowText(GetDlgItem(page_, IDC_STATUS)); }
    // Scans and waits until the done text counts the rows the list shows.
    bool Scan()
    {
        ClickButton(page_, IDC_CLEANER_SCAN);
        const std::string format = Text("_PageRegistryCleanerState3");
        return WaitUntil([&] {
            return IsWindowEnabled(GetDlgItem(page_, IDC_CLEANER_SCAN)) &&
                   Status() == FormatTextWithNumber(format, ListViewCount(results_));
        }, 120000);
    }
    // The rows of the planted key `sub` and value `name`.
    std::vector<int> RowsOf(const std::string& sub, const std::string& name) const
    {
        std::vector<int> rows;
        for (int row : ListViewRowsWith(program_.Process(), results_, 1, planted_->Path() + "\\" + sub))
            if (ListViewText(program_.Process(), results_, row, 2) == name)
                rows.push_back(row);
        return rows;
    }
    void SelectOnly(const std::vector<int>& rows)
    {
        for (int row = 0; row < ListViewCount(results_); ++row)
            ListViewSetRowSelected(program_.Process(), results_, row, false);
        for (int row : rows)
            ListViewSetRowSelected(program_.Process(), results_, row, true);
    }
    std::string Config() const { return ReadWholeFile(copy_.File("config.xml")); }
    std::string EntryXml(const std::string& sub, const char* name) const
    {
        return "root=\"HKEY_CURRENT_USER\" key=\"" + planted_->Path() + "\\" + sub + "\" value=\"" + name + "\"";
    }

    ProgramCopy copy_{"ignore-list"};
    std::string unique_;
    std::string command_;
    std::unique_ptr<PlantedKey> planted_;
    RunningProgram program_;
    HWND main_ = nullptr;
    HWND page_ = nullptr;
    HWND tasks_ = nullptr;
    HWND results_ = nullptr;
};

} // namespace

TEST_F(IgnoreListTest, IgnoredRowsLeaveTheListGoToTheSettingsAndLaterScansSkipThem)
{
    WriteConfig(copy_, "");
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(Scan()) << Status();
    const int found = ListViewCount(results_);
    ASSERT_EQ(RowsOf("App", "Path").size(), 1u);
    ASSERT_EQ(RowsOf("App", "Second").size(), 1u);
    ASSERT_EQ(RowsOf("Other", "Path").size(), 1u);

    const int appPath = RowsOf("App", "Path").front();
    const int otherPath = RowsOf("Other", "Path").front();
    SelectOnly({appPath, otherPath});
    ASSERT_TRUE(ChooseListMenuCommand(program_, results_, appPath, kMenuIgnore));
    ASSERT_TRUE(WaitUntil([&] { return ListViewCount(results_) == found - 2; }, 10000));
    EXPECT_TRUE(RowsOf("App", "Path").empty());
    EXPECT_TRUE(RowsOf("Other", "Path").empty());
    EXPECT_EQ(RowsOf("App", "Second").size(), 1u);
    const std::string config = Config();
    EXPECT_EQ(CountOf(config, EntryXml("App", "Path")), 1) << config;
    EXPECT_EQ(CountOf(config, EntryXml("Other", "Path")), 1) << config;
    EXPECT_EQ(CountOf(config, "<entry "), 2) << config;
    // Nothing in the registry changed.
    EXPECT_EQ(planted_->StringValue("App", "Path"), command_);

    // A rescan leaves the ignored values out, and the done text counts only
    // what is shown.
    ASSERT_TRUE(Scan()) << Status();
    EXPECT_EQ(ListViewCount(results_), found - 2);
    EXPECT_TRUE(RowsOf("App", "Path").empty());
    EXPECT_TRUE(RowsOf("Other", "Path").empty());
    EXPECT_EQ(RowsOf("App", "Second").size(), 1u);

    // Without a selection the command is greyed and changes nothing.
    SelectOnly({});
    ASSERT_TRUE(ChooseListMenuCommand(program_, results_, -1, kMenuIgnore));
    Pump(500);
    EXPECT_EQ(ListViewCount(results_), found - 2);
    EXPECT_EQ(Config(), config);
}

TEST_F(IgnoreListTest, AnIgnoredKeyCoversItsValuesInTheListAndInLaterScans)
{
    // The whole key "App" is on the list from the start.
    WriteConfig(copy_, "<entry root=\"HKEY_CURRENT_USER\" key=\"" + planted_->Path() + "\\App\"/>");
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(Scan()) << Status();
    EXPECT_TRUE(RowsOf("App", "Path").empty());
    EXPECT_TRUE(RowsOf("App", "Second").empty());
    EXPECT_EQ(RowsOf("Other", "Path").size(), 1u);
}

TEST_F(IgnoreListTest, TheDialogListsTheEntriesAndRemovesThemFromTheSettings)
{
    const std::string key = planted_->Path() + "\\App";
    WriteConfig(copy_, "<entry root=\"HKEY_CURRENT_USER\" key=\"" + key + "\"/>"
                       "<entry root=\"HKEY_LOCAL_MACHINE\" key=\"Software\\" + unique_ + "\" value=\"Name\"/>"
                       "<entry root=\"HKEY_CURRENT_USER\" key=\"" + key + "\\Sub\" value=\"\"/>");
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(ChooseListMenuCommand(program_, tasks_, 0, kTaskMenuIgnoredEntries));
    HWND dialog = program_.WaitForDialog(Text("_IgnoreListDlg"));
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, IDC_IGNORE_LIST);
    ASSERT_EQ(ListViewCount(list), 3);
    ASSERT_EQ(ListViewColumnCount(list), 3);
    const HANDLE process = program_.Process();
    EXPECT_EQ(ListViewText(process, list, 0, 0), "HKEY_CURRENT_USER");
    EXPECT_EQ(ListViewText(process, list, 0, 1), key);
    EXPECT_EQ(ListViewText(process, list, 0, 2), Text("_IgnoreListDlgWholeKey"));
    EXPECT_EQ(ListViewText(process, list, 1, 0), "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(ListViewText(process, list, 1, 2), "Name");
    EXPECT_EQ(ListViewText(process, list, 2, 2), Text("_PageRegistryBackupDefaultValue1"));
    // Nothing selected: only Remove All is offered.
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_IGNORE_REMOVE)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_IGNORE_REMOVE_ALL)));

    ASSERT_TRUE(ListViewSelectRow(process, list, 1));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, IDC_IGNORE_REMOVE)) != FALSE; }, 5000));
    ClickButton(dialog, IDC_IGNORE_REMOVE);
    ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) == 2; }, 10000));
    std::string config = Config();
    EXPECT_EQ(config.find("value=\"Name\""), std::string::npos) << config;
    EXPECT_EQ(CountOf(config, "<entry "), 2) << config;
    EXPECT_EQ(ListViewText(process, list, 0, 1), key);
    EXPECT_EQ(ListViewText(process, list, 1, 1), key + "\\Sub");

    ClickButton(dialog, IDC_IGNORE_REMOVE_ALL);
    ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) == 0; }, 10000));
    config = Config();
    EXPECT_EQ(CountOf(config, "<entry "), 0) << config;
    EXPECT_NE(config.find("ignorelist"), std::string::npos) << config;
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_IGNORE_REMOVE_ALL)));

    ClickButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));

    // With the entries gone, the key's values are found again.
    ASSERT_TRUE(Scan()) << Status();
    EXPECT_EQ(RowsOf("App", "Path").size(), 1u);
    EXPECT_EQ(RowsOf("App", "Second").size(), 1u);
}

TEST_F(IgnoreListTest, ExportWithoutASelectionWritesEveryRowAsACsvReport)
{
    WriteConfig(copy_, "");
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(Scan()) << Status();
    const int rows = ListViewCount(results_);
    ASSERT_GE(rows, 3);
    SelectOnly({});

    const std::string folder = TemporaryFolder();
    const std::string file = folder + unique_ + ".csv";
    ASSERT_TRUE(ChooseListMenuCommand(program_, results_, -1, kMenuExport));
    ASSERT_NE(ChooseFileInSaveDialog(program_.ProcessId(), file, 1), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return CountOf(ReadWholeFile(file), "\r\n") == rows + 1; }, 20000));
    const std::string text = ReadWholeFile(file);
    DeleteFileW(Widen(file).c_str());
    const std::string header = "\xEF\xBB\xBF" + Text("_CsvReportCol2") + "," + Text("_CsvReportCol3") + "," +
                               Text("_CsvReportCol4") + "," + Text("_CsvReportCol5") + "\r\n";
    EXPECT_EQ(text.substr(0, header.size()), header);
    // The data holds double quotes: the field is quoted, its quotes doubled.
    const std::string quoted = "\"\"\"" + MissingProgram(unique_) + "\"\" /run\"";
    EXPECT_NE(text.find("HKEY_CURRENT_USER," + planted_->Path() + "\\App,Second," + quoted + "\r\n"),
              std::string::npos) << text;
    EXPECT_NE(text.find("HKEY_CURRENT_USER," + planted_->Path() + "\\Other,Path," + quoted + "\r\n"),
              std::string::npos) << text;
    EXPECT_EQ(ListViewCount(results_), rows);
}
