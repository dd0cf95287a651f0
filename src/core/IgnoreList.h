// The ignore list: keys and values the user has asked never to be shown
// again in the cleaner's or the search's results. An entry names a whole key
// (with everything below it) or one value of one key. Only what the user
// added is ever ignored: there are no patterns and no built-in entries.
// Platform-free; text is compared by the code page's rules.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/Platform.h"
#include "core/RegistryItem.h"

struct IgnoreEntry {
    std::string rootName;         // "HKEY_CURRENT_USER" and so on
    std::string keyPath;          // below the root, "\"-separated
    bool hasValueName = false;    // false: the whole key with everything below it
    std::string valueName;        // with hasValueName; "" is the key's default value
};

// The entry a result row asks for: a key row gives a whole-key entry (the
// text a key row shows as its value name is not part of it), a value row an
// entry for that one value.
IgnoreEntry IgnoreEntryOfRow(const RegistryItem& row);

// True when both name the same key or the same value: root names and key
// paths compared after the system's upper-casing, leading and trailing
// backslashes of the key paths left out, value names compared without
// regard to case as the registry does.
bool SameIgnoreEntry(TextRules& textRules, const IgnoreEntry& a, const IgnoreEntry& b);

// Appends an entry for each row unless an equal entry is already in the list
// (or was added for an earlier row). Returns the entries appended, in order.
std::vector<IgnoreEntry> AddIgnoreEntries(TextRules& textRules, std::vector<IgnoreEntry>& list,
                                          const std::vector<RegistryItem>& rows);

// Removes every entry of the list equal to one of `entries`. Returns how
// many were removed.
std::size_t RemoveIgnoreEntries(TextRules& textRules, std::vector<IgnoreEntry>& list,
                                const std::vector<IgnoreEntry>& entries);

// An ignore list prepared for matching many rows: every text upper-cased
// once. Build it with PrepareIgnoreList whenever the list changes.
struct PreparedIgnoreList {
    struct Entry {
        std::string rootName;
        std::string keyPath;
        bool hasValueName = false;
        std::string valueName;
    };
    std::vector<Entry> entries;
};

PreparedIgnoreList PrepareIgnoreList(TextRules& textRules, const std::vector<IgnoreEntry>& list);

// True when the row is ignored: a key row when an entry for a whole key names
// its key or a key above it; a value row, in addition, when an entry names
// that very value of its key. "Software\App" covers "Software\App\Sub" but
// not "Software\Application".
bool IsIgnored(TextRules& textRules, const PreparedIgnoreList& list, const RegistryItem& row);

// The same test for a list that is used once.
bool IsIgnored(TextRules& textRules, const std::vector<IgnoreEntry>& list, const RegistryItem& row);
