// The edit dialog's reading and renaming on the in-memory platform: the value
// read whole when the dialog opens, the choice between renaming and writing
// data, and a rename that keeps the type and every byte of the data, backed
// up first, also of a value it replaces.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/Unicode.h"
#include "core/ValueRename.h"
#include "tests/support/MemoryPlatform.h"

namespace {

constexpr const char* kFolder = "C:\\Prog\\Data\\Quorvane\\Backup";
constexpr const char* kKey = "Software\\Vendor\\App";

RegistryItem Row(const std::string& name)
{
    RegistryItem item;
    item.rootName = "HKEY_CURRENT_USER";
    item.keyPath = kKey;
    item.valueName = name;
    item.type = 1;
    item.dataText = "snapshot";
    return item;
}

class ValueRenameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CalendarTime now;
        now.year = 2026;
        now.month = 12;
        now.day = 7;
        now.hour = 10;
        now.minute = 11;
        now.second = 12;
        platform.SetLocalTime(now);
        platform.AddString(kHkeyCurrentUser, kKey, "Keep", "stays");
        platform.AddString(kHkeyCurrentUser, kKey, "Other", "other");
    }

    bool Value(const std::string& name, std::uint32_t* type, std::string* bytes) const
    {
        return platform.ReadValue(kHkeyCurrentUser, kKey, name, type, bytes);
    }

    std::string BackupText(const std::string& path) const
    {
        const std::string bytes = platform.FileContent(path);
        return Utf16LeBytesToUtf8(bytes.substr(bytes.size() < 2 ? bytes.size() : 2));
    }

    mutable MemoryPlatform platform;
    ChangeBackup backup{kFolder, "Auto"};
};

} // namespace

TEST(ValueEditChoice, DataCountsAsChangedOnlyWhenTheTypedTextDiffersFromTheShownText)
{
    struct Case {
        const char* formerName;
        const char* newName;
        const char* shown;
        const char* typed;
        ValueEditKind expected;
    };
    const Case cases[] = {
        {"Name", "Name", "data", "data", ValueEditKind::Nothing},
        {"Name", "Renamed", "data", "data", ValueEditKind::RenameOnly},
        {"Name", "NAME", "data", "data", ValueEditKind::RenameOnly},
        {"Name", "Name", "data", "data2", ValueEditKind::WriteData},
        {"Name", "Renamed", "data", "Data", ValueEditKind::WriteData},
        {"", "Named", "", "", ValueEditKind::RenameOnly},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, ChooseValueEdit(c.formerName, c.newName, c.shown, c.typed))
            << c.formerName << " -> " << c.newName << ", " << c.shown << " -> " << c.typed;
}

TEST_F(ValueRenameTest, TheDialogReadsTheValueAsItIsNowAndWhole)
{
    const std::string longText(20u * 1024u * 1024u, 'y');   // beyond the 16 MB of a list row
    platform.AddString(kHkeyCurrentUser, kKey, "Long", longText);
    platform.AddValue(kHkeyCurrentUser, kKey, "Zero", kRegSz, Utf8ToUtf16LeBytes(std::string("ab\0cd", 5)));
    platform.MakeValueOversized(kHkeyCurrentUser, kKey, "Other");

    const CurrentValue keep = ReadCurrentValue(platform, Row("Keep"));
    EXPECT_TRUE(keep.read);
    EXPECT_EQ("stays", keep.text);   // not the row's snapshot
    const CurrentValue longValue = ReadCurrentValue(platform, Row("Long"));
    EXPECT_TRUE(longValue.read);
    EXPECT_EQ(longText.size(), longValue.text.size());
    const CurrentValue zero = ReadCurrentValue(platform, Row("Zero"));
    EXPECT_EQ(Utf8ToUtf16LeBytes(std::string("ab\0cd", 5)), zero.bytes);
    EXPECT_EQ("ab", zero.text);
    EXPECT_FALSE(ReadCurrentValue(platform, Row("Missing")).read);
    EXPECT_FALSE(ReadCurrentValue(platform, Row("Other")).read);
}

TEST_F(ValueRenameTest, ARenameKeepsTheTypeAndEveryByteOfTheData)
{
    struct Case {
        const char* label;
        std::uint32_t type;
        std::string bytes;
        const char* newName;
    };
    const Case cases[] = {
        {"zero units inside", kRegSz, Utf8ToUtf16LeBytes(std::string("one\0two\0", 8)), "Renamed1"},
        {"no terminator, odd length", kRegSz, std::string("a\0b\0c", 5), "Renamed2"},
        {"beyond 16 MB", kRegSz, std::string(17u * 1024u * 1024u, 'z'), "Renamed3"},
        {"expandable", kRegExpandSz, TextToStringData("%TEMP%\\x"), "Renamed4"},
        {"case only", kRegSz, Utf8ToUtf16LeBytes(std::string("tail\0after", 10)), "SUBJECT"},
    };
    for (const Case& c : cases) {
        platform.AddValue(kHkeyCurrentUser, kKey, "Subject", c.type, c.bytes);
        const EditOutcome outcome = RenameValue(platform, Row("Subject"), c.newName, backup);
        EXPECT_EQ(ChangeStatus::Done, outcome.status) << c.label;
        std::uint32_t type = 0;
        std::string bytes;
        ASSERT_TRUE(Value(c.newName, &type, &bytes)) << c.label;
        EXPECT_EQ(c.type, type) << c.label;
        EXPECT_TRUE(bytes == c.bytes) << c.label;
        const std::vector<std::string> names = platform.ValueNames(kHkeyCurrentUser, kKey);
        EXPECT_EQ(names.end(), std::find(names.begin(), names.end(), "Subject")) << c.label;
        EXPECT_TRUE(platform.HasFile(outcome.backupPath)) << c.label;
    }
}

TEST_F(ValueRenameTest, ARenameOntoAnotherValueBacksUpBothOrChangesNothing)
{
    EditOutcome outcome = RenameValue(platform, Row("Keep"), "Other", backup);
    EXPECT_EQ(ChangeStatus::Done, outcome.status);
    EXPECT_EQ((std::vector<std::string>{"Other"}), platform.ValueNames(kHkeyCurrentUser, kKey));
    const std::string content = BackupText(outcome.backupPath);
    EXPECT_NE(std::string::npos, content.find("\"Keep\"=\"stays\""));
    EXPECT_NE(std::string::npos, content.find("\"Other\"=\"other\""));

    // A value that exists but cannot be read whole cannot be backed up.
    platform.AddString(kHkeyCurrentUser, kKey, "Keep", "stays");
    platform.MakeValueOversized(kHkeyCurrentUser, kKey, "Other");
    outcome = RenameValue(platform, Row("Keep"), "Other", backup);
    EXPECT_EQ(ChangeStatus::BackupFailed, outcome.status);
    std::uint32_t type = 0;
    std::string bytes;
    ASSERT_TRUE(Value("Keep", &type, &bytes));
    EXPECT_EQ(TextToStringData("stays"), bytes);
    EXPECT_TRUE(platform.HasValue(kHkeyCurrentUser, kKey, "Other"));
}

TEST_F(ValueRenameTest, NothingChangesWithoutABackupOrWhenTheRegistryRefuses)
{
    struct Case {
        const char* label;
        bool failBackup;
        unsigned keyFaults;
        const char* newName;
        ChangeStatus expected;
    };
    const Case cases[] = {
        {"no backup", true, kKeyFaultNone, "New", ChangeStatus::BackupFailed},
        {"write refused", false, kDenyWrite, "New", ChangeStatus::WriteFailed},
        {"case-only write refused", false, kDenyWrite, "KEEP", ChangeStatus::WriteFailed},
        {"same name", false, kKeyFaultNone, "Keep", ChangeStatus::NothingToDo},
    };
    for (const Case& c : cases) {
        MemoryPlatform fresh;
        fresh.SetLocalTime(CalendarTime{2026, 12, 7, 10, 11, 12});
        fresh.AddString(kHkeyCurrentUser, kKey, "Keep", "stays");
        fresh.SetKeyFaults(kHkeyCurrentUser, kKey, c.keyFaults);
        if (c.failBackup)
            fresh.FailFileCreation(std::string(kFolder) + "\\2026-12-07 10-11-12(Auto).reg");
        EXPECT_EQ(c.expected, RenameValue(fresh, Row("Keep"), c.newName, backup).status) << c.label;
        EXPECT_EQ((std::vector<std::string>{"Keep"}), fresh.ValueNames(kHkeyCurrentUser, kKey)) << c.label;
        std::uint32_t type = 0;
        std::string bytes;
        ASSERT_TRUE(fresh.ReadValue(kHkeyCurrentUser, kKey, "Keep", &type, &bytes)) << c.label;
        EXPECT_EQ(TextToStringData("stays"), bytes) << c.label;
    }
    EXPECT_EQ(ChangeStatus::WriteFailed, RenameValue(platform, Row("Gone"), "New", backup).status);
}
