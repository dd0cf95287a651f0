// The link from a window to the object that handles its messages (see
// DialogBase.h).
#include "ui/DialogBase.h"

DialogBase::~DialogBase()
{
    // A window that outlives its object must no longer reach it.
    if (window_)
        SetWindowLongPtrW(window_, DWLP_USER, 0);
}

HWND DialogBase::CreateModeless(int resourceId, HWND parent)
{
    // WM_INITDIALOG has set window_ unless the dialog failed on the way.
    HWND window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId), parent,
                                     DialogProc, reinterpret_cast<LPARAM>(this));
    if (window)
        window_ = window;
    return window;
}

INT_PTR DialogBase::ShowModal(int resourceId, HWND owner)
{
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId), owner, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK DialogBase::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogBase* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<DialogBase*>(lParam);
        if (self) {
            self->window_ = window;
            SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<DialogBase*>(GetWindowLongPtrW(window, DWLP_USER));
    }
    if (!self)
        return FALSE;
    const INT_PTR result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        self->window_ = nullptr;
    }
    return result;
}

WindowBase::~WindowBase()
{
    if (window_)
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
}

bool WindowBase::RegisterWindowClass(WNDCLASSEXW description)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, description.lpszClassName, &existing))
        return true;
    description.cbSize = sizeof description;
    description.lpfnWndProc = WindowProc;
    description.hInstance = instance;
    return RegisterClassExW(&description) != 0;
}

HWND WindowBase::CreateWithHandler(DWORD extendedStyle, const wchar_t* className, DWORD style, int x, int y,
                                   int width, int height, HWND parent)
{
    HWND window = CreateWindowExW(extendedStyle, className, L"", style, x, y, width, height, parent, nullptr,
                                  GetModuleHandleW(nullptr), this);
    if (window)
        window_ = window;
    return window;
}

LRESULT CALLBACK WindowBase::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowBase* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (self) {
            self->window_ = window;
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    const LRESULT result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
    }
    return result;
}
