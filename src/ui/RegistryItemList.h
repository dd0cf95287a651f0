// The list of registry entries shared by the cleaner and the search page:
// four columns, several rows selectable, a sort on a header click, and one
// tag per row. The rows live in a ResultRows model; the control (created
// with LVS_OWNERDATA) asks for the texts and pictures of the rows it paints
// and keeps only the selection and focus. All of it runs on the
// user-interface thread; workers hand their rows over through ListFeeder.
#pragma once

#include "ui/ListColumns.h"
#include "win32/Win32Handles.h"
#include "core/RegistryItem.h"
#include "core/ResultRows.h"

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstddef>
#include <string>
#include <vector>

class RegistryItemList {
public:
    RegistryItemList() = default;
    RegistryItemList(const RegistryItemList&) = delete;
    RegistryItemList& operator=(const RegistryItemList&) = delete;

    // Takes the dialog's list control, which must have been created with
    // LVS_OWNERDATA: four columns, full-row select, grid lines.
    void SetUp(HWND list);
    // Loads a strip of three pictures (16x16 at 100 percent) as the small
    // image list, drawn for `dpi`; called again when the DPI changes.
    void AttachImages(int bitmapId, int dpi);
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
    // Appends rows at once; the row at `scrollRow` among them (none when
    // negative) is scrolled into view. The list is painted once for all.
    void AppendRows(const std::vector<RegistryItem>& items, int scrollRow);
    void Clear();
    void RemoveRow(int row);
    // Removes the rows at the given positions; the others keep their order,
    // selection and focus.
    void RemoveRows(const std::vector<int>& rows);
    int RowCount() const { return static_cast<int>(rows_.Count()); }
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

    // Gives the columns their shares of the list's client width: equal ones
    // until the user sets widths or remembered ones are restored.
    void FitColumns() { columns_.Fit(); }
    ListColumns& Columns() { return columns_; }

    // Sorts by a column with the direction flag shared by every list of
    // this kind, then inverts the flag. The rows selected and focused
    // before stay selected and focused.
    void SortByColumn(int column);
    static bool SortDescending() { return sortDescending_; }

    // Notifications the list sends to its page, handed back here: the
    // list's questions for row texts and pictures are answered from the
    // rows, a double-click on a row opens the edit dialog, a right click the
    // item menu. True when handled.
    bool HandleNotify(NMHDR* header, LRESULT& result);

    std::string CellText(int row, int column) const;

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);
    // The selection, focus and selection mark the control holds, by position.
    struct ListStates {
        bool allSelected = false;
        std::vector<int> selected; // empty when every row or none is selected
        int focused = -1;
        int mark = -1;
    };
    ListStates ReadStates() const;
    // Where rows went: `moved` gives each old position's new one, or -1 for
    // a row that is gone.
    static std::vector<int> MovedRows(const std::vector<int>& rows, const std::vector<int>& moved);
    // Turns the control's selection from `before` into `after`.
    void ChangeSelection(const std::vector<int>& before, const std::vector<int>& after);
    // Puts the focus and the selection mark where their rows went.
    void PlaceFocus(const ListStates& before, const std::vector<int>& moved);
    int FocusedRow() const;
    int SelectionMark() const;
    void SetFocusedRow(int row);
    void FillDisplayInfo(NMLVDISPINFOW& info);
    int FindRow(const NMLVFINDITEMW& find) const;
    // The list's own keys: Del deletes the selected rows (after asking),
    // Enter opens the edit dialog on the focused row, Shift+F10 opens the
    // item menu. True when the key was handled.
    bool HandleKey(UINT key, bool systemKey);

    HWND list_ = nullptr;
    std::string backupFolder_;
    bool ignoreOffered_ = false;
    ImageListOwner images_;
    ListColumns columns_{std::vector<int>(4, 1)};
    ResultRows rows_;
    // The texts last handed to the control for display, which reads them in
    // place after the notification.
    std::array<std::wstring, 3> displayTexts_;
    std::size_t nextDisplayText_ = 0;
    static bool sortDescending_;
};
