// What changed since a backup, against the real registry under Wine: a
// backup of a scratch key written by the program's writer, then a key added,
// a value changed and a value deleted by the registry editor. The comparison
// lists exactly those three, the undo brings the key back to the backup's
// state, and the real program's /diff run reports them.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "GuiDriver.h"
#include "ProgramRun.h"
#include "RegistrySnapshot.h"
#include "RegistryScratch.h"
#include "core/RegWriter.h"
#include "core/RegistryDiff.h"
#include "core/Unicode.h"
#include "win32/Win32Platform.h"

namespace {

std::string Describe(const DiffEntry& entry, const std::string& top)
{
    static const char* const kKinds[] = {"Removed", "Changed", "Added"};
    std::string text = std::string(kKinds[static_cast<int>(entry.kind)]) + " " + entry.keyPath.substr(top.size());
    return entry.isValue ? text + " \"" + entry.valueName + "\"" : text;
}

std::size_t LineCount(const std::string& text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

TEST(RegistryDiffWineTest, ListsUndoesAndReportsWhatTheRegistryEditorChanged)
{
    ScratchRegistryKey scratch;
    ScratchFolder folder("C:\\");
    ProgramCopy copy("diff");
    ASSERT_TRUE(scratch.IsCreated() && folder.IsCreated());
    ASSERT_TRUE(scratch.SetString("App", "Path", "C:\\app.exe"));
    ASSERT_TRUE(scratch.SetValue("App", "Count", REG_DWORD, std::string("\x07\0\0\0", 4)));
    ASSERT_TRUE(scratch.SetString("App", "Gone", "soon"));
    ASSERT_TRUE(scratch.SetString("App\\Sub", "Name", "x"));

    Platform& platform = SystemPlatform();
    const std::string backupFile = folder.Path() + "backup.reg";
    ASSERT_TRUE(WriteRegFile(platform, platform, platform, {{"HKEY_CURRENT_USER", scratch.KeyPath(), "", -1}},
                             backupFile, nullptr, nullptr)
                    .complete);
    const RegistrySnapshot before = TakeRegistrySnapshot(HKEY_CURRENT_USER, scratch.KeyPath());

    const std::string key = "[" + scratch.FullPath();
    const std::string change = "Windows Registry Editor Version 5.00\r\n\r\n" + key + "\\Fresh]\r\n\"v\"=\"new\"\r\n\r\n" +
                               key + "\\App]\r\n\"Count\"=dword:00000008\r\n\"Gone\"=-\r\n";
    ASSERT_TRUE(MergeWithRegedit(folder.WriteTestFile("change.reg", "\xFF\xFE" + Utf8ToUtf16LeBytes(change))));

    const RegFileContent content = ReadRegFile(platform, ReadWholeFile(backupFile));
    const DiffOutcome outcome = CompareWithRegistry(platform, content, DiffScope::SavedKeys, nullptr, nullptr, nullptr);
    std::vector<std::string> found;
    for (const DiffEntry& entry : outcome.entries)
        found.push_back(Describe(entry, scratch.KeyPath()));
    std::sort(found.begin(), found.end());
    EXPECT_EQ((std::vector<std::string>{"Added \\Fresh", "Changed \\App \"Count\"", "Removed \\App \"Gone\""}), found);
    EXPECT_EQ(0u, outcome.volatileCount);
    EXPECT_EQ(0u, outcome.unreadableCount);

    // The real program's run: a report line for each and exit code 1.
    const std::string report = folder.Path() + "diff.csv";
    const std::string arguments = "/diff:\"" + backupFile + "\" /report:\"" + report + "\"";
    ProgramRun run = RunProgram(copy.Program(), arguments, RunConsole::Captured);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(1u, run.exitCode) << run.errors;
    EXPECT_EQ(4u, LineCount(ReadWholeFile(report)));

    const UndoOutcome undone = UndoDifferences(platform, outcome.entries,
                                               ChangeBackup{folder.Path() + "Backup", "Auto"}, nullptr, nullptr);
    EXPECT_EQ(ChangeStatus::Done, undone.status);
    EXPECT_EQ(3u, undone.verified.size());
    EXPECT_EQ("", DescribeSnapshotDifference(before, TakeRegistrySnapshot(HKEY_CURRENT_USER, scratch.KeyPath())));

    run = RunProgram(copy.Program(), arguments, RunConsole::Captured);
    EXPECT_EQ(0u, run.exitCode) << run.errors;
    EXPECT_EQ(1u, LineCount(ReadWholeFile(report)));
    run = RunProgram(copy.Program(), "/diff:\"" + folder.Path() + "none.reg\" /report:\"" + report + "\"",
                     RunConsole::Captured);
    EXPECT_EQ(3u, run.exitCode);
}
