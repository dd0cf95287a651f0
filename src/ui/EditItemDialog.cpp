// The dialog that shows or edits one row (see EditItemDialog.h).
#include "ui/EditItemDialog.h"

#include "ui/WindowUtil.h"
#include "core/AdminRights.h"
#include "core/RegistryChange.h"
#include "win32/LanguageWin.h"
#include "win32/Win32Platform.h"
#include "win32/WideText.h"
#include "resource.h"

namespace {
std::string FieldText(HWND window, int id)
{
    return ControlText(GetDlgItem(window, id));
}
} // namespace

INT_PTR EditItemDialog::Show(HWND owner)
{
    return ShowModal(IDD_EDIT_ITEM, owner);
}

void EditItemDialog::OnInitDialog()
{
    CenterWindow(window_, GetWindow(window_, GW_OWNER));
    TranslateWindow(window_);
    // Names and data of any length are shown and edited whole.
    SendDlgItemMessageW(window_, IDC_EDIT_NAME, EM_SETLIMITTEXT, 0, 0);
    SendDlgItemMessageW(window_, IDC_EDIT_DATA, EM_SETLIMITTEXT, 0, 0);
    SetDlgItemTextW(window_, IDC_EDIT_ROOT, Widen(row_.rootName).c_str());
    SetDlgItemTextW(window_, IDC_EDIT_KEY, Widen(row_.keyPath).c_str());
    SetDlgItemTextW(window_, IDC_EDIT_NAME, Widen(row_.valueName).c_str());
    // A string value shows what the registry holds now, not the row's
    // snapshot of the scan.
    if (!ViewOnly()) {
        current_ = ReadCurrentValue(SystemPlatform(), row_);
        if (current_.read && current_.type == kRegSz)
            row_.dataText = current_.text;
    }
    SetDlgItemTextW(window_, IDC_EDIT_DATA, Widen(row_.dataText).c_str());
    SendDlgItemMessageW(window_, IDC_EDIT_ROOT, EM_SETREADONLY, TRUE, 0);
    SendDlgItemMessageW(window_, IDC_EDIT_KEY, EM_SETREADONLY, TRUE, 0);
    if (ViewOnly()) {
        SendDlgItemMessageW(window_, IDC_EDIT_NAME, EM_SETREADONLY, TRUE, 0);
        SendDlgItemMessageW(window_, IDC_EDIT_DATA, EM_SETREADONLY, TRUE, 0);
        ShowWindow(GetDlgItem(window_, IDOK), SW_HIDE);
        EnableWindow(GetDlgItem(window_, IDOK), FALSE);
    }
}

void EditItemDialog::OnOk()
{
    if (ViewOnly())
        return;
    const std::string name = FieldText(window_, IDC_EDIT_NAME);
    const std::string data = FieldText(window_, IDC_EDIT_DATA);
    // A value that was missing, unreadable or no longer a string when the
    // dialog opened is not written over.
    if (!current_.read || current_.type != kRegSz) {
        ShowMessage(window_, LookupText("_EditRegItemDlgReadFailed"), MB_OK | MB_ICONINFORMATION);
        return;
    }
    const ValueEditKind kind = ChooseValueEdit(row_.valueName, name, current_.text, data);
    if (kind == ValueEditKind::Nothing) {
        // The row then shows the data as read.
        EndDialog(window_, 1);
        return;
    }
    if (kind == ValueEditKind::WriteData && data.empty()) {
        ShowMessage(window_, LookupText("_EditRegItemDlgValueFieldCannotbeNULL"), MB_OK | MB_ICONINFORMATION);
        return;
    }
    const ChangeBackup backup{backupFolder_, LookupText("_PageRegistryBackupType2")};
    const EditOutcome outcome = kind == ValueEditKind::RenameOnly
                                    ? RenameValue(SystemPlatform(), row_, name, backup)
                                    : EditStringValue(SystemPlatform(), row_, name, data, backup);
    // Unless the value was written as asked, the dialog stays open so the
    // user can try again or cancel.
    switch (outcome.status) {
    case ChangeStatus::Done:
        row_.valueName = name;
        row_.dataText = data;
        EndDialog(window_, 1);
        return;
    case ChangeStatus::BackupFailed:
        ShowMessage(window_, LookupText("_PageRegistryCleanerBackupFailed"), MB_OK | MB_ICONINFORMATION);
        return;
    case ChangeStatus::Incomplete:
        ShowMessage(window_, LookupText("_EditRegItemDlgIncomplete"), MB_OK | MB_ICONINFORMATION);
        return;
    default: {
        failedResults_.push_back(outcome.result);
        const bool rights = FailureOfResult(outcome.result) == ChangeFailure::NeedsAdministratorRights;
        ShowMessage(window_, LookupText(rights ? "_EditRegItemDlgNeedsAdministrator" : "_EditRegItemDlgWriteFailed"),
                    MB_OK | MB_ICONINFORMATION);
        return;
    }
    }
}

INT_PTR EditItemDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        OnInitDialog();
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        OnOk();
        return TRUE;
    case IDCANCEL:
        EndDialog(window_, 2);
        return TRUE;
    default:
        return FALSE;
    }
}
