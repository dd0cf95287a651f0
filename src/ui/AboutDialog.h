// The About box: product name and version from the version resource, the two
// web links and the thanks list.
#pragma once

#include "ui/WebLink.h"

#include <windows.h>

class AboutDialog {
public:
    // Shows the box modally, owned by `owner`; returns when it is closed.
    INT_PTR Show(HWND owner);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND window);

    WebLink website_;
    WebLink support_;
};
