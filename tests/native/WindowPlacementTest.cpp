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
        ScreenRect rect;
        bool maximised;
        int splitter;
        int dpi;
    };
    const Case cases[] = {
        {{"100", "50", "800", "600", "1", "200", "144"}, true, Rect(100, 50, 800, 600), true, 200, 144},
        {{"-1800", "-20", "800", "600", "0", "0", "96"}, true, Rect(-1800, -20, 800, 600), false, 0, 96},
        // A config.xml of an earlier version: nothing at all.
        {{}, false, {}, false, -1, 96},
        // One missing or malformed part makes the whole rectangle absent.
        {{"100", "", "800", "600", "", "", ""}, false, {}, false, -1, 96},
        {{"100", "50", "8O0", "600", "", "", ""}, false, {}, false, -1, 96},
        {{"100", "50", " 800", "600", "", "", ""}, false, {}, false, -1, 96},
        {{"100", "50", "0", "600", "", "", ""}, false, {}, false, -1, 96},
        {{"100", "50", "800", "-600", "", "", ""}, false, {}, false, -1, 96},
        {{"100", "50", "99999999", "600", "", "", ""}, false, {}, false, -1, 96},
        // Only "1" maximises; a negative or foreign splitter and an
        // impossible DPI fall back.
        {{"1", "2", "3", "4", "yes", "-5", "12"}, true, Rect(1, 2, 3, 4), false, -1, 96},
        {{"1", "2", "3", "4", "true", "1e3", "9600"}, true, Rect(1, 2, 3, 4), false, -1, 96},
        {{"1", "2", "3", "4", "0", "", "-"}, true, Rect(1, 2, 3, 4), false, -1, 96},
    };
    for (const Case& c : cases) {
        const WindowLayout layout = DecodeWindowLayout(c.texts);
        SCOPED_TRACE(c.texts.left + "," + c.texts.top + "," + c.texts.width + "," + c.texts.height);
        EXPECT_EQ(layout.hasRect, c.hasRect);
        if (c.hasRect) {
            EXPECT_EQ(layout.rect, c.rect);
        }
        EXPECT_EQ(layout.maximised, c.maximised);
        EXPECT_EQ(layout.splitter, c.splitter);
        EXPECT_EQ(layout.dpi, c.dpi);
    }
}

TEST(WindowPlacement, EncodedLayoutReadsBackTheSame)
{
    WindowLayout layout;
    layout.hasRect = true;
    layout.rect = Rect(-1200, 30, 1024, 700);
    layout.maximised = true;
    layout.splitter = 250;
    layout.dpi = 144;
    const WindowLayoutTexts texts = EncodeWindowLayout(layout);
    EXPECT_EQ(texts.left, "-1200");
    EXPECT_EQ(texts.width, "1024");
    EXPECT_EQ(texts.maximised, "1");
    const WindowLayout back = DecodeWindowLayout(texts);
    EXPECT_TRUE(back.hasRect);
    EXPECT_EQ(back.rect, layout.rect);
    EXPECT_TRUE(back.maximised);
    EXPECT_EQ(back.splitter, 250);
    EXPECT_EQ(back.dpi, 144);

    const WindowLayoutTexts nothing = EncodeWindowLayout(WindowLayout());
    EXPECT_EQ(nothing.left, "");
    EXPECT_EQ(nothing.splitter, "");
    EXPECT_FALSE(DecodeWindowLayout(nothing).hasRect);
}

TEST(WindowPlacement, LengthListsParseWholeOrNotAtAll)
{
    struct Case {
        const char* text;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"100,300,100,300", {100, 300, 100, 300}},
        {"0", {0}},
        {"120,80,0", {120, 80, 0}},
        {"", {}},
        {"100,,300", {}},
        {"100,300,", {}},
        {"100,-3", {}},
        {"100;300", {}},
        {"1.5,2", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseLengthList(c.text), c.expected) << c.text;
    EXPECT_EQ(FormatLengthList({100, 300, 0}), "100,300,0");
    EXPECT_EQ(FormatLengthList({}), "");
}

TEST(WindowPlacement, RectanglesKeepTheirVisualSizeAtAnotherScale)
{
    EXPECT_EQ(ScaleRectSize(Rect(10, 20, 800, 600), 144, 96), Rect(10, 20, 1200, 900));
    EXPECT_EQ(ScaleRectSize(Rect(10, 20, 1200, 900), 96, 144), Rect(10, 20, 800, 600));
    EXPECT_EQ(ScaleRectSize(Rect(-5, 0, 801, 601), 120, 96), Rect(-5, 0, 1001, 751));
    EXPECT_EQ(ScaleRectSize(Rect(3, 4, 640, 480), 96, 96), Rect(3, 4, 640, 480));
}

TEST(WindowPlacement, WindowsAreBroughtOntoAVisibleWorkArea)
{
    // The primary screen with a task bar at the bottom, and a second screen
    // to its left.
    const ScreenRect primary = Rect(0, 0, 1280, 760);
    const ScreenRect left = Rect(-1920, 0, 1920, 1040);
    const std::vector<ScreenRect> both = {primary, left};
    const std::vector<ScreenRect> primaryOnly = {primary};
    struct Case {
        const char* what;
        ScreenRect wanted;
        std::vector<ScreenRect> areas;
        ScreenRect expected;
    };
    const Case cases[] = {
        {"inside stays", Rect(100, 50, 800, 600), both, Rect(100, 50, 800, 600)},
        {"on the second screen stays", Rect(-1500, 100, 800, 600), both, Rect(-1500, 100, 800, 600)},
        {"the screen is gone", Rect(-1500, 100, 800, 600), primaryOnly, Rect(0, 100, 800, 600)},
        {"far off every screen", Rect(5000, 5000, 800, 600), both, Rect(480, 160, 800, 600)},
        {"overlapping the right edge", Rect(900, 50, 800, 600), primaryOnly, Rect(480, 50, 800, 600)},
        {"above the top", Rect(100, -300, 800, 600), primaryOnly, Rect(100, 0, 800, 600)},
        {"too large is shrunk", Rect(-10, -10, 1400, 900), primaryOnly, Rect(0, 0, 1280, 760)},
        {"mostly on the second screen goes there", Rect(-600, 100, 800, 600), both, Rect(-800, 100, 800, 600)},
        {"too small is grown", Rect(100, 100, 50, 20), primaryOnly, Rect(100, 100, 300, 200)},
        {"no work area known", Rect(-9000, 0, 800, 600), {}, Rect(-9000, 0, 800, 600)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlaceOnScreen(c.wanted, c.areas, 300, 200), c.expected) << c.what;
}

TEST(WindowPlacement, SplitterAndColumnsStayWithinSaneRanges)
{
    // A host 600 pixels wide with a 4-pixel bar and panes of at least 4.
    EXPECT_EQ(ClampSplitterPosition(188, 600, 4, 4), 188);
    EXPECT_EQ(ClampSplitterPosition(900, 600, 4, 4), 592);
    EXPECT_EQ(ClampSplitterPosition(-20, 600, 4, 4), 4);
    EXPECT_EQ(ClampSplitterPosition(50, 0, 4, 4), 4);

    struct Case {
        std::vector<int> widths;
        std::size_t columns;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {{100, 300, 100, 300}, 4, {100, 300, 100, 300}},
        {{100, 300, 100, 300}, 5, {}},           // another number of columns
        {{100, 300, 100}, 4, {}},
        {{120, 5000, 80, 0, 0}, 5, {120, 2000, 80, 0, 0}}, // capped; hidden stays hidden
        {{0, 0, 0, 0}, 4, {}},                   // nothing visible: the list's own widths
        {{}, 0, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClampColumnWidths(c.widths, c.columns, 2000), c.expected);
}

TEST(WindowPlacement, ColumnsShareTheWidthByTheirWeights)
{
    struct Case {
        std::vector<int> weights;
        int width;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {{1, 1, 1, 1}, 801, {200, 200, 200, 200}},          // equal shares, as without a remembered width
        {{1, 1, 1, 1, 0}, 400, {100, 100, 100, 100, 0}},    // a hidden last column stays hidden
        {{100, 300, 100, 300}, 1600, {200, 600, 200, 600}}, // remembered widths keep their proportion
        {{100, 300, 100, 300}, 400, {50, 150, 50, 150}},
        {{0, 0}, 400, {0, 0}},
        {{1, 1}, 0, {0, 0}},
        {{-5, 1}, 100, {0, 100}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitColumnWidths(c.weights, c.width), c.expected) << c.width;

    // Widths measured on a list 900 pixels wide, of which the user left 100
    // unused: the same at that width, in proportion at another.
    EXPECT_EQ(FitColumnWidths({150, 450, 100, 100}, 900, 900), std::vector<int>({150, 450, 100, 100}));
    EXPECT_EQ(FitColumnWidths({150, 450, 100, 100}, 1800, 900), std::vector<int>({300, 900, 200, 200}));
    // Columns wider than the list they were measured on stay so, in proportion.
    EXPECT_EQ(FitColumnWidths({150, 260, 150, 150}, 600, 600), std::vector<int>({150, 260, 150, 150}));
    EXPECT_EQ(FitColumnWidths({600, 600}, 600, 300), std::vector<int>({1200, 1200}));
}
