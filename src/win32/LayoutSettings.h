// The remembered layout in config.xml: the main window's element
// "/config/quorvane/window" (rectangle, maximised state, splitter and the
// DPI they were measured at) and the column widths of each page's list in
// the page's element. Read at start, written at the end; an element that
// an earlier config.xml lacks is added below "/config/quorvane" when the
// layout is written, and the file itself is never created.
#pragma once

#include "core/WindowPlacement.h"

#include <string>
#include <vector>

constexpr const char* kWindowElement = "/config/quorvane/window";
constexpr const char* kCleanerPageElement = "/config/quorvane/cleanerpage";
constexpr const char* kSearchPageElement = "/config/quorvane/searchpage";
constexpr const char* kBackupPageElement = "/config/quorvane/backuppage";

WindowLayout ReadWindowLayout();
void WriteWindowLayout(const WindowLayout& layout);

// A list's column widths and the client width of the list they were
// measured on.
struct ColumnLayout {
    std::vector<int> widths; // empty: none remembered
    int listWidth = 0;
};

ColumnLayout ReadColumnLayout(const char* elementPath);
void WriteColumnLayout(const char* elementPath, const ColumnLayout& layout);
