// The picture banner (see HeaderBanner.h).
#include "ui/HeaderBanner.h"

#include <commctrl.h>

namespace {
constexpr COLORREF kBannerGrey = RGB(118, 118, 118);
constexpr UINT_PTR kSubclassId = 1;
} // namespace

HeaderBanner::~HeaderBanner()
{
    if (control_ && IsWindow(control_))
        RemoveWindowSubclass(control_, SubclassProc, kSubclassId);
}

bool HeaderBanner::Attach(HWND control, int bitmapId)
{
    if (!control)
        return false;
    control_ = control;
    bitmap_.Reset(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (bitmap_) {
        BITMAP info = {};
        GetObjectW(bitmap_.Get(), sizeof info, &info);
        bitmapSize_.cx = info.bmWidth;
        bitmapSize_.cy = info.bmHeight;
    }
    SetWindowTextW(control_, L"");
    SetWindowSubclass(control_, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    InvalidateRect(control_, nullptr, FALSE);
    return true;
}

void HeaderBanner::Paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(control_, &ps);
    RECT client = {};
    GetClientRect(control_, &client);
    GdiObject<HBRUSH> grey(CreateSolidBrush(kBannerGrey));
    FillRect(dc, &client, grey.Get());
    if (bitmap_) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(memory, bitmap_.Get());
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, bitmapSize_.cx,
                   bitmapSize_.cy, SRCCOPY);
        SelectObject(memory, previous);
        DeleteDC(memory);
    }
    EndPaint(control_, &ps);
}

LRESULT CALLBACK HeaderBanner::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR data)
{
    auto* self = reinterpret_cast<HeaderBanner*>(data);
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        self->Paint();
        return 0;
    case WM_SIZE:
        InvalidateRect(window, nullptr, FALSE);
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, SubclassProc, kSubclassId);
        self->control_ = nullptr;
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}
