// A page's worker thread and the way it reaches the user-interface thread.
//
// The worker never touches a control itself. It hands a change to the
// window's thread either as a synchronous request it waits for (Run,
// Finish), or, for a stream of results, through a queue its owner drains on
// a posted message, without waiting for the window at all. Stopping sets a
// flag the worker tests at every step, then waits for the worker to end
// while still serving its requests, so the two can never wait for each
// other; from the moment a stop begins every further request is dropped, so
// no request changes the screen once Stop has returned. An owner that takes
// results by a queue takes what was queued once Stop has returned and turns
// away what is still on its way.
#pragma once

#include "win32/Win32Handles.h"

#include <windows.h>

#include <atomic>
#include <functional>

// The private message that carries a request to the window's thread.
constexpr UINT kWorkerRequestMessage = WM_APP + 1;

class WorkerThread {
public:
    using Body = std::function<void(WorkerThread& worker)>;

    WorkerThread() = default;
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts `body` on a new thread whose requests `window` carries out. A
    // worker that has ended is joined first; false while one is running or
    // when the thread cannot be created.
    bool Start(HWND window, Body body);
    // Sets the stop flag and waits for the worker to end, serving its
    // requests meanwhile (they are dropped). Does nothing without a worker.
    void Stop();
    // True from Start until the worker's Finish request was carried out or
    // it was stopped (or, for a worker that ended without Finish, joined).
    bool IsRunning() const { return running_.load(); }

    // --- For the worker ---
    const std::atomic<bool>& StopFlag() const { return stop_; }
    bool StopRequested() const { return stop_.load(); }
    // Carries out `request` on the window's thread and waits for it; false
    // when it was dropped because a stop has begun.
    bool Run(const std::function<void()>& request);
    // The worker's last request: carried out on the window's thread, after
    // which the worker counts as finished. Dropped after a stop has begun.
    bool Finish(const std::function<void()>& request);

    // --- For the window procedure ---
    // Carries out a request message; true when the message was one.
    static bool HandleRequest(UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct Request {
        WorkerThread* worker;
        const std::function<void()>* action;
        bool finishing;
        bool done;
    };
    static DWORD WINAPI ThreadMain(void* parameter);
    void Join();

    HWND window_ = nullptr;
    Body body_;
    UniqueHandle thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{false};
};
