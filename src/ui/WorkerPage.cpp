// The shape of a page whose work runs on a worker thread (see WorkerPage.h).
#include "ui/WorkerPage.h"

#include "core/Language.h"
#include "ui/DeleteItems.h"
#include "ui/WindowUtil.h"
#include "win32/LanguageWin.h"
#include "win32/LayoutSettings.h"
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
    results_.AttachImages(parts_.resultImages, Dpi());
    results_.Columns().Restore(ReadColumnLayout(parts_.layoutElement));
    ShowWorkButtons(false);
    SetStatus(LookupText(parts_.readyKey));
    if (parts_.progressBar)
        progress_.Attach(window_, parts_.progressBar);
    if (HWND restart = parts_.restartButton ? GetDlgItem(window_, parts_.restartButton) : nullptr)
        ShowWindow(restart, SW_HIDE);
}

void WorkerPage::ShowWorkButtons(bool running)
{
    EnableControl(window_, parts_.startButton, !running);
    EnableControl(window_, parts_.stopButton, running);
    const bool rows = !running && results_.RowCount() > 0;
    for (int id : parts_.rowButtons)
        EnableControl(window_, id, rows);
    // The progress bar takes the restart button's place while work runs.
    if (restartOffered_ && parts_.restartButton)
        ShowWindow(GetDlgItem(window_, parts_.restartButton), running ? SW_HIDE : SW_SHOW);
}

bool WorkerPage::StartWork()
{
    if (working_)
        return false;
    worker_.Stop(); // joins a worker that has finished
    results_.Clear();
    PrepareWork();
    const unsigned run = queue_.BeginRun();
    stepsDone_ = 0;
    progress_.Start(WorkSteps());
    if (!worker_.Start(window_, [this, run](WorkerThread& worker) { RunWorker(worker, run); })) {
        queue_.EndRun();
        progress_.Stop();
        return false;
    }
    working_ = true;
    ShowWorkButtons(true);
    SetStatus(FormatTextWithString(LookupText(parts_.workingKey), std::string()));
    return true;
}

void WorkerPage::RunWorker(WorkerThread& worker, unsigned run)
{
    // What the feeder holds at the end is handed over even after a stop:
    // the page takes it once the worker was joined.
    ListFeeder feeder(queue_, window_, run);
    DoWork(worker, feeder);
    if (worker.StopRequested())
        return;
    // Looked up here, not on the user-interface thread.
    doneText_ = LookupText(parts_.doneKey);
    feeder.Finish();
}

void WorkerPage::TakeResults(const ResultBatch& batch)
{
    queue_.SetWindowBusy(true);
    ShowResultBatch(batch, results_, GetDlgItem(window_, IDC_STATUS));
    queue_.SetWindowBusy(false);
    TakeSteps(batch.steps);
    if (!batch.finished || !working_)
        return;
    working_ = false;
    queue_.EndRun();
    progress_.Stop();
    ShowWorkButtons(false);
    SetStatus(parts_.doneTextTakesRowCount ? FormatTextWithNumber(doneText_, results_.RowCount()) : doneText_);
}

void WorkerPage::StopWork()
{
    if (!working_) {
        worker_.Stop(); // joins a worker that has already finished
        return;
    }
    worker_.Stop();
    working_ = false;
    // The worker has ended: what it queued is all there is, and whatever
    // is still on its way is turned away.
    const ResultBatch rest = queue_.EndRun();
    results_.AppendRows(rest.rows, rest.scrollRow);
    TakeSteps(rest.steps);
    progress_.Stop();
    ShowWorkButtons(false);
    SetStatus(LookupText(parts_.stoppedKey));
}

void WorkerPage::TakeSteps(const std::vector<WorkStepEnd>& steps)
{
    if (steps.empty())
        return;
    stepsDone_ += static_cast<int>(steps.size());
    progress_.Step(stepsDone_);
    OnStepsEnded(steps);
}

void WorkerPage::OfferRestart()
{
    HWND button = parts_.restartButton ? GetDlgItem(window_, parts_.restartButton) : nullptr;
    if (!button)
        return;
    restartOffered_ = true;
    SendMessageW(button, BCM_SETSHIELD, 0, TRUE);
    if (!working_)
        ShowWindow(button, SW_SHOW);
}

bool WorkerPage::OnCommand(int id, int code, HWND)
{
    if (id != parts_.restartButton || parts_.restartButton == 0 || code != BN_CLICKED)
        return false;
    // The main window decides: it may have to ask about running work first.
    SendMessageW(GetAncestor(window_, GA_ROOT), WM_COMMAND, MAKEWPARAM(ID_RESTART_ADMIN, 0), 0);
    return true;
}

void WorkerPage::OnSize(int clientWidth, int clientHeight)
{
    layout_.Apply(clientWidth, clientHeight);
    results_.FitColumns();
}

void WorkerPage::OnDpiChanged()
{
    results_.AttachImages(parts_.resultImages, Dpi());
}

bool WorkerPage::OnNotify(NMHDR* header, LRESULT& result)
{
    return results_.HandleNotify(header, result);
}

void WorkerPage::OnDestroy()
{
    StopWork();
    WriteColumnLayout(parts_.layoutElement, results_.Columns().Current());
}

bool WorkerPage::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result)
{
    if (message == kOfferRestartMessage) {
        OfferRestart();
        result = TRUE;
        return true;
    }
    if (message != kResultsWaitingMessage)
        return false;
    TakeResults(queue_.Take(wParam));
    result = TRUE;
    return true;
}
