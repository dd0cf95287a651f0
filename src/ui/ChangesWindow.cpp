// The window of what changed since a backup (see ChangesWindow.h).
#include "ui/ChangesWindow.h"

#include "core/Language.h"
#include "ui/ListViewHelpers.h"
#include "ui/ProgressWindow.h"
#include "ui/RegFileDialog.h"
#include "ui/WindowUtil.h"
#include "win32/LanguageWin.h"
#include "win32/RegeditBridge.h"
#include "win32/Win32Platform.h"
#include "win32/WideText.h"
#include "resource.h"

#include <algorithm>
#include <memory>
#include <numeric>
#include <utility>

namespace {

// Posted by the worker when a new key waits to be shown.
constexpr UINT kKeyWaitingMessage = kWorkerRequestMessage + 1;
// The status line follows the comparison a few times a second.
constexpr DWORD kKeyIntervalMs = 150;

const AnchorRule kChangesLayout[] = {
    {IDC_CHANGES_LIST, kAnchorAll},
    {IDC_STATUS, kAnchorBottomLeftRight},
    {IDC_CHANGES_STOP, kAnchorLeft | kAnchorBottom},
    {IDC_CHANGES_UNDO, kAnchorLeft | kAnchorBottom},
    {IDC_CHANGES_EXPORT, kAnchorLeft | kAnchorBottom},
    {IDCANCEL, kAnchorRight | kAnchorBottom},
};

constexpr int kColumnWidths[7] = {70, 110, 220, 110, 80, 150, 150};

long long Count(const std::vector<DiffEntry>& entries, DiffKind kind)
{
    return std::count_if(entries.begin(), entries.end(),
                         [kind](const DiffEntry& entry) { return entry.kind == kind; });
}

} // namespace

ChangesWindow::ChangesWindow(std::string path, DiffScope scope, std::string backupFolder)
    : path_(std::move(path)), scope_(scope), backupFolder_(std::move(backupFolder))
{
}

ChangesWindow::~ChangesWindow()
{
    worker_.Stop();
}

void ChangesWindow::Show(HWND owner)
{
    ShowModal(IDD_CHANGES, owner);
}

void ChangesWindow::OnInitDialog()
{
    TranslateWindow(window_);
    SetWindowTextW(window_, Widen(FormatTextWithString(LookupText("_ChangesDlgCaption1"), path_)).c_str());
    texts_ = DiffTexts{LookupText(kDiffKindKeys[0]), LookupText(kDiffKindKeys[1]), LookupText(kDiffKindKeys[2])};
    layout_.Attach(window_, kChangesLayout, sizeof kChangesLayout / sizeof kChangesLayout[0]);
    RECT frame = {};
    GetWindowRect(window_, &frame);
    minimumSize_ = SIZE{(frame.right - frame.left) / 2, (frame.bottom - frame.top) / 2};
    SetUpList();
    CenterWindow(window_, GetWindow(window_, GW_OWNER));
    StartCompare();
}

void ChangesWindow::SetUpList()
{
    list_ = GetDlgItem(window_, IDC_CHANGES_LIST);
    if (!list_)
        return;
    for (int column = 0; column < 7; ++column)
        InsertSortableColumn(list_, column, LookupText(kDiffColumnKeys[column]), kColumnWidths[column],
                             kSortAsText);
    const DWORD styles = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES;
    SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, styles, styles);
}

INT_PTR ChangesWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        return TRUE;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED)
            layout_.Apply(LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case WM_GETMINMAXINFO: {
        // Small enough to make room, large enough to keep the buttons apart.
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize.x = minimumSize_.cx;
        limits->ptMinTrackSize.y = minimumSize_.cy;
        return TRUE;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED)
            return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_CHANGES_STOP:
            StopCompare();
            return TRUE;
        case IDC_CHANGES_UNDO:
            Undo();
            return TRUE;
        case IDC_CHANGES_EXPORT:
            Export();
            return TRUE;
        case IDCANCEL:
            Close();
            return TRUE;
        default:
            return FALSE;
        }
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (!OnNotify(reinterpret_cast<NMHDR*>(lParam), result))
            return FALSE;
        SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
        return TRUE;
    }
    case kWorkerRequestMessage:
        WorkerThread::HandleRequest(message, wParam, lParam);
        return TRUE;
    case kKeyWaitingMessage:
        ShowLatestKey();
        return TRUE;
    default:
        return FALSE;
    }
}

bool ChangesWindow::OnNotify(NMHDR* header, LRESULT& result)
{
    if (!list_ || header->hwndFrom != list_)
        return false;
    switch (header->code) {
    case LVN_GETDISPINFOW:
        FillDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(header));
        result = 0;
        return true;
    case LVN_COLUMNCLICK:
        SortByColumn(reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
        result = 0;
        return true;
    case LVN_ITEMCHANGED:
    case LVN_ODSTATECHANGED:
        UpdateButtons();
        result = 0;
        return true;
    case LVN_KEYDOWN: {
        const WORD key = reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey;
        if (key == VK_DELETE)
            Undo();
        else if (key == 'A' && (GetKeyState(VK_CONTROL) & 0x8000))
            SelectAll();
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

void ChangesWindow::StartCompare()
{
    rows_.clear();
    ShowRows();
    outcome_ = DiffOutcome{};
    fileRead_ = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        latestKey_.clear();
        keyAnnounced_ = false;
    }
    comparing_ = true;
    UpdateButtons();
    SetStatus(FormatTextWithString(LookupText("_ChangesDlgState1"), path_));
    if (!worker_.Start(window_, [this](WorkerThread& worker) { Compare(worker); })) {
        comparing_ = false;
        ShowOutcome();
    }
}

void ChangesWindow::Compare(WorkerThread& worker)
{
    // Read here: a whole-registry backup runs to a hundred megabytes.
    std::string bytes;
    if (!ReadFileBytes(path_, &bytes)) {
        worker.Finish([this] { ShowOutcome(); });
        return;
    }
    Platform& platform = SystemPlatform();
    // Gives the bytes up as soon as they are decoded.
    const RegFileContent content = ReadRegFileJoined(platform, std::move(bytes));
    if (content.format == RegFileFormat::kUnknown) {
        worker.Finish([this] { ShowOutcome(); });
        return;
    }
    fileRead_ = true;
    // Kept where the window finds it also after a stop, which drops Finish.
    outcome_ = CompareWithRegistry(platform, content, scope_, ReportKey, this, &worker.StopFlag());
    worker.Finish([this] { ShowOutcome(); });
}

void ChangesWindow::ReportKey(const std::string& fullKeyPath, void* context)
{
    auto* self = static_cast<ChangesWindow*>(context);
    const DWORD now = GetTickCount();
    std::lock_guard<std::mutex> lock(self->mutex_);
    self->latestKey_ = fullKeyPath;
    if (self->keyAnnounced_ || now - self->lastKeyShown_ < kKeyIntervalMs)
        return;
    self->keyAnnounced_ = true;
    self->lastKeyShown_ = now;
    PostMessageW(self->window_, kKeyWaitingMessage, 0, 0);
}

void ChangesWindow::ShowLatestKey()
{
    std::string key;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        key = latestKey_;
        keyAnnounced_ = false;
    }
    // A message still on its way after the end changes nothing.
    if (comparing_ && !key.empty())
        SetStatus(FormatTextWithString(LookupText("_ChangesDlgState2"), key));
}

void ChangesWindow::StopCompare()
{
    if (!comparing_)
        return;
    // Joins the worker; what it had found is in outcome_.
    worker_.Stop();
    outcome_.stopped = true;
    ShowOutcome();
}

void ChangesWindow::ShowOutcome()
{
    comparing_ = false;
    // A stop while the file was still being read compared nothing.
    if (!fileRead_ && !outcome_.stopped) {
        SetStatus(FormatTextWithString(LookupText("_ChangesDlgReadFailed"), path_));
        UpdateButtons();
        return;
    }
    rows_ = std::move(outcome_.entries);
    volatileCount_ = outcome_.volatileCount;
    ShowRows();
    ShowCounts(outcome_.stopped);
    UpdateButtons();
}

void ChangesWindow::ShowCounts(bool stopped)
{
    std::string text = LookupText(stopped ? "_ChangesDlgState5"
                                          : (volatileCount_ > 0 ? "_ChangesDlgState4" : "_ChangesDlgState3"));
    text = FormatTextWithNumber(text, static_cast<long long>(rows_.size()));
    for (DiffKind kind : {DiffKind::Removed, DiffKind::Changed, DiffKind::Added})
        text = FormatTextWithNumber(text, Count(rows_, kind));
    if (!stopped && volatileCount_ > 0)
        text = FormatTextWithNumber(text, static_cast<long long>(volatileCount_));
    SetStatus(text);
}

void ChangesWindow::Close()
{
    if (comparing_) {
        if (ShowMessage(window_, LookupText("_ChangesDlgCancelConfirm"), MB_YESNO | MB_ICONINFORMATION) != IDYES)
            return;
        // The question was answered while the worker went on; it may have
        // ended meanwhile.
        worker_.Stop();
        comparing_ = false;
    }
    EndDialog(window_, IDCANCEL);
}

void ChangesWindow::Undo()
{
    if (comparing_)
        return;
    const std::vector<std::size_t> selected = SelectedRows();
    if (selected.empty())
        return;
    const std::string question =
        FormatTextWithNumber(LookupText("_ChangesDlgUndoConfirm"), static_cast<long long>(selected.size()));
    if (ShowMessage(window_, question, MB_YESNO | MB_ICONINFORMATION) != IDYES)
        return;
    std::vector<DiffEntry> chosen;
    for (std::size_t row : selected)
        chosen.push_back(rows_[row]);

    ChangeStepsProgress progress;
    progress.owner = window_;
    progress.steps = static_cast<int>(chosen.size());
    progress.backupKey = "_RegistryListViewProgressState1";
    progress.changeKey = "_ChangesDlgProgress1";
    const ChangeBackup backup{backupFolder_, LookupText("_PageRegistryBackupType2")};
    const UndoOutcome outcome = UndoDifferences(SystemPlatform(), chosen, backup, ShowChangeStep, &progress);
    progress.window.reset();

    if (!ChangeWentAhead(window_, outcome.status, outcome.refusedKeys, "_PageRegistryDiffUndoRefused",
                         "_PageRegistryDiffUndoBackupFailed"))
        return;
    // What now is as the backup holds it is no difference any more; the
    // rows that did not come back stay, and stay selected, so that the list
    // names them.
    std::vector<bool> gone(rows_.size(), false);
    for (std::size_t index : outcome.verified)
        if (index < selected.size())
            gone[selected[index]] = true;
    std::vector<DiffEntry> remaining;
    std::vector<int> keptSelected;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        if (gone[row])
            continue;
        if (std::find(selected.begin(), selected.end(), row) != selected.end())
            keptSelected.push_back(static_cast<int>(remaining.size()));
        remaining.push_back(std::move(rows_[row]));
    }
    rows_ = std::move(remaining);
    ShowRows();
    for (int row : keptSelected)
        ListView_SetItemState(list_, row, LVIS_SELECTED, LVIS_SELECTED);
    UpdateButtons();
    if (outcome.status == ChangeStatus::Done)
        SetStatus(FormatTextWithNumber(LookupText("_PageRegistryDiffUndone1"),
                                       static_cast<long long>(outcome.verified.size())));
    else
        SetStatus(FormatTextWithNumber(LookupText("_PageRegistryDiffUndone2"),
                                       static_cast<long long>(outcome.notVerified.size())));
}

void ChangesWindow::Export()
{
    if (comparing_ || rows_.empty())
        return;
    const ExportFileChoice choice = AskExportFileToSave(GetActiveWindow());
    if (choice.path.empty())
        return;
    const std::vector<DiffEntry> entries = ExportedEntries();
    Platform& platform = SystemPlatform();
    if (choice.csv) {
        std::vector<std::string> headers;
        for (const char* key : kDiffColumnKeys)
            headers.push_back(LookupText(key));
        if (WriteDiffCsvReport(platform, choice.path, headers, entries, texts_) != CsvReportStatus::Written)
            ShowMessage(window_, FormatTextWithString(LookupText("_RegistryListViewCsvFailed"), choice.path),
                        MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (!WriteDiffUndoRegFile(platform, choice.path, entries))
        ShowMessage(window_, LookupText("_RegistryListViewRegWriteFailed"), MB_OK | MB_ICONINFORMATION);
}

std::vector<DiffEntry> ChangesWindow::ExportedEntries() const
{
    std::vector<std::size_t> rows = SelectedRows();
    if (rows.empty()) {
        rows.resize(rows_.size());
        std::iota(rows.begin(), rows.end(), std::size_t{0});
    }
    std::vector<DiffEntry> entries;
    for (std::size_t row : rows)
        entries.push_back(rows_[row]);
    return entries;
}

void ChangesWindow::UpdateButtons()
{
    EnableControl(window_, IDC_CHANGES_STOP, comparing_);
    const bool rows = !comparing_ && !rows_.empty();
    EnableControl(window_, IDC_CHANGES_EXPORT, rows);
    EnableControl(window_, IDC_CHANGES_UNDO,
                  rows && list_ && SendMessageW(list_, LVM_GETSELECTEDCOUNT, 0, 0) > 0);
}

void ChangesWindow::SetStatus(const std::string& text)
{
    SetDlgItemTextW(window_, IDC_STATUS, Widen(text).c_str());
}

std::vector<std::size_t> ChangesWindow::SelectedRows() const
{
    std::vector<std::size_t> rows;
    if (!list_)
        return rows;
    int row = -1;
    while ((row = static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                                LVNI_SELECTED))) >= 0) {
        if (static_cast<std::size_t>(row) < rows_.size())
            rows.push_back(static_cast<std::size_t>(row));
    }
    return rows;
}

void ChangesWindow::ShowRows()
{
    if (!list_)
        return;
    // A new row count clears the control's selection; the rows are new.
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessageW(list_, LVM_SETITEMCOUNT, static_cast<WPARAM>(rows_.size()), 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void ChangesWindow::SortByColumn(int column)
{
    if (comparing_ || column < 0 || column >= 7 || rows_.empty())
        return;
    std::vector<std::string> keys;
    keys.reserve(rows_.size());
    for (const DiffEntry& entry : rows_)
        keys.push_back(std::move(DiffRowTexts(entry, texts_)[static_cast<std::size_t>(column)]));
    std::vector<std::size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    const bool descending = sortDescending_;
    // UTF-8 bytes in order sort as their characters do.
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return descending ? keys[b] < keys[a] : keys[a] < keys[b];
    });
    std::vector<DiffEntry> sorted;
    sorted.reserve(rows_.size());
    for (std::size_t index : order)
        sorted.push_back(std::move(rows_[index]));
    rows_ = std::move(sorted);
    sortDescending_ = !sortDescending_;
    ShowRows();
    UpdateButtons();
}

void ChangesWindow::FillDisplayInfo(NMLVDISPINFOW& info)
{
    LVITEMW& item = info.item;
    if (!(item.mask & LVIF_TEXT))
        return;
    const bool exists = item.iItem >= 0 && static_cast<std::size_t>(item.iItem) < rows_.size() &&
                        item.iSubItem >= 0 && item.iSubItem < 7;
    // The control reads the text where pszText points; the buffers take
    // turns, so each keeps its text through the notifications after it.
    nextDisplayText_ = (nextDisplayText_ + 1) % displayTexts_.size();
    std::wstring& text = displayTexts_[nextDisplayText_];
    text = exists ? Widen(DiffRowTexts(rows_[static_cast<std::size_t>(item.iItem)], texts_)
                              [static_cast<std::size_t>(item.iSubItem)])
                  : std::wstring();
    item.pszText = &text[0];
}

void ChangesWindow::SelectAll()
{
    if (list_)
        ListView_SetItemState(list_, -1, LVIS_SELECTED, LVIS_SELECTED);
    UpdateButtons();
}
