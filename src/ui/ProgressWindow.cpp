// The progress window of deletions and exports (see ProgressWindow.h).
#include "ui/ProgressWindow.h"

#include "core/Language.h"

#include "ui/WindowUtil.h"
#include "win32/LanguageWin.h"
#include "win32/WideText.h"
#include "resource.h"

#include <commctrl.h>

ProgressWindow::ProgressWindow(HWND owner, const std::string& status, int steps)
{
    if (!CreateModeless(IDD_PROGRESS, owner))
        return;
    TranslateWindow(window_);
    HWND top = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    CenterWindow(window_, top);
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowWindow(window_, SW_SHOW);
    SetDlgItemTextW(window_, IDC_STATUS, Widen(status).c_str());
    SendDlgItemMessageW(window_, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, steps);
    SendDlgItemMessageW(window_, IDC_PROGRESS_BAR, PBM_SETPOS, 0, 0);
    UpdateWindow(window_);
}

ProgressWindow::~ProgressWindow()
{
    if (window_)
        DestroyWindow(window_);
}

void ProgressWindow::Step(int position)
{
    if (!window_)
        return;
    SendDlgItemMessageW(window_, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    MSG message;
    if (PeekMessageW(&message, window_, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

INT_PTR ProgressWindow::HandleMessage(UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

void ShowChangeStep(ChangePhase phase, std::size_t index, void* context)
{
    auto& progress = *static_cast<ChangeStepsProgress*>(context);
    const bool changing = phase == ChangePhase::Change;
    if (!progress.window || changing != progress.changing) {
        progress.window.reset();
        const char* key = changing ? progress.changeKey : progress.backupKey;
        progress.window = std::make_unique<ProgressWindow>(progress.owner, LookupText(key), progress.steps);
        progress.changing = changing;
    }
    progress.window->Step(static_cast<int>(index));
}

bool ChangeWentAhead(HWND owner, ChangeStatus status, const std::vector<std::string>& refusedKeys,
                     const char* refusedFormatKey, const char* backupFailedKey)
{
    switch (status) {
    case ChangeStatus::Refused: {
        std::string keys;
        for (const std::string& key : refusedKeys)
            keys += "\r\n" + key;
        ShowMessage(owner, FormatTextWithString(LookupText(refusedFormatKey), keys), MB_OK | MB_ICONINFORMATION);
        return false;
    }
    case ChangeStatus::BackupFailed:
        ShowMessage(owner, LookupText(backupFailedKey), MB_OK | MB_ICONINFORMATION);
        return false;
    case ChangeStatus::Done:
    case ChangeStatus::Incomplete:
        return true;
    default:
        return false;
    }
}
