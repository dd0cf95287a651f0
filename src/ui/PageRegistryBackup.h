// The backup page: the list of backup files in the backup folder and the
// commands that make, merge and delete backups through the registry editor.
// The editor runs on a worker thread, so the window keeps answering while it
// works; the page's buttons wait for it, and every merge is checked against
// the registry afterwards.
#pragma once

#include "ui/ListColumns.h"
#include "ui/Page.h"
#include "ui/PageProgress.h"
#include "win32/Win32Handles.h"
#include "win32/WorkerThread.h"
#include "core/BackupStore.h"
#include "core/EditorRun.h"

#include <windows.h>

#include <string>
#include <vector>

class PageRegistryBackup : public Page {
public:
    PageRegistryBackup();

    // The five commands. The ...File ones take the path the file dialog
    // gave; an empty path (a cancelled dialog) changes nothing.
    void Backup();
    void BackupToFile(const std::string& path);
    void Restore();
    void RestoreFromFile(const std::string& path);
    void Delete();
    // Opens the window that lists what changed in the registry since the
    // selected backup, or since the REG file at path.
    void ShowChangesSinceSelected();
    void ShowChangesSince(const std::string& path);

    // Refills the list from the backup folder, keeping the selected position.
    void RefreshBackupList();

    // True from the start of a backup or restore until its result is shown.
    bool IsEditorRunning() const { return editor_.IsRunning(); }
    // Returns once a running editor has ended and its result is shown; the
    // program's windows keep painting meanwhile. The editor is never ended
    // early: a half-merged restore would be worse than the wait. Nothing is
    // asked afterwards, as the program is about to close.
    void WaitForEditor();

protected:
    void OnInitDialog() override;
    void OnShow(bool shown) override;
    void OnSize(int clientWidth, int clientHeight) override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;
    void OnDestroy() override;
    void OnDpiChanged() override;
    int StartButtonId() const override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void SetUpList();
    // Has the editor write the whole registry to path; the status line
    // reports whether this run wrote the file.
    void ExportRegistry(const std::string& path);
    // Has the editor merge path, then checks the registry against the file.
    void MergeAndVerify(const std::string& path);
    // The buttons are disabled while the editor runs.
    void EnableCommands(bool enabled);
    void ShowExportResult(const std::string& path, bool written);
    // Only a restore the editor ended with success and whose file was read
    // and checked is reported as restored.
    void ShowRestoreResult(const std::string& path, const EditorOutcome& run, bool fileRead,
                           const RestoreVerification& verification);
    // Offers to save the list of what the last restore did not bring back.
    void OfferProblemList();
    void AddBackupRow(const BackupRow& row);
    int SelectedRow() const;
    std::string RowPath(int row) const;
    void SetStatus(const std::string& text);
    // Shows the "select an item" notice when nothing is selected, else asks
    // the question; the selected row, or -1 when the command is not to go on.
    int ConfirmSelected(const char* questionKey);

    std::string backupFolder_;
    std::string editorPath_;
    HWND list_ = nullptr;
    ImageListOwner images_;
    // Four visible columns sharing the width; the path column stays hidden.
    ListColumns columns_{{1, 1, 1, 1, 0}};
    // The listed files in the order they were added; a row's item data is
    // its index here.
    std::vector<BackupRow> rows_;
    // The backup list's own sort direction, apart from the registry lists'.
    bool sortDescending_ = true;
    // The last restore's file and check, for the list the user may save.
    std::string restoredPath_;
    RestoreVerification restoreCheck_;
    // Set while the program waits for the editor before it closes.
    bool closing_ = false;
    // Moves while the editor runs.
    PageProgressBar progress_;
    // Last, so that it ends first: its work reaches the members above.
    WorkerThread editor_;
};
