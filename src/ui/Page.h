// The common shape of the main window's pages: a modeless child dialog made
// from its own resource, with the few entry points the page host uses.
#pragma once

#include "ui/DialogBase.h"
#include "ui/DialogLayout.h"
#include "win32/Win32Handles.h"

#include <windows.h>

#include <string>

class Page : public DialogBase {
public:
    // Creates the page hidden, as a child of `container`.
    bool Create(HWND container, int resourceId);
    // The main window moved to a display of another scale: the page lays
    // itself out and takes its pictures for `dpi`.
    void ChangeDpi(int dpi);
    // Clicks the button that starts the page's work (F5), when it is enabled.
    void PressStartButton();

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
    // The page's pictures are to be made again for Dpi().
    virtual void OnDpiChanged() {}
    // The button that starts the page's work; 0 for none.
    virtual int StartButtonId() const { return 0; }
    // Any other message; return true when handled.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
    {
        return false;
    }

    // Sets the dialog's answer to a notification.
    void SetDialogResult(LRESULT result) const;
    // Sets the page's status line.
    void SetStatus(const std::string& text) const;

    // The DPI the page is laid out and drawn for.
    int Dpi() const { return dpi_; }

    DialogLayout layout_;

private:
    int dpi_ = 96;
    // The DPI the dialog was made at: its own font (which the dialog keeps)
    // is measured at it.
    int createdDpi_ = 96;
    // The controls' font once a DPI change replaced the dialog's own.
    GdiObject<HFONT> font_;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
