// The registry side of list rows: deleting the entry behind a row, telling
// whether it is still there, and writing an edited string value.
#include "core/RegistryChange.h"
#include "core/RegistryEntry.h"
#include "core/Unicode.h"
#include "tests/support/MemoryPlatform.h"

#include <gtest/gtest.h>

namespace {

RegistryItem ValueRow(const std::string& keyPath, const std::string& name, std::int32_t type = kRegSz)
{
    RegistryItem row;
    row.rootName = "HKEY_CURRENT_USER";
    row.keyPath = keyPath;
    row.valueName = name;
    row.type = type;
    return row;
}

RegistryItem KeyRow(const std::string& keyPath)
{
    RegistryItem row = ValueRow(keyPath, "");
    row.type = kKeyRowType;
    return row;
}

std::string StringOf(const MemoryPlatform& platform, const std::string& path, const std::string& name)
{
    std::uint32_t type = 0;
    std::string bytes;
    if (!platform.ReadValue(kHkeyCurrentUser, path, name, &type, &bytes))
        return "<missing>";
    return bytes;
}

} // namespace

TEST(RegistryEntry, DeletesValuesAndKeysAndTellsWhatIsLeft)
{
    MemoryPlatform platform;
    platform.AddString(kHkeyCurrentUser, "Software\\App", "Path", "C:\\gone.exe");
    platform.AddString(kHkeyCurrentUser, "Software\\App", "", "default");
    platform.AddString(kHkeyCurrentUser, "Software\\App\\Sub", "x", "y");

    const RegistryItem value = ValueRow("Software\\App", "Path");
    EXPECT_TRUE(RegistryEntryExists(platform, platform, value));
    EXPECT_TRUE(DeleteRegistryEntry(platform, platform, value));
    EXPECT_FALSE(RegistryEntryExists(platform, platform, value));
    EXPECT_TRUE(platform.HasValue(kHkeyCurrentUser, "Software\\App", ""));

    // An empty value name stands for the key's default value.
    const RegistryItem defaultValue = ValueRow("Software\\App", "");
    EXPECT_TRUE(DeleteRegistryEntry(platform, platform, defaultValue));
    EXPECT_FALSE(RegistryEntryExists(platform, platform, defaultValue));

    // A key row takes its whole subtree; a row below it is then gone too.
    const RegistryItem key = KeyRow("Software\\App");
    const RegistryItem below = ValueRow("Software\\App\\Sub", "x");
    EXPECT_TRUE(DeleteRegistryEntry(platform, platform, key));
    EXPECT_FALSE(RegistryEntryExists(platform, platform, key));
    EXPECT_FALSE(RegistryEntryExists(platform, platform, below));
    EXPECT_FALSE(DeleteRegistryEntry(platform, platform, below));
    EXPECT_EQ(platform.OpenKeyCount(), 0u);
}

TEST(RegistryEntry, AnEntryThatCouldNotBeDeletedIsStillThere)
{
    MemoryPlatform platform;
    platform.AddString(kHkeyCurrentUser, "Software\\Locked", "v", "1");
    platform.SetKeyFaults(kHkeyCurrentUser, "Software\\Locked", kDenyWrite | kDenyDelete);
    const RegistryItem value = ValueRow("Software\\Locked", "v");
    EXPECT_FALSE(DeleteRegistryEntry(platform, platform, value));
    EXPECT_TRUE(RegistryEntryExists(platform, platform, value));
    const RegistryItem key = KeyRow("Software\\Locked");
    EXPECT_FALSE(DeleteRegistryEntry(platform, platform, key));
    EXPECT_TRUE(RegistryEntryExists(platform, platform, key));

    // A key that cannot even be opened is not taken for gone.
    platform.SetKeyFaults(kHkeyCurrentUser, "Software\\Locked", kDenyOpen);
    EXPECT_TRUE(RegistryEntryExists(platform, platform, key));
    EXPECT_EQ(platform.OpenKeyCount(), 0u);
}

// The edit as the edit dialog makes it, with its backup folder; each change
// leaves no key open.
bool Edit(MemoryPlatform& platform, const RegistryItem& row, const std::string& name, const std::string& data)
{
    return EditStringValue(platform, row, name, data, ChangeBackup{"C:\\Backup", "Auto"}).status ==
           ChangeStatus::Done;
}

TEST(RegistryEntry, EditingWritesTheStringAndRenamesWhenTheNameChanged)
{
    MemoryPlatform platform;
    platform.AddString(kHkeyCurrentUser, "Software\\App", "A", "old");
    platform.AddString(kHkeyCurrentUser, "Software\\App", "B", "other");

    // Only the data changes: nothing is deleted.
    EXPECT_TRUE(Edit(platform, ValueRow("Software\\App", "A"), "A", "new"));
    EXPECT_EQ(StringOf(platform, "Software\\App", "A"), TextToStringData("new"));

    // A rename onto an existing name overwrites it and removes the old name.
    EXPECT_TRUE(Edit(platform, ValueRow("Software\\App", "A"), "B", "moved"));
    EXPECT_EQ(StringOf(platform, "Software\\App", "A"), "<missing>");
    EXPECT_EQ(StringOf(platform, "Software\\App", "B"), TextToStringData("moved"));

    // An empty name writes the default value.
    EXPECT_TRUE(Edit(platform, ValueRow("Software\\App", "B"), "", "dflt"));
    EXPECT_EQ(StringOf(platform, "Software\\App", ""), TextToStringData("dflt"));
    EXPECT_EQ(StringOf(platform, "Software\\App", "B"), "<missing>");

    // A name that changes only its case keeps the value, with the new data.
    platform.AddString(kHkeyCurrentUser, "Software\\App", "c", "x");
    EXPECT_TRUE(Edit(platform, ValueRow("Software\\App", "c"), "C", "y"));
    EXPECT_EQ(StringOf(platform, "Software\\App", "C"), TextToStringData("y"));
    // So does one in Cyrillic, and the text is stored as UTF-16.
    platform.AddString(kHkeyCurrentUser, "Software\\App", "имя", "x");
    EXPECT_TRUE(Edit(platform, ValueRow("Software\\App", "имя"), "ИМЯ", "Привет 😀"));
    EXPECT_EQ(StringOf(platform, "Software\\App", "ИМЯ"), TextToStringData("Привет 😀"));
    EXPECT_EQ((std::vector<std::string>{"", "C", "ИМЯ"}), platform.ValueNames(kHkeyCurrentUser, "Software\\App"));
    EXPECT_EQ(platform.OpenKeyCount(), 0u);
}

TEST(RegistryEntry, EditingAMissingKeyOrAnUnknownRootChangesNothing)
{
    MemoryPlatform platform;
    EXPECT_FALSE(Edit(platform, ValueRow("Software\\Nowhere", "A"), "A", "x"));
    EXPECT_FALSE(platform.HasKey(kHkeyCurrentUser, "Software\\Nowhere"));
    RegistryItem row = ValueRow("Software", "A");
    row.rootName = "HKCU";
    EXPECT_FALSE(Edit(platform, row, "A", "x"));

    platform.AddString(kHkeyCurrentUser, "Software\\RO", "A", "keep");
    platform.SetKeyFaults(kHkeyCurrentUser, "Software\\RO", kDenyWrite);
    EXPECT_FALSE(Edit(platform, ValueRow("Software\\RO", "A"), "B", "x"));
    EXPECT_EQ(StringOf(platform, "Software\\RO", "A"), TextToStringData("keep"));
    EXPECT_EQ(platform.OpenKeyCount(), 0u);
}
