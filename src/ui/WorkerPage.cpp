// The shape of a page whose work runs on a worker thread (see WorkerPage.h).
#include "ui/WorkerPage.h"

#include "core/Language.h"
#include "ui/ListFeeder.h"
#include "ui/WindowUtil.h"
#include "win32/LanguageWin.h"
#include "resource.h"

#include <utility>

WorkerPage::WorkerPage(WorkerPageParts parts) : parts_(std::move(parts)) {}

WorkerPage::~WorkerPage()
{
    EndWorker();
}

void WorkerPage::SetUpWorkControls()
{
    results_.SetUp(GetDlgItem(window_, parts_.resultList));
    results_.AttachImages(parts_.resultImages);
    ShowWorkButtons(false);
    SetStatus(LookupText(parts_.readyKey));
}

void WorkerPage::ShowWorkButtons(bool running)
{
    EnableControl(window_, parts_.startButton, !running);
    EnableControl(window_, parts_.stopButton, running);
    const bool rows = !running && results_.RowCount() > 0;
    for (int id : parts_.rowButtons)
        EnableControl(window_, id, rows);
}

bool WorkerPage::StartWork()
{
    if (worker_.IsRunning())
        return false;
    if (!worker_.Start(window_, [this](WorkerThread& worker) { RunWorker(worker); }))
        return false;
    ShowWorkButtons(true);
    return true;
}

void WorkerPage::RunWorker(WorkerThread& worker)
{
    HWND status = nullptr;
    if (!worker.Run([&] {
            results_.Clear();
            results_.BeginFilling();
            PrepareWork();
            status = GetDlgItem(window_, IDC_STATUS);
        }))
        return;
    passedOver_ = 0;
    {
        ListFeeder feeder(worker, results_, status);
        DoWork(worker, feeder);
        if (worker.StopRequested())
            return;
        feeder.Flush();
    }
    // Looked up here, not on the user-interface thread.
    const std::string doneText = LookupText(parts_.doneKey);
    std::string passedOverText;
    if (passedOver_ > 0 && *parts_.passedOverKey)
        passedOverText = " " + FormatTextWithNumber(LookupText(parts_.passedOverKey),
                                                    static_cast<long long>(passedOver_));
    worker.Finish([&] {
        results_.EndFilling();
        ShowWorkButtons(false);
        SetStatus((parts_.doneTextTakesRowCount ? FormatTextWithNumber(doneText, results_.RowCount()) : doneText) +
                  passedOverText);
    });
}

void WorkerPage::StopWork()
{
    if (!worker_.IsRunning()) {
        worker_.Stop(); // joins a worker that has already finished
        return;
    }
    worker_.Stop();
    results_.EndFilling();
    ShowWorkButtons(false);
    SetStatus(LookupText(parts_.stoppedKey));
}

void WorkerPage::OnSize(int clientWidth, int clientHeight)
{
    layout_.Apply(clientWidth, clientHeight);
    results_.ShareWidthEqually();
}

bool WorkerPage::OnNotify(NMHDR* header, LRESULT& result)
{
    return results_.HandleNotify(header, result);
}

void WorkerPage::OnDestroy()
{
    StopWork();
}
