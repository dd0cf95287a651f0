// Helpers of the report list views: reading a cell, and sorting by a clicked
// column. Each column header carries its sort kind in its item data: 0
// compares the texts by their characters' code points, 1 as decimal numbers,
// anything else treats all rows as equal. Rows are found by their item data,
// which must be unique per row.
#pragma once

#include <windows.h>

#include <string>

constexpr LPARAM kSortAsText = 0;
constexpr LPARAM kSortAsNumber = 1;

// Inserts a left-aligned column with its caption, width and sort kind.
void InsertSortableColumn(HWND list, int position, const std::string& caption, int width, LPARAM sortKind);

// Sorts the rows by `column`: greatest first while `descending` is set,
// smallest first when it is clear; the flag is inverted afterwards.
void SortListByColumn(HWND list, int column, bool& descending);

// The text of one cell, read whole (the buffer grows until the text fits).
std::string ListViewCellText(HWND list, int row, int column);
