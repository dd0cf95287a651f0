// Root keys, path splitting, value display text, string reads, subkey
// listing and deletion, on the in-memory platform.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/MemoryPlatform.h"
#include "core/RegistryPaths.h"

namespace {

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

TEST(SplitRegistryPathTest, DoubleByteTrailBackslashIsNoSeparator)
{
    MemoryPlatform platform;
    platform.UseDoubleByteCodePage(true);
    // 0x81 0x5C is one character whose second byte equals a backslash.
    Split split = SplitPath(platform, "HKEY_CURRENT_USER\\A\x81\\");
    EXPECT_TRUE(split.ok);
    EXPECT_EQ("A\x81\\", split.keyPath);
    EXPECT_EQ("A\x81\\", TrimBackslashes("\\A\x81\\\\\\"));
}

TEST(FormatValueDataTest, StringsAndNumbers)
{
    EXPECT_EQ("C:\\x.exe", Format(kRegSz, std::string("C:\\x.exe\0junk", 13)));
    EXPECT_EQ("no zero", Format(kRegSz, "no zero"));
    EXPECT_EQ("%SystemRoot%\\x", Format(kRegExpandSz, std::string("%SystemRoot%\\x\0", 15)));
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
    EXPECT_EQ("a b", Format(kRegMultiSz, std::string("a\0b\0\0", 5)));
    EXPECT_EQ("", Format(kRegMultiSz, std::string("\0b\0\0", 4)));
    EXPECT_EQ("a", Format(kRegMultiSz, std::string("a\0\0b\0\0", 6)));
    EXPECT_EQ("one two", Format(kRegMultiSz, std::string("one\0two", 7)));
    for (std::uint32_t type : {kRegNone, kRegDwordBigEndian, kRegLink, kRegResourceList,
                               kRegFullResourceDescriptor, kRegResourceRequirementsList, kRegQword})
        EXPECT_EQ("", Format(type, "abcd")) << type;
}

TEST(ReadStringValueTest, ReadsUpTo255BytesWithTheirZero)
{
    MemoryPlatform platform;
    platform.AddString(kHkeyCurrentUser, "K", "short", "value");
    platform.AddString(kHkeyCurrentUser, "K", "fits", std::string(254, 'a'));     // 255 bytes
    platform.AddString(kHkeyCurrentUser, "K", "too long", std::string(255, 'b'));  // 256 bytes
    platform.AddValue(kHkeyCurrentUser, "K", "", kRegBinary, std::string("hi\0x", 4));
    EXPECT_EQ("value", ReadStringValue(platform, kHkeyCurrentUser, "K", "SHORT"));
    EXPECT_EQ(std::string(254, 'a'), ReadStringValue(platform, kHkeyCurrentUser, "K", "fits"));
    EXPECT_EQ("", ReadStringValue(platform, kHkeyCurrentUser, "K", "too long"));
    EXPECT_EQ("hi", ReadStringValue(platform, kHkeyCurrentUser, "K", ""));   // type not examined
    EXPECT_EQ("", ReadStringValue(platform, kHkeyCurrentUser, "K", "missing"));
    EXPECT_EQ("", ReadStringValue(platform, kHkeyCurrentUser, "Missing", "short"));
    platform.SetKeyFaults(kHkeyCurrentUser, "K", kDenyOpen);
    EXPECT_EQ("", ReadStringValue(platform, kHkeyCurrentUser, "K", "short"));
    EXPECT_EQ(0u, platform.OpenKeyCount());
}

TEST(BufferSizeForLongestTest, OneMoreThanTheLongestAndNeverBelow256Bytes)
{
    EXPECT_EQ(256u, BufferSizeForLongest(0));
    EXPECT_EQ(256u, BufferSizeForLongest(254));
    EXPECT_EQ(256u, BufferSizeForLongest(255));
    EXPECT_EQ(257u, BufferSizeForLongest(256));
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
    EnumSubKeys(platform, kHkeyLocalMachine, "K", &StopAtSecondSubKey, &state, nullptr, &stop);
    EXPECT_EQ((SubKeyList{{"K", "a"}, {"K", "b"}}), state.first);

    // Stopped before it starts, it lists nothing.
    SubKeyList found;
    EnumSubKeys(platform, kHkeyLocalMachine, "K", &CollectSubKey, &found, nullptr, &stop);
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

TEST(EnumSubKeysTest, UnspellableNamesArePassedOverAndCounted)
{
    MemoryPlatform platform;
    for (const char* name : {"first", "hidden", "middle", "alsoHidden", "last"})
        platform.AddKey(kHkeyLocalMachine, std::string("K\\") + name);
    platform.MakeKeyNameUnspellable(kHkeyLocalMachine, "K\\hidden");
    platform.MakeKeyNameUnspellable(kHkeyLocalMachine, "K\\alsoHidden");
    SubKeyList found;
    std::size_t passedOver = 1;
    EnumSubKeys(platform, kHkeyLocalMachine, "K", &CollectSubKey, &found, &passedOver);
    EXPECT_EQ((SubKeyList{{"K", "first"}, {"K", "middle"}, {"K", "last"}}), found);
    EXPECT_EQ(3u, passedOver);
    found.clear();
    EnumSubKeys(platform, kHkeyLocalMachine, "K", &CollectSubKey, &found);
    EXPECT_EQ(3u, found.size());
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

TEST(DeleteRegistryKeyTest, DoubleByteLeafIsSplitAtWholeCharacters)
{
    MemoryPlatform platform;
    platform.UseDoubleByteCodePage(true);
    platform.AddKey(kHkeyCurrentUser, "P\\\x81\\");   // one component: 0x81 0x5C
    platform.AddKey(kHkeyCurrentUser, "P\\Other");
    EXPECT_TRUE(DeleteRegistryKey(platform, platform, "HKEY_CURRENT_USER\\P\\\x81\\"));
    EXPECT_EQ((std::vector<std::string>{"Other"}), platform.SubKeyNames(kHkeyCurrentUser, "P"));
}

}  // namespace
