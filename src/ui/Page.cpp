// The common shape of the main window's pages (see Page.h).
#include "ui/Page.h"

#include "ui/Dpi.h"
#include "win32/WorkerThread.h"
#include "win32/WideText.h"
#include "resource.h"

bool Page::Create(HWND container, int resourceId)
{
    HWND window = CreateModeless(resourceId, container);
    if (window)
        ShowWindow(window, SW_HIDE);
    return window != nullptr;
}

void Page::ChangeDpi(int dpi)
{
    if (!window_ || dpi <= 0 || dpi == dpi_)
        return;
    layout_.ScaleFor(dpi_, dpi);
    // The controls take the dialog's font made for the new scale before the
    // one they had goes.
    if (HFONT font =
            ScaledFont(reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0)), createdDpi_, dpi)) {
        for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        font_.Reset(font);
    }
    dpi_ = dpi;
    OnDpiChanged();
    RECT client = {};
    GetClientRect(window_, &client);
    OnSize(client.right, client.bottom);
}

void Page::PressStartButton()
{
    const int id = StartButtonId();
    HWND button = id ? GetDlgItem(window_, id) : nullptr;
    if (button && IsWindowEnabled(button) && IsWindowVisible(window_))
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void Page::SetDialogResult(LRESULT result) const
{
    SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
}

void Page::SetStatus(const std::string& text) const
{
    SetDlgItemTextW(window_, IDC_STATUS, Widen(text).c_str());
}

INT_PTR Page::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        dpi_ = WindowDpi(window_);
        createdDpi_ = dpi_;
        TakeOverDpiScaling(window_);
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
