// Keeping only the newest whole-registry backups: which files of the backup
// folder go when no more than N of them are to remain, and their removal.
// Only whole-registry backups are ever removed; the automatic backups written
// before a deletion stay, and so does every file whose name is not a backup
// name as the program makes them. Platform-free.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/Platform.h"

// What a backup file name tells: "2008-03-03 14-05-09(Full).reg" and, for
// further backups of the same second, "2008-03-03 14-05-09 2(Full).reg".
struct BackupName {
    CalendarTime time;      // from the name, not from the file
    int counter = 1;        // 1 for a name without a counter
    std::string typeText;   // between the brackets
};

// Reads a file name in exactly that form: a real date and time, a counter
// of 2 or more without leading zeros, a type text without brackets, and the
// extension ".reg" in any case. False for every other name.
bool ParseBackupFileName(const std::string& fileName, BackupName* name);

// The names among fileNames to remove so that the newest `keep` of the
// whole-registry backups remain (typeText equal to wholeTypeText, the text of
// that kind); keep 0 keeps them all. The order from newest to oldest:
// - the file keptName (the backup just written, if any, by its name or full
//   path; compared without regard to case), whatever its name says;
// - the backups whose name is dated no later than `now`, latest first by the
//   date, time and counter of the name;
// - last, the backups whose name is dated after `now`, latest first among
//   themselves. Such a name was made by a clock that was wrong, so it tells
//   nothing of the file's age: it never keeps a place for ever, and a real
//   newer backup is never removed because of it. Only when there are too few
//   correctly dated backups to fill the `keep` places do these stay.
// With keep 1 or more the newest real backup therefore always stays: the one
// just written, else the latest correctly dated one, else (when every name is
// dated ahead, the clock being behind now) the latest of the rest.
// The result is in the order of fileNames.
std::vector<std::string> BackupsToRemove(TextRules& textRules, const std::vector<std::string>& fileNames,
                                         const std::string& wholeTypeText, std::size_t keep,
                                         const CalendarTime& now, const std::string& keptName = std::string());

struct BackupRemoval {
    std::vector<std::string> removed;   // full paths of the files removed
    std::vector<std::string> failed;    // full paths of the files that could not be removed
};

// Lists the backup folder as the backup page does (every "*.reg" file directly
// in it) and removes what BackupsToRemove names, at the clock's present time.
BackupRemoval RemoveSurplusBackups(FileSystem& files, TextRules& textRules, Environment& clock,
                                   const std::string& folder,
                                   const std::string& wholeTypeText, std::size_t keep,
                                   const std::string& keptName = std::string());
