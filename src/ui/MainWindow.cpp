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

namespace {

constexpr int kSplitterPosition = 188;
constexpr COLORREF kPageListTextColour = RGB(33, 77, 144);

const AnchorRule kMainLayout[] = {
    {IDC_MAIN_BANNER, kAnchorTopLeftRight},
    {IDC_MAIN_PAGE_HOST, kAnchorAll},
};

} // namespace

bool MainWindow::Create()
{
    return CreateModeless(IDD_MAIN, nullptr) != nullptr;
}

INT_PTR MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
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
    default:
        break;
    }
}

void MainWindow::OnClose()
{
    if (closing_)
        return;
    // Running work is not thrown away unasked. The editor comes first: its
    // question says that the program waits for it.
    const char* question = nullptr;
    if (backup_.IsEditorRunning())
        question = "_MainDialogCancelConfirm3";
    else if (cleaner_.IsScanRunning())
        question = "_MainDialogCancelConfirm";
    else if (search_.IsSearchRunning())
        question = "_MainDialogCancelConfirm2";
    if (question && ShowMessage(window_, LookupText(question), MB_YESNO | MB_ICONINFORMATION) != IDYES)
        return;
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
