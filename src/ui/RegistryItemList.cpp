// The list of registry entries (see RegistryItemList.h).
#include "ui/RegistryItemList.h"

#include "ui/DeleteItems.h"
#include "ui/ItemMenu.h"
#include "ui/ListViewHelpers.h"
#include "ui/MaskedImageList.h"
#include "win32/LanguageWin.h"

#include <vector>

bool RegistryItemList::sortDescending_ = true;

namespace {
constexpr int kColumnWidths[4] = {100, 300, 100, 300};
const char* const kColumnKeys[4] = {"_RegistryListViewCol1", "_RegistryListViewCol2",
                                    "_RegistryListViewCol3", "_RegistryListViewCol4"};
constexpr DWORD kListStyles = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES;
constexpr UINT_PTR kSubclassId = 1;
constexpr UINT_PTR kFillTimer = 0x5146;   // private timer of the list
constexpr UINT kFillPaintMs = 150;
} // namespace

void RegistryItemList::SetUp(HWND list)
{
    list_ = list;
    if (!list_)
        return;
    for (int column = 0; column < 4; ++column)
        InsertSortableColumn(list_, column, LookupText(kColumnKeys[column]).c_str(), kColumnWidths[column],
                             kSortAsText);
    SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, kListStyles, kListStyles);
    // The list object owns its image list; the control must not destroy it too.
    SetWindowLongPtrA(list_, GWL_STYLE, GetWindowLongPtrA(list_, GWL_STYLE) | LVS_SHAREIMAGELISTS);
    SetWindowSubclass(list_, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void RegistryItemList::ShareWidthEqually()
{
    if (!list_)
        return;
    RECT client = {};
    GetClientRect(list_, &client);
    constexpr int kColumns = 4;
    for (int column = 0; column < kColumns; ++column)
        SendMessageA(list_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), client.right / kColumns);
}

void RegistryItemList::BeginFilling()
{
    if (!list_ || filling_)
        return;
    filling_ = true;
    pendingScroll_ = -1;
    SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
    SetTimer(list_, kFillTimer, kFillPaintMs, nullptr);
}

void RegistryItemList::EndFilling()
{
    if (!list_ || !filling_)
        return;
    KillTimer(list_, kFillTimer);
    ShowFilledRows();
    filling_ = false;
}

void RegistryItemList::ShowFilledRows()
{
    SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
    if (pendingScroll_ >= 0 && pendingScroll_ < RowCount())
        SendMessageA(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(pendingScroll_), FALSE);
    pendingScroll_ = -1;
    RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

LRESULT CALLBACK RegistryItemList::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                UINT_PTR, DWORD_PTR data)
{
    auto* self = reinterpret_cast<RegistryItemList*>(data);
    if (message == WM_TIMER && wParam == kFillTimer) {
        if (self->filling_) {
            self->ShowFilledRows();
            SendMessageA(window, WM_SETREDRAW, FALSE, 0);
        }
        return 0;
    }
    switch (message) {
    case WM_GETDLGCODE: {
        // Enter reaches the list instead of the page's default button.
        const auto* pending = reinterpret_cast<const MSG*>(lParam);
        const LRESULT code = DefSubclassProc(window, message, wParam, lParam);
        if (pending && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN)
            return code | DLGC_WANTMESSAGE;
        return code;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (self->HandleKey(static_cast<UINT>(wParam), message == WM_SYSKEYDOWN))
            return 0;
        break;
    case WM_CONTEXTMENU:
        // From the keyboard (Shift+F10, the menu key) the point is -1, -1.
        if (LOWORD(lParam) == 0xFFFF && HIWORD(lParam) == 0xFFFF) {
            ShowItemMenuForKeyboard(*self);
            return 0;
        }
        break;
    default:
        break;
    }
    if (message == WM_NCDESTROY) {
        KillTimer(window, kFillTimer);
        RemoveWindowSubclass(window, SubclassProc, kSubclassId);
        self->list_ = nullptr;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

bool RegistryItemList::HandleKey(UINT key, bool systemKey)
{
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool control = GetKeyState(VK_CONTROL) < 0;
    if (key == VK_F10 && shift && !control) {
        ShowItemMenuForKeyboard(*this);
        return true;
    }
    if (systemKey || shift || control)
        return false;
    if (key == VK_DELETE) {
        DeleteSelectedItems(*this);
        return true;
    }
    if (key == VK_RETURN) {
        int row = static_cast<int>(
            SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED | LVNI_SELECTED));
        if (row < 0)
            row = NextSelected(-1);
        EditRow(*this, row);
        return true;
    }
    return false;
}

void RegistryItemList::AttachImages(int bitmapId)
{
    if (!list_)
        return;
    LoadMaskedImageList(images_, bitmapId, 16);
    SendMessageA(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images_.Get()));
}

int RegistryItemList::AddRow(const RegistryItem& item, bool scrollIntoView)
{
    if (!list_)
        return -1;
    const int count = RowCount();
    const LPARAM id = nextTagId_++;
    LVITEMA row = {};
    row.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    row.iItem = count;
    row.pszText = const_cast<char*>(item.rootName.c_str());
    row.iImage = item.image;
    row.lParam = id;
    const int position = static_cast<int>(SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row)));
    if (position < 0)
        return position;
    tags_[id] = RowTag{position, item.type};
    SetCellText(position, 1, item.keyPath);
    SetCellText(position, 2, item.valueName);
    SetCellText(position, 3, item.dataText);
    if (scrollIntoView) {
        if (filling_)
            pendingScroll_ = position;
        else
            SendMessageA(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(position), FALSE);
    }
    return position;
}

void RegistryItemList::Clear()
{
    if (list_)
        SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
    tags_.clear();
}

void RegistryItemList::RemoveRow(int row)
{
    if (list_)
        SendMessageA(list_, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
}

int RegistryItemList::RowCount() const
{
    return list_ ? static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

std::string RegistryItemList::CellText(int row, int column) const
{
    return ListViewCellText(list_, row, column);
}

bool RegistryItemList::ReadRow(int row, RegistryItem& item) const
{
    if (!list_ || row < 0 || row >= RowCount())
        return false;
    item.rootName = CellText(row, 0);
    item.keyPath = CellText(row, 1);
    item.valueName = CellText(row, 2);
    item.dataText = CellText(row, 3);
    LVITEMA entry = {};
    entry.mask = LVIF_IMAGE;
    entry.iItem = row;
    SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&entry));
    item.image = entry.iImage;
    item.type = Tag(row).type;
    return true;
}

RowTag RegistryItemList::Tag(int row) const
{
    LVITEMA entry = {};
    entry.mask = LVIF_PARAM;
    entry.iItem = row;
    if (!list_ || !SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&entry)))
        return RowTag{};
    const auto found = tags_.find(entry.lParam);
    return found != tags_.end() ? found->second : RowTag{};
}

void RegistryItemList::SetCellText(int row, int column, const std::string& text)
{
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(list_, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int RegistryItemList::SelectedCount() const
{
    return list_ ? static_cast<int>(SendMessageA(list_, LVM_GETSELECTEDCOUNT, 0, 0)) : 0;
}

int RegistryItemList::NextSelected(int row) const
{
    if (!list_)
        return -1;
    return static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED));
}

std::vector<int> RegistryItemList::SelectedRows() const
{
    std::vector<int> rows;
    for (int row = NextSelected(-1); row >= 0; row = NextSelected(row))
        rows.push_back(row);
    return rows;
}

void RegistryItemList::SetSelected(int row, bool selected)
{
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void RegistryItemList::SelectAll()
{
    SetSelected(-1, true);
}

void RegistryItemList::SelectNone()
{
    SetSelected(-1, false);
}

void RegistryItemList::InvertSelection()
{
    const int count = RowCount();
    for (int row = 0; row < count; ++row) {
        const bool selected =
            (SendMessageA(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED) != 0;
        SetSelected(row, !selected);
    }
}

void RegistryItemList::SortByColumn(int column)
{
    if (list_)
        SortListByColumn(list_, column, sortDescending_);
}

bool RegistryItemList::HandleNotify(const NMHDR* header, LRESULT& result)
{
    if (!list_ || header->hwndFrom != list_)
        return false;
    switch (header->code) {
    case LVN_DELETEITEM:
        tags_.erase(reinterpret_cast<const NMLISTVIEW*>(header)->lParam);
        result = 0;
        return true;
    case LVN_DELETEALLITEMS:
        tags_.clear();
        result = FALSE; // keep the per-row notices
        return true;
    case NM_DBLCLK: {
        const int row = reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem;
        if (row >= 0)
            EditRow(*this, row);
        result = 0;
        return true;
    }
    case NM_RCLICK:
        ShowItemMenu(*this);
        result = 0;
        return true;
    case LVN_COLUMNCLICK:
        SortByColumn(reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
        result = 0;
        return true;
    default:
        return false;
    }
}
