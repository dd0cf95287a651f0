// The command line: splitting it as the system's runtime does (blanks,
// quotes, backslashes, letters of every script), every form of run it can ask
// for, and the reasons it gives for everything else.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/CommandLine.h"
#include "tests/support/MemoryPlatform.h"

namespace {

using Arguments = std::vector<std::string>;

class CommandLineTest : public ::testing::Test {
protected:
    Arguments Split(const std::string& text) { return SplitCommandLine(text); }
    CommandLineRequest Parse(const std::string& text) { return ParseCommandLine(platform, text); }

    // The reason a command line is refused, as "key|detail".
    std::string Refusal(const std::string& text)
    {
        const CommandLineRequest request = Parse(text);
        EXPECT_EQ(request.action, CommandAction::Invalid) << text;
        return request.errorKey + "|" + request.errorDetail;
    }

    MemoryPlatform platform;
};

} // namespace

TEST_F(CommandLineTest, SplitsAtBlanksAndTabsOutsideQuotes)
{
    EXPECT_EQ(Split(""), Arguments());
    EXPECT_EQ(Split("   \t "), Arguments());
    EXPECT_EQ(Split("/scan"), Arguments({"/scan"}));
    EXPECT_EQ(Split("  /scan \t /report:a.csv  "), Arguments({"/scan", "/report:a.csv"}));
    EXPECT_EQ(Split("/report:\"C:\\My Reports\\r.csv\" /scan"),
              Arguments({"/report:C:\\My Reports\\r.csv", "/scan"}));
    EXPECT_EQ(Split("\"/search:two words\""), Arguments({"/search:two words"}));
    EXPECT_EQ(Split("/search:\"a\"b\" c\""), Arguments({"/search:ab c"}));
    EXPECT_EQ(Split("\"\" x"), Arguments({"", "x"}));
    EXPECT_EQ(Split("/search:\"open end"), Arguments({"/search:open end"}));
}

TEST_F(CommandLineTest, SplitsQuotesAndBackslashesAsTheRuntimeDoes)
{
    EXPECT_EQ(Split("C:\\a\\b"), Arguments({"C:\\a\\b"}));
    EXPECT_EQ(Split("a\\\\b"), Arguments({"a\\\\b"}));              // no quote follows: kept
    EXPECT_EQ(Split("a\\\"b"), Arguments({"a\"b"}));                // \" is a quote of the text
    EXPECT_EQ(Split("a\\\\\"b c\""), Arguments({"a\\b c"}));        // \\" is \ and an opening quote
    EXPECT_EQ(Split("a\\\\\\\"b"), Arguments({"a\\\"b"}));          // \\\" is \ and a quote
    EXPECT_EQ(Split("\"say \"\"hi\"\"\""), Arguments({"say \"hi\""})); // "" inside quotes
    EXPECT_EQ(Split("\"C:\\dir\\\\\" next"), Arguments({"C:\\dir\\", "next"}));
    // The classic trap: \" at the end of a quoted folder keeps the quote open.
    EXPECT_EQ(Split("\"C:\\dir\\\" next"), Arguments({"C:\\dir\" next"}));
}

TEST_F(CommandLineTest, SplitsTextOfEveryScriptWhole)
{
    // A letter right before a closing quote or a backslash is never taken for
    // part of an escape, and letters of every script pass whole.
    EXPECT_EQ(Split("/report:\"C:\\Папка\\ソ\" /scan"),
              Arguments({"/report:C:\\Папка\\ソ", "/scan"}));
    EXPECT_EQ(Split("/search:あい 😀"), Arguments({"/search:あい", "😀"}));
    const CommandLineRequest request = Parse("/search:\"Привет ソ\" /report:r.csv");
    EXPECT_EQ(request.action, CommandAction::Search);
    EXPECT_EQ(request.search.keyword, "Привет ソ");
}

TEST_F(CommandLineTest, NoArgumentsOpenTheWindowAndSlashQuestionMarkTheUsage)
{
    EXPECT_EQ(Parse("").action, CommandAction::Window);
    EXPECT_EQ(Parse("  ").action, CommandAction::Window);
    EXPECT_EQ(Parse("/?").action, CommandAction::Usage);
    EXPECT_EQ(Parse(" /? ").action, CommandAction::Usage);
    EXPECT_EQ(Refusal("/? /report:x.csv"), "_CommandLineErrorWrongAction|/report:x.csv");
    EXPECT_EQ(Refusal("/? /scan"), "_CommandLineErrorTwoActions|/scan");
}

TEST_F(CommandLineTest, APageSwitchOpensTheWindowOnThatPage)
{
    const struct {
        const char* line;
        OpeningPage page;
    } cases[] = {
        {"/page:cleaner", OpeningPage::Cleaner},
        {"/page:search", OpeningPage::Search},
        {"/PAGE:Backup", OpeningPage::Backup},
    };
    for (const auto& item : cases) {
        const CommandLineRequest request = Parse(item.line);
        EXPECT_EQ(request.action, CommandAction::Window) << item.line;
        EXPECT_TRUE(request.openingPageGiven) << item.line;
        EXPECT_EQ(request.openingPage, item.page) << item.line;
    }
    EXPECT_FALSE(Parse("").openingPageGiven);
    // The restart writes what the parser reads back.
    for (OpeningPage page : {OpeningPage::Cleaner, OpeningPage::Search, OpeningPage::Backup})
        EXPECT_EQ(Parse(OpeningPageArguments(page)).openingPage, page);
    EXPECT_EQ(OpeningPageArguments(OpeningPage::Search), "/page:search");

    EXPECT_EQ(Refusal("/page:options"), "_CommandLineErrorPage|/page:options");
    EXPECT_EQ(Refusal("/page"), "_CommandLineErrorNoValue|/page");
    EXPECT_EQ(Refusal("/page:search /page:backup"), "_CommandLineErrorTwice|/page:backup");
    EXPECT_EQ(Refusal("/page:search /scan"), "_CommandLineErrorTwoActions|/scan");
    EXPECT_EQ(Refusal("/page:search /keys"), "_CommandLineErrorWrongAction|/keys");
}

TEST_F(CommandLineTest, AScanTakesTheReportAndOptionallyItsChecks)
{
    CommandLineRequest request = Parse("/scan /report:\"C:\\My Reports\\r.csv\"");
    EXPECT_EQ(request.action, CommandAction::Scan);
    EXPECT_EQ(request.reportPath, "C:\\My Reports\\r.csv");
    EXPECT_TRUE(request.tasks.empty());

    request = Parse("/REPORT:r.csv /Tasks:11,1,4,5 /Scan");
    EXPECT_EQ(request.action, CommandAction::Scan);
    EXPECT_EQ(request.reportPath, "r.csv");
    EXPECT_EQ(request.tasks, std::vector<int>({1, 4, 5, 11}));

    EXPECT_EQ(Parse("/scan /tasks:07 /report:r.csv").tasks, std::vector<int>({7}));
    // The report path keeps its case and everything after the first colon.
    EXPECT_EQ(Parse("/scan /report:\\\\Server\\Share\\R.CSV").reportPath, "\\\\Server\\Share\\R.CSV");
}

TEST_F(CommandLineTest, BadChecksAreRefused)
{
    for (const char* tasks : {"0", "12", "1,1", "1,,4", "1,", ",1", "a", "-1", "+1", " 1", "1 ", "1;4",
                              "99999999999", "4,2,4"}) {
        const std::string argument = std::string("/tasks:") + tasks;
        EXPECT_EQ(Refusal("/scan /report:r.csv \"" + argument + "\""), "_CommandLineErrorTasks|" + argument);
    }
    EXPECT_EQ(Refusal("/scan /tasks: /report:r.csv"), "_CommandLineErrorNoValue|/tasks:");
    EXPECT_EQ(Refusal("/scan /tasks /report:r.csv"), "_CommandLineErrorNoValue|/tasks");
}

TEST_F(CommandLineTest, ASearchTakesItsKeywordOptionsAndRoots)
{
    CommandLineRequest request = Parse("/search:\"My App\" /report:hits.csv");
    EXPECT_EQ(request.action, CommandAction::Search);
    EXPECT_EQ(request.search.keyword, "My App");
    EXPECT_EQ(request.reportPath, "hits.csv");
    EXPECT_FALSE(request.searchOptionsGiven);
    EXPECT_FALSE(request.searchRootsGiven);

    request = Parse("/search:*.exe /values /WILDCARD /case /roots:hkcu,HKLM /report:hits.csv");
    EXPECT_EQ(request.search.keyword, "*.exe");
    EXPECT_TRUE(request.searchOptionsGiven);
    EXPECT_FALSE(request.search.includeKeyNames);
    EXPECT_TRUE(request.search.includeValueNames);
    EXPECT_FALSE(request.search.includeValueData);
    EXPECT_TRUE(request.search.useWildcard);
    EXPECT_FALSE(request.search.fullWordMatch);
    EXPECT_TRUE(request.search.caseSensitive);
    EXPECT_TRUE(request.searchRootsGiven);
    EXPECT_FALSE(request.search.searchHKCR);
    EXPECT_TRUE(request.search.searchHKCU);
    EXPECT_TRUE(request.search.searchHKLM);
    EXPECT_FALSE(request.search.searchHKU);
    EXPECT_FALSE(request.search.searchHKCC);

    request = Parse("/keys /data /whole /search:Run /roots:HKCR,HKU,HKCC /report:r.csv");
    EXPECT_TRUE(request.search.includeKeyNames);
    EXPECT_FALSE(request.search.includeValueNames);
    EXPECT_TRUE(request.search.includeValueData);
    EXPECT_TRUE(request.search.fullWordMatch);
    EXPECT_FALSE(request.search.useWildcard);
    EXPECT_TRUE(request.search.searchHKCR && request.search.searchHKU && request.search.searchHKCC);
    EXPECT_FALSE(request.search.searchHKCU || request.search.searchHKLM);

    // Roots without options keep the options of the settings file.
    request = Parse("/search:x /roots:HKU /report:r.csv");
    EXPECT_FALSE(request.searchOptionsGiven);
    EXPECT_TRUE(request.searchRootsGiven);

    // Everything after the first colon is the keyword, colons and slashes too.
    EXPECT_EQ(Parse("/search:C:\\x:/y /report:r.csv").search.keyword, "C:\\x:/y");
    EXPECT_EQ(Parse("/Search:\"\"\"quoted\"\"\" /report:r.csv").search.keyword, "\"quoted\"");
}

TEST_F(CommandLineTest, BadSearchesAreRefused)
{
    EXPECT_EQ(Refusal("/search /report:r.csv"), "_CommandLineErrorNoValue|/search");
    EXPECT_EQ(Refusal("/search:\"\" /report:r.csv"), "_CommandLineErrorNoValue|/search:");
    EXPECT_EQ(Refusal("/search:x"), "_CommandLineErrorNoReport|");
    EXPECT_EQ(Refusal("/search:x /case /report:r.csv"), "_CommandLineErrorNothingToLookAt|");
    EXPECT_EQ(Refusal("/search:x /wildcard /whole /report:r.csv"), "_CommandLineErrorNothingToLookAt|");
    EXPECT_EQ(Refusal("/search:x /keys:yes /report:r.csv"), "_CommandLineErrorValueNotAllowed|/keys:yes");
    EXPECT_EQ(Refusal("/search:x /keys /keys /report:r.csv"), "_CommandLineErrorTwice|/keys");
    for (const char* roots : {"HKEY_CURRENT_USER", "HKCU,HKCU", "HKCU,", "HKDD", "HKCU HKLM", "HKCU,,HKLM"}) {
        const std::string argument = std::string("/roots:") + roots;
        EXPECT_EQ(Refusal("/search:x \"" + argument + "\" /report:r.csv"), "_CommandLineErrorRoots|" + argument);
    }
    EXPECT_EQ(Refusal("/search:x /roots: /report:r.csv"), "_CommandLineErrorNoValue|/roots:");

    const std::string longest(kMaxKeywordLength, 'k');
    EXPECT_EQ(Parse("/search:" + longest + " /report:r.csv").search.keyword, longest);
    EXPECT_EQ(Refusal("/search:" + longest + "k /report:r.csv"), "_CommandLineErrorKeywordTooLong|");
}

TEST_F(CommandLineTest, ABackupMayKeepTheNewestOnes)
{
    CommandLineRequest request = Parse("/backup");
    EXPECT_EQ(request.action, CommandAction::Backup);
    EXPECT_EQ(request.keepBackups, 0);
    request = Parse("/BACKUP /keep:5");
    EXPECT_EQ(request.action, CommandAction::Backup);
    EXPECT_EQ(request.keepBackups, 5);
    EXPECT_EQ(Parse("/keep:1 /backup").keepBackups, 1);
    EXPECT_EQ(Parse("/backup /keep:999999").keepBackups, 999999);

    for (const char* keep : {"0", "-1", "x", "2.5", "1000000", "99999999999999999999", " 3"}) {
        const std::string argument = std::string("/keep:") + keep;
        EXPECT_EQ(Refusal("/backup \"" + argument + "\""), "_CommandLineErrorKeep|" + argument);
    }
    EXPECT_EQ(Refusal("/backup /keep"), "_CommandLineErrorNoValue|/keep");
    EXPECT_EQ(Refusal("/backup:now"), "_CommandLineErrorValueNotAllowed|/backup:now");
    EXPECT_EQ(Refusal("/backup /report:r.csv"), "_CommandLineErrorWrongAction|/report:r.csv");
}

TEST_F(CommandLineTest, ADiffTakesItsFileAndTheReport)
{
    CommandLineRequest request = Parse("/DIFF:\"C:\\Backup\\2026-12-07 10-11-12(Full).reg\" /report:d.csv");
    EXPECT_EQ(request.action, CommandAction::Diff);
    EXPECT_EQ(request.diffPath, "C:\\Backup\\2026-12-07 10-11-12(Full).reg");
    EXPECT_EQ(request.reportPath, "d.csv");
    EXPECT_EQ(Parse("/report:d.csv /diff:b.reg").diffPath, "b.reg");

    EXPECT_EQ(Refusal("/diff:b.reg"), "_CommandLineErrorNoReport|");
    EXPECT_EQ(Refusal("/diff /report:d.csv"), "_CommandLineErrorNoValue|/diff");
    EXPECT_EQ(Refusal("/diff:b.reg /report:d.csv /keep:2"), "_CommandLineErrorWrongAction|/keep:2");
    EXPECT_EQ(Refusal("/diff:b.reg /scan /report:d.csv"), "_CommandLineErrorTwoActions|/scan");
}

TEST_F(CommandLineTest, EverythingElseIsRefusedWithAReason)
{
    EXPECT_EQ(Refusal("scan"), "_CommandLineErrorUnknown|scan");
    EXPECT_EQ(Refusal("-scan"), "_CommandLineErrorUnknown|-scan");
    EXPECT_EQ(Refusal("/"), "_CommandLineErrorUnknown|/");
    EXPECT_EQ(Refusal("/:x"), "_CommandLineErrorUnknown|/:x");
    EXPECT_EQ(Refusal("/scan /report:r.csv extra"), "_CommandLineErrorUnknown|extra");
    EXPECT_EQ(Refusal("/scan /report:r.csv /verbose"), "_CommandLineErrorUnknown|/verbose");
    EXPECT_EQ(Refusal("/scans /report:r.csv"), "_CommandLineErrorUnknown|/scans");
    EXPECT_EQ(Refusal("\"\""), "_CommandLineErrorUnknown|");

    EXPECT_EQ(Refusal("/report:r.csv"), "_CommandLineErrorNoAction|");
    EXPECT_EQ(Refusal("/keys /case"), "_CommandLineErrorNoAction|");
    EXPECT_EQ(Refusal("/scan /search:x /report:r.csv"), "_CommandLineErrorTwoActions|/search:x");
    EXPECT_EQ(Refusal("/backup /scan"), "_CommandLineErrorTwoActions|/scan");
    EXPECT_EQ(Refusal("/scan /SCAN /report:r.csv"), "_CommandLineErrorTwice|/SCAN");
    EXPECT_EQ(Refusal("/scan /report:a.csv /report:b.csv"), "_CommandLineErrorTwice|/report:b.csv");
    EXPECT_EQ(Refusal("/scan"), "_CommandLineErrorNoReport|");
    EXPECT_EQ(Refusal("/scan /report:"), "_CommandLineErrorNoValue|/report:");
    EXPECT_EQ(Refusal("/scan /report:r.csv /keys"), "_CommandLineErrorWrongAction|/keys");
    EXPECT_EQ(Refusal("/scan /report:r.csv /roots:HKCU"), "_CommandLineErrorWrongAction|/roots:HKCU");
    EXPECT_EQ(Refusal("/scan /report:r.csv /keep:2"), "_CommandLineErrorWrongAction|/keep:2");
    EXPECT_EQ(Refusal("/search:x /tasks:1 /report:r.csv"), "_CommandLineErrorWrongAction|/tasks:1");

    // A refused line carries nothing else that a caller could act on.
    const CommandLineRequest request = Parse("/scan /tasks:1 /report:r.csv /bogus");
    EXPECT_TRUE(request.tasks.empty());
    EXPECT_TRUE(request.reportPath.empty());
}
