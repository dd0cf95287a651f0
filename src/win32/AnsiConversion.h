// Conversion of UTF-16 text to the system's ANSI code page: for the REG file
// reader, and for the names the registry hands out, refusing every text that
// the code page cannot spell exactly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The Utf16ToAnsi form of the REG file reader (core/RegReader.h); context is
// not used. False when a character would need a best-fit or default
// character, so the entry is reported instead of being changed.
bool Utf16ToSystemAnsi(const char16_t* text, std::size_t length, std::string* ansi, void* context);

// How a name came through WideNameToSystemAnsi.
enum class AnsiNameResult {
    kConverted,      // the buffer holds the name and its NUL
    kTooLong,        // the code page spells it, but it does not fit with its NUL
    kNotSpellable,   // some character needs a best-fit or default character
};

// Converts a UTF-16 name of `length` units straight into a buffer of
// `bufferSize` bytes, ending it with a NUL; *ansiLength receives its length
// without the NUL when it was converted. The buffer's content is undefined
// otherwise.
AnsiNameResult WideNameToSystemAnsi(const wchar_t* name, std::size_t length, char* buffer,
                                    std::uint32_t bufferSize, std::uint32_t* ansiLength);
