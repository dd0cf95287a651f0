// The search page: keyword, options, root keys, the hit list and the status
// line. The search runs on a worker thread that reaches the controls only
// through requests the page carries out.
#pragma once

#include "ui/Page.h"
#include "win32/WorkerThread.h"
#include "ui/RegistryItemList.h"
#include "core/SearchEngine.h"

#include <string>

class PageRegistrySearch : public Page {
public:
    PageRegistrySearch() = default;
    ~PageRegistrySearch() override;

    bool IsSearchRunning() const { return worker_.IsRunning(); }

    // Stops a running search, takes the options from the controls and starts
    // a new one.
    void StartSearch();
    // Ends a running search; the rows found so far stay. Does nothing (and
    // leaves the status line alone) when no search runs.
    void StopSearch();
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
    void OnSize(int clientWidth, int clientHeight) override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;
    void OnDestroy() override;

private:
    // The worker's body.
    void RunSearch(WorkerThread& worker);
    bool IsChecked(int id) const;
    void SetChecked(int id, bool checked);
    std::string KeywordText() const;

    SearchOptions options_;
    RegistryItemList results_;
    WorkerThread worker_;
};
