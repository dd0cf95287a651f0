// What the edit dialog of a string value works with: the value read afresh
// and whole when the dialog opens, the choice between writing new data and
// only renaming, and the rename that keeps the value's type and data byte for
// byte. Like every change, a rename writes a backup of what it changes first
// and reads the registry back afterwards.
#pragma once

#include <cstdint>
#include <string>

#include "core/Platform.h"
#include "core/RegistryChange.h"
#include "core/RegistryItem.h"

// A value as the registry holds it now.
struct CurrentValue {
    bool read = false;         // it exists and was read whole
    std::uint32_t type = 0;
    std::string bytes;         // the data exactly as stored
    std::string text;          // string data as text (up to the first zero unit)
};

// Reads the row's value whole; read is false for a key row, a missing key or
// value, or a value that cannot be read whole.
CurrentValue ReadCurrentValue(Platform& platform, const RegistryItem& row);

enum class ValueEditKind {
    Nothing,     // neither the name nor the data changed
    RenameOnly,  // the name changed, the data as shown was left alone
    WriteData,   // the data was changed (with or without a new name)
};

// What an OK of the edit dialog asks for: the data counts as changed only
// when the typed text differs from the text shown when the dialog opened.
ValueEditKind ChooseValueEdit(const std::string& formerName, const std::string& newName,
                              const std::string& shownText, const std::string& typedText);

// Renames the row's value to newName, keeping its type and data exactly as
// they are in the registry now. A rename onto another existing value replaces
// it, so that value is backed up as well; when it exists but cannot be read
// whole the backup counts as failed and nothing changes. A rename that
// changes only the case keeps the value under the new spelling. When writing
// fails the former value is left (or put back) as it was. NothingToDo when
// the name is the same; WriteFailed when the value is gone or unreadable.
EditOutcome RenameValue(Platform& platform, const RegistryItem& row, const std::string& newName,
                        const ChangeBackup& backup);
