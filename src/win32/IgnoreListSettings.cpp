// The ignore list in config.xml (see IgnoreListSettings.h).
#include "win32/IgnoreListSettings.h"

#include "win32/SettingsDocument.h"

#include <algorithm>

namespace {

constexpr const char* kEntryElement = "entry";
constexpr const char* kRootAttribute = "root";
constexpr const char* kKeyAttribute = "key";
constexpr const char* kValueAttribute = "value";

// The entry an element stands for; false for an element that is none.
bool ReadEntry(const SettingsDocument& document, IXMLDOMElement* element, IgnoreEntry* entry)
{
    if (!document.HasAttribute(element, kRootAttribute) || !document.HasAttribute(element, kKeyAttribute))
        return false;
    entry->rootName = document.GetAttribute(element, kRootAttribute);
    entry->keyPath = document.GetAttribute(element, kKeyAttribute);
    entry->hasValueName = document.HasAttribute(element, kValueAttribute);
    entry->valueName = entry->hasValueName ? document.GetAttribute(element, kValueAttribute) : std::string();
    return true;
}

bool IsAnyOf(Platform& platform, const IgnoreEntry& entry, const std::vector<IgnoreEntry>& entries)
{
    return std::any_of(entries.begin(), entries.end(),
                       [&](const IgnoreEntry& other) { return SameIgnoreEntry(platform, entry, other); });
}

} // namespace

IgnoreListFile ReadIgnoreList(const std::string& path)
{
    IgnoreListFile file;
    SettingsDocument document;
    document.Open(path);
    ComPtr<IXMLDOMElement> list = document.SelectNode(kIgnoreListElementPath);
    if (!list)
        return file;
    file.available = true;
    for (const ComPtr<IXMLDOMElement>& element : document.ChildElements(list.Get(), kEntryElement)) {
        IgnoreEntry entry;
        if (ReadEntry(document, element.Get(), &entry))
            file.entries.push_back(entry);
    }
    return file;
}

IgnoreListSave AddToIgnoreList(Platform& platform, const std::string& path,
                               const std::vector<IgnoreEntry>& entries)
{
    SettingsDocument document;
    document.Open(path);
    ComPtr<IXMLDOMElement> list = document.SelectNode(kIgnoreListElementPath);
    if (!list)
        return IgnoreListSave::NoList;

    std::vector<IgnoreEntry> present;
    for (const ComPtr<IXMLDOMElement>& element : document.ChildElements(list.Get(), kEntryElement)) {
        IgnoreEntry entry;
        if (ReadEntry(document, element.Get(), &entry))
            present.push_back(entry);
    }
    bool changed = false;
    for (const IgnoreEntry& entry : entries) {
        if (IsAnyOf(platform, entry, present))
            continue;
        std::vector<std::pair<std::string, std::string>> attributes = {{kRootAttribute, entry.rootName},
                                                                       {kKeyAttribute, entry.keyPath}};
        if (entry.hasValueName)
            attributes.emplace_back(kValueAttribute, entry.valueName);
        // A document that took only part of the entries is not saved.
        if (!document.AppendElement(list.Get(), kEntryElement, attributes))
            return IgnoreListSave::SaveFailed;
        present.push_back(entry);
        changed = true;
    }
    if (changed && !document.Save())
        return IgnoreListSave::SaveFailed;
    return IgnoreListSave::Saved;
}

IgnoreListSave RemoveFromIgnoreList(Platform& platform, const std::string& path,
                                    const std::vector<IgnoreEntry>& entries)
{
    SettingsDocument document;
    document.Open(path);
    ComPtr<IXMLDOMElement> list = document.SelectNode(kIgnoreListElementPath);
    if (!list)
        return IgnoreListSave::NoList;

    bool changed = false;
    for (const ComPtr<IXMLDOMElement>& element : document.ChildElements(list.Get(), kEntryElement)) {
        IgnoreEntry entry;
        if (!ReadEntry(document, element.Get(), &entry) || !IsAnyOf(platform, entry, entries))
            continue;
        if (!document.RemoveElement(list.Get(), element.Get()))
            return IgnoreListSave::SaveFailed;
        changed = true;
    }
    if (changed && !document.Save())
        return IgnoreListSave::SaveFailed;
    return IgnoreListSave::Saved;
}
