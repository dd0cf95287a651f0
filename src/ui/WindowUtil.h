// Small window helpers shared by the main window, the pages and the dialogs.
#pragma once

#include <windows.h>

#include <string>

// Places a window centred on `owner` when the owner is visible and not
// minimised, else centred on the work area of the screen; it is then moved
// inside the work area where it would overrun it. The size is kept.
void CenterWindow(HWND window, HWND owner);

// The text of a control, read whole.
std::string ControlText(HWND control);

// Enables or disables a dialog control; a missing control is passed over.
void EnableControl(HWND dialog, int id, bool enabled);

// One text of a file's version resource ("ProductName", "ProductVersion"),
// from its first translation; empty when there is none.
std::string ReadProductString(const std::string& filePath, const std::string& fieldName);
