// A vertical splitter (see Splitter.h).
#include "ui/Splitter.h"

#include "core/WindowPlacement.h"
#include "ui/Dpi.h"

namespace {

constexpr const wchar_t* kSplitterClass = L"QuorvaneSplitter";

} // namespace

int Splitter::BarWidth() const
{
    return SystemMetricForDpi(SM_CXSIZEFRAME, WindowDpi(window_));
}

int Splitter::MinimumPane() const
{
    return 2 * SystemMetricForDpi(SM_CXEDGE, WindowDpi(window_));
}

bool Splitter::Create(HWND parent, HWND owner)
{
    WNDCLASSEXW description = {};
    description.style = CS_HREDRAW | CS_VREDRAW;
    description.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    description.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    description.lpszClassName = kSplitterClass;
    if (!RegisterWindowClass(description))
        return false;
    owner_ = owner;
    RECT client = {};
    GetClientRect(parent, &client);
    return CreateWithHandler(WS_EX_CONTROLPARENT, kSplitterClass, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                             client.right, client.bottom, parent) != nullptr;
}

void Splitter::SetPanes(HWND left, HWND right)
{
    left_ = left;
    right_ = right;
    Layout();
}

int Splitter::ClampPosition(int position) const
{
    RECT client = {};
    GetClientRect(window_, &client);
    return ClampSplitterPosition(position, client.right, BarWidth(), MinimumPane());
}

void Splitter::SetPosition(int position)
{
    position_ = ClampPosition(position);
    RECT client = {};
    GetClientRect(window_, &client);
    share_ = client.right > 0 ? static_cast<double>(position_) / client.right : 0.0;
    Layout();
}

void Splitter::Layout()
{
    RECT client = {};
    GetClientRect(window_, &client);
    if (left_)
        MoveWindow(left_, 0, 0, position_, client.bottom, TRUE);
    if (right_) {
        const int x = position_ + BarWidth();
        MoveWindow(right_, x, 0, client.right > x ? client.right - x : 0, client.bottom, TRUE);
    }
}

bool Splitter::OverBar(int x) const
{
    return x >= position_ && x < position_ + BarWidth();
}

void Splitter::DrawGhostBar(int position) const
{
    HDC dc = GetDC(window_);
    RECT client = {};
    GetClientRect(window_, &client);
    PatBlt(dc, position, 0, BarWidth(), client.bottom, DSTINVERT);
    ReleaseDC(window_, dc);
}

LRESULT Splitter::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE: {
        const int width = LOWORD(lParam);
        if (width > 0 && share_ > 0.0)
            position_ = ClampPosition(static_cast<int>(share_ * width + 0.5));
        Layout();
        return 0;
    }
    case WM_SETCURSOR: {
        POINT point = {};
        GetCursorPos(&point);
        ScreenToClient(window_, &point);
        if (reinterpret_cast<HWND>(wParam) == window_ && (dragging_ || OverBar(point.x))) {
            SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
            return TRUE;
        }
        break;
    }
    case WM_LBUTTONDOWN: {
        const int x = static_cast<short>(LOWORD(lParam));
        if (OverBar(x)) {
            dragging_ = true;
            SetCapture(window_);
            BOOL fullDrag = TRUE;
            SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &fullDrag, 0);
            if (!fullDrag) {
                ghost_ = position_;
                DrawGhostBar(ghost_);
            }
        }
        return 0;
    }
    case WM_MOUSEMOVE:
        if (dragging_) {
            const int x = ClampPosition(static_cast<short>(LOWORD(lParam)) - BarWidth() / 2);
            if (ghost_ >= 0) {
                DrawGhostBar(ghost_);
                ghost_ = x;
                DrawGhostBar(ghost_);
            } else {
                SetPosition(x);
            }
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (dragging_) {
            dragging_ = false;
            if (ghost_ >= 0) {
                DrawGhostBar(ghost_);
                const int x = ghost_;
                ghost_ = -1;
                SetPosition(x);
            }
            if (message == WM_LBUTTONUP)
                ReleaseCapture();
        }
        return 0;
    case WM_NOTIFY:
    case WM_COMMAND:
        // The panes' controls report to the window that owns the splitter.
        if (owner_)
            return SendMessageW(owner_, message, wParam, lParam);
        break;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}
