// The picture banner across the top of the main window: a static control
// that paints its bitmap stretched over its whole area.
#pragma once

#include "win32/Win32Handles.h"

#include <windows.h>

class HeaderBanner {
public:
    HeaderBanner() = default;
    ~HeaderBanner();
    HeaderBanner(const HeaderBanner&) = delete;
    HeaderBanner& operator=(const HeaderBanner&) = delete;

    // Takes over the control and gives it the bitmap resource.
    bool Attach(HWND control, int bitmapId);

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);
    void Paint();

    HWND control_ = nullptr;
    GdiObject<HBITMAP> bitmap_;
    SIZE bitmapSize_ = {};
};
