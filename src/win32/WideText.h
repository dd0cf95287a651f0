// The meeting of the program's text (UTF-8 in std::string, see core/Unicode.h)
// and the system's (UTF-16 in wchar_t). Every system call takes and gives
// wide text; these two turn it into the program's and back, unit for unit.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/Unicode.h"

// UTF-8 to UTF-16 for a W function.
inline std::wstring Widen(std::string_view text)
{
    const std::u16string units = Utf8ToUtf16(text);
    return std::wstring(units.begin(), units.end());
}

// UTF-16 from a W function to UTF-8.
inline std::string Narrow(const wchar_t* text, std::size_t length)
{
    return Utf16ToUtf8(text, length);
}

inline std::string Narrow(std::wstring_view text)
{
    return Utf16ToUtf8(text.data(), text.size());
}

// A zero-ended wide text (null gives an empty text).
inline std::string NarrowZ(const wchar_t* text)
{
    return text ? Narrow(std::wstring_view(text)) : std::string();
}
