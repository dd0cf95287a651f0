// Editing a string value through the system platform against the real
// registry under Wine: a rename that only changes the case of the name, and
// data far longer than any text box used to take, each written whole and
// backed up first.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "RegistryScratch.h"
#include "core/RegistryChange.h"
#include "win32/Win32Platform.h"

namespace {

// The names of the values of a key, in the registry's own spelling.
std::vector<std::string> ValueNames(const std::string& keyPath)
{
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(keyPath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[16384] = {};
        DWORD length = sizeof name / sizeof name[0];
        if (RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(Narrow(name, length));
    }
    RegCloseKey(key);
    return names;
}

// A string value's data without its terminating zero, or "<missing>".
std::string StringData(const std::string& keyPath, const std::string& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(keyPath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<missing>";
    DWORD type = 0;
    DWORD size = 0;
    std::string data = "<missing>";
    if (RegQueryValueExW(key, Widen(name).c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
        std::wstring units(size / sizeof(wchar_t) + 1, L'\0');
        if (RegQueryValueExW(key, Widen(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&units[0]), &size) ==
            ERROR_SUCCESS) {
            units.resize(size / sizeof(wchar_t));
            while (!units.empty() && units.back() == L'\0')
                units.pop_back();
            data = Narrow(units);
        }
    }
    RegCloseKey(key);
    return data;
}

RegistryItem StringRow(const ScratchRegistryKey& key, const std::string& name, const std::string& data)
{
    RegistryItem row;
    row.rootName = "HKEY_CURRENT_USER";
    row.keyPath = key.KeyPath();
    row.valueName = name;
    row.dataText = data;
    row.type = REG_SZ;
    return row;
}

class RegistryChangeEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(key.IsCreated());
        ASSERT_TRUE(folder.IsCreated());
    }
    ChangeBackup Backup() const { return ChangeBackup{folder.Path() + "Backup\\", "Auto"}; }

    ScratchRegistryKey key;
    ScratchFolder folder{"C:\\"};
};

} // namespace

TEST_F(RegistryChangeEditTest, RenameChangingOnlyTheCaseKeepsTheValueUnderTheNewSpelling)
{
    ASSERT_TRUE(key.SetString("", "colour", "blue"));
    ASSERT_TRUE(key.SetString("", "other", "kept"));

    const EditOutcome outcome =
        EditStringValue(SystemPlatform(), StringRow(key, "colour", "blue"), "Colour", "blue", Backup());

    EXPECT_EQ(outcome.status, ChangeStatus::Done);
    const std::vector<std::string> names = ValueNames(key.KeyPath());
    EXPECT_EQ(std::count(names.begin(), names.end(), "Colour"), 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), "colour"), 0);
    EXPECT_EQ(names.size(), 2u);
    EXPECT_EQ(StringData(key.KeyPath(), "Colour"), "blue");
    EXPECT_EQ(StringData(key.KeyPath(), "other"), "kept");
    // The backup holds the value as it was.
    const std::string backup = ReadRegFileText(outcome.backupPath);
    EXPECT_NE(backup.find("\"colour\"=\"blue\""), std::string::npos) << backup;
}

TEST_F(RegistryChangeEditTest, CaseOnlyRenameWithNewDataWritesBoth)
{
    ASSERT_TRUE(key.SetString("", "path", "old"));

    const EditOutcome outcome =
        EditStringValue(SystemPlatform(), StringRow(key, "path", "old"), "PATH", "new", Backup());

    EXPECT_EQ(outcome.status, ChangeStatus::Done);
    EXPECT_EQ(ValueNames(key.KeyPath()), std::vector<std::string>{"PATH"});
    EXPECT_EQ(StringData(key.KeyPath(), "PATH"), "new");
}

TEST_F(RegistryChangeEditTest, LongDataIsWrittenWholeAndTheFormerDataBackedUp)
{
    std::string former(600, 'f');
    former += "end";
    ASSERT_TRUE(key.SetString("", "long", former));
    std::string edited;
    for (int i = 0; edited.size() < 70000; ++i)
        edited += "part" + std::to_string(i) + ";";
    edited.resize(70000);

    const EditOutcome outcome =
        EditStringValue(SystemPlatform(), StringRow(key, "long", former), "long", edited, Backup());

    EXPECT_EQ(outcome.status, ChangeStatus::Done);
    const std::string now = StringData(key.KeyPath(), "long");
    EXPECT_EQ(now.size(), 70000u);
    EXPECT_EQ(now, edited);
    EXPECT_EQ(ValueNames(key.KeyPath()), std::vector<std::string>{"long"});
    const std::string backup = ReadRegFileText(outcome.backupPath);
    EXPECT_NE(backup.find("\"long\"=\"" + former + "\""), std::string::npos);
}

TEST_F(RegistryChangeEditTest, NothingChangesWhenTheBackupCannotBeWritten)
{
    ASSERT_TRUE(key.SetString("", "name", "before"));
    // A file where the backup folder should be: no backup file can be made there.
    const std::string blocker = folder.WriteTestFile("Blocked", "x");

    const EditOutcome outcome = EditStringValue(SystemPlatform(), StringRow(key, "name", "before"), "Name",
                                                "after", ChangeBackup{blocker + "\\", "Auto"});

    EXPECT_EQ(outcome.status, ChangeStatus::BackupFailed);
    EXPECT_EQ(ValueNames(key.KeyPath()), std::vector<std::string>{"name"});
    EXPECT_EQ(StringData(key.KeyPath(), "name"), "before");
}
