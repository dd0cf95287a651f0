// The registry search under Wine on the real registry: a tree planted below
// HKEY_CURRENT_USER\Software\QuorvaneTests is found by key names, value
// names and value data with the system's own enumeration and lower-casing,
// and nothing of it is found in roots that were not chosen.
#include "registry/Win32Platform.h"
#include "search/SearchEngine.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <atomic>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

constexpr const char* kTestsKey = "Software\\QuorvaneTests";

// A key of its own below HKEY_CURRENT_USER\Software\QuorvaneTests, removed
// with its subtree when the test ends.
class PlantedTree {
public:
    PlantedTree()
        : name_("Search" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount())),
          path_(std::string(kTestsKey) + "\\" + name_)
    {
        HKEY key = nullptr;
        created_ = RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                   &key, nullptr) == ERROR_SUCCESS;
        if (key)
            RegCloseKey(key);
    }
    ~PlantedTree() { SHDeleteKeyA(HKEY_CURRENT_USER, path_.c_str()); }
    PlantedTree(const PlantedTree&) = delete;
    PlantedTree& operator=(const PlantedTree&) = delete;

    bool IsCreated() const { return created_; }
    const std::string& Name() const { return name_; }
    const std::string& Path() const { return path_; }

    bool AddKey(const std::string& subPath) const
    {
        HKEY key = nullptr;
        const bool done = RegCreateKeyExA(HKEY_CURRENT_USER, Join(subPath).c_str(), 0, nullptr, 0,
                                          KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS;
        if (key)
            RegCloseKey(key);
        return done;
    }
    bool AddValue(const std::string& subPath, const std::string& name, DWORD type, const std::string& bytes) const
    {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, Join(subPath).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return false;
        const bool done = RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                         static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
        RegCloseKey(key);
        return done;
    }
    bool AddString(const std::string& subPath, const std::string& name, const std::string& text) const
    {
        return AddValue(subPath, name, REG_SZ, std::string(text.c_str(), text.size() + 1));
    }

private:
    std::string Join(const std::string& subPath) const { return subPath.empty() ? path_ : path_ + "\\" + subPath; }

    std::string name_;
    std::string path_;
    bool created_ = false;
};

// Keeps the hits and walked keys that lie inside the planted tree, with the
// tree's path shortened to "T".
class TreeSink : public SearchSink {
public:
    explicit TreeSink(const std::string& treePath) : treePath_(treePath) {}

    void AddHit(const RegistryItem& item) override
    {
        ++allHits;
        if (item.keyPath.compare(0, treePath_.size(), treePath_) != 0)
            return;
        hits.push_back(item.rootName + "|T" + item.keyPath.substr(treePath_.size()) + "|" + item.valueName + "|" +
                       item.dataText + "|" + std::to_string(item.image) + "|" + std::to_string(item.type));
        if (stop && hits.size() == stopAfterHits)
            *stop = true;
    }
    void ShowKey(const std::string& path) override
    {
        ++keysShown;
        if (path.compare(0, treePath_.size(), treePath_) == 0)
            keys.push_back("T" + path.substr(treePath_.size()));
    }

    Strings hits;
    Strings keys;
    std::size_t allHits = 0;
    std::size_t keysShown = 0;
    std::atomic<bool>* stop = nullptr;
    std::size_t stopAfterHits = 0;

private:
    std::string treePath_;
};

class SearchRegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tree.IsCreated());
        // A token that occurs nowhere else in the registry.
        token = "Qvs" + std::to_string(GetCurrentProcessId()) + "x";
        // Planted in name order, which is also the order Wine enumerates in.
        ASSERT_TRUE(tree.AddKey(token + "Key\\Inner"));
        ASSERT_TRUE(tree.AddString(token + "Key", "Both" + token, token));
        ASSERT_TRUE(tree.AddValue(token + "Key", "Expand", REG_EXPAND_SZ,
                                  std::string("%TEMP%\\" + token + '\0')));
        ASSERT_TRUE(tree.AddString(token + "Key", "Name" + token, "plain"));
        ASSERT_TRUE(tree.AddValue(token + "Key", "None" + token, REG_NONE, token));
        ASSERT_TRUE(tree.AddString(token + "Key", "Other", "C:\\Data\\" + token + "\\File.txt"));
        ASSERT_TRUE(tree.AddValue(token + "Key\\Inner", "Bin", REG_BINARY, std::string(25, '\x5a')));
        ASSERT_TRUE(tree.AddValue(token + "Key\\Inner", "Dword", REG_DWORD, std::string("\x0a\0\0\0", 4)));
        options.includeKeyNames = true;
        options.includeValueNames = true;
        options.includeValueData = true;
        options.searchHKCU = true;
    }

    Strings Search(const std::string& keyword)
    {
        options.keyword = keyword;
        sink = TreeSink(tree.Path());
        SearchRegistry(SystemPlatform(), options, sink, "(key)");
        return sink.hits;
    }

    PlantedTree tree;
    std::string token;
    SearchOptions options;
    TreeSink sink{""};
};

TEST_F(SearchRegistryTest, FindsKeysValueNamesAndDataInWalkOrder)
{
    const std::string key = "T\\" + token + "Key";
    EXPECT_EQ((Strings{
                  "HKEY_CURRENT_USER|" + key + "|(key)||0|-1",
                  "HKEY_CURRENT_USER|" + key + "|Both" + token + "|" + token + "|1|1",
                  "HKEY_CURRENT_USER|" + key + "|Expand|%TEMP%\\" + token + "|1|2",
                  "HKEY_CURRENT_USER|" + key + "|Name" + token + "|plain|1|1",
                  "HKEY_CURRENT_USER|" + key + "|Other|C:\\Data\\" + token + "\\File.txt|1|1",
              }),
              Search(token));
    EXPECT_EQ((Strings{"T", key, key + "\\Inner"}), sink.keys);
    // Nothing outside the planted tree holds the token.
    EXPECT_EQ(sink.hits.size(), sink.allHits);
    EXPECT_GT(sink.keysShown, sink.keys.size());
}

TEST_F(SearchRegistryTest, CaseFoldingUsesTheSystemLowerCasing)
{
    std::string upper = token;
    CharUpperA(&upper[0]);
    EXPECT_EQ(5u, Search(upper).size());
    options.caseSensitive = true;
    EXPECT_TRUE(Search(upper).empty());
    EXPECT_EQ(5u, Search(token).size());
}

TEST_F(SearchRegistryTest, WholeTextAndWildcardsOnRealNames)
{
    const std::string key = "T\\" + token + "Key";
    options.fullWordMatch = true;
    EXPECT_EQ((Strings{"HKEY_CURRENT_USER|" + key + "|Both" + token + "|" + token + "|1|1"}), Search(token));

    options.fullWordMatch = false;
    options.useWildcard = true;
    options.includeValueData = false;
    // Four characters and the token: two value names; the REG_NONE value of
    // the same shape is never tested.
    EXPECT_EQ((Strings{
                  "HKEY_CURRENT_USER|" + key + "|Both" + token + "|" + token + "|1|1",
                  "HKEY_CURRENT_USER|" + key + "|Name" + token + "|plain|1|1",
              }),
              Search("????" + token));
    EXPECT_EQ((Strings{"HKEY_CURRENT_USER|" + key + "|(key)||0|-1"}), Search(token + "k*"));

    options.includeKeyNames = false;
    options.includeValueData = true;
    EXPECT_EQ((Strings{"HKEY_CURRENT_USER|" + key + "|Other|C:\\Data\\" + token + "\\File.txt|1|1"}),
              Search("c:\\*\\file.txt"));
}

TEST_F(SearchRegistryTest, BinaryAndNumbersAreSearchedInTheirDisplayText)
{
    const std::string inner = "T\\" + token + "Key\\Inner";
    options.includeKeyNames = false;
    options.includeValueNames = false;
    const std::string shown = "5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a...";
    const Strings binaryHit = {"HKEY_CURRENT_USER|" + inner + "|Bin|" + shown + "|2|3"};
    // The planted bytes are only found through the tree's own hits.
    Search("5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a...");
    EXPECT_EQ(binaryHit, sink.hits);
    Search("5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a 5a");
    EXPECT_TRUE(sink.hits.empty());
    Search("0x0000000a (10)");
    EXPECT_EQ((Strings{"HKEY_CURRENT_USER|" + inner + "|Dword|0x0000000a (10)|2|4"}), sink.hits);
}

TEST_F(SearchRegistryTest, RegNoneValuesAreNeverFound)
{
    Search("None" + token);
    EXPECT_TRUE(sink.hits.empty());
}

TEST_F(SearchRegistryTest, UnchosenRootsAreNotWalked)
{
    options.searchHKCU = false;
    options.searchHKLM = true;
    Search(token);
    EXPECT_TRUE(sink.hits.empty());
    EXPECT_TRUE(sink.keys.empty());
    EXPECT_GT(sink.keysShown, 0u);
}

TEST_F(SearchRegistryTest, StopFlagEndsTheWalk)
{
    std::atomic<bool> stop{false};
    options.keyword = token;
    sink = TreeSink(tree.Path());
    sink.stop = &stop;
    sink.stopAfterHits = 2;
    SearchRegistry(SystemPlatform(), options, sink, "(key)", &stop);
    EXPECT_EQ(2u, sink.hits.size());
    EXPECT_EQ(2u, sink.allHits);
}

} // namespace
