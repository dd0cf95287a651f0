// The save and open dialogs for .reg files: the item list's export and the
// backup page's back up to and restore from a chosen file; and the save
// dialog of the text files the backup page writes.
#pragma once

#include <windows.h>

#include <string>

// Asks where to save a .reg file; ".reg" is added to a name typed without an
// extension, and the dialog asks before an existing file is overwritten. The
// chosen path, or empty when the user cancelled.
std::string AskRegFileToSave(HWND owner);

// The file an export of result rows goes to, and its format.
struct ExportFileChoice {
    std::string path;   // empty when the user cancelled
    bool csv = false;   // a CSV report rather than a .reg file
};
// Asks where to export result rows: a .reg file or a CSV report, chosen by
// the file type (with all files, by the name's extension). The extension of
// the chosen type is added to a name typed without one.
ExportFileChoice AskExportFileToSave(HWND owner);
// Asks for an existing .reg file to open; the chosen path, or empty when the
// user cancelled.
std::string AskRegFileToOpen(HWND owner);
// Asks where to save a text file (".txt" added to a name typed without an
// extension; an existing file is overwritten only after asking). The chosen
// path, or empty when the user cancelled.
std::string AskTextFileToSave(HWND owner);
