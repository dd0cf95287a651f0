// The save and open dialogs for .reg files (see RegFileDialog.h).
#include "ui/RegFileDialog.h"

#include "win32/LanguageWin.h"

#include <commdlg.h>

#include <utility>
#include <vector>

namespace {

// Large enough for any path the ANSI file dialogs return.
constexpr DWORD kPathBufferSize = 4096;

// A file dialog's filter: every description and pattern followed by a NUL,
// and one more NUL after the last pattern.
std::string FileDialogFilter(const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::string filter;
    for (const auto& entry : entries) {
        filter += entry.first;
        filter += '\0';
        filter += entry.second;
        filter += '\0';
    }
    filter += '\0';
    return filter;
}

// The .reg files and, for saving, all files; the descriptions are the
// language file's.
std::string RegFileFilter(bool withAllFiles)
{
    std::vector<std::pair<std::string, std::string>> entries = {{LookupText("_RegFileFilterName"), "*.reg"}};
    if (withAllFiles)
        entries.emplace_back(LookupText("_AllFilesFilterName"), "*.*");
    return FileDialogFilter(entries);
}

std::string AskFile(HWND owner, bool save, const std::string& filter, const char* extension,
                    DWORD* filterIndex = nullptr)
{
    std::vector<char> path(kPathBufferSize, '\0');
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = kPathBufferSize;
    if (save) {
        dialog.lpstrDefExt = extension;
        dialog.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
        if (!GetSaveFileNameA(&dialog))
            return std::string();
        if (filterIndex)
            *filterIndex = dialog.nFilterIndex;
    } else {
        // The dialog itself refuses a name that is not there: the editor
        // would merge nothing, yet the page would report it as restored.
        dialog.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
        if (!GetOpenFileNameA(&dialog))
            return std::string();
    }
    return path.data();
}

} // namespace

std::string AskRegFileToSave(HWND owner)
{
    return AskFile(owner, true, RegFileFilter(true), "reg");
}

ExportFileChoice AskExportFileToSave(HWND owner)
{
    const std::string filter = FileDialogFilter({{LookupText("_RegFileFilterName"), "*.reg"},
                                                 {LookupText("_CsvFileFilterName"), "*.csv"},
                                                 {LookupText("_AllFilesFilterName"), "*.*"}});
    DWORD filterIndex = 1;
    ExportFileChoice choice;
    choice.path = AskFile(owner, true, filter, "reg", &filterIndex);
    if (filterIndex == 2) {
        choice.csv = true;
    } else if (filterIndex == 3 && choice.path.size() >= 4) {
        const std::string extension = choice.path.substr(choice.path.size() - 4);
        choice.csv = lstrcmpiA(extension.c_str(), ".csv") == 0;
    }
    return choice;
}

std::string AskRegFileToOpen(HWND owner)
{
    return AskFile(owner, false, RegFileFilter(false), "reg");
}

std::string AskTextFileToSave(HWND owner)
{
    return AskFile(owner, true, FileDialogFilter({{LookupText("_TextFileFilterName"), "*.txt"}}), "txt");
}
