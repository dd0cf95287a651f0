// The search page: keyword, options, root keys, the hit list and the status
// line. The search runs on a worker thread that reaches the controls only
// through batches of rows the page takes in.
#pragma once

#include "ui/WorkerPage.h"
#include "core/SearchEngine.h"

#include <string>

class PageRegistrySearch : public WorkerPage {
public:
    PageRegistrySearch();
    ~PageRegistrySearch() override;

    bool IsSearchRunning() const { return IsWorkRunning(); }

    // Stops a running search, takes the options from the controls and starts
    // a new one.
    void StartSearch();
    // Ends a running search; the rows found so far stay. Does nothing (and
    // leaves the status line alone) when no search runs.
    void StopSearch() { StopWork(); }
    void ClearResults();
    // Enables the Start, Stop and Clear buttons; missing controls are skipped.
    void SetSearchButtons(bool start, bool stop, bool clear);
    // Reads the "custom" or "default" attribute of the three search elements
    // of config.xml into the controls.
    void LoadSettings(const std::string& attribute);
    // Writes the controls into the "custom" attributes and saves the file.
    void SaveSettings();

protected:
    void OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnDestroy() override;
    void DoWork(WorkerThread& worker, ListFeeder& feeder) override;

private:
    bool IsChecked(int id) const;
    void SetChecked(int id, bool checked);
    std::string KeywordText() const;

    // Taken from the controls before the worker starts; read by the worker.
    SearchOptions options_;
};
