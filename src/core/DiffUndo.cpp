// The undo of chosen differences through the change operation (see
// RegistryDiff.h).
#include "core/RegistryDiff.h"

#include "core/RegFileReplay.h"
#include "core/RegistryEntry.h"
#include "core/RegistryPaths.h"

namespace {

// The root of an entry by its name, which is what the lists hand back.
RootKey RootOf(Platform& platform, const DiffEntry& entry)
{
    return ParseRootKey(platform, entry.rootName);
}

RegistryItem ItemOf(const DiffEntry& entry)
{
    RegistryItem item;
    item.rootName = entry.rootName;
    item.keyPath = entry.keyPath;
    item.valueName = entry.valueName;
    item.type = entry.isValue ? static_cast<std::int32_t>(entry.kind == DiffKind::Added ? entry.currentType
                                                                                         : entry.backupType)
                              : kKeyRowType;
    return item;
}

long WriteValue(Platform& platform, KeyHandle key, const std::string& name, std::uint32_t type,
                const std::string& data)
{
    return platform.SetValue(key, name, type, reinterpret_cast<const std::uint8_t*>(data.data()),
                             static_cast<std::uint32_t>(data.size()));
}

// Creates the key (and the keys above it) and writes the values into it.
void WriteKey(Platform& platform, RootKey root, const DiffKeyData& key)
{
    ScopedKey created(platform);
    if (created.Create(RootHandle(root), key.keyPath) != kResultOk)
        return;
    for (const DiffValueData& value : key.values)
        WriteValue(platform, created.Get(), value.name, value.type, value.data);
}

void Undo(Platform& platform, const DiffEntry& entry)
{
    const RootKey root = RootOf(platform, entry);
    if (entry.kind == DiffKind::Added) {
        // A value of a root key is deleted through the bare root name.
        const std::string fullKeyPath = entry.keyPath.empty() ? entry.rootName : entry.rootName + "\\" + entry.keyPath;
        if (entry.isValue)
            DeleteRegistryValue(platform, platform, fullKeyPath, entry.valueName);
        else
            DeleteRegistryKey(platform, platform, fullKeyPath);
        return;
    }
    if (entry.isValue) {
        ScopedKey key(platform);
        if (key.Create(RootHandle(root), entry.keyPath) == kResultOk)
            WriteValue(platform, key.Get(), entry.valueName, entry.backupType, entry.backupData);
        return;
    }
    for (const DiffKeyData& key : entry.backupKeys)
        WriteKey(platform, root, key);
}

// The value holds what the backup gives.
bool ValueIsAsInBackup(Platform& platform, KeyHandle key, const std::string& name, std::uint32_t type,
                       const std::string& data)
{
    WholeValue now;
    return ReadWholeValue(platform, key, name, &now) == WholeValueRead::Read &&
           SameAsFileData(type, data, now.type, now.bytes);
}

bool IsAsInBackup(Platform& platform, const DiffEntry& entry)
{
    const RootKey root = RootOf(platform, entry);
    ScopedKey key(platform);
    const long opened = key.Open(RootHandle(root), entry.keyPath);
    if (entry.kind == DiffKind::Added) {
        if (!entry.isValue)
            return opened == kResultFileNotFound;
        if (opened == kResultFileNotFound)
            return true;
        WholeValue now;
        return opened == kResultOk &&
               ReadWholeValue(platform, key.Get(), entry.valueName, &now) == WholeValueRead::Missing;
    }
    if (opened != kResultOk)
        return false;
    if (entry.isValue)
        return ValueIsAsInBackup(platform, key.Get(), entry.valueName, entry.backupType, entry.backupData);
    for (const DiffKeyData& data : entry.backupKeys) {
        ScopedKey below(platform);
        if (below.Open(RootHandle(root), data.keyPath) != kResultOk)
            return false;
        for (const DiffValueData& value : data.values) {
            if (!ValueIsAsInBackup(platform, below.Get(), value.name, value.type, value.data))
                return false;
        }
    }
    return true;
}

} // namespace

UndoOutcome UndoDifferences(Platform& platform, const std::vector<DiffEntry>& chosen, const ChangeBackup& backup,
                            ChangeProgress progress, void* context)
{
    UndoOutcome outcome;
    if (chosen.empty())
        return outcome;
    std::vector<RegistryItem> items;
    items.reserve(chosen.size());
    for (const DiffEntry& entry : chosen)
        items.push_back(ItemOf(entry));
    outcome.refusedKeys = ProtectedEntries(platform, items);
    if (!outcome.refusedKeys.empty()) {
        outcome.status = ChangeStatus::Refused;
        return outcome;
    }

    // Everything the undo will overwrite or delete, as it is now: a value
    // row for each value, a key row (with everything below it) for each key.
    // What does not exist now is not written and needs no backup.
    std::vector<RegExportRow> rows;
    rows.reserve(chosen.size());
    for (const RegistryItem& item : items)
        rows.push_back(RegExportRow{item.rootName, item.keyPath, item.valueName, item.type});
    const ChangeBackupFile file = WriteChangeBackup(platform, backup, rows, progress, context);
    if (!file.complete) {
        outcome.status = ChangeStatus::BackupFailed;
        return outcome;
    }
    if (file.entriesWritten == 0)
        platform.RemoveFile(file.path);   // an empty file would list as a backup
    else
        outcome.backupPath = file.path;

    for (std::size_t i = 0; i < chosen.size(); ++i) {
        if (progress)
            progress(ChangePhase::Change, i, context);
        Undo(platform, chosen[i]);
    }
    // Read back only after every change: one entry may lie below another.
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        if (IsAsInBackup(platform, chosen[i]))
            outcome.verified.push_back(i);
        else
            outcome.notVerified.push_back(i);
    }
    outcome.status = outcome.notVerified.empty() ? ChangeStatus::Done : ChangeStatus::Incomplete;
    return outcome;
}
