// Path rules of the cleaner: whether a registry text names a testable file on a
// local fixed disk, and whether that file is gone.
#pragma once

#include <cstddef>
#include <string>

class CodePage;
class FileSystem;

// Decides whether text is a plain drive-qualified path on a fixed drive that
// can be tested at all. path is emptied first; on success it holds the path
// (trimmed, its case kept). Keeps no state; safe on worker threads.
bool ExtractFilePath(FileSystem& files, CodePage& codePage, const std::string& text,
                     std::string& path);

// True when the path names nothing that exists: neither a file that can be
// opened nor anything the file attributes can be read from (so an existing
// folder counts as present). A path whose last component is a decimal number
// after an existing file names a resource of that file (a type library such
// as "hnetcfg.dll\2") and counts as present. An empty path is never reported
// missing.
bool IsMissingFile(FileSystem& files, CodePage& codePage, const std::string& path);

// True when the path is not empty and names a file that can be opened.
bool FileExists(FileSystem& files, const std::string& path);

// The upper-case letters of the fixed drives, in the file system's drive order
// (such as "CD"); empty when the drives cannot be listed. Asked afresh each time.
std::string GetFixedDriveLetters(FileSystem& files, CodePage& codePage);
