// The backup store: where backups lie, how their files are named, how the
// folder is listed and what each listed file shows in the backup list.
// Platform-free; the file system and the clock are reached through the
// interfaces of Platform.h.
#pragma once

#include <map>
#include <string>

#include "core/Platform.h"

// Below the program folder; ends in a backslash.
constexpr const char* kBackupFolderBelowProgram = "\\Data\\Quorvane\\Backup\\";
// The only pattern the backup listing uses, with the label "".
constexpr const char* kBackupFilePattern = "*.REG";

// The current local date as "%04d-%02d-%02d"; with withTime, followed by one
// blank and the local time as "%02d:%02d:%02d". The clock is read once.
std::string DateTimeStamp(Environment& environment, bool withTime);

// Makes name end with the extension (a leading "." is added to it when
// missing), comparing the end of name case-insensitively; when it differs the
// lower-cased extension is appended.
void EnsureExtension(TextRules& textRules, std::string& name, const std::string& extension);

// The backup file name for the current moment, such as
// "2008-03-03 14-05-09(Full).reg"; typeText is the language text of the
// backup's kind, put between the brackets unchanged.
std::string MakeBackupFileName(TextRules& textRules, Environment& environment,
                               const std::string& typeText);

// The full path of a new backup file of the given kind in folder (a backslash
// is put between them when folder lacks one). When a backup of the same second
// already exists, a counter is put before the bracket ("... 14-05-09 2(Full).reg",
// then 3, ...), so an earlier backup is never overwritten and the type text
// still lists as before. Empty only when every counter is taken. Used by the
// manual backups and by the automatic ones written before a deletion.
std::string MakeUniqueBackupPath(FileSystem& files, TextRules& textRules, Environment& environment,
                                 const std::string& folder, const std::string& typeText);

// The type a backup file name shows: its second non-empty piece when split at
// "(" and ")", or "" when it has fewer than two.
std::string BackupTypeOfFileName(const std::string& fileName);

// Sets each present output to all zero, then to the file's creation, last-access
// and last-write times in local time. 1 on success, 0 when the file's
// attributes cannot be read.
int GetFileTimes(FileSystem& files, const std::string& path, CalendarTime* creation,
                 CalendarTime* lastAccess, CalendarTime* lastWrite);

// Receives a listed file: its full path, the label of the pattern it matched,
// its find data and the context FindFiles was given.
using FileVisitor = void (*)(const std::string& path, const std::string& label,
                             const FoundFile& found, void* context);

// Lists the files (never folders, never below subfolders) directly in folder
// whose lower-cased names match one of the lower-cased patterns, tried in the
// map's key order; each file goes to the visitor once, with the label of the
// first pattern it matched. A missing or unreadable folder lists nothing.
void FindFiles(FileSystem& files, TextRules& textRules, const std::string& folder,
               const std::map<std::string, std::string>& patterns, FileVisitor visitor,
               void* context);

// The five texts of one row of the backup list, in column order.
struct BackupRow {
    std::string date;   // creation date, "0000-00-00" when unreadable
    std::string time;   // creation time, "00:00:00" when unreadable
    std::string size;   // the whole 64-bit size in decimal, "-1" when unreadable
    std::string type;   // BackupTypeOfFileName of the listed name
    std::string path;   // full path of the file
};

// Describes a listed backup file: the creation time is read afresh, the size
// is the listing's; both count as unreadable when the file's attributes are.
BackupRow MakeBackupRow(FileSystem& files, const std::string& path, const FoundFile& found);

// The order of two texts of the size column: texts that are no size (the
// "-1" of an unreadable file) first, then by the size they name, however
// large. Negative, zero or positive as first comes before, with or after
// second.
int CompareBackupSizeTexts(const std::string& first, const std::string& second);

// The row to select after the list was refilled, given the row selected
// before (-1 for none) and the new row count: the same position, moved up to
// the last row when the list got shorter; -1 selects nothing.
int SelectionAfterRefresh(int previousSelection, int newRowCount);
