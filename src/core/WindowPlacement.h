// The remembered layout of the main window: its rectangle, maximised state
// and splitter, and the column widths of the lists, as kept in config.xml,
// and the rules that fit them to the screens and lists of the next start.
//
// Lengths are stored in pixels together with the DPI they were measured
// at; a start at another scale multiplies them by the ratio of the two, so
// that the window keeps its visual size.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const ScreenRect& other) const
    {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

// The window as it was left: its normal (not maximised) rectangle, whether
// it was maximised, and the splitter's distance from the left edge. A part
// that was missing or malformed in the file is marked absent.
struct WindowLayout {
    bool hasRect = false;
    ScreenRect rect;
    bool maximised = false;
    int splitter = -1; // absent when negative
    int dpi = 96;      // the DPI the lengths were measured at
};

// The attributes of the window element, as text.
struct WindowLayoutTexts {
    std::string left;
    std::string top;
    std::string width;
    std::string height;
    std::string maximised;
    std::string splitter;
    std::string dpi;
};

// A whole decimal number, optionally negative, with nothing else around it
// and within a million either way.
bool ParseLength(const std::string& text, int& value);

// Reads the attributes; what does not parse, or a rectangle that is not
// whole or has no area, is left absent, and a DPI outside 48 to 960 reads as
// 96.
WindowLayout DecodeWindowLayout(const WindowLayoutTexts& texts);
WindowLayoutTexts EncodeWindowLayout(const WindowLayout& layout);

// "100,300,100,300"; empty when any piece is not a length or is negative.
std::vector<int> ParseLengthList(const std::string& text);
std::string FormatLengthList(const std::vector<int>& lengths);

// The rectangle's size measured at `fromDpi` for `toDpi`; the top left
// corner stays where it is.
ScreenRect ScaleRectSize(const ScreenRect& rect, int toDpi, int fromDpi);

// Where a window that wants `wanted` goes when the screens' work areas are
// `workAreas` (the first being the primary screen's): onto the work area it
// overlaps most, or the primary one when it overlaps none (its screen is
// gone); shrunk to that area's size when larger and grown to the minimum
// size when smaller; then moved so that it lies wholly inside. Without work
// areas the rectangle stays as it is.
ScreenRect PlaceOnScreen(const ScreenRect& wanted, const std::vector<ScreenRect>& workAreas, int minimumWidth,
                         int minimumHeight);

// The splitter's distance from the left edge of a host `width` pixels wide:
// each pane keeps at least `minimumPane` pixels beside the bar.
int ClampSplitterPosition(int position, int width, int barWidth, int minimumPane);

// Remembered column widths for a list of `columns` columns: each kept
// within 0 and `maximumWidth`; empty (the list's own widths) when the count
// differs or no column would be visible.
std::vector<int> ClampColumnWidths(const std::vector<int>& widths, std::size_t columns, int maximumWidth);

// The columns' widths for a list whose client area is `clientWidth` pixels
// wide: each column's share of it is its weight's share of `span`, or of all
// weights when `span` is zero (integer division). Widths measured on a list
// `span` pixels wide thus come back unchanged at that width and in
// proportion at any other, also where they add up to more than the list
// (which then scrolls); equal weights without a span share the width
// equally; a weight of zero keeps a column hidden. With no weight above zero
// every column gets zero.
std::vector<int> FitColumnWidths(const std::vector<int>& weights, int clientWidth, int span = 0);
