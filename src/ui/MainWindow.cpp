// The program's only top-level window (see MainWindow.h).
#include "ui/MainWindow.h"

#include "core/DpiScale.h"
#include "ui/AboutDialog.h"
#include "ui/Dpi.h"
#include "ui/MaskedImageList.h"
#include "ui/WebLink.h"
#include "ui/WindowUtil.h"
#include "win32/LanguageWin.h"
#include "win32/LayoutSettings.h"
#include "win32/ProgramPaths.h"
#include "win32/WideText.h"
#include "resource.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace {

// At 96 DPI; scaled for the window's.
constexpr int kSplitterPosition = 188;
constexpr int kSmallestWidth = 320;
constexpr int kSmallestHeight = 240;
constexpr COLORREF kPageListTextColour = RGB(33, 77, 144);

const AnchorRule kMainLayout[] = {
    {IDC_MAIN_BANNER, kAnchorTopLeftRight},
    {IDC_MAIN_PAGE_HOST, kAnchorAll},
};

BOOL CALLBACK CollectWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM data)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        auto* areas = reinterpret_cast<std::vector<ScreenRect>*>(data);
        const ScreenRect area = {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
        // The primary screen's first.
        if (info.dwFlags & MONITORINFOF_PRIMARY)
            areas->insert(areas->begin(), area);
        else
            areas->push_back(area);
    }
    return TRUE;
}

std::vector<ScreenRect> WorkAreas()
{
    std::vector<ScreenRect> areas;
    EnumDisplayMonitors(nullptr, nullptr, CollectWorkArea, reinterpret_cast<LPARAM>(&areas));
    if (areas.empty()) {
        RECT work = {};
        if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
            areas.push_back({work.left, work.top, work.right, work.bottom});
    }
    return areas;
}

ScreenRect ToScreenRect(const RECT& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

} // namespace

bool MainWindow::Create(OpeningPage page)
{
    openingPage_ = page;
    shortcuts_ = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAIN_ACCELERATORS));
    return CreateModeless(IDD_MAIN, nullptr) != nullptr;
}

void MainWindow::Show(int showState)
{
    const bool plain = showState == SW_SHOWNORMAL || showState == SW_SHOWDEFAULT || showState == SW_SHOW ||
                       showState == SW_RESTORE;
    ShowWindow(window_, remembered_.maximised && plain ? SW_SHOWMAXIMIZED : showState);
    // After maximising, which moves the bar with the window's width.
    if (remembered_.splitter >= 0)
        host_.SetSplitterPosition(ScaleLength(remembered_.splitter, dpi_, remembered_.dpi));
}

bool MainWindow::TranslateShortcut(MSG& message)
{
    return window_ && shortcuts_ && TranslateAcceleratorW(window_, shortcuts_, &message) != 0;
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
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
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
    dpi_ = WindowDpi(window_);
    TakeOverDpiScaling(window_);
    remembered_ = ReadWindowLayout();
    LoadIcons();

    TaskbarProgress::AcceptButtonCreated(window_);
    TranslateWindow(window_);
    TranslateMenu(GetMenu(window_));
    DrawMenuBar(window_);
    SetCaptionFromVersion();

    banner_.Attach(GetDlgItem(window_, IDC_MAIN_BANNER), IDB_BANNER);
    layout_.Attach(window_, kMainLayout, sizeof kMainLayout / sizeof kMainLayout[0]);

    host_.Attach(GetDlgItem(window_, IDC_MAIN_PAGE_HOST), window_, ScaleLength(kSplitterPosition, dpi_));
    host_.SetImageList(IDB_PAGE_LIST, dpi_);
    pageListFont_.Reset(CreatePageListFont(dpi_));
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
    // Once everything is laid out by its anchors, which are taken from the
    // dialog's own size.
    PlaceWindow();
}

void MainWindow::PlaceWindow()
{
    const std::vector<ScreenRect> areas = WorkAreas();
    ScreenRect wanted;
    if (remembered_.hasRect) {
        wanted = ScaleRectSize(remembered_.rect, dpi_, remembered_.dpi);
    } else {
        // The dialog's own size, centred on the primary screen's work area.
        RECT rect = {};
        GetWindowRect(window_, &rect);
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        const ScreenRect area = areas.empty() ? ToScreenRect(rect) : areas.front();
        const int left = (area.left + area.right) / 2 - width / 2;
        const int top = (area.top + area.bottom) / 2 - height / 2;
        wanted = {left, top, left + width, top + height};
    }
    const ScreenRect placed =
        PlaceOnScreen(wanted, areas, ScaleLength(kSmallestWidth, dpi_), ScaleLength(kSmallestHeight, dpi_));
    SetWindowPos(window_, nullptr, placed.left, placed.top, placed.Width(), placed.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::SaveLayout() const
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window_, &placement))
        return;
    // The normal rectangle is in work-area coordinates: those of the screen
    // moved by the space the task bar takes at the top or left.
    RECT normal = placement.rcNormalPosition;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromRect(&normal, MONITOR_DEFAULTTONEAREST), &monitor))
        OffsetRect(&normal, monitor.rcWork.left - monitor.rcMonitor.left, monitor.rcWork.top - monitor.rcMonitor.top);
    WindowLayout layout;
    layout.hasRect = true;
    layout.rect = ToScreenRect(normal);
    // A minimised window is remembered as it will be restored.
    layout.maximised = placement.showCmd == SW_SHOWMAXIMIZED ||
                       (placement.showCmd == SW_SHOWMINIMIZED && (placement.flags & WPF_RESTORETOMAXIMIZED));
    layout.splitter = host_.SplitterPosition();
    layout.dpi = dpi_;
    WriteWindowLayout(layout);
}

void MainWindow::LoadIcons()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HICON large = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON,
                                                SystemMetricForDpi(SM_CXICON, dpi_),
                                                SystemMetricForDpi(SM_CYICON, dpi_), 0));
    HICON small = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON,
                                                SystemMetricForDpi(SM_CXSMICON, dpi_),
                                                SystemMetricForDpi(SM_CYSMICON, dpi_), 0));
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    if (largeIcon_)
        DestroyIcon(largeIcon_);
    if (smallIcon_)
        DestroyIcon(smallIcon_);
    largeIcon_ = large;
    smallIcon_ = small;
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested)
{
    if (dpi <= 0)
        return;
    layout_.ScaleFor(dpi_, dpi);
    dpi_ = dpi;
    LoadIcons();
    // The list takes the new font before the old one goes.
    HFONT font = CreatePageListFont(dpi_);
    if (font) {
        host_.SetListFont(font, kPageListTextColour);
        pageListFont_.Reset(font);
    }
    host_.SetImageList(IDB_PAGE_LIST, dpi_);
    cleaner_.ChangeDpi(dpi_);
    search_.ChangeDpi(dpi_);
    backup_.ChangeDpi(dpi_);
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::StartVisiblePageWork()
{
    Page* const pages[] = {&cleaner_, &search_, &backup_};
    const int visible = host_.VisiblePage();
    if (visible >= 0 && visible < static_cast<int>(sizeof pages / sizeof pages[0]))
        pages[visible]->PressStartButton();
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
    case ID_START_PAGE_WORK:
        StartVisiblePageWork();
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
    SaveLayout();
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
