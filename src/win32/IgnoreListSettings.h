// The ignore list as config.xml keeps it: one element
// <entry root="HKEY_CURRENT_USER" key="Software\Vendor\App" value="Name"/>
// per entry below "/config/quorvane/ignorelist". An entry without a "value"
// attribute stands for the whole key; value="" for the key's default value.
// The file and the list element come with the installation and are never
// created here; only entry elements are added and removed.
#pragma once

#include <string>
#include <vector>

#include "core/IgnoreList.h"
#include "core/Platform.h"

constexpr const char* kIgnoreListElementPath = "/config/quorvane/ignorelist";

struct IgnoreListFile {
    // The file was read and holds the list element; only then can entries
    // be added or removed.
    bool available = false;
    // The entries in file order. Elements without a "root" or "key"
    // attribute are no entries; they stay in the file untouched.
    std::vector<IgnoreEntry> entries;
};

// Reads the list from the settings file at path (the program's is
// SettingsFilePath()).
IgnoreListFile ReadIgnoreList(const std::string& path);

enum class IgnoreListSave {
    Saved,        // the file holds what was asked (also when nothing had to change)
    NoList,       // the file is missing or broken, or holds no list element: nothing written
    SaveFailed,   // saving the file failed: the change is not stored
};

// Appends an entry element for each entry that the file does not hold yet
// (compared as SameIgnoreEntry does), and saves the file when any was added.
IgnoreListSave AddToIgnoreList(Platform& platform, const std::string& path,
                               const std::vector<IgnoreEntry>& entries);

// Removes every entry element equal to one of the entries, and saves the file
// when any was removed.
IgnoreListSave RemoveFromIgnoreList(Platform& platform, const std::string& path,
                                    const std::vector<IgnoreEntry>& entries);
