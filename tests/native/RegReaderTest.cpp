// The REG file reader: hand-written files in both formats, the rules for
// lines, names and data, conversion of UTF-16 files, double-byte text, and a
// round trip through the writer for every value type and hostile names.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/MemoryPlatform.h"
#include "core/RegReader.h"
#include "core/RegWriter.h"

#ifndef QV_SOURCE_DIR
#error "QV_SOURCE_DIR must name the source root"
#endif

namespace {

using Strings = std::vector<std::string>;

std::string GoldenFile(const std::string& name)
{
    std::ifstream file(std::string(QV_SOURCE_DIR) + "/tests/native/data/" + name,
                       std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Stands in for the system's conversion with code page 1252's first half:
// characters up to U+00FF become their own byte, every other one is refused.
bool Latin1(const char16_t* text, std::size_t length, std::string* ansi, void* context)
{
    if (context)
        ++*static_cast<int*>(context);
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] > 0xFF)
            return false;
        ansi->push_back(static_cast<char>(text[i]));
    }
    return true;
}

const char* ProblemName(RegReadProblem problem)
{
    switch (problem) {
    case RegReadProblem::kNoHeader: return "no header";
    case RegReadProblem::kOddLength: return "odd length";
    case RegReadProblem::kNulCharacter: return "zero character";
    case RegReadProblem::kUnknownLine: return "unknown line";
    case RegReadProblem::kBadKeyLine: return "bad key line";
    case RegReadProblem::kUnknownRootKey: return "unknown root";
    case RegReadProblem::kBadName: return "bad name";
    case RegReadProblem::kBadData: return "bad data";
    case RegReadProblem::kValueWithoutKey: return "value without key";
    case RegReadProblem::kNotConvertible: return "not convertible";
    }
    return "?";
}

// Printable ASCII as it is, every other byte as <hh>.
std::string Shown(const std::string& bytes)
{
    std::string text;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '<') {
            text += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "<%02x>", c);
            text += hex;
        }
    }
    return text;
}

// One line per key and value: "[ROOT\path] @line" (with "-" for a deletion),
// then "  name=type:data @line" or "  name=- @line".
Strings Entries(const RegFileContent& content)
{
    Strings lines;
    for (const RegFileKey& key : content.keys) {
        lines.push_back(std::string("[") + (key.deleted ? "-" : "") + key.rootName + "\\" + Shown(key.path) +
                        "] @" + std::to_string(key.line));
        for (const RegFileValue& value : key.values) {
            const std::string data =
                value.deleted ? "-" : std::to_string(value.type) + ":" + Shown(value.data);
            lines.push_back("  " + Shown(value.name) + "=" + data + " @" + std::to_string(value.line));
        }
    }
    return lines;
}

Strings RefusedLines(const RegFileContent& content)
{
    Strings lines;
    for (const RegRefusedLine& refused : content.refusedLines)
        lines.push_back(std::to_string(refused.line) + ": " + ProblemName(refused.problem));
    return lines;
}

class RegReaderTest : public ::testing::Test {
protected:
    RegFileContent Read(const std::string& bytes)
    {
        return ReadRegFile(platform, bytes, &Latin1, nullptr);
    }

    // A REGEDIT4 file of the given lines, each ended by CR LF.
    RegFileContent ReadLines(const Strings& lines)
    {
        std::string bytes = "REGEDIT4\r\n";
        for (const std::string& line : lines)
            bytes += line + "\r\n";
        return Read(bytes);
    }

    MemoryPlatform platform;
};

TEST_F(RegReaderTest, GoldenRegedit4FileGivesEveryEntryAndEveryRefusedLine)
{
    const RegFileContent content = Read(GoldenFile("regedit4-golden.reg"));
    EXPECT_EQ(RegFileFormat::kRegedit4, content.format);
    EXPECT_FALSE(content.utf16);
    EXPECT_EQ((Strings{
                  "[HKEY_CURRENT_USER\\Software\\Golden] @4",
                  "  =1:default text<00> @5",
                  "  Path=1:C:\\Temp\\x.exe<00> @6",
                  "  Quote \"inside\"=1:say \"hi\"<00> @7",
                  "  Lines=1:one<0d><0a>two<00> @8",
                  "  Number=4:*<00><00><00> @9",
                  "  Short=4:<07><00><00><00> @10",
                  "  Binary=3:<01><ab><ff> @11",
                  "  Empty=3: @12",
                  "  Expand=2:%A%<00> @13",
                  "  Multi=7:a<00>b<00><00> @14",
                  "  None=0: @15",
                  "  Qword=11:<01><02><03><04><05><06><07><08> @16",
                  "  Sixteen=16:<ff> @17",
                  "  Wrapped=3:<00><01><02><03><04><05><06><07><08><09><0a><0b><0c><0d><0e><0f>"
                  "<10><11><12><13><14><15><16><17><18><19> @18",
                  "  Spaced=1:blanks around the equals sign<00> @23",
                  "  Gone=- @24",
                  "  caf<e9>=1:<e9>t<e9><00> @25",
                  "[-HKEY_CURRENT_USER\\Software\\Golden\\Old] @27",
                  "[HKEY_LOCAL_MACHINE\\Software\\Golden\\Deep] @29",
                  "  x=4:<01><00><00><00> @30",
                  "[HKEY_CURRENT_USER\\Software\\a]b] @31",
                  "  name with ] and ==1:v<00> @32",
                  "[HKEY_CURRENT_USER\\Software\\Golden\\Bad] @33",
                  "  AfterBroken=1:parsed on its own<00> @47",
                  "[HKEY_CURRENT_USER\\] @55",
                  "  AtRoot=4:<00><00><00><00> @56",
                  "[HKEY_CURRENT_USER\\Software\\Golden\\Last] @57",
                  "  Tail=3:<aa> @58",
              }),
              Entries(content));
    EXPECT_EQ((Strings{
                  "28: value without key", "34: bad name",         "35: bad name",
                  "36: bad name",          "37: bad data",         "38: bad data",
                  "39: bad data",          "40: bad data",         "41: bad data",
                  "42: bad data",          "43: bad data",         "44: bad data",
                  "45: bad data",          "46: bad data",         "48: bad data",
                  "49: unknown line",      "50: unknown root",     "51: value without key",
                  "52: bad key line",      "53: bad key line",     "54: bad key line",
              }),
              RefusedLines(content));
}

TEST_F(RegReaderTest, GoldenVersion5FileConvertsNamesAndTextsOrReportsThem)
{
    int conversions = 0;
    const RegFileContent content =
        ReadRegFile(platform, GoldenFile("version5-golden.reg"), &Latin1, &conversions);
    EXPECT_EQ(RegFileFormat::kVersion5, content.format);
    EXPECT_TRUE(content.utf16);
    EXPECT_GT(conversions, 0);
    EXPECT_EQ((Strings{
                  "[HKEY_CURRENT_USER\\Software\\Golden5] @3",
                  "  =1:caf<e9><00> @4",
                  "  Path=2:%TEMP%<00> @5",
                  "  Multi=7:a<00><e9><00><00> @6",
                  "  Text=1:AB @7",
                  "  Binary=3:<e9><00> @9",
                  "  Wrapped=2:AB<00> @12",
                  "[HKEY_CURRENT_USER\\Software\\Golden5\\<c4>] @16",
                  "  <e9>=4:<10><00><00><00> @17",
                  "  Escaped=1:a\\b\"c<0a>d<00> @18",
              }),
              Entries(content));
    EXPECT_EQ((Strings{"8: not convertible", "10: not convertible", "11: not convertible",
                       "14: not convertible", "15: not convertible"}),
              RefusedLines(content));

    // Without a conversion nothing of a UTF-16 file can be spelled.
    const RegFileContent unconverted =
        ReadRegFile(platform, GoldenFile("version5-golden.reg"), nullptr, nullptr);
    EXPECT_TRUE(unconverted.keys.empty());
    EXPECT_EQ(15u, unconverted.refusedLines.size());
    for (const RegRefusedLine& refused : unconverted.refusedLines)
        EXPECT_EQ(RegReadProblem::kNotConvertible, refused.problem) << refused.line;
}

TEST_F(RegReaderTest, AnyHeaderOtherThanTheTwoOnTheFirstLineReadsNothing)
{
    for (const std::string& bytes :
         {std::string(""), std::string("\r\nREGEDIT4\r\n[HKEY_USERS\\x]\r\n"),
          std::string("REGEDIT4 \r\n[HKEY_USERS\\x]\r\n"), std::string("REGEDIT\r\n[HKEY_USERS\\x]\r\n"),
          std::string("regedit4\r\n[HKEY_USERS\\x]\r\n"),
          std::string("\xEF\xBB\xBFREGEDIT4\r\n[HKEY_USERS\\x]\r\n"),
          std::string("\xFE\xFF\0R\0E", 6)}) {
        const RegFileContent content = Read(bytes);
        EXPECT_EQ(RegFileFormat::kUnknown, content.format) << bytes;
        EXPECT_TRUE(content.keys.empty()) << bytes;
        EXPECT_EQ((Strings{"1: no header"}), RefusedLines(content)) << bytes;
    }
    // Leading blanks are allowed, and either header goes with either encoding.
    EXPECT_EQ(RegFileFormat::kRegedit4, Read("  REGEDIT4").format);
    EXPECT_EQ(RegFileFormat::kVersion5, Read("Windows Registry Editor Version 5.00\n").format);
}

TEST_F(RegReaderTest, LinesEndInCrLfLfOrCr)
{
    const RegFileContent content =
        Read("REGEDIT4\n[HKEY_USERS\\a]\r\"x\"=dword:00000001\r\n\n\r\"y\"=hex:01,\\\r  02\n");
    EXPECT_EQ((Strings{"[HKEY_USERS\\a] @2", "  x=4:<01><00><00><00> @3", "  y=3:<01><02> @6"}),
              Entries(content));
    EXPECT_TRUE(content.refusedLines.empty());
}

TEST_F(RegReaderTest, HexListsContinueOverCommentsAndStopAtALineThatIsNoList)
{
    const RegFileContent content = ReadLines({
        "[HKEY_USERS\\a]",
        "\"spaced\"=hex: 01,\t02,03,",   // blanks before bytes and a trailing comma
        "\"comment\"=hex:01,02 ; two bytes",
        "\"restart\"=hex:\\",
        "\"next\"=hex:05",                // no hex digit: the value above is malformed
        "\"nocomma\"=hex:01\\",
        "\"blankcomma\"=hex:01 ,02",
        "\"twice\"=hex:01,\\",
        "  \\",                          // a continuation line must begin with a byte
        "  02",
        "\"junk\"=hex:01,\\ x",
    });
    EXPECT_EQ((Strings{"[HKEY_USERS\\a] @2", "  spaced=3:<01><02><03> @3", "  comment=3:<01><02> @4",
                       "  next=3:<05> @6"}),
              Entries(content));
    EXPECT_EQ((Strings{"5: bad data", "7: bad data", "8: bad data", "9: bad data",
                       "10: unknown line", "11: unknown line", "12: bad data"}),
              RefusedLines(content));
}

TEST_F(RegReaderTest, TypesOfHexFormsAreHexadecimalAndBounded)
{
    const RegFileContent content = ReadLines({
        "[HKEY_USERS\\a]",
        "\"a\"=hex(a):", "\"b\"=hex(B):", "\"max\"=hex(ffffffff):00", "\"lead\"=hex(0007):",
        "\"long\"=hex(100000000):", "\"sign\"=hex(-1):", "\"empty\"=hex():", "\"open\"=hex(1",
        "\"upper\"=HEX:01", "\"DWORD\"=DWORD:00000001", "\"dwordblank\"=dword: 1 ; one",
    });
    EXPECT_EQ((Strings{"[HKEY_USERS\\a] @2", "  a=10: @3", "  b=11: @4", "  max=4294967295:<00> @5",
                       "  lead=7: @6", "  dwordblank=4:<01><00><00><00> @13"}),
              Entries(content));
    EXPECT_EQ((Strings{"7: bad data", "8: bad data", "9: bad data", "10: bad data", "11: bad data",
                       "12: bad data"}),
              RefusedLines(content));
}

TEST_F(RegReaderTest, KeyPathsKeepTheirTextAndDeletionsEndTheKey)
{
    const RegFileContent content = ReadLines({
        "[\\HKEY_USERS\\a]",                     // no root before the first backslash
        "[HKEY_USERS\\\\a\\\\]",                 // outer backslashes trimmed
        "[HKEY_PERFORMANCE_DATA\\x] ; comment",  // anything after the last bracket is ignored
        "[-HKEY_USERS\\gone]",
        "@=\"no key after a deletion\"",
        "[]",
        "[-]",
        "\"v\"=\"no key after a refused key line\"",
    });
    EXPECT_EQ((Strings{"[HKEY_USERS\\a] @3", "[HKEY_PERFORMANCE_DATA\\x] @4",
                       "[-HKEY_USERS\\gone] @5"}),
              Entries(content));
    EXPECT_EQ((Strings{"2: unknown root", "6: value without key", "7: unknown root",
                       "8: unknown root", "9: value without key"}),
              RefusedLines(content));
}

TEST_F(RegReaderTest, ZeroCharactersRefuseTheirLine)
{
    const RegFileContent content =
        Read("REGEDIT4\r\n[HKEY_USERS\\a]\r\n" + std::string("\"x\0y\"=\"1\"\r\n", 11) +
             "\"z\"=\"2\"\r\n");
    EXPECT_EQ((Strings{"[HKEY_USERS\\a] @2", "  z=1:2<00> @4"}), Entries(content));
    EXPECT_EQ((Strings{"3: zero character"}), RefusedLines(content));
}

TEST_F(RegReaderTest, DoubleByteTrailBytesAreNeverEscapesQuotesOrBrackets)
{
    platform.UseDoubleByteCodePage(true);
    // 0x95 0x5C is one character whose second byte equals a backslash; 0x81
    // 0x5D ends in the code of a closing bracket.
    const RegFileContent content = ReadLines({
        "[HKEY_USERS\\k\x95\\]",
        "\"n\x95\\\"=\"d\x95\\\"",
        "\"b\x81]\"=\"\\\\\"",
        "[HKEY_USERS\\x\x81]",   // no closing bracket
    });
    EXPECT_EQ((Strings{"[HKEY_USERS\\k<95>\\] @2", "  n<95>\\=1:d<95>\\<00> @3",
                       "  b<81>]=1:\\<00> @4"}),
              Entries(content));
    EXPECT_EQ((Strings{"5: bad key line"}), RefusedLines(content));
}

TEST_F(RegReaderTest, Utf16FileOfOddLengthReportsTheLeftOverByte)
{
    std::u16string text = u"Windows Registry Editor Version 5.00\r\n[HKEY_USERS\\a]\r\n\"x\"=\"1\"";
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    bytes += 'Z';
    const RegFileContent content = Read(bytes);
    EXPECT_EQ((Strings{"[HKEY_USERS\\a] @2", "  x=1:1<00> @3"}), Entries(content));
    EXPECT_EQ((Strings{"3: odd length"}), RefusedLines(content));
}

// The writer's file of a key and what the reader makes of it.
class RegReaderRoundTrip : public RegReaderTest {
protected:
    void Add(const std::string& path, const std::string& name, std::uint32_t type,
             const std::string& bytes)
    {
        platform.AddValue(kHkeyCurrentUser, path, name, type, bytes);
    }

    RegFileContent WriteAndRead(const std::string& keyPath)
    {
        const RegExportResult result =
            WriteRegFile(platform, platform, platform, {RegExportRow{"HKEY_CURRENT_USER", keyPath, "", -1}},
                         "C:\\round.reg", nullptr, nullptr);
        EXPECT_TRUE(result.created);
        return Read(platform.FileContent("C:\\round.reg"));
    }

    // Every key and value of the registry below keyPath, as Entries shows a
    // file's, with the line numbers left out.
    Strings Stored(const std::string& keyPath)
    {
        Strings lines;
        lines.push_back("[HKEY_CURRENT_USER\\" + Shown(keyPath) + "]");
        for (const std::string& name : platform.ValueNames(kHkeyCurrentUser, keyPath)) {
            std::uint32_t type = 0;
            std::string bytes;
            platform.ReadValue(kHkeyCurrentUser, keyPath, name, &type, &bytes);
            if (name.find_first_of("\r\n") == std::string::npos)
                lines.push_back("  " + Shown(name) + "=" + std::to_string(type) + ":" + Shown(bytes));
        }
        for (const std::string& child : platform.SubKeyNames(kHkeyCurrentUser, keyPath)) {
            if (child.find_first_of("\r\n") == std::string::npos) {
                const Strings below = Stored(keyPath + "\\" + child);
                lines.insert(lines.end(), below.begin(), below.end());
            }
        }
        return lines;
    }

    // Entries without line numbers, and without the key line that the writer
    // repeats before every further value of the same key.
    static Strings MergedEntries(const RegFileContent& content)
    {
        Strings lines;
        std::string lastKey;
        for (const std::string& line : Entries(content)) {
            const std::string text = line.substr(0, line.rfind(" @"));
            if (text[0] == '[') {
                if (text == lastKey)
                    continue;
                lastKey = text;
            }
            lines.push_back(text);
        }
        return lines;
    }
};

TEST_F(RegReaderRoundTrip, EveryValueTypeComesBackByteForByte)
{
    const std::string some("\x01\x00\xff\x7f\x80\x5c\x22\x0d\x0a", 9);
    for (std::uint32_t type = 0; type <= 11; ++type) {
        const std::string name = "type" + std::to_string(type);
        Add("R", name, type, some);
        Add("R", name + " empty", type, "");
    }
    Add("R", "plain string", kRegSz, std::string("C:\\Temp \"q\" \xe9\0", 15));
    Add("R", "zero string", kRegSz, std::string("\0", 1));
    Add("R", "number", kRegDword, std::string("\x78\x56\x34\x12", 4));
    Add("R", "long", kRegBinary, std::string(100, '\xa5'));
    Add("R", "", kRegExpandSz, std::string("%PATH%\0", 7));

    const RegFileContent content = WriteAndRead("R");
    EXPECT_EQ(Strings{}, RefusedLines(content));
    EXPECT_EQ(Stored("R"), MergedEntries(content));
}

TEST_F(RegReaderRoundTrip, HostileNamesComeBackAndLineBreaksStayOut)
{
    const std::string data("v\0", 2);
    for (const std::string& name :
         {std::string("quote\"in"), std::string("\"\""), std::string("back\\slash\\"),
          std::string("\\\""), std::string("bracket]=\"x\"=y"), std::string("[HKEY_USERS\\x]"),
          std::string("@"), std::string("-"), std::string(" lead and trail "),
          std::string(";comment"), std::string("high\x80\xff\xa0"), std::string("tab\there")}) {
        Add("H", name, kRegSz, data);
    }
    Add("H", "", kRegSz, data);
    Add("H", "line\r\nbreak", kRegSz, data);
    Add("H\\sub]key=\"x\"", "in", kRegDword, std::string(4, '\0'));
    Add("H\\[HKEY_USERS\\y]", "in", kRegSz, data);   // a key named like a key line
    Add("H\\high\xe9\xff", "in", kRegBinary, "\x01");
    Add("H\\line\nkey", "in", kRegSz, data);
    platform.AddKey(kHkeyCurrentUser, "H\\empty key");

    const RegFileContent content = WriteAndRead("H");
    EXPECT_EQ(Strings{}, RefusedLines(content));
    EXPECT_EQ(Stored("H"), MergedEntries(content));
}

}  // namespace
