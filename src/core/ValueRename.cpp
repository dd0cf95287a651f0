// The edit dialog's reading and renaming of a value (see ValueRename.h).
#include "core/ValueRename.h"

#include "core/RegistryPaths.h"
#include "core/Unicode.h"

#include <utility>
#include <vector>

namespace {

// A value read whole into type and bytes.
WholeValueRead ReadWhole(RegistryAccess& registry, KeyHandle key, const std::string& name, std::uint32_t* type,
                         std::string* bytes)
{
    WholeValue value;
    const WholeValueRead read = ReadWholeValue(registry, key, name, &value);
    *type = value.type;
    *bytes = std::move(value.bytes);
    return read;
}

long WriteWhole(RegistryAccess& registry, KeyHandle key, const std::string& name, std::uint32_t type,
                const std::string& bytes)
{
    return registry.SetValue(key, name, type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                             static_cast<std::uint32_t>(bytes.size()));
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
    if (ReadWhole(platform, key.Get(), row.valueName, &value.type, &value.bytes) != WholeValueRead::Read)
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
    if (ReadWhole(platform, key.Get(), row.valueName, &type, &bytes) != WholeValueRead::Read)
        return outcome; // gone or unreadable: nothing to rename

    const bool caseOnly = SameNameIgnoringCase(platform, newName, row.valueName);
    std::vector<RegExportRow> rows{RegExportRow{row.rootName, row.keyPath, row.valueName, static_cast<int>(type)}};
    if (!caseOnly) {
        // A value of the new name is replaced: it must be in the backup, so
        // one that exists but cannot be read whole stops the rename.
        std::uint32_t replacedType = 0;
        std::string replaced;
        const WholeValueRead target = ReadWhole(platform, key.Get(), newName, &replacedType, &replaced);
        if (target == WholeValueRead::Unreadable) {
            outcome.status = ChangeStatus::BackupFailed;
            return outcome;
        }
        if (target == WholeValueRead::Read)
            rows.push_back(RegExportRow{row.rootName, row.keyPath, newName, static_cast<int>(replacedType)});
    }
    outcome.backupPath = WriteChangeBackup(platform, backup, rows);
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
    const bool written = ReadWhole(platform, key.Get(), newName, &nowType, &now) == WholeValueRead::Read &&
                         nowType == type && now == bytes;
    std::uint32_t leftType = 0;
    std::string left;
    const bool formerGone =
        caseOnly || ReadWhole(platform, key.Get(), row.valueName, &leftType, &left) == WholeValueRead::Missing;
    outcome.status = written && formerGone ? ChangeStatus::Done : ChangeStatus::Incomplete;
    return outcome;
}
