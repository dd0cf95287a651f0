// The common shape of the main window's pages: a modeless child dialog made
// from its own resource, with the few entry points the page host uses.
#pragma once

#include "ui/DialogLayout.h"

#include <windows.h>

#include <string>

class Page {
public:
    Page() = default;
    virtual ~Page() = default;
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    // Creates the page hidden, as a child of `container`.
    bool Create(HWND container, int resourceId);
    HWND Window() const { return window_; }

protected:
    // Dialog initialisation: translate, lay out, load settings.
    virtual void OnInitDialog() {}
    // The page was shown (true) or hidden (false) by its parent.
    virtual void OnShow(bool shown) {}
    virtual void OnSize(int clientWidth, int clientHeight) { layout_.Apply(clientWidth, clientHeight); }
    virtual bool OnCommand(int id, int code, HWND control) { return false; }
    // Returns true when handled; `result` is the dialog's answer.
    virtual bool OnNotify(NMHDR* header, LRESULT& result) { return false; }
    // The page is being destroyed with the main window: stop work, save settings.
    virtual void OnDestroy() {}
    // Any other message; return true when handled.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
    {
        return false;
    }

    // Sets the dialog's answer to a notification.
    void SetDialogResult(LRESULT result) const;
    // Sets the page's status line.
    void SetStatus(const std::string& text) const;

    HWND window_ = nullptr;
    DialogLayout layout_;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
};
