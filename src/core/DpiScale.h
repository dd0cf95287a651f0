// Lengths and pictures for a display's dots per inch. The program's sizes
// are designed at 96 DPI (100 percent); at other scales they are multiplied
// by DPI / 96, and the pictures come from strips drawn at 100, 125, 150 and
// 200 percent.
#pragma once

constexpr int kDesignDpi = 96;

// The number of picture strips of each set, for 100, 125, 150 and 200 percent.
constexpr int kPictureScaleCount = 4;

// `length`, measured at `fromDpi`, for `toDpi`: rounded to the nearest
// pixel, halves away from zero (as MulDiv does). A DPI that is zero or
// negative counts as 96.
int ScaleLength(int length, int toDpi, int fromDpi = kDesignDpi);

// Which strip of a picture set serves `dpi`: the largest scale that is not
// larger than the display's (0 for 100, 1 for 125, 2 for 150, 3 for 200
// percent); displays below 100 percent get the 100 percent strip.
int PictureScaleIndex(int dpi);

// The picture size of strip `index` of a set drawn at `baseSize` pixels for
// 100 percent: 16 gives 16, 20, 24 and 32.
int PictureSizeAt(int baseSize, int index);
