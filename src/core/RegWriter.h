// Writing registry entries to REG files in the registry editor's own format,
// "Windows Registry Editor Version 5.00" in UTF-16 LE with a byte-order mark,
// unit for unit as the registry editor merges them back: the backup written
// before a deletion is the only copy of what the deletion removes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Platform.h"

// What a write put into the file. An entry is a value, or a key written as a
// key line of its own because no value of it was written.
struct RegWriteCounts {
    std::uint32_t entriesWritten = 0;
    // Entries that exist in the registry but are not in the file: unreadable
    // keys and values, and names holding a line break, which are never
    // written (they would inject lines of their own into the file).
    std::uint32_t entriesLeftOut = 0;
    bool fileFailed = false;   // the file refused bytes

    RegWriteCounts& operator+=(const RegWriteCounts& other);
};

// Writes one value, with the header first when the file is still empty. A
// bare root name stands for the root key itself, whose values are written
// under its own key line ("[HKEY_CURRENT_USER]"). Writes nothing when the
// path does not split or the key or value no longer exists.
RegWriteCounts WriteRegValue(RegistryAccess& registry, TextRules& textRules,
                             const std::string& fullKeyPath, const std::string& valueName,
                             OutputFile& file);

// Writes every value of the key and, with includeSubkeys, of every key below
// it, depth first; a key that holds no written value gets a key line of its
// own so that it comes back on restore.
RegWriteCounts WriteRegKey(RegistryAccess& registry, TextRules& textRules,
                           const std::string& fullKeyPath, OutputFile& file, bool includeSubkeys);

// The first bytes of every file the writer writes: the byte-order mark and
// the header line with the blank line after it, in UTF-16 LE.
std::string RegFileStartBytes();

// A value's name as a value line starts with: "@" for the default value,
// else the name in double quotes with its backslashes and quotes escaped.
std::string RegValueNameText(const std::string& valueName);

// One value line without its line end, in the writer's own forms: a plain
// string quoted, a dword as "dword:", anything else as a hex list (spread
// over several lines joined by ",\").
std::string RegValueLineText(const std::string& valueName, std::uint32_t type, const std::string& data);

// One selected row of a registry item list, as an export reads it.
struct RegExportRow {
    std::string rootName;
    std::string keyPath;
    std::string valueName;
    int tagType = -1;   // the row's value type; -1 for a row that stands for a key
};

// Called before each row with its index, so that a progress window can be
// kept painted.
using RegExportProgress = void (*)(std::size_t rowIndex, void* context);

struct RegExportResult {
    bool created = false;    // the file could be created
    bool complete = false;   // created, every byte stored and nothing left out
    std::uint32_t entriesWritten = 0;
    std::uint32_t entriesLeftOut = 0;
};

// Creates (or truncates) the file and writes the rows into it in order: a key
// row with its whole subtree, a value row as that one value. No rows, or rows
// of which nothing exists any more, leave an empty file.
RegExportResult WriteRegFile(RegistryAccess& registry, FileSystem& files, TextRules& textRules,
                             const std::vector<RegExportRow>& rows, const std::string& filePath,
                             RegExportProgress progress, void* context);
