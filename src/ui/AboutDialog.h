// The About box: product name and version from the version resource, the two
// web links and the thanks list.
#pragma once

#include "ui/DialogBase.h"
#include "ui/WebLink.h"

#include <windows.h>

class AboutDialog : public DialogBase {
public:
    // Shows the box modally, owned by `owner`; returns when it is closed.
    INT_PTR Show(HWND owner);

private:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog();

    WebLink website_;
    WebLink support_;
};
