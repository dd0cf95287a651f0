// The column widths of a report list (see ListColumns.h).
#include "ui/ListColumns.h"

#include "core/WindowPlacement.h"

#include <commctrl.h>

#include <utility>

namespace {
// Beside the list's other subclasses.
constexpr UINT_PTR kSubclassId = 0x434F4C;
// A remembered column is never wider than this many times the list.
constexpr int kWidestShare = 4;
} // namespace

ListColumns::ListColumns(std::vector<int> weights) : weights_(std::move(weights)) {}

ListColumns::~ListColumns()
{
    if (list_ && IsWindow(list_))
        RemoveWindowSubclass(list_, SubclassProc, kSubclassId);
}

void ListColumns::Attach(HWND list)
{
    list_ = list;
    if (list_)
        SetWindowSubclass(list_, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

int ListColumns::ClientWidth() const
{
    RECT client = {};
    GetClientRect(list_, &client);
    return client.right - client.left;
}

std::vector<int> ListColumns::Widths() const
{
    std::vector<int> widths;
    for (std::size_t column = 0; column < weights_.size(); ++column)
        widths.push_back(static_cast<int>(SendMessageW(list_, LVM_GETCOLUMNWIDTH, column, 0)));
    return widths;
}

void ListColumns::Fit()
{
    if (!list_)
        return;
    const std::vector<int> widths = FitColumnWidths(weights_, ClientWidth(), span_);
    fitting_ = true;
    for (std::size_t column = 0; column < widths.size(); ++column)
        SendMessageW(list_, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(widths[column], 0));
    fitting_ = false;
}

void ListColumns::Restore(const ColumnLayout& layout)
{
    if (!list_ || layout.listWidth <= 0)
        return;
    const std::vector<int> widths =
        ClampColumnWidths(layout.widths, weights_.size(), kWidestShare * layout.listWidth);
    if (widths.empty())
        return;
    weights_ = widths;
    span_ = layout.listWidth;
    Fit();
}

ColumnLayout ListColumns::Current() const
{
    ColumnLayout layout;
    if (list_) {
        layout.widths = Widths();
        layout.listWidth = ClientWidth();
    }
    return layout;
}

LRESULT CALLBACK ListColumns::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR data)
{
    auto* self = reinterpret_cast<ListColumns*>(data);
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHEADERW*>(lParam);
        const bool widthChanged =
            header->hdr.code == HDN_ITEMCHANGEDW && header->pitem && (header->pitem->mask & HDI_WIDTH);
        const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
        // The user's widths, measured on the list as it is now, are the new
        // shares.
        if (widthChanged && !self->fitting_ && self->ClientWidth() > 0) {
            self->weights_ = self->Widths();
            self->span_ = self->ClientWidth();
        }
        return result;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, SubclassProc, kSubclassId);
        self->list_ = nullptr;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}
