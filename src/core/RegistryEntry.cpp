// Deleting the registry entry behind a list row (see RegistryEntry.h).
#include "core/RegistryEntry.h"

#include "core/RegistryPaths.h"

std::string FullKeyPathOf(const RegistryItem& item)
{
    return item.rootName + "\\" + item.keyPath;
}

bool DeleteRegistryEntry(Platform& platform, const RegistryItem& item)
{
    if (item.type == kKeyRowType)
        return DeleteRegistryKey(platform, FullKeyPathOf(item));
    return DeleteRegistryValue(platform, FullKeyPathOf(item), item.valueName);
}

bool RegistryEntryExists(Platform& platform, const RegistryItem& item)
{
    RootKey root = kNoRootKey;
    std::string keyPath;
    if (!SplitRegistryPath(platform, FullKeyPathOf(item), &root, &keyPath))
        return false;
    KeyHandle key = kNoKey;
    const long opened = platform.OpenKey(RootHandle(root), keyPath, &key);
    if (opened == kResultFileNotFound)
        return false;
    if (opened != kResultOk)
        return true; // it is there, we just may not look at it
    bool exists = true;
    if (item.type != kKeyRowType) {
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        const long queried = platform.QueryValue(key, item.valueName, &type, nullptr, &size);
        exists = queried != kResultFileNotFound;
    }
    platform.CloseKey(key);
    return exists;
}

bool WriteEditedValue(Platform& platform, const RegistryItem& row, const std::string& newName,
                      const std::string& newData)
{
    const RootKey root = ParseRootKey(platform, row.rootName);
    if (root == kNoRootKey)
        return false;
    KeyHandle key = kNoKey;
    if (platform.OpenKey(RootHandle(root), row.keyPath, &key) != kResultOk)
        return false;
    const std::uint32_t size = static_cast<std::uint32_t>(newData.size() + 1);
    const bool written = platform.SetValue(key, newName, kRegSz,
                                           reinterpret_cast<const std::uint8_t*>(newData.c_str()), size) ==
                         kResultOk;
    if (written && newName != row.valueName)
        platform.DeleteValue(key, row.valueName);
    platform.CloseKey(key);
    return written;
}
