// Helpers of the report list views (see ListViewHelpers.h).
#include "ui/ListViewHelpers.h"

#include <commctrl.h>
#include <mbstring.h>

#include <cstdlib>
#include <vector>

namespace {

struct SortContext {
    HWND list;
    int column;
    LPARAM kind;
    bool descending;
};

// Texts are compared on their first 259 bytes.
constexpr int kSortTextSize = 260;

void RowText(HWND list, LPARAM itemData, int column, char (&text)[kSortTextSize])
{
    text[0] = '\0';
    LVFINDINFOA find = {};
    find.flags = LVFI_PARAM;
    find.lParam = itemData;
    const int row = static_cast<int>(SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                                  reinterpret_cast<LPARAM>(&find)));
    if (row < 0)
        return;
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = kSortTextSize;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM contextData)
{
    const auto* context = reinterpret_cast<const SortContext*>(contextData);
    int c = 0;
    if (context->kind == kSortAsText || context->kind == kSortAsNumber) {
        char firstText[kSortTextSize];
        char secondText[kSortTextSize];
        RowText(context->list, first, context->column, firstText);
        RowText(context->list, second, context->column, secondText);
        if (context->kind == kSortAsText) {
            c = _mbscmp(reinterpret_cast<const unsigned char*>(secondText),
                        reinterpret_cast<const unsigned char*>(firstText));
        } else {
            const double difference = std::atof(secondText) - std::atof(firstText);
            c = difference > 0 ? 1 : (difference < 0 ? -1 : 0);
        }
    }
    return context->descending ? c : -c;
}

} // namespace

void InsertSortableColumn(HWND list, int position, const char* caption, int width, LPARAM sortKind)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<char*>(caption);
    column.iSubItem = position;
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&column));
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    if (header) {
        HDITEMA item = {};
        item.mask = HDI_LPARAM;
        item.lParam = sortKind;
        SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&item));
    }
}

void SortListByColumn(HWND list, int column, bool& descending)
{
    SortContext context = {list, column, -1, descending};
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    if (header) {
        HDITEMA item = {};
        item.mask = HDI_LPARAM;
        if (SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item)))
            context.kind = item.lParam;
    }
    SendMessageA(list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&context),
                 reinterpret_cast<LPARAM>(CompareRows));
    descending = !descending;
}

std::string ListViewCellText(HWND list, int row, int column)
{
    std::vector<char> buffer(256);
    for (;;) {
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const int length = static_cast<int>(
            SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (length < static_cast<int>(buffer.size()) - 1)
            return std::string(buffer.data(), static_cast<std::size_t>(length > 0 ? length : 0));
        buffer.resize(buffer.size() * 2);
    }
}
