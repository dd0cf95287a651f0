// Exporting and deleting the selected rows (see DeleteItems.h).
#include "ui/DeleteItems.h"

#include "core/Language.h"
#include "core/RegistryChange.h"
#include "ui/ProgressWindow.h"
#include "ui/RegFileDialog.h"
#include "ui/RegistryItemList.h"
#include "win32/LanguageWin.h"
#include "win32/Win32Platform.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

void StepProgress(std::size_t rowIndex, void* context)
{
    static_cast<ProgressWindow*>(context)->Step(static_cast<int>(rowIndex));
}

// The progress of a deletion: one window while the backup is written, a
// second one while the entries are deleted.
struct DeleteProgress {
    HWND owner;
    int steps;
    std::unique_ptr<ProgressWindow> window;
    bool deleting;
};

void ShowDeleteProgress(ChangePhase phase, std::size_t index, void* context)
{
    auto& progress = *static_cast<DeleteProgress*>(context);
    const bool deleting = phase == ChangePhase::Change;
    if (!progress.window || deleting != progress.deleting) {
        progress.window.reset();
        const char* key = deleting ? "_RegistryListViewProgressState2" : "_RegistryListViewProgressState1";
        progress.window = std::make_unique<ProgressWindow>(progress.owner, LookupText(key), progress.steps);
        progress.deleting = deleting;
    }
    progress.window->Step(static_cast<int>(index));
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

void DeleteSelectedItems(RegistryItemList& list)
{
    const int selected = list.SelectedCount();
    if (selected == 0)
        return;
    HWND owner = GetAncestor(list.Window(), GA_ROOT);
    const std::string question = FormatTextWithNumber(LookupText("_PageRegistryCleanerDeleteConfirm"), selected);
    if (ShowMessage(owner, question, MB_YESNO | MB_ICONINFORMATION) == IDYES)
        DeleteItems(list);
}

void DeleteItems(RegistryItemList& list)
{
    const std::vector<int> rows = list.SelectedRows();
    std::vector<RegistryItem> entries;
    std::vector<int> entryRows;
    for (int row : rows) {
        RegistryItem item;
        if (!list.ReadRow(row, item))
            continue;
        entries.push_back(item);
        entryRows.push_back(row);
    }
    if (entries.empty())
        return;
    Platform& platform = SystemPlatform();
    HWND owner = GetAncestor(list.Window(), GA_ROOT);

    DeleteProgress progress{list.Window(), static_cast<int>(entries.size()), nullptr, false};
    const ChangeBackup backup{list.BackupFolder(), LookupText("_PageRegistryBackupType2")};
    const DeleteOutcome outcome = DeleteEntries(platform, entries, backup, ShowDeleteProgress, &progress);
    progress.window.reset();

    switch (outcome.status) {
    case ChangeStatus::Refused: {
        std::string keys;
        for (const std::string& key : outcome.refusedKeys)
            keys += "\r\n" + key;
        ShowMessage(owner, FormatTextWithString(LookupText("_RegistryListViewDeleteRefused"), keys),
                    MB_OK | MB_ICONINFORMATION);
        return;
    }
    case ChangeStatus::BackupFailed:
        ShowMessage(owner, LookupText("_PageRegistryCleanerBackupFailed"), MB_OK | MB_ICONINFORMATION);
        return;
    case ChangeStatus::Done:
    case ChangeStatus::Incomplete:
        break;
    default:
        return;
    }
    // Nothing pumped the list's messages while the entries were deleted, so
    // the rows are where they were read; removing from the last keeps the
    // positions of the others.
    for (std::size_t index : outcome.remaining)
        list.SetSelected(entryRows[index], false);
    std::vector<int> goneRows;
    for (std::size_t index : outcome.gone)
        goneRows.push_back(entryRows[index]);
    std::sort(goneRows.begin(), goneRows.end());
    for (auto row = goneRows.rbegin(); row != goneRows.rend(); ++row)
        list.RemoveRow(*row);
    if (outcome.status == ChangeStatus::Incomplete)
        ShowMessage(owner, LookupText("_PageRegistryCleanerDeleteIncomplete"), MB_OK | MB_ICONINFORMATION);
}
