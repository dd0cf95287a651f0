// The window that lists what changed in the registry since a backup: every
// entry removed, changed or added compared with a REG file, found on a
// worker thread while the window keeps answering. The user stops the
// comparison, undoes exactly the rows chosen (through the change operation
// of the core, with its automatic backup and read-back) and exports them as a
// CSV report or as a REG file that turns them back.
#pragma once

#include "core/RegistryDiff.h"
#include "ui/DialogBase.h"
#include "ui/DialogLayout.h"
#include "win32/WorkerThread.h"

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

class ChangesWindow : public DialogBase {
public:
    // `backupFolder` receives the automatic backup an undo writes first.
    ChangesWindow(std::string path, DiffScope scope, std::string backupFolder);
    ~ChangesWindow() override;

    // Shows the window modally over `owner`, comparing at once; returns when
    // the user has closed it.
    void Show(HWND owner);

private:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog();
    void SetUpList();
    bool OnNotify(NMHDR* header, LRESULT& result);

    // The comparison on the worker: reads the file, compares, and hands the
    // outcome over. The latest key reaches the status line a few times a
    // second through a posted message.
    void StartCompare();
    void Compare(WorkerThread& worker);
    static void ReportKey(const std::string& fullKeyPath, void* context);
    void ShowLatestKey();
    // Stops the comparison and lists what it had found.
    void StopCompare();
    void ShowOutcome();
    void ShowCounts(bool stopped);
    // Esc, the close box and Close: a running comparison is stopped only
    // after asking.
    void Close();

    void Undo();
    void Export();

    void UpdateButtons();
    void SetStatus(const std::string& text);
    std::vector<std::size_t> SelectedRows() const;
    // The rows chosen for an export: the selected ones, or all without a
    // selection.
    std::vector<DiffEntry> ExportedEntries() const;
    void ShowRows();
    void SortByColumn(int column);
    void FillDisplayInfo(NMLVDISPINFOW& info);
    void SelectAll();

    const std::string path_;
    const DiffScope scope_;
    const std::string backupFolder_;
    HWND list_ = nullptr;
    DialogLayout layout_;
    SIZE minimumSize_ = {0, 0};
    // The rows the list shows, in its order.
    std::vector<DiffEntry> rows_;
    std::size_t volatileCount_ = 0;
    DiffTexts texts_;
    bool sortDescending_ = false;
    bool comparing_ = false;
    // The texts handed to the list for display, which reads them in place
    // after the notification.
    std::array<std::wstring, 3> displayTexts_;
    std::size_t nextDisplayText_ = 0;

    // Shared with the worker.
    std::mutex mutex_;
    std::string latestKey_;
    bool keyAnnounced_ = false;
    DWORD lastKeyShown_ = 0;
    // The worker's result; read on this thread once the worker has ended.
    DiffOutcome outcome_;
    bool fileRead_ = false;
    // Last, so that it ends first: its work reaches the members above.
    WorkerThread worker_;
};
