// A static control turned into a web link (see WebLink.h).
#include "ui/WebLink.h"

#include "ui/WindowUtil.h"
#include "win32/WideText.h"

#include <commctrl.h>
#include <shellapi.h>

#ifndef QV_MAKER_WEBSITE
#define QV_MAKER_WEBSITE "https://www.quorvane.example"
#endif

namespace {
constexpr UINT_PTR kSubclassId = 1;
constexpr COLORREF kLinkColour = RGB(0, 102, 204);
constexpr COLORREF kVisitedColour = RGB(128, 0, 128);
} // namespace

std::string MakerWebSite()
{
    return QV_MAKER_WEBSITE;
}

WebLink::~WebLink()
{
    if (control_ && IsWindow(control_))
        RemoveWindowSubclass(control_, SubclassProc, kSubclassId);
}

bool WebLink::Attach(HWND control, const std::string& address)
{
    if (!control)
        return false;
    control_ = control;
    address_ = address;
    HFONT base = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW description = {};
    if (!base || !GetObjectW(base, sizeof description, &description))
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof description, &description);
    description.lfUnderline = TRUE;
    font_.Reset(CreateFontIndirectW(&description));
    SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | SS_NOTIFY | WS_TABSTOP);
    SetWindowSubclass(control, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    InvalidateRect(control, nullptr, TRUE);
    return true;
}

bool WebLink::Activate()
{
    const INT_PTR result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", Widen(address_).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32)
        return false;
    visited_ = true;
    InvalidateRect(control_, nullptr, TRUE);
    return true;
}

void WebLink::Paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(control_, &ps);
    RECT client = {};
    GetClientRect(control_, &client);
    HWND parent = GetParent(control_);
    HBRUSH background = reinterpret_cast<HBRUSH>(
        SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control_)));
    FillRect(dc, &client, background ? background : GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ previous = SelectObject(dc, font_.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, visited_ ? kVisitedColour : kLinkColour);
    const std::wstring text = Widen(ControlText(control_));
    RECT textRect = client;
    DrawTextW(dc, text.c_str(), -1, &textRect, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    DrawTextW(dc, text.c_str(), -1, &textRect, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    if (GetFocus() == control_)
        DrawFocusRect(dc, &textRect);
    SelectObject(dc, previous);
    EndPaint(control_, &ps);
}

LRESULT WebLink::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_GETDLGCODE:
        // Enter and Space belong to the link while it has the focus.
        if (wParam == VK_RETURN || wParam == VK_SPACE)
            return DLGC_WANTMESSAGE;
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(control_, nullptr, TRUE);
        break;
    case WM_LBUTTONDOWN:
        pressed_ = true;
        SetFocus(control_);
        SetCapture(control_);
        return 0;
    case WM_LBUTTONUP:
        if (pressed_) {
            pressed_ = false;
            ReleaseCapture();
            RECT client = {};
            GetClientRect(control_, &client);
            const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (PtInRect(&client, point))
                Activate();
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_SPACE) {
            Activate();
            return 0;
        }
        break;
    default:
        break;
    }
    return DefSubclassProc(control_, message, wParam, lParam);
}

LRESULT CALLBACK WebLink::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data)
{
    auto* self = reinterpret_cast<WebLink*>(data);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, SubclassProc, kSubclassId);
        self->control_ = nullptr;
        return DefSubclassProc(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}
