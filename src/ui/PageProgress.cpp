// The progress bar of a page's running work (see PageProgress.h).
#include "ui/PageProgress.h"

#include <commctrl.h>

void PageProgressBar::Attach(HWND page, int barId)
{
    page_ = page;
    bar_ = GetDlgItem(page, barId);
    if (bar_)
        ShowWindow(bar_, SW_HIDE);
}

void PageProgressBar::Start(int total)
{
    total_ = total < 0 ? 0 : total;
    if (bar_) {
        const bool moving = total_ == 0;
        // A marquee bar moves by itself; a bar of steps starts from zero.
        SendMessageW(bar_, PBM_SETMARQUEE, moving ? TRUE : FALSE, 0);
        if (!moving) {
            SendMessageW(bar_, PBM_SETRANGE32, 0, total_);
            SendMessageW(bar_, PBM_SETPOS, 0, 0);
        }
        ShowWindow(bar_, SW_SHOWNA);
    }
    Report(0, total_);
}

void PageProgressBar::Step(int done)
{
    if (total_ <= 0)
        return;
    if (bar_)
        SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(done), 0);
    Report(done, total_);
}

void PageProgressBar::Stop()
{
    if (total_ < 0)
        return;
    total_ = -1;
    if (bar_) {
        SendMessageW(bar_, PBM_SETMARQUEE, FALSE, 0);
        ShowWindow(bar_, SW_HIDE);
    }
    Report(0, -1);
}

void PageProgressBar::Report(int done, int total) const
{
    HWND top = page_ ? GetAncestor(page_, GA_ROOT) : nullptr;
    if (!top || top == page_)
        return;
    PageProgressReport report;
    report.page = page_;
    report.done = done;
    report.total = total;
    SendMessageW(top, kPageProgressMessage, 0, reinterpret_cast<LPARAM>(&report));
}
