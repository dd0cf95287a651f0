// The main window at the display scale of the Wine prefix it runs in (96 DPI
// in the usual prefix; 144 DPI with a 1280 x 800 desktop in the prefix of the
// "_144dpi" run): it fits the screen, no caption, check box or button text of
// a page is cut off, and its pictures come from the strips for the scale. A
// move to a display of another scale lays it out and draws it anew.
#include "CleanerGui.h"
#include "GuiDriver.h"

#include "core/DpiScale.h"
#include "ui/Dpi.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <cstdlib>

namespace {

int ExpectedDpi()
{
    const char* value = std::getenv("QV_EXPECTED_DPI");
    return value && std::atoi(value) > 0 ? std::atoi(value) : 96;
}

RECT RectOf(HWND window, bool client = false)
{
    RECT rect = {};
    client ? GetClientRect(window, &rect) : GetWindowRect(window, &rect);
    return rect;
}

// The room a control's text needs in the pages' dialog font as the dialog
// manager makes it at `dpi` (under Wine a font cannot be read from another
// process), wrapped at `wrap` pixels when that is above zero.
SIZE TextExtent(HWND control, int dpi, UINT flags, int wrap)
{
    const std::wstring text = Widen(WindowText(control));
    LOGFONTW description = {};
    description.lfHeight = -ScaleLength(8, dpi, 72);
    description.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(description.lfFaceName, L"MS Sans Serif", LF_FACESIZE);
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontIndirectW(&description);
    HGDIOBJ previous = SelectObject(dc, font);
    RECT rect = {0, 0, wrap, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_CALCRECT | flags | (wrap > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, previous);
    DeleteObject(font);
    DeleteDC(dc);
    return SIZE{rect.right, rect.bottom};
}

// The visible captions of `page` that do not fit their controls; `measured`
// counts those measured. Status lines shorten long paths by design.
std::vector<std::string> ClippedTexts(HWND page, int dpi, int& measured)
{
    std::vector<std::string> clipped;
    for (HWND control = GetWindow(page, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        if (!IsWindowVisible(control) || WindowText(control).empty() || (style & SS_PATHELLIPSIS))
            continue;
        const RECT client = RectOf(control, true);
        int room = client.right;
        int height = client.bottom;
        SIZE need = {};
        const LONG type = style & BS_TYPEMASK;
        if (ClassName(control) == "Static") {
            need = TextExtent(control, dpi, (style & SS_NOPREFIX) ? DT_NOPREFIX : 0, room);
        } else if (ClassName(control) != "Button") {
            continue;
        } else if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_AUTORADIOBUTTON) {
            need = TextExtent(control, dpi, 0, 0);
            room -= ScaleLength(13 + 4, dpi); // the box and the gap before the text
        } else if (type == BS_GROUPBOX) {
            need = TextExtent(control, dpi, 0, 0);
            room -= ScaleLength(2 * 8, dpi);
        } else {
            need = TextExtent(control, dpi, 0, 0);
            room -= ScaleLength(2 * 3, dpi); // edges and focus frame
            height -= ScaleLength(2 * 2, dpi);
        }
        ++measured;
        if (need.cx > room || need.cy > height)
            clipped.push_back(WindowText(control) + " needs " + std::to_string(need.cx) + "x" +
                              std::to_string(need.cy) + ", has " + std::to_string(room) + "x" + std::to_string(height));
    }
    return clipped;
}

// The page list's pictures and the task list's are those of the strips for
// `dpi`: 48 and 16 pixels at 100 percent.
void ExpectPicturesFor(const RunningProgram& program, HWND main, int dpi)
{
    const int index = PictureScaleIndex(dpi);
    const std::vector<RECT> entries = TreeViewRootTextRects(program.Process(), PageListOf(main));
    ASSERT_EQ(3u, entries.size());
    // The texts begin right of the pictures, and before a larger one would end.
    EXPECT_GE(entries.front().left, PictureSizeAt(48, index));
    EXPECT_LT(entries.front().left, PictureSizeAt(48, index) + 24);
    HWND tasks = GetDlgItem(PageWithControl(main, IDC_CLEANER_TASKS), IDC_CLEANER_TASKS);
    const RECT icon = ListViewItemPart(program.Process(), tasks, 0, LVIR_ICON);
    EXPECT_EQ(PictureSizeAt(16, index), icon.right - icon.left);
}

void Close(RunningProgram& program, HWND main)
{
    PostMessageW(main, WM_CLOSE, 0, 0);
    DWORD exitCode = 0;
    ASSERT_TRUE(program.WaitForExit(exitCode));
    EXPECT_EQ(2u, exitCode);
}

} // namespace

TEST(DisplayScale, WindowFitsTheScreenAndNoTextIsCutOff)
{
    const int dpi = ExpectedDpi();
    ProgramCopy copy("display-scale");
    RunningProgram program;
    ASSERT_TRUE(program.Start(copy.Program()));
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_EQ(dpi, WindowDpi(main));

    const RECT window = RectOf(main);
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(window.right - window.left, 1280);
    EXPECT_LE(window.bottom - window.top, 800);
    EXPECT_TRUE(window.left >= work.left && window.top >= work.top && window.right <= work.right &&
                window.bottom <= work.bottom);
    ExpectPicturesFor(program, main, dpi);
    // The page list's entries fit its width in their font.
    for (const RECT& entry : TreeViewRootTextRects(program.Process(), PageListOf(main)))
        EXPECT_LE(entry.right, RectOf(PageListOf(main), true).right);

    for (int index = 0; index < 3; ++index) {
        ASSERT_TRUE(TreeViewSelectRoot(PageListOf(main), index));
        HWND page = nullptr;
        for (HWND child = GetWindow(PageContainerOf(main), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            page = IsWindowVisible(child) ? child : page;
        ASSERT_NE(page, nullptr);
        int measured = 0;
        const std::vector<std::string> clipped = ClippedTexts(page, dpi, measured);
        EXPECT_TRUE(clipped.empty()) << "page " << index << ": " << clipped.front();
        EXPECT_GE(measured, 4) << "page " << index; // every page has four captioned buttons or more
        EXPECT_LE(RectOf(page).right, window.right);
        EXPECT_LE(RectOf(page).bottom, window.bottom);
    }
    Close(program, main);
}

TEST(DisplayScale, MovingToAnotherScaleTakesTheSuggestedPlaceAndRedrawsForIt)
{
    const int dpi = ExpectedDpi();
    ProgramCopy copy("display-scale-change");
    RunningProgram program;
    ASSERT_TRUE(program.Start(copy.Program()));
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    HWND list = PageListOf(main);
    HWND cleaner = PageWithControl(main, IDC_CLEANER_TASKS);
    HWND scan = GetDlgItem(cleaner, IDC_CLEANER_SCAN);
    HWND header = reinterpret_cast<HWND>(SendDlgItemMessageW(cleaner, IDC_CLEANER_RESULTS, LVM_GETHEADER, 0, 0));
    const RECT scanBefore = RectOf(scan);
    const RECT pageBefore = RectOf(cleaner);
    const RECT entryBefore = TreeViewRootTextRects(program.Process(), list).front();
    const RECT headerBefore = RectOf(header);

    // Twice the scale: the window goes where it is told; pictures, fonts and
    // the buttons' sizes and distance from the right edge follow the scale.
    const RECT suggested = {10, 20, 10 + 1000, 20 + 700};
    SendDpiChanged(program.Process(), main, 2 * dpi, suggested);
    const RECT window = RectOf(main);
    EXPECT_TRUE(EqualRect(&suggested, &window));
    ExpectPicturesFor(program, main, 2 * dpi);
    // Fonts cannot be read from here: the room their texts take shows them.
    const RECT entryAfter = TreeViewRootTextRects(program.Process(), list).front();
    EXPECT_GT(entryAfter.right - entryAfter.left, (entryBefore.right - entryBefore.left) * 3 / 2);
    EXPECT_GT(RectOf(header).bottom - RectOf(header).top, (headerBefore.bottom - headerBefore.top) * 3 / 2);
    const RECT scanAfter = RectOf(scan);
    EXPECT_NEAR(2 * (scanBefore.right - scanBefore.left), scanAfter.right - scanAfter.left, 1);
    EXPECT_NEAR(2 * (pageBefore.right - scanBefore.right), RectOf(cleaner).right - scanAfter.right, 1);
    Close(program, main);
}
