// The backup page: the list of backup files in the backup folder and the
// commands that make, merge and delete backups through the registry editor.
#pragma once

#include "ui/Page.h"
#include "win32/Win32Handles.h"
#include "core/BackupStore.h"

#include <windows.h>

#include <string>

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

    // Refills the list from the backup folder, keeping the selected position.
    void RefreshBackupList();

protected:
    void OnInitDialog() override;
    void OnShow(bool shown) override;
    void OnSize(int clientWidth, int clientHeight) override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;

private:
    void SetUpList();
    // Has the editor write the whole registry to path and reports whether
    // the file was written.
    void ExportRegistry(const std::string& path);
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
    // The backup list's own sort direction, apart from the registry lists'.
    bool sortDescending_ = true;
};
