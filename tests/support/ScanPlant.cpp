// Planting and removing registry entries for the cleaner task tests.
#include "ScanPlant.h"

#include <shlwapi.h>

namespace {

bool KeyExists(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyA(root, path.c_str(), &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool ValueExists(HKEY root, const std::string& path, const std::string& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyA(root, path.c_str(), &key) != ERROR_SUCCESS)
        return false;
    const bool exists =
        RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return exists;
}

}  // namespace

RegistryPlanter::~RegistryPlanter()
{
    for (auto undo = undo_.rbegin(); undo != undo_.rend(); ++undo) {
        if (undo->wholeKey) {
            SHDeleteKeyA(undo->root, undo->path.c_str());
            continue;
        }
        HKEY key = nullptr;
        if (RegOpenKeyA(undo->root, undo->path.c_str(), &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, undo->valueName.c_str());
            RegCloseKey(key);
        }
    }
}

bool RegistryPlanter::Key(HKEY root, const std::string& path)
{
    // The first missing component is the key to remove again with its subtree.
    for (std::size_t end = path.find('\\');; end = path.find('\\', end + 1)) {
        const std::string prefix = path.substr(0, end);
        if (!KeyExists(root, prefix)) {
            undo_.push_back(Undo{root, prefix, std::string(), true});
            break;
        }
        if (end == std::string::npos)
            break;
    }
    HKEY key = nullptr;
    if (RegCreateKeyA(root, path.c_str(), &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool RegistryPlanter::Value(HKEY root, const std::string& path, const std::string& name, DWORD type,
                            const std::string& bytes)
{
    if (ValueExists(root, path, name) || !Key(root, path))
        return false;
    HKEY key = nullptr;
    if (RegOpenKeyA(root, path.c_str(), &key) != ERROR_SUCCESS)
        return false;
    undo_.push_back(Undo{root, path, name, false});
    // A non-zero byte after the data keeps the system from adding a zero.
    const std::string copy = bytes + "\x01";
    const LONG result = RegSetValueExA(key, name.c_str(), 0, type,
                                       reinterpret_cast<const BYTE*>(copy.data()),
                                       static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool RegistryPlanter::String(HKEY root, const std::string& path, const std::string& name,
                             const std::string& text)
{
    return Value(root, path, name, REG_SZ, text + std::string(1, '\0'));
}

bool RegistryPlanter::Dword(HKEY root, const std::string& path, const std::string& name,
                            DWORD number)
{
    std::string bytes(reinterpret_cast<const char*>(&number), sizeof number);
    return Value(root, path, name, REG_DWORD, bytes);
}

std::string DeletedFilePath(const std::string& folder, const std::string& name)
{
    const std::string path = folder + name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    DeleteFileA(path.c_str());
    return path;
}
