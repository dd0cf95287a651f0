// How a page's worker hands its rows and status texts to the window.
//
// The worker collects rows and the latest status text and, a few times a
// second, moves them into a ResultQueue guarded by a mutex. When the queue
// was empty it posts one message to the window; the window then takes the
// whole batch at once and puts it into its list. The worker never waits for
// the window to answer, so a stop can simply join it; it only holds off its
// next key, for a bounded time, while the window is putting a batch into its
// list. Each run of the work has its own number: once the window has
// closed a run (after joining its worker) the queue turns away that run's
// messages still on their way, so nothing reaches the list after a stop.
#pragma once

#include "core/RegistryItem.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class RegistryItemList;

// The message that tells a window that a batch waits in its queue; the
// wParam is the number of the run that posted it.
constexpr UINT kResultsWaitingMessage = WM_APP + 2;

// One step of the work that has ended (for the cleaner, one check), with
// the number of rows it handed over.
struct WorkStepEnd {
    int step = 0;
    int rows = 0;
};

// What a worker has handed over and the window has not yet taken.
struct ResultBatch {
    std::vector<RegistryItem> rows;
    // The last of `rows` that asked to be scrolled into view; -1 for none.
    int scrollRow = -1;
    bool statusChanged = false;
    std::string status;
    // The steps that ended, in order.
    std::vector<WorkStepEnd> steps;
    // The work has ended; nothing follows in this run.
    bool finished = false;

    bool Empty() const { return rows.empty() && !statusChanged && steps.empty() && !finished; }
};

class ResultQueue {
public:
    ResultQueue() = default;
    ResultQueue(const ResultQueue&) = delete;
    ResultQueue& operator=(const ResultQueue&) = delete;

    // --- For the window's thread ---
    // Starts a new run before its worker starts: whatever was queued is
    // dropped. Returns the run's number, which the worker's feeder posts.
    unsigned BeginRun();
    // Takes everything queued when the message came from the current run
    // (an empty batch otherwise).
    ResultBatch Take(WPARAM run);
    // Ends the current run once its worker was joined: returns what it
    // queued and turns away its messages that are still on their way.
    ResultBatch EndRun();

    // Marks the time the window spends putting a batch into its list.
    void SetWindowBusy(bool busy) { windowBusy_.store(busy); }

    // --- For the worker ---
    // Moves `batch` into the queue (leaving it empty) and posts one message
    // to `window` unless one is on its way already. Batches of a run that
    // has ended are dropped.
    void Put(ResultBatch& batch, HWND window, unsigned run);
    bool WindowBusy() const { return windowBusy_.load(); }

private:
    std::mutex mutex_;
    ResultBatch pending_;
    bool announced_ = false; // a message for pending_ is on its way
    unsigned run_ = 0;
    bool open_ = false;
    std::atomic<bool> windowBusy_{false};
};

// The worker's side: collects rows and the latest status and hands them to
// the queue a few times a second.
class ListFeeder {
public:
    // Turns the latest walked key path into the status text; called only
    // at hand-overs, on the worker's thread.
    using StatusFormat = std::function<std::string(const std::string& path)>;

    ListFeeder(ResultQueue& queue, HWND window, unsigned run);
    // Hands over whatever is still collected.
    ~ListFeeder();
    ListFeeder(const ListFeeder&) = delete;
    ListFeeder& operator=(const ListFeeder&) = delete;

    // Queues a row; rows reach the list in the order they were added.
    void AddRow(const RegistryItem& item, bool scrollIntoView = true);
    // The latest status text; shown at the next hand-over.
    void ShowStatus(std::string text);
    // The key being walked: costs a copy of the path; the status text is
    // made from the latest one with `format` at the next hand-over.
    void SetStatusFormat(StatusFormat format) { format_ = std::move(format); }
    // Before the next key is read, waits while the window is putting a
    // batch into its list (see ListFeeder.cpp).
    void ShowPath(const std::string& path);
    // Step `step` has ended after handing over `rows` rows; told to the
    // window with the next hand-over.
    void EndStep(int step, int rows);
    // Hands everything collected to the window now.
    void Flush();
    // The last hand-over of the run: everything collected, marked finished.
    void Finish();

private:
    void FlushIfDue();
    void HandOver(bool finished);

    ResultQueue& queue_;
    HWND window_;
    unsigned run_;
    ResultBatch collected_;
    StatusFormat format_;
    std::string path_;
    bool pathChanged_ = false;
    DWORD lastHandOver_ = 0;
};

// On the window's thread: puts a batch's rows into `list` and its status
// text into `status` (when not null).
void ShowResultBatch(const ResultBatch& batch, RegistryItemList& list, HWND status);
