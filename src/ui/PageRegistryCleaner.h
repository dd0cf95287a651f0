// The cleaner page: the task list, the result list, the scan and delete
// buttons and the status line. The scan runs on a worker thread that reaches
// the controls only through requests the page carries out.
#pragma once

#include "ui/Page.h"
#include "win32/Win32Handles.h"
#include "win32/WorkerThread.h"
#include "ui/RegistryItemList.h"

#include <string>
#include <vector>

class PageRegistryCleaner : public Page {
public:
    PageRegistryCleaner() = default;
    ~PageRegistryCleaner() override;

    // True while a scan worker runs; the main window asks before it closes.
    bool IsScanRunning() const { return worker_.IsRunning(); }

    void StartScan();
    void StopScan();
    void SetCleanerButtons(bool scan, bool stop, bool deleteSelected, bool deleteAll);
    void LoadTaskChoices(const std::string& attribute);
    void SaveTaskChoices();

protected:
    void OnInitDialog() override;
    void OnSize(int clientWidth, int clientHeight) override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;
    void OnDestroy() override;

private:
    void ScanThread(WorkerThread& worker);
    std::vector<bool> TaskChecks() const;
    void SetTaskChecks(const std::vector<bool>& checks);
    void ShowTaskMenu();
    void DeleteSelected();
    void DeleteEverything();

    HWND tasks_ = nullptr;
    RegistryItemList results_;
    ImageListOwner taskImages_;
    WorkerThread worker_;
};
