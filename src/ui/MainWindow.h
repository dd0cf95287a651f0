// The program's only top-level window: the banner, the page host with the
// three pages, the menu commands and the close question.
#pragma once

#include "ui/DialogLayout.h"
#include "ui/HeaderBanner.h"
#include "ui/PageHost.h"
#include "win32/Win32Handles.h"
#include "ui/PageRegistryBackup.h"
#include "ui/PageRegistryCleaner.h"
#include "ui/PageRegistrySearch.h"

#include <windows.h>

class MainWindow {
public:
    MainWindow() = default;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the main dialog, hidden; false when it cannot be made.
    bool Create();
    HWND Window() const { return window_; }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnCommand(int id);
    void OnClose();
    void SetCaptionFromVersion();

    HWND window_ = nullptr;
    DialogLayout layout_;
    HeaderBanner banner_;
    PageHost host_;
    PageRegistryCleaner cleaner_;
    PageRegistrySearch search_;
    PageRegistryBackup backup_;
    GdiObject<HFONT> pageListFont_;
    HICON largeIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
};
