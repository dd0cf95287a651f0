// The program's language file on Windows (see LanguageWin.h).
#include "win32/LanguageWin.h"

#include "core/Language.h"
#include "win32/WideText.h"

#include <vector>

namespace {

// The one language file of the run, written once at start-up.
std::string& LanguageFilePath()
{
    static std::string path;
    return path;
}

// The text of key in the file's section, read through the wide profile
// reader: a file that starts with the UTF-16 byte-order mark may hold any
// letters, one without it is read in the system's ANSI code page. The buffer
// grows until the text fits, up to kMaxLanguageTextLength characters, where a
// longer text is cut. Empty when the file, the section or the key is missing.
std::wstring ReadProfileText(const std::wstring& file, const wchar_t* section, const std::wstring& key)
{
    constexpr DWORD kLargestBuffer = static_cast<DWORD>(kMaxLanguageTextLength) + 1;
    std::vector<wchar_t> buffer(1024);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD read = GetPrivateProfileStringW(section, key.c_str(), L"", buffer.data(), size, file.c_str());
        // A text that did not fit comes back cut to size - 1 units.
        if (read + 1 < size || size >= kLargestBuffer)
            return std::wstring(buffer.data(), read < size ? read : size - 1);
        buffer.assign(size * 2 < kLargestBuffer ? size * 2 : kLargestBuffer, L'\0');
    }
}

void TranslateOneWindow(HWND window)
{
    std::string text;
    const int length = GetWindowTextLengthW(window);
    if (length > 0) {
        const int capped = length > static_cast<int>(kMaxLanguageTextLength)
                               ? static_cast<int>(kMaxLanguageTextLength)
                               : length;
        std::vector<wchar_t> buffer(static_cast<std::size_t>(capped) + 1, L'\0');
        const int read = GetWindowTextW(window, buffer.data(), capped + 1);
        text = Narrow(buffer.data(), read > 0 ? static_cast<std::size_t>(read) : 0);
    }
    if (text.empty())
        return; // an empty text stays empty: no key to look up
    std::string translated = LookupText(text);
    ExpandEscapes(translated);
    if (!translated.empty())
        SetWindowTextW(window, Widen(translated).c_str());
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
    const std::wstring section = Widen(kLanguageSection);
    std::string text =
        Narrow(ReadProfileText(Widen(LanguageFilePath()), section.c_str(), Widen(key)));
    if (text.find_first_not_of(" \t") == std::string::npos)
        return key;
    if (expandEscapes)
        ExpandEscapes(text);
    return text;
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
        const int length = GetMenuStringW(menu, static_cast<UINT>(position), nullptr, 0, MF_BYPOSITION);
        if (length <= 0)
            continue;
        std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
        const int read = GetMenuStringW(menu, static_cast<UINT>(position), buffer.data(), length + 1,
                                        MF_BYPOSITION);
        if (read <= 0)
            continue;
        const std::string translated = LookupText(Narrow(buffer.data(), static_cast<std::size_t>(read)));
        if (translated.empty())
            continue;
        std::wstring wide = Widen(translated);
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING;
        info.dwTypeData = &wide[0];
        SetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
    }
}

int ShowMessage(HWND owner, const std::string& text, UINT flags)
{
    const std::string caption = LookupText("_Quorvane");
    return MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), flags);
}
