// The save and open dialogs for .reg files (see RegFileDialog.h).
#include "ui/RegFileDialog.h"

#include "win32/LanguageWin.h"
#include "win32/WideText.h"

#include <commdlg.h>

#include <utility>
#include <vector>

namespace {

// Room for the longest path the system can name (32,767 characters and the
// closing zero), so that no chosen path is cut.
constexpr DWORD kPathBufferSize = 32768;

// A file dialog's filter: every description and pattern followed by a zero,
// and one more zero after the last pattern.
std::wstring FileDialogFilter(const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::wstring filter;
    for (const auto& entry : entries) {
        filter += Widen(entry.first);
        filter += L'\0';
        filter += Widen(entry.second);
        filter += L'\0';
    }
    filter += L'\0';
    return filter;
}

// The .reg files and, for saving, all files; the descriptions are the
// language file's.
std::wstring RegFileFilter(bool withAllFiles)
{
    std::vector<std::pair<std::string, std::string>> entries = {{LookupText("_RegFileFilterName"), "*.reg"}};
    if (withAllFiles)
        entries.emplace_back(LookupText("_AllFilesFilterName"), "*.*");
    return FileDialogFilter(entries);
}

std::string AskFile(HWND owner, bool save, const std::wstring& filter, const wchar_t* extension,
                    DWORD* filterIndex = nullptr)
{
    std::vector<wchar_t> path(kPathBufferSize, L'\0');
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = kPathBufferSize;
    if (save) {
        dialog.lpstrDefExt = extension;
        dialog.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
        if (!GetSaveFileNameW(&dialog))
            return std::string();
        if (filterIndex)
            *filterIndex = dialog.nFilterIndex;
    } else {
        // The dialog itself refuses a name that is not there: the editor
        // would merge nothing, yet the page would report it as restored.
        dialog.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
        if (!GetOpenFileNameW(&dialog))
            return std::string();
    }
    path.back() = L'\0';
    return NarrowZ(path.data());
}

} // namespace

std::string AskRegFileToSave(HWND owner)
{
    return AskFile(owner, true, RegFileFilter(true), L"reg");
}

ExportFileChoice AskExportFileToSave(HWND owner)
{
    const std::wstring filter = FileDialogFilter({{LookupText("_RegFileFilterName"), "*.reg"},
                                                 {LookupText("_CsvFileFilterName"), "*.csv"},
                                                 {LookupText("_AllFilesFilterName"), "*.*"}});
    DWORD filterIndex = 1;
    ExportFileChoice choice;
    choice.path = AskFile(owner, true, filter, L"reg", &filterIndex);
    if (filterIndex == 2) {
        choice.csv = true;
    } else if (filterIndex == 3 && choice.path.size() >= 4) {
        const std::string extension = choice.path.substr(choice.path.size() - 4);
        choice.csv = lstrcmpiW(Widen(extension).c_str(), L".csv") == 0;
    }
    return choice;
}

std::string AskRegFileToOpen(HWND owner)
{
    return AskFile(owner, false, RegFileFilter(false), L"reg");
}

std::string AskTextFileToSave(HWND owner)
{
    return AskFile(owner, true, FileDialogFilter({{LookupText("_TextFileFilterName"), "*.txt"}}), L"txt");
}
