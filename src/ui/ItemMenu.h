// The context menu of a registry item list: edit, delete, export, the three
// selection commands, the jump to the key in the registry editor and, in the
// cleaner's list, the ignore command.
#pragma once

#include <windows.h>

class RegistryItemList;

enum ItemMenuCommand {
    kItemMenuEdit = 1,
    kItemMenuDelete = 2,
    kItemMenuExport = 3,
    kItemMenuInvertSelection = 4,
    kItemMenuSelectNone = 5,
    kItemMenuSelectAll = 6,
    kItemMenuJump = 7,
    kItemMenuIgnore = 8,   // only in lists that offer it
};

// Whether a command is offered for `selected` selected rows of `rows` rows.
bool ItemMenuCommandEnabled(int command, int selected, int rows);

// Shows the menu at the mouse cursor, at a screen point, or (for Shift+F10
// and the menu key) beside the focused selected row, and carries out the
// chosen command.
void ShowItemMenu(RegistryItemList& list);
void ShowItemMenuAt(RegistryItemList& list, POINT where);
void ShowItemMenuForKeyboard(RegistryItemList& list);

// Opens the edit dialog on a row (view-only for anything but a string
// value); the row shows the new name and data once they were written.
void EditRow(RegistryItemList& list, int row);

// Carries out one command on the list's selection.
void RunItemMenuCommand(RegistryItemList& list, int command);
