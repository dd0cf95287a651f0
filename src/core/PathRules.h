// Path rules of the cleaner: whether a registry text names a testable file on a
// local fixed disk, and whether that file is gone.
#pragma once

#include <cstddef>
#include <string>

class TextRules;
class FileSystem;

// Decides whether text is a plain drive-qualified path on a fixed drive that
// can be tested at all. path is emptied first; on success it holds the path
// (trimmed, its case kept). Keeps no state; safe on worker threads.
bool ExtractFilePath(FileSystem& files, TextRules& textRules, const std::string& text,
                     std::string& path);

// ExtractFilePath in two halves, for callers that read the fixed drives once
// (a scan): ExtractDrivePath applies every rule but the drive's, leaving the
// drive-qualified path in path; IsOnDrive then tests its drive letter against
// letters such as GetFixedDriveLetters gives. Together they answer exactly
// as ExtractFilePath does with those letters.
bool ExtractDrivePath(TextRules& textRules, const std::string& text, std::string& path);
bool IsOnDrive(TextRules& textRules, const std::string& path, const std::string& driveLetters);

// Whether the text, after its leading blanks and double quotes, starts with
// one byte, a colon and a backslash; the first of ExtractFilePath's rules,
// which every other text fails. It reads the length bytes only, without
// copying them, for testing a value's name or data before making text of it.
bool StartsLikeDrivePath(const char* text, std::size_t length);

// True when the path names nothing that exists: neither a file that can be
// opened nor anything the file attributes can be read from (so an existing
// folder counts as present). A path whose last component is a decimal number
// after an existing file names a resource of that file (a type library such
// as "hnetcfg.dll\2") and counts as present. An empty path is never reported
// missing.
bool IsMissingFile(FileSystem& files, const std::string& path);

// True when the path is not empty and names a file that can be opened.
bool FileExists(FileSystem& files, const std::string& path);

// The upper-case letters of the fixed drives, in the file system's drive order
// (such as "CD"); empty when the drives cannot be listed. Asked afresh each time.
std::string GetFixedDriveLetters(FileSystem& files, TextRules& textRules);
