// The text conversions every name and text passes through: UTF-16 to UTF-8
// and back unit for unit (lone surrogates kept), invalid UTF-8 read as one
// U+FFFD per byte, stepping by characters, and registry string data with
// every shape of terminator, embedded zero and odd last byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Unicode.h"

namespace {

using Strings = std::vector<std::string>;

// Units as hexadecimal numbers, for messages.
std::string Hex(const std::u16string& units)
{
    std::string text;
    for (const char16_t unit : units) {
        char number[8];
        std::snprintf(number, sizeof number, " %04x", static_cast<unsigned>(unit));
        text += number;
    }
    return text;
}

std::string StringData(const std::string& bytes)
{
    return StringDataText(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

Strings MultiStrings(const std::string& bytes)
{
    return MultiStringDataTexts(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

TEST(Unicode, Utf16AndUtf8ConvertUnitForUnitBothWays)
{
    const struct {
        std::u16string units;
        std::string utf8;
    } cases[] = {
        {u"", ""},
        {u"A~\x7f", "A~\x7f"},
        {u"\x00e9\x07ff", "\xC3\xA9\xDF\xBF"},                          // two bytes
        {u"\x0800\x0416\x3042\xfffd\xffff", "\xE0\xA0\x80\xD0\x96\xE3\x81\x82\xEF\xBF\xBD\xEF\xBF\xBF"},
        {u"\xd83d\xde00", "\xF0\x9F\x98\x80"},                          // a pair: four bytes
        {u"\xd800\xdc00\xdbff\xdfff", "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"},
        {u"\xd800", "\xED\xA0\x80"},                                     // a lone high surrogate
        {u"a\xd83d", "a\xED\xA0\xBD"},                                   // ... at the end
        {u"\xdc00x", "\xED\xB0\x80x"},                                   // a lone low surrogate
        {u"\xde00\xd83d", "\xED\xB8\x80\xED\xA0\xBD"},                   // a pair reversed
        {u"\xd800\xd83d\xde00", "\xED\xA0\x80\xF0\x9F\x98\x80"},         // high, then a pair
        {std::u16string(u"a\0b\0", 4), std::string("a\0b\0", 4)},       // zero units kept
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.utf8, Utf16ToUtf8(c.units)) << Hex(c.units);
        EXPECT_EQ(c.units, Utf8ToUtf16(c.utf8)) << Hex(c.units);
        EXPECT_TRUE(IsValidUtf8(c.utf8)) << Hex(c.units);
        EXPECT_EQ(c.utf8, Utf16LeBytesToUtf8(Utf8ToUtf16LeBytes(c.utf8))) << Hex(c.units);
    }
    // Every unit value alone, and after a high surrogate, comes back unchanged.
    for (char32_t unit = 1; unit <= 0xFFFF; ++unit) {
        const std::u16string units = {u'\xd83d', static_cast<char16_t>(unit), u'x'};
        ASSERT_EQ(units, Utf8ToUtf16(Utf16ToUtf8(units))) << Hex(units);
    }
    // Halves written one by one join into the character they make.
    EXPECT_EQ(u"\xd83d\xde00", Utf8ToUtf16("\xED\xA0\xBD\xED\xB8\x80"));
    // Long bytes convert a block at a time: a pair, a lone half or a pair
    // reversed across any block boundary reads as the whole would.
    for (const std::u16string& tail : {std::u16string(u"\xd83d\xde00z"), std::u16string(u"\xd83dz"),
                                       std::u16string(u"\xde00\xd83d\xde00")}) {
        for (std::size_t before : {16382u, 16383u, 16384u, 32767u}) {
            const std::u16string units = std::u16string(before, u'a') + tail;
            std::string bytes;
            for (const char16_t unit : units) {
                bytes += static_cast<char>(unit & 0xFF);
                bytes += static_cast<char>(unit >> 8);
            }
            ASSERT_EQ(Utf16ToUtf8(units), Utf16LeBytesToUtf8(bytes)) << before;
        }
    }
}

TEST(Unicode, InvalidUtf8DecodesAsOneReplacementPerByte)
{
    const struct {
        std::string utf8;
        std::u16string units;
    } cases[] = {
        {"\x80", u"\xfffd"},                                   // a stray continuation byte
        {"a\xBF" "b", u"a\xfffd" "b"},
        {"\xC3", u"\xfffd"},                                   // cut off at the end
        {"\xE2\x98", u"\xfffd\xfffd"},
        {"\xE2\x98x", u"\xfffd\xfffdx"},                       // cut off by another character
        {"\xF0\x9F\x98", u"\xfffd\xfffd\xfffd"},
        {"\xC0\xAF", u"\xfffd\xfffd"},                         // overlong forms
        {"\xC1\xBF", u"\xfffd\xfffd"},
        {"\xE0\x80\xAF", u"\xfffd\xfffd\xfffd"},
        {"\xF0\x8F\xBF\xBF", u"\xfffd\xfffd\xfffd\xfffd"},
        {"\xF4\x90\x80\x80", u"\xfffd\xfffd\xfffd\xfffd"},     // beyond U+10FFFF
        {"\xF5\x80\x80\x80", u"\xfffd\xfffd\xfffd\xfffd"},     // F5 and above start nothing
        {"\xFE\xFF", u"\xfffd\xfffd"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.units, Utf8ToUtf16(c.utf8)) << Hex(c.units);
        EXPECT_FALSE(IsValidUtf8(c.utf8)) << Hex(c.units);
        const std::size_t bad = c.utf8[0] == 'a' ? 1 : 0;
        std::size_t length = 9;
        EXPECT_EQ(U'\xfffd', DecodeUtf8(c.utf8, bad, &length)) << Hex(c.units);
        EXPECT_EQ(1u, length) << Hex(c.units);
    }
    // A replacement character that is really there is valid and four bytes long.
    std::size_t length = 0;
    EXPECT_EQ(U'\xfffd', DecodeUtf8("\xEF\xBF\xBD", 0, &length));
    EXPECT_EQ(3u, length);
}

TEST(Unicode, NextCharIndexStepsOverWholeCharacters)
{
    // a, é, 😀, a lone surrogate, a stray byte, a cut-off sequence.
    const std::string text = "a\xC3\xA9\xF0\x9F\x98\x80\xED\xA0\x80\x80\xE2\x98";
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); i = NextCharIndex(text, i))
        starts.push_back(i);
    EXPECT_EQ((std::vector<std::size_t>{0, 1, 3, 7, 10, 11, 12}), starts);
    EXPECT_EQ(text.size() + 1, NextCharIndex(text, text.size()));
}

TEST(Unicode, StringDataIsReadUpToItsFirstZeroUnit)
{
    const struct {
        std::string bytes;
        std::string text;    // StringDataText
        std::string whole;   // StringDataWhole
    } cases[] = {
        {"", "", ""},
        {std::string("\0", 1), "", ""},                                    // no whole unit
        {std::string("\0\0", 2), "", std::string("\0", 1)},
        {std::string("a\0", 2), "a", "a"},                                 // no terminator
        {std::string("a\0\0\0", 4), "a", std::string("a\0", 2)},
        {std::string("a\0b", 3), "a", "a"},                                // odd: last byte dropped
        {std::string("a\0\0\0b\0\0\0", 8), "a", std::string("a\0b\0", 4)}, // embedded zero
        {std::string("\x16\x04\x3d\xd8\x00\xde\0\0", 8), "Ж😀", std::string("Ж😀\0", 7)},
        {std::string("\x00\xd8x\0", 4), "\xED\xA0\x80x", "\xED\xA0\x80x"}, // lone surrogate kept
        {std::string("\0\x01", 2), "\xC4\x80", "\xC4\x80"},                // a zero byte is no zero unit
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.text, StringData(c.bytes)) << c.bytes.size();
        EXPECT_EQ(c.whole, Utf16LeBytesToUtf8(c.bytes)) << c.bytes.size();
    }
    EXPECT_EQ(std::string("\0\0", 2), TextToStringData(""));
    EXPECT_EQ(std::string("a\0\x16\x04\x3d\xd8\x00\xde\0\0", 10), TextToStringData("aЖ😀"));
    EXPECT_EQ(std::string("\x00\xd8\0\0", 4), TextToStringData("\xED\xA0\x80"));
    EXPECT_EQ("Привет", StringData(TextToStringData("Привет")));
}

TEST(Unicode, MultiStringDataEndsAtTheFirstEmptyString)
{
    const auto data = [](const std::string& text) { return Utf8ToUtf16LeBytes(text); };
    EXPECT_EQ((Strings{"a", "Жж"}), MultiStrings(data(std::string("a\0Жж\0\0", 8))));
    EXPECT_EQ((Strings{"one", "two"}), MultiStrings(data(std::string("one\0two", 7))));
    EXPECT_EQ((Strings{"a"}), MultiStrings(data(std::string("a\0\0b\0\0", 6))));
    EXPECT_EQ(Strings{}, MultiStrings(data(std::string("\0b\0\0", 4))));
    EXPECT_EQ(Strings{}, MultiStrings(""));
    EXPECT_EQ((Strings{"😀", "x"}), MultiStrings(data(std::string("😀\0x", 6)) + "y"));   // odd byte
}

}  // namespace
