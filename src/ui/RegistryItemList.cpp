// The list of registry entries (see RegistryItemList.h).
#include "ui/RegistryItemList.h"

#include "ui/DeleteItems.h"
#include "ui/ItemMenu.h"
#include "ui/ListViewHelpers.h"
#include "ui/MaskedImageList.h"
#include "win32/LanguageWin.h"
#include "win32/Win32Platform.h"
#include "win32/WideText.h"

#include <string_view>
#include <vector>

bool RegistryItemList::sortDescending_ = true;

namespace {
constexpr int kColumnWidths[4] = {100, 300, 100, 300};
const char* const kColumnKeys[4] = {"_RegistryListViewCol1", "_RegistryListViewCol2",
                                    "_RegistryListViewCol3", "_RegistryListViewCol4"};
constexpr DWORD kListStyles = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES;
constexpr UINT_PTR kSubclassId = 1;
} // namespace

void RegistryItemList::SetUp(HWND list)
{
    list_ = list;
    if (!list_)
        return;
    for (int column = 0; column < 4; ++column)
        InsertSortableColumn(list_, column, LookupText(kColumnKeys[column]), kColumnWidths[column],
                             kSortAsText);
    SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, kListStyles, kListStyles);
    // Its questions for row texts come in their wide forms, the only ones
    // answered, whatever the character set of the window it reports to.
    SendMessageW(list_, CCM_SETUNICODEFORMAT, TRUE, 0);
    // The list object owns its image list; the control must not destroy it too.
    SetWindowLongPtrW(list_, GWL_STYLE, GetWindowLongPtrW(list_, GWL_STYLE) | LVS_SHAREIMAGELISTS);
    SetWindowSubclass(list_, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    columns_.Attach(list_);
}

LRESULT CALLBACK RegistryItemList::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                UINT_PTR, DWORD_PTR data)
{
    auto* self = reinterpret_cast<RegistryItemList*>(data);
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
            SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED | LVNI_SELECTED));
        if (row < 0)
            row = NextSelected(-1);
        EditRow(*this, row);
        return true;
    }
    return false;
}

void RegistryItemList::AttachImages(int bitmapId, int dpi)
{
    if (!list_)
        return;
    LoadPictureStrip(images_, bitmapId, 16, dpi);
    SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images_.Get()));
}

int RegistryItemList::AddRow(const RegistryItem& item, bool scrollIntoView)
{
    AppendRows(std::vector<RegistryItem>{item}, scrollIntoView ? 0 : -1);
    return RowCount() - 1;
}

void RegistryItemList::AppendRows(const std::vector<RegistryItem>& items, int scrollRow)
{
    if (items.empty())
        return;
    const int first = RowCount();
    rows_.Append(items);
    if (!list_)
        return;
    // Only the new rows are painted, and the view stays where it is unless a
    // row asks to be scrolled into view.
    SendMessageW(list_, LVM_SETITEMCOUNT, static_cast<WPARAM>(RowCount()),
                 LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    if (scrollRow >= 0 && scrollRow < static_cast<int>(items.size()))
        SendMessageW(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(first + scrollRow), FALSE);
}

void RegistryItemList::Clear()
{
    rows_.Clear();
    if (list_)
        SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
}

void RegistryItemList::RemoveRow(int row)
{
    RemoveRows(std::vector<int>{row});
}

void RegistryItemList::RemoveRows(const std::vector<int>& rows)
{
    const int count = RowCount();
    std::vector<std::size_t> positions;
    std::vector<bool> gone(static_cast<std::size_t>(count), false);
    for (int row : rows) {
        if (row >= 0 && row < count) {
            positions.push_back(static_cast<std::size_t>(row));
            gone[static_cast<std::size_t>(row)] = true;
        }
    }
    if (positions.empty())
        return;
    std::vector<int> moved(static_cast<std::size_t>(count), -1);
    int next = 0;
    for (int row = 0; row < count; ++row) {
        if (!gone[static_cast<std::size_t>(row)])
            moved[static_cast<std::size_t>(row)] = next++;
    }
    const ListStates states = ReadStates();
    // The control keeps states by position: they are cleared where they are
    // and set again where the rows end up.
    ChangeSelection(states.selected, {});
    rows_.Remove(positions);
    if (!list_)
        return;
    SendMessageW(list_, LVM_SETITEMCOUNT, static_cast<WPARAM>(RowCount()), 0);
    if (states.allSelected && RowCount() > 0)
        SelectAll();
    else
        ChangeSelection({}, MovedRows(states.selected, moved));
    PlaceFocus(states, moved);
    InvalidateRect(list_, nullptr, TRUE);
}

std::string RegistryItemList::CellText(int row, int column) const
{
    if (row < 0)
        return std::string();
    return std::string(rows_.Cell(static_cast<std::size_t>(row), column));
}

bool RegistryItemList::ReadRow(int row, RegistryItem& item) const
{
    if (row < 0 || row >= RowCount())
        return false;
    item = rows_.Item(static_cast<std::size_t>(row));
    return true;
}

RowTag RegistryItemList::Tag(int row) const
{
    return row < 0 ? RowTag{} : rows_.Tag(static_cast<std::size_t>(row));
}

void RegistryItemList::SetCellText(int row, int column, const std::string& text)
{
    if (row < 0 || row >= RowCount())
        return;
    rows_.SetCell(static_cast<std::size_t>(row), column, text);
    if (list_)
        SendMessageW(list_, LVM_REDRAWITEMS, static_cast<WPARAM>(row), static_cast<LPARAM>(row));
}

int RegistryItemList::FocusedRow() const
{
    if (!list_)
        return -1;
    return static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

int RegistryItemList::SelectionMark() const
{
    return list_ ? static_cast<int>(SendMessageW(list_, LVM_GETSELECTIONMARK, 0, 0)) : -1;
}

void RegistryItemList::SetFocusedRow(int row)
{
    LVITEMW item = {};
    item.stateMask = LVIS_FOCUSED;
    item.state = LVIS_FOCUSED;
    SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

RegistryItemList::ListStates RegistryItemList::ReadStates() const
{
    ListStates states;
    if (!list_)
        return states;
    // Every row selected, or none, needs no list of rows.
    const int selected = SelectedCount();
    states.allSelected = selected > 0 && selected == RowCount();
    if (selected > 0 && !states.allSelected)
        states.selected = SelectedRows();
    states.focused = FocusedRow();
    states.mark = SelectionMark();
    return states;
}

std::vector<int> RegistryItemList::MovedRows(const std::vector<int>& rows, const std::vector<int>& moved)
{
    std::vector<int> result;
    result.reserve(rows.size());
    for (int row : rows) {
        if (row >= 0 && row < static_cast<int>(moved.size()) && moved[static_cast<std::size_t>(row)] >= 0)
            result.push_back(moved[static_cast<std::size_t>(row)]);
    }
    return result;
}

void RegistryItemList::ChangeSelection(const std::vector<int>& before, const std::vector<int>& after)
{
    if (!list_ || (before.empty() && after.empty()))
        return;
    // Only rows whose state differs are touched: each change is a message
    // with notifications of its own.
    const auto count = static_cast<std::size_t>(RowCount());
    std::vector<bool> wanted(count, false);
    std::vector<bool> had(count, false);
    for (int row : after) {
        if (row >= 0 && static_cast<std::size_t>(row) < count)
            wanted[static_cast<std::size_t>(row)] = true;
    }
    for (int row : before) {
        if (row < 0 || static_cast<std::size_t>(row) >= count)
            continue;
        had[static_cast<std::size_t>(row)] = true;
        if (!wanted[static_cast<std::size_t>(row)])
            SetSelected(row, false);
    }
    for (int row : after) {
        if (row >= 0 && static_cast<std::size_t>(row) < count && !had[static_cast<std::size_t>(row)]) {
            had[static_cast<std::size_t>(row)] = true;
            SetSelected(row, true);
        }
    }
}

void RegistryItemList::PlaceFocus(const ListStates& before, const std::vector<int>& moved)
{
    const auto movedTo = [&moved](int row) {
        return row >= 0 && row < static_cast<int>(moved.size()) ? moved[static_cast<std::size_t>(row)] : -1;
    };
    const int focusTo = movedTo(before.focused);
    if (focusTo >= 0) {
        SetFocusedRow(focusTo);
    } else {
        const int focused = FocusedRow();
        if (focused >= 0) {
            LVITEMW item = {};
            item.stateMask = LVIS_FOCUSED;
            SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(focused), reinterpret_cast<LPARAM>(&item));
        }
    }
    SendMessageW(list_, LVM_SETSELECTIONMARK, 0, movedTo(before.mark));
}

int RegistryItemList::SelectedCount() const
{
    return list_ ? static_cast<int>(SendMessageW(list_, LVM_GETSELECTEDCOUNT, 0, 0)) : 0;
}

int RegistryItemList::NextSelected(int row) const
{
    if (!list_)
        return -1;
    return static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED));
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
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
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
            (SendMessageW(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED) != 0;
        SetSelected(row, !selected);
    }
}

void RegistryItemList::SortByColumn(int column)
{
    const ListStates states = ReadStates();
    const std::vector<std::size_t> order = rows_.SortByColumn(column, sortDescending_);
    sortDescending_ = !sortDescending_;
    if (!list_)
        return;
    // The control still holds the states at the old positions; with every
    // row selected the selection stays as it is.
    const std::vector<int> moved(order.begin(), order.end());
    ChangeSelection(states.selected, MovedRows(states.selected, moved));
    PlaceFocus(states, moved);
    InvalidateRect(list_, nullptr, TRUE);
}

void RegistryItemList::FillDisplayInfo(NMLVDISPINFOW& info)
{
    LVITEMW& item = info.item;
    const bool exists = item.iItem >= 0 && item.iItem < RowCount();
    const auto row = static_cast<std::size_t>(exists ? item.iItem : 0);
    if (item.mask & LVIF_TEXT) {
        // The control reads the text where pszText points, so a text longer
        // than its buffer is shown whole. The buffers take turns, and each
        // keeps its text through the notifications after it.
        nextDisplayText_ = (nextDisplayText_ + 1) % displayTexts_.size();
        std::wstring& text = displayTexts_[nextDisplayText_];
        text = exists ? Widen(rows_.Cell(row, item.iSubItem)) : std::wstring();
        item.pszText = &text[0];
    }
    if ((item.mask & LVIF_IMAGE) && exists)
        item.iImage = rows_.Image(row);
}

int RegistryItemList::FindRow(const NMLVFINDITEMW& find) const
{
    // Typing in the list finds the next row whose first column begins with
    // the typed text, as in any list.
    if (!(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.lvfi.psz)
        return -1;
    const std::string wanted = NarrowZ(find.lvfi.psz);
    const int count = RowCount();
    if (count == 0 || wanted.empty())
        return -1;
    const std::wstring wideWanted = Widen(wanted);
    const int start = find.iStart >= 0 && find.iStart < count ? find.iStart : 0;
    const bool partial = (find.lvfi.flags & LVFI_PARTIAL) != 0;
    const bool wrap = (find.lvfi.flags & LVFI_WRAP) != 0;
    const int steps = wrap ? count : count - start;
    for (int step = 0; step < steps; ++step) {
        const int row = (start + step) % count;
        const std::string_view text = rows_.Cell(static_cast<std::size_t>(row), 0);
        if (partial ? text.size() < wanted.size() : text.size() != wanted.size())
            continue;
        const std::wstring head = Widen(text.substr(0, wanted.size()));
        if (CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, head.data(), static_cast<int>(head.size()),
                           wideWanted.data(), static_cast<int>(wideWanted.size())) == CSTR_EQUAL)
            return row;
    }
    return -1;
}

bool RegistryItemList::HandleNotify(NMHDR* header, LRESULT& result)
{
    if (!list_ || header->hwndFrom != list_)
        return false;
    switch (header->code) {
    case LVN_GETDISPINFOW:
        FillDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(header));
        result = 0;
        return true;
    case LVN_ODFINDITEMW:
        result = FindRow(*reinterpret_cast<const NMLVFINDITEMW*>(header));
        return true;
    case LVN_DELETEALLITEMS:
        result = TRUE; // no notice per row
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
