// The dots per inch a window is drawn at, and what follows from them: system
// sizes, fonts and picture strips for that scale. The per-monitor functions
// of newer Windows are looked up at run time; where they are missing (older
// Windows, some Wine versions) the screen's DPI serves every window.
#pragma once

#include "win32/Win32Handles.h"

#include <windows.h>

// The DPI of the monitor the window is on (96 at 100 percent).
int WindowDpi(HWND window);

// A system size (GetSystemMetrics index) for `dpi`.
int SystemMetricForDpi(int index, int dpi);

// A new font for the main window's page list at `dpi`: Arial, heavy,
// italic, 15 pixels high at 96 DPI. The caller owns it.
HFONT CreatePageListFont(int dpi);

// Tells the dialog manager of newer Windows not to rescale the dialog and
// its controls on a DPI change itself: the program lays them out and gives
// them their fonts (ScaledFont).
void TakeOverDpiScaling(HWND dialog);

// A copy of `font`, measured at `fromDpi`, for `toDpi`; null when the font
// cannot be read. The caller owns it.
HFONT ScaledFont(HFONT font, int fromDpi, int toDpi);

// The resource id of the strip of picture set `baseBitmapId` (its 100
// percent strip) that serves `dpi`, and the size of its pictures when the
// 100 percent ones are `baseSize` pixels.
int PictureStripFor(int baseBitmapId, int dpi);
int PictureSizeFor(int baseSize, int dpi);
