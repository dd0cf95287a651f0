// The bridge to the registry editor under Wine: the exact parameter texts, a
// key and the whole registry exported through the program folder's
// Tools\Regedit.exe and merged back, a missing editor passing silently, and
// the LastKey hand-over of the jump.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>

#include "GuiDriver.h"
#include "RegistryScratch.h"
#include "win32/RegeditBridge.h"

namespace {

bool KeyExists(const std::string& keyPath)
{
    HKEY key = nullptr;
    if (RegOpenKeyW(HKEY_CURRENT_USER, Widen(keyPath).c_str(), &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// The UTF-16 form of an ASCII text, as Wine's regedit writes its exports.
std::string Utf16(const std::string& ascii)
{
    std::string wide;
    for (char c : ascii) {
        wide += c;
        wide += '\0';
    }
    return wide;
}

// Keeps the jump's Applets key as it was before the test changed it.
class AppletKeyGuard {
public:
    AppletKeyGuard()
    {
        existed_ = KeyExists(kRegeditAppletKey);
        lastKey_ = ReadUserString(kRegeditAppletKey, "LastKey");
    }
    ~AppletKeyGuard()
    {
        if (!existed_) {
            SHDeleteKeyW(HKEY_CURRENT_USER, Widen(kRegeditAppletKey).c_str());
            return;
        }
        HKEY key = nullptr;
        if (RegCreateKeyW(HKEY_CURRENT_USER, Widen(kRegeditAppletKey).c_str(), &key) != ERROR_SUCCESS)
            return;
        if (lastKey_ == "<missing>")
            RegDeleteValueW(key, L"LastKey");
        else {
            const std::wstring data = Widen(lastKey_);
            RegSetValueExW(key, L"LastKey", 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                           static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
        }
        RegCloseKey(key);
    }
    AppletKeyGuard(const AppletKeyGuard&) = delete;
    AppletKeyGuard& operator=(const AppletKeyGuard&) = delete;

private:
    bool existed_ = false;
    std::string lastKey_;
};

} // namespace

TEST(RegeditParameters, EachFormQuotesItsPathsAndEndsWithOneBlank)
{
    EXPECT_EQ("/e \"C:\\b.reg\" ", RegeditExportParameters("", "C:\\b.reg"));
    EXPECT_EQ("/e \"C:\\b.reg\" \"HKEY_CURRENT_USER\\Software\" ",
              RegeditExportParameters("HKEY_CURRENT_USER\\Software", "C:\\b.reg"));
    EXPECT_EQ("/s \"C:\\b.reg\" ", RegeditImportParameters("C:\\b.reg", true));
    EXPECT_EQ("\"C:\\b.reg\" ", RegeditImportParameters("C:\\b.reg", false));
    // Paths go between the quotes as they are.
    EXPECT_EQ("/s \"C:\\My Backups\\x y.reg\" ", RegeditImportParameters("C:\\My Backups\\x y.reg", true));
}

TEST(RegeditParameters, LastKeyLosesExactlyOneTrailingBackslash)
{
    EXPECT_EQ("HKEY_LOCAL_MACHINE\\Software", RegeditLastKeyText("HKEY_LOCAL_MACHINE", "Software"));
    EXPECT_EQ("HKEY_LOCAL_MACHINE\\Software", RegeditLastKeyText("HKEY_LOCAL_MACHINE", "Software\\"));
    EXPECT_EQ("HKEY_LOCAL_MACHINE\\Software\\", RegeditLastKeyText("HKEY_LOCAL_MACHINE", "Software\\\\"));
    EXPECT_EQ("HKEY_CURRENT_USER", RegeditLastKeyText("HKEY_CURRENT_USER", ""));
}

TEST(RegeditBridge, KeyExportedDeletedAndMergedBackIsRestored)
{
    const std::string editor = BuiltRegistryEditor();
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Widen(editor).c_str())) << editor;
    ScratchRegistryKey scratch;
    ASSERT_TRUE(scratch.IsCreated());
    ASSERT_TRUE(scratch.SetString("", "Name", "value with \"quotes\" and C:\\path"));
    ASSERT_TRUE(scratch.SetString("Sub", "Deep", "below"));
    ScratchFolder folder("C:\\");
    ASSERT_TRUE(folder.IsCreated());
    const std::string file = folder.Path() + "key export.reg";

    RunRegeditExport(scratch.FullPath(), file, BuiltRegistryEditor(), true);
    // The editor has ended, so the file is complete.
    const std::string bytes = ReadWholeFile(file);
    ASSERT_FALSE(bytes.empty());
    EXPECT_NE(std::string::npos, bytes.find(Utf16("[" + scratch.FullPath() + "\\Sub]")));

    ASSERT_EQ(ERROR_SUCCESS, SHDeleteKeyW(HKEY_CURRENT_USER, Widen(scratch.KeyPath()).c_str()));
    ASSERT_FALSE(KeyExists(scratch.KeyPath()));

    RunRegeditImport(file, BuiltRegistryEditor(), true, true);
    EXPECT_EQ("value with \"quotes\" and C:\\path", ReadUserString(scratch.KeyPath(), "Name"));
    EXPECT_EQ("below", ReadUserString(scratch.KeyPath() + "\\Sub", "Deep"));
}

TEST(RegeditBridge, WholeRegistryExportHoldsEveryRoot)
{
    ScratchRegistryKey scratch;
    ASSERT_TRUE(scratch.IsCreated());
    ASSERT_TRUE(scratch.SetString("", "Marker", "whole"));
    ScratchFolder folder("C:\\");
    ASSERT_TRUE(folder.IsCreated());
    const std::string file = folder.Path() + "all.reg";

    RunRegeditExport("", file, BuiltRegistryEditor(), true);
    const std::string bytes = ReadWholeFile(file);
    ASSERT_GT(bytes.size(), 100000u);
    EXPECT_EQ(0u, bytes.find("\xFF\xFE" + Utf16("Windows Registry Editor Version 5.00")));
    EXPECT_NE(std::string::npos, bytes.find(Utf16("[HKEY_LOCAL_MACHINE\\")));
    // The current user's keys are written below HKEY_USERS, under the user's SID.
    EXPECT_NE(std::string::npos, bytes.find(Utf16("[HKEY_USERS\\")));
    EXPECT_NE(std::string::npos, bytes.find(Utf16("\\" + scratch.KeyPath() + "]")));
}

namespace {

// Starts the editor with the whole command line given; its exit code, or -1.
long RunCommandLine(const std::string& program, const std::string& commandLine)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::wstring line = Widen(commandLine);
    if (!CreateProcessW(Widen(program).c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return -1;
    CloseHandle(info.hThread);
    WaitForSingleObject(info.hProcess, 60000);
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    return static_cast<long>(code);
}

} // namespace

TEST(RegeditTool, HandsOverEverythingAfterItsNameWhateverTheNameForm)
{
    ScratchRegistryKey scratch;
    ASSERT_TRUE(scratch.IsCreated());
    ASSERT_TRUE(scratch.SetString("", "Name", "tool"));
    ScratchFolder folder("C:\\");
    ASSERT_TRUE(folder.IsCreated());
    const std::string key = "\"" + scratch.FullPath() + "\"";

    // A quoted name directly followed by the parameters.
    const std::string quoted = folder.Path() + "quoted.reg";
    const std::string editor = BuiltRegistryEditor();
    EXPECT_EQ(0, RunCommandLine(editor, "\"" + editor + "\"/e \"" + quoted + "\" " + key));
    // An unquoted name, the parameters after a blank.
    const std::string plain = folder.Path() + "plain.reg";
    ASSERT_EQ(std::string::npos, editor.find(' '));
    EXPECT_EQ(0, RunCommandLine(editor, editor + " /e \"" + plain + "\" " + key + " "));

    for (const std::string& file : {quoted, plain})
        EXPECT_NE(std::string::npos, ReadWholeFile(file).find(Utf16("\"Name\"=\"tool\""))) << file;
}

TEST(RegeditBridge, MissingEditorPassesSilently)
{
    ScratchFolder folder("C:\\");
    ASSERT_TRUE(folder.IsCreated());
    const std::string missing = folder.Path() + "Tools\\Regedit.exe";
    // Had the shell put up an error box, these calls would not return.
    RunRegeditExport("", folder.Path() + "x.reg", missing, true);
    RunRegeditImport(folder.Path() + "x.reg", missing, true, true);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Widen((folder.Path() + "x.reg")).c_str()));
}

TEST(RegeditJump, StoresTheKeyAsLastKeyWhenTheAppletKeyExists)
{
    AppletKeyGuard guard;
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyW(HKEY_CURRENT_USER, Widen(kRegeditAppletKey).c_str(), &key));
    RegCloseKey(key);
    const std::string noEditor = "C:\\QuorvaneTests_no_such_folder\\Regedit.exe";

    OpenInRegeditWith("HKEY_LOCAL_MACHINE", "Software", nullptr, noEditor);
    EXPECT_EQ("HKEY_LOCAL_MACHINE\\Software", ReadUserString(kRegeditAppletKey, "LastKey"));
    OpenInRegeditWith("HKEY_CURRENT_USER", "Software\\Wine\\", nullptr, noEditor);
    EXPECT_EQ("HKEY_CURRENT_USER\\Software\\Wine", ReadUserString(kRegeditAppletKey, "LastKey"));
}

TEST(RegeditJump, DoesNothingWhenTheAppletKeyIsMissing)
{
    AppletKeyGuard guard;
    SHDeleteKeyW(HKEY_CURRENT_USER, Widen(kRegeditAppletKey).c_str());
    ASSERT_FALSE(KeyExists(kRegeditAppletKey));

    OpenInRegeditWith("HKEY_LOCAL_MACHINE", "Software", nullptr, BuiltRegistryEditor());
    // Neither created nor written, and no editor was started to write it on exit.
    Sleep(1500);
    EXPECT_FALSE(KeyExists(kRegeditAppletKey));
}

TEST(RegeditJump, EditorOpensAtTheHandedOverKey)
{
    AppletKeyGuard guard;
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyW(HKEY_CURRENT_USER, Widen(kRegeditAppletKey).c_str(), &key));
    RegCloseKey(key);
    ScratchRegistryKey scratch;
    ASSERT_TRUE(scratch.IsCreated());

    OpenInRegeditWith("HKEY_CURRENT_USER", scratch.KeyPath(), nullptr, BuiltRegistryEditor());

    // The editor's status bar names the selected key.
    const std::string wanted = scratch.FullPath();
    HWND editor = nullptr;
    std::string shown;
    for (int i = 0; i < 300 && !editor; ++i) {
        for (HWND window = FindWindowW(L"RegEdit_RegEdit", nullptr); window;
             window = FindWindowExW(nullptr, window, L"RegEdit_RegEdit", nullptr)) {
            HWND status = FindWindowExW(window, nullptr, L"msctls_statusbar32", nullptr);
            shown = status ? WindowText(status) : std::string();
            if (shown.size() >= wanted.size() &&
                shown.compare(shown.size() - wanted.size(), wanted.size(), wanted) == 0) {
                editor = window;
                break;
            }
        }
        if (!editor)
            Sleep(100);
    }
    ASSERT_NE(nullptr, editor) << "last status text: " << shown;
    PostMessageW(editor, WM_CLOSE, 0, 0);
    for (int i = 0; i < 100 && IsWindow(editor); ++i)
        Sleep(100);
    EXPECT_FALSE(IsWindow(editor));
}
