// The program's one text form and its conversions. Every name and text inside
// the program is UTF-8 in a std::string; Windows holds them as UTF-16. The
// conversions are lossless in both directions for anything Windows stores: a
// surrogate without its partner (which a registry name may hold) is written
// as the three bytes of its own code point (the generalised UTF-8 known as
// WTF-8), so every UTF-16 sequence comes back unit for unit.
//
// Registry string data stays as read: the UTF-16 LE bytes with whatever
// terminator, embedded zeros or odd last byte they have. The functions below
// read text out of such bytes and make them from text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Appends the UTF-8 (WTF-8) bytes of one code point or lone surrogate.
void AppendUtf8(std::string& out, char32_t code);

// UTF-16 units (any unit type of 16 bits) to UTF-8, unit for unit.
template <typename Unit>
std::string Utf16ToUtf8(const Unit* units, std::size_t count)
{
    std::string out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const char32_t unit = static_cast<std::uint16_t>(units[i]);
        if (unit < 0x80) {
            out.push_back(static_cast<char>(unit));
            continue;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < count) {
            const char32_t next = static_cast<std::uint16_t>(units[i + 1]);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, unit);
    }
    return out;
}

inline std::string Utf16ToUtf8(std::u16string_view text)
{
    return Utf16ToUtf8(text.data(), text.size());
}

// Decodes the character that starts at index: its code point (a lone
// surrogate as itself) and its length in bytes. A byte that starts no valid
// sequence decodes as U+FFFD with length 1, so every text can be walked.
char32_t DecodeUtf8(std::string_view text, std::size_t index, std::size_t* length);

// Index of the character after the one starting at index.
std::size_t NextCharIndex(std::string_view text, std::size_t index);

// UTF-8 to UTF-16 units; the inverse of Utf16ToUtf8 for every text it makes.
// Bytes that start no valid sequence become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

// True when every byte belongs to a valid UTF-8 (WTF-8) sequence.
bool IsValidUtf8(std::string_view text);

// Registry string data (UTF-16 LE bytes as read) to text: the units before the
// first zero unit; an odd last byte is not part of any unit.
std::string StringDataText(const std::uint8_t* data, std::size_t size);
inline std::string StringDataText(const std::string& bytes)
{
    return StringDataText(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// The whole data as text, zero units included (an odd last byte dropped).
std::string StringDataWhole(const std::uint8_t* data, std::size_t size);

// The strings of REG_MULTI_SZ data: the runs between zero units, up to the
// first empty one (the list's end) or the end of the data.
std::vector<std::string> MultiStringDataTexts(const std::uint8_t* data, std::size_t size);

// Text to registry string data: its UTF-16 LE bytes and a terminating zero unit.
std::string TextToStringData(std::string_view text);

// Text to UTF-16 LE bytes, without a terminator.
std::string Utf8ToUtf16LeBytes(std::string_view text);

// UTF-16 LE bytes to text, every unit kept (an odd last byte dropped).
inline std::string Utf16LeBytesToUtf8(std::string_view bytes)
{
    return StringDataWhole(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}
