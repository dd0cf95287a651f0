// Multibyte-aware searching and trimming of ANSI byte text: a double-byte
// character is always stepped over whole, so its trail byte is never taken for
// a backslash or any other single-byte character.
#pragma once

#include <cstddef>
#include <string>

#include "registry/Platform.h"

// Index of the character after the one starting at index.
std::size_t NextCharIndex(Platform& platform, const std::string& text, std::size_t index);

// First occurrence of a single-byte character at or after from, or npos.
std::size_t FindChar(Platform& platform, const std::string& text, char c, std::size_t from = 0);

// Last occurrence of a single-byte character, or npos.
std::size_t FindLastChar(Platform& platform, const std::string& text, char c);

// First occurrence of needle that starts on a character boundary at or after
// from, or npos. An empty needle is found at from.
std::size_t FindText(Platform& platform, const std::string& text, const std::string& needle,
                     std::size_t from = 0);

// Removes every leading and every trailing character that is one of the
// single-byte characters in set.
void TrimChars(Platform& platform, std::string& text, const char* set);

// True when the text holds a carriage return or a line feed.
bool HasLineBreak(const std::string& text);

// The upper-case letter of a drive root written "X:" or "X:\", or '\0' for
// any other text.
char DriveRootLetter(const std::string& rootPath);
