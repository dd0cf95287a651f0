// The common shape of the main window's pages (see Page.h).
#include "ui/Page.h"

#include "win32/WorkerThread.h"
#include "resource.h"

bool Page::Create(HWND container, int resourceId)
{
    window_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId), container,
                                 DialogProc, reinterpret_cast<LPARAM>(this));
    if (window_)
        ShowWindow(window_, SW_HIDE);
    return window_ != nullptr;
}

void Page::SetDialogResult(LRESULT result) const
{
    SetWindowLongPtrA(window_, DWLP_MSGRESULT, result);
}

void Page::SetStatus(const std::string& text) const
{
    SetDlgItemTextA(window_, IDC_STATUS, text.c_str());
}

INT_PTR CALLBACK Page::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Page* page = nullptr;
    if (message == WM_INITDIALOG) {
        page = reinterpret_cast<Page*>(lParam);
        page->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(page));
    } else {
        page = reinterpret_cast<Page*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (!page)
        return FALSE;
    const INT_PTR result = page->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        page->window_ = nullptr;
    }
    return result;
}

INT_PTR Page::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        return TRUE;
    case WM_SHOWWINDOW:
        // Only the page host's own show and hide, not the parent's.
        if (lParam == 0)
            OnShow(wParam != 0);
        return FALSE;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED)
            OnSize(LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnNotify(reinterpret_cast<NMHDR*>(lParam), result)) {
            SetDialogResult(result);
            return TRUE;
        }
        return FALSE;
    }
    case WM_DESTROY:
        OnDestroy();
        return TRUE;
    case kWorkerRequestMessage:
        // A page's worker asks for a change of its controls.
        WorkerThread::HandleRequest(message, wParam, lParam);
        return TRUE;
    default: {
        INT_PTR result = FALSE;
        if (OnMessage(message, wParam, lParam, result))
            return result;
        return FALSE;
    }
    }
}
