// A copy of a registry subtree read with the system's own functions, to
// compare a tree before and after a test changed it (every key, name, type
// and data byte).
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

struct SnapshotValue {
    DWORD type = 0;
    std::string bytes;   // as stored: text types hold their UTF-16 LE units
    bool operator==(const SnapshotValue& other) const
    {
        return type == other.type && bytes == other.bytes;
    }
};

struct RegistrySnapshot {
    bool exists = false;
    // Key paths relative to the snapshot's top ("" for the top itself), and
    // value names, as the registry reports them (in UTF-8).
    std::map<std::string, std::map<std::string, SnapshotValue>> keys;
};

// Reads the key at path below root and everything below it.
RegistrySnapshot TakeRegistrySnapshot(HKEY root, const std::string& path);

// A readable description of the first difference, or empty when equal.
std::string DescribeSnapshotDifference(const RegistrySnapshot& expected,
                                       const RegistrySnapshot& actual);

// Runs the system's registry editor to merge a REG file silently; true when
// it ran and ended with exit code 0.
bool MergeWithRegedit(const std::string& regFile);
