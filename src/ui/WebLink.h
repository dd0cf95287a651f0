// A static control turned into a web link: drawn underlined in link colour,
// a hand cursor over it, opened by a click or by Enter or Space while it has
// the focus, and drawn as visited once the shell has opened it.
#pragma once

#include "win32/Win32Handles.h"

#include <windows.h>

#include <string>

class WebLink {
public:
    WebLink() = default;
    ~WebLink();
    WebLink(const WebLink&) = delete;
    WebLink& operator=(const WebLink&) = delete;

    // Keeps the control's text as its label and `address` as its target.
    bool Attach(HWND control, const std::string& address);
    bool Visited() const { return visited_; }
    // Asks the shell to open the address; true when it did.
    bool Activate();

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();

    HWND control_ = nullptr;
    std::string address_;
    GdiObject<HFONT> font_;
    bool visited_ = false;
    bool pressed_ = false;
};

// The maker's web site, without a trailing slash.
std::string MakerWebSite();
