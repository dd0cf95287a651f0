// Exporting and deleting the selected rows (see DeleteItems.h).
#include "ui/DeleteItems.h"

#include "core/BackupStore.h"
#include "ui/ProgressWindow.h"
#include "ui/RegFileDialog.h"
#include "core/RegistryEntry.h"
#include "ui/RegistryItemList.h"
#include "win32/LanguageWin.h"
#include "win32/Win32Platform.h"

#include <vector>

namespace {

void StepProgress(std::size_t rowIndex, void* context)
{
    static_cast<ProgressWindow*>(context)->Step(static_cast<int>(rowIndex));
}

std::vector<RegExportRow> SelectedExportRows(const RegistryItemList& list)
{
    std::vector<RegExportRow> rows;
    for (int row : list.SelectedRows()) {
        RegistryItem item;
        if (!list.ReadRow(row, item))
            continue;
        rows.push_back(RegExportRow{item.rootName, item.keyPath, item.valueName, item.type});
    }
    return rows;
}

} // namespace

RegExportResult ExportItems(RegistryItemList& list, const std::string& fileName)
{
    const int selected = list.SelectedCount();
    if (selected == 0)
        return RegExportResult{};
    const std::string path = fileName.empty() ? AskRegFileToSave(GetActiveWindow()) : fileName;
    if (path.empty())
        return RegExportResult{};
    const std::vector<RegExportRow> rows = SelectedExportRows(list);
    ProgressWindow progress(list.Window(), LookupText("_RegistryListViewProgressState1"),
                            static_cast<int>(rows.size()));
    Platform& platform = SystemPlatform();
    return WriteRegFile(platform, platform, platform, rows, path, StepProgress, &progress);
}

void DeleteItems(RegistryItemList& list)
{
    const int selected = list.SelectedCount();
    if (selected == 0)
        return;
    Platform& platform = SystemPlatform();
    HWND owner = GetAncestor(list.Window(), GA_ROOT);

    if (!list.BackupFolder().empty()) {
        std::string folder = list.BackupFolder();
        if (folder.back() != '\\')
            folder += '\\';
        platform.MakeDirectoryPath(folder);
        const std::string path =
            MakeUniqueBackupPath(platform, platform, platform, folder,
                                 LookupText("_PageRegistryBackupType2"));
        // An empty path would make the export ask for a file: count it as a failed backup.
        const RegExportResult backup = path.empty() ? RegExportResult{} : ExportItems(list, path);
        if (!backup.complete) {
            // The backup is the only way back: without a complete one nothing is deleted.
            if (backup.created)
                platform.RemoveFile(path);
            ShowMessage(owner, LookupText("_PageRegistryCleanerBackupFailed"), MB_OK | MB_ICONINFORMATION);
            return;
        }
    }

    int kept = 0;
    {
        ProgressWindow progress(list.Window(), LookupText("_RegistryListViewProgressState2"), selected);
        for (int i = 0; i < selected; ++i) {
            progress.Step(i);
            // Handled rows are removed or unselected, so the next one is the
            // first selected row.
            const int row = list.NextSelected(-1);
            if (row < 0)
                continue;
            RegistryItem item;
            list.ReadRow(row, item);
            DeleteRegistryEntry(platform, platform, item);
            if (RegistryEntryExists(platform, platform, item)) {
                list.SetSelected(row, false);
                ++kept;
            } else {
                list.RemoveRow(row);
            }
        }
    }
    if (kept > 0)
        ShowMessage(owner, LookupText("_PageRegistryCleanerDeleteIncomplete"), MB_OK | MB_ICONINFORMATION);
}
