// CSV reports on the in-memory platform: the quoting of fields, texts of every
// script taken whole, the lines of whole reports with and without the check
// column, large reports, and what a failed or unfinished report leaves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/CsvReport.h"
#include "tests/support/MemoryPlatform.h"

namespace {

constexpr const char* kPath = "C:\\Reports\\report.csv";

RegistryItem Row(const std::string& root, const std::string& key, const std::string& name,
                 const std::string& data, std::int32_t type = kRegSz)
{
    RegistryItem row;
    row.rootName = root;
    row.keyPath = key;
    row.valueName = name;
    row.dataText = data;
    row.type = type;
    return row;
}

const std::vector<std::string> kHeader = {"Root Key", "Key", "Value Name", "Data"};

class CsvReportTest : public ::testing::Test {
protected:
    void SetUp() override { platform.AddFolder("C:\\Reports"); }

    // The report's text after the UTF-8 byte-order mark it starts with.
    std::string Report() const
    {
        const std::string content = platform.FileContent(kPath);
        EXPECT_EQ("\xEF\xBB\xBF", content.substr(0, 3));
        return content.substr(content.size() < 3 ? content.size() : 3);
    }

    MemoryPlatform platform;
};

} // namespace

TEST_F(CsvReportTest, FieldsAreQuotedOnlyWhenTheyMustBe)
{
    EXPECT_EQ(CsvField(""), "");
    EXPECT_EQ(CsvField("plain text"), "plain text");
    EXPECT_EQ(CsvField(" blanks kept "), " blanks kept ");
    EXPECT_EQ(CsvField("C:\\Program Files\\x.exe;y"), "C:\\Program Files\\x.exe;y");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField(","), "\",\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("\""), "\"\"\"\"");
    EXPECT_EQ(CsvField("line1\r\nline2"), "\"line1\r\nline2\"");
    EXPECT_EQ(CsvField("cr\ronly"), "\"cr\ronly\"");
    EXPECT_EQ(CsvField("lf\n"), "\"lf\n\"");
    EXPECT_EQ(CsvField("\"C:\\a b\\c.exe\" /x,y"), "\"\"\"C:\\a b\\c.exe\"\" /x,y\"");
    // Letters beyond ASCII pass as they are.
    EXPECT_EQ(CsvField("Café “quoted”"), "Café “quoted”");
}

// A cell a spreadsheet would take for a formula is written as text: an
// apostrophe goes before it, inside the quotes when the cell needs them.
// The same characters anywhere but at the start change nothing.
TEST_F(CsvReportTest, CellsThatWouldRunAsFormulasAreWrittenAsText)
{
    struct Case {
        const char* text;
        const char* field;
    };
    const Case cases[] = {
        {"=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0"},
        {"=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
        {"+1+1", "'+1+1"},
        {"-2+3", "'-2+3"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\t=1", "'\t=1"},
        {"\r=1", "\"'\r=1\""},
        {"=1,2", "\"'=1,2\""},
        {"=", "'="},
        {"'=already", "'=already"},
        {"a=b", "a=b"},
        {" =1", " =1"},
        {"x-y+z@w", "x-y+z@w"},
        {"\n=1", "\"\n=1\""},
        {"ソ=1", "ソ=1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.field, CsvField(c.text)) << c.text;

    // Every column of a report, and its header, goes through the same rule.
    EXPECT_EQ(WriteCsvReport(platform, kPath, {"=H", "K"}, {Row("HKEY_USERS", "-k", "@v", "+d,e")}),
              CsvReportStatus::Written);
    EXPECT_EQ("\xEF\xBB\xBF'=H,K\r\nHKEY_USERS,'-k,'@v,\"'+d,e\"\r\n", platform.FileContent(kPath));
}

TEST_F(CsvReportTest, LettersOfEveryScriptPassWhole)
{
    // Every byte of a character beyond ASCII is above 0x7F: no quoting, no
    // doubling and no splitting inside one.
    EXPECT_EQ(CsvField("ソФ😀"), "ソФ😀");
    EXPECT_EQ(CsvField("あ,い"), "\"あ,い\"");
    EXPECT_EQ(CsvField("ソ\"x\""), "\"ソ\"\"x\"\"\"");
    EXPECT_EQ(CsvLine({"Привет", "Ω"}), "Привет,Ω\r\n");
}

TEST_F(CsvReportTest, LinesJoinFieldsAndEndInCrLf)
{
    EXPECT_EQ(CsvLine({}), "\r\n");
    EXPECT_EQ(CsvLine({""}), "\r\n");
    EXPECT_EQ(CsvLine({"", ""}), ",\r\n");
    EXPECT_EQ(CsvLine({"a", "b,c", "", "d"}), "a,\"b,c\",,d\r\n");
    EXPECT_EQ(ReportFields(Row("HKEY_USERS", "S\\K", "v", "d")),
              std::vector<std::string>({"HKEY_USERS", "S\\K", "v", "d"}));
}

TEST_F(CsvReportTest, AReportHoldsTheHeaderAndOneLinePerRow)
{
    const std::vector<RegistryItem> rows = {
        Row("HKEY_LOCAL_MACHINE", "Software\\Vendor, Inc.\\App", "Path", "\"C:\\Gone\\app.exe\" -x"),
        Row("HKEY_CURRENT_USER", "Software\\Old", "", "", kKeyRowType),
        Row("HKEY_CLASSES_ROOT", "CLSID\\{1}", "", "two\r\nlines")};
    EXPECT_EQ(WriteCsvReport(platform, kPath, kHeader, rows), CsvReportStatus::Written);
    EXPECT_EQ(Report(),
              "Root Key,Key,Value Name,Data\r\n"
              "HKEY_LOCAL_MACHINE,\"Software\\Vendor, Inc.\\App\",Path,\"\"\"C:\\Gone\\app.exe\"\" -x\"\r\n"
              "HKEY_CURRENT_USER,Software\\Old,,\r\n"
              "HKEY_CLASSES_ROOT,CLSID\\{1},,\"two\r\nlines\"\r\n");
}

TEST_F(CsvReportTest, AReportWithoutRowsHoldsTheHeaderOnly)
{
    EXPECT_EQ(WriteCsvReport(platform, kPath, {"A,1", "B"}, {}), CsvReportStatus::Written);
    EXPECT_EQ(Report(), "\"A,1\",B\r\n");
}

TEST_F(CsvReportTest, AScanReportPutsTheCheckFirst)
{
    const std::vector<CheckReportRow> rows = {
        {1, Row("HKEY_LOCAL_MACHINE", "Software\\App", "Exe", "C:\\x.exe")},
        {11, Row("HKEY_CURRENT_USER", "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "a,b", "c")}};
    EXPECT_EQ(WriteCheckCsvReport(platform, kPath, {"Check", "Root Key", "Key", "Value Name", "Data"}, rows),
              CsvReportStatus::Written);
    EXPECT_EQ(Report(),
              "Check,Root Key,Key,Value Name,Data\r\n"
              "1,HKEY_LOCAL_MACHINE,Software\\App,Exe,C:\\x.exe\r\n"
              "11,HKEY_CURRENT_USER,Software\\Microsoft\\Windows\\CurrentVersion\\Run,\"a,b\",c\r\n");
}

TEST_F(CsvReportTest, AnExistingFileIsReplaced)
{
    platform.AddFile(kPath, "an older report that is much longer than the new one\r\n");
    EXPECT_EQ(WriteCsvReport(platform, kPath, {"H"}, {}), CsvReportStatus::Written);
    EXPECT_EQ(Report(), "H\r\n");
}

TEST_F(CsvReportTest, ALargeReportIsWrittenWhole)
{
    std::vector<RegistryItem> rows;
    std::string expected = "Root Key,Key,Value Name,Data\r\n";
    for (int i = 0; i < 5000; ++i) {
        const std::string n = std::to_string(i);
        rows.push_back(Row("HKEY_USERS", "S-1-5\\Key " + n, "Value," + n, std::string(40, 'x')));
        expected += "HKEY_USERS,S-1-5\\Key " + n + ",\"Value," + n + "\"," + std::string(40, 'x') + "\r\n";
    }
    ASSERT_GT(expected.size(), 200000u); // several blocks
    EXPECT_EQ(WriteCsvReport(platform, kPath, kHeader, rows), CsvReportStatus::Written);
    EXPECT_EQ(Report(), expected);
}

TEST_F(CsvReportTest, AFileThatCannotBeCreatedIsReported)
{
    platform.FailFileCreation(kPath);
    EXPECT_EQ(WriteCsvReport(platform, kPath, kHeader, {Row("HKEY_USERS", "a", "b", "c")}),
              CsvReportStatus::CannotCreate);
    EXPECT_FALSE(platform.HasFile(kPath));
    EXPECT_EQ(WriteCsvReport(platform, "C:\\No such folder\\r.csv", kHeader, {}), CsvReportStatus::CannotCreate);
    EXPECT_EQ(WriteCheckCsvReport(platform, kPath, kHeader, {}), CsvReportStatus::CannotCreate);
}

TEST_F(CsvReportTest, AFailedWriteRemovesThePartialFile)
{
    std::vector<RegistryItem> rows(3000, Row("HKEY_USERS", "Some\\Key", "Name", std::string(60, 'd')));
    // Failing in the middle of the rows.
    platform.FailFileWritesAfter(kPath, 100000);
    EXPECT_EQ(WriteCsvReport(platform, kPath, kHeader, rows), CsvReportStatus::WriteFailed);
    EXPECT_FALSE(platform.HasFile(kPath));

    // Failing with the last block, and with the header itself.
    platform.FailFileWritesAfter(kPath, 40);
    EXPECT_EQ(WriteCsvReport(platform, kPath, kHeader, {Row("HKEY_USERS", "a", "b", "c")}),
              CsvReportStatus::WriteFailed);
    EXPECT_FALSE(platform.HasFile(kPath));
    platform.FailFileWritesAfter(kPath, 5);
    EXPECT_EQ(WriteCheckCsvReport(platform, kPath, {"Check", "Root Key", "Key", "Value Name", "Data"}, {}),
              CsvReportStatus::WriteFailed);
    EXPECT_FALSE(platform.HasFile(kPath));
}

TEST_F(CsvReportTest, TheWriterKeepsAReportOnlyWhenFinished)
{
    {
        CsvReportWriter writer(platform);
        ASSERT_EQ(writer.Open(kPath, {"A", "B"}), CsvReportStatus::Written);
        EXPECT_TRUE(writer.AddRow({"1", "2"}));
        EXPECT_TRUE(writer.AddRow({"3", "4,5"}));
        EXPECT_EQ(writer.RowCount(), 2u);
        // Dropped without Finish: a run that was cut short leaves no report.
    }
    EXPECT_FALSE(platform.HasFile(kPath));

    CsvReportWriter writer(platform);
    ASSERT_EQ(writer.Open(kPath, {"A", "B"}), CsvReportStatus::Written);
    EXPECT_TRUE(writer.AddRow({"1", "2"}));
    EXPECT_EQ(writer.Finish(), CsvReportStatus::Written);
    EXPECT_EQ(Report(), "A,B\r\n1,2\r\n");
    EXPECT_FALSE(writer.AddRow({"late"}));
    EXPECT_EQ(Report(), "A,B\r\n1,2\r\n");
}
