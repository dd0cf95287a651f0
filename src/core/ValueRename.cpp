// The edit dialog's reading and renaming of a value (see ValueRename.h).
#include "core/ValueRename.h"

#include "core/BackupStore.h"
#include "core/RegWriter.h"
#include "core/RegistryPaths.h"
#include "core/Unicode.h"

#include <new>
#include <utility>
#include <vector>

namespace {

// The largest value read whole; anything larger is no text a person edits.
constexpr std::uint32_t kLargestValueRead = 64u * 1024u * 1024u;

enum class ValueRead { Read, Missing, Unreadable };

ValueRead ReadWhole(RegistryAccess& registry, KeyHandle key, const std::string& name, std::uint32_t* type,
                    std::string* bytes)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::uint32_t size = 0;
        const long asked = registry.QueryValue(key, name, type, nullptr, &size);
        if (asked == kResultFileNotFound)
            return ValueRead::Missing;
        if (asked != kResultOk || size > kLargestValueRead)
            return ValueRead::Unreadable;
        if (size == 0) {
            bytes->clear();
            return ValueRead::Read;
        }
        std::uint8_t* buffer = new (std::nothrow) std::uint8_t[size];
        if (!buffer)
            return ValueRead::Unreadable;
        std::uint32_t read = size;
        const long result = registry.QueryValue(key, name, type, buffer, &read);
        if (result == kResultOk && read <= size)
            bytes->assign(reinterpret_cast<const char*>(buffer), read);
        delete[] buffer;
        if (result == kResultMoreData)
            continue; // the value grew between the two calls
        return result == kResultOk && read <= size ? ValueRead::Read : ValueRead::Unreadable;
    }
    return ValueRead::Unreadable;
}

long WriteWhole(RegistryAccess& registry, KeyHandle key, const std::string& name, std::uint32_t type,
                const std::string& bytes)
{
    return registry.SetValue(key, name, type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                             static_cast<std::uint32_t>(bytes.size()));
}

// Writes the rows into a new file in the backup folder; the path of a
// complete file, else empty (an incomplete file is removed again).
std::string WriteBackupFile(Platform& platform, const ChangeBackup& backup, const std::vector<RegExportRow>& rows)
{
    std::string folder = backup.folder;
    if (folder.empty())
        return std::string();
    if (folder.back() != '\\')
        folder += '\\';
    platform.MakeDirectoryPath(folder);
    const std::string path = MakeUniqueBackupPath(platform, platform, platform, folder, backup.typeText);
    if (path.empty())
        return std::string();
    const RegExportResult written = WriteRegFile(platform, platform, platform, rows, path, nullptr, nullptr);
    if (written.complete)
        return path;
    if (written.created)
        platform.RemoveFile(path);
    return std::string();
}

bool SameNameIgnoringCase(TextRules& textRules, std::string a, std::string b)
{
    textRules.UpperText(a);
    textRules.UpperText(b);
    return a == b;
}

} // namespace

CurrentValue ReadCurrentValue(Platform& platform, const RegistryItem& row)
{
    CurrentValue value;
    const RootKey root = ParseRootKey(platform, row.rootName);
    if (root == kNoRootKey || row.type == kKeyRowType)
        return value;
    ScopedKey key(platform);
    if (key.Open(RootHandle(root), row.keyPath) != kResultOk)
        return value;
    if (ReadWhole(platform, key.Get(), row.valueName, &value.type, &value.bytes) != ValueRead::Read)
        return CurrentValue{};
    value.read = true;
    value.text = StringDataText(value.bytes);
    return value;
}

ValueEditKind ChooseValueEdit(const std::string& formerName, const std::string& newName,
                              const std::string& shownText, const std::string& typedText)
{
    if (typedText != shownText)
        return ValueEditKind::WriteData;
    return newName == formerName ? ValueEditKind::Nothing : ValueEditKind::RenameOnly;
}

EditOutcome RenameValue(Platform& platform, const RegistryItem& row, const std::string& newName,
                        const ChangeBackup& backup)
{
    EditOutcome outcome;
    if (newName == row.valueName)
        return outcome;
    outcome.status = ChangeStatus::WriteFailed;
    const RootKey root = ParseRootKey(platform, row.rootName);
    if (root == kNoRootKey || row.type == kKeyRowType)
        return outcome;
    ScopedKey key(platform);
    if (key.Open(RootHandle(root), row.keyPath) != kResultOk)
        return outcome;
    std::uint32_t type = 0;
    std::string bytes;
    if (ReadWhole(platform, key.Get(), row.valueName, &type, &bytes) != ValueRead::Read)
        return outcome; // gone or unreadable: nothing to rename

    const bool caseOnly = SameNameIgnoringCase(platform, newName, row.valueName);
    std::vector<RegExportRow> rows{RegExportRow{row.rootName, row.keyPath, row.valueName, static_cast<int>(type)}};
    if (!caseOnly) {
        // A value of the new name is replaced: it must be in the backup, so
        // one that exists but cannot be read whole stops the rename.
        std::uint32_t replacedType = 0;
        std::string replaced;
        const ValueRead target = ReadWhole(platform, key.Get(), newName, &replacedType, &replaced);
        if (target == ValueRead::Unreadable) {
            outcome.status = ChangeStatus::BackupFailed;
            return outcome;
        }
        if (target == ValueRead::Read)
            rows.push_back(RegExportRow{row.rootName, row.keyPath, newName, static_cast<int>(replacedType)});
    }
    outcome.backupPath = WriteBackupFile(platform, backup, rows);
    if (outcome.backupPath.empty()) {
        outcome.status = ChangeStatus::BackupFailed;
        return outcome;
    }

    if (caseOnly) {
        // The registry matches names without regard to case: the value is
        // removed before it is written under the new spelling, and put back
        // from memory should that write fail.
        if (platform.DeleteValue(key.Get(), row.valueName) != kResultOk)
            return outcome;
        if (WriteWhole(platform, key.Get(), newName, type, bytes) != kResultOk) {
            WriteWhole(platform, key.Get(), row.valueName, type, bytes);
            return outcome;
        }
    } else {
        if (WriteWhole(platform, key.Get(), newName, type, bytes) != kResultOk)
            return outcome;
        platform.DeleteValue(key.Get(), row.valueName);
    }

    // Read back: the new name holds the same type and bytes, and the former
    // name is gone.
    std::uint32_t nowType = 0;
    std::string now;
    const bool written = ReadWhole(platform, key.Get(), newName, &nowType, &now) == ValueRead::Read &&
                         nowType == type && now == bytes;
    std::uint32_t leftType = 0;
    std::string left;
    const bool formerGone =
        caseOnly || ReadWhole(platform, key.Get(), row.valueName, &leftType, &left) == ValueRead::Missing;
    outcome.status = written && formerGone ? ChangeStatus::Done : ChangeStatus::Incomplete;
    return outcome;
}
