// The body of the main window: the page list on the left, the page container
// on the right, and the pages, of which one at a time is visible.
#pragma once

#include "ui/Splitter.h"
#include "win32/Win32Handles.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

class PageHost {
public:
    PageHost() = default;
    ~PageHost();
    PageHost(const PageHost&) = delete;
    PageHost& operator=(const PageHost&) = delete;

    // Takes over the placeholder control and builds the splitter, the page
    // list and the page container inside it. Notifications of the page list
    // go to `owner`.
    bool Attach(HWND placeholder, HWND owner, int splitterPosition);
    // Gives the page list the picture set `bitmapId` (48-pixel pictures at
    // 100 percent) for `dpi`; called again when the DPI changes.
    void SetImageList(int bitmapId, int dpi);
    void SetListFont(HFONT font, COLORREF textColour);

    HWND Container() const { return container_; }
    HWND PageList() const { return pageList_; }

    // Appends a page with its entry text; nothing is added when the page list
    // or the container is missing.
    void AddPage(HWND page, const std::string& title);
    // Selects the first visible entry, which shows its page.
    void SelectFirst();
    // Selects the entry of the page added as number `index` (from 0); an
    // index past the last entry changes nothing.
    void SelectPage(int index);
    // The page list's selection changed to the entry `item`.
    void OnSelectionChanged(HTREEITEM item);
    int VisiblePage() const { return visible_; }
    int SplitterPosition() const { return splitter_.Position(); }
    void SetSplitterPosition(int position) { splitter_.SetPosition(position); }

private:
    static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR data);
    static LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR id, DWORD_PTR data);
    void FitVisiblePage(bool repaint);

    HWND host_ = nullptr;
    Splitter splitter_;
    HWND pageList_ = nullptr;
    HWND container_ = nullptr;
    std::vector<HWND> pages_;
    int visible_ = -1;
    ImageListOwner images_;
};
