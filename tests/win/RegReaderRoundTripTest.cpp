// The REG file reader and the restore check against the real registry
// editor: a backup the program wrote, merged back by the editor, checks out
// whole, and what is taken away afterwards is named; a UTF-16 export the
// editor wrote reads without a refused line, converts through the system's
// code page and checks out once merged back, and text the code page cannot
// spell is reported.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "RegistryScratch.h"
#include "RegistrySnapshot.h"
#include "core/EditorRun.h"
#include "core/RegReader.h"
#include "core/RegWriter.h"
#include "core/RestoreCheck.h"
#include "win32/Win32Platform.h"

namespace {

using Strings = std::vector<std::string>;

std::string Z(const char* text, std::size_t size) { return std::string(text, size); }

// A text value below HKEY_CURRENT_USER without its terminating zero, or
// "<missing>".
std::wstring QueryUserString(const std::string& keyPath, const wchar_t* name, DWORD* type)
{
    wchar_t data[256] = {};
    DWORD size = sizeof data - sizeof data[0];
    if (RegGetValueW(HKEY_CURRENT_USER, Widen(keyPath).c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, type, data,
                     &size) != ERROR_SUCCESS)
        return L"<missing>";
    return std::wstring(data, size / sizeof data[0] - (size >= 2 && data[size / 2 - 1] == 0 ? 1 : 0));
}

// Runs the system's registry editor to export a key into a file.
bool ExportWithRegedit(const std::string& file, const std::string& key)
{
    std::wstring line = Widen("C:\\windows\\regedit.exe /e \"" + file + "\" \"" + key + "\"");
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    const DWORD waited = WaitForSingleObject(process.hProcess, 120000);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return waited == WAIT_OBJECT_0 && exitCode == 0;
}

Strings RefusedLines(const RegFileContent& content)
{
    Strings lines;
    for (const RegRefusedLine& refused : content.refusedLines)
        lines.push_back(std::to_string(refused.line) + ":" + std::to_string(static_cast<int>(refused.problem)));
    return lines;
}

// Each shortfall as "kind text", sorted.
Strings Shortfalls(const std::vector<RestoreShortfall>& shortfalls)
{
    Strings lines;
    for (const RestoreShortfall& shortfall : shortfalls)
        lines.push_back(std::to_string(static_cast<int>(shortfall.kind)) + " " + shortfall.text);
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::size_t ValueCount(const RegFileContent& content)
{
    std::size_t count = 0;
    for (const RegFileKey& key : content.keys)
        count += key.values.size();
    return count;
}

class RegReaderRoundTripTest : public ::testing::Test {
protected:
    Platform& platform = SystemPlatform();
    ScratchRegistryKey scratch;
    ScratchFolder folder{"C:\\"};

    void SetUp() override
    {
        ASSERT_TRUE(scratch.IsCreated());
        ASSERT_TRUE(folder.IsCreated());
    }

    void Set(const std::string& subPath, const std::string& name, DWORD type, const std::string& bytes)
    {
        ASSERT_TRUE(scratch.SetValue(subPath, name, type, bytes)) << name;
    }

    // Every type 0 to 11, names and texts that need escaping, a text without
    // its terminating zero, long binaries and empty keys.
    void BuildTree()
    {
        for (DWORD type = 0; type <= 11; ++type) {
            const std::string name = "type " + std::to_string(type);
            Set("Tree", name + " empty", type, "");
            Set("Tree", name + " data", type, Z("\x01\x02\x03\xC3\xA9\0", 6));
        }
        Set("Tree", "dword", REG_DWORD, "\x78\x56\x34\x12");
        Set("Tree", "binary", REG_BINARY, std::string(300, '\x80'));
        Set("Tree", "", REG_SZ, Z("default value\0", 14));
        Set("Tree", "quote \" and \\ back\\slash", REG_SZ, Z("C:\\Temp\\\"x\" \\\\server\0", 22));
        Set("Tree", "caf\xC3\xA9 \xC3\xA9t\xC3\xA9", REG_SZ, Z("r\xC3\xA9sum\xC3\xA9\0", 9));
        Set("Tree", "no terminator", REG_SZ, "abc");
        Set("Tree", "equals=and[brackets]", REG_SZ, Z("x=y\0", 4));
        Set("Tree", "expand", REG_EXPAND_SZ, Z("%SystemRoot%\\caf\xC3\xA9\0", 19));
        Set("Tree", "multi", REG_MULTI_SZ, Z("first\0s\xC3\xA9\"cond\0\0", 17));
        Set("Tree\\Sub \"quoted\" caf\xC3\xA9", "inner", REG_SZ, Z("x\0", 2));
        ASSERT_TRUE(scratch.CreateSubKey("Tree\\Empty\\Nested empty\\Leaf"));
        ASSERT_TRUE(scratch.CreateSubKey("Tree\\With ] bracket"));
    }

    std::string TreePath() const { return scratch.KeyPath() + "\\Tree"; }

    RegFileContent ReadFile(const std::string& file)
    {
        return ReadRegFile(platform, ReadWholeFile(file));
    }
};

TEST_F(RegReaderRoundTripTest, ProgramBackupMergedByTheEditorChecksOutWhole)
{
    BuildTree();
    const std::string file = folder.Path() + "backup.reg";
    const RegExportResult written = WriteRegFile(
        platform, platform, platform, {RegExportRow{"HKEY_CURRENT_USER", TreePath(), "", -1}}, file, nullptr,
        nullptr);
    ASSERT_TRUE(written.complete);
    const RegFileContent content = ReadFile(file);
    EXPECT_EQ(RegFileFormat::kVersion5, content.format);
    EXPECT_EQ(RegFileEncoding::kUtf16, content.encoding);
    EXPECT_EQ(Strings{}, RefusedLines(content));
    EXPECT_EQ(34u, ValueCount(content));
    // Before the deletion everything is there.
    EXPECT_EQ(Strings{}, Shortfalls(CheckRestoredEntries(platform, platform, content, "(Default)")));

    ASSERT_EQ(ERROR_SUCCESS, SHDeleteKeyW(HKEY_CURRENT_USER, Widen(TreePath()).c_str()));
    EXPECT_EQ(40u, CheckRestoredEntries(platform, platform, content, "(Default)").size());   // 34 values, 6 keys
    ASSERT_TRUE(MergeWithRegedit(file));
    // The editor adds a zero to "no terminator": that counts as restored.
    EXPECT_EQ(Strings{}, Shortfalls(CheckRestoredEntries(platform, platform, content, "(Default)")));

    const std::string tree = "HKEY_CURRENT_USER\\" + TreePath();
    ASSERT_EQ(ERROR_SUCCESS, SHDeleteValueW(HKEY_CURRENT_USER, Widen(TreePath()).c_str(), L"dword"));
    ASSERT_EQ(ERROR_SUCCESS, SHDeleteValueW(HKEY_CURRENT_USER, Widen(TreePath()).c_str(), L""));
    ASSERT_EQ(ERROR_SUCCESS,
              SHDeleteKeyW(HKEY_CURRENT_USER, Widen((TreePath() + "\\Empty\\Nested empty\\Leaf")).c_str()));
    Set("Tree", "expand", REG_EXPAND_SZ, Z("changed\0", 8));
    EXPECT_EQ((Strings{"0 " + tree + "\\Empty\\Nested empty\\Leaf", "2 " + tree + " \"dword\"",
                       "2 " + tree + " (Default)", "3 " + tree + " \"expand\""}),
              Shortfalls(CheckRestoredEntries(platform, platform, content, "(Default)")));
}

TEST_F(RegReaderRoundTripTest, EditorsUtf16ExportReadsWholeAndChecksOut)
{
    BuildTree();
    const std::string file = folder.Path() + "export.reg";
    ASSERT_TRUE(ExportWithRegedit(file, "HKEY_CURRENT_USER\\" + TreePath()));
    const std::string bytes = ReadWholeFile(file);
    ASSERT_GE(bytes.size(), 2u);
    ASSERT_EQ("\xFF\xFE", bytes.substr(0, 2));

    const RegFileContent content = ReadFile(file);
    EXPECT_EQ(RegFileFormat::kVersion5, content.format);
    EXPECT_EQ(RegFileEncoding::kUtf16, content.encoding);
    EXPECT_EQ(Strings{}, RefusedLines(content));
    EXPECT_EQ(34u, ValueCount(content));

    // The editor's export cannot carry a few values exactly (a text without
    // its zero or with two, an empty text, a dword of five bytes): the file
    // holds them as the editor writes them back, and the check says so.
    const std::string tree = "3 HKEY_CURRENT_USER\\" + TreePath();
    EXPECT_EQ((Strings{tree + " \"no terminator\"", tree + " \"quote \" and \\ back\\slash\"",
                       tree + " \"type 1 empty\"", tree + " \"type 4 data\""}),
              Shortfalls(CheckRestoredEntries(platform, platform, content, "(Default)")));
    ASSERT_TRUE(MergeWithRegedit(file));
    EXPECT_EQ(Strings{}, Shortfalls(CheckRestoredEntries(platform, platform, content, "(Default)")));
}

TEST_F(RegReaderRoundTripTest, TextOfEveryScriptInTheEditorsExportReadsExactly)
{
    Set("U", "plain", REG_SZ, Z("fine\0", 5));
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, Widen(scratch.KeyPath() + "\\U").c_str(), 0,
                                           KEY_SET_VALUE, &key));
    const wchar_t snowman[] = L"snow \x2603 \xD83D\xDE00";
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, L"snowman", 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(snowman), sizeof snowman));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, L"name \x0416", 0, REG_DWORD,
                                            reinterpret_cast<const BYTE*>("\1\0\0\0"), 4));
    RegCloseKey(key);

    const std::string file = folder.Path() + "unicode.reg";
    ASSERT_TRUE(ExportWithRegedit(file, scratch.FullPath() + "\\U"));
    const RegFileContent content = ReadFile(file);
    EXPECT_EQ(Strings{}, RefusedLines(content));
    ASSERT_EQ(1u, content.keys.size());
    ASSERT_EQ(3u, content.keys[0].values.size());
    Strings names;
    for (const RegFileValue& value : content.keys[0].values) {
        names.push_back(value.name);
        if (value.name == "snowman") {
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(snowman), sizeof snowman), value.data);
        }
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ((Strings{"name \xD0\x96", "plain", "snowman"}), names);
    EXPECT_EQ(Strings{}, Shortfalls(CheckRestoredEntries(platform, platform, content, "(Default)")));
}

// The backups of earlier versions were REGEDIT4 files in the ANSI code page:
// they still restore, and the check reads them as the editor merged them.
// A file saved as UTF-8 with a byte-order mark is read too, and what the
// editor did not take from it is named.
TEST_F(RegReaderRoundTripTest, EarlierAnsiBackupsAndUtf8FilesAreChecked)
{
    struct FileCase {
        const char* what;
        std::string bytes;
        bool editorTakesIt;
    };
    const std::string key = "[" + scratch.FullPath() + "\\Old]\r\n";
    const FileCase cases[] = {
        {"REGEDIT4 in code page 1252",
         "REGEDIT4\r\n\r\n" + key + "\"caf\xE9\"=\"cr\xE8me \\\\ br\xFBl\xE9" "e\"\r\n" +
             "\"path\"=hex(2):25,41,25,5c,e9,00\r\n\"n\"=dword:0000002a\r\n",
         true},
        {"UTF-8 with a byte-order mark",
         "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n" + key +
             "\"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\"=\"\xE6\x97\xA5\xE6\x9C\xAC\"\r\n",
         false},
    };
    for (const FileCase& file : cases) {
        SHDeleteKeyW(HKEY_CURRENT_USER, Widen(scratch.KeyPath() + "\\Old").c_str());
        const std::string path = folder.Path() + "old.reg";
        ASSERT_TRUE(WriteWholeFile(path, file.bytes)) << file.what;
        const RegFileContent content = ReadFile(path);
        EXPECT_EQ(Strings{}, RefusedLines(content)) << file.what;
        ASSERT_EQ(1u, content.keys.size()) << file.what;
        ASSERT_TRUE(MergeWithRegedit(path)) << file.what;
        const RestoreVerification verification =
            VerifyRestore(platform, platform, ReadWholeFile(path), "(Default)");
        EXPECT_TRUE(verification.fileRead) << file.what;
        EXPECT_EQ(content.keys[0].values.size() + 1, verification.checked) << file.what;
        if (file.editorTakesIt) {
            EXPECT_EQ(Strings{}, Shortfalls(verification.shortfalls)) << file.what;
            DWORD type = 0;
            EXPECT_EQ(L"cr\x00E8me \\ br\x00FBl\x00E9" L"e",
                      QueryUserString(scratch.KeyPath() + "\\Old", L"caf\x00E9", &type));
            EXPECT_EQ(L"%A%\\\x00E9", QueryUserString(scratch.KeyPath() + "\\Old", L"path", &type));
            EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), type);
        } else {
            // Whatever the editor made of it, nothing missing reads as restored.
            for (const RestoreShortfall& shortfall : verification.shortfalls)
                EXPECT_NE(std::string::npos, shortfall.text.find(scratch.FullPath())) << shortfall.text;
        }
    }
}

}  // namespace
