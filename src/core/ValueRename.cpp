// The edit dialog's reading and renaming of a value (see ValueRename.h).
#include "core/ValueRename.h"

#include "core/RegistryPaths.h"
#include "core/Unicode.h"

#include <utility>
#include <vector>

CurrentValue ReadCurrentValue(Platform& platform, const RegistryItem& row)
{
    CurrentValue value;
    const RootKey root = ParseRootKey(platform, row.rootName);
    if (root == kNoRootKey || row.type == kKeyRowType)
        return value;
    ScopedKey key(platform);
    if (key.Open(RootHandle(root), row.keyPath) != kResultOk)
        return value;
    WholeValue whole;
    if (ReadWholeValue(platform, key.Get(), row.valueName, &whole) != WholeValueRead::Read)
        return CurrentValue{};
    value.type = whole.type;
    value.bytes = std::move(whole.bytes);
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
