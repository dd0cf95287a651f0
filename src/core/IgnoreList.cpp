// The ignore list (see IgnoreList.h).
#include "core/IgnoreList.h"

#include <algorithm>
#include <utility>

#include "core/Text.h"
#include "core/RegistryPaths.h"

namespace {

std::string Upper(TextRules& textRules, std::string text)
{
    textRules.UpperText(text);
    return text;
}

PreparedIgnoreList::Entry PrepareEntry(TextRules& textRules, const IgnoreEntry& entry)
{
    PreparedIgnoreList::Entry prepared;
    prepared.rootName = Upper(textRules, entry.rootName);
    prepared.keyPath = Upper(textRules, TrimBackslashes(entry.keyPath));
    prepared.hasValueName = entry.hasValueName;
    if (entry.hasValueName)
        prepared.valueName = Upper(textRules, entry.valueName);
    return prepared;
}

bool SamePrepared(const PreparedIgnoreList::Entry& a, const PreparedIgnoreList::Entry& b)
{
    return a.rootName == b.rootName && a.keyPath == b.keyPath && a.hasValueName == b.hasValueName &&
           (!a.hasValueName || a.valueName == b.valueName);
}

// True when `key` is `parent` itself or lies below it. Both are upper-cased
// and trimmed. The backslash after the parent's part must be a character of
// its own, not the trail byte of a double-byte character.
bool IsSameOrBelow(const std::string& key, const std::string& parent)
{
    if (parent.empty())
        return true; // the root itself
    if (key.size() < parent.size() || key.compare(0, parent.size(), parent) != 0)
        return false;
    if (key.size() == parent.size())
        return true;
    std::size_t i = 0;
    while (i < parent.size())
        i = NextCharIndex(key, i);
    return i == parent.size() && key[i] == '\\';
}

} // namespace

IgnoreEntry IgnoreEntryOfRow(const RegistryItem& row)
{
    IgnoreEntry entry;
    entry.rootName = row.rootName;
    entry.keyPath = row.keyPath;
    entry.hasValueName = row.type != kKeyRowType;
    if (entry.hasValueName)
        entry.valueName = row.valueName;
    return entry;
}

bool SameIgnoreEntry(TextRules& textRules, const IgnoreEntry& a, const IgnoreEntry& b)
{
    return SamePrepared(PrepareEntry(textRules, a), PrepareEntry(textRules, b));
}

std::vector<IgnoreEntry> AddIgnoreEntries(TextRules& textRules, std::vector<IgnoreEntry>& list,
                                          const std::vector<RegistryItem>& rows)
{
    std::vector<PreparedIgnoreList::Entry> present;
    present.reserve(list.size() + rows.size());
    for (const IgnoreEntry& entry : list)
        present.push_back(PrepareEntry(textRules, entry));

    std::vector<IgnoreEntry> added;
    for (const RegistryItem& row : rows) {
        IgnoreEntry entry = IgnoreEntryOfRow(row);
        PreparedIgnoreList::Entry prepared = PrepareEntry(textRules, entry);
        const bool known = std::any_of(present.begin(), present.end(),
                                       [&](const PreparedIgnoreList::Entry& other) {
                                           return SamePrepared(other, prepared);
                                       });
        if (known)
            continue;
        present.push_back(std::move(prepared));
        list.push_back(entry);
        added.push_back(std::move(entry));
    }
    return added;
}

std::size_t RemoveIgnoreEntries(TextRules& textRules, std::vector<IgnoreEntry>& list,
                                const std::vector<IgnoreEntry>& entries)
{
    std::vector<PreparedIgnoreList::Entry> unwanted;
    unwanted.reserve(entries.size());
    for (const IgnoreEntry& entry : entries)
        unwanted.push_back(PrepareEntry(textRules, entry));

    const std::size_t before = list.size();
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](const IgnoreEntry& entry) {
                                  const PreparedIgnoreList::Entry prepared = PrepareEntry(textRules, entry);
                                  return std::any_of(unwanted.begin(), unwanted.end(),
                                                     [&](const PreparedIgnoreList::Entry& other) {
                                                         return SamePrepared(other, prepared);
                                                     });
                              }),
               list.end());
    return before - list.size();
}

PreparedIgnoreList PrepareIgnoreList(TextRules& textRules, const std::vector<IgnoreEntry>& list)
{
    PreparedIgnoreList prepared;
    prepared.entries.reserve(list.size());
    for (const IgnoreEntry& entry : list)
        prepared.entries.push_back(PrepareEntry(textRules, entry));
    return prepared;
}

bool IsIgnored(TextRules& textRules, const PreparedIgnoreList& list, const RegistryItem& row)
{
    if (list.entries.empty())
        return false;
    const std::string rootName = Upper(textRules, row.rootName);
    const std::string keyPath = Upper(textRules, TrimBackslashes(row.keyPath));
    const bool valueRow = row.type != kKeyRowType;
    std::string valueName;
    bool valueNameReady = false;

    for (const PreparedIgnoreList::Entry& entry : list.entries) {
        if (entry.rootName != rootName)
            continue;
        if (!entry.hasValueName) {
            if (IsSameOrBelow(keyPath, entry.keyPath))
                return true;
            continue;
        }
        if (!valueRow || entry.keyPath != keyPath)
            continue;
        if (!valueNameReady) {
            valueName = Upper(textRules, row.valueName);
            valueNameReady = true;
        }
        if (entry.valueName == valueName)
            return true;
    }
    return false;
}

bool IsIgnored(TextRules& textRules, const std::vector<IgnoreEntry>& list, const RegistryItem& row)
{
    return IsIgnored(textRules, PrepareIgnoreList(textRules, list), row);
}
