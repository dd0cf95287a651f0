// The cleaner page (see PageRegistryCleaner.h).
#include "ui/PageRegistryCleaner.h"

#include "ui/WindowUtil.h"
#include "core/AdminRights.h"
#include "core/BackupStore.h"
#include "core/ScanTasks.h"
#include "ui/DeleteItems.h"
#include "ui/ListFeeder.h"
#include "ui/MaskedImageList.h"
#include "core/Language.h"
#include "win32/LanguageWin.h"
#include "win32/ProgramPaths.h"
#include "core/RegistryPaths.h"
#include "win32/Win32Platform.h"
#include "resource.h"
#include "core/FlagList.h"
#include "core/IgnoreList.h"
#include "ui/IgnoreListDialog.h"
#include "win32/IgnoreListSettings.h"
#include "win32/LayoutSettings.h"
#include "win32/SettingsDocument.h"
#include "win32/WideText.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace {

const AnchorRule kCleanerLayout[] = {
    {IDC_CLEANER_TASKS, kAnchorTopLeftRight},
    {IDC_CLEANER_SCAN, kAnchorTopRight},
    {IDC_CLEANER_STOP, kAnchorTopRight},
    {IDC_CLEANER_DELETE, kAnchorTopRight},
    {IDC_CLEANER_DELETE_ALL, kAnchorTopRight},
    {IDC_CLEANER_RESULTS, kAnchorAll},
    {IDC_STATUS, kAnchorBottomLeftRight},
    {IDC_PAGE_PROGRESS, kAnchorRight | kAnchorBottom},
    {IDC_RESTART_ADMIN, kAnchorRight | kAnchorBottom},
};

enum TaskMenuCommand { kMenuDefaults = 1, kMenuTickAll, kMenuUntickAll, kMenuInvert, kMenuIgnored };

// State-image index of a list-view check box: 1 unticked, 2 ticked.
int CheckStateImage(HWND list, int row)
{
    const UINT state =
        static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
    return static_cast<int>(state >> 12);
}

void SetCheckStateImage(HWND list, int row, bool ticked)
{
    LVITEMW item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1);
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

WorkerPageParts CleanerParts()
{
    WorkerPageParts parts;
    parts.startButton = IDC_CLEANER_SCAN;
    parts.stopButton = IDC_CLEANER_STOP;
    parts.rowButtons = {IDC_CLEANER_DELETE, IDC_CLEANER_DELETE_ALL};
    parts.resultList = IDC_CLEANER_RESULTS;
    parts.resultImages = IDB_CLEANER_ITEMS;
    parts.readyKey = "_PageRegistryCleanerState1";
    parts.workingKey = "_PageRegistryCleanerState2";
    parts.doneKey = "_PageRegistryCleanerState3";
    parts.doneTextTakesRowCount = true;
    parts.stoppedKey = "_PageRegistryCleanerState4";
    parts.progressBar = IDC_PAGE_PROGRESS;
    parts.restartButton = IDC_RESTART_ADMIN;
    parts.layoutElement = kCleanerPageElement;
    return parts;
}

// Hands a task's findings and walked keys to the page's list and status
// line; findings on the ignore list go nowhere.
class PageSink {
public:
    PageSink(ListFeeder& feeder, TextRules& textRules, const PreparedIgnoreList& ignored)
        : feeder_(feeder), textRules_(textRules), ignored_(ignored)
    {
    }
    // The sink a task reports to; it reaches this object.
    FindingSink Sink() { return FindingSink{&AddFinding, &ShowScanningKey, this}; }
    // The rows handed over since the last call.
    int TakeRowCount() { return std::exchange(rows_, 0); }

private:
    static void AddFinding(const RegistryItem& item, bool scrollIntoView, void* sink)
    {
        PageSink& page = *static_cast<PageSink*>(sink);
        if (!IsIgnored(page.textRules_, page.ignored_, item)) {
            page.feeder_.AddRow(item, scrollIntoView);
            ++page.rows_;
        }
    }
    static void ShowScanningKey(RootKey, const std::string& path, void* sink)
    {
        static_cast<PageSink*>(sink)->feeder_.ShowPath(path);
    }

    ListFeeder& feeder_;
    TextRules& textRules_;
    const PreparedIgnoreList& ignored_;
    int rows_ = 0;
};

} // namespace

PageRegistryCleaner::PageRegistryCleaner() : WorkerPage(CleanerParts()) {}

PageRegistryCleaner::~PageRegistryCleaner()
{
    EndWorker();
}

void PageRegistryCleaner::OnInitDialog()
{
    TranslateWindow(window_);
    layout_.Attach(window_, kCleanerLayout, sizeof kCleanerLayout / sizeof kCleanerLayout[0]);

    elevated_ = SystemPlatform().RunsElevated();
    tasks_ = GetDlgItem(window_, IDC_CLEANER_TASKS);
    AttachTaskImages();
    SendMessageW(tasks_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
    // The page owns the image list; the control must not destroy it too.
    SetWindowLongPtrW(tasks_, GWL_STYLE, GetWindowLongPtrW(tasks_, GWL_STYLE) | LVS_SHAREIMAGELISTS);
    for (int task = 0; task < kScanTaskCount; ++task) {
        std::wstring title = Widen(LookupText("_PageRegistryCleanerTask" + std::to_string(task + 1)));
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = task;
        item.pszText = &title[0];
        item.iImage = task;
        SendMessageW(tasks_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }

    SetUpWorkControls();
    results_.SetBackupFolder(ProgramFolder() + kBackupFolderBelowProgram);
    results_.SetIgnoreOffered(true);
    LoadTaskChoices("custom");
    noteReady_ = true;
    UpdateMachineNote();
}

bool PageRegistryCleaner::OnCommand(int id, int code, HWND control)
{
    switch (id) {
    case IDC_CLEANER_SCAN:
        StartScan();
        return true;
    case IDC_CLEANER_STOP:
        StopScan();
        return true;
    case IDC_CLEANER_DELETE:
        DeleteSelected();
        return true;
    case IDC_CLEANER_DELETE_ALL:
        DeleteEverything();
        return true;
    default:
        return WorkerPage::OnCommand(id, code, control);
    }
}

bool PageRegistryCleaner::OnNotify(NMHDR* header, LRESULT& result)
{
    if (header->hwndFrom == tasks_ && header->code == NM_RCLICK) {
        ShowTaskMenu();
        result = 0;
        return true;
    }
    if (header->hwndFrom == tasks_ && header->code == LVN_ITEMCHANGED) {
        // A tick changes the state image; a new selection leaves it.
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
        if ((change->uChanged & LVIF_STATE) != 0 &&
            ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK) != 0)
            UpdateMachineNote();
        return false;
    }
    return WorkerPage::OnNotify(header, result);
}

void PageRegistryCleaner::AttachTaskImages()
{
    LoadPictureStrip(taskImages_, IDB_TASKS, 16, Dpi());
    SendMessageW(tasks_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(taskImages_.Get()));
}

void PageRegistryCleaner::OnDpiChanged()
{
    WorkerPage::OnDpiChanged();
    AttachTaskImages();
}

void PageRegistryCleaner::OnDestroy()
{
    WorkerPage::OnDestroy();
    SaveTaskChoices();
}

void PageRegistryCleaner::SetCleanerButtons(bool scan, bool stop, bool deleteSelected, bool deleteAll)
{
    EnableControl(window_, IDC_CLEANER_SCAN, scan);
    EnableControl(window_, IDC_CLEANER_STOP, stop);
    EnableControl(window_, IDC_CLEANER_DELETE, deleteSelected);
    EnableControl(window_, IDC_CLEANER_DELETE_ALL, deleteAll);
}

void PageRegistryCleaner::PrepareWork()
{
    chosenTasks_ = TaskChecks();
    // The counts of an earlier scan go; the scanning text replaces the note.
    for (int task = 0; task < kScanTaskCount; ++task)
        SetTaskTitle(task, -1);
    noteShown_ = false;
    ignored_ = PrepareIgnoreList(SystemPlatform(), ReadIgnoreList(SettingsFilePath()).entries);
}

void PageRegistryCleaner::DoWork(WorkerThread& worker, ListFeeder& feeder)
{
    // The walking text is looked up once per scan and put together with the
    // latest key only when the status line changes, a few times a second.
    feeder.SetStatusFormat([scanning = LookupText("_PageRegistryCleanerState2")](const std::string& path) {
        return scanning + path;
    });
    PageSink sink(feeder, SystemPlatform(), ignored_);
    ScanCache cache;   // the file answers of this scan, shared by its tasks
    for (std::size_t task = 0; task < chosenTasks_.size() && task < kScanTaskCount; ++task) {
        if (worker.StopRequested())
            return;
        if (chosenTasks_[task]) {
            RunScanTask(SystemPlatform(), static_cast<int>(task) + 1, sink.Sink(), &worker.StopFlag(), &cache);
            // A task cut short by a stop has no count of its own.
            const int rows = sink.TakeRowCount();
            if (!worker.StopRequested())
                feeder.EndStep(static_cast<int>(task), rows);
        }
        feeder.Flush();
    }
}

int PageRegistryCleaner::WorkSteps() const
{
    const std::size_t tasks = std::min<std::size_t>(chosenTasks_.size(), kScanTaskCount);
    return static_cast<int>(std::count(chosenTasks_.begin(), chosenTasks_.begin() + tasks, true));
}

void PageRegistryCleaner::OnStepsEnded(const std::vector<WorkStepEnd>& steps)
{
    for (const WorkStepEnd& step : steps)
        SetTaskTitle(step.step, step.rows);
}

void PageRegistryCleaner::SetTaskTitle(int task, int findings)
{
    const std::string title = LookupText("_PageRegistryCleanerTask" + std::to_string(task + 1));
    const std::string text =
        findings < 0 ? title
                     : FormatTextWithStringAndNumber(LookupText("_PageRegistryCleanerTaskCount"), title, findings);
    std::wstring wide = Widen(text);
    LVITEMW item = {};
    item.iSubItem = 0;
    item.pszText = &wide[0];
    SendMessageW(tasks_, LVM_SETITEMTEXTW, static_cast<WPARAM>(task), reinterpret_cast<LPARAM>(&item));
}

void PageRegistryCleaner::UpdateMachineNote()
{
    if (!noteReady_ || IsWorkRunning())
        return;
    const bool show = ShouldShowMachineKeyNote(elevated_, TaskChecks());
    if (show)
        SetStatus(LookupText("_PageRegistryCleanerMachineNote"));
    else if (noteShown_)
        SetStatus(LookupText("_PageRegistryCleanerState1"));
    noteShown_ = show;
}

std::vector<bool> PageRegistryCleaner::TaskChecks() const
{
    const int count = static_cast<int>(SendMessageW(tasks_, LVM_GETITEMCOUNT, 0, 0));
    std::vector<bool> checks;
    for (int row = 0; row < count; ++row)
        checks.push_back(CheckStateImage(tasks_, row) - 1 != 0);
    return checks;
}

void PageRegistryCleaner::SetTaskChecks(const std::vector<bool>& checks)
{
    for (std::size_t row = 0; row < checks.size(); ++row)
        SetCheckStateImage(tasks_, static_cast<int>(row), checks[row]);
}

void PageRegistryCleaner::LoadTaskChoices(const std::string& attribute)
{
    const std::string text = ReadSettings({kTaskListElement}, attribute).front();
    std::vector<bool> checks = TaskChecks();
    if (DecodeFlagList(text, checks))
        SetTaskChecks(checks);
}

void PageRegistryCleaner::SaveTaskChoices()
{
    if (!tasks_)
        return;
    const int count = static_cast<int>(SendMessageW(tasks_, LVM_GETITEMCOUNT, 0, 0));
    std::vector<bool> checks;
    for (int row = 0; row < count; ++row)
        checks.push_back(CheckStateImage(tasks_, row) != 1);
    WriteSettings({{kTaskListElement, EncodeFlagList(checks)}});
}

void PageRegistryCleaner::ShowTaskMenu()
{
    MenuOwner menu(CreatePopupMenu());
    if (!menu.Get())
        return;
    const auto addItem = [&menu](UINT command, const char* key) {
        AppendMenuW(menu.Get(), MF_STRING, command, Widen(LookupText(key)).c_str());
    };
    addItem(kMenuDefaults, "_PageRegistryCleanerTaskListMenuItem1");
    AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    addItem(kMenuTickAll, "_PageRegistryCleanerTaskListMenuItem2");
    addItem(kMenuUntickAll, "_PageRegistryCleanerTaskListMenuItem3");
    addItem(kMenuInvert, "_PageRegistryCleanerTaskListMenuItem4");
    AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    addItem(kMenuIgnored, "_PageRegistryCleanerTaskListMenuItem5");
    POINT cursor = {};
    GetCursorPos(&cursor);
    const int command = TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0,
                                       window_, nullptr);
    std::vector<bool> checks = TaskChecks();
    switch (command) {
    case kMenuDefaults:
        LoadTaskChoices("default");
        break;
    case kMenuTickAll:
        SetTaskChecks(std::vector<bool>(checks.size(), true));
        break;
    case kMenuUntickAll:
        SetTaskChecks(std::vector<bool>(checks.size(), false));
        break;
    case kMenuInvert: {
        const int count = static_cast<int>(checks.size());
        for (int row = 0; row < count; ++row)
            checks[static_cast<std::size_t>(row)] = CheckStateImage(tasks_, row) == 1;
        SetTaskChecks(checks);
        break;
    }
    case kMenuIgnored: {
        IgnoreListDialog dialog;
        dialog.Show(GetAncestor(window_, GA_ROOT));
        break;
    }
    default:
        break;
    }
}

void PageRegistryCleaner::DeleteSelected()
{
    DeleteSelectedItems(results_);
}

void PageRegistryCleaner::DeleteEverything()
{
    if (ShowMessage(window_, LookupText("_PageRegistryCleanerDeleteAllConfirm"), MB_YESNO | MB_ICONINFORMATION) !=
        IDYES)
        return;
    results_.SelectAll();
    DeleteItems(results_);
}
