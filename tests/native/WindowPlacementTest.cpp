// The remembered window layout: reading it from config.xml's texts, and
// fitting it to the screens, the splitter and the lists of the next start.
#include "core/WindowPlacement.h"

#include <gtest/gtest.h>

namespace {
ScreenRect Rect(int left, int top, int width, int height)
{
    return {left, top, left + width, top + height};
}
} // namespace

TEST(WindowPlacement, DecodesWhatParsesAndLeavesTheRestAbsent)
{
    struct Case {
        WindowLayoutTexts texts;
        bool hasRect;
        bool maximised;
        int splitter, dpi;
    };
    const Case cases[] = {
        {{"-1800", "50", "800", "600", "1", "200", "144"}, true, true, 200, 144},
        {{}, false, false, -1, 96}, // a config.xml of an earlier version
        // One missing or malformed part of the rectangle makes it absent.
        {{"100", "", "800", "600", "", "", ""}, false, false, -1, 96},
        {{"100", "50", " 800", "600", "", "", ""}, false, false, -1, 96},
        {{"100", "50", "0", "600", "", "", ""}, false, false, -1, 96},
        {{"100", "50", "99999999", "600", "", "", ""}, false, false, -1, 96},
        // Only "1" maximises; a negative splitter or impossible DPI falls back.
        {{"1", "2", "3", "4", "yes", "-5", "12"}, true, false, -1, 96},
        {{"1", "2", "3", "4", "true", "1e3", "-"}, true, false, -1, 96},
    };
    for (const Case& c : cases) {
        const WindowLayout layout = DecodeWindowLayout(c.texts);
        EXPECT_EQ(layout.hasRect, c.hasRect) << c.texts.width;
        EXPECT_EQ(layout.maximised, c.maximised) << c.texts.maximised;
        EXPECT_EQ(layout.splitter, c.splitter) << c.texts.splitter;
        EXPECT_EQ(layout.dpi, c.dpi) << c.texts.dpi;
        // What was read is written back the same.
        if (layout.hasRect) {
            EXPECT_EQ(DecodeWindowLayout(EncodeWindowLayout(layout)).rect, layout.rect);
        }
    }
    EXPECT_EQ(DecodeWindowLayout(cases[0].texts).rect, Rect(-1800, 50, 800, 600));
    EXPECT_EQ(ParseLengthList("100,300,0"), std::vector<int>({100, 300, 0}));
    for (const char* malformed : {"", "100,,300", "100,", "100,-3", "1.5"})
        EXPECT_TRUE(ParseLengthList(malformed).empty()) << malformed;
    EXPECT_EQ(FormatLengthList({100, 300, 0}), "100,300,0");
}

TEST(WindowPlacement, WindowsAreBroughtOntoAVisibleWorkArea)
{
    // The primary screen with a task bar at the bottom, a second one to its left.
    const std::vector<ScreenRect> both = {Rect(0, 0, 1280, 760), Rect(-1920, 0, 1920, 1040)};
    const std::vector<ScreenRect> primary = {both[0]};
    struct Case {
        const char* what;
        ScreenRect wanted;
        std::vector<ScreenRect> areas;
        ScreenRect expected;
    };
    const Case cases[] = {
        {"inside stays", Rect(100, 50, 800, 600), both, Rect(100, 50, 800, 600)},
        {"on the second screen stays", Rect(-1500, 100, 800, 600), both, Rect(-1500, 100, 800, 600)},
        {"its screen is gone", Rect(-1500, 100, 800, 600), primary, Rect(0, 100, 800, 600)},
        {"far off every screen", Rect(5000, 5000, 800, 600), both, Rect(480, 160, 800, 600)},
        {"above the top", Rect(100, -300, 800, 600), primary, Rect(100, 0, 800, 600)},
        {"too large is shrunk", Rect(-10, -10, 1400, 900), primary, Rect(0, 0, 1280, 760)},
        {"mostly on the second screen", Rect(-600, 100, 800, 600), both, Rect(-800, 100, 800, 600)},
        {"too small is grown", Rect(100, 100, 50, 20), primary, Rect(100, 100, 300, 200)},
        {"no work area known", Rect(-9000, 0, 800, 600), {}, Rect(-9000, 0, 800, 600)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlaceOnScreen(c.wanted, c.areas, 300, 200), c.expected) << c.what;
    // Sizes keep their look at another scale.
    EXPECT_EQ(ScaleRectSize(Rect(10, 20, 800, 600), 144, 96), Rect(10, 20, 1200, 900));
    EXPECT_EQ(ScaleRectSize(Rect(10, 20, 1200, 900), 96, 144), Rect(10, 20, 800, 600));
}

TEST(WindowPlacement, SplitterAndColumnsStayWithinSaneRanges)
{
    // A host 600 pixels wide, a 4-pixel bar, panes of at least 4.
    EXPECT_EQ(ClampSplitterPosition(188, 600, 4, 4), 188);
    EXPECT_EQ(ClampSplitterPosition(900, 600, 4, 4), 592);
    EXPECT_EQ(ClampSplitterPosition(-20, 600, 4, 4), 4);

    EXPECT_EQ(ClampColumnWidths({100, 300, 100, 300}, 4, 2000), std::vector<int>({100, 300, 100, 300}));
    EXPECT_EQ(ClampColumnWidths({120, 5000, 80, 0, 0}, 5, 2000), std::vector<int>({120, 2000, 80, 0, 0}));
    EXPECT_TRUE(ClampColumnWidths({100, 300, 100, 300}, 5, 2000).empty()); // other columns
    EXPECT_TRUE(ClampColumnWidths({0, 0, 0, 0}, 4, 2000).empty());          // none visible
}

TEST(WindowPlacement, ColumnsShareTheWidthByTheirWeights)
{
    struct Case {
        std::vector<int> weights;
        int width, span;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {{1, 1, 1, 1}, 801, 0, {200, 200, 200, 200}},       // equal shares, as without remembered widths
        {{1, 1, 1, 1, 0}, 400, 0, {100, 100, 100, 100, 0}}, // a hidden last column stays hidden
        // Widths measured on a list 900 wide come back there, in proportion elsewhere.
        {{150, 450, 100, 100}, 900, 900, {150, 450, 100, 100}},
        {{150, 450, 100, 100}, 1800, 900, {300, 900, 200, 200}},
        {{150, 260, 150, 150}, 600, 600, {150, 260, 150, 150}}, // wider than the list, kept
        {{0, 0}, 400, 0, {0, 0}},
        {{-5, 1}, 100, 0, {0, 100}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitColumnWidths(c.weights, c.width, c.span), c.expected) << c.width;
}
