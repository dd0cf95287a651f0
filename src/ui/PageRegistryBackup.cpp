// The backup page (see PageRegistryBackup.h).
#include "ui/PageRegistryBackup.h"

#include <commctrl.h>

#include "ui/ChangesWindow.h"
#include "ui/ListViewHelpers.h"
#include "ui/MaskedImageList.h"
#include "ui/RegFileDialog.h"
#include "core/Language.h"
#include "win32/LanguageWin.h"
#include "win32/ProgramPaths.h"
#include "win32/RegeditBridge.h"
#include "win32/Win32Platform.h"
#include "win32/WideText.h"
#include "resource.h"

#include <memory>

namespace {

// Posted to the page once a restore's result is shown and the editor's
// worker has ended.
constexpr UINT kOfferProblemListMessage = kWorkerRequestMessage + 1;

const AnchorRule kBackupLayout[] = {
    {IDC_BACKUP_LIST, kAnchorAll},
    {IDC_BACKUP_BACKUP, kAnchorTopRight},
    {IDC_BACKUP_RESTORE, kAnchorTopRight},
    {IDC_BACKUP_TO_FILE, kAnchorTopRight},
    {IDC_BACKUP_FROM_FILE, kAnchorTopRight},
    {IDC_BACKUP_DELETE, kAnchorTopRight},
    {IDC_BACKUP_CHANGES, kAnchorTopRight},
    {IDC_BACKUP_CHANGES_FILE, kAnchorTopRight},
    {IDC_STATUS, kAnchorBottomLeftRight},
    {IDC_PAGE_PROGRESS, kAnchorRight | kAnchorBottom},
};

struct BackupColumn {
    const char* headingKey;
    int width;
    LPARAM sortKind;
};

// In the order of the row texts; the last, the file's path, stays hidden.
const BackupColumn kBackupColumns[] = {
    {"_PageRegistryBackupListCol2", 100, kSortAsText},
    {"_PageRegistryBackupListCol3", 100, kSortAsText},
    {"_PageRegistryBackupListCol4", 100, kSortAsNumber},
    {"_PageRegistryBackupListCol5", 100, kSortAsText},
    {"_PageRegistryBackupListCol1", 0, kSortAsText},
};
constexpr int kSizeColumn = 2;
constexpr int kPathColumn = 4;

constexpr DWORD kListStyles = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES;

// The page's rows and the column a header click sorts by. The comparison
// reads the rows through their item data, the index into the page's rows: the
// list may not be asked anything while it sorts.
struct BackupSort {
    const std::vector<BackupRow>* rows;
    int column;
    bool descending;
};

const std::string& CellOf(const BackupRow& row, int column)
{
    switch (column) {
    case 0:
        return row.date;
    case 1:
        return row.time;
    case kSizeColumn:
        return row.size;
    case 3:
        return row.type;
    default:
        return row.path;
    }
}

int CALLBACK CompareBackupRows(LPARAM first, LPARAM second, LPARAM context)
{
    const auto* sort = reinterpret_cast<const BackupSort*>(context);
    const std::vector<BackupRow>& rows = *sort->rows;
    const auto a = static_cast<std::size_t>(first);
    const auto b = static_cast<std::size_t>(second);
    if (a >= rows.size() || b >= rows.size())
        return 0;
    const std::string& firstText = CellOf(rows[a], sort->column);
    const std::string& secondText = CellOf(rows[b], sort->column);
    int order = 0;
    if (sort->column == kSizeColumn) {
        // Sizes pass 4 GB and the exact range of a floating-point number, so
        // they are ordered as whole 64-bit sizes.
        order = CompareBackupSizeTexts(firstText, secondText);
    } else {
        // UTF-8 bytes in order sort as their characters do.
        const int c = firstText.compare(secondText);
        order = c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    return sort->descending ? -order : order;
}

} // namespace

PageRegistryBackup::PageRegistryBackup()
    : backupFolder_(ProgramFolder() + kBackupFolderBelowProgram),
      editorPath_(ProgramFolder() + kRegeditBelowProgram)
{
}

void PageRegistryBackup::OnInitDialog()
{
    TranslateWindow(window_);
    layout_.Attach(window_, kBackupLayout, sizeof kBackupLayout / sizeof kBackupLayout[0]);
    progress_.Attach(window_, IDC_PAGE_PROGRESS);
    SetUpList();
    SetStatus(LookupText("_PageRegistryBackupState1"));
    RefreshBackupList();
}

void PageRegistryBackup::SetUpList()
{
    list_ = GetDlgItem(window_, IDC_BACKUP_LIST);
    if (!list_)
        return;
    // The page owns the image list, so the list must not destroy it as well.
    SetWindowLongPtrW(list_, GWL_STYLE, GetWindowLongPtrW(list_, GWL_STYLE) | LVS_SHAREIMAGELISTS);
    OnDpiChanged();

    int position = 0;
    for (const BackupColumn& column : kBackupColumns)
        InsertSortableColumn(list_, position++, LookupText(column.headingKey), column.width,
                             column.sortKind);
    SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, kListStyles, kListStyles);
    columns_.Attach(list_);
    columns_.Restore(ReadColumnLayout(kBackupPageElement));
}

void PageRegistryBackup::OnDpiChanged()
{
    if (!list_)
        return;
    LoadPictureStrip(images_, IDB_DISKETTE, 16, Dpi());
    SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images_.Get()));
}

int PageRegistryBackup::StartButtonId() const
{
    return IDC_BACKUP_BACKUP;
}

void PageRegistryBackup::OnShow(bool shown)
{
    // Automatic backups may have been written while another page was shown.
    if (shown)
        RefreshBackupList();
}

void PageRegistryBackup::OnSize(int clientWidth, int clientHeight)
{
    layout_.Apply(clientWidth, clientHeight);
    columns_.Fit();
}

bool PageRegistryBackup::OnCommand(int id, int code, HWND control)
{
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_BACKUP_BACKUP:
        Backup();
        return true;
    case IDC_BACKUP_TO_FILE:
        BackupToFile(AskRegFileToSave(GetActiveWindow()));
        return true;
    case IDC_BACKUP_RESTORE:
        Restore();
        return true;
    case IDC_BACKUP_FROM_FILE:
        RestoreFromFile(AskRegFileToOpen(GetActiveWindow()));
        return true;
    case IDC_BACKUP_DELETE:
        Delete();
        return true;
    case IDC_BACKUP_CHANGES:
        ShowChangesSinceSelected();
        return true;
    case IDC_BACKUP_CHANGES_FILE:
        ShowChangesSince(AskRegFileToOpen(GetActiveWindow()));
        return true;
    default:
        return false;
    }
}

bool PageRegistryBackup::OnNotify(NMHDR* header, LRESULT& result)
{
    if (!list_ || header->hwndFrom != list_ || header->code != LVN_COLUMNCLICK)
        return false;
    const auto* click = reinterpret_cast<const NMLISTVIEW*>(header);
    BackupSort sort = {&rows_, click->iSubItem, sortDescending_};
    SendMessageW(list_, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&sort),
                 reinterpret_cast<LPARAM>(CompareBackupRows));
    sortDescending_ = !sortDescending_;
    result = 0;
    return true;
}

void PageRegistryBackup::Backup()
{
    if (IsEditorRunning())
        return;
    Platform& platform = SystemPlatform();
    // A name not taken yet, so a second backup within the same second keeps
    // the first one.
    const std::string path =
        MakeUniqueBackupPath(platform, platform, platform, backupFolder_,
                             LookupText("_PageRegistryBackupType1"));
    platform.MakeDirectoryPath(backupFolder_);
    ExportRegistry(path);
}

void PageRegistryBackup::BackupToFile(const std::string& path)
{
    if (path.empty() || IsEditorRunning())
        return;
    ExportRegistry(path);
}

void PageRegistryBackup::ExportRegistry(const std::string& path)
{
    SetStatus(LookupText("_PageRegistryBackupState2"));
    // Saved only when the editor ended with success and the file it wrote
    // this time reads as a whole REG file, as for a backup from the command
    // line.
    const std::string editor = editorPath_;
    EnableCommands(false);
    const bool started = editor_.Start(window_, [this, path, editor](WorkerThread& worker) {
        const bool written = RunRegeditBackup(std::string(), path, editor);
        worker.Finish([this, &path, written] { ShowExportResult(path, written); });
    });
    if (!started)
        ShowExportResult(path, false);
}

void PageRegistryBackup::ShowExportResult(const std::string& path, bool written)
{
    SetStatus(FormatTextWithString(
        LookupText(written ? "_PageRegistryBackupState3" : "_PageRegistryBackupState6"), path));
    EnableCommands(true);
    RefreshBackupList();
}

void PageRegistryBackup::Restore()
{
    if (IsEditorRunning())
        return;
    const int row = ConfirmSelected("_PageRegistryBackupAreYouSureRestore");
    if (row < 0)
        return;
    MergeAndVerify(RowPath(row));
}

void PageRegistryBackup::RestoreFromFile(const std::string& path)
{
    if (path.empty() || IsEditorRunning())
        return;
    MergeAndVerify(path);
}

void PageRegistryBackup::MergeAndVerify(const std::string& path)
{
    SetStatus(FormatTextWithString(LookupText("_PageRegistryBackupState8"), path));
    const std::string editor = editorPath_;
    const std::string defaultValueText = LookupText("_PageRegistryBackupDefaultValue1");
    EnableCommands(false);
    const bool started =
        editor_.Start(window_, [this, path, editor, defaultValueText](WorkerThread& worker) {
            const EditorOutcome run = RunRegeditImport(path, editor, true, true);
            if (worker.StopRequested())
                return;
            // Read after the merge: what the editor merged is what is checked.
            // An editor that did not start or ended with an error merged
            // nothing that could be called a restore.
            std::string bytes;
            const bool fileRead = run.Succeeded() && ReadFileBytes(path, &bytes);
            RestoreVerification verification;
            if (fileRead) {
                Platform& platform = SystemPlatform();
                verification = VerifyRestore(platform, platform, bytes, defaultValueText);
            }
            worker.Finish([this, &path, run, fileRead, &verification] {
                ShowRestoreResult(path, run, fileRead, verification);
            });
        });
    if (!started) {
        SetStatus(FormatTextWithString(LookupText("_PageRegistryBackupState13"), path));
        EnableCommands(true);
    }
}

void PageRegistryBackup::ShowRestoreResult(const std::string& path, const EditorOutcome& run, bool fileRead,
                                           const RestoreVerification& verification)
{
    EnableCommands(true);
    if (!run.started) {
        SetStatus(FormatTextWithString(LookupText("_PageRegistryBackupState13"), path));
        return;
    }
    // A file without the header of a REG file is one the editor refuses.
    if (!run.Succeeded() || (fileRead && !verification.fileRead)) {
        SetStatus(LookupText("_PageRegistryBackupRestoreFailed"));
        return;
    }
    if (!fileRead) {
        SetStatus(FormatTextWithString(LookupText("_PageRegistryBackupState12"), path));
        return;
    }
    if (!verification.shortfalls.empty())
        SetStatus(FormatTextWithNumber(LookupText("_PageRegistryBackupState10"),
                                       static_cast<long long>(verification.shortfalls.size())));
    else if (!verification.refusedLines.empty())
        SetStatus(FormatTextWithNumber(LookupText("_PageRegistryBackupState11"),
                                       static_cast<long long>(verification.refusedLines.size())));
    else if (!verification.keptBySystem.empty())
        SetStatus(FormatTextWithNumber(
            FormatTextWithNumber(LookupText("_PageRegistryBackupVerifiedKept1"),
                                 static_cast<long long>(verification.VerifiedCount())),
            static_cast<long long>(verification.keptBySystem.size())));
    else
        SetStatus(FormatTextWithNumber(LookupText("_PageRegistryBackupState9"),
                                       static_cast<long long>(verification.VerifiedCount())));
    if (verification.ProblemCount() == 0)
        return;
    restoredPath_ = path;
    restoreCheck_ = verification;
    // Asked once the worker has ended, so that the question does not hold
    // the page's commands back.
    PostMessageW(window_, kOfferProblemListMessage, 0, 0);
}

void PageRegistryBackup::OfferProblemList()
{
    if (closing_ || restoreCheck_.ProblemCount() == 0)
        return;
    const std::string question = FormatTextWithNumber(LookupText("_PageRegistryBackupSaveList1"),
                                                      static_cast<long long>(restoreCheck_.ProblemCount()));
    if (ShowMessage(window_, question, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const std::string target = AskTextFileToSave(GetActiveWindow());
    if (target.empty())
        return;
    const std::string list =
        RestoreProblemList(FormatTextWithString(LookupText("_PageRegistryBackupListHeader1"), restoredPath_),
                           restoreCheck_, LookupText("_PageRegistryBackupListLine1"));
    std::unique_ptr<OutputFile> file = SystemPlatform().CreateOutputFile(target, false);
    bool saved = file && file->Write(list);
    if (file)
        saved = file->Close() && saved;
    if (!saved)
        ShowMessage(window_, FormatTextWithString(LookupText("_PageRegistryBackupSaveList2"), target),
                    MB_OK | MB_ICONINFORMATION);
}

void PageRegistryBackup::EnableCommands(bool enabled)
{
    for (int id : {IDC_BACKUP_BACKUP, IDC_BACKUP_RESTORE, IDC_BACKUP_TO_FILE, IDC_BACKUP_FROM_FILE,
                   IDC_BACKUP_DELETE, IDC_BACKUP_CHANGES, IDC_BACKUP_CHANGES_FILE})
        if (HWND button = GetDlgItem(window_, id))
            EnableWindow(button, enabled ? TRUE : FALSE);
    // The commands are off exactly while the editor runs.
    if (enabled)
        progress_.Stop();
    else
        progress_.Start(0);
}

void PageRegistryBackup::WaitForEditor()
{
    closing_ = true;
    while (IsEditorRunning()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // Left for the program's own message loop.
                PostQuitMessage(static_cast<int>(message.wParam));
                break;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void PageRegistryBackup::OnDestroy()
{
    editor_.Stop();
    WriteColumnLayout(kBackupPageElement, columns_.Current());
}

bool PageRegistryBackup::OnMessage(UINT message, WPARAM, LPARAM, INT_PTR& result)
{
    if (message != kOfferProblemListMessage)
        return false;
    OfferProblemList();
    result = TRUE;
    return true;
}

void PageRegistryBackup::Delete()
{
    if (IsEditorRunning())
        return;
    const int row = ConfirmSelected("_PageRegistryBackupAreYouSureDeleteBackupFile");
    if (row < 0)
        return;
    SetStatus(LookupText("_PageRegistryBackupState4"));
    const std::string path = RowPath(row);
    Platform& platform = SystemPlatform();
    // A file already gone counts as deleted; one still there stays listed.
    const bool gone = platform.RemoveFile(path) || platform.FileAttributes(path) == kInvalidFileAttributes;
    RefreshBackupList();
    SetStatus(LookupText(gone ? "_PageRegistryBackupState7" : "_PageRegistryBackupDeleteFailed"));
}

void PageRegistryBackup::ShowChangesSinceSelected()
{
    if (IsEditorRunning())
        return;
    const int row = SelectedRow();
    if (row < 0) {
        ShowMessage(window_, LookupText("_PageRegistryBackupPleaseSelectAItem"), MB_OK | MB_ICONINFORMATION);
        return;
    }
    ShowChangesSince(RowPath(row));
}

void PageRegistryBackup::ShowChangesSince(const std::string& path)
{
    // A merge half done would be compared as a change of its own.
    if (path.empty() || IsEditorRunning())
        return;
    // A whole-registry backup of the backup folder holds everything under
    // its root keys; any other file only the keys it saved whole.
    const DiffScope scope =
        DiffScopeOfPath(SystemPlatform(), path, backupFolder_, LookupText("_PageRegistryBackupType1"));
    ChangesWindow changes(path, scope, backupFolder_);
    changes.Show(GetAncestor(window_, GA_ROOT));
    // The undo wrote an automatic backup.
    RefreshBackupList();
}

int PageRegistryBackup::ConfirmSelected(const char* questionKey)
{
    const int row = SelectedRow();
    if (row < 0) {
        ShowMessage(window_, LookupText("_PageRegistryBackupPleaseSelectAItem"), MB_OK | MB_ICONINFORMATION);
        return -1;
    }
    if (ShowMessage(window_, LookupText(questionKey), MB_YESNO | MB_ICONINFORMATION) != IDYES)
        return -1;
    return row;
}

void PageRegistryBackup::RefreshBackupList()
{
    if (!list_)
        return;
    const int selected = SelectedRow();
    SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    rows_.clear();
    Platform& platform = SystemPlatform();
    const std::map<std::string, std::string> patterns = {{kBackupFilePattern, ""}};
    FindFiles(platform, platform, backupFolder_, patterns,
              [](const std::string& path, const std::string&, const FoundFile& found, void* page) {
                  static_cast<PageRegistryBackup*>(page)->AddBackupRow(
                      MakeBackupRow(SystemPlatform(), path, found));
              },
              this);

    const int count = static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
    const int row = SelectionAfterRefresh(selected, count);
    if (row < 0)
        return;
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    SendMessageW(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

void PageRegistryBackup::AddBackupRow(const BackupRow& row)
{
    std::wstring date = Widen(row.date);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = &date[0];
    item.iImage = 0;
    // The item data is the row's index into the page's rows, which the
    // column sort compares.
    item.mask |= LVIF_PARAM;
    item.lParam = static_cast<LPARAM>(rows_.size());
    const int position =
        static_cast<int>(SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (position < 0)
        return;
    rows_.push_back(row);
    const std::string* const texts[] = {&row.time, &row.size, &row.type, &row.path};
    int column = 1;
    for (const std::string* text : texts) {
        std::wstring wide = Widen(*text);
        LVITEMW cell = {};
        cell.iSubItem = column++;
        cell.pszText = &wide[0];
        SendMessageW(list_, LVM_SETITEMTEXTW, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&cell));
    }
}

int PageRegistryBackup::SelectedRow() const
{
    if (!list_)
        return -1;
    return static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::string PageRegistryBackup::RowPath(int row) const
{
    return ListViewCellText(list_, row, kPathColumn);
}

void PageRegistryBackup::SetStatus(const std::string& text)
{
    SetDlgItemTextW(window_, IDC_STATUS, Widen(text).c_str());
    // Shown at once, before the work that follows the text.
    if (HWND status = GetDlgItem(window_, IDC_STATUS))
        UpdateWindow(status);
}
