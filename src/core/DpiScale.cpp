// Lengths and pictures for a display's dots per inch (see DpiScale.h).
#include "core/DpiScale.h"

#include <cstdint>

namespace {

// Percent of each strip of a picture set.
constexpr int kPictureScales[kPictureScaleCount] = {100, 125, 150, 200};

int UsableDpi(int dpi)
{
    return dpi > 0 ? dpi : kDesignDpi;
}

} // namespace

int ScaleLength(int length, int toDpi, int fromDpi)
{
    const std::int64_t to = UsableDpi(toDpi);
    const std::int64_t from = UsableDpi(fromDpi);
    const std::int64_t product = static_cast<std::int64_t>(length) * to;
    const std::int64_t half = from / 2;
    const std::int64_t scaled = product >= 0 ? (product + half) / from : -((-product + half) / from);
    return static_cast<int>(scaled);
}

int PictureScaleIndex(int dpi)
{
    const int percent = ScaleLength(100, dpi);
    int index = 0;
    for (int i = 0; i < kPictureScaleCount; ++i) {
        if (kPictureScales[i] <= percent)
            index = i;
    }
    return index;
}

int PictureSizeAt(int baseSize, int index)
{
    if (index < 0)
        index = 0;
    if (index >= kPictureScaleCount)
        index = kPictureScaleCount - 1;
    return baseSize * kPictureScales[index] / 100;
}
