// Names and texts outside any code page against the real registry and file
// system: Cyrillic, Japanese and emoji keys and values deleted through the
// change operation come back unit for unit when its backup file is merged by
// the system's registry editor, and a program under a Cyrillic folder is
// present for the path rules and the value checks.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RegistryScratch.h"
#include "RegistrySnapshot.h"
#include "core/PathRules.h"
#include "core/RegistryChange.h"
#include "core/ScanTasks.h"
#include "core/Unicode.h"
#include "tests/support/ScanRecorder.h"
#include "win32/Win32Platform.h"
#include "win32/WideText.h"

namespace {

using Strings = std::vector<std::string>;

// One planted value: the key below the scratch key, its name, type and data
// (UTF-8 text, zero units included), and whether the deletion names the key
// (else the value alone).
struct UnicodeValueCase {
    const char* key;
    const char* name;
    DWORD type;
    std::string text;
    bool deleteKey;
};

const UnicodeValueCase kValueCases[] = {
    {u8"Привет", u8"Привет", REG_SZ, std::string(u8"Привет, мир") + '\0', true},
    {u8"日本語", u8"日本語の名前", REG_SZ, std::string(u8"日本語のテキスト") + '\0', true},
    {u8"😀 smile", u8"😀", REG_SZ, std::string(u8"a 😀 b") + '\0', true},
    {u8"Списки", u8"Список", REG_MULTI_SZ,
     std::string(u8"один") + '\0' + u8"二つ" + '\0' + u8"😀" + '\0' + '\0', false},
    {u8"Списки", u8"Путь", REG_EXPAND_SZ, std::string(u8"%SystemRoot%\\Программы\\日本.exe") + '\0', false},
};

// A value's name and data exactly as the system gives them, or "<missing>".
std::wstring QueryValue(const std::string& keyPath, const std::string& name, DWORD* type)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(keyPath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return L"<missing>";
    DWORD size = 0;
    const std::wstring wideName = Widen(name);
    std::wstring units = L"<missing>";
    if (RegQueryValueExW(key, wideName.c_str(), nullptr, type, nullptr, &size) == ERROR_SUCCESS) {
        std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
        if (RegQueryValueExW(key, wideName.c_str(), nullptr, type, reinterpret_cast<BYTE*>(&data[0]), &size) ==
            ERROR_SUCCESS) {
            data.resize(size / sizeof(wchar_t));
            units = data;
        }
    }
    RegCloseKey(key);
    return units;
}

class UnicodeRegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scratch.IsCreated());
        ASSERT_TRUE(folder.IsCreated());
    }

    ScratchRegistryKey scratch;
    ScratchFolder folder{"C:\\"};
};

TEST_F(UnicodeRegistryTest, DeletedEntriesComeBackUnitForUnitThroughTheBackup)
{
    std::vector<RegistryItem> entries;
    for (const UnicodeValueCase& value : kValueCases) {
        const std::string stored = Utf8ToUtf16LeBytes(value.text);
        ASSERT_TRUE(scratch.SetRawValue(value.key, value.name, value.type, stored)) << value.name;
        RegistryItem row;
        row.rootName = "HKEY_CURRENT_USER";
        row.keyPath = scratch.KeyPath() + "\\" + value.key;
        if (!value.deleteKey) {
            row.valueName = value.name;
            row.type = static_cast<std::int32_t>(value.type);
        }
        entries.push_back(row);
    }
    ASSERT_TRUE(scratch.SetString(u8"Списки", u8"остаётся", u8"kept"));
    const RegistrySnapshot original = TakeRegistrySnapshot(HKEY_CURRENT_USER, scratch.KeyPath());
    ASSERT_EQ(5u, original.keys.size());   // the scratch key and its four keys

    const DeleteOutcome outcome = DeleteEntries(SystemPlatform(), entries,
                                                ChangeBackup{folder.Path() + "Backup\\", "Auto"}, nullptr, nullptr);
    ASSERT_EQ(ChangeStatus::Done, outcome.status);
    EXPECT_EQ(entries.size(), outcome.gone.size());
    for (const UnicodeValueCase& value : kValueCases) {
        DWORD type = 0;
        EXPECT_EQ(L"<missing>", QueryValue(scratch.KeyPath() + "\\" + value.key, value.name, &type)) << value.name;
    }
    DWORD keptType = 0;
    EXPECT_EQ(std::wstring(L"kept", 5), QueryValue(scratch.KeyPath() + u8"\\Списки", u8"остаётся", &keptType));

    ASSERT_TRUE(MergeWithRegedit(outcome.backupPath)) << outcome.backupPath;
    for (const UnicodeValueCase& value : kValueCases) {
        DWORD type = 0;
        const std::u16string planted = Utf8ToUtf16(value.text);
        EXPECT_EQ(std::wstring(planted.begin(), planted.end()),
                  QueryValue(scratch.KeyPath() + "\\" + value.key, value.name, &type))
            << value.name;
        EXPECT_EQ(value.type, type) << value.name;
    }
    // Names of keys and values as the system lists them, and every data byte.
    EXPECT_EQ("", DescribeSnapshotDifference(original,
                                             TakeRegistrySnapshot(HKEY_CURRENT_USER, scratch.KeyPath())));
}

// A program in a Cyrillic folder, and one beside it that is gone.
class UnicodePathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.IsCreated());
        programs = folder.Path() + u8"Программы";
        ASSERT_TRUE(CreateDirectoryW(Widen(programs).c_str(), nullptr));
        present = programs + u8"\\app.exe";
        HANDLE file = CreateFileW(Widen(present).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        CloseHandle(file);
        gone = programs + u8"\\удалён 日本.exe";
        ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Widen(gone).c_str()));
    }

    ScratchFolder folder{"C:\\"};
    std::string programs;
    std::string present;
    std::string gone;
};

TEST_F(UnicodePathTest, AFileUnderACyrillicFolderIsPresentAndAGoneOneMissing)
{
    Platform& platform = SystemPlatform();
    const struct {
        std::string path;
        bool missing;
    } cases[] = {
        {present, false},
        {programs, false},
        {programs + "\\", false},
        {gone, true},
        {folder.Path() + u8"Нет такой папки\\app.exe", true},
    };
    for (const auto& entry : cases)
        EXPECT_EQ(entry.missing, IsMissingFile(platform, entry.path)) << entry.path;
}

TEST_F(UnicodePathTest, AValueNamingTheProgramWithAnArgumentIsNoFinding)
{
    ScratchRegistryKey scratch;
    ASSERT_TRUE(scratch.IsCreated());
    ASSERT_TRUE(scratch.SetString("", u8"Запуск", "\"" + present + u8"\" /фон"));
    ASSERT_TRUE(scratch.SetString("", u8"Пропал", "\"" + gone + u8"\" /фон"));

    RecordingSink sink;
    RunScanTask(SystemPlatform(), 1, sink.Sink());
    Strings names;
    for (const RecordedFinding& finding : sink.findings)
        if (finding.item.keyPath == scratch.KeyPath())
            names.push_back(finding.item.valueName);
    EXPECT_EQ(Strings{u8"Пропал"}, names);
}

} // namespace
