// Texts of any script through the Win32 layer's own parts: config.xml saved
// and loaded, a UTF-16 language file (and the ANSI English one), and paths
// handed to the registry editor. Every file lies in a folder whose name is
// not in any ANSI code page, so the paths go through wide text as well.
#include "core/IgnoreList.h"
#include "win32/IgnoreListSettings.h"
#include "win32/LanguageWin.h"
#include "win32/RegeditBridge.h"
#include "win32/SettingsDocument.h"
#include "win32/WideText.h"
#include "win32/Win32Handles.h"
#include "win32/Win32Platform.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A fresh folder "C:\QuorvaneTests_<process>_<n>_<name>\", removed with
// everything in it when the test ends; made and removed through wide text.
class WideScratchFolder {
public:
    explicit WideScratchFolder(const std::string& name)
    {
        static int made = 0;
        path_ = "C:\\QuorvaneTests_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++made) +
                "_" + name + "\\";
        created_ = CreateDirectoryW(Widen(path_).c_str(), nullptr) != FALSE;
    }
    ~WideScratchFolder()
    {
        if (!created_)
            return;
        // The shell wants the list of paths ended by an empty one.
        std::wstring from = Widen(path_.substr(0, path_.size() - 1));
        from.push_back(L'\0');
        SHFILEOPSTRUCTW operation = {};
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.c_str();
        operation.fFlags = FOF_NO_UI;
        SHFileOperationW(&operation);
    }
    WideScratchFolder(const WideScratchFolder&) = delete;
    WideScratchFolder& operator=(const WideScratchFolder&) = delete;

    bool IsCreated() const { return created_; }
    const std::string& Path() const { return path_; }
    // A folder below this one; its path with a trailing backslash, or empty.
    std::string MakeFolder(const std::string& name) const
    {
        const std::string path = path_ + name + "\\";
        return CreateDirectoryW(Widen(path).c_str(), nullptr) ? path : std::string();
    }

private:
    std::string path_;
    bool created_ = false;
};

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    const UniqueHandle file(CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The texts every rule below is tried with: two scripts no Western code page
// holds, a character outside the basic plane (a surrogate pair in UTF-16),
// and a mix with the XML's own special characters.
struct ScriptText {
    const char* label;
    const char* folder; // a folder name in the same script
    const char* text;
};

const ScriptText kScriptTexts[] = {
    {"Cyrillic", "Настройки", "Привет"},
    {"Japanese", "設定フォルダ", "検索キーワード"},
    {"emoji", "Backup \xF0\x9F\x98\x80", "Smile \xF0\x9F\x98\x80 \xF0\x9F\x8E\x89"},
    {"mixed", "Ünïcödé", "A & <b> \"Ж\" 'é' \xE2\x82\xAC"},
};

const char* const kConfigWithLists =
    "<?xml version=\"1.0\"?>\r\n"
    "<config>\r\n"
    "  <quorvane>\r\n"
    "    <searchpage>\r\n"
    "      <searchkeyword custom=\"\" default=\"\"/>\r\n"
    "    </searchpage>\r\n"
    "    <ignorelist>\r\n"
    "    </ignorelist>\r\n"
    "  </quorvane>\r\n"
    "</config>\r\n";

} // namespace

// Every text goes into config.xml and comes back unit for unit: an ignore-list
// entry (key and value name), the last search keyword, and the removal of
// that entry found again by its text.
TEST(UnicodeConfigFile, TextsOfAnyScriptSurviveSaveAndLoad)
{
    ComApartment com;
    Platform& platform = SystemPlatform();
    for (const ScriptText& row : kScriptTexts) {
        SCOPED_TRACE(row.label);
        WideScratchFolder folder(row.folder);
        ASSERT_TRUE(folder.IsCreated());
        const std::string path = folder.Path() + "config.xml";
        ASSERT_TRUE(WriteBytes(path, kConfigWithLists));

        IgnoreEntry entry;
        entry.rootName = "HKEY_CURRENT_USER";
        entry.keyPath = std::string("Software\\") + row.text + "\\" + row.folder;
        entry.hasValueName = true;
        entry.valueName = row.text;
        ASSERT_EQ(IgnoreListSave::Saved, AddToIgnoreList(platform, path, {entry}));
        {
            SettingsDocument document;
            document.Open(path);
            ASSERT_TRUE(document.IsLoaded());
            ComPtr<IXMLDOMElement> keyword = document.SelectNode(kSearchKeywordElement);
            ASSERT_TRUE(document.SetAttribute(keyword.Get(), "custom", row.text));
            ASSERT_TRUE(document.Save());
        }

        const IgnoreListFile read = ReadIgnoreList(path);
        ASSERT_TRUE(read.available);
        ASSERT_EQ(1u, read.entries.size());
        EXPECT_EQ(entry.keyPath, read.entries[0].keyPath);
        EXPECT_TRUE(read.entries[0].hasValueName);
        EXPECT_EQ(entry.valueName, read.entries[0].valueName);
        SettingsDocument document;
        document.Open(path);
        ComPtr<IXMLDOMElement> keyword = document.SelectNode(kSearchKeywordElement);
        EXPECT_EQ(row.text, document.GetAttribute(keyword.Get(), "custom"));

        ASSERT_EQ(IgnoreListSave::Saved, RemoveFromIgnoreList(platform, path, {entry}));
        EXPECT_TRUE(ReadIgnoreList(path).entries.empty());
    }
}

namespace {

// The UTF-16 LE bytes of a text, as a Unicode language file holds them.
std::string Utf16Le(const std::string& text)
{
    const std::wstring wide = Widen(text);
    return std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
}

std::string ReadSourceFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Points the lookups at a file for one test, then back.
class LanguageFileSwitch {
public:
    explicit LanguageFileSwitch(const std::string& path) : previous_(LanguageFile()) { SetLanguageFile(path); }
    ~LanguageFileSwitch() { SetLanguageFile(previous_); }
    LanguageFileSwitch(const LanguageFileSwitch&) = delete;
    LanguageFileSwitch& operator=(const LanguageFileSwitch&) = delete;

private:
    std::string previous_;
};

std::string WindowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return Narrow(text);
}

std::string MenuText(HMENU menu, int position)
{
    wchar_t text[256] = {};
    const int length = GetMenuStringW(menu, static_cast<UINT>(position), text, 256, MF_BYPOSITION);
    return Narrow(text, static_cast<std::size_t>(length > 0 ? length : 0));
}

} // namespace

// A language file with the UTF-16 byte-order mark holds any language, and the
// shipped English file (ANSI, no mark) reads as before; lookups, window
// translation and menu translation all give the file's texts exactly.
TEST(UnicodeLanguageFile, UnicodeAndAnsiFilesGiveTheirTextsExactly)
{
    WideScratchFolder folder("Язык 言語");
    ASSERT_TRUE(folder.IsCreated());
    std::string longText;
    for (int i = 0; i < 3000; ++i)
        longText += "Ж";
    const std::string unicodeFile = folder.Path() + "Русский.language";
    ASSERT_TRUE(WriteBytes(unicodeFile,
                           "\xFF\xFE" + Utf16Le("[String]\r\n"
                                                "_Hello=Привет, мир\r\n"
                                                "_Japanese=こんにちは世界\r\n"
                                                "_Emoji=Smile \xF0\x9F\x98\x80\r\n"
                                                "_Ключ=значение\r\n"
                                                "_TwoLines=строка\\nвторая\r\n"
                                                "_Blank=   \r\n"
                                                "_Long=" + longText + "\r\n")));
    const std::string ansiFile = folder.Path() + "English.language";
    const std::string shipped = ReadSourceFile(QV_SOURCE_DIR "/resources/Quorvane.language");
    ASSERT_FALSE(shipped.empty());
    ASSERT_TRUE(WriteBytes(ansiFile, shipped));

    struct Lookup {
        const std::string* file;
        const char* key;
        bool expand;
        std::string expected;
    };
    const Lookup lookups[] = {
        {&unicodeFile, "_Hello", false, "Привет, мир"},
        {&unicodeFile, "_Japanese", false, "こんにちは世界"},
        {&unicodeFile, "_Emoji", false, "Smile \xF0\x9F\x98\x80"},
        {&unicodeFile, "_Ключ", false, "значение"},
        {&unicodeFile, "_TwoLines", false, "строка\\nвторая"},
        {&unicodeFile, "_TwoLines", true, "строка\nвторая"},
        {&unicodeFile, "_Blank", false, "_Blank"},
        {&unicodeFile, "_Missing", false, "_Missing"},
        {&unicodeFile, "_Long", false, longText},
        {&ansiFile, "_Quorvane", false, "Quorvane"},
        {&ansiFile, "_PageRegistryCleanerTitle", false, "Registry Cleaner"},
        {&ansiFile, "_Thankyoulist", true,
         "Everyone who tested the preview releases\nThe translators of the Quorvane suite\n"
         "All users who sent us their suggestions"},
    };
    for (const Lookup& lookup : lookups) {
        SCOPED_TRACE(std::string(lookup.key) + " in " + *lookup.file);
        LanguageFileSwitch use(*lookup.file);
        EXPECT_EQ(lookup.expected, LookupText(lookup.key, lookup.expand));
    }

    LanguageFileSwitch use(unicodeFile);
    HWND window = CreateWindowExW(0, L"STATIC", L"_Hello", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    HWND child = CreateWindowExW(0, L"STATIC", L"_TwoLines", WS_CHILD, 0, 0, 50, 50, window, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(nullptr, child);
    TranslateWindow(window);
    EXPECT_EQ("Привет, мир", WindowText(window));
    EXPECT_EQ("строка\nвторая", WindowText(child)); // windows expand the escapes
    DestroyWindow(window);

    const MenuOwner bar(CreateMenu());
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, 1, L"_Emoji");
    AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(bar.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup), L"_Japanese");
    AppendMenuW(bar.Get(), MF_STRING, 2, L"_Ключ");
    TranslateMenu(bar.Get());
    EXPECT_EQ("こんにちは世界", MenuText(bar.Get(), 0));
    EXPECT_EQ("значение", MenuText(bar.Get(), 1));
    EXPECT_EQ("Smile \xF0\x9F\x98\x80", MenuText(popup, 0));
    EXPECT_EQ("", MenuText(popup, 1));
}

namespace {

// A string value below HKEY_CURRENT_USER read through wide text, or "<missing>".
std::string ReadUserValue(const std::string& keyPath, const std::string& name)
{
    wchar_t data[512] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, Widen(keyPath).c_str(), Widen(name).c_str(), RRF_RT_REG_SZ, nullptr,
                     data, &size) != ERROR_SUCCESS)
        return "<missing>";
    return NarrowZ(data);
}

bool SetUserValue(const std::string& keyPath, const std::string& name, const std::string& text)
{
    UniqueKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, Widen(keyPath).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        key.Receive(), nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring data = Widen(text);
    return RegSetValueExW(key.Get(), Widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

std::string BuiltEditor()
{
    std::string path = "Z:" QV_PROGRAM_DIR "/Tools/Regedit.exe";
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

} // namespace

// The editor, itself lying in a folder of any script, gets backup paths of
// any script whole: what it exports there from a key of such names merges
// back from the same path.
TEST(UnicodeEditorBridge, PathsOfAnyScriptReachTheEditorWhole)
{
    for (const ScriptText& row : kScriptTexts) {
        SCOPED_TRACE(row.label);
        WideScratchFolder folder(row.folder);
        ASSERT_TRUE(folder.IsCreated());
        const std::string tools = folder.MakeFolder(std::string("Программа ") + row.folder);
        ASSERT_FALSE(tools.empty());
        const std::string editor = tools + "Regedit.exe";
        ASSERT_TRUE(CopyFileW(Widen(BuiltEditor()).c_str(), Widen(editor).c_str(), FALSE));
        const std::string backups = folder.MakeFolder(std::string("Резервные копии ") + row.folder);
        ASSERT_FALSE(backups.empty());
        const std::string file = backups + row.folder + ".reg";

        const std::string keyPath = "Software\\QuorvaneTests\\Unicode_" + std::to_string(GetCurrentProcessId()) +
                                    "\\" + row.folder;
        ASSERT_TRUE(SetUserValue(keyPath, row.text, row.text));
        RunRegeditExport("HKEY_CURRENT_USER\\" + keyPath, file, editor, true);
        ASSERT_TRUE(FileExists(file)) << file;
        const FileStamp stamp = ReadFileStamp(file);
        EXPECT_TRUE(stamp.exists);
        std::string bytes;
        ASSERT_TRUE(ReadFileBytes(file, &bytes));
        EXPECT_EQ(stamp.size, bytes.size());
        EXPECT_NE(std::string::npos, bytes.find(Utf16Le("[HKEY_CURRENT_USER\\" + keyPath + "]")));

        ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_CURRENT_USER, Widen(keyPath).c_str()));
        ASSERT_EQ("<missing>", ReadUserValue(keyPath, row.text));
        RunRegeditImport(file, editor, true, true);
        EXPECT_EQ(row.text, ReadUserValue(keyPath, row.text));
        RegDeleteTreeW(HKEY_CURRENT_USER, Widen("Software\\QuorvaneTests\\Unicode_" +
                                                 std::to_string(GetCurrentProcessId())).c_str());
    }
}

// The parameters put every path between quotes so that the editor's reader
// (by the rules of CommandLineToArgvW) gives it back unchanged, whatever its
// letters: a path as it is, backslashes at its end doubled, a quote in a key
// name escaped.
TEST(UnicodeEditorBridge, ParametersQuoteEveryPathSoItReadsBackUnchanged)
{
    struct Case {
        const char* keyPath;
        const char* filePath;
    };
    const Case cases[] = {
        {"", "C:\\Резервные копии\\2024-01-01 10-00-00(Ручная).reg"},
        {"HKEY_CURRENT_USER\\Software\\日本語", "C:\\バックアップ\\b.reg"},
        {"HKEY_CURRENT_USER\\Software\\Ключ\\", "C:\\b \xF0\x9F\x98\x80.reg"},
        {"HKEY_CURRENT_USER\\Software\\Say \"hi\\\"", "C:\\x.reg"},
        {"HKEY_CURRENT_USER\\Software\\Trailing\\\\", "C:\\x.reg"},
    };
    for (const Case& item : cases) {
        SCOPED_TRACE(item.keyPath);
        const std::string parameters = RegeditExportParameters(item.keyPath, item.filePath);
        ASSERT_FALSE(parameters.empty());
        EXPECT_EQ(' ', parameters.back());
        // The reader's view of "editor <parameters>".
        int count = 0;
        LPWSTR* arguments = CommandLineToArgvW(Widen("editor.exe " + parameters).c_str(), &count);
        ASSERT_NE(nullptr, arguments);
        std::vector<std::string> read;
        for (int i = 1; i < count; ++i)
            read.push_back(NarrowZ(arguments[i]));
        LocalFree(arguments);
        std::vector<std::string> expected = {"/e", item.filePath};
        if (*item.keyPath)
            expected.push_back(item.keyPath);
        EXPECT_EQ(expected, read) << parameters;

        const std::string import = RegeditImportParameters(item.filePath, true);
        arguments = CommandLineToArgvW(Widen("editor.exe " + import).c_str(), &count);
        ASSERT_NE(nullptr, arguments);
        ASSERT_EQ(3, count);
        EXPECT_EQ(item.filePath, NarrowZ(arguments[2]));
        LocalFree(arguments);
    }
}

// The jump hands over a key of any script through LastKey whole.
TEST(UnicodeEditorBridge, LastKeyHoldsAKeyOfAnyScript)
{
    // LastKey is the user's: it is put back as it was.
    const std::string before = ReadUserValue(kRegeditAppletKey, "LastKey");
    UniqueKey applet;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, Widen(kRegeditAppletKey).c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, applet.Receive(), nullptr));
    const std::string noEditor = "C:\\QuorvaneTests_no_such_folder\\Regedit.exe";
    for (const ScriptText& row : kScriptTexts) {
        SCOPED_TRACE(row.label);
        OpenInRegeditWith("HKEY_CURRENT_USER", std::string("Software\\") + row.folder + "\\" + row.text + "\\",
                          nullptr, noEditor);
        EXPECT_EQ(std::string("HKEY_CURRENT_USER\\Software\\") + row.folder + "\\" + row.text,
                  ReadUserValue(kRegeditAppletKey, "LastKey"));
    }
    if (before == "<missing>")
        RegDeleteValueW(applet.Get(), L"LastKey");
    else
        SetUserValue(kRegeditAppletKey, "LastKey", before);
}
