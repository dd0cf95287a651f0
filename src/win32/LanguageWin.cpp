// The program's language file on Windows (see LanguageWin.h).
#include "win32/LanguageWin.h"

#include "core/Language.h"
#include "win32/Win32Platform.h"

#include <vector>

namespace {

// The one language file of the run, written once at start-up.
std::string& LanguageFilePath()
{
    static std::string path;
    return path;
}

void TranslateOneWindow(HWND window)
{
    std::string text;
    const int length = GetWindowTextLengthA(window);
    if (length > 0) {
        const int capped = length > static_cast<int>(kMaxLanguageTextLength)
                               ? static_cast<int>(kMaxLanguageTextLength)
                               : length;
        std::vector<char> buffer(static_cast<std::size_t>(capped) + 1, '\0');
        const int read = GetWindowTextA(window, buffer.data(), capped + 1);
        text.assign(buffer.data(), read > 0 ? static_cast<std::size_t>(read) : 0);
    }
    if (text.empty())
        return; // an empty text stays empty: no key to look up
    std::string translated = LookupText(text);
    ExpandEscapes(translated);
    if (!translated.empty())
        SetWindowTextA(window, translated.c_str());
}

BOOL CALLBACK TranslateChild(HWND child, LPARAM)
{
    TranslateOneWindow(child);
    return TRUE;
}

} // namespace

void SetLanguageFile(const std::string& path)
{
    LanguageFilePath() = path;
}

const std::string& LanguageFile()
{
    return LanguageFilePath();
}

std::string LookupText(const std::string& key, bool expandEscapes)
{
    return LookupText(SystemPlatform(), LanguageFilePath(), key, expandEscapes);
}

void TranslateWindow(HWND window)
{
    if (!IsWindow(window))
        return;
    TranslateOneWindow(window);
    EnumChildWindows(window, TranslateChild, 0);
}

void TranslateMenu(HMENU menu)
{
    if (!IsMenu(menu))
        return;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        if (HMENU submenu = GetSubMenu(menu, position))
            TranslateMenu(submenu);
        const int length = GetMenuStringA(menu, position, nullptr, 0, MF_BYPOSITION);
        if (length <= 0)
            continue;
        std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
        GetMenuStringA(menu, position, buffer.data(), length + 1, MF_BYPOSITION);
        std::string translated = LookupText(buffer.data());
        if (translated.empty())
            continue;
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING;
        info.dwTypeData = &translated[0];
        SetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
    }
}

int ShowMessage(HWND owner, const std::string& text, UINT flags)
{
    const std::string caption = LookupText("_Quorvane");
    return MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}
