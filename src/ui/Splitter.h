// A vertical splitter: a left and a right pane separated by a bar the user
// can drag. The left pane's share of the width is kept when the splitter is
// resized. Notifications of the panes' controls go to the owner window.
#pragma once

#include "ui/DialogBase.h"

#include <windows.h>

class Splitter : public WindowBase {
public:
    // Creates the splitter over the whole client area of `parent`.
    bool Create(HWND parent, HWND owner);
    void SetPanes(HWND left, HWND right);
    // Places the bar at `position` pixels from the left, within the limits.
    void SetPosition(int position);
    int Position() const { return position_; }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    int ClampPosition(int position) const;
    // The bar's width and the narrowest pane, for the window's DPI.
    int BarWidth() const;
    int MinimumPane() const;
    void Layout();
    void DrawGhostBar(int position) const;
    bool OverBar(int x) const;

    HWND owner_ = nullptr;
    HWND left_ = nullptr;
    HWND right_ = nullptr;
    int position_ = 0;
    double share_ = 0.0;     // left pane's share of the width
    bool dragging_ = false;
    int ghost_ = -1;         // where the ghost bar is drawn while dragging without full-window drag
};
