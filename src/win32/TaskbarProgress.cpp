// The progress on the taskbar button (see TaskbarProgress.h).
#include "win32/TaskbarProgress.h"

UINT TaskbarProgress::ButtonCreatedMessage()
{
    static const UINT message = RegisterWindowMessageW(L"TaskbarButtonCreated");
    return message;
}

void TaskbarProgress::AcceptButtonCreated(HWND window)
{
    ChangeWindowMessageFilterEx(window, ButtonCreatedMessage(), MSGFLT_ALLOW, nullptr);
}

void TaskbarProgress::OnButtonCreated(HWND window)
{
    window_ = window;
    taskbar_.Reset();
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                taskbar_.ReceiveVoid())))
        return;
    if (FAILED(taskbar_->HrInit())) {
        taskbar_.Reset();
        return;
    }
    Apply();
}

void TaskbarProgress::Show(int done, int total)
{
    if (done == done_ && total == total_)
        return;
    done_ = done;
    total_ = total;
    Apply();
}

void TaskbarProgress::Apply()
{
    if (!taskbar_ || !window_)
        return;
    if (total_ < 0) {
        taskbar_->SetProgressState(window_, TBPF_NOPROGRESS);
    } else if (total_ == 0) {
        taskbar_->SetProgressState(window_, TBPF_INDETERMINATE);
    } else {
        taskbar_->SetProgressState(window_, TBPF_NORMAL);
        taskbar_->SetProgressValue(window_, static_cast<ULONGLONG>(done_), static_cast<ULONGLONG>(total_));
    }
}
