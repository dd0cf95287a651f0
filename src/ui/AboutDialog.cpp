// The About box (see AboutDialog.h).
#include "ui/AboutDialog.h"

#include "ui/WindowUtil.h"
#include "win32/LanguageWin.h"
#include "win32/ProgramPaths.h"
#include "win32/WideText.h"
#include "resource.h"

INT_PTR AboutDialog::Show(HWND owner)
{
    return ShowModal(IDD_ABOUT, owner);
}

void AboutDialog::OnInitDialog()
{
    CenterWindow(window_, GetWindow(window_, GW_OWNER));
    TranslateWindow(window_);
    // An edit control breaks lines only at CR LF; the language file may
    // write a bare line feed between names.
    std::string thanks = LookupText("_Thankyoulist", true);
    std::string lines;
    for (std::size_t i = 0; i < thanks.size(); ++i) {
        if (thanks[i] == '\n' && (i == 0 || thanks[i - 1] != '\r'))
            lines += '\r';
        lines += thanks[i];
    }
    SetDlgItemTextW(window_, IDC_ABOUT_THANKS, Widen(lines).c_str());
    const std::string program = ProgramFilePath();
    SetDlgItemTextW(window_, IDC_ABOUT_NAME, Widen(ReadProductString(program, "ProductName")).c_str());
    SetDlgItemTextW(window_, IDC_ABOUT_VERSION, Widen(ReadProductString(program, "ProductVersion")).c_str());
    website_.Attach(GetDlgItem(window_, IDC_ABOUT_WEBSITE), MakerWebSite() + "/ostrel/registrycleaner.htm");
    support_.Attach(GetDlgItem(window_, IDC_ABOUT_SUPPORT), MakerWebSite() + "/ostrel/support.htm");
}

INT_PTR AboutDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
            EndDialog(window_, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
