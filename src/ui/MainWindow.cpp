// The program's only top-level window (see MainWindow.h).
#include "ui/MainWindow.h"

#include "ui/AboutDialog.h"
#include "ui/MaskedImageList.h"
#include "ui/WebLink.h"
#include "ui/WindowUtil.h"
#include "win32/LanguageWin.h"
#include "win32/ProgramPaths.h"
#include "win32/WideText.h"
#include "resource.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

namespace {

constexpr int kSplitterPosition = 188;
constexpr COLORREF kPageListTextColour = RGB(33, 77, 144);

const AnchorRule kMainLayout[] = {
    {IDC_MAIN_BANNER, kAnchorTopLeftRight},
    {IDC_MAIN_PAGE_HOST, kAnchorAll},
};

} // namespace

bool MainWindow::Create(OpeningPage page)
{
    openingPage_ = page;
    return CreateModeless(IDD_MAIN, nullptr) != nullptr;
}

INT_PTR MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == TaskbarProgress::ButtonCreatedMessage()) {
        taskbar_.OnButtonCreated(window_);
        return TRUE;
    }
    switch (message) {
    case kPageProgressMessage:
        OnPageProgress(*reinterpret_cast<const PageProgressReport*>(lParam));
        return TRUE;
    case WM_INITDIALOG:
        OnInitDialog();
        return TRUE;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED)
            layout_.Apply(LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_PAGE_LIST && header->code == TVN_SELCHANGEDW) {
            host_.OnSelectionChanged(reinterpret_cast<const NMTREEVIEWW*>(lParam)->itemNew.hItem);
            return TRUE;
        }
        return FALSE;
    }
    case WM_DESTROY:
        if (largeIcon_)
            DestroyIcon(largeIcon_);
        if (smallIcon_)
            DestroyIcon(smallIcon_);
        largeIcon_ = smallIcon_ = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

void MainWindow::OnInitDialog()
{
    CenterWindow(window_, nullptr);

    HINSTANCE instance = GetModuleHandleW(nullptr);
    largeIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXICON),
                                               GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));

    TaskbarProgress::AcceptButtonCreated(window_);
    TranslateWindow(window_);
    TranslateMenu(GetMenu(window_));
    DrawMenuBar(window_);
    SetCaptionFromVersion();

    banner_.Attach(GetDlgItem(window_, IDC_MAIN_BANNER), IDB_BANNER);
    layout_.Attach(window_, kMainLayout, sizeof kMainLayout / sizeof kMainLayout[0]);

    host_.Attach(GetDlgItem(window_, IDC_MAIN_PAGE_HOST), window_, kSplitterPosition);
    host_.SetImageList(IDB_PAGE_LIST, kPictureMask);
    pageListFont_.Reset(CreateFontW(15, 0, 0, 0, 900, TRUE, FALSE, FALSE, DEFAULT_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    DEFAULT_PITCH | FF_DONTCARE, L"Arial"));
    host_.SetListFont(pageListFont_.Get(), kPageListTextColour);

    HWND container = host_.Container();
    if (container) {
        cleaner_.Create(container, IDD_PAGE_CLEANER);
        search_.Create(container, IDD_PAGE_SEARCH);
        backup_.Create(container, IDD_PAGE_BACKUP);
    }
    host_.AddPage(cleaner_.Window(), LookupText("_PageRegistryCleanerTitle"));
    host_.AddPage(search_.Window(), LookupText("_PageRegistrySearchTitle"));
    host_.AddPage(backup_.Window(), LookupText("_PageRegistryBackupTitle"));
    host_.SelectFirst();
    if (openingPage_ == OpeningPage::Search)
        host_.SelectPage(1);
    else if (openingPage_ == OpeningPage::Backup)
        host_.SelectPage(2);
}

void MainWindow::SetCaptionFromVersion()
{
    const std::string program = ProgramFilePath();
    const std::string caption = ReadProductString(program, "ProductName") + " (" +
                                ReadProductString(program, "ProductVersion") + ")";
    SetWindowTextW(window_, Widen(caption).c_str());
}

void MainWindow::OnCommand(int id)
{
    switch (id) {
    case ID_FILE_EXIT:
        OnClose();
        break;
    case ID_ABOUT_HELP: {
        const std::string helpFile = ProgramFolder() + "\\" + ProgramBaseName(false) + ".chm";
        ShellExecuteW(window_, L"open", Widen(helpFile).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        break;
    }
    case ID_ABOUT_WEBSITE:
        ShellExecuteW(window_, L"open", Widen(MakerWebSite() + "/ostrel/registrycleaner.htm").c_str(), nullptr,
                      nullptr, SW_SHOWNORMAL);
        break;
    case ID_ABOUT_SUPPORT:
        ShellExecuteW(window_, L"open", Widen(MakerWebSite() + "/ostrel/contactus.htm").c_str(), nullptr,
                      nullptr, SW_SHOWNORMAL);
        break;
    case ID_ABOUT_ABOUT: {
        AboutDialog about;
        about.Show(GetActiveWindow());
        break;
    }
    case ID_RESTART_ADMIN:
        RestartAsAdministrator();
        break;
    default:
        break;
    }
}

const char* MainWindow::RunningWorkQuestion() const
{
    // The editor comes first: its question says that the program waits for it.
    if (backup_.IsEditorRunning())
        return "_MainDialogCancelConfirm3";
    if (cleaner_.IsScanRunning())
        return "_MainDialogCancelConfirm";
    if (search_.IsSearchRunning())
        return "_MainDialogCancelConfirm2";
    return nullptr;
}

void MainWindow::OnClose()
{
    if (closing_)
        return;
    // Running work is not thrown away unasked.
    const char* question = RunningWorkQuestion();
    if (question && ShowMessage(window_, LookupText(question), MB_YESNO | MB_ICONINFORMATION) != IDYES)
        return;
    CloseNow();
}

void MainWindow::CloseNow()
{
    closing_ = true;
    cleaner_.StopScan();
    search_.StopSearch();
    if (backup_.IsEditorRunning()) {
        // No input meanwhile, but the window keeps painting.
        EnableWindow(window_, FALSE);
        backup_.WaitForEditor();
    }
    DestroyWindow(window_);
    PostQuitMessage(ID_FILE_EXIT);
}

void MainWindow::RestartAsAdministrator()
{
    if (closing_)
        return;
    const char* question = RunningWorkQuestion();
    if (question && ShowMessage(window_, LookupText(question), MB_YESNO | MB_ICONINFORMATION) != IDYES)
        return;
    const int visible = host_.VisiblePage();
    const OpeningPage page = visible == 1   ? OpeningPage::Search
                             : visible == 2 ? OpeningPage::Backup
                                            : OpeningPage::Cleaner;
    const std::wstring program = Widen(ProgramFilePath());
    const std::wstring arguments = Widen(OpeningPageArguments(page));
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.hwnd = window_;
    info.lpVerb = L"runas";
    info.lpFile = program.c_str();
    info.lpParameters = arguments.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) {
        // Mostly a prompt the user declined: this copy goes on as it was.
        ShowMessage(window_, LookupText("_RestartAsAdministratorNotRestarted"), MB_OK | MB_ICONINFORMATION);
        return;
    }
    // The new copy waits until this one has saved its settings and ended.
    CloseNow();
}

void MainWindow::OnPageProgress(const PageProgressReport& report)
{
    const auto same = [&report](const PageProgressReport& known) { return known.page == report.page; };
    const auto known = std::find_if(progress_.begin(), progress_.end(), same);
    if (known == progress_.end())
        progress_.push_back(report);
    else
        *known = report;
    int done = 0;
    int total = -1;
    for (const PageProgressReport& page : progress_) {
        if (page.total > 0) {
            done = page.done;
            total = page.total;
            break;
        }
        if (page.total == 0)
            total = 0;
    }
    taskbar_.Show(done, total);
}
