// The recursive walk: visiting order, type mask, excluded fragments,
// recursion, unreadable keys and the stop flag, on the in-memory platform.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "tests/support/MemoryPlatform.h"
#include "core/RegistryWalk.h"
#include "core/Unicode.h"

namespace {

struct Recorder {
    std::vector<std::string> visits;
    std::atomic<bool>* stop = nullptr;
    std::size_t stopAfter = 0;   // sets the stop flag after this many visits

    void Add(const std::string& visit)
    {
        visits.push_back(visit);
        if (stop && visits.size() == stopAfter)
            *stop = true;
    }
};

void RecordKey(RootKey, const std::string& path, const char* name, std::uint32_t nameLength,
               std::uint32_t type, const std::uint8_t* data, std::uint32_t dataSize, void* context)
{
    EXPECT_EQ(nullptr, name);
    EXPECT_EQ(0u, nameLength + type + dataSize);
    EXPECT_EQ(nullptr, data);
    static_cast<Recorder*>(context)->Add("K:" + path);
}

void RecordValue(RootKey, const std::string& path, const char* name, std::uint32_t nameLength,
                 std::uint32_t type, const std::uint8_t* data, std::uint32_t dataSize, void* context)
{
    EXPECT_EQ(std::string(name).size(), nameLength);
    std::string bytes(reinterpret_cast<const char*>(data), dataSize);
    static_cast<Recorder*>(context)->Add("V:" + path + "|" + name + "|" + std::to_string(type) +
                                         "|" + bytes);
}

class RegistryWalkTest : public ::testing::Test {
protected:
    MemoryPlatform platform;
    Recorder recorder;

    void SetUp() override
    {
        platform.AddValue(kHkeyCurrentUser, "Root", "none", kRegNone, "n");
        platform.AddValue(kHkeyCurrentUser, "Root", "sz", kRegSz, "s");
        platform.AddValue(kHkeyCurrentUser, "Root\\B", "exp", kRegExpandSz, "e");
        platform.AddValue(kHkeyCurrentUser, "Root\\B\\Deep", "dw", kRegDword, "d");
        platform.AddValue(kHkeyCurrentUser, "Root\\A", "bin", kRegBinary, "b");
        platform.AddValue(kHkeyCurrentUser, "Root\\A", "multi", kRegMultiSz, "m");
        platform.AddKey(kHkeyCurrentUser, "Root\\C");
    }

    void Walk(const std::string& path, bool recurse, std::uint32_t mask,
              const std::vector<std::string>& excluded = {}, const std::atomic<bool>* stop = nullptr)
    {
        WalkRegistry(platform, platform, kHkeyCurrentUser, path, recurse, &RecordValue, &recorder,
                     &RecordKey, &recorder, mask, excluded, stop);
    }
};

TEST_F(RegistryWalkTest, VisitsDepthFirstKeyBeforeValuesBeforeSubkeys)
{
    Walk("Root", true, 0xFFFFFFFFu);
    EXPECT_EQ((std::vector<std::string>{"K:Root", "V:Root|sz|1|s", "K:Root\\B", "V:Root\\B|exp|2|e",
                                        "K:Root\\B\\Deep", "V:Root\\B\\Deep|dw|4|d", "K:Root\\A",
                                        "V:Root\\A|bin|3|b", "V:Root\\A|multi|7|m", "K:Root\\C"}),
              recorder.visits);
    EXPECT_EQ(0u, platform.OpenKeyCount());
    EXPECT_EQ(0u, platform.BadCloseCount());
}

TEST_F(RegistryWalkTest, TypeMaskIsAndedWithTheTypeCode)
{
    Walk("Root", true, 1);
    EXPECT_EQ((std::vector<std::string>{"K:Root", "V:Root|sz|1|s", "K:Root\\B", "K:Root\\B\\Deep",
                                        "K:Root\\A", "V:Root\\A|bin|3|b", "V:Root\\A|multi|7|m",
                                        "K:Root\\C"}),
              recorder.visits);
}

TEST_F(RegistryWalkTest, NoneValuesPassOnlyWhenAskedFor)
{
    WalkRegistry(platform, platform, kHkeyCurrentUser, "Root", false, &RecordValue, &recorder, nullptr,
                 nullptr, 0xFFFFFFFFu, {}, nullptr, NoneValues::kVisit);
    EXPECT_EQ((std::vector<std::string>{"V:Root|none|0|n", "V:Root|sz|1|s"}), recorder.visits);

    // The mask still decides for every other type (4 shares a bit with 4 and 7).
    recorder.visits.clear();
    WalkRegistry(platform, platform, kHkeyCurrentUser, "Root", true, &RecordValue, &recorder, nullptr,
                 nullptr, 0x4u, {}, nullptr, NoneValues::kVisit);
    EXPECT_EQ((std::vector<std::string>{"V:Root|none|0|n", "V:Root\\B\\Deep|dw|4|d",
                                        "V:Root\\A|multi|7|m"}),
              recorder.visits);

    recorder.visits.clear();
    WalkRegistry(platform, platform, kHkeyCurrentUser, "Root", false, &RecordValue, &recorder, nullptr,
                 nullptr, 0xFFFFFFFFu, {}, nullptr, NoneValues::kSkip);
    EXPECT_EQ((std::vector<std::string>{"V:Root|sz|1|s"}), recorder.visits);
}

TEST_F(RegistryWalkTest, ExcludedFragmentsSkipWholeSubtreesWhateverTheCase)
{
    platform.AddKey(kHkeyCurrentUser, "Software\\Classes\\CLSID\\{x}");
    platform.AddKey(kHkeyCurrentUser, "Software\\Other\\clsid");
    platform.AddKey(kHkeyCurrentUser, "Software\\Café");
    platform.AddKey(kHkeyCurrentUser, "Software\\Программа\\Sub");
    platform.AddKey(kHkeyCurrentUser, "Software\\ΩΜΕΓΑ");
    platform.AddKey(kHkeyCurrentUser, "Software\\Програм");   // shorter than the fragment
    platform.AddKey(kHkeyCurrentUser, "Software\\Kept");
    WalkRegistry(platform, platform, kHkeyCurrentUser, "Software", true, nullptr, nullptr, &RecordKey,
                 &recorder, 0xFFFFFFFFu,
                 {"software\\classes", "CLSID", "CAFÉ", "ПРОГРАММА", "ωμεγα"});
    EXPECT_EQ((std::vector<std::string>{"K:Software", "K:Software\\Other", "K:Software\\Програм",
                                        "K:Software\\Kept"}),
              recorder.visits);
}

TEST_F(RegistryWalkTest, WithoutRecursionOnlyTheStartingKeyIsOpened)
{
    Walk("Root", false, 0xFFFFFFFFu);
    EXPECT_EQ((std::vector<std::string>{"K:Root", "V:Root|sz|1|s"}), recorder.visits);
    EXPECT_EQ(1u, platform.KeyOpenTotal());
}

TEST_F(RegistryWalkTest, EmptyPathIsTheRootAndBackslashesAreIgnored)
{
    platform.AddString(kHkeyCurrentUser, "", "top", "t");
    Walk("", false, 0xFFFFFFFFu);
    EXPECT_EQ((std::vector<std::string>{"K:", "V:|top|1|" + TextToStringData("t")}), recorder.visits);
    recorder.visits.clear();
    Walk("\\\\Root\\C\\", true, 0xFFFFFFFFu);
    EXPECT_EQ((std::vector<std::string>{"K:Root\\C"}), recorder.visits);
    recorder.visits.clear();
    platform.AddKey(kHkeyUsers, "S-1\\Software");
    WalkRegistry(platform, platform, kHkeyUsers, "", true, nullptr, nullptr, &RecordKey, &recorder, 1, {});
    EXPECT_EQ((std::vector<std::string>{"K:", "K:S-1", "K:S-1\\Software"}), recorder.visits);
}

TEST_F(RegistryWalkTest, UnopenableKeyIsSkippedAndSiblingsStillVisited)
{
    platform.SetKeyFaults(kHkeyCurrentUser, "Root\\B", kDenyOpen);
    Walk("Root", true, 0xFFFFFFFFu);
    EXPECT_EQ((std::vector<std::string>{"K:Root", "V:Root|sz|1|s", "K:Root\\A", "V:Root\\A|bin|3|b",
                                        "V:Root\\A|multi|7|m", "K:Root\\C"}),
              recorder.visits);
    recorder.visits.clear();
    Walk("Missing", true, 0xFFFFFFFFu);
    EXPECT_TRUE(recorder.visits.empty());
}

TEST_F(RegistryWalkTest, UnenumerableKeyIsVisitedWithoutContent)
{
    platform.SetKeyFaults(kHkeyCurrentUser, "Root\\B", kDenyEnumerate);
    Walk("Root\\B", true, 0xFFFFFFFFu);
    EXPECT_EQ((std::vector<std::string>{"K:Root\\B"}), recorder.visits);
}

TEST_F(RegistryWalkTest, ValueThatDoesNotFitEndsOnlyThatKeysValues)
{
    // Without the key's sizes the buffers stay at 766 bytes.
    platform.AddValue(kHkeyCurrentUser, "Root\\A", "large", kRegBinary, std::string(800, 'x'));
    platform.AddValue(kHkeyCurrentUser, "Root\\A", "later", kRegSz, "l");
    platform.SetKeyFaults(kHkeyCurrentUser, "Root\\A", kDenyQueryInfo);
    platform.AddValue(kHkeyCurrentUser, "Root\\C", "big", kRegSz, "x");
    platform.AddValue(kHkeyCurrentUser, "Root\\C", "after", kRegSz, "y");
    platform.MakeValueOversized(kHkeyCurrentUser, "Root\\C", "big");
    Walk("Root", true, 0xFFFFFFFFu);
    EXPECT_EQ((std::vector<std::string>{"K:Root", "V:Root|sz|1|s", "K:Root\\B", "V:Root\\B|exp|2|e",
                                        "K:Root\\B\\Deep", "V:Root\\B\\Deep|dw|4|d", "K:Root\\A",
                                        "V:Root\\A|bin|3|b", "V:Root\\A|multi|7|m", "K:Root\\C"}),
              recorder.visits);
}

TEST_F(RegistryWalkTest, LongNamesAndDataGetBuffersFromTheKeySizes)
{
    const std::string name(600, 'n');
    const std::string data(5000, 'd');
    platform.AddValue(kHkeyCurrentUser, "Big", name, kRegBinary, data);
    platform.AddKey(kHkeyCurrentUser, "Big\\" + std::string(255, 'k'));
    Walk("Big", true, 0xFFFFFFFFu);
    ASSERT_EQ(3u, recorder.visits.size());
    EXPECT_EQ("V:Big|" + name + "|3|" + data, recorder.visits[1]);
    EXPECT_EQ("K:Big\\" + std::string(255, 'k'), recorder.visits[2]);
}

TEST_F(RegistryWalkTest, NamesOfEveryScriptAreVisitedAsStored)
{
    // Nothing is passed over for its name: a lone surrogate is visited too,
    // and a name's length is its length in bytes of UTF-8.
    const std::string lone = "x\xED\xA0\x80";
    platform.AddValue(kHkeyCurrentUser, "Мир\\ソ", "Значение", kRegBinary, "z");
    platform.AddValue(kHkeyCurrentUser, "Мир\\ソ", lone, kRegBinary, "l");
    platform.AddValue(kHkeyCurrentUser, "Мир\\😀" + lone, "Ω", kRegBinary, "o");
    Walk("мир", true, 0xFFFFFFFFu);
    EXPECT_EQ((std::vector<std::string>{"K:мир", "K:мир\\ソ", "V:мир\\ソ|Значение|3|z",
                                        "V:мир\\ソ|" + lone + "|3|l", "K:мир\\😀" + lone,
                                        "V:мир\\😀" + lone + "|Ω|3|o"}),
              recorder.visits);
    EXPECT_EQ(0u, platform.OpenKeyCount());
}

TEST_F(RegistryWalkTest, NullVisitorsAreAllowed)
{
    WalkRegistry(platform, platform, kHkeyCurrentUser, "Root", true, nullptr, nullptr, nullptr, nullptr,
                 0xFFFFFFFFu, {});
    EXPECT_EQ(0u, platform.OpenKeyCount());
}

TEST_F(RegistryWalkTest, StopFlagLeavesUnstoppedWalksUnchanged)
{
    std::atomic<bool> stop(false);
    Walk("Root", true, 0xFFFFFFFFu, {}, &stop);
    std::vector<std::string> withFlag = recorder.visits;
    recorder.visits.clear();
    Walk("Root", true, 0xFFFFFFFFu);
    EXPECT_EQ(recorder.visits, withFlag);
    EXPECT_EQ(10u, withFlag.size());
}

TEST_F(RegistryWalkTest, StopFlagEndsTheWalkBeforeTheNextVisit)
{
    std::atomic<bool> stop(false);
    for (std::size_t after = 1; after < 10; ++after) {
        stop = false;
        recorder.visits.clear();
        recorder.stop = &stop;
        recorder.stopAfter = after;
        Walk("Root", true, 0xFFFFFFFFu, {}, &stop);
        EXPECT_EQ(after, recorder.visits.size()) << after;
        EXPECT_EQ(0u, platform.OpenKeyCount());
    }
    recorder.stop = nullptr;
    recorder.visits.clear();
    stop = true;
    std::size_t opened = platform.KeyOpenTotal();
    Walk("Root", true, 0xFFFFFFFFu, {}, &stop);
    EXPECT_TRUE(recorder.visits.empty());
    EXPECT_EQ(opened, platform.KeyOpenTotal());
}

}  // namespace
