// The context menu of a registry item list: edit, delete, export, the three
// selection commands and the jump to the key in the registry editor.
#pragma once

class RegistryItemList;

enum ItemMenuCommand {
    kItemMenuEdit = 1,
    kItemMenuDelete = 2,
    kItemMenuExport = 3,
    kItemMenuInvertSelection = 4,
    kItemMenuSelectNone = 5,
    kItemMenuSelectAll = 6,
    kItemMenuJump = 7,
};

// Whether a command is offered for `selected` selected rows of `rows` rows.
bool ItemMenuCommandEnabled(int command, int selected, int rows);

// Shows the menu at the mouse cursor and carries out the chosen command.
void ShowItemMenu(RegistryItemList& list);

// Carries out one command on the list's selection.
void RunItemMenuCommand(RegistryItemList& list, int command);
