// Deleting the registry entry behind a list row, and telling whether it is
// still there afterwards. Platform-free.
#pragma once

#include "core/RegistryItem.h"
#include "core/Platform.h"

#include <string>

// The full key path of a row: column 1, a backslash and column 2.
std::string FullKeyPathOf(const RegistryItem& item);

// Deletes the row's key with its subtree, or its value; true on success. A
// value row with an empty key path is a value of the root key itself.
// `result` (when given) receives the system's code of the step that failed.
bool DeleteRegistryEntry(RegistryAccess& registry, TextRules& textRules, const RegistryItem& item,
                         long* result = nullptr);

// True while the row's key (for a key row) or value still exists.
bool RegistryEntryExists(RegistryAccess& registry, TextRules& textRules, const RegistryItem& item);
