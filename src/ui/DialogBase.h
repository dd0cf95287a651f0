// The link from a window to the object that handles its messages. A dialog
// keeps its object in DWLP_USER from WM_INITDIALOG on, a window of a class of
// the program's own in GWLP_USERDATA from WM_NCCREATE on; both forget it at
// WM_NCDESTROY, after the object has seen that message, and when the object
// goes first. Messages that arrive before the link exists get the default
// answer.
#pragma once

#include <windows.h>

// A dialog made from a resource whose messages go to HandleMessage.
class DialogBase {
public:
    DialogBase() = default;
    virtual ~DialogBase();
    DialogBase(const DialogBase&) = delete;
    DialogBase& operator=(const DialogBase&) = delete;

    HWND Window() const { return window_; }

protected:
    // Creates the dialog `resourceId` as a modeless window of `parent`; the
    // window, or null when it cannot be made.
    HWND CreateModeless(int resourceId, HWND parent);
    // Shows the dialog `resourceId` modally, owned by `owner`, and returns
    // the value it was ended with (-1 when it cannot be shown).
    INT_PTR ShowModal(int resourceId, HWND owner);

    // The dialog procedure's answer to one message; `window_` is set.
    virtual INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    HWND window_ = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

// A window of a class of the program's own whose messages go to
// HandleMessage.
class WindowBase {
public:
    WindowBase() = default;
    virtual ~WindowBase();
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    HWND Window() const { return window_; }

protected:
    // Registers the class `description` names, with the shared window
    // procedure and this program's instance; true when it exists afterwards,
    // also when it was registered before.
    static bool RegisterWindowClass(WNDCLASSEXW description);
    // Creates a window of a registered class with this object as its handler.
    HWND CreateWithHandler(DWORD extendedStyle, const wchar_t* className, DWORD style, int x, int y, int width,
                           int height, HWND parent);

    // The window procedure's answer to one message; `window_` is set. What
    // is not handled goes to DefWindowProcW.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    HWND window_ = nullptr;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};
