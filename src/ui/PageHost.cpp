// The body of the main window (see PageHost.h).
#include "ui/PageHost.h"

#include "ui/MaskedImageList.h"
#include "win32/WideText.h"
#include "resource.h"

#include <commctrl.h>

namespace {
constexpr UINT_PTR kSubclassId = 1;
}

PageHost::~PageHost()
{
    if (host_ && IsWindow(host_))
        RemoveWindowSubclass(host_, HostProc, kSubclassId);
    if (container_ && IsWindow(container_))
        RemoveWindowSubclass(container_, ContainerProc, kSubclassId);
}

bool PageHost::Attach(HWND placeholder, HWND owner, int splitterPosition)
{
    if (!placeholder)
        return false;
    host_ = placeholder;
    SetWindowLongPtrW(host_, GWL_EXSTYLE, GetWindowLongPtrW(host_, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    SetWindowSubclass(host_, HostProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    if (!splitter_.Create(host_, owner))
        return false;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    pageList_ = CreateWindowExW(0, WC_TREEVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | TVS_SHOWSELALWAYS,
                                0, 0, 0, 0, splitter_.Window(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PAGE_LIST)), instance,
                                nullptr);
    container_ = CreateWindowExW(WS_EX_CONTROLPARENT, L"STATIC", L"",
                                 WS_CHILD | WS_VISIBLE | WS_BORDER | WS_CLIPCHILDREN, 0, 0, 0, 0,
                                 splitter_.Window(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PAGE_CONTAINER)),
                                 instance, nullptr);
    if (container_)
        SetWindowSubclass(container_, ContainerProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    splitter_.SetPanes(pageList_, container_);
    splitter_.SetPosition(splitterPosition);
    return pageList_ != nullptr && container_ != nullptr;
}

void PageHost::SetImageList(int bitmapId, int dpi)
{
    if (!pageList_)
        return;
    // The mask keeps the pictures' green background transparent on the list.
    LoadPictureStrip(images_, bitmapId, 48, dpi);
    TreeView_SetImageList(pageList_, images_.Get(), TVSIL_NORMAL);
}

void PageHost::SetListFont(HFONT font, COLORREF textColour)
{
    if (!pageList_)
        return;
    SendMessageW(pageList_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    TreeView_SetTextColor(pageList_, textColour);
}

void PageHost::AddPage(HWND page, const std::string& title)
{
    if (!pageList_ || !container_)
        return;
    pages_.push_back(page);
    std::wstring text = Widen(title);
    TVINSERTSTRUCTW insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = &text[0];
    insert.item.iImage = 0;
    insert.item.iSelectedImage = 0;
    insert.item.lParam = static_cast<LPARAM>(pages_.size() - 1);
    SendMessageW(pageList_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
}

void PageHost::SelectFirst()
{
    if (!pageList_)
        return;
    if (HTREEITEM first = TreeView_GetFirstVisible(pageList_))
        TreeView_SelectItem(pageList_, first);
}

void PageHost::SelectPage(int index)
{
    if (!pageList_ || index < 0)
        return;
    HTREEITEM item = TreeView_GetRoot(pageList_);
    for (int i = 0; item && i < index; ++i)
        item = TreeView_GetNextSibling(pageList_, item);
    if (item)
        TreeView_SelectItem(pageList_, item);
}

void PageHost::OnSelectionChanged(HTREEITEM item)
{
    if (!item)
        return;
    TVITEMW entry = {};
    entry.mask = TVIF_PARAM;
    entry.hItem = item;
    if (!SendMessageW(pageList_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&entry)))
        return;
    const int index = static_cast<int>(entry.lParam);
    if (index == visible_ || index < 0 || index >= static_cast<int>(pages_.size()))
        return;
    if (visible_ >= 0 && visible_ < static_cast<int>(pages_.size()))
        ShowWindow(pages_[static_cast<std::size_t>(visible_)], SW_HIDE);
    visible_ = index;
    FitVisiblePage(false);
    ShowWindow(pages_[static_cast<std::size_t>(index)], SW_SHOW);
}

void PageHost::FitVisiblePage(bool repaint)
{
    if (visible_ < 0 || visible_ >= static_cast<int>(pages_.size()) || !container_)
        return;
    RECT client = {};
    GetClientRect(container_, &client);
    MoveWindow(pages_[static_cast<std::size_t>(visible_)], 0, 0, client.right, client.bottom,
               repaint ? TRUE : FALSE);
}

LRESULT CALLBACK PageHost::HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR data)
{
    auto* self = reinterpret_cast<PageHost*>(data);
    if (message == WM_SIZE && self->splitter_.Window())
        MoveWindow(self->splitter_.Window(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
    else if (message == WM_NCDESTROY)
        RemoveWindowSubclass(window, HostProc, kSubclassId);
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK PageHost::ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR data)
{
    auto* self = reinterpret_cast<PageHost*>(data);
    if (message == WM_SIZE)
        self->FitVisiblePage(true);
    else if (message == WM_NCDESTROY)
        RemoveWindowSubclass(window, ContainerProc, kSubclassId);
    return DefSubclassProc(window, message, wParam, lParam);
}
