// Where a run without a window puts its usage and the reason a command line
// was refused, so that no run waits for a person who is not there.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/MemoryPlatform.h"
#include "core/CommandLineOutput.h"

namespace {

TEST(CommandLineOutputTest, TheUsageGoesInABoxOnlyWithoutAConsoleOnAVisibleDesktop)
{
    EXPECT_EQ(UsagePlace::kConsole, PlaceOfUsage(true, true));
    EXPECT_EQ(UsagePlace::kConsole, PlaceOfUsage(true, false));
    EXPECT_EQ(UsagePlace::kMessageBox, PlaceOfUsage(false, true));
    // A task or service in a window station nobody sees.
    EXPECT_EQ(UsagePlace::kNowhere, PlaceOfUsage(false, false));
}

TEST(CommandLineOutputTest, ARefusedLineWritesItsReasonOnlyWhereItsActionWritesAReport)
{
    MemoryPlatform platform;
    const struct {
        const char* line;
        const char* report;
    } cases[] = {
        {"/scan /tasks:12 /report:C:\\r.csv", "C:\\r.csv"},
        {"/SEARCH:x /fast /Report:\"C:\\My Reports\\s.csv\"", "C:\\My Reports\\s.csv"},
        {"/search:x /report:C:\\a.csv /report:C:\\b.csv", "C:\\a.csv"},
        // Neither a backup nor the usage writes a report: the file named is
        // no file the user meant to be written.
        {"/backup /report:C:\\r.csv", ""},
        {"/? /report:C:\\r.csv", ""},
        {"/report:C:\\r.csv", ""},
        {"/scan /backup /report:C:\\r.csv", ""},
        {"/scan /search:x /report:C:\\r.csv", ""},
        {"/scan /report:", ""},
        {"/scan /tasks:99", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.report, RefusalReportPath(platform, c.line)) << c.line;
}

} // namespace
