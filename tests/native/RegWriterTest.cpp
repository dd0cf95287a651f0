// The REG writer, unit for unit, on the in-memory platform: the UTF-16 file
// with its byte-order mark and header, key and value lines, every value type,
// hex wrapping, the forms that keep data restorable, names of every script,
// names that are never written, and the export result.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "tests/support/MemoryPlatform.h"
#include "core/RegWriter.h"
#include "core/Unicode.h"

namespace {

const char kKey[] = "HKEY_CURRENT_USER\\Software\\T";
const char kFile[] = "C:\\out.reg";

const char kHeader[] = "Windows Registry Editor Version 5.00";

// The lines of a file, each ended by CR LF.
std::string Lines(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// The text of a file the writer made: UTF-16 LE after a byte-order mark.
std::string TextOf(const std::string& bytes)
{
    if (bytes.empty())
        return bytes;
    EXPECT_EQ("\xFF\xFE", bytes.substr(0, 2));
    EXPECT_EQ(0u, bytes.size() % 2);
    return Utf16LeBytesToUtf8(bytes.substr(2));
}

// UTF-16 LE bytes of text, without a terminator.
std::string Utf16(const std::string& text) { return Utf8ToUtf16LeBytes(text); }

class RegWriterTest : public ::testing::Test {
protected:
    MemoryPlatform platform;

    void Add(const std::string& name, std::uint32_t type, const std::string& bytes)
    {
        platform.AddValue(kHkeyCurrentUser, "Software\\T", name, type, bytes);
    }

    // The value line written for one value of the test key.
    std::string ValueLine(const std::string& name)
    {
        std::string text = WriteValue(name);
        std::string prefix = Lines({kHeader, "", std::string("[") + kKey + "]"});
        EXPECT_EQ(0u, text.find(prefix));
        return text.substr(prefix.size());
    }

    std::string WriteValue(const std::string& name)
    {
        auto file = platform.CreateOutputFile(kFile, false);
        RegWriteCounts counts = WriteRegValue(platform, platform, kKey, name, *file);
        EXPECT_TRUE(file->Close());
        EXPECT_EQ(0u, counts.entriesLeftOut);
        return FileText();
    }

    std::string FileText() const { return TextOf(platform.FileContent(kFile)); }

    RegExportResult Export(const std::vector<RegExportRow>& rows)
    {
        RegExportResult result = WriteRegFile(platform, platform, platform, rows, kFile, nullptr, nullptr);
        EXPECT_EQ(0u, platform.OpenKeyCount());
        EXPECT_EQ(0u, platform.BadCloseCount());
        return result;
    }
};

RegExportRow KeyRow(const std::string& keyPath)
{
    return RegExportRow{"HKEY_CURRENT_USER", keyPath, "", -1};
}

RegExportRow ValueRow(const std::string& keyPath, const std::string& name, int type = kRegSz)
{
    return RegExportRow{"HKEY_CURRENT_USER", keyPath, name, type};
}

TEST_F(RegWriterTest, StringsAreQuotedWithBackslashesAndQuotesEscaped)
{
    Add("Path", kRegSz, TextToStringData("C:\\Temp"));
    Add("say \"hi\" \\ now", kRegSz, TextToStringData("He said \"yes\""));
    Add("", kRegSz, TextToStringData("café Привет ソ😀"));
    Add("Ж\\n", kRegSz, TextToStringData("ソ\\"));
    EXPECT_EQ(Lines({"\"Path\"=\"C:\\\\Temp\""}), ValueLine("Path"));
    EXPECT_EQ(Lines({"\"say \\\"hi\\\" \\\\ now\"=\"He said \\\"yes\\\"\""}),
              ValueLine("say \"hi\" \\ now"));
    EXPECT_EQ(Lines({"@=\"café Привет ソ😀\""}), ValueLine(""));
    EXPECT_EQ(Lines({"\"Ж\\\\n\"=\"ソ\\\\\""}), ValueLine("Ж\\n"));
}

TEST_F(RegWriterTest, StringsTheQuotedFormCannotCarryAreWrittenAsHex1)
{
    const struct {
        std::string data;
        const char* line;
    } cases[] = {
        {TextToStringData("a\r\nb"), "hex(1):61,00,0d,00,0a,00,62,00,00,00"},
        {TextToStringData("a\rb"), "hex(1):61,00,0d,00,62,00,00,00"},
        {Utf16(std::string("a\0b\0", 4)), "hex(1):61,00,00,00,62,00,00,00"},   // embedded zero
        {Utf16("ab"), "hex(1):61,00,62,00"},                                    // no terminator
        {Utf16("a") + std::string("\0\0\0", 3), "hex(1):61,00,00,00,00"},       // odd size
        {Utf16("ab") + "c", "hex(1):61,00,62,00,63"},
        {std::string("\0", 1), "hex(1):00"},
        {"", "hex(1):"},
        {std::string("\0\0", 2), "\"\""},                                      // just the zero unit
        {TextToStringData("\xED\xA0\x80"), "\"\xED\xA0\x80\""},               // a lone surrogate
    };
    for (const auto& c : cases) {
        Add("v", kRegSz, c.data);
        EXPECT_EQ(Lines({std::string("\"v\"=") + c.line}), ValueLine("v")) << c.line;
    }
}

TEST_F(RegWriterTest, NumbersAndHexTypes)
{
    Add("ten", kRegDword, std::string("\x0a\0\0\0", 4));
    Add("big", kRegDword, "\xef\xbe\xad\xde");
    Add("short", kRegDword, "\x01\x02");
    Add("bin", kRegBinary, "\x01\xab\xff");
    Add("nobytes", kRegBinary, "");
    Add("expand", kRegExpandSz, TextToStringData("%A%"));
    Add("multi", kRegMultiSz, Utf16(std::string("a\0Ж\0\0", 6)));
    EXPECT_EQ(Lines({"\"ten\"=dword:0000000a"}), ValueLine("ten"));
    EXPECT_EQ(Lines({"\"big\"=dword:deadbeef"}), ValueLine("big"));
    EXPECT_EQ(Lines({"\"short\"=hex(4):01,02"}), ValueLine("short"));
    EXPECT_EQ(Lines({"\"bin\"=hex:01,ab,ff"}), ValueLine("bin"));
    EXPECT_EQ(Lines({"\"nobytes\"=hex:"}), ValueLine("nobytes"));
    EXPECT_EQ(Lines({"\"expand\"=hex(2):25,00,41,00,25,00,00,00"}), ValueLine("expand"));
    EXPECT_EQ(Lines({"\"multi\"=hex(7):61,00,00,00,16,04,00,00,00,00"}), ValueLine("multi"));
}

TEST_F(RegWriterTest, EveryOtherTypeKeepsItsBytesWithTheTypeInHexadecimal)
{
    const std::pair<std::uint32_t, const char*> cases[] = {
        {0, "hex(0):"},  {5, "hex(5):"},  {6, "hex(6):"},   {8, "hex(8):"},
        {9, "hex(9):"},  {10, "hex(a):"}, {11, "hex(b):"},  {16, "hex(10):"},
        {0x12345678u, "hex(12345678):"},
    };
    for (const auto& typeCase : cases) {
        Add("v", typeCase.first, "\x01\x02");
        EXPECT_EQ(Lines({std::string("\"v\"=") + typeCase.second + "01,02"}), ValueLine("v"))
            << typeCase.first;
    }
}

std::string HexBytes(std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += (i ? "," : "") + std::string("ab");
    return text;
}

TEST_F(RegWriterTest, HexListsWrapAfter23ThenEvery22Bytes)
{
    for (std::size_t size : {20u, 23u}) {
        Add("b", kRegBinary, std::string(size, '\xab'));
        EXPECT_EQ(Lines({"\"b\"=hex:" + HexBytes(size)}), ValueLine("b")) << size;
    }
    Add("b", kRegBinary, std::string(24, '\xab'));
    EXPECT_EQ(Lines({"\"b\"=hex:" + HexBytes(23) + ",\\", "ab"}), ValueLine("b"));
    Add("b", kRegBinary, std::string(45, '\xab'));
    EXPECT_EQ(Lines({"\"b\"=hex:" + HexBytes(23) + ",\\", HexBytes(22)}), ValueLine("b"));
    Add("b", kRegBinary, std::string(46, '\xab'));
    EXPECT_EQ(Lines({"\"b\"=hex:" + HexBytes(23) + ",\\", HexBytes(22) + ",\\", "ab"}),
              ValueLine("b"));
    // The count of bytes per line does not depend on the name or prefix.
    Add("a much longer value name", kRegExpandSz, std::string(24, '\xab'));
    EXPECT_EQ(Lines({"\"a much longer value name\"=hex(2):" + HexBytes(23) + ",\\", "ab"}),
              ValueLine("a much longer value name"));
}

TEST_F(RegWriterTest, ValueWritesNothingWhenItCannotBeFound)
{
    Add("x", kRegSz, std::string("1\0", 2));
    auto file = platform.CreateOutputFile(kFile, false);
    for (const char* path : {"HKCU\\Software\\T", "HKEY_CURRENT_USER", "HKEY_CURRENT_USER\\Gone"}) {
        RegWriteCounts counts = WriteRegValue(platform, platform, path, "x", *file);
        EXPECT_EQ(0u, counts.entriesWritten + counts.entriesLeftOut) << path;
    }
    RegWriteCounts counts = WriteRegValue(platform, platform, kKey, "missing", *file);
    EXPECT_EQ(0u, counts.entriesWritten + counts.entriesLeftOut);
    file->Close();
    EXPECT_EQ("", FileText());
    EXPECT_EQ(0u, platform.OpenKeyCount());
}

TEST_F(RegWriterTest, ExportWritesHeaderOnceAndKeyLineBeforeEveryValue)
{
    platform.AddString(kHkeyCurrentUser, "A", "one", "1");
    platform.AddString(kHkeyCurrentUser, "A", "two", "2");
    RegExportResult result =
        Export({ValueRow("Gone", "x"), ValueRow("A", "one"), ValueRow("A", "two")});
    EXPECT_TRUE(result.created);
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(2u, result.entriesWritten);
    EXPECT_EQ(Lines({kHeader, "", "[HKEY_CURRENT_USER\\A]", "\"one\"=\"1\"", "[HKEY_CURRENT_USER\\A]",
                     "\"two\"=\"2\""}),
              FileText());
}

TEST_F(RegWriterTest, EmptyExportLeavesAZeroByteFile)
{
    platform.AddFile(kFile, "old content");
    RegExportResult result = Export({ValueRow("Gone", "x"), KeyRow("Gone")});
    EXPECT_TRUE(result.created);
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(0u, result.entriesWritten);
    EXPECT_TRUE(platform.HasFile(kFile));
    EXPECT_EQ("", FileText());
    EXPECT_TRUE(Export({}).complete);
    EXPECT_EQ("", FileText());
}

TEST_F(RegWriterTest, KeyExportWritesEveryKeyAndEveryValueDepthFirst)
{
    platform.AddValue(kHkeyCurrentUser, "K", "none", kRegNone, "");
    platform.AddString(kHkeyCurrentUser, "K", "", "default");
    platform.AddKey(kHkeyCurrentUser, "K\\Empty\\Deeper");
    platform.AddDword(kHkeyCurrentUser, "K\\Second", "n", 1);
    platform.AddKey(kHkeyCurrentUser, "Kx");   // not below K
    RegExportResult result = Export({KeyRow("K")});
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(5u, result.entriesWritten);
    EXPECT_EQ(Lines({kHeader, "", "[HKEY_CURRENT_USER\\K]", "\"none\"=hex(0):",
                     "[HKEY_CURRENT_USER\\K]", "@=\"default\"", "[HKEY_CURRENT_USER\\K\\Empty]",
                     "[HKEY_CURRENT_USER\\K\\Empty\\Deeper]", "[HKEY_CURRENT_USER\\K\\Second]",
                     "\"n\"=dword:00000001"}),
              FileText());
}

TEST_F(RegWriterTest, KeyPathIsWrittenWithTheRootsFullName)
{
    platform.AddString(kHkeyCurrentUser, "Soft\\App", "v", "x");
    auto file = platform.CreateOutputFile(kFile, false);
    RegWriteCounts counts = WriteRegKey(platform, platform, "hkey_current_user\\\\Soft\\App\\", *file, true);
    file->Close();
    EXPECT_EQ(1u, counts.entriesWritten);
    EXPECT_EQ(Lines({kHeader, "", "[HKEY_CURRENT_USER\\Soft\\App]", "\"v\"=\"x\""}),
              FileText());
}

TEST_F(RegWriterTest, KeyExportWithoutSubkeysWritesTheKeyAlone)
{
    platform.AddKey(kHkeyCurrentUser, "K\\Child");
    auto file = platform.CreateOutputFile(kFile, false);
    RegWriteCounts counts = WriteRegKey(platform, platform, "HKEY_CURRENT_USER\\K", *file, false);
    file->Close();
    EXPECT_EQ(1u, counts.entriesWritten);
    EXPECT_EQ(Lines({kHeader, "", "[HKEY_CURRENT_USER\\K]"}), FileText());
}

TEST_F(RegWriterTest, NamesWithLineBreaksAreLeftOutAndReported)
{
    platform.AddString(kHkeyCurrentUser, "K", "good", "1");
    platform.AddString(kHkeyCurrentUser, "K", "evil\r\n[HKEY_LOCAL_MACHINE\\Run]\r\n\"x", "2");
    platform.AddString(kHkeyCurrentUser, "K\\bad\nkey", "inside", "3");
    platform.AddString(kHkeyCurrentUser, "K\\bad\nkey\\deeper", "inside", "4");
    platform.AddString(kHkeyCurrentUser, "K\\fine", "v", "5");
    RegExportResult result = Export({KeyRow("K")});
    EXPECT_TRUE(result.created);
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(3u, result.entriesLeftOut);
    EXPECT_EQ(2u, result.entriesWritten);
    EXPECT_EQ(Lines({kHeader, "", "[HKEY_CURRENT_USER\\K]", "\"good\"=\"1\"",
                     "[HKEY_CURRENT_USER\\K\\fine]", "\"v\"=\"5\""}),
              FileText());

    result = Export({ValueRow("K", "evil\r\n[HKEY_LOCAL_MACHINE\\Run]\r\n\"x"),
                     ValueRow("K\\bad\nkey", "inside"), KeyRow("K\\bad\nkey")});
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(4u, result.entriesLeftOut);
    EXPECT_EQ("", FileText());
}

TEST_F(RegWriterTest, NamesOfEveryScriptAreWrittenAndNothingIsLeftOut)
{
    platform.AddString(kHkeyCurrentUser, "K", "Имя", "1");
    platform.AddString(kHkeyCurrentUser, "K", "lone\xED\xB0\x80", "2");
    platform.AddString(kHkeyCurrentUser, "K\\ソフト😀", "Ωμεγα", "3");
    RegExportResult result = Export({KeyRow("K")});
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(3u, result.entriesWritten);
    EXPECT_EQ(Lines({kHeader, "", "[HKEY_CURRENT_USER\\K]", "\"Имя\"=\"1\"",
                     "[HKEY_CURRENT_USER\\K]", "\"lone\xED\xB0\x80\"=\"2\"",
                     "[HKEY_CURRENT_USER\\K\\ソフト😀]", "\"Ωμεγα\"=\"3\""}),
              FileText());
    // The lone surrogate is written as the one unit it is.
    EXPECT_NE(std::string::npos, platform.FileContent(kFile).find(std::string("e\0\x00\xDC\"\0", 6)));
}

TEST_F(RegWriterTest, KeyWhoseValuesAreAllLeftOutStillGetsItsKeyLine)
{
    platform.AddString(kHkeyCurrentUser, "K", "line\nbreak", "1");
    RegExportResult result = Export({KeyRow("K")});
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(Lines({kHeader, "", "[HKEY_CURRENT_USER\\K]"}), FileText());
}

TEST_F(RegWriterTest, UnreadableEntriesMakeTheFileIncomplete)
{
    platform.AddString(kHkeyCurrentUser, "K", "huge", "x");
    platform.AddString(kHkeyCurrentUser, "K", "after", "y");
    platform.MakeValueOversized(kHkeyCurrentUser, "K", "huge");
    RegExportResult result = Export({ValueRow("K", "huge"), ValueRow("K", "after")});
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(1u, result.entriesLeftOut);
    EXPECT_EQ(Lines({kHeader, "", "[HKEY_CURRENT_USER\\K]", "\"after\"=\"y\""}),
              FileText());

    platform.AddKey(kHkeyCurrentUser, "L\\Locked\\Inner");
    platform.AddKey(kHkeyCurrentUser, "L\\Listless\\Inner");
    platform.SetKeyFaults(kHkeyCurrentUser, "L\\Locked", kDenyOpen);
    platform.SetKeyFaults(kHkeyCurrentUser, "L\\Listless", kDenyEnumerate);
    result = Export({KeyRow("L")});
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(2u, result.entriesLeftOut);
    EXPECT_EQ(Lines({kHeader, "", "[HKEY_CURRENT_USER\\L]", "[HKEY_CURRENT_USER\\L\\Listless]"}),
              FileText());

    platform.SetKeyFaults(kHkeyCurrentUser, "L", kDenyOpen);
    result = Export({KeyRow("L"), ValueRow("L", "v")});
    EXPECT_EQ(2u, result.entriesLeftOut);
    EXPECT_EQ("", FileText());
}

TEST_F(RegWriterTest, FileFailuresAreReported)
{
    platform.AddString(kHkeyCurrentUser, "K", "v", "1");
    platform.FailFileCreation(kFile);
    RegExportResult result = Export({KeyRow("K")});
    EXPECT_FALSE(result.created);
    EXPECT_FALSE(result.complete);

    platform.FailFileWritesAfter("C:\\small.reg", 12);
    result = WriteRegFile(platform, platform, platform, {KeyRow("K")}, "C:\\small.reg", nullptr, nullptr);
    EXPECT_TRUE(result.created);
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(0u, result.entriesWritten);
}

void RecordProgress(std::size_t rowIndex, void* context)
{
    static_cast<std::vector<std::size_t>*>(context)->push_back(rowIndex);
}

TEST_F(RegWriterTest, ProgressIsReportedBeforeEveryRow)
{
    std::vector<std::size_t> indexes;
    WriteRegFile(platform, platform, platform, {KeyRow("a"), ValueRow("b", "c"), KeyRow("d")}, kFile,
                 &RecordProgress, &indexes);
    EXPECT_EQ((std::vector<std::size_t>{0, 1, 2}), indexes);
}

}  // namespace
