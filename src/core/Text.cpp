// Searching and trimming of UTF-8 text.
#include "core/Text.h"

#include <cstring>

std::size_t FindChar(const std::string& text, char c, std::size_t from)
{
    return text.find(c, from);
}

std::size_t FindLastChar(const std::string& text, char c)
{
    return text.rfind(c);
}

std::size_t FindText(const std::string& text, const std::string& needle, std::size_t from)
{
    // A match of whole UTF-8 characters can only start on a character
    // boundary, so a byte search finds it.
    if (needle.empty())
        return from <= text.size() ? from : std::string::npos;
    return text.find(needle, from);
}

void TrimChars(std::string& text, const char* set)
{
    auto inSet = [set](char c) { return c != '\0' && std::strchr(set, c) != nullptr; };
    std::size_t begin = 0;
    while (begin < text.size() && inSet(text[begin]))
        ++begin;
    std::size_t end = text.size();
    while (end > begin && inSet(text[end - 1]))
        --end;
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

    // One pattern character against the text's character at t: true with the
    // indexes moved past both.
    auto step = [&](std::size_t& pi, std::size_t& ti) {
        if (pattern[pi] == '?') {
            ++pi;
            ti = NextCharIndex(text, ti);
            return true;
        }
        const std::size_t pNext = NextCharIndex(pattern, pi);
        const std::size_t length = pNext - pi;
        if (text.compare(ti, length, pattern, pi, length) != 0)
            return false;
        pi = pNext;
        ti += length;
        return true;
    };

    // The part before the first star must match character for character.
    while (t < textSize && !(p < patternSize && pattern[p] == '*')) {
        if (p >= patternSize || !step(p, t)) return false;
    }

    // After a star: try to match the rest at every later character of the
    // text, going back to the last star on a mismatch.
    std::size_t starNext = 0;  // pattern position after the last star
    std::size_t restart = 0;   // text position to try next for that star
    bool starSeen = false;
    while (t < textSize) {
        if (p < patternSize && pattern[p] == '*') {
            if (++p == patternSize) return true;
            starNext = p;
            restart = NextCharIndex(text, t);
            starSeen = true;
        } else if (p < patternSize && step(p, t)) {
        } else if (starSeen) {
            p = starNext;
            t = restart;
            restart = NextCharIndex(text, restart);
        } else {
            return false;
        }
    }
    if (t > textSize) return false;

    while (p < patternSize && pattern[p] == '*') ++p;
    return p == patternSize;
}

std::size_t CountSubstring(TextRules& textRules, const std::string& text,
                           const std::string& needle, bool caseSensitive) {
    if (needle.empty()) return 0;
    std::string haystack = text;
    std::string wanted = needle;
    if (!caseSensitive) {
        textRules.LowerText(haystack);
        textRules.LowerText(wanted);
    }
    std::size_t count = 0;
    for (std::size_t at = FindText(haystack, wanted); at != std::string::npos;
         at = FindText(haystack, wanted, at + wanted.size())) {
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
