// Multibyte-aware searching and trimming of ANSI byte text.
#include "core/AnsiText.h"

#include <cstring>

std::size_t NextCharIndex(CodePage& codePage, const std::string& text, std::size_t index)
{
    // No ANSI code page has a lead byte below 0x80, so the common ASCII bytes
    // are stepped over without asking the system.
    if (index + 1 < text.size()) {
        const unsigned char byte = static_cast<unsigned char>(text[index]);
        if (byte >= 0x80 && codePage.IsLeadByte(byte))
            return index + 2;
    }
    return index + 1;
}

std::size_t FindChar(CodePage& codePage, const std::string& text, char c, std::size_t from)
{
    for (std::size_t i = 0; i < text.size(); i = NextCharIndex(codePage, text, i)) {
        if (i >= from && text[i] == c)
            return i;
    }
    return std::string::npos;
}

std::size_t FindLastChar(CodePage& codePage, const std::string& text, char c)
{
    std::size_t found = std::string::npos;
    for (std::size_t i = 0; i < text.size(); i = NextCharIndex(codePage, text, i)) {
        if (text[i] == c)
            found = i;
    }
    return found;
}

std::size_t FindText(CodePage& codePage, const std::string& text, const std::string& needle,
                     std::size_t from)
{
    if (needle.empty())
        return from <= text.size() ? from : std::string::npos;
    // A match on a character boundary is a byte match too: a text without
    // one needs no walk over its characters.
    if (text.find(needle, from) == std::string::npos)
        return std::string::npos;
    for (std::size_t i = 0; i < text.size(); i = NextCharIndex(codePage, text, i)) {
        if (i >= from && text.compare(i, needle.size(), needle) == 0)
            return i;
    }
    return std::string::npos;
}

void TrimChars(CodePage& codePage, std::string& text, const char* set)
{
    auto inSet = [set](char c) { return c != '\0' && std::strchr(set, c) != nullptr; };
    std::size_t begin = 0;
    while (begin < text.size() && inSet(text[begin]))
        ++begin;
    // The end of the text is found by walking forward, so that a trail byte
    // equal to a character of the set is not cut off.
    std::size_t end = begin;
    for (std::size_t i = begin; i < text.size();) {
        std::size_t next = NextCharIndex(codePage, text, i);
        if (next != i + 1 || !inSet(text[i]))
            end = next;
        i = next;
    }
    text = text.substr(begin, end - begin);
}

bool HasLineBreak(const std::string& text)
{
    return text.find_first_of("\r\n") != std::string::npos;
}

char DriveRootLetter(const std::string& rootPath)
{
    bool rootForm = (rootPath.size() == 2 || (rootPath.size() == 3 && rootPath[2] == '\\')) &&
                    rootPath[1] == ':';
    char letter = rootForm ? rootPath[0] : '\0';
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    return letter >= 'A' && letter <= 'Z' ? letter : '\0';
}

bool WildcardMatch(const std::string& pattern, const std::string& text) {
    const std::size_t patternSize = pattern.size();
    const std::size_t textSize = text.size();
    std::size_t p = 0;
    std::size_t t = 0;

    // The part before the first star must match byte for byte.
    while (t < textSize && !(p < patternSize && pattern[p] == '*')) {
        if (p >= patternSize || (pattern[p] != text[t] && pattern[p] != '?')) return false;
        ++p;
        ++t;
    }

    // After a star: try to match the rest at every later text position, going
    // back to the last star on a mismatch.
    std::size_t starNext = 0;  // pattern position after the last star
    std::size_t restart = 0;   // text position to try next for that star
    while (t < textSize) {
        if (p < patternSize && pattern[p] == '*') {
            if (++p == patternSize) return true;
            starNext = p;
            restart = t + 1;
        } else if (p < patternSize && (pattern[p] == text[t] || pattern[p] == '?')) {
            ++p;
            ++t;
        } else {
            p = starNext;
            t = restart++;
        }
    }

    while (p < patternSize && pattern[p] == '*') ++p;
    return p == patternSize;
}

std::size_t CountSubstring(CodePage& codePage, const std::string& text,
                           const std::string& needle, bool caseSensitive) {
    if (needle.empty()) return 0;
    std::string haystack = text;
    std::string wanted = needle;
    if (!caseSensitive) {
        codePage.LowerText(haystack);
        codePage.LowerText(wanted);
    }
    std::size_t count = 0;
    for (std::size_t at = FindText(codePage, haystack, wanted); at != std::string::npos;
         at = FindText(codePage, haystack, wanted, at + wanted.size())) {
        ++count;
    }
    return count;
}

std::vector<std::string> SplitMultiString(const std::string& buffer) {
    std::vector<std::string> strings;
    std::size_t start = 0;
    while (start < buffer.size() && buffer[start] != '\0') {
        std::size_t end = buffer.find('\0', start);
        if (end == std::string::npos) end = buffer.size();
        strings.push_back(buffer.substr(start, end - start));
        start = end + 1;
    }
    return strings;
}

std::vector<std::string> SplitString(const std::string& text, const std::string& delimiters) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = delimiters.empty() ? std::string::npos
                                             : text.find_first_of(delimiters, start);
        if (end == std::string::npos) end = text.size();
        if (end > start) pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}
