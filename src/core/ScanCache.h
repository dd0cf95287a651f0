// What one scan of the cleaner asks of the file system once and reuses in
// every task of that scan: the fixed drive letters and whether each tested
// path names a missing file. Several tasks meet the same paths (the current
// user's settings are walked both below HKEY_CURRENT_USER and below
// HKEY_USERS, and the same programs are named in many places), and a file
// test costs far more than the walk that finds the path.
//
// The caller creates one cache per scan (the tasks run one after the other
// for one press of the scan button or one command-line run) and hands it to
// each RunScanTask of that scan; the next scan starts with a new, empty
// cache, so that files removed or restored in between are seen. Within a
// scan a path's answer does not change. One scan runs on one thread; the
// cache is not for sharing between threads. Platform-free.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>

#include "core/Platform.h"

class ScanCache {
public:
    // The fixed drive letters as GetFixedDriveLetters gives them, read the
    // first time they are asked for.
    const std::string& FixedDriveLetters(FileSystem& files, TextRules& textRules);

    // IsMissingFile's answer for the path, asked of the file system the first
    // time the path (byte for byte) is tested.
    bool IsMissingFile(FileSystem& files, const std::string& path);

    // How many different paths have been tested.
    std::size_t TestedPathCount() const { return missing_.size(); }

private:
    bool drivesRead_ = false;
    std::string fixedDriveLetters_;
    std::unordered_map<std::string, bool> missing_;
};
