// The dialog that shows one row of a registry item list and, for a string
// value, lets the user change its name and data. A string value is read
// afresh and whole when the dialog opens; its data is written only when the
// user changed it, and a rename alone keeps the data byte for byte.
#pragma once

#include "core/RegistryItem.h"
#include "core/ValueRename.h"
#include "ui/DialogBase.h"

#include <windows.h>

#include <string>
#include <vector>

class EditItemDialog : public DialogBase {
public:
    // A change writes the value's former state to a backup file in
    // `backupFolder` first.
    EditItemDialog(const RegistryItem& row, const std::string& backupFolder)
        : row_(row), backupFolder_(backupFolder)
    {
    }

    // Shows the dialog modally; 1 when the value was written or left as it
    // was read (its name and data are then in Result()), 2 when it was
    // cancelled.
    INT_PTR Show(HWND owner);
    const RegistryItem& Result() const { return row_; }
    // The system's codes of the writes it refused while the dialog was open.
    const std::vector<long>& FailedResults() const { return failedResults_; }
    bool ViewOnly() const { return row_.type != 1; }

private:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog();
    void OnOk();

    RegistryItem row_;
    std::string backupFolder_;
    // The value as the registry held it when the dialog opened; its text is
    // what the data field showed.
    CurrentValue current_;
    std::vector<long> failedResults_;
};
