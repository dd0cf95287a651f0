// UTF-16 to the system's ANSI code page (see AnsiConversion.h).
#include "win32/AnsiConversion.h"

#include <windows.h>

#include <climits>

bool Utf16ToSystemAnsi(const char16_t* text, std::size_t length, std::string* ansi, void*)
{
    ansi->clear();
    if (length == 0)
        return true;
    if (length > static_cast<std::size_t>(INT_MAX / 2))
        return false;
    const auto* wide = reinterpret_cast<const wchar_t*>(text);
    const int wideLength = static_cast<int>(length);
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, wideLength, nullptr, 0,
                                         nullptr, &usedDefault);
    if (size <= 0 || usedDefault)
        return false;
    ansi->resize(static_cast<std::size_t>(size));
    const int written = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, wideLength, &(*ansi)[0],
                                            size, nullptr, &usedDefault);
    if (written != size || usedDefault) {
        ansi->clear();
        return false;
    }
    return true;
}
