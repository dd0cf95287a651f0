// A page's worker thread (see WorkerThread.h).
#include "win32/WorkerThread.h"

WorkerThread::~WorkerThread()
{
    Stop();
}

bool WorkerThread::Start(HWND window, Body body)
{
    if (running_.load())
        return false;
    Join();
    window_ = window;
    body_ = std::move(body);
    stop_.store(false);
    running_.store(true);
    DWORD id = 0;
    thread_.Reset(CreateThread(nullptr, 0, ThreadMain, this, 0, &id));
    if (!thread_) {
        running_.store(false);
        return false;
    }
    return true;
}

void WorkerThread::Stop()
{
    if (!thread_)
        return;
    stop_.store(true);
    // Serve the worker's requests (which are dropped now) until it has ended.
    HANDLE thread = thread_.Get();
    for (;;) {
        const DWORD wait = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
        if (wait != WAIT_OBJECT_0 + 1)
            break;
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    thread_.Reset();
    running_.store(false);
}

void WorkerThread::Join()
{
    if (thread_) {
        WaitForSingleObject(thread_.Get(), INFINITE);
        thread_.Reset();
    }
}

bool WorkerThread::Run(const std::function<void()>& request)
{
    if (stop_.load())
        return false;
    Request message = {this, &request, false, false};
    SendMessageW(window_, kWorkerRequestMessage, 0, reinterpret_cast<LPARAM>(&message));
    return message.done;
}

bool WorkerThread::Finish(const std::function<void()>& request)
{
    if (stop_.load())
        return false;
    Request message = {this, &request, true, false};
    SendMessageW(window_, kWorkerRequestMessage, 0, reinterpret_cast<LPARAM>(&message));
    return message.done;
}

bool WorkerThread::HandleRequest(UINT message, WPARAM, LPARAM lParam)
{
    if (message != kWorkerRequestMessage)
        return false;
    auto* request = reinterpret_cast<Request*>(lParam);
    if (!request || request->worker->stop_.load())
        return true;
    (*request->action)();
    request->done = true;
    if (request->finishing)
        request->worker->running_.store(false);
    return true;
}

DWORD WINAPI WorkerThread::ThreadMain(void* parameter)
{
    auto* worker = static_cast<WorkerThread*>(parameter);
    {
        ComApartment com;
        worker->body_(*worker);
    }
    return 0;
}
