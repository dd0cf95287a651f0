// The dots per inch a window is drawn at (see Dpi.h).
#include "ui/Dpi.h"

#include "core/DpiScale.h"
#include "resource.h"

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
using SetDialogDpiChangeBehaviorFunction = BOOL(WINAPI*)(HWND, int, int);

// DDC_DISABLE_ALL of SetDialogDpiChangeBehavior.
constexpr int kDialogScalingOff = 1;

// The user32 function `name`, or null where this system lacks it.
template <typename Function>
Function User32Function(const char* name)
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

int ScreenDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDesignDpi;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesignDpi;
}

} // namespace

int WindowDpi(HWND window)
{
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi > 0)
            return static_cast<int>(dpi);
    }
    return ScreenDpi();
}

int SystemMetricForDpi(int index, int dpi)
{
    static const auto getSystemMetricsForDpi =
        User32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    if (getSystemMetricsForDpi)
        return getSystemMetricsForDpi(index, static_cast<UINT>(dpi));
    // The system's sizes are those of the screen's DPI.
    return ScaleLength(GetSystemMetrics(index), dpi, ScreenDpi());
}

HFONT CreatePageListFont(int dpi)
{
    return CreateFontW(ScaleLength(15, dpi), 0, 0, 0, 900, TRUE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial");
}

void TakeOverDpiScaling(HWND dialog)
{
    static const auto setBehaviour =
        User32Function<SetDialogDpiChangeBehaviorFunction>("SetDialogDpiChangeBehavior");
    if (setBehaviour && dialog)
        setBehaviour(dialog, kDialogScalingOff, kDialogScalingOff);
}

HFONT ScaledFont(HFONT font, int fromDpi, int toDpi)
{
    LOGFONTW description = {};
    if (!font || GetObjectW(font, sizeof description, &description) != sizeof description)
        return nullptr;
    description.lfHeight = ScaleLength(description.lfHeight, toDpi, fromDpi);
    description.lfWidth = ScaleLength(description.lfWidth, toDpi, fromDpi);
    return CreateFontIndirectW(&description);
}

int PictureStripFor(int baseBitmapId, int dpi)
{
    return baseBitmapId + IDB_SCALE_STEP * PictureScaleIndex(dpi);
}

int PictureSizeFor(int baseSize, int dpi)
{
    return PictureSizeAt(baseSize, PictureScaleIndex(dpi));
}
