// Deleting the registry entry behind a list row (see RegistryEntry.h).
#include "core/RegistryEntry.h"

#include "core/RegistryPaths.h"

std::string FullKeyPathOf(const RegistryItem& item)
{
    return item.rootName + "\\" + item.keyPath;
}

bool DeleteRegistryEntry(RegistryAccess& registry, TextRules& textRules, const RegistryItem& item,
                         long* result)
{
    if (item.type == kKeyRowType)
        return DeleteRegistryKey(registry, textRules, FullKeyPathOf(item), result);
    return DeleteRegistryValue(registry, textRules, FullKeyPathOf(item), item.valueName, result);
}

bool RegistryEntryExists(RegistryAccess& registry, TextRules& textRules, const RegistryItem& item)
{
    const bool keyRow = item.type == kKeyRowType;
    RootKey root = kNoRootKey;
    std::string keyPath;
    // A value may sit in a root key itself; a key row always names a key
    // below one.
    const bool split = keyRow ? SplitRegistryPath(textRules, FullKeyPathOf(item), &root, &keyPath)
                              : SplitValueKeyPath(textRules, FullKeyPathOf(item), &root, &keyPath);
    if (!split)
        return false;
    ScopedKey key(registry);
    const long opened = key.Open(RootHandle(root), keyPath);
    if (opened == kResultFileNotFound)
        return false;
    if (opened != kResultOk || keyRow)
        return true; // a key that cannot be opened is there, we just may not look at it
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    return registry.QueryValue(key.Get(), item.valueName, &type, nullptr, &size) != kResultFileNotFound;
}
