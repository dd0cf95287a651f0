// Resizing by anchors (see DialogLayout.h).
#include "ui/DialogLayout.h"

#include "core/DpiScale.h"

void DialogLayout::Attach(HWND parent, const AnchorRule* rules, std::size_t count)
{
    parent_ = parent;
    entries_.clear();
    RECT client = {};
    GetClientRect(parent, &client);
    for (std::size_t i = 0; i < count; ++i) {
        HWND control = GetDlgItem(parent, rules[i].controlId);
        if (!control)
            continue;
        RECT rect = {};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
        Entry entry = {};
        entry.control = control;
        entry.anchors = rules[i].anchors;
        entry.margins.left = rect.left;
        entry.margins.top = rect.top;
        entry.margins.right = client.right - rect.right;
        entry.margins.bottom = client.bottom - rect.bottom;
        entry.width = rect.right - rect.left;
        entry.height = rect.bottom - rect.top;
        entries_.push_back(entry);
    }
}

void DialogLayout::Apply(int clientWidth, int clientHeight) const
{
    if (entries_.empty())
        return;
    HDWP batch = BeginDeferWindowPos(static_cast<int>(entries_.size()));
    for (const Entry& e : entries_) {
        int left = e.margins.left;
        int width = e.width;
        if (e.anchors & kAnchorRight) {
            if (e.anchors & kAnchorLeft)
                width = clientWidth - e.margins.right - left;
            else
                left = clientWidth - e.margins.right - width;
        }
        int top = e.margins.top;
        int height = e.height;
        if (e.anchors & kAnchorBottom) {
            if (e.anchors & kAnchorTop)
                height = clientHeight - e.margins.bottom - top;
            else
                top = clientHeight - e.margins.bottom - height;
        }
        if (width < 0)
            width = 0;
        if (height < 0)
            height = 0;
        const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
        if (batch)
            batch = DeferWindowPos(batch, e.control, nullptr, left, top, width, height, flags);
        else
            SetWindowPos(e.control, nullptr, left, top, width, height, flags);
    }
    if (batch)
        EndDeferWindowPos(batch);
    InvalidateRect(parent_, nullptr, TRUE);
}

void DialogLayout::ScaleFor(int fromDpi, int toDpi)
{
    for (Entry& e : entries_) {
        e.margins.left = ScaleLength(e.margins.left, toDpi, fromDpi);
        e.margins.top = ScaleLength(e.margins.top, toDpi, fromDpi);
        e.margins.right = ScaleLength(e.margins.right, toDpi, fromDpi);
        e.margins.bottom = ScaleLength(e.margins.bottom, toDpi, fromDpi);
        e.width = ScaleLength(e.width, toDpi, fromDpi);
        e.height = ScaleLength(e.height, toDpi, fromDpi);
    }
}
