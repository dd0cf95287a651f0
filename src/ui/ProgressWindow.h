// The small top-most window with a status line and a progress bar that a
// deletion or an export shows while it runs on the user-interface thread.
#pragma once

#include "core/RegistryChange.h"
#include "ui/DialogBase.h"

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

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

// Follows the two steps of a change operation with a progress window each:
// one titled by backupKey while the backup is written, then one titled by
// changeKey while the entries are changed. Pass ShowChangeStep as the
// operation's progress and this as its context.
struct ChangeStepsProgress {
    HWND owner = nullptr;
    int steps = 0;
    const char* backupKey = "";
    const char* changeKey = "";
    std::unique_ptr<ProgressWindow> window;
    bool changing = false;
};

void ShowChangeStep(ChangePhase phase, std::size_t index, void* context);

// Tells the user why a change operation did not go ahead: it was refused for
// the protected keys (the text of refusedFormatKey, whose %s takes them, one
// a line) or its backup could not be written (backupFailedKey). True when the
// change went ahead, whether or not every entry changed.
bool ChangeWentAhead(HWND owner, ChangeStatus status, const std::vector<std::string>& refusedKeys,
                     const char* refusedFormatKey, const char* backupFailedKey);
