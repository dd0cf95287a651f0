// What changed since a backup: a REG file compared with the registry entry by
// entry, the undo of chosen differences through the change operation (backup
// first, read-back after), and the exports of the differences (a CSV report,
// and a REG file that turns them back). Platform-free.
//
// How far the comparison looks for entries that were added (DiffScope):
//
// - WholeRoots: the file is a whole-registry backup. Every root key it names
//   is held whole: any key or value below that root that the file does not
//   hold is "added".
// - SavedKeys: any other file, such as the automatic backups written before a
//   change. Only keys the file provably saved whole are searched for added
//   entries. The program writes a key row of a change's backup as the key with
//   all its values and subkeys, each value under its own key line, and a key
//   line of its own only for a key none of whose values it wrote; it writes a
//   value row as that one value under its key line. So a key line with no
//   value after it never comes from a value row: such a bare key line, and
//   every key the file holds below it, is held whole (the registry editor's
//   exports of a key with no values read the same way). A key that the file
//   names only with values under it is never taken as whole, since it cannot
//   be told from value rows: nothing is listed as added in it (its subkeys
//   that the file holds as bare key lines are whole all the same). This never
//   offers for deletion an entry that the file does not speak for.
//
// The file is replayed as the registry editor merges it (a later line wins
// over an earlier one, a key deletion takes everything the file put below
// it), as the restore check does. Entries the file deletes ("[-KEY]",
// "name"=-) and the registry still holds are "added": the file holds their
// absence. Names are compared as Windows compares them (without regard to
// case), data byte for byte, except that a text value the registry editor
// stored with a terminating zero the file did not give is the same.
// Differences in volatile keys (kept in memory by Windows and rewritten by it)
// are counted, never listed.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/CsvReport.h"
#include "core/Platform.h"
#include "core/RegReader.h"
#include "core/RegistryChange.h"

enum class DiffKind {
    Removed,   // in the backup, not in the registry
    Changed,   // in both, with another type or other data (values only)
    Added,     // in the registry, not in the backup, below a key the backup holds whole
};

enum class DiffScope {
    WholeRoots,   // a whole-registry backup: every root it names is held whole
    SavedKeys,    // any other file: only the keys it saved whole (see above)
};

// The scope of a file by its name in the backup folder: a whole-registry
// backup ("...(Full).reg", the type text given as wholeTypeText, compared as
// the backup list compares types) gives WholeRoots, anything else SavedKeys.
DiffScope DiffScopeOfFile(const std::string& fileName, const std::string& wholeTypeText);

// The scope of a file by its full path: WholeRoots only for a whole-registry
// backup that lies in the backup folder itself (folders compared as Windows
// compares names); a file named like one anywhere else may be anything, and
// gives SavedKeys.
DiffScope DiffScopeOfPath(TextRules& textRules, const std::string& filePath, const std::string& backupFolder,
                          const std::string& wholeTypeText);

// One value as the backup holds it.
struct DiffValueData {
    std::string name;          // "" for the default value
    std::uint32_t type = 0;
    std::string data;          // bytes as the registry stores them
};

// One key as the backup holds it, with its values.
struct DiffKeyData {
    std::string keyPath;       // below the root
    std::vector<DiffValueData> values;
};

// One difference. A whole key removed or added is one entry for the key, not
// one per value below it: the key is undone as a whole.
struct DiffEntry {
    DiffKind kind = DiffKind::Removed;
    RootKey root = kNoRootKey;
    std::string rootName;      // "HKEY_CURRENT_USER" and so on
    std::string keyPath;       // below the root ("" for a value of a root key)
    bool isValue = false;
    std::string valueName;     // "" for the default value (values only)
    // The value in the backup (Removed, Changed) and in the registry now
    // (Changed, Added): type and bytes as the registry stores them. Unused
    // for key entries.
    std::uint32_t backupType = 0;
    std::string backupData;
    std::uint32_t currentType = 0;
    std::string currentData;
    std::size_t line = 0;      // the line of the file that names the entry; 0 when it names none
    // A removed key: the key and every key the backup holds below it, each
    // with its values, parents before children. Empty otherwise.
    std::vector<DiffKeyData> backupKeys;
};

struct DiffOutcome {
    // In the order the comparison meets them, key by key: the differences
    // of a key's values, then the keys added below it, then its subkeys.
    std::vector<DiffEntry> entries;
    std::size_t volatileCount = 0;    // differences in volatile keys, not listed
    std::size_t unreadableCount = 0;  // keys or values that could not be read to compare them
    std::size_t comparedCount = 0;    // keys and values of the file compared (root keys not counted)
    bool stopped = false;             // the stop was asked: entries are what was found before it
};

// Receives the full path of the key being compared (now and then, not for
// every key), for a status line. Called on the comparing thread.
using DiffProgress = void (*)(const std::string& fullKeyPath, void* context);

// Compares what the file leaves behind with the registry. progress and stop
// may be null. On a stop the outcome holds what was found before it and is
// marked stopped.
DiffOutcome CompareWithRegistry(Platform& platform, const RegFileContent& content, DiffScope scope,
                                DiffProgress progress, void* context, const std::atomic<bool>* stop);

struct UndoOutcome {
    ChangeStatus status = ChangeStatus::NothingToDo;   // Done, Refused, BackupFailed, Incomplete
    std::string backupPath;                 // the automatic backup written first
    std::vector<std::string> refusedKeys;   // full paths of the protected entries asked for
    std::vector<std::size_t> verified;      // indices of the entries now as in the backup
    std::vector<std::size_t> notVerified;   // indices of the entries that are not
};

// Puts the registry back to the backup's state for the chosen entries only:
// removed and changed values are written back with the backup's type and
// data, removed keys are created again with everything the backup holds
// below them, added keys and values are deleted. Refuses the whole selection
// when any entry is protected (as a deletion refuses it); otherwise writes an
// automatic backup of everything it will change first and changes nothing
// when that backup is incomplete. After the changes every entry is read back.
UndoOutcome UndoDifferences(Platform& platform, const std::vector<DiffEntry>& chosen,
                            const ChangeBackup& backup, ChangeProgress progress, void* context);

// The language texts a difference row shows.
struct DiffTexts {
    std::string removed;   // the change column, per kind
    std::string changed;
    std::string added;
};

// Language keys of the seven column titles of the list and the report, and
// of the three change names.
constexpr const char* kDiffColumnKeys[7] = {
    "_PageRegistryDiffListCol1", "_PageRegistryDiffListCol2", "_PageRegistryDiffListCol3",
    "_PageRegistryDiffListCol4", "_PageRegistryDiffListCol5", "_PageRegistryDiffListCol6",
    "_PageRegistryDiffListCol7"};
// In the order of DiffKind: Removed, Changed, Added.
constexpr const char* kDiffKindKeys[3] = {"_PageRegistryDiffKind1", "_PageRegistryDiffKind2",
                                          "_PageRegistryDiffKind3"};

// The system's name of a value type ("REG_SZ", ...); "0x%x" for others.
std::string RegistryTypeName(std::uint32_t type);

// The seven texts of a row, in column order: change, root key, key, value
// name, type, data in the backup, data now (the data as the other lists
// show it, FormatValueData). Key rows leave the last four empty.
std::array<std::string, 7> DiffRowTexts(const DiffEntry& entry, const DiffTexts& texts);

// The differences as a CSV report (as the other pages write theirs), the
// change in the first column, under the seven header texts.
CsvReportStatus WriteDiffCsvReport(FileSystem& files, const std::string& path,
                                   const std::vector<std::string>& headerTexts,
                                   const std::vector<DiffEntry>& entries, const DiffTexts& texts);

// A REG file ("Windows Registry Editor Version 5.00", UTF-16 LE) that, merged,
// turns the entries back: removed and changed values written with the
// backup's data, removed keys with everything the backup holds below them,
// added values as "name"=- and added keys as [-KEY]. Entries whose names hold
// a line break are left out (they would inject lines). False when the file
// could not be created or written whole (it is then removed).
bool WriteDiffUndoRegFile(FileSystem& files, const std::string& path, const std::vector<DiffEntry>& entries);
