// Deleting the registry entry behind a list row (see RegistryEntry.h).
#include "core/RegistryEntry.h"

#include "core/RegistryPaths.h"

std::string FullKeyPathOf(const RegistryItem& item)
{
    return item.rootName + "\\" + item.keyPath;
}

bool DeleteRegistryEntry(RegistryAccess& registry, CodePage& codePage, const RegistryItem& item)
{
    if (item.type == kKeyRowType)
        return DeleteRegistryKey(registry, codePage, FullKeyPathOf(item));
    return DeleteRegistryValue(registry, codePage, FullKeyPathOf(item), item.valueName);
}

bool RegistryEntryExists(RegistryAccess& registry, CodePage& codePage, const RegistryItem& item)
{
    RootKey root = kNoRootKey;
    std::string keyPath;
    if (!SplitRegistryPath(codePage, FullKeyPathOf(item), &root, &keyPath))
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

bool WriteEditedValue(RegistryAccess& registry, CodePage& codePage, const RegistryItem& row,
                      const std::string& newName, const std::string& newData)
{
    const RootKey root = ParseRootKey(codePage, row.rootName);
    if (root == kNoRootKey)
        return false;
    KeyHandle key = kNoKey;
    if (registry.OpenKey(RootHandle(root), row.keyPath, &key) != kResultOk)
        return false;
    const std::uint32_t size = static_cast<std::uint32_t>(newData.size() + 1);
    const bool written = registry.SetValue(key, newName, kRegSz,
                                           reinterpret_cast<const std::uint8_t*>(newData.c_str()), size) ==
                         kResultOk;
    if (written && newName != row.valueName)
        registry.DeleteValue(key, row.valueName);
    registry.CloseKey(key);
    return written;
}
