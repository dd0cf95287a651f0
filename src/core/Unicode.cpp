#include "core/Unicode.h"

void AppendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

char32_t DecodeUtf8(std::string_view text, std::size_t index, std::size_t* length)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(index);
    *length = 1;
    if (lead < 0x80)
        return lead;
    std::size_t count;
    char32_t code;
    char32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        count = 2;
        code = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        count = 3;
        code = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        count = 4;
        code = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0xFFFD;
    }
    if (text.size() - index < count)
        return 0xFFFD;
    for (std::size_t i = 1; i < count; ++i) {
        const unsigned char next = byte(index + i);
        if ((next & 0xC0) != 0x80)
            return 0xFFFD;
        code = (code << 6) | (next & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF)
        return 0xFFFD;
    *length = count;
    return code;
}

std::size_t NextCharIndex(std::string_view text, std::size_t index)
{
    if (index >= text.size())
        return index + 1;
    if (static_cast<unsigned char>(text[index]) < 0x80)
        return index + 1;
    std::size_t length;
    DecodeUtf8(text, index, &length);
    return index + length;
}

std::u16string Utf8ToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        std::size_t length;
        const char32_t code = DecodeUtf8(text, i, &length);
        if (code >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
        i += length;
    }
    return out;
}

bool IsValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        std::size_t length;
        if (DecodeUtf8(text, i, &length) == 0xFFFD && length == 1)
            return false;
        i += length;
    }
    return true;
}

namespace {

std::size_t UnitCount(std::size_t size) { return size / 2; }

char16_t UnitAt(const std::uint8_t* data, std::size_t unit)
{
    return static_cast<char16_t>(data[2 * unit] | (data[2 * unit + 1] << 8));
}

// Converted a block at a time, so that a long text (a whole REG file) is
// never held a second time as UTF-16. A pair of surrogates stays in one block;
// every other unit converts on its own, so the blocks join as the whole would.
std::string UnitsToText(const std::uint8_t* data, std::size_t first, std::size_t end)
{
    constexpr std::size_t kBlockUnits = 16384;
    std::string text;
    text.reserve(end - first);
    std::u16string units;
    for (std::size_t i = first; i < end;) {
        std::size_t stop = end - i > kBlockUnits ? i + kBlockUnits : end;
        if (stop < end && (UnitAt(data, stop - 1) & 0xFC00) == 0xD800)
            ++stop;
        units.clear();
        for (; i < stop; ++i)
            units.push_back(UnitAt(data, i));
        text += Utf16ToUtf8(units);
    }
    return text;
}

}  // namespace

std::string StringDataText(const std::uint8_t* data, std::size_t size)
{
    const std::size_t count = UnitCount(size);
    std::size_t end = 0;
    while (end < count && UnitAt(data, end) != 0)
        ++end;
    return UnitsToText(data, 0, end);
}

std::string StringDataWhole(const std::uint8_t* data, std::size_t size)
{
    return UnitsToText(data, 0, UnitCount(size));
}

std::vector<std::string> MultiStringDataTexts(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> strings;
    const std::size_t count = UnitCount(size);
    std::size_t start = 0;
    while (start < count) {
        std::size_t end = start;
        while (end < count && UnitAt(data, end) != 0)
            ++end;
        if (end == start)
            break;
        strings.push_back(UnitsToText(data, start, end));
        start = end + 1;
    }
    return strings;
}

std::string Utf8ToUtf16LeBytes(std::string_view text)
{
    const std::u16string units = Utf8ToUtf16(text);
    std::string bytes;
    bytes.reserve(units.size() * 2);
    for (const char16_t unit : units) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::string TextToStringData(std::string_view text)
{
    std::string bytes = Utf8ToUtf16LeBytes(text);
    bytes.append(2, '\0');
    return bytes;
}
