// The ignore list on the in-memory platform: which rows an entry hides
// (whole keys with what lies below them, single values, the default value),
// the case rules, parents told apart from mere prefixes, names of every
// script, and adding and removing entries without duplicates.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/IgnoreList.h"
#include "tests/support/MemoryPlatform.h"

namespace {

RegistryItem KeyRow(const std::string& root, const std::string& path)
{
    RegistryItem row;
    row.rootName = root;
    row.keyPath = path;
    row.valueName = "(key)"; // what a search key row shows; never part of an entry
    row.type = kKeyRowType;
    return row;
}

RegistryItem ValueRow(const std::string& root, const std::string& path, const std::string& name)
{
    RegistryItem row;
    row.rootName = root;
    row.keyPath = path;
    row.valueName = name;
    row.dataText = "C:\\gone.exe";
    row.type = kRegSz;
    return row;
}

IgnoreEntry WholeKey(const std::string& root, const std::string& path)
{
    IgnoreEntry entry;
    entry.rootName = root;
    entry.keyPath = path;
    return entry;
}

IgnoreEntry OneValue(const std::string& root, const std::string& path, const std::string& name)
{
    IgnoreEntry entry = WholeKey(root, path);
    entry.hasValueName = true;
    entry.valueName = name;
    return entry;
}

constexpr const char* kHkcu = "HKEY_CURRENT_USER";
constexpr const char* kHklm = "HKEY_LOCAL_MACHINE";

class IgnoreListTest : public ::testing::Test {
protected:
    bool Ignored(const RegistryItem& row) { return IsIgnored(platform, list, row); }

    MemoryPlatform platform;
    std::vector<IgnoreEntry> list;
};

} // namespace

TEST_F(IgnoreListTest, AWholeKeyHidesItselfEverythingBelowAndNothingBeside)
{
    EXPECT_FALSE(Ignored(KeyRow(kHkcu, "Software\\App"))); // an empty list hides nothing
    list = {WholeKey(kHkcu, "Software\\App")};
    EXPECT_TRUE(Ignored(KeyRow(kHkcu, "Software\\App")));
    EXPECT_TRUE(Ignored(KeyRow(kHkcu, "Software\\App\\Sub\\Deeper")));
    EXPECT_TRUE(Ignored(ValueRow(kHkcu, "Software\\App", "Path")));
    EXPECT_TRUE(Ignored(ValueRow(kHkcu, "Software\\App", "")));
    EXPECT_TRUE(Ignored(ValueRow(kHkcu, "Software\\App\\Sub", "Path")));

    // A prefix of the text is not a parent key.
    EXPECT_FALSE(Ignored(KeyRow(kHkcu, "Software\\Application")));
    EXPECT_FALSE(Ignored(ValueRow(kHkcu, "Software\\Application\\Sub", "Path")));
    // Nor is a key above it, a key of another root or one with the same name elsewhere.
    EXPECT_FALSE(Ignored(KeyRow(kHkcu, "Software")));
    EXPECT_FALSE(Ignored(ValueRow(kHkcu, "Software", "App")));
    EXPECT_FALSE(Ignored(KeyRow(kHklm, "Software\\App")));
    EXPECT_FALSE(Ignored(KeyRow(kHkcu, "Other\\Software\\App")));
}

TEST_F(IgnoreListTest, AValueEntryHidesOnlyThatValueOfThatKey)
{
    list = {OneValue(kHkcu, "Software\\App", "Path")};
    EXPECT_TRUE(Ignored(ValueRow(kHkcu, "Software\\App", "Path")));
    EXPECT_FALSE(Ignored(ValueRow(kHkcu, "Software\\App", "Path2")));
    EXPECT_FALSE(Ignored(ValueRow(kHkcu, "Software\\App", "")));
    EXPECT_FALSE(Ignored(ValueRow(kHkcu, "Software\\App\\Sub", "Path")));
    EXPECT_FALSE(Ignored(ValueRow(kHklm, "Software\\App", "Path")));
    // The key itself still shows, whatever name its row shows.
    RegistryItem keyRowNamedLikeTheValue = KeyRow(kHkcu, "Software\\App");
    keyRowNamedLikeTheValue.valueName = "Path";
    EXPECT_FALSE(Ignored(keyRowNamedLikeTheValue));
}

TEST_F(IgnoreListTest, TheDefaultValueIsAValueOfItsOwn)
{
    list = {OneValue(kHkcu, "Software\\App", "")};
    EXPECT_TRUE(Ignored(ValueRow(kHkcu, "Software\\App", "")));
    EXPECT_FALSE(Ignored(ValueRow(kHkcu, "Software\\App", "Path")));
    EXPECT_FALSE(Ignored(KeyRow(kHkcu, "Software\\App")));
    EXPECT_FALSE(Ignored(ValueRow(kHkcu, "Software\\App\\Sub", "")));
}

TEST_F(IgnoreListTest, RootsKeysAndValueNamesCompareWithoutCase)
{
    list = {WholeKey("hkey_current_user", "software\\VENDOR\\app"),
            OneValue(kHklm, "Software\\Run", "Updater")};
    EXPECT_TRUE(Ignored(KeyRow(kHkcu, "Software\\Vendor\\App")));
    EXPECT_TRUE(Ignored(ValueRow("Hkey_Current_User", "SOFTWARE\\vendor\\APP\\x", "v")));
    EXPECT_TRUE(Ignored(ValueRow(kHklm, "SOFTWARE\\RUN", "UPDATER")));
    EXPECT_TRUE(Ignored(ValueRow(kHklm, "software\\run", "updater")));
    EXPECT_FALSE(Ignored(ValueRow(kHklm, "Software\\Run", "Updater ")));

    // The system's upper-casing covers letters beyond A to Z.
    list = {WholeKey(kHkcu, "Software\\été")};
    EXPECT_TRUE(Ignored(KeyRow(kHkcu, "SOFTWARE\\ÉTÉ")));
}

TEST_F(IgnoreListTest, BackslashesAroundAKeyPathDoNotMatter)
{
    list = {WholeKey(kHkcu, "\\Software\\App\\"), OneValue(kHklm, "Software\\Run\\\\", "x")};
    EXPECT_TRUE(Ignored(KeyRow(kHkcu, "Software\\App")));
    EXPECT_TRUE(Ignored(KeyRow(kHkcu, "Software\\App\\Sub")));
    EXPECT_TRUE(Ignored(ValueRow(kHklm, "\\Software\\Run", "x")));
    EXPECT_FALSE(Ignored(KeyRow(kHkcu, "Software\\Application")));
}

TEST_F(IgnoreListTest, AnEntryWithoutAKeyPathStandsForTheWholeRoot)
{
    list = {WholeKey(kHkcu, ""), OneValue(kHklm, "", "Top")};
    EXPECT_TRUE(Ignored(KeyRow(kHkcu, "Software")));
    EXPECT_TRUE(Ignored(ValueRow(kHkcu, "", "x")));
    EXPECT_TRUE(Ignored(ValueRow(kHklm, "", "Top")));
    EXPECT_FALSE(Ignored(ValueRow(kHklm, "Software", "Top")));
    EXPECT_FALSE(Ignored(KeyRow(kHklm, "Software")));
}

TEST_F(IgnoreListTest, NamesOfEveryScriptMatchWithoutRegardToCase)
{
    // Cyrillic and Greek letters fold as Latin ones do; a parent is still told
    // apart from a longer name that merely starts the same.
    list = {WholeKey(kHkcu, "Software\\Программа")};
    EXPECT_TRUE(Ignored(KeyRow(kHkcu, "Software\\ПРОГРАММА\\x")));
    EXPECT_TRUE(Ignored(ValueRow("hkey_current_user", "SOFTWARE\\программа", "Путь")));
    EXPECT_FALSE(Ignored(KeyRow(kHkcu, "Software\\Программа2")));
    EXPECT_FALSE(Ignored(KeyRow(kHkcu, "Software\\Програм")));

    list = {OneValue(kHkcu, "Software\\ソフト", "Ωμεγα"), WholeKey(kHklm, "Software\\😀")};
    EXPECT_TRUE(Ignored(ValueRow(kHkcu, "software\\ソフト", "ΩΜΕΓΑ")));
    EXPECT_FALSE(Ignored(ValueRow(kHkcu, "Software\\ソフト", "Ωμεγα2")));
    EXPECT_FALSE(Ignored(ValueRow(kHkcu, "Software\\ソフ", "Ωμεγα")));
    EXPECT_TRUE(Ignored(KeyRow(kHklm, "SOFTWARE\\😀\\Sub")));
    EXPECT_FALSE(Ignored(KeyRow(kHklm, "Software\\😁")));
}

TEST_F(IgnoreListTest, AddingSkipsEntriesAlreadyThereAndRepeatedRows)
{
    list = {WholeKey(kHkcu, "Software\\App")};
    const std::vector<IgnoreEntry> added = AddIgnoreEntries(
        platform, list,
        {KeyRow("hkey_current_user", "SOFTWARE\\APP"),          // already there
         ValueRow(kHkcu, "Software\\App", "Path"),               // a value is another entry
         ValueRow(kHkcu, "Software\\App", "PATH"),               // same value again
         ValueRow(kHkcu, "Software\\App", ""),                   // the default value differs
         KeyRow(kHklm, "Software\\App"),
         KeyRow(kHklm, "Software\\App\\")});                     // same key again
    ASSERT_EQ(added.size(), 3u);
    EXPECT_TRUE(SameIgnoreEntry(platform, added[0], OneValue(kHkcu, "Software\\App", "Path")));
    EXPECT_TRUE(SameIgnoreEntry(platform, added[1], OneValue(kHkcu, "Software\\App", "")));
    EXPECT_TRUE(SameIgnoreEntry(platform, added[2], WholeKey(kHklm, "Software\\App")));
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[1].valueName, "Path"); // kept as the row spelt it
    EXPECT_TRUE(list[2].hasValueName);    // the default value
    EXPECT_FALSE(list[3].hasValueName);   // a key row's shown name is not kept
    EXPECT_EQ(list[3].valueName, "");
    EXPECT_TRUE(AddIgnoreEntries(platform, list, {KeyRow(kHklm, "software\\app")}).empty());
    EXPECT_EQ(list.size(), 4u);
}

TEST_F(IgnoreListTest, RemovingTakesOutEveryEqualEntryAndNothingElse)
{
    list = {WholeKey(kHkcu, "Software\\App"), OneValue(kHkcu, "Software\\App", "Path"),
            WholeKey("HKEY_current_user", "software\\app"), // a hand-made twin
            WholeKey(kHkcu, "Software\\App\\Sub"), OneValue(kHkcu, "Software\\App", "")};
    EXPECT_EQ(RemoveIgnoreEntries(platform, list, {WholeKey(kHkcu, "SOFTWARE\\APP")}), 2u);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_TRUE(list[0].hasValueName);
    EXPECT_EQ(list[1].keyPath, "Software\\App\\Sub");
    EXPECT_TRUE(list[2].hasValueName);

    EXPECT_EQ(RemoveIgnoreEntries(platform, list, {OneValue(kHkcu, "Software\\App", "")}), 1u);
    EXPECT_EQ(RemoveIgnoreEntries(platform, list, {OneValue(kHkcu, "Software\\App", "Other")}), 0u);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].valueName, "Path");

    // Once removed, the rows show again.
    EXPECT_FALSE(Ignored(KeyRow(kHkcu, "Software\\App")));
    EXPECT_TRUE(Ignored(KeyRow(kHkcu, "Software\\App\\Sub")));
}
