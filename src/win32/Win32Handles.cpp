// Owners for the system's handles (see Win32Handles.h).
#include "win32/Win32Handles.h"

#include <commctrl.h>

void ImageListOwner::Reset(struct _IMAGELIST* list)
{
    if (list_)
        ImageList_Destroy(list_);
    list_ = list;
}
