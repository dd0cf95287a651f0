// The program's only top-level window: the banner, the page host with the
// three pages, the menu commands and the close question.
#pragma once

#include "ui/DialogBase.h"
#include "ui/DialogLayout.h"
#include "ui/HeaderBanner.h"
#include "ui/PageHost.h"
#include "win32/Win32Handles.h"
#include "ui/PageRegistryBackup.h"
#include "ui/PageRegistryCleaner.h"
#include "ui/PageRegistrySearch.h"

#include <windows.h>

class MainWindow : public DialogBase {
public:
    // Creates the main dialog, hidden; false when it cannot be made.
    bool Create();

private:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog();
    void OnCommand(int id);
    void OnClose();
    void SetCaptionFromVersion();

    DialogLayout layout_;
    HeaderBanner banner_;
    PageHost host_;
    PageRegistryCleaner cleaner_;
    PageRegistrySearch search_;
    PageRegistryBackup backup_;
    GdiObject<HFONT> pageListFont_;
    HICON largeIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    // Set once closing has begun, so that a second close while the editor is
    // awaited is not asked again.
    bool closing_ = false;
};
