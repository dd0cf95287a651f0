// The dialog that lists the ignore list's entries (root key, key, value) and
// removes some or all of them; every removal is stored in the settings file
// at once.
#pragma once

#include "core/IgnoreList.h"
#include "ui/DialogBase.h"

#include <windows.h>

#include <vector>

class IgnoreListDialog : public DialogBase {
public:
    // Shows the dialog modally until the user closes it.
    void Show(HWND owner);

private:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog();
    // Reads the list from the settings file and shows it.
    void Reload();
    // Removes the entries from the settings file, then shows what it holds.
    void Remove(const std::vector<IgnoreEntry>& entries);
    void RemoveSelected();
    void UpdateButtons();

    HWND list_ = nullptr;
    // The entries in the order of the list's rows.
    std::vector<IgnoreEntry> entries_;
};
