// The program's only top-level window: the banner, the page host with the
// three pages, the menu commands and the close question.
#pragma once

#include "core/CommandLine.h"
#include "core/WindowPlacement.h"
#include "ui/DialogBase.h"
#include "ui/DialogLayout.h"
#include "ui/HeaderBanner.h"
#include "ui/PageHost.h"
#include "win32/Win32Handles.h"
#include "ui/PageRegistryBackup.h"
#include "ui/PageRegistryCleaner.h"
#include "ui/PageRegistrySearch.h"
#include "ui/PageProgress.h"
#include "win32/TaskbarProgress.h"

#include <windows.h>

#include <vector>

class MainWindow : public DialogBase {
public:
    // Creates the main dialog, hidden, showing `page`; false when it cannot
    // be made.
    bool Create(OpeningPage page = OpeningPage::Cleaner);
    // Shows the window the way it was left (maximised or not) unless the
    // start asks for it minimised or hidden.
    void Show(int showState);
    // The main window's keyboard shortcuts (F5); true when `message` was one.
    bool TranslateShortcut(MSG& message);

private:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog();
    void OnCommand(int id);
    void OnClose();
    // The question to ask before running work is given up; null when none runs.
    const char* RunningWorkQuestion() const;
    // Ends running work and destroys the window; the message loop then ends.
    void CloseNow();
    // Starts an elevated copy of the program on the page now shown and
    // closes this one once the copy has started; a refused prompt keeps it.
    void RestartAsAdministrator();
    // Shows the pages' progress on the taskbar button: a scan's steps come
    // first, else a moving bar while any page works.
    void OnPageProgress(const PageProgressReport& report);
    void SetCaptionFromVersion();
    // Puts the window where it was left, or centred on the primary screen,
    // always inside a visible work area.
    void PlaceWindow();
    void SaveLayout() const;
    void LoadIcons();
    // The window is now drawn at `dpi`; `suggested` is where it goes.
    void OnDpiChanged(int dpi, const RECT& suggested);
    // F5: the visible page's start button, when it is enabled.
    void StartVisiblePageWork();

    DialogLayout layout_;
    HeaderBanner banner_;
    PageHost host_;
    PageRegistryCleaner cleaner_;
    PageRegistrySearch search_;
    PageRegistryBackup backup_;
    GdiObject<HFONT> pageListFont_;
    HACCEL shortcuts_ = nullptr; // a resource: freed with the program
    int dpi_ = 96;
    WindowLayout remembered_;
    HICON largeIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    // Set once closing has begun, so that a second close while the editor is
    // awaited is not asked again.
    bool closing_ = false;
    OpeningPage openingPage_ = OpeningPage::Cleaner;
    TaskbarProgress taskbar_;
    std::vector<PageProgressReport> progress_;
};
