// Exporting and deleting the selected rows (see DeleteItems.h).
#include "ui/DeleteItems.h"

#include "core/AdminRights.h"
#include "core/CsvReport.h"
#include "core/IgnoreList.h"
#include "core/Language.h"
#include "core/RegistryChange.h"
#include "core/RegistryEntry.h"
#include "ui/ProgressWindow.h"
#include "ui/RegFileDialog.h"
#include "ui/RegistryItemList.h"
#include "win32/IgnoreListSettings.h"
#include "win32/LanguageWin.h"
#include "win32/SettingsDocument.h"
#include "win32/Win32Platform.h"
#include "win32/WideText.h"

#include <memory>
#include <vector>

namespace {

void StepProgress(std::size_t rowIndex, void* context)
{
    static_cast<ProgressWindow*>(context)->Step(static_cast<int>(rowIndex));
}

// The rows an export takes: the selected ones, or all without a selection.
std::vector<RegistryItem> ExportedRows(const RegistryItemList& list)
{
    std::vector<int> positions = list.SelectedRows();
    if (positions.empty()) {
        for (int row = 0; row < list.RowCount(); ++row)
            positions.push_back(row);
    }
    std::vector<RegistryItem> rows;
    for (int row : positions) {
        RegistryItem item;
        if (list.ReadRow(row, item))
            rows.push_back(item);
    }
    return rows;
}

bool EndsWithCsv(const std::string& path)
{
    return path.size() >= 4 && lstrcmpiW(Widen(path.substr(path.size() - 4)).c_str(), L".csv") == 0;
}

void WriteCsvExport(const RegistryItemList& list, const std::vector<RegistryItem>& rows, const std::string& path)
{
    std::vector<std::string> headers;
    for (int column = 1; column < 5; ++column)
        headers.push_back(LookupText(kCsvReportColumnKeys[column]));
    Platform& platform = SystemPlatform();
    if (WriteCsvReport(platform, path, headers, rows) != CsvReportStatus::Written)
        ShowMessage(GetAncestor(list.Window(), GA_ROOT),
                    FormatTextWithString(LookupText("_RegistryListViewCsvFailed"), path), MB_OK | MB_ICONINFORMATION);
}

// Tells the user when the REG file is not there or not whole; a file that
// is not whole is removed, so that no partial export is taken for a good one.
void ReportRegExport(const RegistryItemList& list, FileSystem& files, const RegExportResult& result,
                     const std::string& path)
{
    const char* key = nullptr;
    if (!result.created) {
        key = "_RegistryListViewRegNotCreated";
    } else if (!result.complete) {
        files.RemoveFile(path);
        key = result.entriesLeftOut > 0 ? "_RegistryListViewRegEntriesLeftOut" : "_RegistryListViewRegWriteFailed";
    }
    if (key)
        ShowMessage(GetAncestor(list.Window(), GA_ROOT), LookupText(key), MB_OK | MB_ICONINFORMATION);
}

// The entries a deletion left, one a line with the reason: at most
// kListedEntries of them, then the number of the others.
constexpr std::size_t kListedEntries = 20;

std::string RemainingEntriesText(const std::vector<RegistryItem>& entries, const DeleteOutcome& outcome)
{
    const std::string needsRights = LookupText("_RegistryListViewNeedsAdministrator");
    const std::string remains = LookupText("_RegistryListViewRemains");
    std::string text;
    for (std::size_t i = 0; i < outcome.remaining.size(); ++i) {
        if (i == kListedEntries) {
            text += "\r\n... (+" + std::to_string(outcome.remaining.size() - i) + ")";
            break;
        }
        const RegistryItem& item = entries[outcome.remaining[i]];
        std::string name = FullKeyPathOf(item);
        if (item.type != kKeyRowType)
            name += "\\" + item.valueName;
        const bool rights = i < outcome.remainingResults.size() &&
                            FailureOfResult(outcome.remainingResults[i]) == ChangeFailure::NeedsAdministratorRights;
        text += "\r\n" + name + ": " + (rights ? needsRights : remains);
    }
    return text;
}

} // namespace

void OfferRestartForRights(const RegistryItemList& list, const std::vector<long>& failedResults)
{
    if (!ShouldOfferRestartAsAdministrator(SystemPlatform().RunsElevated(), failedResults))
        return;
    if (HWND page = GetParent(list.Window()))
        SendMessageW(page, kOfferRestartMessage, 0, 0);
}

RegExportResult ExportItems(RegistryItemList& list, const std::string& fileName)
{
    if (list.RowCount() == 0)
        return RegExportResult{};
    ExportFileChoice choice{fileName, EndsWithCsv(fileName)};
    if (fileName.empty())
        choice = AskExportFileToSave(GetActiveWindow());
    if (choice.path.empty())
        return RegExportResult{};
    const std::vector<RegistryItem> items = ExportedRows(list);
    if (choice.csv) {
        WriteCsvExport(list, items, choice.path);
        return RegExportResult{};
    }
    std::vector<RegExportRow> rows;
    for (const RegistryItem& item : items)
        rows.push_back(RegExportRow{item.rootName, item.keyPath, item.valueName, item.type});
    Platform& platform = SystemPlatform();
    RegExportResult result;
    {
        ProgressWindow progress(list.Window(), LookupText("_RegistryListViewProgressState1"),
                                static_cast<int>(rows.size()));
        result = WriteRegFile(platform, platform, platform, rows, choice.path, StepProgress, &progress);
    }
    ReportRegExport(list, platform, result, choice.path);
    return result;
}

void IgnoreSelectedItems(RegistryItemList& list)
{
    std::vector<IgnoreEntry> entries;
    for (int row : list.SelectedRows()) {
        RegistryItem item;
        if (list.ReadRow(row, item))
            entries.push_back(IgnoreEntryOfRow(item));
    }
    if (entries.empty())
        return;
    Platform& platform = SystemPlatform();
    if (AddToIgnoreList(platform, SettingsFilePath(), entries) != IgnoreListSave::Saved) {
        ShowMessage(GetAncestor(list.Window(), GA_ROOT), LookupText("_RegistryListViewIgnoreFailed"),
                    MB_OK | MB_ICONINFORMATION);
        return;
    }
    const PreparedIgnoreList prepared = PrepareIgnoreList(platform, entries);
    std::vector<int> covered;
    for (int row = 0; row < list.RowCount(); ++row) {
        RegistryItem item;
        if (list.ReadRow(row, item) && IsIgnored(platform, prepared, item))
            covered.push_back(row);
    }
    list.RemoveRows(covered);
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

    ChangeStepsProgress progress;
    progress.owner = list.Window();
    progress.steps = static_cast<int>(entries.size());
    progress.backupKey = "_RegistryListViewProgressState1";
    progress.changeKey = "_RegistryListViewProgressState2";
    const ChangeBackup backup{list.BackupFolder(), LookupText("_PageRegistryBackupType2")};
    const DeleteOutcome outcome = DeleteEntries(platform, entries, backup, ShowChangeStep, &progress);
    progress.window.reset();

    if (!ChangeWentAhead(owner, outcome.status, outcome.refusedKeys, "_RegistryListViewDeleteRefused",
                         "_PageRegistryCleanerBackupFailed"))
        return;
    // Nothing pumped the list's messages while the entries were deleted, so
    // the rows are where they were read.
    for (std::size_t index : outcome.remaining)
        list.SetSelected(entryRows[index], false);
    std::vector<int> goneRows;
    for (std::size_t index : outcome.gone)
        goneRows.push_back(entryRows[index]);
    list.RemoveRows(goneRows);
    if (outcome.status != ChangeStatus::Incomplete)
        return;
    // The page offers the restart before the message, so that it stands
    // beside the list when the user has read why.
    OfferRestartForRights(list, outcome.remainingResults);
    ShowMessage(owner,
                FormatTextWithString(LookupText("_RegistryListViewDeleteRemaining"),
                                     RemainingEntriesText(entries, outcome)),
                MB_OK | MB_ICONINFORMATION);
}
