// The registry search on the in-memory platform: the four ways of comparing,
// case folding, what is tested of a value, the rows a hit gives, the order of
// rows and walked keys, the chosen roots and the stop flag.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "tests/support/MemoryPlatform.h"
#include "core/RegWriter.h"
#include "core/SearchEngine.h"
#include "core/Unicode.h"

namespace {

using Strings = std::vector<std::string>;

// Records every hit as "ROOT|path|name|data|image|type" and every walked key.
class RecordingSink {
public:
    // The sink the search reports to; it records into this object.
    SearchSink Sink()
    {
        SearchSink sink;
        sink.addHit = [](const RegistryItem& item, void* context) {
            static_cast<RecordingSink*>(context)->AddHit(item);
        };
        sink.showKey = [](const std::string& path, void* context) {
            static_cast<RecordingSink*>(context)->ShowKey(path);
        };
        sink.context = this;
        return sink;
    }

    void AddHit(const RegistryItem& item)
    {
        hits.push_back(item.rootName + "|" + item.keyPath + "|" + item.valueName + "|" +
                       item.dataText + "|" + std::to_string(item.image) + "|" +
                       std::to_string(item.type));
        events.push_back("hit " + item.keyPath + "|" + item.valueName);
        if (stop && hits.size() == stopAfterHits)
            *stop = true;
    }
    void ShowKey(const std::string& path)
    {
        keys.push_back(path);
        events.push_back("key " + path);
    }

    Strings hits;
    Strings keys;
    Strings events;
    std::atomic<bool>* stop = nullptr;
    std::size_t stopAfterHits = 0;
};

class SearchEngineTest : public ::testing::Test {
protected:
    SearchEngineTest()
    {
        options.includeKeyNames = true;
        options.includeValueNames = true;
        options.includeValueData = true;
        options.searchHKCU = true;
    }

    // Searches and returns the hits.
    Strings Search(const std::string& keyword)
    {
        options.keyword = keyword;
        sink = RecordingSink();
        SearchRegistry(platform, platform, options, sink.Sink(), "(key)");
        return sink.hits;
    }

    // Whether one subject text matches under the current options.
    bool Matches(const std::string& keyword, const std::string& subject)
    {
        options.keyword = keyword;
        SearchContext context(platform, options, SearchSink(), "(key)");
        return context.Matches(subject);
    }

    MemoryPlatform platform;
    SearchOptions options;
    RecordingSink sink;
};

TEST_F(SearchEngineTest, SubstringSearchFindsKeyNamesValueNamesAndDataOnceEach)
{
    platform.AddKey(kHkeyCurrentUser, "Software\\RunOnce");
    platform.AddString(kHkeyCurrentUser, "Software\\Startup", "Run", "C:\\Program Files\\Runner\\r.exe");
    platform.AddString(kHkeyCurrentUser, "Software\\Startup", "Tool", "C:\\Program Files\\Runner");
    platform.AddString(kHkeyCurrentUser, "Software\\Startup", "Other", "nothing here");

    EXPECT_EQ((Strings{
                  "HKEY_CURRENT_USER|Software\\RunOnce|(key)||0|-1",
                  "HKEY_CURRENT_USER|Software\\Startup|Run|C:\\Program Files\\Runner\\r.exe|1|1",
                  "HKEY_CURRENT_USER|Software\\Startup|Tool|C:\\Program Files\\Runner|1|1",
              }),
              Search("run"));
}

TEST_F(SearchEngineTest, EachTargetIsTestedOnlyWhenChosen)
{
    platform.AddString(kHkeyCurrentUser, "Match", "match", "match");

    options.includeKeyNames = false;
    options.includeValueNames = false;
    EXPECT_EQ((Strings{"HKEY_CURRENT_USER|Match|match|match|1|1"}), Search("match"));

    options.includeValueData = false;
    EXPECT_TRUE(Search("match").empty());
    // Walked keys are shown whether or not anything is tested.
    EXPECT_EQ((Strings{"", "Match"}), sink.keys);

    options.includeKeyNames = true;
    EXPECT_EQ((Strings{"HKEY_CURRENT_USER|Match|(key)||0|-1"}), Search("match"));
}

TEST_F(SearchEngineTest, ValueNameAndDataAreTestedIndependently)
{
    platform.AddString(kHkeyCurrentUser, "K", "plain", "has target inside");
    platform.AddString(kHkeyCurrentUser, "K", "target name", "plain data");
    options.includeKeyNames = false;

    options.includeValueData = false;
    EXPECT_EQ((Strings{"HKEY_CURRENT_USER|K|target name|plain data|1|1"}), Search("target"));

    options.includeValueData = true;
    options.includeValueNames = false;
    EXPECT_EQ((Strings{"HKEY_CURRENT_USER|K|plain|has target inside|1|1"}), Search("target"));
}

TEST_F(SearchEngineTest, CaseIsFoldedUnlessCaseSensitive)
{
    EXPECT_TRUE(Matches("run", "RunOnce"));
    EXPECT_TRUE(Matches("RUN", "runonce"));
    // Accented capitals fold too.
    EXPECT_TRUE(Matches("ÉTÉ", "été"));

    options.caseSensitive = true;
    EXPECT_FALSE(Matches("run", "RunOnce"));
    EXPECT_TRUE(Matches("Run", "RunOnce"));
}

TEST_F(SearchEngineTest, FullWordMatchWantsTheWholeText)
{
    options.fullWordMatch = true;
    EXPECT_FALSE(Matches("run", "RunOnce"));
    EXPECT_TRUE(Matches("run", "Run"));
    EXPECT_FALSE(Matches("run", "Run "));

    options.caseSensitive = true;
    EXPECT_FALSE(Matches("run", "Run"));
    EXPECT_TRUE(Matches("Run", "Run"));
}

TEST_F(SearchEngineTest, WildcardsMatchTheWholeText)
{
    options.useWildcard = true;
    EXPECT_TRUE(Matches("run*", "RunOnce"));
    EXPECT_TRUE(Matches("run*", "run"));
    EXPECT_TRUE(Matches("?un", "Run"));
    EXPECT_FALSE(Matches("?un", "Runs"));
    EXPECT_FALSE(Matches("un", "Run"));   // no substring search with wildcards
    EXPECT_TRUE(Matches("*", ""));

    options.caseSensitive = true;
    EXPECT_FALSE(Matches("r*", "RunOnce"));
}

TEST_F(SearchEngineTest, WildcardAndFullWordTakeStarAndQuestionMarkLiterally)
{
    options.useWildcard = true;
    options.fullWordMatch = true;
    EXPECT_TRUE(Matches("r*n", "r*n"));
    EXPECT_TRUE(Matches("r*n", "R*N"));
    EXPECT_FALSE(Matches("r*n", "run"));
    EXPECT_FALSE(Matches("r?n", "run"));
}

TEST_F(SearchEngineTest, LoneStarListsEveryKeyAndEachChosenRootWithAnEmptyPath)
{
    platform.AddKey(kHkeyCurrentUser, "A\\B");
    platform.AddKey(kHkeyLocalMachine, "M");
    platform.AddKey(kHkeyUsers, "U");
    options.includeValueNames = false;
    options.includeValueData = false;
    options.useWildcard = true;
    options.searchHKLM = true;

    EXPECT_EQ((Strings{
                  "HKEY_CURRENT_USER||(key)||0|-1",
                  "HKEY_CURRENT_USER|A|(key)||0|-1",
                  "HKEY_CURRENT_USER|A\\B|(key)||0|-1",
                  "HKEY_LOCAL_MACHINE||(key)||0|-1",
                  "HKEY_LOCAL_MACHINE|M|(key)||0|-1",
              }),
              Search("*"));
}

TEST_F(SearchEngineTest, RootsAreWalkedInFixedOrderAndOnlyWhenChosen)
{
    const RootKey roots[] = {kHkeyCurrentConfig, kHkeyUsers, kHkeyLocalMachine,
                             kHkeyCurrentUser, kHkeyClassesRoot};
    for (RootKey root : roots)
        platform.AddKey(root, "Needle");
    platform.AddKey(kHkeyPerformanceData, "Needle");

    options.searchHKCU = false;
    EXPECT_TRUE(Search("needle").empty());
    EXPECT_TRUE(sink.keys.empty());

    options.searchHKCR = options.searchHKCU = options.searchHKLM = options.searchHKU =
        options.searchHKCC = true;
    EXPECT_EQ((Strings{
                  "HKEY_CLASSES_ROOT|Needle|(key)||0|-1",
                  "HKEY_CURRENT_USER|Needle|(key)||0|-1",
                  "HKEY_LOCAL_MACHINE|Needle|(key)||0|-1",
                  "HKEY_USERS|Needle|(key)||0|-1",
                  "HKEY_CURRENT_CONFIG|Needle|(key)||0|-1",
              }),
              Search("needle"));

    options.searchHKCR = options.searchHKLM = options.searchHKCC = false;
    EXPECT_EQ((Strings{
                  "HKEY_CURRENT_USER|Needle|(key)||0|-1",
                  "HKEY_USERS|Needle|(key)||0|-1",
              }),
              Search("needle"));
}

TEST_F(SearchEngineTest, EmptyKeywordWalksNothing)
{
    platform.AddString(kHkeyCurrentUser, "K", "v", "d");
    options.useWildcard = true;
    EXPECT_TRUE(Search("").empty());
    EXPECT_TRUE(sink.keys.empty());
}

TEST_F(SearchEngineTest, KeyRowComesBeforeItsValuesWhichComeBeforeItsSubkeys)
{
    platform.AddString(kHkeyCurrentUser, "x1", "x2", "x3");
    platform.AddString(kHkeyCurrentUser, "x1\\x4", "x5", "");
    platform.AddString(kHkeyCurrentUser, "x1", "x6", "");
    platform.AddKey(kHkeyCurrentUser, "x7");

    Search("x");
    EXPECT_EQ((Strings{
                  "key ",
                  "hit x1|(key)", "key x1", "hit x1|x2", "hit x1|x6",
                  "hit x1\\x4|(key)", "key x1\\x4", "hit x1\\x4|x5",
                  "hit x7|(key)", "key x7",
              }),
              sink.events);
}

TEST_F(SearchEngineTest, KeyNameIsItsLastPathComponent)
{
    platform.AddKey(kHkeyCurrentUser, "Alpha\\Beta\\Gamma");
    options.fullWordMatch = true;
    EXPECT_EQ((Strings{"HKEY_CURRENT_USER|Alpha\\Beta|(key)||0|-1"}), Search("beta"));
    EXPECT_TRUE(Search("alpha\\beta").empty());
}

TEST_F(SearchEngineTest, ValuesAreTestedInTheirDisplayText)
{
    // 20 bytes that are shown, then three that are not.
    const std::string binary = "\x01\x0a\xff" + std::string(17, '\x10') + "\x77\x77\x77";
    platform.AddDword(kHkeyCurrentUser, "K", "ten", 10);
    platform.AddValue(kHkeyCurrentUser, "K", "long", kRegBinary, binary);
    platform.AddValue(kHkeyCurrentUser, "K", "multi", kRegMultiSz,
                       Utf8ToUtf16LeBytes(std::string("ab\0cd\0\0", 7)));
    platform.AddValue(kHkeyCurrentUser, "K", "expand", kRegExpandSz, TextToStringData("%Temp%\\x"));
    options.includeKeyNames = false;
    options.includeValueNames = false;

    EXPECT_EQ((Strings{"HKEY_CURRENT_USER|K|ten|0x0000000a (10)|2|4"}), Search("(10)"));
    EXPECT_EQ((Strings{"HKEY_CURRENT_USER|K|ten|0x0000000a (10)|2|4"}), Search("0X0000000A"));
    const std::string binaryText =
        "01 0a ff 10 10 10 10 10 10 10 10 10 10 10 10 10 10 10 10 10...";
    EXPECT_EQ((Strings{"HKEY_CURRENT_USER|K|long|" + binaryText + "|2|3"}), Search("0a ff"));
    EXPECT_TRUE(Search("77").empty());
    EXPECT_EQ((Strings{"HKEY_CURRENT_USER|K|multi|ab cd|1|7"}), Search("b c"));
    // Expandable strings are searched as stored, not expanded.
    EXPECT_EQ((Strings{"HKEY_CURRENT_USER|K|expand|%Temp%\\x|1|2"}), Search("%temp%"));
}

TEST_F(SearchEngineTest, RegNoneAndOtherTypesWithoutDisplayTextAreFoundByNameOnly)
{
    platform.AddValue(kHkeyCurrentUser, "K", "nonevalue", kRegNone, "nonedata");
    platform.AddValue(kHkeyCurrentUser, "K", "qwordvalue", kRegQword, "qworddat");
    options.includeKeyNames = false;

    EXPECT_EQ((Strings{"HKEY_CURRENT_USER|K|nonevalue||2|0"}), Search("none"));
    EXPECT_TRUE(Search("nonedata").empty());
    EXPECT_TRUE(Search("qworddat").empty());
    EXPECT_EQ((Strings{"HKEY_CURRENT_USER|K|qwordvalue||2|11"}), Search("qword"));
    EXPECT_EQ((Strings{"HKEY_CURRENT_USER|K|nonevalue||2|0", "HKEY_CURRENT_USER|K|qwordvalue||2|11"}),
              Search("value"));

    // A wildcard that matches the empty text finds a value with no display text.
    options.includeValueNames = false;
    options.useWildcard = true;
    EXPECT_EQ((Strings{"HKEY_CURRENT_USER|K|nonevalue||2|0", "HKEY_CURRENT_USER|K|qwordvalue||2|11"}),
              Search("*"));
    EXPECT_TRUE(Search("?*").empty());
}

TEST_F(SearchEngineTest, RegNoneHitsAreExportedWithTheirBytes)
{
    platform.AddValue(kHkeyCurrentUser, "K", "marker", kRegNone, std::string("\x01\x00", 2));
    platform.AddValue(kHkeyCurrentUser, "K", "empty marker", kRegNone, "");
    options.includeKeyNames = false;
    Search("marker");
    ASSERT_EQ(2u, sink.hits.size());

    // The export of the hit rows, as the item list hands them over.
    const std::vector<RegExportRow> rows = {{"HKEY_CURRENT_USER", "K", "marker", 0},
                                            {"HKEY_CURRENT_USER", "K", "empty marker", 0}};
    const RegExportResult result = WriteRegFile(platform, platform, platform, rows, "C:\\hits.reg", nullptr, nullptr);
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(2u, result.entriesWritten);
    const std::string file = platform.FileContent("C:\\hits.reg");
    ASSERT_EQ("\xFF\xFE", file.substr(0, 2));
    EXPECT_EQ("Windows Registry Editor Version 5.00\r\n\r\n"
              "[HKEY_CURRENT_USER\\K]\r\n\"marker\"=hex(0):01,00\r\n"
              "[HKEY_CURRENT_USER\\K]\r\n\"empty marker\"=hex(0):\r\n",
              Utf16LeBytesToUtf8(file.substr(2)));
}

TEST_F(SearchEngineTest, HitRowsKeepTheStoredCase)
{
    platform.AddString(kHkeyCurrentUser, "Mixed\\CaseKey", "ValueName", "Some Case Data");
    EXPECT_EQ((Strings{
                  "HKEY_CURRENT_USER|Mixed\\CaseKey|(key)||0|-1",
                  "HKEY_CURRENT_USER|Mixed\\CaseKey|ValueName|Some Case Data|1|1",
              }),
              Search("CASE"));
}

TEST_F(SearchEngineTest, DefaultValueHasAnEmptyName)
{
    platform.AddString(kHkeyCurrentUser, "K", "", "default data");
    EXPECT_EQ((Strings{"HKEY_CURRENT_USER|K||default data|1|1"}), Search("default"));
}

TEST_F(SearchEngineTest, UnreadableKeysAreSkippedQuietly)
{
    platform.AddKey(kHkeyCurrentUser, "Open\\Hit");
    platform.AddKey(kHkeyCurrentUser, "Closed\\Hit");
    platform.SetKeyFaults(kHkeyCurrentUser, "Closed", kDenyOpen);
    EXPECT_EQ((Strings{"HKEY_CURRENT_USER|Open\\Hit|(key)||0|-1"}), Search("hit"));
    EXPECT_EQ(0u, platform.OpenKeyCount());
}

TEST_F(SearchEngineTest, NamesAndDataOfEveryScriptFoldCaseUnlessCaseSensitive)
{
    platform.AddKey(kHkeyCurrentUser, "Ключ\\ПРИВЕТ мир");
    platform.AddString(kHkeyCurrentUser, "Ключ", "Скажи ПРИВЕТ", "x");
    platform.AddString(kHkeyCurrentUser, "Ключ", "data", "ПРИВЕТ 😀");
    platform.AddValue(kHkeyCurrentUser, "Ключ", "multi", kRegMultiSz,
                      Utf8ToUtf16LeBytes(std::string("a\0Привет\0\0", 15)));
    platform.AddString(kHkeyCurrentUser, "Ключ", "other", "прив ет");
    const Strings folded = {"HKEY_CURRENT_USER|Ключ\\ПРИВЕТ мир|(key)||0|-1",
                            "HKEY_CURRENT_USER|Ключ|Скажи ПРИВЕТ|x|1|1",
                            "HKEY_CURRENT_USER|Ключ|data|ПРИВЕТ 😀|1|1",
                            "HKEY_CURRENT_USER|Ключ|multi|a Привет|1|7"};
    // The walk order: the key's own values before its subkeys.
    EXPECT_EQ((Strings{folded[1], folded[2], folded[3], folded[0]}), Search("привет"));
    options.caseSensitive = true;
    EXPECT_TRUE(Search("привет").empty());
    EXPECT_EQ((Strings{folded[3]}), Search("Привет"));
    options.caseSensitive = false;

    // "?" stands for one letter or one emoji, whatever its length in bytes.
    options.useWildcard = true;
    EXPECT_EQ((Strings{folded[2]}), Search("?ривет ?"));
    EXPECT_TRUE(Search("?ривет ??").empty());
    EXPECT_TRUE(Matches("ΣΙΣΥΦΟ?", "σισυφος"));
    EXPECT_TRUE(Matches("ソ?ト", "ソフト"));
    EXPECT_FALSE(Matches("ソ??ト", "ソフト"));
    options.useWildcard = false;
    options.fullWordMatch = true;
    EXPECT_TRUE(Matches("ωμεγα", "ΩΜΕΓΑ"));
    EXPECT_FALSE(Matches("ωμεγα", "ΩΜΕΓΑ!"));
}

TEST_F(SearchEngineTest, StopFlagEndsTheSearchAtOnce)
{
    for (int i = 0; i < 20; ++i)
        platform.AddString(kHkeyCurrentUser, "K" + std::to_string(i), "hit", "x");
    options.searchHKLM = true;
    platform.AddKey(kHkeyLocalMachine, "hit");

    std::atomic<bool> stop{false};
    options.keyword = "hit";
    sink.stop = &stop;
    sink.stopAfterHits = 3;
    SearchRegistry(platform, platform, options, sink.Sink(), "(key)", &stop);
    EXPECT_EQ(3u, sink.hits.size());
    EXPECT_EQ(0u, platform.OpenKeyCount());

    // A search that starts with the flag set walks nothing.
    RecordingSink second;
    SearchRegistry(platform, platform, options, second.Sink(), "(key)", &stop);
    EXPECT_TRUE(second.keys.empty());
}

// A sink may leave its functions out: the search walks the same keys.
TEST_F(SearchEngineTest, SinkWithoutFunctionsWalksTheSameKeys)
{
    platform.AddString(kHkeyCurrentUser, "Software\\Hit", "hit", "hit");
    platform.AddKey(kHkeyCurrentUser, "Software\\Other\\Deeper");
    EXPECT_EQ(2u, Search("hit").size());
    const std::size_t opened = platform.KeyOpenTotal();
    SearchRegistry(platform, platform, options, SearchSink(), "(key)");
    EXPECT_EQ(opened * 2, platform.KeyOpenTotal());
    EXPECT_EQ(0u, platform.OpenKeyCount());
}

TEST(SearchKeyword, IsCutAt499UnitsOnACharacterBoundary)
{
    EXPECT_EQ("short", LimitKeyword("short"));
    const std::string exact(499, 'k');
    EXPECT_EQ(exact, LimitKeyword(exact));
    EXPECT_EQ(exact, LimitKeyword(exact + "tail"));

    // Letters of any script count one unit each, whatever their bytes.
    std::string cyrillic;
    for (int i = 0; i < 499; ++i)
        cyrillic += "Ж";
    EXPECT_EQ(cyrillic, LimitKeyword(cyrillic + "z"));
    // An emoji takes two units: one that would end at unit 500 is left out whole.
    EXPECT_EQ(std::string(498, 'k'), LimitKeyword(std::string(498, 'k') + "😀"));
    EXPECT_EQ(std::string(497, 'k') + "😀", LimitKeyword(std::string(497, 'k') + "😀z"));
}

}  // namespace
