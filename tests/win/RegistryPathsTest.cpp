// String reads, subkey listing, deletion and the recursive walk against the
// real registry, in a scratch key (and, for the key beneath a root, a
// scratch key directly under HKEY_CURRENT_USER).
#include <gtest/gtest.h>

#include <shlwapi.h>

#include <atomic>
#include <string>
#include <vector>

#include "RegistryScratch.h"
#include "core/RegistryPaths.h"
#include "core/RegistryWalk.h"
#include "win32/Win32Platform.h"

namespace {

bool KeyExists(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, Widen(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

class Win32RegistryPathsTest : public ::testing::Test {
protected:
    Platform& platform = SystemPlatform();
    ScratchRegistryKey scratch;

    void SetUp() override { ASSERT_TRUE(scratch.IsCreated()); }
    std::string Path(const std::string& sub) const { return scratch.KeyPath() + "\\" + sub; }
    std::string Full(const std::string& sub) const { return scratch.FullPath() + "\\" + sub; }
};

TEST_F(Win32RegistryPathsTest, ReadStringValueBoundaryAt259Characters)
{
    // 259 characters of any script and the zero unit fill the 520 bytes.
    std::string cyrillic;
    for (int i = 0; i < 259; ++i)
        cyrillic += "\u0416";
    ASSERT_TRUE(scratch.SetString("S", "fits", std::string(259, 'a')));
    ASSERT_TRUE(scratch.SetString("S", "\u0416", cyrillic));
    ASSERT_TRUE(scratch.SetString("S", "too long", std::string(260, 'b')));
    EXPECT_EQ(cyrillic, ReadStringValue(platform, kHkeyCurrentUser, Path("S"), "\u0436"));
    ASSERT_TRUE(scratch.SetString("S", "", "default"));
    EXPECT_EQ(std::string(259, 'a'), ReadStringValue(platform, kHkeyCurrentUser, Path("S"), "FITS"));
    EXPECT_EQ("", ReadStringValue(platform, kHkeyCurrentUser, Path("S"), "too long"));
    EXPECT_EQ("default", ReadStringValue(platform, kHkeyCurrentUser, Path("S"), ""));
    EXPECT_EQ("", ReadStringValue(platform, kHkeyCurrentUser, Path("Missing"), "fits"));
}

void Collect(RootKey, const std::string& keyPath, const std::string& name, void* context)
{
    static_cast<std::vector<std::string>*>(context)->push_back(keyPath + "|" + name);
}

TEST_F(Win32RegistryPathsTest, EnumSubKeysListsDirectSubkeys)
{
    ASSERT_TRUE(scratch.CreateSubKey("E\\beta\\deep"));
    ASSERT_TRUE(scratch.CreateSubKey("E\\Alpha"));
    ASSERT_TRUE(scratch.CreateSubKey("E\\" + std::string(255, 'n')));
    std::vector<std::string> names;
    EnumSubKeys(platform, kHkeyCurrentUser, " \\" + Path("E") + "\\ ", &Collect, &names);
    // The registry lists subkeys sorted by name.
    EXPECT_EQ((std::vector<std::string>{Path("E") + "|Alpha", Path("E") + "|beta",
                                        Path("E") + "|" + std::string(255, 'n')}),
              names);
}

TEST_F(Win32RegistryPathsTest, DeletesValuesAndKeysWithSubtrees)
{
    ASSERT_TRUE(scratch.SetString("D\\A\\B\\C", "v", "x"));
    ASSERT_TRUE(scratch.SetString("D\\A\\B", "keep", "x"));
    ASSERT_TRUE(scratch.CreateSubKey("D\\A\\B\\Sibling"));
    EXPECT_TRUE(DeleteRegistryValue(platform, platform, Full("D\\A\\B"), "KEEP"));
    EXPECT_FALSE(DeleteRegistryValue(platform, platform, Full("D\\A\\B"), "keep"));
    EXPECT_TRUE(DeleteRegistryKey(platform, platform, Full("D\\A\\B\\C")));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Path("D\\A\\B\\C")));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Path("D\\A\\B\\Sibling")));
    EXPECT_FALSE(DeleteRegistryKey(platform, platform, Full("D\\A\\B\\C")));
    EXPECT_FALSE(DeleteRegistryKey(platform, platform, "HKCU\\" + Path("D")));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Path("D")));
}

TEST_F(Win32RegistryPathsTest, KeyBeneathTheRootIsDeletedFromTheRoot)
{
    const std::string solo = "QuorvaneTestSolo" + UniqueScratchName();
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyW(HKEY_CURRENT_USER, Widen(solo + "\\" + solo).c_str(), &key));
    RegCloseKey(key);
    EXPECT_TRUE(DeleteRegistryKey(platform, platform, "HKEY_CURRENT_USER\\" + solo));
    bool stillThere = KeyExists(HKEY_CURRENT_USER, solo);
    EXPECT_FALSE(stillThere);
    if (stillThere)
        SHDeleteKeyW(HKEY_CURRENT_USER, Widen(solo).c_str());
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, scratch.KeyPath()));
}

struct WalkLog {
    std::vector<std::string> visits;
    std::atomic<bool>* stop = nullptr;
    std::size_t stopAfter = 0;
};

void LogVisit(WalkLog& log, const std::string& visit)
{
    log.visits.push_back(visit);
    if (log.stop && log.visits.size() == log.stopAfter)
        *log.stop = true;
}

void LogKey(RootKey, const std::string& path, const char*, std::uint32_t, std::uint32_t,
            const std::uint8_t*, std::uint32_t, void* context)
{
    LogVisit(*static_cast<WalkLog*>(context), "K:" + path);
}

void LogValue(RootKey, const std::string& path, const char* name, std::uint32_t, std::uint32_t type,
              const std::uint8_t* data, std::uint32_t size, void* context)
{
    LogVisit(*static_cast<WalkLog*>(context),
             "V:" + path + "|" + name + "|" + FormatValueData(type, data, size));
}

class Win32WalkTest : public Win32RegistryPathsTest {
protected:
    WalkLog log;

    void SetUp() override
    {
        Win32RegistryPathsTest::SetUp();
        ASSERT_TRUE(scratch.SetValue("W", "none", REG_NONE, "n"));
        ASSERT_TRUE(scratch.SetString("W", "sz", "text"));
        ASSERT_TRUE(scratch.SetValue("W\\A", "dw", REG_DWORD, std::string("\xff\xff\xff\xff", 4)));
        ASSERT_TRUE(scratch.SetValue("W\\A", "exp", REG_EXPAND_SZ, std::string("%x%\0", 4)));
        ASSERT_TRUE(scratch.SetValue("W\\B\\Classes", "bin", REG_BINARY, "\x01\x0a"));
        ASSERT_TRUE(scratch.CreateSubKey("W\\C"));
    }

    void Walk(bool recurse, std::uint32_t mask, const std::vector<std::string>& excluded = {},
              const std::atomic<bool>* stop = nullptr)
    {
        WalkRegistry(platform, platform, kHkeyCurrentUser, "\\" + Path("W") + "\\", recurse, &LogValue,
                     &log, &LogKey, &log, mask, excluded, stop);
    }
};

TEST_F(Win32WalkTest, DepthFirstOrderWithMaskAndExclusions)
{
    const std::string w = Path("W");
    Walk(true, 0xFFFFFFFFu);
    EXPECT_EQ((std::vector<std::string>{"K:" + w, "V:" + w + "|sz|text", "K:" + w + "\\A",
                                        "V:" + w + "\\A|dw|0xffffffff (-1)", "V:" + w + "\\A|exp|%x%",
                                        "K:" + w + "\\B", "K:" + w + "\\B\\Classes",
                                        "V:" + w + "\\B\\Classes|bin|01 0a", "K:" + w + "\\C"}),
              log.visits);
    log.visits.clear();
    Walk(true, 1, {"B\\CLASSES"});
    EXPECT_EQ((std::vector<std::string>{"K:" + w, "V:" + w + "|sz|text", "K:" + w + "\\A",
                                        "K:" + w + "\\B", "K:" + w + "\\C"}),
              log.visits);
    log.visits.clear();
    Walk(false, 0xFFFFFFFFu);
    EXPECT_EQ((std::vector<std::string>{"K:" + w, "V:" + w + "|sz|text"}), log.visits);
}

TEST_F(Win32WalkTest, StopFlagEndsTheWalk)
{
    std::atomic<bool> stop(false);
    log.stop = &stop;
    log.stopAfter = 4;
    Walk(true, 0xFFFFFFFFu, {}, &stop);
    EXPECT_EQ(4u, log.visits.size());
}

}  // namespace
