// Lengths and picture strips for a display's DPI.
#include "core/DpiScale.h"

#include <gtest/gtest.h>

TEST(DpiScale, LengthsScaleAndRoundToTheNearestPixel)
{
    struct Case {
        int length, toDpi, fromDpi, expected;
    };
    const Case cases[] = {
        {188, 144, 96, 282}, {282, 96, 144, 188}, {15, 120, 96, 19},  {15, 144, 96, 23}, // 22.5 rounds up
        {-15, 144, 96, -23}, {0, 192, 96, 0},     {100, 0, 96, 100}, // an unknown DPI counts as 96
        {1000000, 960, 48, 20000000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScaleLength(c.length, c.toDpi, c.fromDpi), c.expected) << c.length << " to " << c.toDpi;
}

TEST(DpiScale, PictureStripIsTheLargestNotLargerThanTheScale)
{
    struct Case {
        int dpi, size16, size48;
    };
    const Case cases[] = {{72, 16, 48},  {96, 16, 48},  {110, 16, 48}, {120, 20, 60}, {144, 24, 72},
                          {191, 24, 72}, {192, 32, 96}, {288, 32, 96}, {0, 16, 48}};
    for (const Case& c : cases) {
        EXPECT_EQ(PictureSizeAt(16, PictureScaleIndex(c.dpi)), c.size16) << c.dpi;
        EXPECT_EQ(PictureSizeAt(48, PictureScaleIndex(c.dpi)), c.size48) << c.dpi;
    }
}
