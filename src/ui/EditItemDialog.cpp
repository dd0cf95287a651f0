// The dialog that shows or edits one row (see EditItemDialog.h).
#include "ui/EditItemDialog.h"

#include "ui/WindowUtil.h"
#include "core/RegistryEntry.h"
#include "win32/LanguageWin.h"
#include "win32/Win32Platform.h"
#include "resource.h"

namespace {
// Texts read back from the fields are limited to 499 bytes.
constexpr int kFieldBufferSize = 500;

std::string FieldText(HWND window, int id)
{
    char buffer[kFieldBufferSize] = {};
    GetDlgItemTextA(window, id, buffer, kFieldBufferSize);
    return buffer;
}
} // namespace

INT_PTR EditItemDialog::Show(HWND owner)
{
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_EDIT_ITEM), owner, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

void EditItemDialog::OnInitDialog(HWND window)
{
    CenterWindow(window, GetWindow(window, GW_OWNER));
    TranslateWindow(window);
    SetDlgItemTextA(window, IDC_EDIT_ROOT, row_.rootName.c_str());
    SetDlgItemTextA(window, IDC_EDIT_KEY, row_.keyPath.c_str());
    SetDlgItemTextA(window, IDC_EDIT_NAME, row_.valueName.c_str());
    SetDlgItemTextA(window, IDC_EDIT_DATA, row_.dataText.c_str());
    SendDlgItemMessageA(window, IDC_EDIT_ROOT, EM_SETREADONLY, TRUE, 0);
    SendDlgItemMessageA(window, IDC_EDIT_KEY, EM_SETREADONLY, TRUE, 0);
    if (ViewOnly()) {
        SendDlgItemMessageA(window, IDC_EDIT_NAME, EM_SETREADONLY, TRUE, 0);
        SendDlgItemMessageA(window, IDC_EDIT_DATA, EM_SETREADONLY, TRUE, 0);
        ShowWindow(GetDlgItem(window, IDOK), SW_HIDE);
        EnableWindow(GetDlgItem(window, IDOK), FALSE);
    }
}

void EditItemDialog::OnOk(HWND window)
{
    if (ViewOnly())
        return;
    const std::string name = FieldText(window, IDC_EDIT_NAME);
    const std::string data = FieldText(window, IDC_EDIT_DATA);
    if (data.empty()) {
        ShowMessage(window, LookupText("_EditRegItemDlgValueFieldCannotbeNULL"), MB_OK | MB_ICONINFORMATION);
        return;
    }
    Platform& platform = SystemPlatform();
    if (!WriteEditedValue(platform, platform, row_, name, data))
        return; // the dialog stays open so the user can cancel
    row_.valueName = name;
    row_.dataText = data;
    EndDialog(window, 1);
}

INT_PTR CALLBACK EditItemDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
        reinterpret_cast<EditItemDialog*>(lParam)->OnInitDialog(window);
        return TRUE;
    }
    auto* self = reinterpret_cast<EditItemDialog*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self || message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        self->OnOk(window);
        return TRUE;
    case IDCANCEL:
        EndDialog(window, 2);
        return TRUE;
    default:
        return FALSE;
    }
}
