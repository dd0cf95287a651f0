// The REG file reader on damaged input: every truncation of valid files in
// every encoding, seeded random byte changes, huge lines, unterminated quotes,
// UTF-16 files of odd length and UTF-8 files with broken sequences. Each result must hold together (lines within the file,
// refused lines in line order, data no larger than the file, the same result twice);
// under the sanitizers every read is also checked to stay in bounds.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/MemoryPlatform.h"
#include "core/RegReader.h"
#include "core/Unicode.h"

#ifndef QV_SOURCE_DIR
#error "QV_SOURCE_DIR must name the source root"
#endif

namespace {

std::string GoldenFile(const std::string& name)
{
    std::ifstream file(std::string(QV_SOURCE_DIR) + "/tests/native/data/" + name,
                       std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The golden files, and the version 5 one again as UTF-8 with a byte-order mark.
std::vector<std::pair<std::string, std::string>> SeedFiles()
{
    const std::string utf16 = GoldenFile("version5-golden.reg");
    return {{"regedit4-golden.reg", GoldenFile("regedit4-golden.reg")},
            {"version5-golden.reg", utf16},
            {"version5 as UTF-8", "\xEF\xBB\xBF" + Utf16LeBytesToUtf8(utf16.substr(2))}};
}

// Lines of the file by the reader's rule (CR LF, LF or CR ends a line); a
// generous bound for UTF-16 files, whose bytes are counted as characters.
std::size_t LineCountBound(const std::string& bytes)
{
    std::size_t lines = 1;
    for (char c : bytes) {
        if (c == '\n' || c == '\r')
            ++lines;
    }
    return lines;
}

bool SameContent(const RegFileContent& a, const RegFileContent& b)
{
    if (a.format != b.format || a.encoding != b.encoding || a.keys.size() != b.keys.size() ||
        a.refusedLines.size() != b.refusedLines.size())
        return false;
    for (std::size_t i = 0; i < a.keys.size(); ++i) {
        const RegFileKey& x = a.keys[i];
        const RegFileKey& y = b.keys[i];
        if (x.root != y.root || x.path != y.path || x.deleted != y.deleted || x.line != y.line ||
            x.values.size() != y.values.size())
            return false;
        for (std::size_t j = 0; j < x.values.size(); ++j) {
            if (x.values[j].name != y.values[j].name || x.values[j].type != y.values[j].type ||
                x.values[j].data != y.values[j].data || x.values[j].deleted != y.values[j].deleted)
                return false;
        }
    }
    for (std::size_t i = 0; i < a.refusedLines.size(); ++i) {
        if (a.refusedLines[i].line != b.refusedLines[i].line || a.refusedLines[i].problem != b.refusedLines[i].problem)
            return false;
    }
    return true;
}

class RegReaderFuzzTest : public ::testing::Test {
protected:
    // Reads the bytes twice and checks that the result holds together.
    void Check(const std::string& bytes, const std::string& what)
    {
        const RegFileContent content = ReadRegFile(platform, bytes);
        const std::size_t lines = LineCountBound(bytes);
        std::size_t dataBytes = 0;
        std::size_t lastLine = 0;
        for (const RegFileKey& key : content.keys) {
            ASSERT_NE(kNoRootKey, key.root) << what;
            ASSERT_FALSE(key.rootName.empty()) << what;
            ASSERT_TRUE(key.path.empty() || (key.path.front() != '\\' && key.path.back() != '\\'))
                << what;
            ASSERT_GT(key.line, lastLine) << what;
            ASSERT_LE(key.line, lines) << what;
            ASSERT_TRUE(!key.deleted || key.values.empty()) << what;
            lastLine = key.line;
            for (const RegFileValue& value : key.values) {
                ASSERT_GT(value.line, lastLine) << what;
                ASSERT_LE(value.line, lines) << what;
                ASSERT_TRUE(!value.deleted || value.data.empty()) << what;
                lastLine = value.line;
                dataBytes += value.data.size() + value.name.size();
            }
        }
        // A byte of ANSI text takes at most three bytes of UTF-8 (a name)
        // or two of UTF-16 (data), and an empty quoted text gives its zero unit.
        ASSERT_LE(dataBytes, 3 * bytes.size() + 2) << what;
        std::size_t lastRefused = 0;
        for (const RegRefusedLine& refused : content.refusedLines) {
            ASSERT_GE(refused.line, 1u) << what;
            ASSERT_GE(refused.line, lastRefused) << what;
            ASSERT_LE(refused.line, lines) << what;
            lastRefused = refused.line;
        }
        ASSERT_TRUE(SameContent(content, ReadRegFile(platform, bytes))) << what;
    }

    MemoryPlatform platform;
};

TEST_F(RegReaderFuzzTest, EveryTruncationOfValidFilesHoldsTogether)
{
    for (const auto& [name, file] : SeedFiles()) {
        ASSERT_GT(file.size(), 100u) << name;
        // UTF-16 cuts at odd positions leave a byte over; UTF-8 cuts split
        // characters.
        for (std::size_t size = 0; size <= file.size(); ++size)
            Check(file.substr(0, size), name + " cut at " + std::to_string(size));
    }
}

TEST_F(RegReaderFuzzTest, RandomByteChangesHoldTogether)
{
    std::mt19937 random(20080303);
    const char special[] = {'\r', '\n', '"', '\\', ',', '[', ']', '=', '@', '-', ':', ';',
                            '(', ')', ' ', '\0', '\x81', '\xff', '\xfe', '\xed', '\xf0', '\xbf'};
    for (const auto& [name, file] : SeedFiles()) {
        for (int round = 0; round < 800; ++round) {
            std::string bytes = file;
            const int changes = 1 + static_cast<int>(random() % 8);
            for (int i = 0; i < changes; ++i) {
                const std::size_t at = random() % bytes.size();
                bytes[at] = random() % 2 ? special[random() % sizeof special]
                                         : static_cast<char>(random() % 256);
            }
            if (random() % 4 == 0)
                bytes.resize(random() % bytes.size());
            Check(bytes, name + " round " + std::to_string(round));
        }
    }
}

TEST_F(RegReaderFuzzTest, HugeLinesAndUnterminatedQuotesHoldTogether)
{
    const std::string head = "REGEDIT4\r\n[HKEY_USERS\\a]\r\n";
    const std::size_t huge = 1 << 18;
    std::string hexLine = "\"h\"=hex:";
    for (std::size_t i = 0; i < huge / 4; ++i)
        hexLine += "ab,";
    std::string continued = "\"c\"=hex:";
    for (std::size_t i = 0; i < huge / 16; ++i)
        continued += "01,\\\r\n";
    const std::string cases[] = {
        head + "\"" + std::string(huge, 'a'),
        head + "\"x\"=\"" + std::string(huge, '\\'),
        head + "\"x\"=\"" + std::string(huge, 'b'),
        head + "[" + std::string(huge, 'x'),
        head + "[HKEY_USERS\\" + std::string(huge, ']') + "\r\n",
        head + std::string(huge, '\\'),
        head + "\"x\"=dword:" + std::string(huge, '0'),
        head + "\"x\"=hex(" + std::string(huge, 'f') + "):",
        head + hexLine,
        head + continued,
        head + std::string(huge / 4, '\r'),
        head + std::string(huge, '\x81'),
        head + "\"x\"=\"" + std::string(huge, '\xED'),
        head + "\"x\"=hex(7):" + std::string(huge, '\x80'),
    };
    for (std::size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        Check(cases[i], "huge case " + std::to_string(i));
        Check("\xEF\xBB\xBF" + cases[i], "huge UTF-8 case " + std::to_string(i));
    }
    const RegFileContent hex = ReadRegFile(platform, head + hexLine);
    ASSERT_EQ(1u, hex.keys.size());
    ASSERT_EQ(1u, hex.keys[0].values.size());
    EXPECT_EQ(huge / 4, hex.keys[0].values[0].data.size());
}

std::string Utf16(const std::u16string& text)
{
    std::string bytes;
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

TEST_F(RegReaderFuzzTest, Utf16FilesOfEveryShapeHoldTogether)
{
    std::mt19937 random(4242);
    // Mostly the characters of REG syntax, some surrogates, zeros and
    // characters without an ANSI spelling.
    const char16_t pick[] = {u'"', u'\\', u'[', u']', u'=', u'@', u',', u'\r', u'\n', u'-', u':',
                             u'a', u'0', u'h', u'x', 0xD800, 0xDC00, 0, 0x2603, 0xE9};
    for (int round = 0; round < 800; ++round) {
        std::u16string text = round % 4 == 0 ? u"" : u"Windows Registry Editor Version 5.00\r\n";
        if (round % 2)
            text += u"[HKEY_USERS\\a]\r\n\"x\"=hex(7):";
        const std::size_t units = random() % 300;
        for (std::size_t i = 0; i < units; ++i) {
            text += random() % 3 == 0 ? static_cast<char16_t>(random() % 0x10000)
                                      : pick[random() % (sizeof pick / sizeof pick[0])];
        }
        std::string bytes = "\xFF\xFE" + Utf16(text);
        if (random() % 2)
            bytes += static_cast<char>(random() % 256);   // an odd length
        Check(bytes, "utf-16 round " + std::to_string(round));
    }
}

}  // namespace
