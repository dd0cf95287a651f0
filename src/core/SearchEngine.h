// The registry search proper: the options a search runs with, the test of
// one key name, value name or value data text against the keyword, the key
// and value visitors of the walk, and the walk over the chosen root keys.
// Hits and walked keys go to a sink, which the search page turns into rows
// and status texts. Platform-free.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/RegistryItem.h"
#include "core/Platform.h"

// The keyword box takes at most 499 UTF-16 units, and so does the search.
constexpr std::size_t kMaxKeywordLength = 499;

// What a search looks for, where and how. Filled by the page before the
// worker starts and only read while it runs.
struct SearchOptions {
    std::string keyword;
    bool includeKeyNames = false;
    bool includeValueNames = false;
    bool includeValueData = false;
    bool useWildcard = false;
    bool fullWordMatch = false;
    bool caseSensitive = false;
    bool searchHKCR = false;
    bool searchHKCU = false;
    bool searchHKLM = false;
    bool searchHKU = false;
    bool searchHKCC = false;
};

// The keyword as the search keeps it: at most kMaxKeywordLength UTF-16 units,
// cut before a character that would not fit whole.
std::string LimitKeyword(const std::string& text);

// Receives one hit: a key row (type kKeyRowType) or a value row.
using HitReceiver = void (*)(const RegistryItem& item, void* context);

// Receives a key the walk has opened; called for every key, hit or not,
// before its values are tested.
using SearchedKeyReceiver = void (*)(const std::string& path, void* context);

// Where a running search reports to: each function is called with the sink's
// context; a function left null is not called.
struct SearchSink {
    HitReceiver addHit = nullptr;
    SearchedKeyReceiver showKey = nullptr;
    void* context = nullptr;
};

// What the two visitors need; handed to the walk as their context.
class SearchContext {
public:
    // keyRowText is what a key row shows in its value name column.
    SearchContext(TextRules& textRules, const SearchOptions& options, const SearchSink& sink,
                  std::string keyRowText);

    // True when the subject text matches the keyword under the options.
    bool Matches(const std::string& subject);

    TextRules& textRules;
    const SearchOptions& options;
    const SearchSink sink;
    const std::string keyRowText;

    // Texts of the value under test, kept between values so that a walk of
    // a million values does not allocate for each one.
    std::string valueName;
    std::string dataText;

private:
    std::string keyword_;   // lower-cased unless the search is case-sensitive
    std::string lowered_;   // the subject under test, lower-cased
};

// The key visitor of the search: tests the key's own name and reports the
// key to the sink. context is a SearchContext.
void MatchKey(RootKey root, const std::string& path, const char* valueName,
              std::uint32_t valueNameLength, std::uint32_t type, const std::uint8_t* data,
              std::uint32_t dataSize, void* context);

// The value visitor of the search: tests the value name, then the display
// text of the data; one row at most per value. context is a SearchContext.
void MatchValue(RootKey root, const std::string& path, const char* valueName,
                std::uint32_t valueNameLength, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t dataSize, void* context);

// Walks every chosen root key, in the order HKEY_CLASSES_ROOT,
// HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_CONFIG,
// with the two visitors; values of every type are tested, REG_NONE included.
// An empty keyword walks nothing. Ends early once stop is set.
void SearchRegistry(RegistryAccess& registry, TextRules& textRules, const SearchOptions& options,
                    const SearchSink& sink, const std::string& keyRowText,
                    const std::atomic<bool>* stop = nullptr);
