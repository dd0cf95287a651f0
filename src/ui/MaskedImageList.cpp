// The pictures of the program's list and tree controls (see MaskedImageList.h).
#include "ui/MaskedImageList.h"

#include "ui/Dpi.h"

#include <commctrl.h>

bool LoadMaskedImageList(ImageListOwner& images, int bitmapId, int size, COLORREF mask)
{
    GdiObject<HBITMAP> strip(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, 0)));
    // Room for every picture of the strip from the start.
    int count = 1;
    BITMAP info = {};
    if (strip && size > 0 && GetObjectW(strip.Get(), sizeof info, &info) == sizeof info && info.bmWidth / size > 0)
        count = info.bmWidth / size;
    images.Reset(ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, count, 0));
    if (!images.Get())
        return false;
    if (strip)
        ImageList_AddMasked(images.Get(), strip.Get(), mask);
    return true;
}

bool LoadPictureStrip(ImageListOwner& images, int baseBitmapId, int baseSize, int dpi)
{
    const int bitmapId = PictureStripFor(baseBitmapId, dpi);
    if (bitmapId != baseBitmapId &&
        FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId), MAKEINTRESOURCEW(2)) != nullptr)
        return LoadMaskedImageList(images, bitmapId, PictureSizeFor(baseSize, dpi));
    return LoadMaskedImageList(images, baseBitmapId, baseSize);
}
