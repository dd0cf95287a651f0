// What a run of the registry editor left behind: whether an export wrote its
// file, and the check of a merged file with its count of compared entries and
// the list of what did not come back.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/MemoryPlatform.h"
#include "core/EditorRun.h"

namespace {

FileStamp Stamp(bool exists, std::uint64_t size, std::uint64_t lastWrite)
{
    FileStamp stamp;
    stamp.exists = exists;
    stamp.size = size;
    stamp.lastWrite = lastWrite;
    return stamp;
}

TEST(EditorRunTest, AnExportCountsAsWrittenOnlyWhenThisRunChangedTheFile)
{
    const FileStamp missing;
    // A new file with content.
    EXPECT_TRUE(ExportWroteFile(missing, Stamp(true, 1200, 7)));
    // Nothing written at all.
    EXPECT_FALSE(ExportWroteFile(missing, missing));
    // An existing file the editor left alone is not this run's backup.
    EXPECT_FALSE(ExportWroteFile(Stamp(true, 1200, 7), Stamp(true, 1200, 7)));
    // Rewritten: a new time, or a new size within the same tick.
    EXPECT_TRUE(ExportWroteFile(Stamp(true, 1200, 7), Stamp(true, 1200, 8)));
    EXPECT_TRUE(ExportWroteFile(Stamp(true, 1200, 7), Stamp(true, 1300, 7)));
    // An empty file holds no backup, new or truncated.
    EXPECT_FALSE(ExportWroteFile(missing, Stamp(true, 0, 9)));
    EXPECT_FALSE(ExportWroteFile(Stamp(true, 1200, 7), Stamp(true, 0, 9)));
    // Removed by the run.
    EXPECT_FALSE(ExportWroteFile(Stamp(true, 1200, 7), missing));
}

// ASCII text as the editor writes a REG file: UTF-16 LE after FF FE.
std::string Utf16File(const std::string& text)
{
    std::string bytes = "\xFF\xFE";
    for (char c : text) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

const char kWholeExport[] = "Windows Registry Editor Version 5.00\r\n\r\n"
                            "[HKEY_CURRENT_USER\\Software\\App]\r\n"
                            "\"A\"=\"b\"\r\n"
                            "\"Bin\"=hex:01,02,\\\r\n"
                            "  03\r\n";

TEST(EditorRunTest, AnExportIsABackupOnlyWhenTheEditorSucceededAndTheFileReadsWhole)
{
    MemoryPlatform platform;
    const std::string whole = Utf16File(kWholeExport);
    const FileStamp missing;
    EditorOutcome succeeded;
    succeeded.started = true;
    succeeded.ended = true;
    EditorOutcome failed = succeeded;
    failed.exitCode = 1;
    EditorOutcome notStarted;
    EditorOutcome notWaitedFor;
    notWaitedFor.started = true;

    struct Case {
        const char* what;
        EditorOutcome editor;
        std::string bytes;
        bool backup;
    };
    const std::string cut = whole.substr(0, whole.size() - 8);   // in the middle of the last line
    const Case cases[] = {
        {"whole file, editor ended with 0", succeeded, whole, true},
        {"ANSI file with LF line ends", succeeded, "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\App]\n\"A\"=\"b\"\n",
         true},
        {"editor ended with an error", failed, whole, false},
        {"editor never started", notStarted, whole, false},
        {"editor not waited for", notWaitedFor, whole, false},
        {"last line cut off", succeeded, cut, false},
        {"cut inside a character", succeeded, whole.substr(0, whole.size() - 1), false},
        {"cut after a continued line", succeeded,
         Utf16File("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\App]\r\n"
                   "\"Bin\"=hex:01,02,\\\r\n"),
         false},
        {"header only", succeeded, Utf16File("Windows Registry Editor Version 5.00\r\n\r\n"), false},
        {"no header", succeeded, Utf16File("[HKEY_CURRENT_USER\\Software\\App]\r\n\"A\"=\"b\"\r\n"), false},
        {"a refused line", succeeded,
         Utf16File("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\App]\r\n"
                   "\"A\"=hex:zz\r\n\"B\"=\"b\"\r\n"),
         false},
    };
    for (const Case& c : cases) {
        FileStamp after;
        after.exists = true;
        after.size = c.bytes.size();
        after.lastWrite = 9;
        EXPECT_EQ(c.backup, ExportWroteBackup(missing, after, c.editor, platform, c.bytes)) << c.what;
    }
    // The file must also be this run's, and the bytes the ones stamped.
    FileStamp after;
    after.exists = true;
    after.size = whole.size();
    after.lastWrite = 9;
    EXPECT_FALSE(ExportWroteBackup(after, after, succeeded, platform, whole));
    FileStamp larger = after;
    larger.size += 2;
    EXPECT_FALSE(ExportWroteBackup(missing, larger, succeeded, platform, whole));
}

class VerifyRestoreTest : public ::testing::Test {
protected:
    RestoreVerification Verify(const std::string& bytes)
    {
        return VerifyRestore(platform, platform, bytes, "(Default)");
    }

    MemoryPlatform platform;
};

TEST_F(VerifyRestoreTest, CountsTheComparedEntriesAndListsNoProblemWhenAllCameBack)
{
    platform.AddString(kHkeyCurrentUser, "Software\\App", "Path", "C:\\App");
    platform.AddDword(kHkeyCurrentUser, "Software\\App\\Sub", "Count", 3);
    const RestoreVerification result = Verify("REGEDIT4\r\n\r\n"
                                              "[HKEY_CURRENT_USER\\Software\\App]\r\n"
                                              "\"Path\"=\"C:\\\\App\"\r\n"
                                              "[HKEY_CURRENT_USER\\Software\\App\\Sub]\r\n"
                                              "\"Count\"=dword:00000003\r\n"
                                              "[HKEY_CURRENT_USER]\r\n");
    EXPECT_TRUE(result.fileRead);
    // Two keys and two values; the root key is not counted.
    EXPECT_EQ(4u, result.checked);
    EXPECT_EQ(0u, result.ProblemCount());
}

TEST_F(VerifyRestoreTest, ListsMissingEntriesAndUnreadableLinesInFileOrder)
{
    platform.AddString(kHkeyCurrentUser, "Software\\App", "Kept", "yes");
    const RestoreVerification result = Verify("REGEDIT4\r\n\r\n"
                                              "[HKEY_CURRENT_USER\\Software\\App]\r\n"   // line 3
                                              "\"Kept\"=\"yes\"\r\n"
                                              "\"Lost\"=\"gone\"\r\n"                     // line 5
                                              "\"Broken\"=nonsense\r\n"                   // line 6
                                              "[HKEY_CURRENT_USER\\Software\\Gone]\r\n"  // line 7
                                              "@=\"x\"\r\n");                             // line 8
    EXPECT_TRUE(result.fileRead);
    EXPECT_EQ(5u, result.checked);
    ASSERT_EQ(3u, result.shortfalls.size());
    ASSERT_EQ(1u, result.refusedLines.size());
    EXPECT_EQ(6u, result.refusedLines[0].line);
    EXPECT_EQ(4u, result.ProblemCount());

    EXPECT_EQ("Not restored from a.reg:\r\n"
              "HKEY_CURRENT_USER\\Software\\App \"Lost\"\r\n"
              "Line 6 %d could not be read\r\n"
              "HKEY_CURRENT_USER\\Software\\Gone\r\n"
              "HKEY_CURRENT_USER\\Software\\Gone (Default)\r\n",
              RestoreProblemList("Not restored from a.reg:", result, "Line %d %d could not be read"));
}

TEST_F(VerifyRestoreTest, AFileWithoutHeaderIsNotChecked)
{
    const RestoreVerification result = Verify("[HKEY_CURRENT_USER\\Software\\App]\r\n\"A\"=\"b\"\r\n");
    EXPECT_FALSE(result.fileRead);
    EXPECT_EQ(0u, result.checked);
    EXPECT_TRUE(result.shortfalls.empty());
    EXPECT_EQ(1u, result.refusedLines.size());
}

TEST_F(VerifyRestoreTest, ADeletedKeyCountsOnceWhateverTheFileSetBelowIt)
{
    platform.AddKey(kHkeyCurrentUser, "Software\\Old");
    const RestoreVerification result = Verify("REGEDIT4\r\n\r\n"
                                              "[HKEY_CURRENT_USER\\Software\\Old\\Sub]\r\n"
                                              "\"A\"=\"b\"\r\n"
                                              "[-HKEY_CURRENT_USER\\Software\\Old]\r\n");
    EXPECT_EQ(1u, result.checked);
    ASSERT_EQ(1u, result.shortfalls.size());
    EXPECT_EQ(RestoreShortfallKind::kKeyStillPresent, result.shortfalls[0].kind);
}

} // namespace

TEST_F(VerifyRestoreTest, EntriesWindowsKeepsItselfAreCountedApartFromRealShortfalls)
{
    platform.SetKeyVolatile(kHkeyLocalMachine, "System\\Volatile", true);
    platform.AddDword(kHkeyLocalMachine, "System\\Volatile", "Linked", 0);
    platform.AddDword(kHkeyLocalMachine, "System\\Lasting", "Kept", 1);
    const RestoreVerification result = Verify("REGEDIT4\r\n\r\n"
                                              "[HKEY_LOCAL_MACHINE\\System\\Volatile]\r\n"
                                              "\"Linked\"=dword:00000001\r\n"
                                              "[HKEY_LOCAL_MACHINE\\System\\Lasting]\r\n"
                                              "\"Kept\"=dword:00000001\r\n");
    EXPECT_EQ(4u, result.checked);
    ASSERT_EQ(1u, result.keptBySystem.size());
    EXPECT_EQ("HKEY_LOCAL_MACHINE\\System\\Volatile \"Linked\"", result.keptBySystem[0].text);
    EXPECT_TRUE(result.shortfalls.empty());
    EXPECT_EQ(0u, result.ProblemCount());
    EXPECT_EQ(3u, result.VerifiedCount());

    // A real loss beside it still counts as one.
    platform.AddDword(kHkeyLocalMachine, "System\\Lasting", "Kept", 2);
    const RestoreVerification lost = Verify("REGEDIT4\r\n\r\n"
                                            "[HKEY_LOCAL_MACHINE\\System\\Volatile]\r\n"
                                            "\"Linked\"=dword:00000001\r\n"
                                            "[HKEY_LOCAL_MACHINE\\System\\Lasting]\r\n"
                                            "\"Kept\"=dword:00000001\r\n");
    EXPECT_EQ(1u, lost.ProblemCount());
    EXPECT_EQ(1u, lost.keptBySystem.size());
    EXPECT_EQ(2u, lost.VerifiedCount());
}
