// Root keys, path splitting, value display text, string reads, subkey
// listing and deletion, on the in-memory platform.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/MemoryPlatform.h"
#include "core/RegistryPaths.h"
#include "core/Unicode.h"

namespace {

std::string Repeat(const std::string& text, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += text;
    return out;
}

const std::uint8_t* Data(const std::string& bytes)
{
    return reinterpret_cast<const std::uint8_t*>(bytes.data());
}

std::string Format(std::uint32_t type, const std::string& bytes)
{
    return FormatValueData(type, Data(bytes), static_cast<std::uint32_t>(bytes.size()));
}

struct Split {
    bool ok;
    RootKey root;
    std::string keyPath;
};

Split SplitPath(Platform& platform, const std::string& path)
{
    Split split{false, 12345, "garbage"};
    split.ok = SplitRegistryPath(platform, path, &split.root, &split.keyPath);
    return split;
}

TEST(RootKeyTest, NamesAndParsingUseTheFullNamesOnly)
{
    MemoryPlatform platform;
    EXPECT_EQ("HKEY_CLASSES_ROOT", RootKeyName(0x80000000u));
    EXPECT_EQ("HKEY_LOCAL_MACHINE", RootKeyName(0x80000002u));
    EXPECT_EQ("HKEY_DYN_DATA", RootKeyName(0x80000006u));
    EXPECT_EQ("", RootKeyName(0x80000007u));
    EXPECT_EQ("", RootKeyName(kNoRootKey));
    for (RootKey root = kHkeyClassesRoot; root <= kHkeyDynData; ++root)
        EXPECT_EQ(root, ParseRootKey(platform, RootKeyName(root)));
    EXPECT_EQ(kHkeyUsers, ParseRootKey(platform, "hkey_Users"));
    EXPECT_EQ(kNoRootKey, ParseRootKey(platform, "HKLM"));
    EXPECT_EQ(kNoRootKey, ParseRootKey(platform, " HKEY_USERS"));
    EXPECT_EQ(kNoRootKey, ParseRootKey(platform, "HKEY_USERS "));
    EXPECT_EQ(kNoRootKey, ParseRootKey(platform, ""));
}

TEST(SplitRegistryPathTest, SplitsRootAndKeyPath)
{
    MemoryPlatform platform;
    Split split = SplitPath(platform, "hkey_local_machine\\Software");
    EXPECT_TRUE(split.ok);
    EXPECT_EQ(kHkeyLocalMachine, split.root);
    EXPECT_EQ("Software", split.keyPath);
    split = SplitPath(platform, "\\\\HKEY_USERS\\.DEFAULT\\\\");
    EXPECT_TRUE(split.ok);
    EXPECT_EQ(kHkeyUsers, split.root);
    EXPECT_EQ(".DEFAULT", split.keyPath);
    split = SplitPath(platform, "HKEY_CURRENT_USER\\A\\b\\C");
    EXPECT_TRUE(split.ok);
    EXPECT_EQ("A\\b\\C", split.keyPath);
}

TEST(SplitRegistryPathTest, FailsWithoutKnownRootOrKeyPath)
{
    MemoryPlatform platform;
    for (const char* path : {"HKLM\\Software", "HKEY_CURRENT_USER", "HKEY_CURRENT_USER\\", "", "\\\\",
                             "Software\\Microsoft", " HKEY_USERS\\x"}) {
        Split split = SplitPath(platform, path);
        EXPECT_FALSE(split.ok) << path;
        EXPECT_EQ(kNoRootKey, split.root) << path;
        EXPECT_EQ("", split.keyPath) << path;
    }
}

TEST(SplitRegistryPathTest, NamesOfEveryScriptSplitAtBackslashesOnly)
{
    MemoryPlatform platform;
    Split split = SplitPath(platform, "hkey_current_user\\Программа\\ソフト😀\\");
    EXPECT_TRUE(split.ok);
    EXPECT_EQ(kHkeyCurrentUser, split.root);
    EXPECT_EQ("Программа\\ソフト😀", split.keyPath);
    EXPECT_EQ("Ωμεγα\\ж", TrimBackslashes("\\Ωμεγα\\ж\\\\\\"));
}

std::string Utf16(const std::string& text) { return Utf8ToUtf16LeBytes(text); }

TEST(FormatValueDataTest, StringsAndNumbers)
{
    // String data is UTF-16 LE: shown up to its first zero unit, an odd last
    // byte left out.
    EXPECT_EQ("C:\\x.exe", Format(kRegSz, TextToStringData("C:\\x.exe") + Utf16("junk")));
    EXPECT_EQ("no zero", Format(kRegSz, Utf16("no zero")));
    EXPECT_EQ("odd", Format(kRegSz, Utf16("odd") + "x"));
    EXPECT_EQ("Привет ソ😀", Format(kRegSz, TextToStringData("Привет ソ😀")));
    EXPECT_EQ("%SystemRoot%\\x", Format(kRegExpandSz, TextToStringData("%SystemRoot%\\x")));
    EXPECT_EQ("", Format(kRegSz, std::string("\0\0a\0", 4)));
    EXPECT_EQ("0xffffffff (-1)", Format(kRegDword, std::string("\xff\xff\xff\xff", 4)));
    EXPECT_EQ("0x0000000a (10)", Format(kRegDword, std::string("\x0a\0\0\0", 4)));
    // Short data is read only as far as it goes.
    EXPECT_EQ("0x00000201 (513)", Format(kRegDword, std::string("\x01\x02", 2)));
    EXPECT_EQ("", FormatValueData(kRegSz, nullptr, 10));
}

TEST(FormatValueDataTest, BinaryShowsAtMostTwentyBytes)
{
    EXPECT_EQ("01 0a ff", Format(kRegBinary, "\x01\x0a\xff"));
    EXPECT_EQ("", Format(kRegBinary, ""));
    std::string twenty(20, '\x11');
    EXPECT_EQ("11 11 11 11 11 11 11 11 11 11 11 11 11 11 11 11 11 11 11 11",
              Format(kRegBinary, twenty));
    EXPECT_EQ("11 11 11 11 11 11 11 11 11 11 11 11 11 11 11 11 11 11 11 11...",
              Format(kRegBinary, twenty + "\x22"));
}

TEST(FormatValueDataTest, MultiStringsAndOtherTypes)
{
    EXPECT_EQ("a Жж", Format(kRegMultiSz, Utf16(std::string("a\0Жж\0\0", 8))));
    EXPECT_EQ("", Format(kRegMultiSz, Utf16(std::string("\0b\0\0", 4))));
    EXPECT_EQ("a", Format(kRegMultiSz, Utf16(std::string("a\0\0b\0\0", 6))));
    EXPECT_EQ("one two", Format(kRegMultiSz, Utf16(std::string("one\0two", 7))));
    EXPECT_EQ("one tw", Format(kRegMultiSz, Utf16(std::string("one\0tw", 6)) + "o"));
    for (std::uint32_t type : {kRegNone, kRegDwordBigEndian, kRegLink, kRegResourceList,
                               kRegFullResourceDescriptor, kRegResourceRequirementsList, kRegQword})
        EXPECT_EQ("", Format(type, "abcd")) << type;
}

TEST(ReadStringValueTest, ReadsAFolderPathOf259CharactersWithItsZero)
{
    MemoryPlatform platform;
    const std::string cyrillic = "C:\\" + Repeat("Ж", 256);
    platform.AddString(kHkeyCurrentUser, "K", "short", "value");
    platform.AddString(kHkeyCurrentUser, "K", "fits", std::string(259, 'a'));      // 520 bytes
    platform.AddString(kHkeyCurrentUser, "K", "cyrillic", cyrillic);               // 520 bytes
    platform.AddString(kHkeyCurrentUser, "K", "too long", std::string(260, 'b'));  // 522 bytes
    platform.AddValue(kHkeyCurrentUser, "K", "", kRegBinary, Utf16(std::string("hi\0x", 4)));
    EXPECT_EQ("value", ReadStringValue(platform, kHkeyCurrentUser, "K", "SHORT"));
    EXPECT_EQ(std::string(259, 'a'), ReadStringValue(platform, kHkeyCurrentUser, "K", "fits"));
    EXPECT_EQ(cyrillic, ReadStringValue(platform, kHkeyCurrentUser, "K", "CYRILLIC"));
    EXPECT_EQ("", ReadStringValue(platform, kHkeyCurrentUser, "K", "too long"));
    EXPECT_EQ("hi", ReadStringValue(platform, kHkeyCurrentUser, "K", ""));   // type not examined
    EXPECT_EQ("", ReadStringValue(platform, kHkeyCurrentUser, "K", "missing"));
    EXPECT_EQ("", ReadStringValue(platform, kHkeyCurrentUser, "Missing", "short"));
    platform.SetKeyFaults(kHkeyCurrentUser, "K", kDenyOpen);
    EXPECT_EQ("", ReadStringValue(platform, kHkeyCurrentUser, "K", "short"));
    EXPECT_EQ(0u, platform.OpenKeyCount());
}

TEST(BufferSizeForLongestTest, OneMoreThanTheLongestAndNeverBelow766Bytes)
{
    EXPECT_EQ(766u, BufferSizeForLongest(0));
    EXPECT_EQ(766u, BufferSizeForLongest(764));
    EXPECT_EQ(766u, BufferSizeForLongest(765));
    EXPECT_EQ(767u, BufferSizeForLongest(766));
    EXPECT_EQ(16384u, BufferSizeForLongest(16383));
    // The largest reports never wrap around to a small buffer.
    EXPECT_EQ(0xFFFFFFFFu, BufferSizeForLongest(0xFFFFFFFEu));
    EXPECT_EQ(0xFFFFFFFFu, BufferSizeForLongest(0xFFFFFFFFu));
}

using SubKeyList = std::vector<std::pair<std::string, std::string>>;

void CollectSubKey(RootKey root, const std::string& keyPath, const std::string& name, void* context)
{
    static_cast<SubKeyList*>(context)->emplace_back(keyPath, name);
    EXPECT_EQ(kHkeyLocalMachine, root);
}

TEST(EnumSubKeysTest, ListsDirectSubkeysInOrderWithTrimmedPath)
{
    MemoryPlatform platform;
    platform.AddKey(kHkeyLocalMachine, "Software\\Zeta\\Deep");
    platform.AddKey(kHkeyLocalMachine, "Software\\alpha");
    SubKeyList found;
    EnumSubKeys(platform, kHkeyLocalMachine, " \\Software\\ \\", &CollectSubKey, &found);
    EXPECT_EQ((SubKeyList{{"Software", "Zeta"}, {"Software", "alpha"}}), found);
    EXPECT_EQ(0u, platform.OpenKeyCount());
}

// Sets the stop flag on the second subkey, as a stopped scan's worker sees it.
void StopAtSecondSubKey(RootKey root, const std::string& keyPath, const std::string& name, void* context)
{
    auto* state = static_cast<std::pair<SubKeyList, std::atomic<bool>*>*>(context);
    CollectSubKey(root, keyPath, name, &state->first);
    if (state->first.size() == 2)
        state->second->store(true);
}

TEST(EnumSubKeysTest, StopEndsTheListingAtOnce)
{
    MemoryPlatform platform;
    for (const char* name : {"a", "b", "c", "d"})
        platform.AddKey(kHkeyLocalMachine, std::string("K\\") + name);
    std::atomic<bool> stop{false};
    std::pair<SubKeyList, std::atomic<bool>*> state{{}, &stop};
    EnumSubKeys(platform, kHkeyLocalMachine, "K", &StopAtSecondSubKey, &state, &stop);
    EXPECT_EQ((SubKeyList{{"K", "a"}, {"K", "b"}}), state.first);

    // Stopped before it starts, it lists nothing.
    SubKeyList found;
    EnumSubKeys(platform, kHkeyLocalMachine, "K", &CollectSubKey, &found, &stop);
    EXPECT_TRUE(found.empty());
}

TEST(EnumSubKeysTest, LongestNamesDoNotEndTheListing)
{
    MemoryPlatform platform;
    const std::string longName(255, 'n');
    platform.AddKey(kHkeyLocalMachine, "K\\" + longName);
    platform.AddKey(kHkeyLocalMachine, "K\\after");
    SubKeyList found;
    EnumSubKeys(platform, kHkeyLocalMachine, "K", &CollectSubKey, &found);
    EXPECT_EQ((SubKeyList{{"K", longName}, {"K", "after"}}), found);
}

TEST(EnumSubKeysTest, NamesOfEveryScriptAreListedAsStored)
{
    MemoryPlatform platform;
    const std::string longest = Repeat("Ж", 255);   // 255 characters, 510 bytes of UTF-8
    const SubKeyList expected = {{"K", "Программа"}, {"K", "ソフト"}, {"K", "😀"},
                                 {"K", "lone\xED\xB0\x80"}, {"K", longest}, {"K", "last"}};
    for (const auto& entry : expected)
        platform.AddKey(kHkeyLocalMachine, "K\\" + entry.second);
    SubKeyList found;
    EnumSubKeys(platform, kHkeyLocalMachine, "K", &CollectSubKey, &found);
    EXPECT_EQ(expected, found);
}

// Without the key's sizes the buffer must still hold any name of 255
// characters, which takes up to 765 bytes of UTF-8.
TEST(EnumSubKeysTest, LongestNamesOfEveryScriptFitWithoutTheKeySizes)
{
    MemoryPlatform platform;
    const std::string longest = Repeat("ソ", 255);   // 765 bytes
    platform.AddKey(kHkeyLocalMachine, "K\\" + longest);
    platform.AddKey(kHkeyLocalMachine, "K\\after");
    platform.SetKeyFaults(kHkeyLocalMachine, "K", kDenyQueryInfo);
    SubKeyList found;
    EnumSubKeys(platform, kHkeyLocalMachine, "K", &CollectSubKey, &found);
    EXPECT_EQ((SubKeyList{{"K", longest}, {"K", "after"}}), found);
}

TEST(EnumSubKeysTest, UnopenableOrMissingKeyCallsNothing)
{
    MemoryPlatform platform;
    platform.AddKey(kHkeyLocalMachine, "Locked\\Child");
    platform.SetKeyFaults(kHkeyLocalMachine, "Locked", kDenyOpen);
    SubKeyList found;
    EnumSubKeys(platform, kHkeyLocalMachine, "Locked", &CollectSubKey, &found);
    EnumSubKeys(platform, kHkeyLocalMachine, "Missing", &CollectSubKey, &found);
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(0u, platform.OpenKeyCount());
}

TEST(DeleteRegistryValueTest, DeletesOnlyWhenEverythingSucceeds)
{
    MemoryPlatform platform;
    platform.AddString(kHkeyCurrentUser, "Software\\App", "Run", "x");
    platform.AddString(kHkeyCurrentUser, "Software\\App", "Keep", "y");
    EXPECT_FALSE(DeleteRegistryValue(platform, platform, "HKCU\\Software\\App", "Run"));
    EXPECT_FALSE(DeleteRegistryValue(platform, platform, "HKEY_CURRENT_USER\\Software\\App", "Missing"));
    EXPECT_FALSE(DeleteRegistryValue(platform, platform, "HKEY_CURRENT_USER\\Software\\Gone", "Run"));
    platform.SetKeyFaults(kHkeyCurrentUser, "Software\\App", kDenyWrite);
    EXPECT_FALSE(DeleteRegistryValue(platform, platform, "HKEY_CURRENT_USER\\Software\\App", "Run"));
    EXPECT_TRUE(platform.HasValue(kHkeyCurrentUser, "Software\\App", "Run"));
    platform.SetKeyFaults(kHkeyCurrentUser, "Software\\App", kKeyFaultNone);
    EXPECT_TRUE(DeleteRegistryValue(platform, platform, "HKEY_CURRENT_USER\\Software\\App\\", "run"));
    EXPECT_FALSE(platform.HasValue(kHkeyCurrentUser, "Software\\App", "Run"));
    EXPECT_TRUE(platform.HasValue(kHkeyCurrentUser, "Software\\App", "Keep"));
    EXPECT_EQ(0u, platform.OpenKeyCount());
    EXPECT_EQ(0u, platform.BadCloseCount());
}

TEST(DeleteRegistryKeyTest, DeletesTheLeafWithItsSubtree)
{
    MemoryPlatform platform;
    platform.AddString(kHkeyCurrentUser, "A\\B\\C\\D", "v", "x");
    platform.AddKey(kHkeyCurrentUser, "A\\B\\Sibling");
    EXPECT_TRUE(DeleteRegistryKey(platform, platform, "HKEY_CURRENT_USER\\A\\B\\C"));
    EXPECT_FALSE(platform.HasKey(kHkeyCurrentUser, "A\\B\\C"));
    EXPECT_TRUE(platform.HasKey(kHkeyCurrentUser, "A\\B\\Sibling"));
    EXPECT_TRUE(DeleteRegistryKey(platform, platform, "\\\\HKEY_CURRENT_USER\\a\\b\\sibling\\\\"));
    EXPECT_FALSE(platform.HasKey(kHkeyCurrentUser, "A\\B\\Sibling"));
    EXPECT_TRUE(platform.HasKey(kHkeyCurrentUser, "A\\B"));
    EXPECT_FALSE(DeleteRegistryKey(platform, platform, "HKEY_CURRENT_USER\\A\\B\\C"));   // already gone
    EXPECT_EQ(0u, platform.OpenKeyCount());
    EXPECT_EQ(0u, platform.BadCloseCount());
}

TEST(DeleteRegistryKeyTest, KeyBeneathTheRootIsDeletedFromTheRootAndNothingElse)
{
    MemoryPlatform platform;
    // Taking the key path as both parent and leaf would delete Solo\Solo.
    platform.AddString(kHkeyCurrentUser, "Solo\\Solo", "v", "x");
    platform.AddString(kHkeyCurrentUser, "Solo", "own", "x");
    platform.AddKey(kHkeyCurrentUser, "Other");
    EXPECT_TRUE(DeleteRegistryKey(platform, platform, "HKEY_CURRENT_USER\\Solo"));
    EXPECT_FALSE(platform.HasKey(kHkeyCurrentUser, "Solo"));
    EXPECT_EQ((std::vector<std::string>{"Other"}), platform.SubKeyNames(kHkeyCurrentUser, ""));
    EXPECT_FALSE(DeleteRegistryKey(platform, platform, "HKEY_CURRENT_USER\\Solo"));
    EXPECT_TRUE(platform.HasKey(kHkeyCurrentUser, "Other"));
}

TEST(DeleteRegistryKeyTest, RefusesPathsThatNameNoKey)
{
    MemoryPlatform platform;
    platform.AddString(kHkeyCurrentUser, "x", "v", "1");
    for (const char* path : {"HKEY_CURRENT_USER", "HKEY_CURRENT_USER\\", "HKCU\\x", "",
                             "HKEY_CURRENT_USER\\\\x"}) {
        EXPECT_FALSE(DeleteRegistryKey(platform, platform, path)) << path;
        EXPECT_TRUE(platform.HasValue(kHkeyCurrentUser, "x", "v")) << path;
    }
}

TEST(DeleteRegistryKeyTest, AccessDeniedLeavesEverything)
{
    MemoryPlatform platform;
    platform.AddKey(kHkeyLocalMachine, "P\\Protected\\Child");
    platform.SetKeyFaults(kHkeyLocalMachine, "P\\Protected\\Child", kDenyDelete);
    EXPECT_FALSE(DeleteRegistryKey(platform, platform, "HKEY_LOCAL_MACHINE\\P\\Protected"));
    EXPECT_TRUE(platform.HasKey(kHkeyLocalMachine, "P\\Protected\\Child"));
    platform.AddKey(kHkeyLocalMachine, "Q\\Leaf");
    platform.SetKeyFaults(kHkeyLocalMachine, "Q", kDenyOpen);
    EXPECT_FALSE(DeleteRegistryKey(platform, platform, "HKEY_LOCAL_MACHINE\\Q\\Leaf"));
    EXPECT_TRUE(platform.HasKey(kHkeyLocalMachine, "Q\\Leaf"));
    EXPECT_EQ(0u, platform.OpenKeyCount());
}

TEST(DeleteRegistryKeyTest, LeavesOfEveryScriptAreFoundWithoutRegardToCase)
{
    MemoryPlatform platform;
    platform.AddKey(kHkeyCurrentUser, "P\\Программа\\Ωμεγα");
    platform.AddKey(kHkeyCurrentUser, "P\\Other");
    EXPECT_TRUE(DeleteRegistryKey(platform, platform, "HKEY_CURRENT_USER\\p\\ПРОГРАММА"));
    EXPECT_EQ((std::vector<std::string>{"Other"}), platform.SubKeyNames(kHkeyCurrentUser, "P"));
    platform.AddString(kHkeyCurrentUser, "P\\ソ", "Значение", "x");
    EXPECT_TRUE(DeleteRegistryValue(platform, platform, "HKEY_CURRENT_USER\\P\\ソ", "ЗНАЧЕНИЕ"));
    EXPECT_FALSE(platform.HasValue(kHkeyCurrentUser, "P\\ソ", "Значение"));
}

}  // namespace
