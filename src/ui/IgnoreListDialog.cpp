// The ignore list dialog (see IgnoreListDialog.h).
#include "ui/IgnoreListDialog.h"
#include "ui/Dpi.h"

#include "ui/WindowUtil.h"
#include "win32/IgnoreListSettings.h"
#include "win32/LanguageWin.h"
#include "win32/SettingsDocument.h"
#include "win32/Win32Platform.h"
#include "win32/WideText.h"
#include "resource.h"

#include <commctrl.h>

#include <string>

namespace {

// What the value column shows for an entry.
std::string ValueText(const IgnoreEntry& entry)
{
    if (!entry.hasValueName)
        return LookupText("_IgnoreListDlgWholeKey");
    if (entry.valueName.empty())
        return LookupText("_PageRegistryBackupDefaultValue1");
    return entry.valueName;
}

void SetCell(HWND list, int row, int column, const std::string& text)
{
    std::wstring wide = Widen(text);
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = &wide[0];
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

} // namespace

void IgnoreListDialog::Show(HWND owner)
{
    ShowModal(IDD_IGNORE_LIST, owner);
}

void IgnoreListDialog::OnInitDialog()
{
    CenterWindow(window_, GetWindow(window_, GW_OWNER));
    TranslateWindow(window_);
    list_ = GetDlgItem(window_, IDC_IGNORE_LIST);
    SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
                 LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    RECT client = {};
    GetClientRect(list_, &client);
    const int width = (client.right - client.left - SystemMetricForDpi(SM_CXVSCROLL, WindowDpi(window_))) / 3;
    for (int column = 0; column < 3; ++column) {
        std::wstring caption = Widen(LookupText("_IgnoreListDlgCol" + std::to_string(column + 1)));
        LVCOLUMNW header = {};
        header.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
        header.fmt = LVCFMT_LEFT;
        header.cx = width;
        header.iSubItem = column;
        header.pszText = &caption[0];
        SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&header));
    }
    Reload();
}

void IgnoreListDialog::Reload()
{
    entries_ = ReadIgnoreList(SettingsFilePath()).entries;
    SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t index = 0; index < entries_.size(); ++index) {
        const IgnoreEntry& entry = entries_[index];
        std::wstring rootName = Widen(entry.rootName);
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(index);
        item.pszText = &rootName[0];
        const int row = static_cast<int>(SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        if (row < 0)
            continue;
        SetCell(list_, row, 1, entry.keyPath);
        SetCell(list_, row, 2, ValueText(entry));
    }
    UpdateButtons();
}

void IgnoreListDialog::Remove(const std::vector<IgnoreEntry>& entries)
{
    if (entries.empty())
        return;
    if (RemoveFromIgnoreList(SystemPlatform(), SettingsFilePath(), entries) != IgnoreListSave::Saved)
        ShowMessage(window_, LookupText("_IgnoreListDlgSaveFailed"), MB_OK | MB_ICONINFORMATION);
    // The list shows what the file holds, whether or not the change was stored.
    Reload();
}

void IgnoreListDialog::RemoveSelected()
{
    std::vector<IgnoreEntry> chosen;
    int row = -1;
    while ((row = static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                                LVNI_SELECTED))) >= 0) {
        if (static_cast<std::size_t>(row) < entries_.size())
            chosen.push_back(entries_[static_cast<std::size_t>(row)]);
    }
    Remove(chosen);
}

void IgnoreListDialog::UpdateButtons()
{
    const int selected = static_cast<int>(SendMessageW(list_, LVM_GETSELECTEDCOUNT, 0, 0));
    EnableControl(window_, IDC_IGNORE_REMOVE, selected > 0);
    EnableControl(window_, IDC_IGNORE_REMOVE_ALL, !entries_.empty());
}

INT_PTR IgnoreListDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_IGNORE_REMOVE:
            RemoveSelected();
            return TRUE;
        case IDC_IGNORE_REMOVE_ALL:
            Remove(entries_);
            return TRUE;
        case IDOK:
        case IDCANCEL:
            EndDialog(window_, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && header->hwndFrom == list_ && header->code == LVN_ITEMCHANGED)
            UpdateButtons();
        return FALSE;
    }
    default:
        return FALSE;
    }
}
