// How a page's worker hands its rows and status texts to the window (see
// ListFeeder.h).
#include "ui/ListFeeder.h"

#include "ui/RegistryItemList.h"
#include "win32/WideText.h"

#include <iterator>
#include <utility>

namespace {
// Longest time a row or status text waits before it is handed over: the
// list grows and the status line changes twice a second. Each hand-over
// costs the window a count change, a scroll and a repaint of the list, and
// under Wine that work competes with the worker's registry reads for the
// same server, so handing over more often slows the scan itself.
constexpr DWORD kHandOverMs = 500;

// Under Wine the window's list updates and the worker's registry reads go
// through the same server: while the worker reads on, each update takes
// several times longer, and the window stays busy when the user clicks
// Stop. So the worker holds off before its next key while the window takes
// a batch, but never longer than this.
constexpr DWORD kLongestWaitForWindowMs = 100;
} // namespace

unsigned ResultQueue::BeginRun()
{
    std::lock_guard<std::mutex> lock(mutex_);
    pending_ = ResultBatch();
    announced_ = false;
    open_ = true;
    return ++run_;
}

ResultBatch ResultQueue::Take(WPARAM run)
{
    std::lock_guard<std::mutex> lock(mutex_);
    ResultBatch batch;
    if (!open_ || run != run_)
        return batch;
    std::swap(batch, pending_);
    announced_ = false;
    return batch;
}

ResultBatch ResultQueue::EndRun()
{
    std::lock_guard<std::mutex> lock(mutex_);
    ResultBatch batch;
    if (open_)
        std::swap(batch, pending_);
    pending_ = ResultBatch();
    announced_ = false;
    open_ = false;
    return batch;
}

void ResultQueue::Put(ResultBatch& batch, HWND window, unsigned run)
{
    bool post = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (open_ && run == run_) {
            const int offset = static_cast<int>(pending_.rows.size());
            if (pending_.rows.empty())
                pending_.rows.swap(batch.rows);
            else
                pending_.rows.insert(pending_.rows.end(), std::make_move_iterator(batch.rows.begin()),
                                     std::make_move_iterator(batch.rows.end()));
            if (batch.scrollRow >= 0)
                pending_.scrollRow = offset + batch.scrollRow;
            if (batch.statusChanged) {
                pending_.status = std::move(batch.status);
                pending_.statusChanged = true;
            }
            pending_.steps.insert(pending_.steps.end(), batch.steps.begin(), batch.steps.end());
            pending_.finished = pending_.finished || batch.finished;
            post = !announced_;
            announced_ = true;
        }
    }
    batch = ResultBatch();
    if (post && !PostMessageW(window, kResultsWaitingMessage, static_cast<WPARAM>(run), 0)) {
        // Nothing is on its way after all: the next batch tries again.
        std::lock_guard<std::mutex> lock(mutex_);
        announced_ = false;
    }
}

ListFeeder::ListFeeder(ResultQueue& queue, HWND window, unsigned run)
    : queue_(queue), window_(window), run_(run), lastHandOver_(GetTickCount())
{
}

ListFeeder::~ListFeeder()
{
    HandOver(false);
}

void ListFeeder::AddRow(const RegistryItem& item, bool scrollIntoView)
{
    if (scrollIntoView)
        collected_.scrollRow = static_cast<int>(collected_.rows.size());
    collected_.rows.push_back(item);
    FlushIfDue();
}

void ListFeeder::ShowStatus(std::string text)
{
    collected_.status = std::move(text);
    collected_.statusChanged = true;
    pathChanged_ = false;
    FlushIfDue();
}

void ListFeeder::ShowPath(const std::string& path)
{
    // Timed by the clock, not by the number of sleeps: a Sleep(1) can last a
    // whole scheduler tick.
    const DWORD start = GetTickCount();
    while (queue_.WindowBusy() && GetTickCount() - start < kLongestWaitForWindowMs)
        Sleep(1);
    path_ = path;
    pathChanged_ = true;
    FlushIfDue();
}

void ListFeeder::EndStep(int step, int rows)
{
    collected_.steps.push_back(WorkStepEnd{step, rows});
}

void ListFeeder::Flush()
{
    HandOver(false);
}

void ListFeeder::Finish()
{
    HandOver(true);
}

void ListFeeder::FlushIfDue()
{
    if (GetTickCount() - lastHandOver_ >= kHandOverMs)
        HandOver(false);
}

void ListFeeder::HandOver(bool finished)
{
    lastHandOver_ = GetTickCount();
    if (pathChanged_ && format_) {
        collected_.status = format_(path_);
        collected_.statusChanged = true;
    }
    pathChanged_ = false;
    if (collected_.Empty() && !finished)
        return;
    collected_.finished = finished;
    queue_.Put(collected_, window_, run_);
}

void ShowResultBatch(const ResultBatch& batch, RegistryItemList& list, HWND status)
{
    list.AppendRows(batch.rows, batch.scrollRow);
    if (batch.statusChanged && status)
        SetWindowTextW(status, Widen(batch.status).c_str());
}
