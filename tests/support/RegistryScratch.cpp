// Scratch registry keys and folders for the Windows tests.
#include "RegistryScratch.h"

#include <shlwapi.h>

#include <atomic>
#include <cstdio>

namespace {

const char kScratchParent[] = "Software\\QuorvaneTests";

bool RemoveFolderTree(const std::string& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(Widen(folder + "*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = NarrowZ(data.cFileName);
            if (name == "." || name == "..")
                continue;
            std::string path = folder + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveFolderTree(path + "\\");
            } else {
                SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(Widen(path).c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    return RemoveDirectoryW(Widen(folder).c_str()) != FALSE;
}

}  // namespace

std::string UniqueScratchName()
{
    static std::atomic<unsigned> counter(0);
    char name[64];
    std::snprintf(name, sizeof name, "Qv%lu_%llu_%u", GetCurrentProcessId(),
                  static_cast<unsigned long long>(GetTickCount64()), counter++);
    return name;
}

ScratchRegistryKey::ScratchRegistryKey()
    : keyPath_(std::string(kScratchParent) + "\\" + UniqueScratchName())
{
    HKEY key = nullptr;
    created_ = RegCreateKeyW(HKEY_CURRENT_USER, Widen(keyPath_).c_str(), &key) == ERROR_SUCCESS;
    if (created_)
        RegCloseKey(key);
}

ScratchRegistryKey::~ScratchRegistryKey()
{
    if (created_)
        SHDeleteKeyW(HKEY_CURRENT_USER, Widen(keyPath_).c_str());
}

std::string ScratchRegistryKey::FullPath() const
{
    return "HKEY_CURRENT_USER\\" + keyPath_;
}

namespace {

// Creates (or opens) a key below the scratch key. The sub path is taken
// relative to the scratch key rather than to the root, so that deep test
// trees stay within the system's limit on a path handed over at once.
HKEY CreateBelow(const std::string& scratchPath, const std::string& subPath)
{
    HKEY scratch = nullptr;
    if (RegOpenKeyW(HKEY_CURRENT_USER, Widen(scratchPath).c_str(), &scratch) != ERROR_SUCCESS)
        return nullptr;
    if (subPath.empty())
        return scratch;
    HKEY key = nullptr;
    if (RegCreateKeyW(scratch, Widen(subPath).c_str(), &key) != ERROR_SUCCESS)
        key = nullptr;
    RegCloseKey(scratch);
    return key;
}

}  // namespace

bool ScratchRegistryKey::CreateSubKey(const std::string& subPath) const
{
    HKEY key = CreateBelow(keyPath_, subPath);
    if (!key)
        return false;
    RegCloseKey(key);
    return true;
}

bool ScratchRegistryKey::SetValue(const std::string& subPath, const std::string& name, DWORD type,
                                  const std::string& bytes) const
{
    // String data is given as text and stored as the system stores text,
    // UTF-16, with exactly the units the text makes (its zeros included).
    const bool text = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
    return SetRawValue(subPath, name, type, text ? Utf8ToUtf16LeBytes(bytes) : bytes);
}

bool ScratchRegistryKey::SetRawValue(const std::string& subPath, const std::string& name, DWORD type,
                                     const std::string& bytes) const
{
    HKEY key = CreateBelow(keyPath_, subPath);
    if (!key)
        return false;
    // The data is handed over from a copy followed by a non-zero unit: the
    // system stores a string's terminating zero when the unit after the
    // given size is zero, which would change data without one.
    std::string copy = bytes + std::string("\x01\x01\x01", 3);
    LONG result = RegSetValueExW(key, Widen(name).c_str(), 0, type,
                                 reinterpret_cast<const BYTE*>(copy.data()),
                                 static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool ScratchRegistryKey::SetString(const std::string& subPath, const std::string& name,
                                   const std::string& text) const
{
    return SetValue(subPath, name, REG_SZ, text + std::string(1, '\0'));
}

ScratchFolder::ScratchFolder(const std::string& base)
{
    path_ = base;
    if (!path_.empty() && path_.back() != '\\')
        path_ += '\\';
    path_ += "QuorvaneTests_" + UniqueScratchName() + "\\";
    created_ = CreateDirectoryW(Widen(path_).c_str(), nullptr) != FALSE;
}

ScratchFolder::~ScratchFolder()
{
    if (created_)
        RemoveFolderTree(path_);
}

std::string ScratchFolder::WriteTestFile(const std::string& name, const std::string& bytes) const
{
    std::string path = path_ + name;
    WriteWholeFile(path, bytes);
    return path;
}

std::string ScratchFolder::ReadTestFile(const std::string& name) const
{
    return ReadWholeFile(path_ + name);
}
