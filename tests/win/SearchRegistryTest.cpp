// The registry search under Wine on the real registry: a tree planted below
// HKEY_CURRENT_USER\Software\QuorvaneTests is found by key names, value
// names and value data with the system's own enumeration and lower-casing,
// and nothing of it is found in roots that were not chosen.
#include "RegistryScratch.h"
#include "win32/Win32Platform.h"
#include "core/SearchEngine.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

// Keeps the hits and walked keys that lie inside the planted tree, with the
// tree's path shortened to "T".
class TreeSink {
public:
    explicit TreeSink(const std::string& treePath) : treePath_(treePath) {}

    // The sink the search reports to; it keeps into this object.
    SearchSink Sink()
    {
        SearchSink sink;
        sink.addHit = [](const RegistryItem& item, void* context) {
            static_cast<TreeSink*>(context)->AddHit(item);
        };
        sink.showKey = [](const std::string& path, void* context) {
            static_cast<TreeSink*>(context)->ShowKey(path);
        };
        sink.context = this;
        return sink;
    }

    void AddHit(const RegistryItem& item)
    {
        ++allHits;
        if (item.keyPath.compare(0, treePath_.size(), treePath_) != 0)
            return;
        hits.push_back(item.rootName + "|T" + item.keyPath.substr(treePath_.size()) + "|" + item.valueName + "|" +
                       item.dataText + "|" + std::to_string(item.image) + "|" + std::to_string(item.type));
        if (stop && hits.size() == stopAfterHits)
            *stop = true;
    }
    void ShowKey(const std::string& path)
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
        ASSERT_TRUE(tree.CreateSubKey(token + "Key\\Inner"));
        ASSERT_TRUE(tree.SetString(token + "Key", "Both" + token, token));
        ASSERT_TRUE(tree.SetValue(token + "Key", "Expand", REG_EXPAND_SZ,
                                  std::string("%TEMP%\\" + token + '\0')));
        ASSERT_TRUE(tree.SetString(token + "Key", "Name" + token, "plain"));
        ASSERT_TRUE(tree.SetValue(token + "Key", "None" + token, REG_NONE, token));
        ASSERT_TRUE(tree.SetString(token + "Key", "Other", "C:\\Data\\" + token + "\\File.txt"));
        ASSERT_TRUE(tree.SetValue(token + "Key\\Inner", "Bin", REG_BINARY, std::string(25, '\x5a')));
        ASSERT_TRUE(tree.SetValue(token + "Key\\Inner", "Dword", REG_DWORD, std::string("\x0a\0\0\0", 4)));
        options.includeKeyNames = true;
        options.includeValueNames = true;
        options.includeValueData = true;
        options.searchHKCU = true;
    }

    Strings Search(const std::string& keyword)
    {
        options.keyword = keyword;
        sink = TreeSink(tree.KeyPath());
        Platform& platform = SystemPlatform();
        SearchRegistry(platform, platform, options, sink.Sink(), "(key)");
        return sink.hits;
    }

    ScratchRegistryKey tree;
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
                  "HKEY_CURRENT_USER|" + key + "|None" + token + "||2|0",
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
    std::wstring wide = Widen(token);
    CharUpperW(&wide[0]);
    const std::string upper = Narrow(wide);
    EXPECT_EQ(6u, Search(upper).size());
    options.caseSensitive = true;
    EXPECT_TRUE(Search(upper).empty());
    EXPECT_EQ(6u, Search(token).size());
}

TEST_F(SearchRegistryTest, WholeTextAndWildcardsOnRealNames)
{
    const std::string key = "T\\" + token + "Key";
    options.fullWordMatch = true;
    EXPECT_EQ((Strings{"HKEY_CURRENT_USER|" + key + "|Both" + token + "|" + token + "|1|1"}), Search(token));

    options.fullWordMatch = false;
    options.useWildcard = true;
    options.includeValueData = false;
    // Four characters and the token: three value names, the REG_NONE one
    // among them.
    EXPECT_EQ((Strings{
                  "HKEY_CURRENT_USER|" + key + "|Both" + token + "|" + token + "|1|1",
                  "HKEY_CURRENT_USER|" + key + "|Name" + token + "|plain|1|1",
                  "HKEY_CURRENT_USER|" + key + "|None" + token + "||2|0",
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

TEST_F(SearchRegistryTest, RegNoneValuesAreFoundByNameOnly)
{
    const std::string key = "T\\" + token + "Key";
    const Strings noneHit = {"HKEY_CURRENT_USER|" + key + "|None" + token + "||2|0"};
    EXPECT_EQ(noneHit, Search("None" + token));
    // Its bytes have no display text to be found in.
    options.includeValueNames = false;
    options.includeKeyNames = false;
    Search(token);
    EXPECT_EQ((Strings{"HKEY_CURRENT_USER|" + key + "|Both" + token + "|" + token + "|1|1",
                       "HKEY_CURRENT_USER|" + key + "|Expand|%TEMP%\\" + token + "|1|2",
                       "HKEY_CURRENT_USER|" + key + "|Other|C:\\Data\\" + token + "\\File.txt|1|1"}),
              sink.hits);
    // A wildcard that matches the empty text finds it by its data.
    options.useWildcard = true;
    options.fullWordMatch = false;
    Search("*");
    EXPECT_NE(sink.hits.end(), std::find(sink.hits.begin(), sink.hits.end(), noneHit[0]));
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
    sink = TreeSink(tree.KeyPath());
    sink.stop = &stop;
    sink.stopAfterHits = 2;
    Platform& platform = SystemPlatform();
    SearchRegistry(platform, platform, options, sink.Sink(), "(key)", &stop);
    EXPECT_EQ(2u, sink.hits.size());
    EXPECT_EQ(2u, sink.allHits);
}

} // namespace
