// A page's worker and the user-interface thread: requests carried out in
// order; rows handed over through the result queue reach a real list in
// order without the worker ever waiting for the window; a stop that keeps
// every row queued before it and lets nothing in afterwards; and a window
// destroyed with messages still on their way.
#include "win32/WideText.h"
#include "win32/WorkerThread.h"
#include "ui/ListFeeder.h"
#include "ui/RegistryItemList.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <atomic>
#include <memory>

namespace {

// A window whose procedure carries out worker requests and takes batches
// from its result queue into an owner-data list.
class RequestWindow {
public:
    RequestWindow()
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSW cls = {};
        cls.lpfnWndProc = Procedure;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"QuorvaneWorkerTestWindow";
        RegisterClassW(&cls);
        window_ = CreateWindowExW(0, cls.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr,
                                  cls.hInstance, this);
        HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA, 0, 0,
                                    580, 300, window_, nullptr, cls.hInstance, nullptr);
        status_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 310, 580, 20, window_, nullptr,
                                  cls.hInstance, nullptr);
        list_.SetUp(list);
    }
    ~RequestWindow()
    {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }

    std::string Status() const
    {
        wchar_t text[256] = {};
        GetWindowTextW(status_, text, sizeof text / sizeof text[0]);
        return NarrowZ(text);
    }

    HWND window_ = nullptr;
    HWND status_ = nullptr;
    RegistryItemList list_;
    ResultQueue queue_;
    int batchMessages_ = 0;
    int rowsWhenFinished_ = -1;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<RequestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (WorkerThread::HandleRequest(message, wParam, lParam))
            return 0;
        if (self && message == kResultsWaitingMessage) {
            ++self->batchMessages_;
            const ResultBatch batch = self->queue_.Take(wParam);
            ShowResultBatch(batch, self->list_, self->status_);
            if (batch.finished)
                self->rowsWhenFinished_ = self->list_.RowCount();
            return 0;
        }
        if (self && message == WM_NOTIFY) {
            LRESULT result = 0;
            if (self->list_.HandleNotify(reinterpret_cast<NMHDR*>(lParam), result))
                return result;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
};

// Serves messages until `done` holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 20000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

RegistryItem Row(int number)
{
    RegistryItem item;
    item.rootName = "HKEY_CURRENT_USER";
    item.keyPath = "Software\\Row" + std::to_string(number);
    item.type = 1;
    return item;
}

// The text the control shows in a cell, asked of the control itself.
std::string ShownText(HWND list, int row, int column)
{
    wchar_t text[256] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text / sizeof text[0];
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return NarrowZ(text);
}

} // namespace

TEST(WorkerThread, RequestsAreCarriedOutInOrderAndTheLastOneEndsTheWorker)
{
    RequestWindow host;
    WorkerThread worker;
    std::vector<int> seen;
    ASSERT_TRUE(worker.Start(host.window_, [&](WorkerThread& self) {
        for (int i = 0; i < 100; ++i)
            self.Run([&seen, i] { seen.push_back(i); });
        self.Finish([&seen] { seen.push_back(-1); });
    }));
    EXPECT_TRUE(worker.IsRunning());
    // A second start while one runs is refused.
    EXPECT_FALSE(worker.Start(host.window_, [](WorkerThread&) {}));
    ASSERT_TRUE(PumpUntil([&] { return !worker.IsRunning(); }));
    ASSERT_EQ(seen.size(), 101u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(seen[static_cast<std::size_t>(i)], i);
    EXPECT_EQ(seen.back(), -1);
    worker.Stop(); // joins the finished worker
}

TEST(WorkerThread, QueuedRowsArriveInOrderWithoutTheWorkerWaitingAndTheEndComesLast)
{
    RequestWindow host;
    WorkerThread worker;
    const unsigned run = host.queue_.BeginRun();
    UniqueHandle ended(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE endedEvent = ended.Get();
    ASSERT_TRUE(worker.Start(host.window_, [&, endedEvent](WorkerThread&) {
        ListFeeder feeder(host.queue_, host.window_, run);
        feeder.SetStatusFormat([](const std::string& path) { return "walking " + path; });
        for (int i = 0; i < 3000; ++i) {
            feeder.AddRow(Row(i), i % 2 == 0);
            feeder.ShowPath("key " + std::to_string(i));
        }
        feeder.Finish();
        SetEvent(endedEvent);
    }));
    // The window serves nothing while the worker runs: it still gets to its end.
    ASSERT_EQ(WaitForSingleObject(ended.Get(), 20000), WAIT_OBJECT_0);
    worker.Stop();
    EXPECT_EQ(host.list_.RowCount(), 0);

    ASSERT_TRUE(PumpUntil([&] { return host.rowsWhenFinished_ >= 0; }));
    // One message announced everything queued meanwhile, and the end came
    // with the last rows.
    EXPECT_EQ(host.batchMessages_, 1);
    EXPECT_EQ(host.rowsWhenFinished_, 3000);
    ASSERT_EQ(host.list_.RowCount(), 3000);
    for (int i : {0, 1, 255, 256, 1999, 2999}) {
        EXPECT_EQ(host.list_.CellText(i, 1), "Software\\Row" + std::to_string(i));
        EXPECT_EQ(ShownText(host.list_.Window(), i, 1), "Software\\Row" + std::to_string(i));
        EXPECT_EQ(ShownText(host.list_.Window(), i, 0), "HKEY_CURRENT_USER");
    }
    // The status line shows the latest key, formatted.
    EXPECT_EQ(host.Status(), "walking key 2999");
    // The last row that asked to be seen is in view.
    const int top = static_cast<int>(SendMessageW(host.list_.Window(), LVM_GETTOPINDEX, 0, 0));
    const int perPage = static_cast<int>(SendMessageW(host.list_.Window(), LVM_GETCOUNTPERPAGE, 0, 0));
    EXPECT_GE(top + perPage, 2998);
}

TEST(WorkerThread, TheWorkerHoldsOffItsNextKeyWhileTheWindowTakesABatchButNeverForLong)
{
    RequestWindow host;
    WorkerThread worker;
    const unsigned run = host.queue_.BeginRun();
    std::atomic<bool> reached{false};
    std::atomic<bool> passed{false};
    std::atomic<int> keys{0};
    host.queue_.SetWindowBusy(true);
    ASSERT_TRUE(worker.Start(host.window_, [&](WorkerThread&) {
        ListFeeder feeder(host.queue_, host.window_, run);
        reached.store(true);
        feeder.ShowPath("first");
        passed.store(true);
        // A window that stays busy holds each key up only for a while.
        for (int i = 0; i < 5; ++i) {
            feeder.ShowPath("key " + std::to_string(i));
            keys.store(i + 1);
        }
    }));
    ASSERT_TRUE(PumpUntil([&] { return reached.load(); }));
    const DWORD reachedAt = GetTickCount();
    Sleep(30);
    // Held while the window is busy, unless the longest wait has run out.
    if (passed.load()) {
        EXPECT_GE(GetTickCount() - reachedAt, 90u);
    }
    ASSERT_TRUE(PumpUntil([&] { return keys.load() == 5; }, 10000));
    host.queue_.SetWindowBusy(false);
    worker.Stop();
    host.queue_.EndRun();
}

TEST(WorkerThread, AStopKeepsEveryRowQueuedBeforeItAndLetsNothingInAfterwards)
{
    RequestWindow host;
    for (int round = 0; round < 5; ++round) {
        host.list_.Clear();
        WorkerThread worker;
        const unsigned run = host.queue_.BeginRun();
        std::atomic<int> added{0};
        ASSERT_TRUE(worker.Start(host.window_, [&](WorkerThread& self) {
            ListFeeder feeder(host.queue_, host.window_, run);
            for (int i = 0; !self.StopRequested(); ++i) {
                feeder.AddRow(Row(i));
                added.store(i + 1);
            }
        }));
        // Let some rows in, then stop from the window's own thread.
        ASSERT_TRUE(PumpUntil([&] { return host.list_.RowCount() > 500 * (round + 1); }));
        const DWORD start = GetTickCount();
        worker.Stop();
        EXPECT_LT(GetTickCount() - start, 5000u);
        const ResultBatch rest = host.queue_.EndRun();
        host.list_.AppendRows(rest.rows, rest.scrollRow);

        // Every row the worker added is there, in order.
        const int rows = host.list_.RowCount();
        ASSERT_EQ(rows, added.load()) << "round " << round;
        for (int i : {0, rows / 2, rows - 1})
            EXPECT_EQ(host.list_.CellText(i, 1), "Software\\Row" + std::to_string(i));
        // Messages posted before the stop find nothing to bring.
        PumpUntil([] { return false; }, 200);
        EXPECT_EQ(host.list_.RowCount(), rows) << "round " << round;
    }
}

TEST(WorkerThread, ANewRunTurnsAwayTheMessagesOfTheOldOne)
{
    RequestWindow host;
    ResultBatch batch;
    batch.rows = {Row(1), Row(2)};
    const unsigned oldRun = host.queue_.BeginRun();
    host.queue_.Put(batch, host.window_, oldRun);
    // The old run's message is still on its way when the next run starts.
    const unsigned newRun = host.queue_.BeginRun();
    EXPECT_NE(newRun, oldRun);
    ResultBatch late;
    late.rows = {Row(3)};
    host.queue_.Put(late, host.window_, oldRun);
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(host.list_.RowCount(), 0);

    ResultBatch fresh;
    fresh.rows = {Row(4)};
    host.queue_.Put(fresh, host.window_, newRun);
    ASSERT_TRUE(PumpUntil([&] { return host.list_.RowCount() == 1; }));
    EXPECT_EQ(host.list_.CellText(0, 1), "Software\\Row4");
    // Once the run has ended nothing is queued any more.
    host.queue_.EndRun();
    ResultBatch after;
    after.rows = {Row(5)};
    host.queue_.Put(after, host.window_, newRun);
    EXPECT_TRUE(host.queue_.EndRun().rows.empty());
}

TEST(WorkerThread, AWindowDestroyedWithResultsOnTheirWayIsSafe)
{
    auto host = std::make_unique<RequestWindow>();
    WorkerThread worker;
    const unsigned run = host->queue_.BeginRun();
    ASSERT_TRUE(worker.Start(host->window_, [&host, run](WorkerThread&) {
        ListFeeder feeder(host->queue_, host->window_, run);
        for (int i = 0; i < 1000; ++i)
            feeder.AddRow(Row(i));
        feeder.Finish();
    }));
    worker.Stop();
    MSG waiting;
    EXPECT_TRUE(PeekMessageW(&waiting, host->window_, kResultsWaitingMessage, kResultsWaitingMessage, PM_NOREMOVE));
    host.reset();
    // The message for the window that is gone goes nowhere.
    PumpUntil([] { return false; }, 200);
}

TEST(WorkerThread, StopNeverDeadlocksOnRequestsAndNothingChangesAfterIt)
{
    RequestWindow host;
    for (int round = 0; round < 5; ++round) {
        host.list_.Clear();
        WorkerThread worker;
        ASSERT_TRUE(worker.Start(host.window_, [&](WorkerThread& self) {
            // Floods the window with synchronous requests until stopped.
            for (int i = 0; !self.StopRequested(); ++i)
                self.Run([&] { host.list_.AddRow(Row(i)); });
            self.Finish([] {});
        }));
        // Let some rows in, then stop from the window's own thread while the
        // worker waits on a request.
        PumpUntil([&] { return host.list_.RowCount() > 50 * (round + 1); });
        const DWORD start = GetTickCount();
        worker.Stop();
        EXPECT_LT(GetTickCount() - start, 5000u);
        EXPECT_FALSE(worker.IsRunning());
        const int rows = host.list_.RowCount();
        PumpUntil([] { return false; }, 200);
        EXPECT_EQ(host.list_.RowCount(), rows) << "round " << round;
    }
}

TEST(WorkerThread, StoppingWithoutAWorkerDoesNothing)
{
    WorkerThread worker;
    worker.Stop();
    EXPECT_FALSE(worker.IsRunning());
}
