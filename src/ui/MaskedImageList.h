// The pictures of the program's list and tree controls: a bitmap resource
// holding a strip of square pictures side by side, whose mask colour is the
// background that shows through.
#pragma once

#include "win32/Win32Handles.h"

#include <windows.h>

// The background colour of every picture strip.
constexpr COLORREF kPictureMask = RGB(0, 255, 0);

// Makes `images` a masked image list of `size`-pixel pictures cut from the
// strip `bitmapId`. A strip that cannot be loaded leaves the list empty; the
// result is false only when no list could be made.
bool LoadMaskedImageList(ImageListOwner& images, int bitmapId, int size, COLORREF mask = kPictureMask);

// Makes `images` the picture set `baseBitmapId` for `dpi`: the strip drawn
// for that scale (pictures of baseSize at 100 percent and larger ones above
// it), or the 100 percent strip where that one is missing.
bool LoadPictureStrip(ImageListOwner& images, int baseBitmapId, int baseSize, int dpi);
