// The main window at the display scale of the Wine prefix it runs in (96 DPI
// in the tests' usual prefix, 144 DPI in the prefix of the "_144dpi" run,
// whose desktop is 1280 x 800): it fits the work area and a 1280 x 800
// screen, and no caption, check box or button text of any page is cut off.
// A move to a display of another scale lays the window out anew.
#include "CleanerGui.h"
#include "GuiDriver.h"

#include "core/DpiScale.h"
#include "ui/Dpi.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

namespace {

int ExpectedDpi()
{
    const char* value = std::getenv("QV_EXPECTED_DPI");
    return value && std::atoi(value) > 0 ? std::atoi(value) : 96;
}

RECT ClientRectOf(HWND window)
{
    RECT rect = {};
    GetClientRect(window, &rect);
    return rect;
}

// A copy of the control's font for this process: the program's own when
// it can be read from here (not under Wine, which keeps fonts per process),
// else the pages' dialog font made at `dpi` as the dialog manager makes it.
HFONT CopyControlFont(HWND control, int dpi)
{
    LOGFONTW font = {};
    HFONT used = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    if (!used || GetObjectW(used, sizeof font, &font) != sizeof font) {
        font = LOGFONTW{};
        font.lfHeight = -ScaleLength(8, dpi, 72);
        font.lfWeight = FW_NORMAL;
        font.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(font.lfFaceName, L"MS Sans Serif", LF_FACESIZE);
    }
    return CreateFontIndirectW(&font);
}

// The size the control's text takes in its font: on one line, or wrapped at
// `wrapWidth` when that is above zero.
SIZE TextExtent(HWND control, int dpi, bool noPrefix, int wrapWidth)
{
    const std::wstring text = Widen(WindowText(control));
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CopyControlFont(control, dpi);
    HGDIOBJ previous = SelectObject(dc, font);
    RECT rect = {0, 0, wrapWidth > 0 ? wrapWidth : 0, 0};
    const UINT flags = DT_CALCRECT | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE) | (noPrefix ? DT_NOPREFIX : 0);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, flags);
    SelectObject(dc, previous);
    DeleteObject(font);
    DeleteDC(dc);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// Every visible control of `page` whose text does not fit, with what it
// needs and what it has; `measured` counts the texts measured.
std::vector<std::string> ClippedTexts(HWND page, int dpi, int& measured)
{
    measured = 0;
    std::vector<std::string> clipped;
    for (HWND control = GetWindow(page, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        if (!IsWindowVisible(control) || WindowText(control).empty())
            continue;
        const std::string kind = ClassName(control);
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        const RECT client = ClientRectOf(control);
        int room = client.right;
        int height = client.bottom;
        SIZE need = {};
        if (kind == "Button") {
            const LONG type = style & BS_TYPEMASK;
            need = TextExtent(control, dpi, false, 0);
            if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE) {
                // The box and the gap before the text.
                room -= ScaleLength(13, dpi) + ScaleLength(4, dpi);
            } else if (type == BS_GROUPBOX) {
                room -= 2 * ScaleLength(8, dpi);
                height = need.cy; // the caption sits on the frame
            } else {
                // The button's edges and focus frame.
                room -= 2 * ScaleLength(3, dpi);
                height -= 2 * ScaleLength(2, dpi);
            }
        } else if (kind == "Static") {
            // Status lines shorten long paths by design.
            if (style & (SS_PATHELLIPSIS | SS_ENDELLIPSIS | SS_WORDELLIPSIS))
                continue;
            const LONG type = style & SS_TYPEMASK;
            if (type != SS_LEFT && type != SS_RIGHT && type != SS_CENTER && type != SS_LEFTNOWORDWRAP)
                continue;
            need = TextExtent(control, dpi, (style & SS_NOPREFIX) != 0, type == SS_LEFTNOWORDWRAP ? 0 : room);
        } else {
            continue;
        }
        ++measured;
        if (std::getenv("QV_SHOW_MEASURES"))
            std::printf("%s: needs %ldx%ld, has %dx%d\n", WindowText(control).c_str(), need.cx, need.cy, room, height);
        if (need.cx > room || need.cy > height)
            clipped.push_back(WindowText(control) + " needs " + std::to_string(need.cx) + "x" +
                              std::to_string(need.cy) + ", has " + std::to_string(room) + "x" +
                              std::to_string(height));
    }
    return clipped;
}

HWND VisiblePage(HWND mainWindow)
{
    for (HWND child = GetWindow(PageContainerOf(mainWindow), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child))
            return child;
    return nullptr;
}

int WidthOf(const RECT& rect)
{
    return rect.right - rect.left;
}

int HeightOf(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

// The page list's pictures and the cleaner's task pictures are those of
// the strips for `dpi`: 48 and 16 pixels at 100 percent, larger above.
void ExpectPicturesFor(const RunningProgram& program, HWND main, int dpi)
{
    const int index = PictureScaleIndex(dpi);
    // The entry's text begins right of its picture, and before the next
    // larger size would end.
    const std::vector<RECT> entries = TreeViewRootTextRects(program.Process(), PageListOf(main));
    ASSERT_FALSE(entries.empty());
    EXPECT_GE(entries.front().left, PictureSizeAt(48, index));
    if (index + 1 < kPictureScaleCount) {
        EXPECT_LT(entries.front().left, PictureSizeAt(48, index + 1));
    }
    HWND tasks = GetDlgItem(PageWithControl(main, IDC_CLEANER_TASKS), IDC_CLEANER_TASKS);
    const RECT icon = ListViewItemPart(program.Process(), tasks, 0, LVIR_ICON);
    EXPECT_EQ(PictureSizeAt(16, index), icon.right - icon.left);
}

void CloseProgram(RunningProgram& program, HWND main)
{
    PostMessageW(main, WM_CLOSE, 0, 0);
    DWORD exitCode = 0;
    ASSERT_TRUE(program.WaitForExit(exitCode));
    EXPECT_EQ(2u, exitCode);
}

} // namespace

TEST(DisplayScale, WindowFitsTheScreenAndNoTextIsCutOff)
{
    SetProcessDPIAware();
    const int dpi = ExpectedDpi();
    ProgramCopy copy("display-scale");
    RunningProgram program;
    ASSERT_TRUE(program.Start(copy.Program()));
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_EQ(dpi, WindowDpi(main));

    RECT window = {};
    GetWindowRect(main, &window);
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(window.right - window.left, 1280);
    EXPECT_LE(window.bottom - window.top, 800);
    EXPECT_GE(window.left, work.left);
    EXPECT_GE(window.top, work.top);
    EXPECT_LE(window.right, work.right);
    EXPECT_LE(window.bottom, work.bottom);

    // The page list's entries, in its font and with their pictures, fit its width.
    HWND list = PageListOf(main);
    const std::vector<RECT> entries = TreeViewRootTextRects(program.Process(), list);
    ASSERT_EQ(3u, entries.size());
    for (const RECT& entry : entries) {
        EXPECT_GT(entry.right, entry.left);
        EXPECT_LE(entry.right, ClientRectOf(list).right);
    }
    ExpectPicturesFor(program, main, dpi);

    for (int index = 0; index < 3; ++index) {
        ASSERT_TRUE(TreeViewSelectRoot(list, index));
        HWND page = VisiblePage(main);
        ASSERT_NE(page, nullptr);
        int measured = 0;
        const std::vector<std::string> clipped = ClippedTexts(page, dpi, measured);
        EXPECT_TRUE(clipped.empty()) << "page " << index << ": " << clipped.front();
        // Every page has at least four buttons with captions.
        EXPECT_GE(measured, 4) << "page " << index;
        // The page lies wholly inside the window.
        RECT pageRect = {};
        GetWindowRect(page, &pageRect);
        EXPECT_LE(pageRect.right, window.right);
        EXPECT_LE(pageRect.bottom, window.bottom);
    }
    CloseProgram(program, main);
}

TEST(DisplayScale, MovingToAnotherScaleTakesTheSuggestedPlaceAndRedrawsForIt)
{
    SetProcessDPIAware();
    const int dpi = ExpectedDpi();
    ProgramCopy copy("display-scale-change");
    RunningProgram program;
    ASSERT_TRUE(program.Start(copy.Program()));
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    HWND list = PageListOf(main);
    HWND cleaner = PageWithControl(main, IDC_CLEANER_TASKS);
    ASSERT_NE(cleaner, nullptr);
    HWND scan = GetDlgItem(cleaner, IDC_CLEANER_SCAN);
    RECT scanBefore = {};
    GetWindowRect(scan, &scanBefore);
    RECT pageBefore = {};
    GetWindowRect(cleaner, &pageBefore);
    const int entryWidthBefore = WidthOf(TreeViewRootTextRects(program.Process(), list).front());
    HWND header = reinterpret_cast<HWND>(SendDlgItemMessageW(cleaner, IDC_CLEANER_RESULTS, LVM_GETHEADER, 0, 0));
    const int headerHeightBefore = HeightOf(header);

    // Twice the scale: the window goes where it is told, the pictures come
    // from the strips for that scale, and the buttons are twice as wide and
    // twice as far from the right edge.
    const int doubled = 2 * dpi;
    const RECT suggested = {10, 20, 10 + 1000, 20 + 700};
    SendDpiChanged(program.Process(), main, doubled, suggested);
    RECT window = {};
    GetWindowRect(main, &window);
    EXPECT_EQ(suggested.left, window.left);
    EXPECT_EQ(suggested.top, window.top);
    EXPECT_EQ(suggested.right, window.right);
    EXPECT_EQ(suggested.bottom, window.bottom);

    ExpectPicturesFor(program, main, doubled);

    // The page list's font and the controls' font are made for the new
    // scale (a font cannot be read from another process under Wine, so
    // what it takes to show shows it): the entries' texts and the list
    // header grow to about twice their size.
    EXPECT_GT(WidthOf(TreeViewRootTextRects(program.Process(), list).front()), entryWidthBefore * 3 / 2);
    EXPECT_GT(HeightOf(header), headerHeightBefore * 3 / 2);

    RECT scanAfter = {};
    GetWindowRect(scan, &scanAfter);
    RECT pageAfter = {};
    GetWindowRect(cleaner, &pageAfter);
    EXPECT_NEAR(2 * (scanBefore.right - scanBefore.left), scanAfter.right - scanAfter.left, 1);
    EXPECT_NEAR(2 * (pageBefore.right - scanBefore.right), pageAfter.right - scanAfter.right, 1);

    CloseProgram(program, main);
}
