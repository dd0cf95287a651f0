// Changes to the registry with a backup first and a read-back after (see
// RegistryChange.h).
#include "core/RegistryChange.h"
#include "core/Unicode.h"

#include "core/BackupStore.h"
#include "core/RegWriter.h"
#include "core/RegistryEntry.h"
#include "core/RegistryPaths.h"
#include "core/ScanContext.h"

#include <new>

namespace {

// The largest value the edit reads back whole; anything larger is not a text
// a person typed into the edit dialog.
constexpr std::uint32_t kLargestValueRead = 64u * 1024u * 1024u;

struct ValueData {
    std::uint32_t type = 0;
    std::string bytes;
};

// Reads a value whole; false when it does not exist or cannot be read.
bool ReadValueData(Platform& platform, KeyHandle key, const std::string& name, ValueData* value)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        if (platform.QueryValue(key, name, &type, nullptr, &size) != kResultOk || size > kLargestValueRead)
            return false;
        std::string bytes;
        if (size > 0) {
            std::uint8_t* buffer = new (std::nothrow) std::uint8_t[size];
            if (!buffer)
                return false;
            std::uint32_t read = size;
            const long result = platform.QueryValue(key, name, &type, buffer, &read);
            if (result == kResultOk && read <= size)
                bytes.assign(reinterpret_cast<const char*>(buffer), read);
            delete[] buffer;
            if (result == kResultMoreData)
                continue; // the value grew between the two calls
            if (result != kResultOk || read > size)
                return false;
        }
        value->type = type;
        value->bytes = std::move(bytes);
        return true;
    }
    return false;
}

long WriteValueData(Platform& platform, KeyHandle key, const std::string& name, const ValueData& value)
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

struct BackupFile {
    bool complete = false;
    std::string path;
};

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

// Writes the rows into a new backup file; an incomplete file is removed again.
BackupFile WriteBackup(Platform& platform, const ChangeBackup& backup, const std::vector<RegExportRow>& rows,
                       ChangeProgress progress, void* context)
{
    BackupFile file;
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
    return file;
}

RegExportRow ExportRowOf(const RegistryItem& item)
{
    return RegExportRow{item.rootName, item.keyPath, item.valueName, item.type};
}

} // namespace

std::vector<std::string> ProtectedEntries(Platform& platform, const std::vector<RegistryItem>& entries)
{
    std::vector<std::string> refused;
    for (const RegistryItem& item : entries) {
        if (item.type != kKeyRowType)
            continue;
        if (ParseRootKey(platform, item.rootName) == kNoRootKey || IsProtectedKeyPath(platform, item.keyPath))
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
    const BackupFile file = WriteBackup(platform, backup, rows, progress, context);
    if (!file.complete) {
        outcome.status = ChangeStatus::BackupFailed;
        return outcome;
    }
    outcome.backupPath = file.path;

    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (progress)
            progress(ChangePhase::Change, i, context);
        DeleteRegistryEntry(platform, platform, entries[i]);
    }
    // Read back only after every deletion: a value below a key deleted later
    // in the selection is gone as well.
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (RegistryEntryExists(platform, platform, entries[i]))
            outcome.remaining.push_back(i);
        else
            outcome.gone.push_back(i);
    }
    outcome.status = outcome.remaining.empty() ? ChangeStatus::Done : ChangeStatus::Incomplete;
    return outcome;
}

EditOutcome EditStringValue(Platform& platform, const RegistryItem& row, const std::string& newName,
                            const std::string& newData, const ChangeBackup& backup)
{
    EditOutcome outcome;
    outcome.status = ChangeStatus::WriteFailed;
    const RootKey root = ParseRootKey(platform, row.rootName);
    if (root == kNoRootKey || row.type == kKeyRowType)
        return outcome;
    ScopedKey key(platform);
    if (key.Open(RootHandle(root), row.keyPath) != kResultOk)
        return outcome;
    ValueData former;
    if (!ReadValueData(platform, key.Get(), row.valueName, &former))
        return outcome; // the value is gone or unreadable: nothing to edit

    const bool renamed = newName != row.valueName;
    const bool caseOnly = renamed && SameNameIgnoringCase(platform, newName, row.valueName);
    ValueData replaced;
    const bool replacesAnother =
        renamed && !caseOnly && ReadValueData(platform, key.Get(), newName, &replaced);

    std::vector<RegExportRow> rows{ExportRowOf(row)};
    if (replacesAnother)
        rows.push_back(RegExportRow{row.rootName, row.keyPath, newName, static_cast<int>(replaced.type)});
    const BackupFile file = WriteBackup(platform, backup, rows, nullptr, nullptr);
    if (!file.complete) {
        outcome.status = ChangeStatus::BackupFailed;
        return outcome;
    }
    outcome.backupPath = file.path;

    const ValueData edited{kRegSz, TextToStringData(newData)};
    if (caseOnly) {
        // The registry matches names without regard to case: the value must be
        // removed before it can be written under the new spelling. Should the
        // write fail, the former value is put back from memory.
        if (platform.DeleteValue(key.Get(), row.valueName) != kResultOk)
            return outcome;
        if (WriteValueData(platform, key.Get(), newName, edited) != kResultOk) {
            WriteValueData(platform, key.Get(), row.valueName, former);
            return outcome;
        }
    } else {
        if (WriteValueData(platform, key.Get(), newName, edited) != kResultOk)
            return outcome;
        if (renamed)
            platform.DeleteValue(key.Get(), row.valueName);
    }

    // Read back: the new value holds the new data, and a renamed value's
    // former name is gone.
    ValueData now;
    const bool written = ReadValueData(platform, key.Get(), newName, &now) && now.type == edited.type &&
                         now.bytes == edited.bytes;
    ValueData left;
    const bool formerGone = !renamed || caseOnly || !ReadValueData(platform, key.Get(), row.valueName, &left);
    outcome.status = written && formerGone ? ChangeStatus::Done : ChangeStatus::Incomplete;
    return outcome;
}
