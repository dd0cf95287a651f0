// The progress bar of a page's running work, and the report of the same
// progress to the main window, which shows it on the taskbar button. The
// bar is shown while the work runs and hidden once it has ended; a bar of
// steps keeps its last position until the next run starts it from zero.
#pragma once

#include <windows.h>

// Sent (synchronously) by a page to its top-level window whenever its
// progress changes; lParam points to a PageProgressReport.
constexpr UINT kPageProgressMessage = WM_APP + 40;

struct PageProgressReport {
    HWND page = nullptr;
    int done = 0;
    int total = -1;   // steps; 0 for a moving bar; -1 when no work runs
};

class PageProgressBar {
public:
    // Takes the page's bar control (hidden until work starts).
    void Attach(HWND page, int barId);
    // Work of `total` steps begins (a moving bar when total is 0).
    void Start(int total);
    // `done` steps have ended.
    void Step(int done);
    // The work has ended or was stopped: the bar is hidden.
    void Stop();

private:
    void Report(int done, int total) const;

    HWND page_ = nullptr;
    HWND bar_ = nullptr;
    int total_ = -1;
};
