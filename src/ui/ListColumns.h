// The column widths of a report list: shared by weight when the list
// changes width, so that widths the user set by dragging a divider, or that
// were remembered from the last run, keep their proportions, and widths
// measured at the list's present width come back exactly.
#pragma once

#include "win32/LayoutSettings.h"

#include <windows.h>

#include <vector>

class ListColumns {
public:
    // `weights`: the columns' shares before the user sets any (equal ones
    // share the width equally; zero keeps a column hidden).
    explicit ListColumns(std::vector<int> weights);
    ~ListColumns();
    ListColumns(const ListColumns&) = delete;
    ListColumns& operator=(const ListColumns&) = delete;

    // Follows the list's header, so that a width the user sets is kept.
    void Attach(HWND list);
    // Gives the columns their shares of the list's present client width.
    void Fit();
    // Takes widths remembered from the last run; ones that do not suit the
    // list's columns are passed over.
    void Restore(const ColumnLayout& layout);
    // The present widths and the client width they were measured on.
    ColumnLayout Current() const;

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR data);
    int ClientWidth() const;
    std::vector<int> Widths() const;

    HWND list_ = nullptr;
    std::vector<int> weights_;
    int span_ = 0;         // the client width the weights were measured on; 0 for plain shares
    bool fitting_ = false; // set while the program itself sets the widths
};
