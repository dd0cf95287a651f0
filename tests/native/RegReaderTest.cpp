// The REG file reader: hand-written files in both formats and all three
// encodings, the rules for lines, names and data, ANSI backups turned into
// UTF-16 data, and a round trip through the writer for every value type,
// names and data of every script and hostile names.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/MemoryPlatform.h"
#include "core/RegReader.h"
#include "core/RegWriter.h"
#include "core/Unicode.h"

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
    }
    return "?";
}

// Printable ASCII as it is, every other byte as <hh>.
std::string ShownBytes(const std::string& bytes)
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

// UTF-8 text: printable characters as they are; control characters, '<',
// lone surrogates and bytes of no valid sequence as <hh> per byte.
std::string Shown(const std::string& text)
{
    std::string shown;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 1;
        const char32_t code = DecodeUtf8(text, i, &length);
        const bool printable = (code >= 0x20 && code < 0x7F && code != '<') ||
                               (code >= 0xA0 && (code < 0xD800 || code > 0xDFFF) &&
                                (code != 0xFFFD || text.compare(i, 3, "\xEF\xBF\xBD") == 0));
        shown += printable ? text.substr(i, length) : ShownBytes(text.substr(i, length));
        i += length;
    }
    return shown;
}

// Data of the three text types as the UTF-16 text it holds (an odd last
// byte as <+hh>), every other type as bytes.
std::string ShownData(std::uint32_t type, const std::string& data)
{
    if (type != kRegSz && type != kRegExpandSz && type != kRegMultiSz)
        return ShownBytes(data);
    std::string shown = Shown(Utf16LeBytesToUtf8(data));
    if (data.size() % 2 != 0) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "<+%02x>", static_cast<unsigned char>(data.back()));
        shown += hex;
    }
    return shown;
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
                value.deleted ? "-" : std::to_string(value.type) + ":" + ShownData(value.type, value.data);
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
        return ReadRegFile(platform, bytes);
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
    EXPECT_EQ(RegFileEncoding::kAnsi, content.encoding);
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
                  "  café=1:été<00> @25",
                  "  Ärger €=2:Ä€<00> @26",
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

const Strings kVersion5GoldenEntries = {
    "[HKEY_CURRENT_USER\\Software\\Golden5] @3",
    "  =1:café<00> @4",
    "  Path=2:%TEMP%<00> @5",
    "  Multi=7:a<00>é<00><00> @6",
    "  Text=1:AB @7",
    "  Odd=2:A<+42> @8",
    "  Binary=3:<e9><00> @9",
    "  Snow☃=1:x<00> @10",
    "  Data=1:☃<00> @11",
    "  Wrapped=2:AB<00> @12",
    "[HKEY_CURRENT_USER\\Software\\Жey] @14",
    "  Under=1:v<00> @15",
    "[HKEY_CURRENT_USER\\Software\\Golden5\\Ä] @16",
    "  é=4:<10><00><00><00> @17",
    "  Escaped=1:a\\b\"c<0a>d<00> @18",
    "[HKEY_CURRENT_USER\\Software\\日本語😀] @19",
    "  Ωμέγα=1:Привет 😀<00> @20",
    "  lone<ed><a0><80>=1:<ed><b0><80> alone<00> @21",
    "  Multi=7:П<00>😀<00><00> @22",
};

TEST_F(RegReaderTest, GoldenVersion5FileReadsEveryNameAndText)
{
    const RegFileContent content = Read(GoldenFile("version5-golden.reg"));
    EXPECT_EQ(RegFileFormat::kVersion5, content.format);
    EXPECT_EQ(RegFileEncoding::kUtf16, content.encoding);
    EXPECT_EQ(kVersion5GoldenEntries, Entries(content));
    EXPECT_EQ(Strings{}, RefusedLines(content));
}

TEST_F(RegReaderTest, AUtf8FileReadsAsTheSameUtf16File)
{
    const std::string utf16 = GoldenFile("version5-golden.reg");
    ASSERT_EQ("\xFF\xFE", utf16.substr(0, 2));
    const RegFileContent content = Read("\xEF\xBB\xBF" + Utf16LeBytesToUtf8(utf16.substr(2)));
    EXPECT_EQ(RegFileFormat::kVersion5, content.format);
    EXPECT_EQ(RegFileEncoding::kUtf8, content.encoding);
    EXPECT_EQ(kVersion5GoldenEntries, Entries(content));
    EXPECT_EQ(Strings{}, RefusedLines(content));
}

// An ANSI file (code page 1252 here): names and quoted texts are converted,
// and so are the hex(2) and hex(7) lists of a REGEDIT4 file, which hold ANSI
// text; other lists keep their bytes, and a version 5 header keeps them all.
TEST_F(RegReaderTest, AnsiFilesAreReadAsTheirCodePage)
{
    const std::string lines = "[HKEY_USERS\\\xC4\x80]\r\n\"\xE9t\xE9\"=\"\xFC \x99\"\r\n"
                              "\"x\"=hex(2):c4,80,00\r\n\"m\"=hex(7):e9,00,9f,00,00\r\n"
                              "\"b\"=hex:c4,80\r\n";
    const RegFileContent regedit4 = Read("REGEDIT4\r\n" + lines);
    EXPECT_EQ(RegFileEncoding::kAnsi, regedit4.encoding);
    EXPECT_EQ((Strings{"[HKEY_USERS\\Ä€] @2", "  été=1:ü ™<00> @3", "  x=2:Ä€<00> @4",
                       "  m=7:é<00>Ÿ<00><00> @5", "  b=3:<c4><80> @6"}),
              Entries(regedit4));
    ASSERT_EQ(1u, regedit4.keys.size());
    EXPECT_EQ("Ä€", regedit4.keys[0].path);
    EXPECT_EQ("été", regedit4.keys[0].values[0].name);
    EXPECT_EQ(TextToStringData("ü ™"), regedit4.keys[0].values[0].data);
    EXPECT_EQ(std::string("\xC4\x00\xAC\x20\x00\x00", 6), regedit4.keys[0].values[1].data);

    const RegFileContent version5 = Read("Windows Registry Editor Version 5.00\r\n" + lines);
    EXPECT_EQ(RegFileEncoding::kAnsi, version5.encoding);
    EXPECT_EQ((Strings{"[HKEY_USERS\\Ä€] @2", "  été=1:ü ™<00> @3", "  x=2:胄<+00> @4",
                       "  m=7:é<c2><9f><+00> @5", "  b=3:<c4><80> @6"}),
              Entries(version5));
}

TEST_F(RegReaderTest, AnyHeaderOtherThanTheTwoOnTheFirstLineReadsNothing)
{
    for (const std::string& bytes :
         {std::string(""), std::string("\r\nREGEDIT4\r\n[HKEY_USERS\\x]\r\n"),
          std::string("REGEDIT4 \r\n[HKEY_USERS\\x]\r\n"), std::string("REGEDIT\r\n[HKEY_USERS\\x]\r\n"),
          std::string("regedit4\r\n[HKEY_USERS\\x]\r\n"),
          std::string("\xEF\xBB\xBF\xEF\xBB\xBFREGEDIT4\r\n[HKEY_USERS\\x]\r\n"),
          std::string("\xFE\xFF\0R\0E", 6), std::string("R\0E\0G\0E\0D\0I\0T\0004\0", 16)}) {
        const RegFileContent content = Read(bytes);
        EXPECT_EQ(RegFileFormat::kUnknown, content.format) << bytes;
        EXPECT_TRUE(content.keys.empty()) << bytes;
        EXPECT_EQ((Strings{"1: no header"}), RefusedLines(content)) << bytes;
    }
    // Leading blanks are allowed, and either header goes with either encoding.
    EXPECT_EQ(RegFileFormat::kRegedit4, Read("  REGEDIT4").format);
    EXPECT_EQ(RegFileFormat::kVersion5, Read("Windows Registry Editor Version 5.00\n").format);
    EXPECT_EQ(RegFileFormat::kRegedit4, Read("\xEF\xBB\xBFREGEDIT4\r\n").format);
    const RegFileContent utf16 = Read("\xFF\xFE" + Utf8ToUtf16LeBytes("REGEDIT4\r\n"));
    EXPECT_EQ(RegFileFormat::kRegedit4, utf16.format);
    EXPECT_EQ(RegFileEncoding::kUtf16, utf16.encoding);
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

TEST_F(RegReaderTest, LettersBesideBackslashesQuotesAndBracketsAreNeverPartOfThem)
{
    const std::string text = "Windows Registry Editor Version 5.00\r\n"
                             "[HKEY_USERS\\kЖ\\]\r\n"
                             "\"nЖ\\\\\"=\"dソ\\\\\"\r\n"
                             "\"b😀]\"=\"\\\\\xED\xA0\x80\"\r\n"
                             "[HKEY_USERS\\xЖ\r\n";   // no closing bracket
    const RegFileContent content = Read("\xFF\xFE" + Utf8ToUtf16LeBytes(text));
    EXPECT_EQ((Strings{"[HKEY_USERS\\kЖ] @2", "  nЖ\\=1:dソ\\<00> @3",
                       "  b😀]=1:\\<ed><a0><80><00> @4"}),
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
                lines.push_back("  " + Shown(name) + "=" + std::to_string(type) + ":" + ShownData(type, bytes));
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
    Add("R", "plain string", kRegSz, TextToStringData("C:\\Temp \"q\" é"));
    Add("R", "zero string", kRegSz, TextToStringData(""));
    Add("R", "zero byte", kRegSz, std::string("\0", 1));
    Add("R", "number", kRegDword, std::string("\x78\x56\x34\x12", 4));
    Add("R", "long", kRegBinary, std::string(100, '\xa5'));
    Add("R", "", kRegExpandSz, TextToStringData("%PATH%"));

    const RegFileContent content = WriteAndRead("R");
    EXPECT_EQ(Strings{}, RefusedLines(content));
    EXPECT_EQ(Stored("R"), MergedEntries(content));
}

TEST_F(RegReaderRoundTrip, HostileNamesComeBackAndLineBreaksStayOut)
{
    const std::string data = TextToStringData("v");
    for (const std::string& name :
         {std::string("quote\"in"), std::string("\"\""), std::string("back\\slash\\"),
          std::string("\\\""), std::string("bracket]=\"x\"=y"), std::string("[HKEY_USERS\\x]"),
          std::string("@"), std::string("-"), std::string(" lead and trail "),
          std::string(";comment"), std::string("tab\there"), std::string("high é€ Ж")}) {
        Add("H", name, kRegSz, data);
    }
    Add("H", "", kRegSz, data);
    Add("H", "line\r\nbreak", kRegSz, data);
    Add("H\\sub]key=\"x\"", "in", kRegDword, std::string(4, '\0'));
    Add("H\\[HKEY_USERS\\y]", "in", kRegSz, data);   // a key named like a key line
    Add("H\\high é😀", "in", kRegBinary, "\x01");
    Add("H\\line\nkey", "in", kRegSz, data);
    platform.AddKey(kHkeyCurrentUser, "H\\empty key");

    const RegFileContent content = WriteAndRead("H");
    EXPECT_EQ(Strings{}, RefusedLines(content));
    EXPECT_EQ(Stored("H"), MergedEntries(content));
}

// Names and data of every script, every type and every shape of string data
// come back from the writer's file unit for unit.
TEST_F(RegReaderRoundTrip, NamesAndDataOfEveryScriptComeBackUnitForUnit)
{
    const auto utf16 = [](const std::string& text) { return Utf8ToUtf16LeBytes(text); };
    const std::string lone = "\xED\xA0\x80";   // a high surrogate without its partner
    const struct {
        std::string key;
        std::string name;
        std::uint32_t type;
        std::string data;
    } cases[] = {
        {"S\\Кириллица", "Имя", kRegSz, TextToStringData("Привет, \"мир\" \\")},
        {"S\\Кириллица", "", kRegSz, TextToStringData("По умолчанию")},
        {"S\\日本語", "名前", kRegSz, TextToStringData("日本語のテキスト")},
        {"S\\日本語", "emoji 😀", kRegSz, TextToStringData("😀👍🏽")},
        {"S\\Ελληνικα", "Ονομα", kRegSz, utf16(std::string("α\0β", 5)) + std::string(2, '\0')},
        {"S\\Ελληνικα", "odd", kRegSz, utf16("ω") + "x"},
        {"S\\Ελληνικα", "unterminated", kRegSz, utf16("без конца")},
        {"S\\Ελληνικα", "crlf", kRegSz, TextToStringData("строка\r\nвторая")},
        {"S\\Ελληνικα", "expand", kRegExpandSz, TextToStringData("%TEMP%\\Папка")},
        {"S\\Ελληνικα", "multi", kRegMultiSz, utf16(std::string("один\0二\0😀\0\0", 19))},
        {"S\\Ελληνικα", "binary", kRegBinary, std::string("\0\xff\x3d\xd8", 4)},
        {"S\\Ελληνικα", "dword", kRegDword, std::string("\x01\0\0\x80", 4)},
        {"S\\Ελληνικα", "qword", kRegQword, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8)},
        {"S\\Ελληνικα", "none", kRegNone, ""},
        {"S\\Ключ" + lone, "lone" + lone, kRegSz, TextToStringData("\xED\xB0\x80 alone")},
        {"S\\Ключ" + lone, "pair reversed", kRegSz, TextToStringData("\xED\xB0\x80\xED\xA0\x80")},
    };
    for (const auto& c : cases)
        Add(c.key, c.name, c.type, c.data);

    const RegFileContent content = WriteAndRead("S");
    EXPECT_EQ(RegFileEncoding::kUtf16, content.encoding);
    EXPECT_EQ(Strings{}, RefusedLines(content));
    std::size_t found = 0;
    for (const auto& c : cases) {
        for (const RegFileKey& key : content.keys) {
            for (const RegFileValue& value : key.values) {
                if (key.path != c.key || value.name != c.name)
                    continue;
                ++found;
                EXPECT_EQ(c.type, value.type) << Shown(c.name);
                EXPECT_EQ(ShownData(c.type, c.data), ShownData(value.type, value.data)) << Shown(c.name);
                EXPECT_EQ(c.data, value.data) << Shown(c.name);
            }
        }
    }
    EXPECT_EQ(sizeof cases / sizeof cases[0], found);
}

}  // namespace
