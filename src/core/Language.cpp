// Language-file rules of the program (see Language.h).
#include "core/Language.h"

#include "core/Platform.h"

#include <cstdio>

void ExpandEscapes(std::string& text)
{
    auto replaceAll = [&text](const char* from, char to) {
        std::string out;
        out.reserve(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == from[0] && i + 1 < text.size() && text[i + 1] == from[1]) {
                out += to;
                ++i;
            } else {
                out += text[i];
            }
        }
        text.swap(out);
    };
    replaceAll("\\r", '\r');
    replaceAll("\\n", '\n');
}

std::string LookupText(Environment& environment, const std::string& languageFile,
                       const std::string& key, bool expandEscapes)
{
    std::string text =
        environment.ReadProfileString(languageFile, kLanguageSection, key, kMaxLanguageTextLength);
    if (text.find_first_not_of(" \t") == std::string::npos)
        return key;
    if (expandEscapes)
        ExpandEscapes(text);
    return text;
}

std::string FolderOfModulePath(const std::string& modulePath)
{
    const std::size_t cut = modulePath.find_last_of("\\:");
    if (cut == std::string::npos)
        return modulePath;
    std::string folder = modulePath.substr(0, cut);
    if (modulePath[cut] == ':')
        folder += ':';
    return folder;
}

std::string StripExtension(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

namespace {

// Finds the first printf conversion in `format` at or after `from`; returns
// its start and sets `end` past its conversion letter. "%%" is no conversion.
std::size_t FindConversion(const std::string& format, std::size_t from, std::size_t& end)
{
    for (std::size_t i = format.find('%', from); i != std::string::npos;
         i = format.find('%', i + 1)) {
        std::size_t j = i + 1;
        if (j < format.size() && format[j] == '%') {
            i = j;
            continue;
        }
        while (j < format.size() && std::string("-+ #0123456789.hlLqjzt").find(format[j]) != std::string::npos)
            ++j;
        if (j < format.size() && std::string("diouxXcsfFeEgGaApn").find(format[j]) != std::string::npos) {
            end = j + 1;
            return i;
        }
    }
    return std::string::npos;
}

std::string FillFirstConversion(const std::string& format, const std::string& numberText,
                                const std::string& plainText)
{
    std::string out;
    std::size_t end = 0;
    const std::size_t start = FindConversion(format, 0, end);
    auto appendLiteral = [&out](const std::string& piece) {
        for (std::size_t i = 0; i < piece.size(); ++i) {
            out += piece[i];
            if (piece[i] == '%' && i + 1 < piece.size() && piece[i + 1] == '%')
                ++i;
        }
    };
    if (start == std::string::npos) {
        appendLiteral(format);
        return out;
    }
    appendLiteral(format.substr(0, start));
    const char letter = format[end - 1];
    out += (letter == 's' || letter == 'c') ? plainText : numberText;
    // Later conversions have no argument: they stay as written.
    appendLiteral(format.substr(end));
    return out;
}

} // namespace

std::string FormatTextWithNumber(const std::string& format, long long number)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lld", number);
    return FillFirstConversion(format, buffer, buffer);
}

std::string FormatTextWithString(const std::string& format, const std::string& text)
{
    return FillFirstConversion(format, text, text);
}

std::string FormatTextWithStringAndNumber(const std::string& format, const std::string& text,
                                          long long number)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lld", number);
    const std::string numberText = buffer;
    std::string out;
    std::size_t from = 0;
    const auto appendLiteral = [&out](const std::string& piece) {
        for (std::size_t i = 0; i < piece.size(); ++i) {
            out += piece[i];
            if (piece[i] == '%' && i + 1 < piece.size() && piece[i + 1] == '%')
                ++i;
        }
    };
    for (int filled = 0; filled < 2; ++filled) {
        std::size_t end = 0;
        const std::size_t start = FindConversion(format, from, end);
        if (start == std::string::npos)
            break;
        appendLiteral(format.substr(from, start - from));
        const char letter = format[end - 1];
        out += (letter == 's' || letter == 'c') ? text : numberText;
        from = end;
    }
    appendLiteral(format.substr(from));
    return out;
}
