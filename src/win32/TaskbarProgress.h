// The progress shown on the program's taskbar button (ITaskbarList3). The
// taskbar object can only be made once the shell has created the button,
// which it announces with the registered message "TaskbarButtonCreated";
// the owner passes that message on. A system without the interface (an
// older Windows, or Wine) shows nothing, and that is no error.
#pragma once

#include "win32/Win32Handles.h"

#include <windows.h>
#include <shobjidl.h>

class TaskbarProgress {
public:
    // The registered message the shell sends once the window's taskbar
    // button exists (again, after the shell restarted).
    static UINT ButtonCreatedMessage();
    // Lets the shell's message through to `window` when the program runs
    // with more rights than the shell (as administrator); call once the
    // window exists.
    static void AcceptButtonCreated(HWND window);

    // Makes the taskbar object for `window`'s button and shows the state
    // asked for so far; call on ButtonCreatedMessage.
    void OnButtonCreated(HWND window);
    // `done` of `total` steps, a moving bar (total 0), or nothing (total < 0).
    void Show(int done, int total);
    // True when the taskbar object exists.
    bool Available() const { return static_cast<bool>(taskbar_); }

private:
    void Apply();

    HWND window_ = nullptr;
    ComPtr<ITaskbarList3> taskbar_;
    int done_ = 0;
    int total_ = -1;
};
