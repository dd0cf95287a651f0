// Conversion of UTF-16 text to the system's ANSI code page for the REG file
// reader, refusing every text that the code page cannot spell exactly.
#pragma once

#include <cstddef>
#include <string>

// The Utf16ToAnsi form of the REG file reader (core/RegReader.h); context is
// not used. False when a character would need a best-fit or default
// character, so the entry is reported instead of being changed.
bool Utf16ToSystemAnsi(const char16_t* text, std::size_t length, std::string* ansi, void* context);
