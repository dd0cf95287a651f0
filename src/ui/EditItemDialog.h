// The dialog that shows one row of a registry item list and, for a string
// value, lets the user change its name and data.
#pragma once

#include "core/RegistryItem.h"

#include <windows.h>

class EditItemDialog {
public:
    explicit EditItemDialog(const RegistryItem& row) : row_(row) {}

    // Shows the dialog modally; 1 when the value was written (the new name
    // and data are then in Result()), 2 when it was cancelled.
    INT_PTR Show(HWND owner);
    const RegistryItem& Result() const { return row_; }
    bool ViewOnly() const { return row_.type != 1; }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND window);
    void OnOk(HWND window);

    RegistryItem row_;
};
