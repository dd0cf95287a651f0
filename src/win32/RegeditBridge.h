// The bridge to the registry editor the program expects beside it, in
// Tools\Regedit.exe below the program folder: exporting to a REG file,
// merging a REG file, and opening the editor at a key handed over through the
// value "LastKey".
#pragma once

#include <windows.h>

#include <string>

#include "core/EditorRun.h"

// The key whose value "LastKey" names the key the editor opens at, below
// HKEY_CURRENT_USER.
constexpr const char* kRegeditAppletKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit\\";
// The editor below the program folder.
constexpr const char* kRegeditBelowProgram = "\\Tools\\Regedit.exe";

// The editor's parameters for an export: the whole registry when keyPath is
// empty, else that key (a full path) with its subtree. Paths go between
// double quotes as they are, save that backslashes at the end of one are
// doubled (and a quote in a key name escaped) so that the editor reads them
// back unchanged; the text ends with one blank. Texts are UTF-8 and reach the
// editor as wide text.
std::string RegeditExportParameters(const std::string& keyPath, const std::string& filePath);
// The editor's parameters for a merge: "/s" first when silent. Ends with one blank.
std::string RegeditImportParameters(const std::string& filePath, bool silent);
// The LastKey text for a key: root name, backslash, key path, with one
// trailing backslash removed.
std::string RegeditLastKeyText(const std::string& rootName, const std::string& keyPath);

// Starts the editor to export to filePath; with wait, returns once it has
// ended. The outcome tells whether it started and, when waited for, its exit
// code.
EditorOutcome RunRegeditExport(const std::string& keyPath, const std::string& filePath,
                               const std::string& editorPath, bool wait);
// Starts the editor to merge filePath; with wait, returns once it has ended.
EditorOutcome RunRegeditImport(const std::string& filePath, const std::string& editorPath, bool wait,
                               bool silent);

// Exports to filePath as RunRegeditExport does and waits; true only when the
// editor ended with success and the file it wrote this time reads as a whole
// REG file (ExportWroteBackup). Whatever calls a backup saved asks this.
bool RunRegeditBackup(const std::string& keyPath, const std::string& filePath, const std::string& editorPath);

// The file's presence, size and last-write time, to tell whether a run of
// the editor wrote it.
FileStamp ReadFileStamp(const std::string& path);
// Reads a whole file, such as a REG file the editor merged; false when it
// cannot be read or is too large to hold in memory.
bool ReadFileBytes(const std::string& path, std::string* bytes);

// Stores the key as LastKey and starts the program's registry editor without
// waiting. Nothing happens when the Applets key does not exist.
void OpenInRegedit(const std::string& rootName, const std::string& keyPath, HWND owner);
// The same with the editor given.
void OpenInRegeditWith(const std::string& rootName, const std::string& keyPath, HWND owner,
                       const std::string& editorPath);
