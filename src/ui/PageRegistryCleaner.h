// The cleaner page: the task list, the result list, the scan and delete
// buttons and the status line. The scan runs on a worker thread that reaches
// the controls only through batches of rows the page takes in.
#pragma once

#include "core/IgnoreList.h"
#include "ui/WorkerPage.h"
#include "win32/Win32Handles.h"

#include <string>
#include <vector>

class PageRegistryCleaner : public WorkerPage {
public:
    PageRegistryCleaner();
    ~PageRegistryCleaner() override;

    // True while a scan worker runs; the main window asks before it closes.
    bool IsScanRunning() const { return IsWorkRunning(); }

    // Starts a scan of the ticked tasks unless one runs.
    void StartScan() { StartWork(); }
    // Ends a running scan; the rows found so far stay.
    void StopScan() { StopWork(); }
    void SetCleanerButtons(bool scan, bool stop, bool deleteSelected, bool deleteAll);
    void LoadTaskChoices(const std::string& attribute);
    void SaveTaskChoices();

protected:
    void OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;
    void OnDestroy() override;
    void OnDpiChanged() override;
    void PrepareWork() override;
    int WorkSteps() const override;
    void OnStepsEnded(const std::vector<WorkStepEnd>& steps) override;
    void DoWork(WorkerThread& worker, ListFeeder& feeder) override;

private:
    // The task pictures for the page's DPI.
    void AttachTaskImages();
    std::vector<bool> TaskChecks() const;
    void SetTaskChecks(const std::vector<bool>& checks);
    void ShowTaskMenu();
    void DeleteSelected();
    void DeleteEverything();
    // Each task row's title, with the number of findings when given (-1: none).
    void SetTaskTitle(int task, int findings);
    // While no scan runs, the status line says when findings under
    // HKEY_LOCAL_MACHINE could only be deleted as administrator.
    void UpdateMachineNote();

    HWND tasks_ = nullptr;
    ImageListOwner taskImages_;
    // The tasks ticked when the scan started; read by the worker.
    std::vector<bool> chosenTasks_;
    // The ignore list as the scan started; read by the worker.
    PreparedIgnoreList ignored_;
    bool elevated_ = false;
    // The status line shows the note about HKEY_LOCAL_MACHINE.
    bool noteShown_ = false;
    bool noteReady_ = false;
};
