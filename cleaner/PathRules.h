// Path rules of the cleaner: whether a registry text names a testable file on a
// local fixed disk, whether that file is gone, and the small text helpers these
// rules (and the search and backup listing) share.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class Platform;

// Decides whether text is a plain drive-qualified path on a fixed drive that
// can be tested at all. path is emptied first; on success it holds the path
// (trimmed, its case kept). Keeps no state; safe on worker threads.
bool ExtractFilePath(Platform& platform, const std::string& text, std::string& path);

// True when the path names nothing that exists: neither a file that can be
// opened nor anything the file attributes can be read from (so an existing
// folder counts as present). An empty path is never reported missing.
bool IsMissingFile(Platform& platform, const std::string& path);

// True when the path is not empty and names a file that can be opened.
bool FileExists(Platform& platform, const std::string& path);

// Byte-wise, case-sensitive match anchored at both ends: "*" matches any run
// of bytes including none, "?" exactly one byte, every other byte itself.
bool WildcardMatch(const std::string& pattern, const std::string& text);

// Number of non-overlapping occurrences of needle in text, found from left to
// right at character boundaries. Without caseSensitive both are lower-cased by
// the system's rules first. An empty needle counts 0.
std::size_t CountSubstring(Platform& platform, const std::string& text,
                           const std::string& needle, bool caseSensitive);

// The upper-case letters of the fixed drives, in the platform's drive order
// (such as "CD"); empty when the drives cannot be listed. Asked afresh each time.
std::string GetFixedDriveLetters(Platform& platform);

// The strings of a buffer of zero-ended strings closed by an empty string (as
// GetLogicalDriveStringsA fills it). Reading stops at the first empty string or
// at the end of the buffer, whichever comes first.
std::vector<std::string> SplitMultiString(const std::string& buffer);

// The non-empty pieces of text between delimiters, in order; every byte of
// delimiters is one delimiter. Works on bytes: meant for delimiters below 0x40
// (such as ',', '(' and ')'), which are never the second byte of a double-byte
// character.
std::vector<std::string> SplitString(const std::string& text, const std::string& delimiters);
