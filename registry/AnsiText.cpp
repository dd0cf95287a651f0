// Multibyte-aware searching and trimming of ANSI byte text.
#include "registry/AnsiText.h"

#include <cstring>

std::size_t NextCharIndex(Platform& platform, const std::string& text, std::size_t index)
{
    if (index + 1 < text.size() && platform.IsLeadByte(static_cast<unsigned char>(text[index])))
        return index + 2;
    return index + 1;
}

std::size_t FindChar(Platform& platform, const std::string& text, char c, std::size_t from)
{
    for (std::size_t i = 0; i < text.size(); i = NextCharIndex(platform, text, i)) {
        if (i >= from && text[i] == c)
            return i;
    }
    return std::string::npos;
}

std::size_t FindLastChar(Platform& platform, const std::string& text, char c)
{
    std::size_t found = std::string::npos;
    for (std::size_t i = 0; i < text.size(); i = NextCharIndex(platform, text, i)) {
        if (text[i] == c)
            found = i;
    }
    return found;
}

std::size_t FindText(Platform& platform, const std::string& text, const std::string& needle,
                     std::size_t from)
{
    if (needle.empty())
        return from <= text.size() ? from : std::string::npos;
    for (std::size_t i = 0; i < text.size(); i = NextCharIndex(platform, text, i)) {
        if (i >= from && text.compare(i, needle.size(), needle) == 0)
            return i;
    }
    return std::string::npos;
}

void TrimChars(Platform& platform, std::string& text, const char* set)
{
    auto inSet = [set](char c) { return c != '\0' && std::strchr(set, c) != nullptr; };
    std::size_t begin = 0;
    while (begin < text.size() && inSet(text[begin]))
        ++begin;
    // The end of the text is found by walking forward, so that a trail byte
    // equal to a character of the set is not cut off.
    std::size_t end = begin;
    for (std::size_t i = begin; i < text.size();) {
        std::size_t next = NextCharIndex(platform, text, i);
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
