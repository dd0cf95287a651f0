// Helpers of the report list views (see ListViewHelpers.h).
#include "ui/ListViewHelpers.h"

#include "win32/WideText.h"

#include <commctrl.h>

#include <cstdlib>
#include <vector>

namespace {

struct SortContext {
    HWND list;
    int column;
    LPARAM kind;
    bool descending;
};

// The text of a cell of the row whose item data is itemData.
std::string RowText(HWND list, LPARAM itemData, int column)
{
    LVFINDINFOW find = {};
    find.flags = LVFI_PARAM;
    find.lParam = itemData;
    const int row = static_cast<int>(SendMessageW(list, LVM_FINDITEMW, static_cast<WPARAM>(-1),
                                                  reinterpret_cast<LPARAM>(&find)));
    return row < 0 ? std::string() : ListViewCellText(list, row, column);
}

int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM contextData)
{
    const auto* context = reinterpret_cast<const SortContext*>(contextData);
    int c = 0;
    if (context->kind == kSortAsText || context->kind == kSortAsNumber) {
        const std::string firstText = RowText(context->list, first, context->column);
        const std::string secondText = RowText(context->list, second, context->column);
        if (context->kind == kSortAsText) {
            // UTF-8 bytes in order sort as their characters do.
            c = secondText.compare(firstText);
        } else {
            const double difference = std::atof(secondText.c_str()) - std::atof(firstText.c_str());
            c = difference > 0 ? 1 : (difference < 0 ? -1 : 0);
        }
    }
    return context->descending ? c : -c;
}

} // namespace

void InsertSortableColumn(HWND list, int position, const std::string& caption, int width, LPARAM sortKind)
{
    std::wstring text = Widen(caption);
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = &text[0];
    column.iSubItem = position;
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&column));
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    if (header) {
        HDITEMW item = {};
        item.mask = HDI_LPARAM;
        item.lParam = sortKind;
        SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&item));
    }
}

void SortListByColumn(HWND list, int column, bool& descending)
{
    SortContext context = {list, column, -1, descending};
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    if (header) {
        HDITEMW item = {};
        item.mask = HDI_LPARAM;
        if (SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item)))
            context.kind = item.lParam;
    }
    SendMessageW(list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&context),
                 reinterpret_cast<LPARAM>(CompareRows));
    descending = !descending;
}

std::string ListViewCellText(HWND list, int row, int column)
{
    std::vector<wchar_t> buffer(256);
    for (;;) {
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const int length = static_cast<int>(
            SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (length < static_cast<int>(buffer.size()) - 1)
            return Narrow(buffer.data(), static_cast<std::size_t>(length > 0 ? length : 0));
        buffer.resize(buffer.size() * 2);
    }
}
