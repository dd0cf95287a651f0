// The REG file reader (see RegReader.h). Whatever its encoding, the file is
// first turned into UTF-8, losslessly, and parsed as such: no byte of a
// character beyond ASCII is a bracket, quote, backslash or comma, so the
// parser steps through bytes.
#include "core/RegReader.h"

#include <string_view>
#include <utility>

#include "core/Text.h"
#include "core/Unicode.h"
#include "core/RegistryPaths.h"

namespace {

constexpr char kHeader4[] = "REGEDIT4";
constexpr char kHeader5[] = "Windows Registry Editor Version 5.00";

bool IsBlank(char32_t c)
{
    return c == ' ' || c == '\t';
}

int HexDigitValue(char32_t c)
{
    if (c >= '0' && c <= '9')
        return static_cast<int>(c - '0');
    if (c >= 'a' && c <= 'f')
        return static_cast<int>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return static_cast<int>(c - 'A' + 10);
    return -1;
}

// Splits text into lines at CR LF, LF or a lone CR.
template <typename Text>
std::vector<Text> SplitLines(const Text& text)
{
    std::vector<Text> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

// True when text from `from` on is exactly the ASCII text.
template <typename Text>
bool RestIs(const Text& text, std::size_t from, const char* ascii)
{
    std::size_t i = from;
    for (; *ascii; ++ascii, ++i) {
        if (i >= text.size() || text[i] != static_cast<unsigned char>(*ascii))
            return false;
    }
    return i == text.size();
}

// True when text at `at` begins with the ASCII text.
template <typename Text>
bool StartsWith(const Text& text, std::size_t at, const char* ascii)
{
    for (std::size_t i = at; *ascii; ++ascii, ++i) {
        if (i >= text.size() || text[i] != static_cast<unsigned char>(*ascii))
            return false;
    }
    return true;
}

template <typename Text>
std::size_t SkipBlanks(const Text& text, std::size_t i)
{
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return i;
}

// True when nothing but blanks and a comment follows `from`.
template <typename Text>
bool OnlyCommentFollows(const Text& text, std::size_t from)
{
    std::size_t i = SkipBlanks(text, from);
    return i == text.size() || text[i] == ';';
}

// How the key line read last stands, for the values that follow it.
enum class KeyState { kNone, kOpen };

template <typename Text>
class RegFileParser {
public:
    RegFileParser(TextRules& textRules, RegFileContent& content, bool joinRepeatedKeys)
        : textRules_(textRules), content_(content), joinRepeatedKeys_(joinRepeatedKeys)
    {
    }

    void Parse(const Text& text)
    {
        lines_ = SplitLines(text);
        if (lines_.empty() || !ReadHeader(lines_[0])) {
            Report(1, RegReadProblem::kNoHeader);
            return;
        }
        for (std::size_t index = 1; index < lines_.size();)
            index = ParseLine(index);
    }

    std::size_t LineCount() const { return lines_.size(); }

private:
    void Report(std::size_t line, RegReadProblem problem)
    {
        content_.refusedLines.push_back(RegRefusedLine{line, problem});
    }

    bool ReadHeader(const Text& line)
    {
        const std::size_t start = SkipBlanks(line, 0);
        if (RestIs(line, start, kHeader4))
            content_.format = RegFileFormat::kRegedit4;
        else if (RestIs(line, start, kHeader5))
            content_.format = RegFileFormat::kVersion5;
        return content_.format != RegFileFormat::kUnknown;
    }

    // Reads a quoted text that starts after its opening quote at `from`. The
    // escapes are those the registry editor writes: \\, \", \r and \n.
    // `end` receives the index after the closing quote.
    bool Unquote(const Text& line, std::size_t from, std::string* text, std::size_t* end) const
    {
        text->clear();
        for (std::size_t i = from; i < line.size();) {
            if (line[i] == '"') {
                *end = i + 1;
                return true;
            }
            if (line[i] == '\\') {
                if (i + 1 >= line.size())
                    return false;
                const auto escaped = line[i + 1];
                if (escaped == '\\' || escaped == '"')
                    text->push_back(escaped);
                else if (escaped == 'n')
                    text->push_back('\n');
                else if (escaped == 'r')
                    text->push_back('\r');
                else
                    return false;
                i += 2;
                continue;
            }
            text->push_back(line[i]);
            ++i;
        }
        return false;
    }

    // Parses the line at index; returns the index of the next line to parse.
    std::size_t ParseLine(std::size_t index)
    {
        const Text& line = lines_[index];
        const std::size_t number = index + 1;
        for (const auto c : line) {
            if (c == 0) {
                Report(number, RegReadProblem::kNulCharacter);
                return index + 1;
            }
        }
        const std::size_t start = SkipBlanks(line, 0);
        if (start == line.size() || line[start] == ';')
            return index + 1;
        if (line[start] == '[') {
            ParseKeyLine(line, start + 1, number);
            return index + 1;
        }
        if (line[start] == '@')
            return ParseValue(index, start + 1, std::string());
        if (line[start] == '"') {
            std::string name;
            std::size_t end = 0;
            if (!Unquote(line, start + 1, &name, &end)) {
                Report(number, RegReadProblem::kBadName);
                return index + 1;
            }
            return ParseValue(index, end, name);
        }
        Report(number, RegReadProblem::kUnknownLine);
        return index + 1;
    }

    void ParseKeyLine(const Text& line, std::size_t from, std::size_t number)
    {
        keyState_ = KeyState::kNone;
        // The key name ends at the last closing bracket, so a bracket inside a
        // key name is kept as part of it.
        std::size_t close = line.size();
        const std::size_t last = line.rfind(']');
        if (last != Text::npos && last >= from)
            close = last;
        if (from >= line.size() || IsBlank(line[from]) || close == line.size()) {
            Report(number, RegReadProblem::kBadKeyLine);
            return;
        }
        const bool deletion = line[from] == '-';
        if (deletion)
            ++from;
        const std::string fullName(line.substr(from, close - from));
        const std::size_t slash = FindChar(fullName, '\\');
        RegFileKey key;
        key.root = ParseRootKey(textRules_, fullName.substr(0, slash));
        if (key.root == kNoRootKey) {
            Report(number, RegReadProblem::kUnknownRootKey);
            return;
        }
        key.rootName = RootKeyName(key.root);
        if (slash != std::string::npos)
            key.path = TrimBackslashes(fullName.substr(slash + 1));
        if (deletion && key.path.empty()) {
            Report(number, RegReadProblem::kBadKeyLine);   // a root key cannot be deleted
            return;
        }
        key.deleted = deletion;
        key.line = number;
        if (joinRepeatedKeys_ && !deletion && !content_.keys.empty()) {
            const RegFileKey& last = content_.keys.back();
            if (!last.deleted && last.root == key.root && last.path == key.path) {
                keyState_ = KeyState::kOpen;
                return;
            }
        }
        content_.keys.push_back(std::move(key));
        // Values after a deletion have no key to go to.
        if (!deletion)
            keyState_ = KeyState::kOpen;
    }

    // Parses what follows a value's name: "=" and the data, with any
    // continuation lines of a hex list. Returns the next line to parse.
    std::size_t ParseValue(std::size_t index, std::size_t from, const std::string& name)
    {
        const Text& line = lines_[index];
        const std::size_t number = index + 1;
        std::size_t i = SkipBlanks(line, from);
        if (i >= line.size() || line[i] != '=') {
            Report(number, RegReadProblem::kBadName);
            return index + 1;
        }
        i = SkipBlanks(line, i + 1);

        RegFileValue value;
        value.name = name;
        value.line = number;
        std::size_t nextIndex = index + 1;
        if (!ReadData(index, i, &value, &nextIndex))
            Report(number, RegReadProblem::kBadData);
        else if (keyState_ == KeyState::kNone)
            Report(number, RegReadProblem::kValueWithoutKey);
        else
            content_.keys.back().values.push_back(value);
        return nextIndex;
    }

    // Reads the data part that starts at `from` on line `index`.
    bool ReadData(std::size_t index, std::size_t from, RegFileValue* value, std::size_t* nextIndex)
    {
        const Text& line = lines_[index];
        if (from < line.size() && line[from] == '-') {
            value->deleted = true;
            return OnlyCommentFollows(line, from + 1);
        }
        if (from < line.size() && line[from] == '"') {
            std::string text;
            std::size_t end = 0;
            if (!Unquote(line, from + 1, &text, &end) || !OnlyCommentFollows(line, end))
                return false;
            value->type = kRegSz;
            value->data = TextToStringData(text);
            return true;
        }
        if (StartsWith(line, from, "dword:")) {
            value->type = kRegDword;
            return ReadDword(line, from + 6, &value->data);
        }
        std::size_t listStart = 0;
        if (StartsWith(line, from, "hex:")) {
            value->type = kRegBinary;
            listStart = from + 4;
        } else if (StartsWith(line, from, "hex(")) {
            if (!ReadHexType(line, from + 4, &value->type, &listStart))
                return false;
        } else {
            return false;
        }
        if (!ReadHexList(index, listStart, &value->data, nextIndex))
            return false;
        if (content_.format == RegFileFormat::kRegedit4 &&
            (value->type == kRegExpandSz || value->type == kRegMultiSz)) {
            // The registry editor stores these lists of a REGEDIT4 file as
            // the ANSI text they hold, turned into UTF-16.
            value->data = Utf8ToUtf16LeBytes(textRules_.AnsiToUtf8(value->data));
        }
        return true;
    }

    // One to eight hex digits, then nothing but blanks and a comment.
    static bool ReadDword(const Text& line, std::size_t from, std::string* data)
    {
        std::size_t i = SkipBlanks(line, from);
        std::uint32_t number = 0;
        std::size_t digits = 0;
        for (; i < line.size() && HexDigitValue(line[i]) >= 0; ++i, ++digits) {
            if (digits == 8)
                return false;
            number = number << 4 | static_cast<std::uint32_t>(HexDigitValue(line[i]));
        }
        if (digits == 0 || !OnlyCommentFollows(line, i))
            return false;
        for (int shift = 0; shift < 32; shift += 8)
            data->push_back(static_cast<char>(number >> shift & 0xFF));
        return true;
    }

    // The type of "hex(N):", N in hexadecimal; `listStart` receives the index
    // after the colon.
    static bool ReadHexType(const Text& line, std::size_t from, std::uint32_t* type,
                            std::size_t* listStart)
    {
        std::uint32_t number = 0;
        std::size_t i = from;
        for (; i < line.size() && HexDigitValue(line[i]) >= 0; ++i) {
            if (i - from == 8)
                return false;
            number = number << 4 | static_cast<std::uint32_t>(HexDigitValue(line[i]));
        }
        if (i == from || !StartsWith(line, i, "):"))
            return false;
        *type = number;
        *listStart = i + 2;
        return true;
    }

    // A comma-separated list of bytes of one or two hex digits, blanks allowed
    // before each byte. A backslash
    // where a byte could begin continues the list on the next line that is
    // not blank or a comment; that line must begin with a hex digit, or the
    // value is malformed and the line is parsed on its own. `nextIndex`
    // receives the line after the list.
    bool ReadHexList(std::size_t index, std::size_t from, std::string* data,
                     std::size_t* nextIndex)
    {
        std::size_t i = from;
        *nextIndex = index + 1;
        for (;;) {
            const Text& line = lines_[index];
            i = SkipBlanks(line, i);
            if (i == line.size() || line[i] == ';')
                return true;
            if (line[i] == '\\') {
                if (!OnlyCommentFollows(line, i + 1))
                    return false;
                for (++index; index < lines_.size(); ++index) {
                    i = SkipBlanks(lines_[index], 0);
                    if (i < lines_[index].size() && lines_[index][i] != ';')
                        break;
                }
                *nextIndex = index + 1;
                if (index == lines_.size()) {
                    *nextIndex = index;
                    return true;   // the file ends: the list holds what was read
                }
                if (HexDigitValue(lines_[index][i]) < 0) {
                    *nextIndex = index;
                    return false;
                }
                continue;
            }
            int byte = HexDigitValue(line[i]);
            if (byte < 0)
                return false;
            ++i;
            if (i < line.size() && HexDigitValue(line[i]) >= 0)
                byte = byte * 16 + HexDigitValue(line[i++]);
            data->push_back(static_cast<char>(byte));
            // The comma follows the byte directly; blanks may only end the list.
            if (i < line.size() && line[i] == ',') {
                ++i;
                continue;
            }
            return OnlyCommentFollows(line, i);
        }
    }

    TextRules& textRules_;
    RegFileContent& content_;
    bool joinRepeatedKeys_;
    std::vector<Text> lines_;
    KeyState keyState_ = KeyState::kNone;
};

}  // namespace

namespace {

// With owned (the bytes themselves), the bytes are released once decoded.
RegFileContent ReadBytes(TextRules& textRules, const std::string& bytes, std::string* owned, bool joinRepeatedKeys)
{
    RegFileContent content;
    const auto startsWith = [&bytes](const char* mark, std::size_t length) {
        return bytes.size() >= length && bytes.compare(0, length, mark, length) == 0;
    };
    std::string text;
    if (startsWith("\xFF\xFE", 2)) {
        content.encoding = RegFileEncoding::kUtf16;
        text = Utf16LeBytesToUtf8(std::string_view(bytes).substr(2));
    } else if (startsWith("\xEF\xBB\xBF", 3)) {
        content.encoding = RegFileEncoding::kUtf8;
        text = bytes.substr(3);
    } else {
        text = textRules.AnsiToUtf8(bytes);
    }
    const bool oddLength = content.encoding == RegFileEncoding::kUtf16 && bytes.size() % 2 != 0;
    if (owned)
        std::string().swap(*owned);
    // The lines are views into the text, which outlives the parser.
    RegFileParser<std::string_view> parser(textRules, content, joinRepeatedKeys);
    parser.Parse(std::string_view(text));
    if (oddLength) {
        // The byte left over belongs to the last line.
        const std::size_t lastLine = parser.LineCount() > 0 ? parser.LineCount() : 1;
        content.refusedLines.push_back(RegRefusedLine{lastLine, RegReadProblem::kOddLength});
    }
    return content;
}

} // namespace

RegFileContent ReadRegFile(TextRules& textRules, const std::string& bytes)
{
    return ReadBytes(textRules, bytes, nullptr, false);
}

RegFileContent ReadRegFileJoined(TextRules& textRules, std::string&& bytes)
{
    return ReadBytes(textRules, bytes, &bytes, true);
}
