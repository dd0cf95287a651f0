// The remembered layout of the main window (see WindowPlacement.h).
#include "core/WindowPlacement.h"

#include "core/DpiScale.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr int kLargestLength = 1000000;
constexpr int kLowestDpi = 48;
constexpr int kHighestDpi = 960;

std::int64_t OverlapArea(const ScreenRect& a, const ScreenRect& b)
{
    const std::int64_t width = std::min(a.right, b.right) - std::max(a.left, b.left);
    const std::int64_t height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

int PlaceWithin(int start, int size, int low, int high)
{
    if (start + size > high)
        start = high - size;
    if (start < low)
        start = low;
    return start;
}

} // namespace

bool ParseLength(const std::string& text, int& value)
{
    std::size_t position = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        position = 1;
    if (position >= text.size())
        return false;
    std::int64_t number = 0;
    for (; position < text.size(); ++position) {
        const char c = text[position];
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
        if (number > kLargestLength)
            return false;
    }
    value = static_cast<int>(negative ? -number : number);
    return true;
}

WindowLayout DecodeWindowLayout(const WindowLayoutTexts& texts)
{
    WindowLayout layout;
    int dpi = 0;
    if (ParseLength(texts.dpi, dpi) && dpi >= kLowestDpi && dpi <= kHighestDpi)
        layout.dpi = dpi;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    if (ParseLength(texts.left, left) && ParseLength(texts.top, top) && ParseLength(texts.width, width) &&
        ParseLength(texts.height, height) && width > 0 && height > 0) {
        layout.hasRect = true;
        layout.rect = {left, top, left + width, top + height};
    }
    layout.maximised = texts.maximised == "1";
    int splitter = 0;
    if (ParseLength(texts.splitter, splitter) && splitter >= 0)
        layout.splitter = splitter;
    return layout;
}

WindowLayoutTexts EncodeWindowLayout(const WindowLayout& layout)
{
    WindowLayoutTexts texts;
    if (layout.hasRect) {
        texts.left = std::to_string(layout.rect.left);
        texts.top = std::to_string(layout.rect.top);
        texts.width = std::to_string(layout.rect.Width());
        texts.height = std::to_string(layout.rect.Height());
    }
    texts.maximised = layout.maximised ? "1" : "0";
    if (layout.splitter >= 0)
        texts.splitter = std::to_string(layout.splitter);
    texts.dpi = std::to_string(layout.dpi);
    return texts;
}

std::vector<int> ParseLengthList(const std::string& text)
{
    std::vector<int> lengths;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string piece = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        int length = 0;
        if (!ParseLength(piece, length) || length < 0)
            return {};
        lengths.push_back(length);
        if (comma == std::string::npos)
            return lengths;
        start = comma + 1;
    }
}

std::string FormatLengthList(const std::vector<int>& lengths)
{
    std::string text;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        if (i > 0)
            text += ',';
        text += std::to_string(lengths[i]);
    }
    return text;
}

ScreenRect ScaleRectSize(const ScreenRect& rect, int toDpi, int fromDpi)
{
    return {rect.left, rect.top, rect.left + ScaleLength(rect.Width(), toDpi, fromDpi),
            rect.top + ScaleLength(rect.Height(), toDpi, fromDpi)};
}

ScreenRect PlaceOnScreen(const ScreenRect& wanted, const std::vector<ScreenRect>& workAreas, int minimumWidth,
                         int minimumHeight)
{
    if (workAreas.empty())
        return wanted;
    std::size_t best = 0;
    std::int64_t bestOverlap = 0;
    for (std::size_t i = 0; i < workAreas.size(); ++i) {
        const std::int64_t overlap = OverlapArea(wanted, workAreas[i]);
        if (overlap > bestOverlap) {
            bestOverlap = overlap;
            best = i;
        }
    }
    const ScreenRect& area = workAreas[best];
    const int width = std::min(std::max(wanted.Width(), minimumWidth), area.Width());
    const int height = std::min(std::max(wanted.Height(), minimumHeight), area.Height());
    const int left = PlaceWithin(wanted.left, width, area.left, area.right);
    const int top = PlaceWithin(wanted.top, height, area.top, area.bottom);
    return {left, top, left + width, top + height};
}

int ClampSplitterPosition(int position, int width, int barWidth, int minimumPane)
{
    const int highest = width - barWidth - minimumPane;
    if (position > highest)
        position = highest;
    if (position < minimumPane)
        position = minimumPane;
    return position;
}

std::vector<int> ClampColumnWidths(const std::vector<int>& widths, std::size_t columns, int maximumWidth)
{
    if (widths.size() != columns)
        return {};
    std::vector<int> clamped;
    bool anyVisible = false;
    for (int width : widths) {
        const int kept = std::min(std::max(width, 0), std::max(maximumWidth, 0));
        anyVisible = anyVisible || kept > 0;
        clamped.push_back(kept);
    }
    return anyVisible ? clamped : std::vector<int>();
}

std::vector<int> FitColumnWidths(const std::vector<int>& weights, int clientWidth, int span)
{
    std::int64_t total = 0;
    for (int weight : weights)
        total += std::max(weight, 0);
    if (total > 0 && span > 0)
        total = span;
    std::vector<int> widths;
    for (int weight : weights) {
        const std::int64_t share =
            total > 0 && clientWidth > 0 ? static_cast<std::int64_t>(clientWidth) * std::max(weight, 0) / total : 0;
        widths.push_back(static_cast<int>(share));
    }
    return widths;
}
