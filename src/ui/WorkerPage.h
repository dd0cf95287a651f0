// The shape of a page whose work runs on a worker thread and fills a registry
// item list: starting and stopping the work, the buttons and the status line
// while it runs and when it ends, and the hand-over of rows and status texts
// from the worker (through a ResultQueue drained on a posted message). A page
// adds its own controls, its buttons' ids, its texts and the work itself.
#pragma once

#include "ui/ListFeeder.h"
#include "ui/Page.h"
#include "ui/PageProgress.h"
#include "ui/RegistryItemList.h"
#include "win32/WorkerThread.h"

#include <string>
#include <vector>

// The ids and language keys of one worker page.
struct WorkerPageParts {
    int startButton = 0;
    int stopButton = 0;
    // Buttons enabled while no work runs and the list holds rows.
    std::vector<int> rowButtons;
    int resultList = 0;
    int resultImages = 0; // bitmap resource of the list's pictures
    const char* readyKey = "";   // status line before the first run
    // Status line from the moment the work starts until the worker reports
    // its first key; a conversion in it is filled with nothing.
    const char* workingKey = "";
    const char* doneKey = "";    // status line when the work has ended
    bool doneTextTakesRowCount = false;
    // The element of config.xml that remembers the result list's columns.
    const char* layoutElement = "";
    const char* stoppedKey = ""; // status line when the work was stopped
    int progressBar = 0;   // the bar shown while the work runs (none when 0)
    // The button that restarts the program as administrator, shown after a
    // change of the list was refused for lack of rights (none when 0).
    int restartButton = 0;
};

class WorkerPage : public Page {
public:
    explicit WorkerPage(WorkerPageParts parts);
    ~WorkerPage() override;

    // True from the start of the work until its end has reached the page
    // or it was stopped.
    bool IsWorkRunning() const { return working_; }

protected:
    // Starts the work and shows the buttons and the working status of
    // running work at once, so that no earlier result stays on show; false
    // while work runs or when the worker cannot start.
    bool StartWork();
    // Ends running work at once: the rows the worker had found so far are
    // all put into the list and nothing arrives afterwards; the buttons and
    // the status line say so. Without running work it only joins a worker
    // that has finished and leaves the controls alone.
    void StopWork();
    // Stops the worker without touching the controls. A page's destructor
    // calls it, so that the work never outlives the page's own members.
    void EndWorker() { worker_.Stop(); }
    // Enables the start, stop and row buttons for running or idle work.
    void ShowWorkButtons(bool running);
    // Sets up the result list, the idle buttons and the ready status; part
    // of the page's OnInitDialog.
    void SetUpWorkControls();

    // On the user-interface thread, before the worker starts and after the
    // list was emptied: reads what the work needs from the controls.
    virtual void PrepareWork() {}
    // The number of steps the work reports (WorkStepEnd), read after
    // PrepareWork; 0 for work whose length is not known (a moving bar).
    virtual int WorkSteps() const { return 0; }
    // On the user-interface thread: steps of the running work have ended.
    virtual void OnStepsEnded(const std::vector<WorkStepEnd>& steps) {}
    // The work, on the worker thread. Rows and status texts go through
    // `feeder`; the work ends early once the worker is asked to stop.
    virtual void DoWork(WorkerThread& worker, ListFeeder& feeder) = 0;
    void OnSize(int clientWidth, int clientHeight) override;
    // The restart button; a page's own OnCommand passes other ids here.
    bool OnCommand(int id, int code, HWND control) override;
    void OnDpiChanged() override;
    int StartButtonId() const override { return parts_.startButton; }
    bool OnNotify(NMHDR* header, LRESULT& result) override;
    void OnDestroy() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    RegistryItemList results_;

private:
    void RunWorker(WorkerThread& worker, unsigned run);
    // Puts a batch from the worker into the list; a finished one ends the work.
    void TakeResults(const ResultBatch& batch);
    // Advances the progress bar and tells the page of steps that ended.
    void TakeSteps(const std::vector<WorkStepEnd>& steps);
    // Shows the restart button with the shield of a command that asks for
    // administrator rights.
    void OfferRestart();

    const WorkerPageParts parts_;
    WorkerThread worker_;
    ResultQueue queue_;
    bool working_ = false;
    PageProgressBar progress_;
    int stepsDone_ = 0;
    // A change was refused for lack of rights: the restart button is shown
    // whenever no work runs.
    bool restartOffered_ = false;
    // Of the running work; the worker thread's until it hands over its end.
    std::string doneText_;
};
