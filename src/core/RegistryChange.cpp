// Changes to the registry with a backup first and a read-back after (see
// RegistryChange.h).
#include "core/RegistryChange.h"
#include "core/Unicode.h"

#include "core/BackupStore.h"
#include "core/RegWriter.h"
#include "core/RegistryEntry.h"
#include "core/RegistryPaths.h"
#include "core/ScanContext.h"
#include "core/ValueRename.h"

namespace {

long WriteValueData(Platform& platform, KeyHandle key, const std::string& name, const WholeValue& value)
{
    return platform.SetValue(key, name, value.type, reinterpret_cast<const std::uint8_t*>(value.bytes.data()),
                             static_cast<std::uint32_t>(value.bytes.size()));
}

bool SameNameIgnoringCase(Platform& platform, std::string a, std::string b)
{
    platform.UpperText(a);
    platform.UpperText(b);
    return a == b;
}

struct ProgressForward {
    ChangeProgress progress;
    void* context;
};

void ForwardBackupProgress(std::size_t rowIndex, void* context)
{
    const auto* forward = static_cast<const ProgressForward*>(context);
    if (forward->progress)
        forward->progress(ChangePhase::Backup, rowIndex, forward->context);
}

RegExportRow ExportRowOf(const RegistryItem& item)
{
    return RegExportRow{item.rootName, item.keyPath, item.valueName, item.type};
}

} // namespace

ChangeBackupFile WriteChangeBackup(Platform& platform, const ChangeBackup& backup,
                                   const std::vector<RegExportRow>& rows, ChangeProgress progress, void* context)
{
    ChangeBackupFile file;
    std::string folder = backup.folder;
    if (folder.empty())
        return file;
    if (folder.back() != '\\')
        folder += '\\';
    platform.MakeDirectoryPath(folder);
    const std::string path = MakeUniqueBackupPath(platform, platform, platform, folder, backup.typeText);
    if (path.empty())
        return file;
    ProgressForward forward{progress, context};
    const RegExportResult written = WriteRegFile(platform, platform, platform, rows, path, ForwardBackupProgress, &forward);
    if (!written.complete) {
        if (written.created)
            platform.RemoveFile(path);
        return file;
    }
    file.complete = true;
    file.path = path;
    file.entriesWritten = written.entriesWritten;
    return file;
}

std::vector<std::string> ProtectedEntries(Platform& platform, const std::vector<RegistryItem>& entries)
{
    std::vector<std::string> refused;
    for (const RegistryItem& item : entries) {
        const RootKey root = ParseRootKey(platform, item.rootName);
        // A value can be backed up and deleted wherever it sits, also in a
        // root key itself; only a row of no root key names nothing to back up.
        const bool protectedRow = item.type == kKeyRowType
                                      ? root == kNoRootKey || IsProtectedKey(platform, root, item.keyPath)
                                      : root == kNoRootKey;
        if (protectedRow)
            refused.push_back(FullKeyPathOf(item));
    }
    return refused;
}

DeleteOutcome DeleteEntries(Platform& platform, const std::vector<RegistryItem>& entries,
                            const ChangeBackup& backup, ChangeProgress progress, void* context)
{
    DeleteOutcome outcome;
    if (entries.empty())
        return outcome;
    outcome.refusedKeys = ProtectedEntries(platform, entries);
    if (!outcome.refusedKeys.empty()) {
        outcome.status = ChangeStatus::Refused;
        return outcome;
    }

    std::vector<RegExportRow> rows;
    rows.reserve(entries.size());
    for (const RegistryItem& item : entries)
        rows.push_back(ExportRowOf(item));
    const ChangeBackupFile file = WriteChangeBackup(platform, backup, rows, progress, context);
    if (!file.complete) {
        outcome.status = ChangeStatus::BackupFailed;
        return outcome;
    }
    outcome.backupPath = file.path;

    std::vector<long> results(entries.size(), kResultOk);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (progress)
            progress(ChangePhase::Change, i, context);
        DeleteRegistryEntry(platform, platform, entries[i], &results[i]);
    }
    // Read back only after every deletion: a value below a key deleted later
    // in the selection is gone as well.
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (RegistryEntryExists(platform, platform, entries[i])) {
            outcome.remaining.push_back(i);
            outcome.remainingResults.push_back(results[i]);
        } else {
            outcome.gone.push_back(i);
        }
    }
    outcome.status = outcome.remaining.empty() ? ChangeStatus::Done : ChangeStatus::Incomplete;
    return outcome;
}

namespace {

// The edit and the rename of a value: newData is the new text, or null to
// keep the value's type and bytes as they are. unreadable is the status when
// the value itself exists but cannot be read whole.
EditOutcome ChangeValue(Platform& platform, const RegistryItem& row, const std::string& newName,
                        const std::string* newData, ChangeStatus unreadable, const ChangeBackup& backup)
{
    EditOutcome outcome;
    outcome.status = ChangeStatus::WriteFailed;
    const RootKey root = ParseRootKey(platform, row.rootName);
    if (root == kNoRootKey || row.type == kKeyRowType)
        return outcome;
    ScopedKey key(platform);
    outcome.result = key.Open(RootHandle(root), row.keyPath);
    if (outcome.result != kResultOk)
        return outcome;
    // Every value the edit changes must be read whole first, or its backup
    // would not hold it: one that exists but cannot be read counts as a
    // backup that failed.
    WholeValue former;
    const WholeValueRead formerRead = ReadWholeValue(platform, key.Get(), row.valueName, &former);
    if (formerRead == WholeValueRead::Missing)
        return outcome; // the value is gone: nothing to edit
    if (formerRead != WholeValueRead::Read) {
        outcome.status = unreadable;
        return outcome;
    }

    const bool renamed = newName != row.valueName;
    const bool caseOnly = renamed && SameNameIgnoringCase(platform, newName, row.valueName);
    WholeValue replaced;
    const WholeValueRead replacedRead = renamed && !caseOnly
                                            ? ReadWholeValue(platform, key.Get(), newName, &replaced)
                                            : WholeValueRead::Missing;
    if (replacedRead == WholeValueRead::Unreadable) {
        outcome.status = ChangeStatus::BackupFailed;
        return outcome;
    }
    const bool replacesAnother = replacedRead == WholeValueRead::Read;

    std::vector<RegExportRow> rows{ExportRowOf(row)};
    if (replacesAnother)
        rows.push_back(RegExportRow{row.rootName, row.keyPath, newName, static_cast<int>(replaced.type)});
    const ChangeBackupFile file = WriteChangeBackup(platform, backup, rows, nullptr, nullptr);
    if (!file.complete) {
        outcome.status = ChangeStatus::BackupFailed;
        return outcome;
    }
    outcome.backupPath = file.path;

    WholeValue edited = former;
    if (newData) {
        edited.type = kRegSz;
        edited.bytes = TextToStringData(*newData);
    }
    if (caseOnly) {
        // The registry matches names without regard to case: the value must be
        // removed before it can be written under the new spelling. Should the
        // write fail, the former value is put back from memory.
        outcome.result = platform.DeleteValue(key.Get(), row.valueName);
        if (outcome.result != kResultOk)
            return outcome;
        outcome.result = WriteValueData(platform, key.Get(), newName, edited);
        if (outcome.result != kResultOk) {
            WriteValueData(platform, key.Get(), row.valueName, former);
            return outcome;
        }
    } else {
        outcome.result = WriteValueData(platform, key.Get(), newName, edited);
        if (outcome.result != kResultOk)
            return outcome;
        if (renamed)
            platform.DeleteValue(key.Get(), row.valueName);
    }

    // Read back: the new value holds the new data, and a renamed value's
    // former name is gone.
    WholeValue now;
    const bool written = ReadWholeValue(platform, key.Get(), newName, &now) == WholeValueRead::Read &&
                         now.type == edited.type && now.bytes == edited.bytes;
    WholeValue left;
    const bool formerGone = !renamed || caseOnly ||
                            ReadWholeValue(platform, key.Get(), row.valueName, &left) == WholeValueRead::Missing;
    outcome.status = written && formerGone ? ChangeStatus::Done : ChangeStatus::Incomplete;
    return outcome;
}

} // namespace

EditOutcome EditStringValue(Platform& platform, const RegistryItem& row, const std::string& newName,
                            const std::string& newData, const ChangeBackup& backup)
{
    return ChangeValue(platform, row, newName, &newData, ChangeStatus::BackupFailed, backup);
}

EditOutcome RenameValue(Platform& platform, const RegistryItem& row, const std::string& newName,
                        const ChangeBackup& backup)
{
    if (newName == row.valueName)
        return EditOutcome{};
    return ChangeValue(platform, row, newName, nullptr, ChangeStatus::WriteFailed, backup);
}
