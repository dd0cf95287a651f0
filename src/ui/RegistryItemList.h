// The list of registry entries shared by the cleaner and the search page:
// four columns, several rows selectable, a sort on a header click, and one
// tag per row. All of it runs on the user-interface thread; workers reach it
// through WorkerThread requests.
#pragma once

#include "win32/Win32Handles.h"
#include "core/RegistryItem.h"

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

class RegistryItemList {
public:
    RegistryItemList() = default;
    RegistryItemList(const RegistryItemList&) = delete;
    RegistryItemList& operator=(const RegistryItemList&) = delete;

    // Takes the dialog's list control: four columns, full-row select, grid lines.
    void SetUp(HWND list);
    // Loads a strip of three 16x16 pictures as the small image list.
    void AttachImages(int bitmapId);
    HWND Window() const { return list_; }

    // Where deletions write their automatic backup; empty means no backup.
    void SetBackupFolder(const std::string& folder) { backupFolder_ = folder; }
    const std::string& BackupFolder() const { return backupFolder_; }

    // Whether the item menu offers to put rows on the ignore list (the
    // cleaner's list does, the search's does not).
    void SetIgnoreOffered(bool offered) { ignoreOffered_ = offered; }
    bool IgnoreOffered() const { return ignoreOffered_; }

    // Appends a row; returns its position.
    int AddRow(const RegistryItem& item, bool scrollIntoView = true);
    void Clear();
    void RemoveRow(int row);
    int RowCount() const;
    bool ReadRow(int row, RegistryItem& item) const;
    RowTag Tag(int row) const;
    void SetCellText(int row, int column, const std::string& text);

    int SelectedCount() const;
    // The next selected row after `row`; -1 starts before the first row.
    int NextSelected(int row) const;
    std::vector<int> SelectedRows() const;
    void SetSelected(int row, bool selected);
    void SelectAll();
    void SelectNone();
    void InvertSelection();

    // Gives every column the same share of the list's client width.
    void ShareWidthEqually();

    // While a worker fills the list, rows are painted and scrolled into view
    // a few times a second instead of once per row: the list looks the same
    // to the user, but a scan with many findings is not held up by painting.
    void BeginFilling();
    void EndFilling();

    // Sorts by a column with the direction flag shared by every list of
    // this kind, then inverts the flag.
    void SortByColumn(int column);
    static bool SortDescending() { return sortDescending_; }

    // Notifications the list sends to its page, handed back here: a
    // double-click on a row opens the edit dialog, a right click the item
    // menu. True when handled.
    bool HandleNotify(const NMHDR* header, LRESULT& result);

    std::string CellText(int row, int column) const;

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);
    void ShowFilledRows();
    // The list's own keys: Del deletes the selected rows (after asking),
    // Enter opens the edit dialog on the focused row, Shift+F10 opens the
    // item menu. True when the key was handled.
    bool HandleKey(UINT key, bool systemKey);

    HWND list_ = nullptr;
    bool filling_ = false;
    int pendingScroll_ = -1;   // the last added row that asked to be scrolled into view
    std::string backupFolder_;
    bool ignoreOffered_ = false;
    ImageListOwner images_;
    std::map<LPARAM, RowTag> tags_;  // by the row's item data
    LPARAM nextTagId_ = 1;
    static bool sortDescending_;
};
