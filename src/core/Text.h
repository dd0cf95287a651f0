// Text helpers of the whole program, on UTF-8 text (see core/Unicode.h). No
// byte of a character beyond ASCII is below 0x80, so a search for an ASCII
// character (a backslash, a quote, a comma) is a byte search and never lands
// inside another character. Besides them, the wildcard matcher and the list
// splitters.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/Platform.h"
#include "core/Unicode.h"

// First occurrence of an ASCII character at or after from, or npos.
std::size_t FindChar(const std::string& text, char c, std::size_t from = 0);

// Last occurrence of a single-byte character, or npos.
std::size_t FindLastChar(const std::string& text, char c);

// First occurrence of needle that starts on a character boundary at or after
// from, or npos. An empty needle is found at from.
std::size_t FindText(const std::string& text, const std::string& needle, std::size_t from = 0);

// Removes every leading and every trailing character that is one of the
// ASCII characters in set.
void TrimChars(std::string& text, const char* set);

// True when the text holds a carriage return or a line feed.
bool HasLineBreak(const std::string& text);

// The upper-case letter of a drive root written "X:" or "X:\", or '\0' for
// any other text.
char DriveRootLetter(const std::string& rootPath);

// Case-sensitive match anchored at both ends: "*" matches any run of
// characters including none, "?" exactly one character, every other
// character itself.
bool WildcardMatch(const std::string& pattern, const std::string& text);

// Number of non-overlapping occurrences of needle in text, found from left to
// right. Without caseSensitive both are lower-cased by the system's rules
// first. An empty needle counts 0.
std::size_t CountSubstring(TextRules& textRules, const std::string& text,
                           const std::string& needle, bool caseSensitive);

// The strings of a buffer of zero-ended strings closed by an empty string (as
// the drive list of LogicalDriveStrings). Reading stops at the first empty string or
// at the end of the buffer, whichever comes first.
std::vector<std::string> SplitMultiString(const std::string& buffer);

// The non-empty pieces of text between delimiters, in order; every byte of
// delimiters is one delimiter. Works on bytes: meant for ASCII delimiters
// (such as ',', '(' and ')'), which are never part of another character.
std::vector<std::string> SplitString(const std::string& text, const std::string& delimiters);
