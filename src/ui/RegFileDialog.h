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
// Asks for an existing .reg file to open; the chosen path, or empty when the
// user cancelled.
std::string AskRegFileToOpen(HWND owner);
// Asks where to save a text file (".txt" added to a name typed without an
// extension; an existing file is overwritten only after asking). The chosen
// path, or empty when the user cancelled.
std::string AskTextFileToSave(HWND owner);
