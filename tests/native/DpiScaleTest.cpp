// Lengths and picture strips for a display's DPI.
#include "core/DpiScale.h"

#include <gtest/gtest.h>

TEST(DpiScale, LengthsScaleAndRoundToTheNearestPixel)
{
    struct Case {
        int length, toDpi, fromDpi, expected;
    };
    const Case cases[] = {
        {188, 96, 96, 188},   {188, 144, 96, 282}, {15, 120, 96, 19},  // 18.75
        {15, 144, 96, 23},    // 22.5: a half rounds up
        {-15, 144, 96, -23},  // and away from zero below it
        {282, 96, 144, 188},  {1, 144, 96, 2},     {0, 192, 96, 0},
        {100, 192, 96, 200},  {100, 0, 96, 100},   // an unknown DPI counts as 96
        {100, 144, -1, 150},  {1000000, 960, 48, 20000000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScaleLength(c.length, c.toDpi, c.fromDpi), c.expected)
            << c.length << " from " << c.fromDpi << " to " << c.toDpi;
}

TEST(DpiScale, PictureStripIsTheLargestNotLargerThanTheScale)
{
    struct Case {
        int dpi, index, size16, size48;
    };
    const Case cases[] = {
        {72, 0, 16, 48},  {96, 0, 16, 48},  {110, 0, 16, 48}, {120, 1, 20, 60}, {130, 1, 20, 60},
        {144, 2, 24, 72}, {168, 2, 24, 72}, {191, 2, 24, 72}, {192, 3, 32, 96}, {288, 3, 32, 96},
        {0, 0, 16, 48},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PictureScaleIndex(c.dpi), c.index) << c.dpi;
        EXPECT_EQ(PictureSizeAt(16, PictureScaleIndex(c.dpi)), c.size16) << c.dpi;
        EXPECT_EQ(PictureSizeAt(48, PictureScaleIndex(c.dpi)), c.size48) << c.dpi;
    }
    EXPECT_EQ(PictureSizeAt(16, -1), 16);
    EXPECT_EQ(PictureSizeAt(16, 9), 32);
}
