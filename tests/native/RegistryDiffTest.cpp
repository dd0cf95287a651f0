// What changed since a backup, on the in-memory platform: the comparison's
// rules (each kind, keys held whole or not, case, types, the terminating zero,
// volatile keys, a stop), the undo through the change operation with faults,
// and the CSV and undo REG exports.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "core/RegWriter.h"
#include "core/RegistryDiff.h"
#include "core/RestoreCheck.h"
#include "core/Unicode.h"
#include "tests/support/MemoryPlatform.h"

namespace {

constexpr const char* kFolder = "C:\\Prog\\Data\\Quorvane\\Backup";
constexpr RootKey kCu = kHkeyCurrentUser;

// Vendor is a bare key line (saved whole with everything below it); Other
// holds only a value row.
constexpr const char* kBackup = "Windows Registry Editor Version 5.00\r\n\r\n"
                                "[HKEY_CURRENT_USER\\Software\\Vendor]\r\n\r\n"
                                "[HKEY_CURRENT_USER\\Software\\Vendor\\App]\r\n"
                                "\"Path\"=\"C:\\\\app.exe\"\r\n"
                                "\"Count\"=dword:00000007\r\n"
                                "\"Raw\"=hex(1):61,00\r\n\r\n"
                                "[HKEY_CURRENT_USER\\Software\\Vendor\\App\\Sub]\r\n"
                                "\"Name\"=\"x\"\r\n\r\n"
                                "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
                                "\"Cmd\"=\"run\"\r\n\r\n"
                                "[HKEY_CURRENT_USER\\Volatile Environment]\r\n"
                                "\"Home\"=\"C:\\\\\"\r\n";

// The registry as the backup holds it; the terminating zero of "Raw" is the
// one the registry editor adds.
void Seed(MemoryPlatform& p)
{
    p.AddKey(kCu, "Software\\Vendor");
    p.AddString(kCu, "Software\\Vendor\\App", "Path", "C:\\app.exe");
    p.AddDword(kCu, "Software\\Vendor\\App", "Count", 7);
    p.AddValue(kCu, "Software\\Vendor\\App", "Raw", kRegSz, std::string("a\0\0\0", 4));
    p.AddString(kCu, "Software\\Vendor\\App\\Sub", "Name", "x");
    p.AddString(kCu, "Software\\Other", "Cmd", "run");
    p.AddString(kCu, "Volatile Environment", "Home", "C:\\");
    p.SetKeyVolatile(kCu, "Volatile Environment", true);
}

RegFileContent ReadText(MemoryPlatform& p, const std::string& text)
{
    return ReadRegFile(p, "\xFF\xFE" + Utf8ToUtf16LeBytes(text));
}

std::string Describe(const DiffEntry& entry)
{
    static const char* const kKinds[] = {"Removed", "Changed", "Added"};
    std::string text = std::string(kKinds[static_cast<int>(entry.kind)]) + " " + entry.keyPath;
    return entry.isValue ? text + " \"" + entry.valueName + "\"" : text;
}

class RegistryDiffTest : public ::testing::Test {
protected:
    void SetUp() override { Seed(platform); }

    DiffOutcome Compare() { return CompareWithRegistry(platform, ReadText(platform, kBackup), DiffScope::SavedKeys, nullptr, nullptr, nullptr); }

    static std::vector<std::string> Described(const DiffOutcome& outcome)
    {
        std::vector<std::string> texts;
        for (const DiffEntry& entry : outcome.entries)
            texts.push_back(Describe(entry));
        return texts;
    }

    void DeleteKey(const std::string& parent, const std::string& name)
    {
        KeyHandle key = kNoKey;
        platform.OpenKey(RootHandle(kCu), parent, &key);
        platform.DeleteKeyTree(key, name);
        platform.CloseKey(key);
    }

    MemoryPlatform platform;
    ChangeBackup backup{kFolder, "Auto"};
};

} // namespace

TEST_F(RegistryDiffTest, ListsEachKindOfChangeWhereTheBackupSpeaksForIt)
{
    struct Case {
        const char* name;
        std::function<void(MemoryPlatform&)> change;
        std::vector<std::string> savedKeys;    // expected with DiffScope::SavedKeys
        std::vector<std::string> wholeRoots;   // expected with DiffScope::WholeRoots
    };
    const std::vector<Case> cases{
        {"nothing", [](MemoryPlatform&) {}, {}, {}},
        {"names in another case",
         [](MemoryPlatform& p) { p.AddString(kCu, "SOFTWARE\\vendor\\APP", "PATH", "C:\\app.exe"); }, {}, {}},
        {"data", [](MemoryPlatform& p) { p.AddDword(kCu, "Software\\Vendor\\App", "Count", 8); },
         {"Changed Software\\Vendor\\App \"Count\""}, {"Changed Software\\Vendor\\App \"Count\""}},
        {"type only",
         [](MemoryPlatform& p) { p.AddValue(kCu, "Software\\Vendor\\App", "Count", kRegBinary, "\x07\0\0\0"); },
         {"Changed Software\\Vendor\\App \"Count\""}, {"Changed Software\\Vendor\\App \"Count\""}},
        {"text with a zero the file did not give",
         [](MemoryPlatform& p) { p.AddValue(kCu, "Software\\Vendor\\App", "Raw", kRegSz, std::string("a\0", 2)); },
         {}, {}},
        {"a value and a key added where the backup held the key whole",
         [](MemoryPlatform& p) {
             p.AddString(kCu, "Software\\Vendor\\App\\Sub", "New", "n");
             p.AddString(kCu, "Software\\Vendor\\Fresh\\Deep", "v", "d");
         },
         {"Added Software\\Vendor\\App\\Sub \"New\"", "Added Software\\Vendor\\Fresh"},
         {"Added Software\\Vendor\\App\\Sub \"New\"", "Added Software\\Vendor\\Fresh"}},
        {"added beside a value row and beside the saved keys",
         [](MemoryPlatform& p) {
             p.AddString(kCu, "Software\\Other", "Extra", "e");
             p.AddKey(kCu, "Software\\Elsewhere");
         },
         {}, {"Added Software\\Elsewhere", "Added Software\\Other \"Extra\""}},
        {"a value and a whole key removed",
         [](MemoryPlatform& p) {
             KeyHandle key = kNoKey;
             p.OpenKey(RootHandle(kCu), "Software\\Vendor\\App", &key);
             p.DeleteValue(key, "Path");
             p.DeleteKeyTree(key, "Sub");
             p.CloseKey(key);
         },
         {"Removed Software\\Vendor\\App \"Path\"", "Removed Software\\Vendor\\App\\Sub"},
         {"Removed Software\\Vendor\\App \"Path\"", "Removed Software\\Vendor\\App\\Sub"}},
        {"changes in a volatile key",
         [](MemoryPlatform& p) {
             p.AddString(kCu, "Volatile Environment", "Home", "D:\\");
             p.AddKey(kCu, "Volatile Environment\\1");
         },
         {}, {}},
    };
    for (const Case& test : cases) {
        for (const DiffScope scope : {DiffScope::SavedKeys, DiffScope::WholeRoots}) {
            MemoryPlatform p;
            Seed(p);
            test.change(p);
            const DiffOutcome outcome = CompareWithRegistry(p, ReadText(p, kBackup), scope, nullptr, nullptr, nullptr);
            const std::vector<std::string> expected =
                scope == DiffScope::SavedKeys ? test.savedKeys : test.wholeRoots;
            std::vector<std::string> found = Described(outcome);
            std::sort(found.begin(), found.end());
            EXPECT_EQ(expected, found) << test.name << (scope == DiffScope::SavedKeys ? " (saved keys)" : " (whole)");
            EXPECT_FALSE(outcome.stopped);
            if (std::string(test.name) == "changes in a volatile key") {
                EXPECT_EQ(scope == DiffScope::SavedKeys ? 1u : 2u, outcome.volatileCount) << test.name;
            }
            // Every key and value of the file once, also those of a removed key.
            if (std::string(test.name) == "nothing" || std::string(test.name) == "a value and a whole key removed") {
                EXPECT_EQ(11u, outcome.comparedCount) << test.name;
            }
        }
    }
}

TEST_F(RegistryDiffTest, AnAutomaticBackupOfValueRowsNeverListsAddedEntries)
{
    MemoryPlatform& p = platform;
    const std::string path = std::string(kFolder) + "\\auto.reg";
    p.AddFolder(kFolder);
    ASSERT_TRUE(WriteRegFile(p, p, p,
                             {{"HKEY_CURRENT_USER", "Software\\Other", "Cmd", 1},
                              {"HKEY_CURRENT_USER", "Software\\Vendor", "", -1}},
                             path, nullptr, nullptr)
                    .complete);
    const RegFileContent content = ReadRegFile(p, p.FileContent(path));
    p.AddString(kCu, "Software\\Other", "Later", "l");              // beside the value row: not the backup's business
    p.AddString(kCu, "Software\\Vendor\\App\\Sub", "Later", "l");   // below the key row, saved whole
    p.AddKey(kCu, "Software\\Vendor\\App\\Sub\\Child");

    const DiffOutcome outcome = CompareWithRegistry(p, content, DiffScopeOfFile(path, "Full"), nullptr, nullptr, nullptr);
    const std::vector<std::string> expected{"Added Software\\Vendor\\App\\Sub \"Later\"",
                                            "Added Software\\Vendor\\App\\Sub\\Child"};
    EXPECT_EQ(expected, Described(outcome));
    // Read with the key lines the writer repeats before each value joined:
    // fewer entries, the same differences.
    const RegFileContent joined = ReadRegFileJoined(p, p.FileContent(path));
    EXPECT_LT(joined.keys.size(), content.keys.size());
    EXPECT_EQ(expected, Described(CompareWithRegistry(p, joined, DiffScope::SavedKeys, nullptr, nullptr, nullptr)));
    EXPECT_EQ(DiffScope::WholeRoots, DiffScopeOfFile("C:\\B (x)\\2026-12-07 10-11-12(Full).reg", "Full"));
    EXPECT_EQ(DiffScope::SavedKeys, DiffScopeOfFile("C:\\B\\2026-12-07 10-11-12(Auto).reg", "Full"));
    const std::string folder = std::string(kFolder) + "\\";
    EXPECT_EQ(DiffScope::WholeRoots,
              DiffScopeOfPath(p, "c:\\prog\\data\\quorvane\\backup\\2026-12-07 10-11-12(Full).reg", folder, "Full"));
    EXPECT_EQ(DiffScope::SavedKeys, DiffScopeOfPath(p, "C:\\Elsewhere\\2026-12-07 10-11-12(Full).reg", folder, "Full"));
    EXPECT_EQ(DiffScope::SavedKeys, DiffScopeOfPath(p, std::string(kFolder) + "\\sub\\x(Full).reg", folder, "Full"));
}

namespace {
void StopAtOnce(const std::string&, void* context)
{
    static_cast<std::atomic<bool>*>(context)->store(true);
}
} // namespace

TEST_F(RegistryDiffTest, AStopKeepsWhatWasFoundBeforeIt)
{
    std::atomic<bool> stop(false);
    platform.AddString(kCu, "", "Top", "changed");
    platform.AddDword(kCu, "Software\\Vendor\\App", "Count", 8);
    const DiffOutcome outcome =
        CompareWithRegistry(platform, ReadText(platform, std::string(kBackup) + "\r\n[HKEY_CURRENT_USER]\r\n\"Top\"=\"t\"\r\n"),
                            DiffScope::SavedKeys, StopAtOnce, &stop, &stop);
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ((std::vector<std::string>{"Changed  \"Top\""}), Described(outcome));
}

TEST_F(RegistryDiffTest, UndoPutsBackTheChosenEntriesAfterABackupOfWhatItChanges)
{
    platform.AddDword(kCu, "Software\\Vendor\\App", "Count", 8);
    platform.AddString(kCu, "Software\\Vendor\\Fresh", "v", "new");
    DeleteKey("Software\\Vendor\\App", "Sub");
    const DiffOutcome before = Compare();
    ASSERT_EQ(3u, before.entries.size());

    const UndoOutcome outcome = UndoDifferences(platform, before.entries, backup, nullptr, nullptr);
    EXPECT_EQ(ChangeStatus::Done, outcome.status);
    EXPECT_EQ((std::vector<std::size_t>{0, 1, 2}), outcome.verified);
    EXPECT_TRUE(Compare().entries.empty());
    // The backup holds what the undo deleted and overwrote.
    const RegFileContent saved = ReadRegFile(platform, platform.FileContent(outcome.backupPath));
    ASSERT_EQ(2u, saved.keys.size());
    EXPECT_EQ("Software\\Vendor\\Fresh", saved.keys[0].path);
    EXPECT_EQ("Software\\Vendor\\App", saved.keys[1].path);
    EXPECT_EQ(std::string("\x08\0\0\0", 4), saved.keys[1].values.at(0).data);
}

TEST_F(RegistryDiffTest, UndoChangesNothingWithoutABackupAndTellsWhatItCouldNotWrite)
{
    platform.AddDword(kCu, "Software\\Vendor\\App", "Count", 8);
    platform.AddString(kCu, "Software\\Vendor\\Fresh", "v", "new");
    DeleteKey("Software\\Vendor\\App", "Sub");
    const std::vector<DiffEntry> entries = Compare().entries;
    ASSERT_EQ(3u, entries.size());

    platform.FailDirectoryCreation(true);
    EXPECT_EQ(ChangeStatus::BackupFailed, UndoDifferences(platform, entries, backup, nullptr, nullptr).status);
    EXPECT_EQ(3u, Compare().entries.size());
    platform.FailDirectoryCreation(false);

    platform.SetKeyFaults(kCu, "Software\\Vendor\\App", kDenyWrite | kDenyCreate);
    const UndoOutcome outcome = UndoDifferences(platform, entries, backup, nullptr, nullptr);
    EXPECT_EQ(ChangeStatus::Incomplete, outcome.status);
    EXPECT_EQ((std::vector<std::size_t>{0}), outcome.verified);        // the added key, deleted
    EXPECT_EQ((std::vector<std::size_t>{1, 2}), outcome.notVerified);  // a value not writable, a key not creatable
    EXPECT_FALSE(platform.HasKey(kCu, "Software\\Vendor\\App\\Sub"));

    DiffEntry topKey = entries[0];
    topKey.keyPath = "Software";
    const UndoOutcome refused = UndoDifferences(platform, {entries[1], topKey}, backup, nullptr, nullptr);
    EXPECT_EQ(ChangeStatus::Refused, refused.status);
    EXPECT_EQ((std::vector<std::string>{"HKEY_CURRENT_USER\\Software"}), refused.refusedKeys);
}

TEST_F(RegistryDiffTest, ExportsTheRowsAsCsvAndAsARegFileThatTurnsThemBack)
{
    platform.AddDword(kCu, "Software\\Vendor\\App", "Count", 8);
    platform.AddString(kCu, "Software\\Vendor\\Fresh", "v", "new");
    DeleteKey("Software\\Vendor\\App", "Sub");
    const std::vector<DiffEntry> entries = Compare().entries;

    const DiffTexts texts{"Removed", "Changed", "Added"};
    ASSERT_EQ(CsvReportStatus::Written,
              WriteDiffCsvReport(platform, "C:\\d.csv", {"C", "R", "K", "N", "T", "B", "N"}, entries, texts));
    EXPECT_EQ("\xEF\xBB\xBF"
              "C,R,K,N,T,B,N\r\n"
              "Added,HKEY_CURRENT_USER,Software\\Vendor\\Fresh,,,,\r\n"
              "Changed,HKEY_CURRENT_USER,Software\\Vendor\\App,Count,REG_DWORD,0x00000007 (7),0x00000008 (8)\r\n"
              "Removed,HKEY_CURRENT_USER,Software\\Vendor\\App\\Sub,,,,\r\n",
              platform.FileContent("C:\\d.csv"));

    // Merged, the undo file leaves the registry as the backup holds it: the
    // restore check of it finds every entry wanting now, and none after the
    // undo.
    ASSERT_TRUE(WriteDiffUndoRegFile(platform, "C:\\undo.reg", entries));
    const RegFileContent undo = ReadRegFile(platform, platform.FileContent("C:\\undo.reg"));
    EXPECT_TRUE(undo.refusedLines.empty());
    EXPECT_EQ(4u, CheckRestoredEntries(platform, platform, undo, "(Default)").size());
    ASSERT_EQ(ChangeStatus::Done, UndoDifferences(platform, entries, backup, nullptr, nullptr).status);
    EXPECT_TRUE(CheckRestoredEntries(platform, platform, undo, "(Default)").empty());

    platform.FailFileWritesAfter("C:\\broken.reg", 10);
    EXPECT_FALSE(WriteDiffUndoRegFile(platform, "C:\\broken.reg", entries));
    EXPECT_FALSE(platform.HasFile("C:\\broken.reg"));
}
