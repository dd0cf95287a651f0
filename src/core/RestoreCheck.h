// Checking a restore: after a REG file was merged into the registry, which of
// the entries it holds did not come back. The file is replayed in order (a
// later line wins over an earlier one, a key deletion takes everything the
// file put below it), then every key and value it leaves behind is compared
// with the registry as it is now. Platform-free.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/Platform.h"
#include "core/RegReader.h"

enum class RestoreShortfallKind {
    kKeyMissing,          // the file names the key; the registry has no such key
    kKeyStillPresent,     // the file deletes the key; it is still there
    kValueMissing,        // the file sets the value; the registry has no such value
    kValueDiffers,        // the value is there with another type or other data
    kValueStillPresent,   // the file deletes the value; it is still there
    kNotReadable,         // the key or value could not be read to compare it
};

// One entry of the file that is not in the registry as the file says.
struct RestoreShortfall {
    RestoreShortfallKind kind = RestoreShortfallKind::kKeyMissing;
    std::string fullKeyPath;   // the root's full name, a backslash and the key path
    RootKey root = kNoRootKey;
    std::string keyPath;       // below the root
    bool isValue = false;
    std::string valueName;     // "" for the default value
    std::size_t line = 0;      // the line of the file that asked for the entry
    // One line for the user: the full key path and, for a value, one blank and
    // its name in double quotes (the default value by defaultValueText).
    std::string text;
    // The entry lies in a volatile key (or, missing, below one): Windows
    // holds that key in memory only and writes its entries itself, so what a
    // merge put there does not stay. No loss of the restore.
    bool keptBySystem = false;
};

// Compares what the file leaves behind with the registry; the entries that
// did not come back, in the order of their lines in the file, each marked
// when it lies in a key Windows keeps itself (the key, or for a missing one
// the nearest key above it that exists, is volatile). Text values the
// registry editor stored with a terminating zero the file did not give count
// as restored. Entries the reader could not read are not checked here: they
// are among the reader's refused lines. With checkedCount, it receives the
// number of keys and values compared (root keys are always there and are
// not counted).
std::vector<RestoreShortfall> CheckRestoredEntries(RegistryAccess& registry, TextRules& textRules,
                                                   const RegFileContent& content,
                                                   const std::string& defaultValueText,
                                                   std::size_t* checkedCount = nullptr);
