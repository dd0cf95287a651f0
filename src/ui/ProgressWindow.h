// The small top-most window with a status line and a progress bar that a
// deletion or an export shows while it runs on the user-interface thread.
#pragma once

#include "ui/DialogBase.h"

#include <windows.h>

#include <string>

class ProgressWindow : public DialogBase {
public:
    // Creates it owned by `owner`, centred on the owner's window, top-most,
    // shows it with the status text and the range 0 .. `steps`.
    ProgressWindow(HWND owner, const std::string& status, int steps);
    ~ProgressWindow() override;

    // Moves the bar to `position` and handles one pending message of the
    // window, enough to keep it painted.
    void Step(int position);

private:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
