// The context menu of a registry item list (see ItemMenu.h).
#include "ui/ItemMenu.h"

#include "win32/Win32Handles.h"
#include "ui/DeleteItems.h"
#include "ui/EditItemDialog.h"
#include "ui/RegistryItemList.h"
#include "win32/LanguageWin.h"
#include "win32/RegeditBridge.h"
#include "win32/WideText.h"

#include <commctrl.h>

#include <string>

bool ItemMenuCommandEnabled(int command, int selected, int rows)
{
    switch (command) {
    case kItemMenuEdit:
    case kItemMenuJump:
        return selected == 1;
    case kItemMenuDelete:
    case kItemMenuIgnore:
        return selected >= 1;
    case kItemMenuExport:
        // Without a selection every row is exported.
        return rows >= 1;
    case kItemMenuInvertSelection:
    case kItemMenuSelectNone:
    case kItemMenuSelectAll:
        return rows >= 1;
    default:
        return false;
    }
}

void ShowItemMenu(RegistryItemList& list)
{
    POINT cursor = {};
    GetCursorPos(&cursor);
    ShowItemMenuAt(list, cursor);
}

void ShowItemMenuForKeyboard(RegistryItemList& list)
{
    HWND window = list.Window();
    int row = static_cast<int>(SendMessageW(window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                            LVNI_FOCUSED | LVNI_SELECTED));
    if (row < 0)
        row = list.NextSelected(-1);
    // Beside the row the keys act on, or at the list's top left corner
    // without a selected row.
    POINT where = {0, 0};
    RECT rect = {};
    rect.left = LVIR_BOUNDS;
    if (row >= 0) {
        SendMessageW(window, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
        if (SendMessageW(window, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect)))
            where = POINT{rect.left + 16, rect.bottom};
    }
    ClientToScreen(window, &where);
    ShowItemMenuAt(list, where);
}

void EditRow(RegistryItemList& list, int row)
{
    RegistryItem item;
    if (row < 0 || !list.ReadRow(row, item))
        return;
    EditItemDialog dialog(item, list.BackupFolder());
    if (dialog.Show(GetAncestor(list.Window(), GA_ROOT)) == 1) {
        list.SetCellText(row, 2, dialog.Result().valueName);
        list.SetCellText(row, 3, dialog.Result().dataText);
    }
    OfferRestartForRights(list, dialog.FailedResults());
}

void ShowItemMenuAt(RegistryItemList& list, POINT where)
{
    MenuOwner menu(CreatePopupMenu());
    if (!menu.Get())
        return;
    const int selected = list.SelectedCount();
    const int rows = list.RowCount();
    for (int command = kItemMenuEdit; command <= kItemMenuJump; ++command) {
        const std::string caption = LookupText("_RegistryListViewMenuItem" + std::to_string(command));
        const UINT state = ItemMenuCommandEnabled(command, selected, rows) ? MF_ENABLED : MF_GRAYED;
        AppendMenuW(menu.Get(), MF_STRING | state, static_cast<UINT_PTR>(command), Widen(caption).c_str());
        if (command == kItemMenuDelete || command == kItemMenuExport || command == kItemMenuSelectAll)
            AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    }
    if (list.IgnoreOffered()) {
        const UINT state = ItemMenuCommandEnabled(kItemMenuIgnore, selected, rows) ? MF_ENABLED : MF_GRAYED;
        AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu.Get(), MF_STRING | state, kItemMenuIgnore,
                    Widen(LookupText("_RegistryListViewMenuItem8")).c_str());
    }
    const int command = TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, where.x, where.y, 0,
                                       list.Window(), nullptr);
    if (command != 0 && ItemMenuCommandEnabled(command, selected, rows))
        RunItemMenuCommand(list, command);
}

void RunItemMenuCommand(RegistryItemList& list, int command)
{
    switch (command) {
    case kItemMenuEdit:
        EditRow(list, list.NextSelected(-1));
        break;
    case kItemMenuDelete:
        DeleteSelectedItems(list);
        break;
    case kItemMenuExport:
        ExportItems(list, std::string());
        break;
    case kItemMenuIgnore:
        if (list.IgnoreOffered())
            IgnoreSelectedItems(list);
        break;
    case kItemMenuInvertSelection:
        list.InvertSelection();
        break;
    case kItemMenuSelectNone:
        list.SelectNone();
        break;
    case kItemMenuSelectAll:
        list.SelectAll();
        break;
    case kItemMenuJump: {
        const int row = list.NextSelected(-1);
        RegistryItem item;
        if (row >= 0 && list.ReadRow(row, item))
            OpenInRegedit(item.rootName, item.keyPath, list.Window());
        break;
    }
    default:
        break;
    }
}
