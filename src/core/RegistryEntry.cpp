// Deleting the registry entry behind a list row (see RegistryEntry.h).
#include "core/RegistryEntry.h"

#include "core/RegistryPaths.h"

std::string FullKeyPathOf(const RegistryItem& item)
{
    return item.rootName + "\\" + item.keyPath;
}

bool DeleteRegistryEntry(RegistryAccess& registry, TextRules& textRules, const RegistryItem& item)
{
    if (item.type == kKeyRowType)
        return DeleteRegistryKey(registry, textRules, FullKeyPathOf(item));
    return DeleteRegistryValue(registry, textRules, FullKeyPathOf(item), item.valueName);
}

bool RegistryEntryExists(RegistryAccess& registry, TextRules& textRules, const RegistryItem& item)
{
    RootKey root = kNoRootKey;
    std::string keyPath;
    if (!SplitRegistryPath(textRules, FullKeyPathOf(item), &root, &keyPath))
        return false;
    KeyHandle key = kNoKey;
    const long opened = registry.OpenKey(RootHandle(root), keyPath, &key);
    if (opened == kResultFileNotFound)
        return false;
    if (opened != kResultOk)
        return true; // it is there, we just may not look at it
    bool exists = true;
    if (item.type != kKeyRowType) {
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        const long queried = registry.QueryValue(key, item.valueName, &type, nullptr, &size);
        exists = queried != kResultFileNotFound;
    }
    registry.CloseKey(key);
    return exists;
}
