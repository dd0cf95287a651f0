// The one change operation on the in-memory platform: the backup of exactly
// what changes comes first, nothing changes without a complete backup,
// protected keys refuse the whole selection, and the read-back names every
// entry that did not change. Faults: a backup file that fails after some
// bytes, a folder that cannot be made, deletions and writes the registry
// refuses, and keys that vanish while the change runs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/RegistryChange.h"
#include "core/Unicode.h"
#include "tests/support/MemoryPlatform.h"

namespace {

constexpr const char* kFolder = "C:\\Prog\\Data\\Quorvane\\Backup";

RegistryItem ValueRow(const std::string& root, const std::string& keyPath, const std::string& name,
                      std::int32_t type = 1)
{
    RegistryItem item;
    item.rootName = root;
    item.keyPath = keyPath;
    item.valueName = name;
    item.type = type;
    return item;
}

RegistryItem KeyRow(const std::string& root, const std::string& keyPath)
{
    RegistryItem item;
    item.rootName = root;
    item.keyPath = keyPath;
    item.type = kKeyRowType;
    return item;
}

std::string Sz(const std::string& text)
{
    return TextToStringData(text);
}

class RegistryChangeTest : public ::testing::Test {
protected:
    // The text of a backup: UTF-16 LE after its byte-order mark.
    std::string BackupText(const std::string& path) const
    {
        const std::string bytes = platform.FileContent(path);
        EXPECT_EQ("\xFF\xFE", bytes.substr(0, 2));
        return Utf16LeBytesToUtf8(bytes.substr(bytes.size() < 2 ? bytes.size() : 2));
    }

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
        platform.AddString(kHkeyCurrentUser, "Software\\Vendor\\App", "Path", "C:\\gone.exe");
        platform.AddString(kHkeyCurrentUser, "Software\\Vendor\\App", "Keep", "stays");
        platform.AddDword(kHkeyCurrentUser, "Software\\Vendor\\App\\Sub", "Count", 7);
        platform.AddString(kHkeyLocalMachine, "Software\\Other", "Cmd", "run \"x\"");
    }

    DeleteOutcome Delete(const std::vector<RegistryItem>& entries, ChangeProgress progress = nullptr,
                         void* context = nullptr)
    {
        return DeleteEntries(platform, entries, backup, progress, context);
    }

    static bool CollectFile(const FoundFile& found, void* context)
    {
        if ((found.attributes & kFileAttributeDirectory) == 0)
            static_cast<std::vector<std::string>*>(context)->push_back(found.name);
        return true;
    }

    std::vector<std::string> BackupFiles() const
    {
        std::vector<std::string> names;
        platform.ListFolder(std::string(kFolder) + "\\*.*", CollectFile, &names);
        return names;
    }

    mutable MemoryPlatform platform;
    ChangeBackup backup{kFolder, "Auto"};
};

} // namespace

TEST_F(RegistryChangeTest, DeletionWritesABackupOfExactlyTheEntriesThenDeletesThem)
{
    const DeleteOutcome outcome =
        Delete({ValueRow("HKEY_CURRENT_USER", "Software\\Vendor\\App", "Path"),
                KeyRow("HKEY_LOCAL_MACHINE", "Software\\Other")});

    EXPECT_EQ(ChangeStatus::Done, outcome.status);
    EXPECT_EQ((std::vector<std::size_t>{0, 1}), outcome.gone);
    EXPECT_TRUE(outcome.remaining.empty());
    EXPECT_EQ(std::string(kFolder) + "\\2026-12-07 10-11-12(Auto).reg", outcome.backupPath);
    EXPECT_EQ("Windows Registry Editor Version 5.00\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Vendor\\App]\r\n"
              "\"Path\"=\"C:\\\\gone.exe\"\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Other]\r\n"
              "\"Cmd\"=\"run \\\"x\\\"\"\r\n",
              BackupText(outcome.backupPath));

    EXPECT_FALSE(platform.HasValue(kHkeyCurrentUser, "Software\\Vendor\\App", "Path"));
    EXPECT_TRUE(platform.HasValue(kHkeyCurrentUser, "Software\\Vendor\\App", "Keep"));
    EXPECT_FALSE(platform.HasKey(kHkeyLocalMachine, "Software\\Other"));
    EXPECT_TRUE(platform.HasKey(kHkeyLocalMachine, "Software"));
}

TEST_F(RegistryChangeTest, NothingSelectedTouchesNothing)
{
    const DeleteOutcome outcome = Delete({});
    EXPECT_EQ(ChangeStatus::NothingToDo, outcome.status);
    EXPECT_TRUE(BackupFiles().empty());
}

TEST_F(RegistryChangeTest, AProtectedKeyRefusesTheWholeSelectionAndNamesIt)
{
    const std::vector<RegistryItem> entries{
        ValueRow("HKEY_CURRENT_USER", "Software\\Vendor\\App", "Path"),
        KeyRow("HKEY_CURRENT_USER", "Software"),
        KeyRow("HKEY_LOCAL_MACHINE", "SOFTWARE\\Classes\\clsid"),
        KeyRow("HKEY_LOCAL_MACHINE", "Software\\Other"),
        KeyRow("HKEY_NOWHERE", "Software\\Other"),
    };
    const DeleteOutcome outcome = Delete(entries);

    EXPECT_EQ(ChangeStatus::Refused, outcome.status);
    EXPECT_EQ((std::vector<std::string>{"HKEY_CURRENT_USER\\Software",
                                        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\clsid",
                                        "HKEY_NOWHERE\\Software\\Other"}),
              outcome.refusedKeys);
    EXPECT_TRUE(outcome.backupPath.empty());
    EXPECT_TRUE(BackupFiles().empty());
    EXPECT_TRUE(platform.HasValue(kHkeyCurrentUser, "Software\\Vendor\\App", "Path"));
    EXPECT_TRUE(platform.HasKey(kHkeyLocalMachine, "Software\\Other"));
}

TEST_F(RegistryChangeTest, ABackupThatFailsPartWayDeletesNothingAndLeavesNoFile)
{
    // The folder is made on the first attempt; a second deletion in the same
    // second gets the counter name, so name the file the write will fail on.
    platform.FailFileWritesAfter(std::string(kFolder) + "\\2026-12-07 10-11-12(Auto).reg", 30);
    const DeleteOutcome outcome = Delete({ValueRow("HKEY_CURRENT_USER", "Software\\Vendor\\App", "Path"),
                                          KeyRow("HKEY_LOCAL_MACHINE", "Software\\Other")});

    EXPECT_EQ(ChangeStatus::BackupFailed, outcome.status);
    EXPECT_TRUE(outcome.gone.empty());
    EXPECT_TRUE(BackupFiles().empty());
    EXPECT_TRUE(platform.HasValue(kHkeyCurrentUser, "Software\\Vendor\\App", "Path"));
    EXPECT_TRUE(platform.HasKey(kHkeyLocalMachine, "Software\\Other"));
}

TEST_F(RegistryChangeTest, ABackupFolderThatCannotBeMadeDeletesNothing)
{
    platform.FailDirectoryCreation(true);
    const DeleteOutcome outcome = Delete({KeyRow("HKEY_LOCAL_MACHINE", "Software\\Other")});
    EXPECT_EQ(ChangeStatus::BackupFailed, outcome.status);
    EXPECT_TRUE(platform.HasKey(kHkeyLocalMachine, "Software\\Other"));

    ChangeBackup none{"", "Auto"};
    const DeleteOutcome noFolder =
        DeleteEntries(platform, {KeyRow("HKEY_LOCAL_MACHINE", "Software\\Other")}, none, nullptr, nullptr);
    EXPECT_EQ(ChangeStatus::BackupFailed, noFolder.status);
    EXPECT_TRUE(platform.HasKey(kHkeyLocalMachine, "Software\\Other"));
}

TEST_F(RegistryChangeTest, AnEntryTheRegistryRefusesToDeleteIsReportedAndTheRestIsDeleted)
{
    platform.SetKeyFaults(kHkeyLocalMachine, "Software\\Other", kDenyDelete);
    const DeleteOutcome outcome = Delete({KeyRow("HKEY_LOCAL_MACHINE", "Software\\Other"),
                                          ValueRow("HKEY_CURRENT_USER", "Software\\Vendor\\App", "Path")});

    EXPECT_EQ(ChangeStatus::Incomplete, outcome.status);
    EXPECT_EQ((std::vector<std::size_t>{0}), outcome.remaining);
    EXPECT_EQ((std::vector<long>{kResultAccessDenied}), outcome.remainingResults);
    EXPECT_EQ((std::vector<std::size_t>{1}), outcome.gone);
    EXPECT_FALSE(outcome.backupPath.empty());
    EXPECT_TRUE(platform.HasKey(kHkeyLocalMachine, "Software\\Other"));
}

TEST_F(RegistryChangeTest, AValueWhoseKeyDeniesWritingStaysAndIsReported)
{
    platform.SetKeyFaults(kHkeyCurrentUser, "Software\\Vendor\\App", kDenyWrite);
    const DeleteOutcome outcome = Delete({ValueRow("HKEY_CURRENT_USER", "Software\\Vendor\\App", "Path")});
    EXPECT_EQ(ChangeStatus::Incomplete, outcome.status);
    EXPECT_EQ((std::vector<std::size_t>{0}), outcome.remaining);
    EXPECT_EQ((std::vector<long>{kResultAccessDenied}), outcome.remainingResults);
    EXPECT_TRUE(platform.HasValue(kHkeyCurrentUser, "Software\\Vendor\\App", "Path"));
}

namespace {

struct Vanish {
    MemoryPlatform* platform;
    ChangePhase phase;
    std::size_t index;
    std::string keyPath;
    bool done = false;
};

// Deletes a key behind the operation's back, as another program would.
void VanishKey(ChangePhase phase, std::size_t index, void* context)
{
    auto* vanish = static_cast<Vanish*>(context);
    if (vanish->done || phase != vanish->phase || index != vanish->index)
        return;
    KeyHandle parent = kNoKey;
    const std::size_t slash = vanish->keyPath.rfind('\\');
    vanish->platform->OpenKey(RootHandle(kHkeyCurrentUser), vanish->keyPath.substr(0, slash), &parent);
    vanish->platform->DeleteKeyTree(parent, vanish->keyPath.substr(slash + 1));
    vanish->platform->CloseKey(parent);
    vanish->done = true;
}

} // namespace

TEST_F(RegistryChangeTest, AKeyThatVanishesBetweenBackupAndDeletionCountsAsGone)
{
    Vanish vanish{&platform, ChangePhase::Change, 0, "Software\\Vendor\\App\\Sub"};
    const DeleteOutcome outcome = Delete({ValueRow("HKEY_CURRENT_USER", "Software\\Vendor\\App", "Path"),
                                          KeyRow("HKEY_CURRENT_USER", "Software\\Vendor\\App\\Sub")},
                                         VanishKey, &vanish);
    ASSERT_TRUE(vanish.done);
    EXPECT_EQ(ChangeStatus::Done, outcome.status);
    EXPECT_EQ((std::vector<std::size_t>{0, 1}), outcome.gone);
    // The backup still holds the key as it was before it vanished.
    EXPECT_NE(std::string::npos,
              BackupText(outcome.backupPath).find("[HKEY_CURRENT_USER\\Software\\Vendor\\App\\Sub]\r\n"
                                                            "\"Count\"=dword:00000007"));
}

TEST_F(RegistryChangeTest, AKeyThatVanishesBeforeTheBackupLeavesACompleteBackupOfTheRest)
{
    Vanish vanish{&platform, ChangePhase::Backup, 0, "Software\\Vendor\\App\\Sub"};
    const DeleteOutcome outcome = Delete({KeyRow("HKEY_CURRENT_USER", "Software\\Vendor\\App\\Sub"),
                                          ValueRow("HKEY_CURRENT_USER", "Software\\Vendor\\App", "Keep")},
                                         VanishKey, &vanish);
    EXPECT_EQ(ChangeStatus::Done, outcome.status);
    const std::string content = BackupText(outcome.backupPath);
    EXPECT_EQ(std::string::npos, content.find("Sub]"));
    EXPECT_NE(std::string::npos, content.find("\"Keep\"=\"stays\""));
}

TEST_F(RegistryChangeTest, AValueBelowAKeyDeletedEarlierInTheSelectionCountsAsGone)
{
    const DeleteOutcome outcome = Delete({KeyRow("HKEY_CURRENT_USER", "Software\\Vendor\\App"),
                                          ValueRow("HKEY_CURRENT_USER", "Software\\Vendor\\App\\Sub", "Count", 4)});
    EXPECT_EQ(ChangeStatus::Done, outcome.status);
    EXPECT_EQ((std::vector<std::size_t>{0, 1}), outcome.gone);
}

TEST_F(RegistryChangeTest, EditingWritesTheWholeTextOfAnyLengthAfterBackingUpTheFormerData)
{
    const std::string longText(70000, 'x');
    const EditOutcome outcome = EditStringValue(
        platform, ValueRow("HKEY_CURRENT_USER", "Software\\Vendor\\App", "Keep"), "Keep", longText, backup);

    EXPECT_EQ(ChangeStatus::Done, outcome.status);
    std::uint32_t type = 0;
    std::string bytes;
    ASSERT_TRUE(platform.ReadValue(kHkeyCurrentUser, "Software\\Vendor\\App", "Keep", &type, &bytes));
    EXPECT_EQ(kRegSz, type);
    EXPECT_EQ(Sz(longText), bytes);
    EXPECT_EQ("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Vendor\\App]\r\n\"Keep\"=\"stays\"\r\n",
              BackupText(outcome.backupPath));
}

TEST_F(RegistryChangeTest, ARenameThatChangesOnlyTheCaseKeepsTheValueAndItsData)
{
    const EditOutcome outcome = EditStringValue(
        platform, ValueRow("HKEY_CURRENT_USER", "Software\\Vendor\\App", "Keep"), "KEEP", "stays", backup);

    EXPECT_EQ(ChangeStatus::Done, outcome.status);
    EXPECT_EQ((std::vector<std::string>{"Path", "KEEP"}),
              platform.ValueNames(kHkeyCurrentUser, "Software\\Vendor\\App"));
    std::uint32_t type = 0;
    std::string bytes;
    ASSERT_TRUE(platform.ReadValue(kHkeyCurrentUser, "Software\\Vendor\\App", "KEEP", &type, &bytes));
    EXPECT_EQ(Sz("stays"), bytes);
}

TEST_F(RegistryChangeTest, ARenameOntoAnotherValueReplacesItAfterBackingUpBoth)
{
    const EditOutcome outcome = EditStringValue(
        platform, ValueRow("HKEY_CURRENT_USER", "Software\\Vendor\\App", "Keep"), "Path", "new", backup);

    EXPECT_EQ(ChangeStatus::Done, outcome.status);
    EXPECT_EQ((std::vector<std::string>{"Path"}), platform.ValueNames(kHkeyCurrentUser, "Software\\Vendor\\App"));
    const std::string content = BackupText(outcome.backupPath);
    EXPECT_NE(std::string::npos, content.find("\"Keep\"=\"stays\""));
    EXPECT_NE(std::string::npos, content.find("\"Path\"=\"C:\\\\gone.exe\""));
}

TEST_F(RegistryChangeTest, ARenameWritesTheNewNameAndRemovesTheFormerOne)
{
    const EditOutcome outcome = EditStringValue(
        platform, ValueRow("HKEY_CURRENT_USER", "Software\\Vendor\\App", "Keep"), "", "default now", backup);
    EXPECT_EQ(ChangeStatus::Done, outcome.status);
    EXPECT_FALSE(platform.HasValue(kHkeyCurrentUser, "Software\\Vendor\\App", "Keep"));
    EXPECT_TRUE(platform.HasValue(kHkeyCurrentUser, "Software\\Vendor\\App", ""));
}

TEST_F(RegistryChangeTest, AWriteTheRegistryRefusesLeavesTheFormerValueAsItWas)
{
    platform.SetKeyFaults(kHkeyCurrentUser, "Software\\Vendor\\App", kDenyWrite);
    for (const std::string& newName : {std::string("Keep"), std::string("KEEP"), std::string("Other")}) {
        const EditOutcome outcome = EditStringValue(
            platform, ValueRow("HKEY_CURRENT_USER", "Software\\Vendor\\App", "Keep"), newName, "changed", backup);
        EXPECT_EQ(ChangeStatus::WriteFailed, outcome.status) << newName;
        EXPECT_EQ(kResultAccessDenied, outcome.result) << newName;
        std::uint32_t type = 0;
        std::string bytes;
        ASSERT_TRUE(platform.ReadValue(kHkeyCurrentUser, "Software\\Vendor\\App", "Keep", &type, &bytes));
        EXPECT_EQ(Sz("stays"), bytes) << newName;
        EXPECT_EQ((std::vector<std::string>{"Path", "Keep"}),
                  platform.ValueNames(kHkeyCurrentUser, "Software\\Vendor\\App"));
    }
}

TEST_F(RegistryChangeTest, AnEditWithoutACompleteBackupChangesNothing)
{
    platform.FailFileCreation(std::string(kFolder) + "\\2026-12-07 10-11-12(Auto).reg");
    const EditOutcome outcome = EditStringValue(
        platform, ValueRow("HKEY_CURRENT_USER", "Software\\Vendor\\App", "Keep"), "Renamed", "changed", backup);
    EXPECT_EQ(ChangeStatus::BackupFailed, outcome.status);
    EXPECT_EQ((std::vector<std::string>{"Path", "Keep"}),
              platform.ValueNames(kHkeyCurrentUser, "Software\\Vendor\\App"));
}

TEST_F(RegistryChangeTest, EditingAValueThatIsGoneOrAKeyRowCreatesNothing)
{
    EXPECT_EQ(ChangeStatus::WriteFailed,
              EditStringValue(platform, ValueRow("HKEY_CURRENT_USER", "Software\\Vendor\\App", "Gone"), "Gone",
                              "x", backup)
                  .status);
    EXPECT_FALSE(platform.HasValue(kHkeyCurrentUser, "Software\\Vendor\\App", "Gone"));
    EXPECT_EQ(ChangeStatus::WriteFailed,
              EditStringValue(platform, KeyRow("HKEY_CURRENT_USER", "Software\\Vendor\\App"), "", "x", backup)
                  .status);
    EXPECT_EQ(ChangeStatus::WriteFailed,
              EditStringValue(platform, ValueRow("HKEY_NOWHERE", "Software", "Keep"), "Keep", "x", backup).status);
    EXPECT_TRUE(BackupFiles().empty());
}

// Every value an edit would change or replace must be read whole before
// anything happens: one that exists but cannot be read has no backup, so the
// edit fails as a backup does and changes nothing.
TEST_F(RegistryChangeTest, AnEditTouchingAValueThatCannotBeReadWholeChangesNothing)
{
    struct Case {
        const char* what;
        const char* unreadable;   // the value made unreadable
        const char* row;          // the value edited
        const char* newName;
    };
    const Case cases[] = {
        {"rename onto an unreadable value", "Path", "Keep", "Path"},
        {"rename onto it in another case", "Path", "Keep", "PATH"},
        {"edit of an unreadable value in place", "Path", "Path", "Path"},
        {"rename of an unreadable value", "Path", "Path", "Renamed"},
    };
    for (const Case& c : cases) {
        platform.MakeValueOversized(kHkeyCurrentUser, "Software\\Vendor\\App", c.unreadable);

        const EditOutcome outcome = EditStringValue(
            platform, ValueRow("HKEY_CURRENT_USER", "Software\\Vendor\\App", c.row), c.newName, "changed", backup);

        EXPECT_EQ(ChangeStatus::BackupFailed, outcome.status) << c.what;
        EXPECT_TRUE(outcome.backupPath.empty()) << c.what;
        EXPECT_TRUE(BackupFiles().empty()) << c.what;
        EXPECT_EQ((std::vector<std::string>{"Path", "Keep"}),
                  platform.ValueNames(kHkeyCurrentUser, "Software\\Vendor\\App"))
            << c.what;
        std::uint32_t type = 0;
        std::string bytes;
        ASSERT_TRUE(platform.ReadValue(kHkeyCurrentUser, "Software\\Vendor\\App", "Path", &type, &bytes)) << c.what;
        EXPECT_EQ(Sz("C:\\gone.exe"), bytes) << c.what;
        ASSERT_TRUE(platform.ReadValue(kHkeyCurrentUser, "Software\\Vendor\\App", "Keep", &type, &bytes)) << c.what;
        EXPECT_EQ(Sz("stays"), bytes) << c.what;
    }
}

// A value held by a root key itself (listed with an empty key path) is backed
// up under the root's own key line and then deleted, edited or renamed like
// any other; the keys below the root stay as they are.
TEST_F(RegistryChangeTest, AValueOfARootKeyIsBackedUpThenChanged)
{
    enum class Action { Delete, Edit, Rename };
    struct Case {
        const char* rootName;
        RootKey root;
        Action action;
        const char* keyLine;
    };
    const Case cases[] = {
        {"HKEY_CURRENT_USER", kHkeyCurrentUser, Action::Delete, "[HKEY_CURRENT_USER]"},
        {"hkey_local_machine", kHkeyLocalMachine, Action::Delete, "[HKEY_LOCAL_MACHINE]"},
        {"HKEY_USERS", kHkeyUsers, Action::Edit, "[HKEY_USERS]"},
        {"HKEY_CURRENT_USER", kHkeyCurrentUser, Action::Rename, "[HKEY_CURRENT_USER]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.rootName) + " " + std::to_string(static_cast<int>(c.action)));
        platform.AddString(c.root, "", "Stray", "planted");
        platform.AddString(c.root, "Software\\Vendor", "Stray", "below");
        const RegistryItem row = ValueRow(c.rootName, "", "Stray");

        ChangeStatus status = ChangeStatus::NothingToDo;
        std::string backupPath;
        if (c.action == Action::Delete) {
            const DeleteOutcome outcome = Delete({row});
            status = outcome.status;
            backupPath = outcome.backupPath;
            EXPECT_EQ((std::vector<std::size_t>{0}), outcome.gone);
            EXPECT_FALSE(platform.HasValue(c.root, "", "Stray"));
        } else {
            const char* newName = c.action == Action::Edit ? "Stray" : "Renamed";
            const EditOutcome outcome = EditStringValue(platform, row, newName, "changed", backup);
            status = outcome.status;
            backupPath = outcome.backupPath;
            std::uint32_t type = 0;
            std::string bytes;
            ASSERT_TRUE(platform.ReadValue(c.root, "", newName, &type, &bytes));
            EXPECT_EQ(Sz("changed"), bytes);
            EXPECT_EQ(c.action == Action::Edit, platform.HasValue(c.root, "", "Stray"));
        }
        EXPECT_EQ(ChangeStatus::Done, status);
        ASSERT_FALSE(backupPath.empty());
        EXPECT_EQ("Windows Registry Editor Version 5.00\r\n\r\n" + std::string(c.keyLine) +
                      "\r\n\"Stray\"=\"planted\"\r\n",
                  BackupText(backupPath));
        EXPECT_TRUE(platform.HasValue(c.root, "Software\\Vendor", "Stray"));
        EXPECT_TRUE(platform.HasKey(c.root, "Software\\Vendor"));
        platform.RemoveFile(backupPath);
    }

    // A value row of no root key names nothing that could be backed up.
    const DeleteOutcome nowhere = Delete({ValueRow("HKEY_NOWHERE", "", "Stray")});
    EXPECT_EQ(ChangeStatus::Refused, nowhere.status);
    EXPECT_EQ((std::vector<std::string>{"HKEY_NOWHERE\\"}), nowhere.refusedKeys);
    EXPECT_TRUE(BackupFiles().empty());
}

// Every view of the keys that hold all class registrations, in every root
// and both registry views, is refused in any case of its letters; the keys
// beside and below them are not.
TEST_F(RegistryChangeTest, EveryViewOfTheClassRegistrationKeysIsRefused)
{
    struct Case {
        const char* rootName;
        const char* keyPath;
        bool refused;
    };
    const Case cases[] = {
        {"HKEY_CLASSES_ROOT", "CLSID", true},
        {"HKEY_CLASSES_ROOT", "WOW6432Node\\CLSID", true},
        {"HKEY_CLASSES_ROOT", "wow6432node\\clsid", true},
        {"HKEY_LOCAL_MACHINE", "SOFTWARE\\Classes", true},
        {"HKEY_LOCAL_MACHINE", "SOFTWARE\\Classes\\CLSID", true},
        {"HKEY_LOCAL_MACHINE", "SOFTWARE\\Classes\\Wow6432Node", true},
        {"HKEY_LOCAL_MACHINE", "SOFTWARE\\Classes\\Wow6432Node\\CLSID", true},
        {"HKEY_LOCAL_MACHINE", "SOFTWARE\\WOW6432Node\\Classes", true},
        {"HKEY_LOCAL_MACHINE", "SOFTWARE\\WOW6432Node\\Classes\\CLSID", true},
        {"HKEY_LOCAL_MACHINE", "software\\wow6432node\\classes\\clsid", true},
        {"HKEY_CURRENT_USER", "Software\\Classes\\WOW6432Node\\CLSID", true},
        {"HKEY_CURRENT_USER", "Software\\WOW6432Node\\Classes", true},
        {"HKEY_USERS", "S-1-5-21-1000\\Software\\Classes", true},
        {"HKEY_USERS", "S-1-5-21-1000\\Software\\Classes\\CLSID", true},
        {"HKEY_USERS", ".DEFAULT\\software\\classes\\clsid", true},
        {"HKEY_USERS", "S-1-5-21-1000\\Software\\WOW6432Node\\Classes\\CLSID", true},
        {"HKEY_USERS", "S-1-5-21-1000_Classes\\CLSID", true},
        {"HKEY_USERS", "S-1-5-21-1000_CLASSES\\clsid", true},
        {"HKEY_USERS", "S-1-5-21-1000_Classes\\Wow6432Node", true},
        {"HKEY_USERS", "S-1-5-21-1000_Classes\\Wow6432Node\\CLSID", true},
        {"HKEY_USERS", "S-1-5-21-1000_Classes", true},
        {"HKEY_CLASSES_ROOT", "CLSID\\{00000000-0000-0000-0000-000000000001}", false},
        {"HKEY_CLASSES_ROOT", "WOW6432Node\\CLSID\\{00000000-0000-0000-0000-000000000001}", false},
        {"HKEY_CLASSES_ROOT", "WOW6432Node\\.abc", false},
        {"HKEY_LOCAL_MACHINE", "SOFTWARE\\WOW6432Node\\Classes\\CLSID\\{x}", false},
        {"HKEY_LOCAL_MACHINE", "SOFTWARE\\WOW6432Node\\Vendor", false},
        {"HKEY_LOCAL_MACHINE", "SOFTWARE\\Vendor\\CLSID", false},
        {"HKEY_LOCAL_MACHINE", "SOFTWARE\\Classes\\WOW6432Node\\.abc", false},
        {"HKEY_CURRENT_USER", "Software\\Vendor\\Classes", false},
        {"HKEY_USERS", "S-1-5-21-1000\\CLSID", false},
        {"HKEY_USERS", "S-1-5-21-1000\\Software\\Vendor", false},
        {"HKEY_USERS", "S-1-5-21-1000_Classes\\CLSID\\{x}", false},
        {"HKEY_USERS", "S-1-5-21-1000_Classes\\.abc", false},
        {"HKEY_USERS", "_Classes2\\CLSID", false},
        {"HKEY_USERS", "S-1-5-21-1000\\Software\\Classes\\\u0421LSID", false},
    };
    for (const Case& c : cases) {
        const std::string full = std::string(c.rootName) + "\\" + c.keyPath;
        EXPECT_EQ(c.refused ? std::vector<std::string>{full} : std::vector<std::string>{},
                  ProtectedEntries(platform, {KeyRow(c.rootName, c.keyPath)}))
            << full;
    }

    // The deletion of a selection holding one of them touches nothing.
    platform.AddString(kHkeyUsers, "S-1-5-21-1000_Classes\\CLSID\\{x}", "", "server");
    const DeleteOutcome outcome = Delete({KeyRow("HKEY_USERS", "S-1-5-21-1000_Classes\\CLSID"),
                                          ValueRow("HKEY_CURRENT_USER", "Software\\Vendor\\App", "Path")});
    EXPECT_EQ(ChangeStatus::Refused, outcome.status);
    EXPECT_TRUE(platform.HasKey(kHkeyUsers, "S-1-5-21-1000_Classes\\CLSID\\{x}"));
    EXPECT_TRUE(platform.HasValue(kHkeyCurrentUser, "Software\\Vendor\\App", "Path"));
}
