// Every change the program makes to the registry on the user's behalf:
// deleting the entries behind list rows, and editing or renaming a string
// value. Each change writes a backup file of exactly what it will change
// first, changes nothing when that backup is not complete, makes the change,
// reads the registry back and reports which entries did not change. The
// windows only ask the user and show the outcome.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/Platform.h"
#include "core/RegWriter.h"
#include "core/RegistryItem.h"

// Where the automatic backup of a change goes.
struct ChangeBackup {
    std::string folder;     // the backup folder; created when missing
    std::string typeText;   // the kind put between the brackets of the file name
};

enum class ChangeStatus {
    NothingToDo,    // no entries were given
    Done,           // changed, and the registry read back as expected
    Refused,        // protected keys among the entries: nothing was touched
    BackupFailed,   // the backup could not be written whole: nothing was touched
    Incomplete,     // changed, but reading back found entries that did not change
    WriteFailed,    // (edit) the value could not be written; the old one is as it was
};

// The two steps a progress window can follow: writing the backup of entry
// `index`, then changing it.
enum class ChangePhase { Backup, Change };
using ChangeProgress = void (*)(ChangePhase phase, std::size_t index, void* context);

// The backup file a change writes first.
struct ChangeBackupFile {
    bool complete = false;   // every entry is in the file
    std::string path;        // the file, when it is complete
    std::uint32_t entriesWritten = 0;
};

// The first step of every change: writes the rows (a key row with everything
// below it, a value row as that value; entries that do not exist are not
// written) into a new backup file in the backup folder. An incomplete file is
// removed again. Progress is told as ChangePhase::Backup, row by row.
ChangeBackupFile WriteChangeBackup(Platform& platform, const ChangeBackup& backup,
                                   const std::vector<RegExportRow>& rows, ChangeProgress progress, void* context);

struct DeleteOutcome {
    ChangeStatus status = ChangeStatus::NothingToDo;
    std::string backupPath;                 // the backup written, when there is one
    std::vector<std::string> refusedKeys;   // full paths of the protected keys asked for
    std::vector<std::size_t> gone;          // indices of the entries now gone
    std::vector<std::size_t> remaining;     // indices of the entries still there
    // For each of `remaining`, in the same order: the system's code of its
    // failed deletion (kResultOk when the deletion reported success).
    std::vector<long> remainingResults;
};

// The full paths of the rows among entries that must never be deleted: a key
// directly beneath a root key, a key path with an empty component, every view
// of the keys that hold all class registrations (IsProtectedKey), and any row,
// key or value, whose root is no root key. A value is never protected by
// where it sits: one held by a root key itself is backed up and deleted like
// any other.
std::vector<std::string> ProtectedEntries(Platform& platform,
                                          const std::vector<RegistryItem>& entries);

// Deletes the entries (a key row with everything below it, a value row as that
// value). Refuses the whole selection when any entry is protected; otherwise
// writes all entries into a new backup file in the backup folder first, and
// deletes nothing when that file is incomplete (it is then removed). After the
// deletions every entry is looked up again: an entry gone, also through a
// parent key deleted before it, counts as gone.
DeleteOutcome DeleteEntries(Platform& platform, const std::vector<RegistryItem>& entries,
                            const ChangeBackup& backup, ChangeProgress progress, void* context);

struct EditOutcome {
    ChangeStatus status = ChangeStatus::NothingToDo;
    std::string backupPath;
    // WriteFailed: the system's code of the step that failed, kResultOk when
    // there was none (the value is gone or no string value).
    long result = kResultOk;
};

// Writes newData as the string value newName of the row's key, and when the
// name changed removes the value of the former name (a rename). A rename onto
// another existing value replaces it, so that value is backed up as well. A
// rename that changes only the case of the name keeps the value and its data
// under the new spelling. When writing fails, the former value is left (or put
// back) as it was. The value's former data and the replaced value are written
// to a backup file first; nothing is changed when it is incomplete.
EditOutcome EditStringValue(Platform& platform, const RegistryItem& row, const std::string& newName,
                            const std::string& newData, const ChangeBackup& backup);
