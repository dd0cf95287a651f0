// Text helpers of the whole program. Multibyte-aware searching and trimming of
// ANSI byte text: a double-byte character is always stepped over whole, so its
// trail byte is never taken for a backslash or any other single-byte character.
// Besides them, the byte-wise wildcard matcher and the list splitters.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/Platform.h"

// Index of the character after the one starting at index.
std::size_t NextCharIndex(CodePage& codePage, const std::string& text, std::size_t index);

// First occurrence of a single-byte character at or after from, or npos.
std::size_t FindChar(CodePage& codePage, const std::string& text, char c, std::size_t from = 0);

// Last occurrence of a single-byte character, or npos.
std::size_t FindLastChar(CodePage& codePage, const std::string& text, char c);

// First occurrence of needle that starts on a character boundary at or after
// from, or npos. An empty needle is found at from.
std::size_t FindText(CodePage& codePage, const std::string& text, const std::string& needle,
                     std::size_t from = 0);

// Removes every leading and every trailing character that is one of the
// single-byte characters in set.
void TrimChars(CodePage& codePage, std::string& text, const char* set);

// True when the text holds a carriage return or a line feed.
bool HasLineBreak(const std::string& text);

// The upper-case letter of a drive root written "X:" or "X:\", or '\0' for
// any other text.
char DriveRootLetter(const std::string& rootPath);

// Byte-wise, case-sensitive match anchored at both ends: "*" matches any run
// of bytes including none, "?" exactly one byte, every other byte itself.
bool WildcardMatch(const std::string& pattern, const std::string& text);

// Number of non-overlapping occurrences of needle in text, found from left to
// right at character boundaries. Without caseSensitive both are lower-cased by
// the system's rules first. An empty needle counts 0.
std::size_t CountSubstring(CodePage& codePage, const std::string& text,
                           const std::string& needle, bool caseSensitive);

// The strings of a buffer of zero-ended strings closed by an empty string (as
// GetLogicalDriveStringsA fills it). Reading stops at the first empty string or
// at the end of the buffer, whichever comes first.
std::vector<std::string> SplitMultiString(const std::string& buffer);

// The non-empty pieces of text between delimiters, in order; every byte of
// delimiters is one delimiter. Works on bytes: meant for delimiters below 0x40
// (such as ',', '(' and ')'), which are never the second byte of a double-byte
// character.
std::vector<std::string> SplitString(const std::string& text, const std::string& delimiters);
