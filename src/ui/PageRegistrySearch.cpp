// The search page (see PageRegistrySearch.h).
#include "ui/PageRegistrySearch.h"

#include "ui/WindowUtil.h"
#include "ui/ListFeeder.h"
#include "core/BackupStore.h"
#include "win32/ProgramPaths.h"
#include "core/Language.h"
#include "win32/LanguageWin.h"
#include "win32/Win32Platform.h"
#include "resource.h"
#include "core/FlagList.h"
#include "win32/LayoutSettings.h"
#include "win32/SettingsDocument.h"
#include "win32/WideText.h"

#include <commctrl.h>

#include <vector>

namespace {

// The check boxes in the order their flags are stored in config.xml.
const int kOptionBoxes[] = {IDC_SEARCH_INCLUDE_KEY, IDC_SEARCH_INCLUDE_VALUE, IDC_SEARCH_INCLUDE_DATA,
                            IDC_SEARCH_WILDCARD,    IDC_SEARCH_FULL_WORD,     IDC_SEARCH_CASE};
const int kRangeBoxes[] = {IDC_SEARCH_HKCR, IDC_SEARCH_HKCU, IDC_SEARCH_HKLM, IDC_SEARCH_HKU, IDC_SEARCH_HKCC};

const AnchorRule kSearchLayout[] = {
    {IDC_SEARCH_START, kAnchorTopRight},
    {IDC_SEARCH_STOP, kAnchorTopRight},
    {IDC_SEARCH_CLEAR, kAnchorTopRight},
    {IDC_SEARCH_DEFAULT, kAnchorTopRight},
    {IDC_SEARCH_KEYWORD, kAnchorTopLeftRight},
    {IDC_SEARCH_RANGE_GROUP, kAnchorTopLeftRight},
    {IDC_STATUS, kAnchorBottomLeftRight},
    {IDC_SEARCH_RESULTS, kAnchorAll},
    {IDC_PAGE_PROGRESS, kAnchorRight | kAnchorBottom},
    {IDC_RESTART_ADMIN, kAnchorRight | kAnchorBottom},
};

WorkerPageParts SearchParts()
{
    WorkerPageParts parts;
    parts.startButton = IDC_SEARCH_START;
    parts.stopButton = IDC_SEARCH_STOP;
    parts.rowButtons = {IDC_SEARCH_CLEAR};
    parts.resultList = IDC_SEARCH_RESULTS;
    parts.resultImages = IDB_SEARCH_ITEMS;
    parts.readyKey = "_PageRegistrySearchState1";
    parts.workingKey = "_PageRegistrySearchState2";
    parts.doneKey = "_PageRegistrySearchState3";
    parts.stoppedKey = "_PageRegistrySearchState4";
    parts.progressBar = IDC_PAGE_PROGRESS;
    parts.restartButton = IDC_RESTART_ADMIN;
    parts.layoutElement = kSearchPageElement;
    return parts;
}

// Hands the search's hits and walked keys to the page's list and status line.
class PageSink {
public:
    explicit PageSink(ListFeeder& feeder) : feeder_(feeder) {}
    // The sink the search reports to; it reaches this object.
    SearchSink Sink() { return SearchSink{&AddHit, &ShowKey, this}; }

private:
    static void AddHit(const RegistryItem& item, void* sink)
    {
        static_cast<PageSink*>(sink)->feeder_.AddRow(item);
    }
    static void ShowKey(const std::string& path, void* sink)
    {
        static_cast<PageSink*>(sink)->feeder_.ShowPath(path);
    }

    ListFeeder& feeder_;
};

} // namespace

PageRegistrySearch::PageRegistrySearch() : WorkerPage(SearchParts()) {}

PageRegistrySearch::~PageRegistrySearch()
{
    EndWorker();
}

void PageRegistrySearch::OnInitDialog()
{
    TranslateWindow(window_);
    layout_.Attach(window_, kSearchLayout, sizeof kSearchLayout / sizeof kSearchLayout[0]);

    SetUpWorkControls();
    results_.SetBackupFolder(ProgramFolder() + kBackupFolderBelowProgram);
    SendDlgItemMessageW(window_, IDC_SEARCH_KEYWORD, EM_LIMITTEXT, kMaxKeywordLength, 0);
    LoadSettings("custom");
}

bool PageRegistrySearch::OnCommand(int id, int code, HWND control)
{
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_SEARCH_START:
        StartSearch();
        return true;
    case IDC_SEARCH_STOP:
        StopSearch();
        return true;
    case IDC_SEARCH_CLEAR:
        ClearResults();
        return true;
    case IDC_SEARCH_DEFAULT:
        LoadSettings("default");
        return true;
    default:
        return WorkerPage::OnCommand(id, code, control);
    }
}

void PageRegistrySearch::OnDestroy()
{
    WorkerPage::OnDestroy();
    SaveSettings();
}

bool PageRegistrySearch::IsChecked(int id) const
{
    return IsDlgButtonChecked(window_, id) == BST_CHECKED;
}

void PageRegistrySearch::SetChecked(int id, bool checked)
{
    CheckDlgButton(window_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

std::string PageRegistrySearch::KeywordText() const
{
    return LimitKeyword(ControlText(GetDlgItem(window_, IDC_SEARCH_KEYWORD)));
}

void PageRegistrySearch::SetSearchButtons(bool start, bool stop, bool clear)
{
    EnableControl(window_, IDC_SEARCH_START, start);
    EnableControl(window_, IDC_SEARCH_STOP, stop);
    EnableControl(window_, IDC_SEARCH_CLEAR, clear);
}

void PageRegistrySearch::StartSearch()
{
    StopSearch();
    options_ = SearchOptions();
    options_.keyword = KeywordText();
    options_.includeKeyNames = IsChecked(IDC_SEARCH_INCLUDE_KEY);
    options_.includeValueNames = IsChecked(IDC_SEARCH_INCLUDE_VALUE);
    options_.includeValueData = IsChecked(IDC_SEARCH_INCLUDE_DATA);
    options_.useWildcard = IsChecked(IDC_SEARCH_WILDCARD);
    options_.fullWordMatch = IsChecked(IDC_SEARCH_FULL_WORD);
    options_.caseSensitive = IsChecked(IDC_SEARCH_CASE);
    options_.searchHKCR = IsChecked(IDC_SEARCH_HKCR);
    options_.searchHKCU = IsChecked(IDC_SEARCH_HKCU);
    options_.searchHKLM = IsChecked(IDC_SEARCH_HKLM);
    options_.searchHKU = IsChecked(IDC_SEARCH_HKU);
    options_.searchHKCC = IsChecked(IDC_SEARCH_HKCC);
    StartWork();
}

void PageRegistrySearch::DoWork(WorkerThread& worker, ListFeeder& feeder)
{
    // The texts are looked up once per search; the status line is put
    // together with the latest key only when it changes, a few times a second.
    feeder.SetStatusFormat([searching = LookupText("_PageRegistrySearchState2")](const std::string& path) {
        return FormatTextWithString(searching, path);
    });
    PageSink sink(feeder);
    Platform& platform = SystemPlatform();
    SearchRegistry(platform, platform, options_, sink.Sink(), LookupText("_PageRegistrySearchKeyFlagString"),
                   &worker.StopFlag());
}

void PageRegistrySearch::ClearResults()
{
    results_.Clear();
    SetSearchButtons(true, false, results_.RowCount() > 0);
}

void PageRegistrySearch::LoadSettings(const std::string& attribute)
{
    const std::vector<std::string> values =
        ReadSettings({kSearchOptionsElement, kSearchRangeElement, kSearchKeywordElement}, attribute);
    if (values.size() < 3)
        return;
    const auto applyFlags = [this](const std::string& text, const int* boxes, std::size_t count) {
        std::vector<bool> flags;
        for (std::size_t i = 0; i < count; ++i)
            flags.push_back(IsChecked(boxes[i]));
        if (!DecodeFlagList(text, flags))
            return;
        for (std::size_t i = 0; i < count; ++i)
            SetChecked(boxes[i], flags[i]);
    };
    applyFlags(values[0], kOptionBoxes, sizeof kOptionBoxes / sizeof kOptionBoxes[0]);
    applyFlags(values[1], kRangeBoxes, sizeof kRangeBoxes / sizeof kRangeBoxes[0]);
    SetDlgItemTextW(window_, IDC_SEARCH_KEYWORD, Widen(values[2]).c_str());
}

void PageRegistrySearch::SaveSettings()
{
    if (!window_)
        return;
    const auto flagsOf = [this](const int* boxes, std::size_t count) {
        std::vector<bool> flags;
        for (std::size_t i = 0; i < count; ++i)
            flags.push_back(IsChecked(boxes[i]));
        return EncodeFlagList(flags);
    };
    WriteSettings({
        {kSearchOptionsElement, flagsOf(kOptionBoxes, sizeof kOptionBoxes / sizeof kOptionBoxes[0])},
        {kSearchRangeElement, flagsOf(kRangeBoxes, sizeof kRangeBoxes / sizeof kRangeBoxes[0])},
        {kSearchKeywordElement, KeywordText()},
    });
}
