// Scratch places for the Windows tests: a registry key under
// HKEY_CURRENT_USER\Software\QuorvaneTests and a folder on a real drive, each
// made fresh with a unique name and removed with everything in it when the
// test ends.
#pragma once

#include <windows.h>

#include <string>

#include "GuiDriver.h"   // ReadWholeFile, WriteWholeFile

// A key path unique to this process and call, such as "Qv1234_7".
std::string UniqueScratchName();

class ScratchRegistryKey {
public:
    ScratchRegistryKey();
    ~ScratchRegistryKey();
    ScratchRegistryKey(const ScratchRegistryKey&) = delete;
    ScratchRegistryKey& operator=(const ScratchRegistryKey&) = delete;

    bool IsCreated() const { return created_; }
    // Below HKEY_CURRENT_USER, without leading or trailing backslash.
    const std::string& KeyPath() const { return keyPath_; }
    // "HKEY_CURRENT_USER\" and the key path.
    std::string FullPath() const;

    // Set-up through the system's own functions, below the scratch key
    // (subPath "" is the scratch key itself); false when the system refused.
    bool CreateSubKey(const std::string& subPath) const;
    // String types (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) take UTF-8 text,
    // stored as its UTF-16 units; other types take the bytes as stored.
    bool SetValue(const std::string& subPath, const std::string& name, DWORD type,
                  const std::string& bytes) const;
    // The bytes exactly as stored, whatever the type (UTF-16 LE for text).
    bool SetRawValue(const std::string& subPath, const std::string& name, DWORD type,
                     const std::string& bytes) const;
    bool SetString(const std::string& subPath, const std::string& name,
                   const std::string& text) const;

private:
    std::string keyPath_;
    bool created_ = false;
};

class ScratchFolder {
public:
    // A new folder inside base (for example "C:\\" or "Z:\\tmp\\").
    explicit ScratchFolder(const std::string& base);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool IsCreated() const { return created_; }
    // The folder's path with a trailing backslash.
    const std::string& Path() const { return path_; }
    // Writes a file below the folder and returns its full path.
    std::string WriteTestFile(const std::string& name, const std::string& bytes) const;
    std::string ReadTestFile(const std::string& name) const;

private:
    std::string path_;
    bool created_ = false;
};
