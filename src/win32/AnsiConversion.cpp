// UTF-16 to the system's ANSI code page (see AnsiConversion.h).
#include "win32/AnsiConversion.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace {

// WideCharToMultiByte into the ANSI code page without best-fit characters;
// *exact becomes false when a character had no exact form. UTF-8 as the ANSI
// code page takes neither the flag nor the default-character report, and
// refuses what it cannot encode (a lone surrogate) instead.
int ToExactAnsi(const wchar_t* text, int length, char* buffer, int bufferSize, bool* exact)
{
    *exact = true;
    if (GetACP() == CP_UTF8) {
        const int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, length, buffer,
                                             bufferSize, nullptr, nullptr);
        if (size <= 0 && GetLastError() == ERROR_NO_UNICODE_TRANSLATION)
            *exact = false;
        return size;
    }
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, length, buffer,
                                         bufferSize, nullptr, &usedDefault);
    if (usedDefault)
        *exact = false;
    return size;
}

}  // namespace

bool Utf16ToSystemAnsi(const char16_t* text, std::size_t length, std::string* ansi, void*)
{
    ansi->clear();
    if (length == 0)
        return true;
    if (length > static_cast<std::size_t>(INT_MAX / 2))
        return false;
    const auto* wide = reinterpret_cast<const wchar_t*>(text);
    const int wideLength = static_cast<int>(length);
    bool exact = true;
    const int size = ToExactAnsi(wide, wideLength, nullptr, 0, &exact);
    if (size <= 0 || !exact)
        return false;
    ansi->resize(static_cast<std::size_t>(size));
    const int written = ToExactAnsi(wide, wideLength, &(*ansi)[0], size, &exact);
    if (written != size || !exact) {
        ansi->clear();
        return false;
    }
    return true;
}

AnsiNameResult WideNameToSystemAnsi(const wchar_t* name, std::size_t length, char* buffer,
                                    std::uint32_t bufferSize, std::uint32_t* ansiLength)
{
    if (length > static_cast<std::size_t>(INT_MAX / 2))
        return AnsiNameResult::kTooLong;
    if (length == 0) {
        if (bufferSize == 0)
            return AnsiNameResult::kTooLong;
        buffer[0] = '\0';
        *ansiLength = 0;
        return AnsiNameResult::kConverted;
    }
    // One call does the work when the name fits; only a name that does not
    // is measured, to tell a long name from one the code page cannot spell.
    const int room = static_cast<int>(std::min<std::uint32_t>(bufferSize > 0 ? bufferSize - 1 : 0,
                                                              INT_MAX));
    const int wideLength = static_cast<int>(length);
    bool exact = true;
    const int written = room > 0 ? ToExactAnsi(name, wideLength, buffer, room, &exact) : 0;
    if (written > 0) {
        if (!exact)
            return AnsiNameResult::kNotSpellable;
        buffer[written] = '\0';
        *ansiLength = static_cast<std::uint32_t>(written);
        return AnsiNameResult::kConverted;
    }
    const int needed = ToExactAnsi(name, wideLength, nullptr, 0, &exact);
    if (needed <= 0 || !exact)
        return AnsiNameResult::kNotSpellable;
    return AnsiNameResult::kTooLong;
}
