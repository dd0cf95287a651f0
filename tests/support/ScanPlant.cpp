// Planting and removing registry entries for the cleaner task tests.
#include "ScanPlant.h"

#include "win32/WideText.h"

#include <shlwapi.h>

namespace {

bool KeyExists(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyW(root, Widen(path).c_str(), &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool ValueExists(HKEY root, const std::string& path, const std::string& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyW(root, Widen(path).c_str(), &key) != ERROR_SUCCESS)
        return false;
    const bool exists =
        RegQueryValueExW(key, Widen(name).c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return exists;
}

}  // namespace

RegistryPlanter::~RegistryPlanter()
{
    for (auto undo = undo_.rbegin(); undo != undo_.rend(); ++undo) {
        if (undo->wholeKey) {
            SHDeleteKeyW(undo->root, Widen(undo->path).c_str());
            continue;
        }
        HKEY key = nullptr;
        if (RegOpenKeyW(undo->root, Widen(undo->path).c_str(), &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, Widen(undo->valueName).c_str());
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
    if (RegCreateKeyW(root, Widen(path).c_str(), &key) != ERROR_SUCCESS)
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
    if (RegOpenKeyW(root, Widen(path).c_str(), &key) != ERROR_SUCCESS)
        return false;
    undo_.push_back(Undo{root, path, name, false});
    // Text types take UTF-8 text, stored as UTF-16. A non-zero unit after
    // the data keeps the system from adding a zero.
    const bool text = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
    const std::string stored = text ? Utf8ToUtf16LeBytes(bytes) : bytes;
    const std::string copy = stored + std::string("\x01\x01\x01", 3);
    const LONG result = RegSetValueExW(key, Widen(name).c_str(), 0, type,
                                       reinterpret_cast<const BYTE*>(copy.data()),
                                       static_cast<DWORD>(stored.size()));
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
    HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    DeleteFileW(Widen(path).c_str());
    return path;
}
