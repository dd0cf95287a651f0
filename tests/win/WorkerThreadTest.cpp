// A page's worker and the user-interface thread: requests carried out in
// order, batches of rows reaching a real list in order, and a stop that
// never deadlocks and after which nothing changes any more.
#include "win32/WorkerThread.h"
#include "ui/ListFeeder.h"
#include "ui/RegistryItemList.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

// A window whose procedure carries out worker requests, with a report list.
class RequestWindow {
public:
    RequestWindow()
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSA cls = {};
        cls.lpfnWndProc = Procedure;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = "QuorvaneWorkerTestWindow";
        RegisterClassA(&cls);
        window_ = CreateWindowExA(0, cls.lpszClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr,
                                  cls.hInstance, nullptr);
        HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 580, 300, window_,
                                    nullptr, cls.hInstance, nullptr);
        status_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 310, 580, 20, window_, nullptr,
                                  cls.hInstance, nullptr);
        list_.SetUp(list);
    }
    ~RequestWindow() { DestroyWindow(window_); }

    // Serves messages until `done` holds or the time is up.
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 20000)
    {
        const DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > timeoutMs)
                return false;
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        return true;
    }

    HWND window_ = nullptr;
    HWND status_ = nullptr;
    RegistryItemList list_;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (WorkerThread::HandleRequest(message, wParam, lParam))
            return 0;
        return DefWindowProcA(window, message, wParam, lParam);
    }
};

RegistryItem Row(int number)
{
    RegistryItem item;
    item.rootName = "HKEY_CURRENT_USER";
    item.keyPath = "Software\\Row" + std::to_string(number);
    item.type = 1;
    return item;
}

} // namespace

TEST(WorkerThread, RowsArriveInOrderAndTheLastRequestEndsTheWorker)
{
    RequestWindow host;
    WorkerThread worker;
    bool finished = false;
    ASSERT_TRUE(worker.Start(host.window_, [&](WorkerThread& self) {
        ListFeeder feeder(self, host.list_, host.status_);
        for (int i = 0; i < 3000; ++i) {
            feeder.AddRow(Row(i), true);
            feeder.ShowStatus("at " + std::to_string(i));
        }
        feeder.Flush();
        self.Finish([&] { finished = true; });
    }));
    EXPECT_TRUE(worker.IsRunning());
    // A second start while one runs is refused.
    EXPECT_FALSE(worker.Start(host.window_, [](WorkerThread&) {}));
    ASSERT_TRUE(host.PumpUntil([&] { return !worker.IsRunning(); }));
    EXPECT_TRUE(finished);
    ASSERT_EQ(host.list_.RowCount(), 3000);
    for (int i : {0, 1, 255, 256, 1999, 2999})
        EXPECT_EQ(host.list_.CellText(i, 1), "Software\\Row" + std::to_string(i));
    char status[64] = {};
    GetWindowTextA(host.status_, status, sizeof status);
    EXPECT_STREQ(status, "at 2999");
    worker.Stop(); // joins the finished worker; changes nothing
    EXPECT_EQ(host.list_.RowCount(), 3000);
}

TEST(WorkerThread, StopNeverDeadlocksAndNothingChangesAfterIt)
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
        host.PumpUntil([&] { return host.list_.RowCount() > 50 * (round + 1); });
        const DWORD start = GetTickCount();
        worker.Stop();
        EXPECT_LT(GetTickCount() - start, 5000u);
        EXPECT_FALSE(worker.IsRunning());
        const int rows = host.list_.RowCount();
        host.PumpUntil([] { return false; }, 200);
        EXPECT_EQ(host.list_.RowCount(), rows) << "round " << round;
    }
}

TEST(WorkerThread, StoppingWithoutAWorkerDoesNothing)
{
    WorkerThread worker;
    worker.Stop();
    EXPECT_FALSE(worker.IsRunning());
}
