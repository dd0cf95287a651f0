// Language-file rules of the program: the lookup of a key's text, the escape
// rule for multi-line texts, the program-folder rules and the safe filling of
// texts that carry one printf-style argument. Platform-free.
#pragma once

#include <string>

class TextRules;
class Environment;

// The section of the language file that holds every text.
constexpr const char* kLanguageSection = "String";
// Longest text read for one key (the reader gets a 65,535-byte buffer).
constexpr std::size_t kMaxLanguageTextLength = 65534;

// Replaces backslash-r by a carriage return, then backslash-n by a line feed.
// Nothing else is an escape.
void ExpandEscapes(std::string& text);

// The text of `key` in the language file, or `key` itself when the file, the
// key or the text is missing or blank.
std::string LookupText(Environment& environment, const std::string& languageFile,
                       const std::string& key, bool expandEscapes = false);

// The folder part of a module path, without a trailing backslash: everything
// before the last backslash or colon. A drive colon that the cut removed is
// put back, so a program in the root of C: gives "C:".
std::string FolderOfModulePath(const std::string& modulePath);

// A file name without its last extension ("My.Tool.exe" gives "My.Tool").
std::string StripExtension(const std::string& name);

// Fills a text from the language file that carries one printf-style argument.
// Only the first conversion is filled, whatever its letter; any further
// conversion stays as written and "%%" gives "%". A translated text can thus
// never make the program read an argument that is not there.
std::string FormatTextWithNumber(const std::string& format, long long number);
std::string FormatTextWithString(const std::string& format, const std::string& text);
// The same for a text with a string and a number ("%s (%d)"): the first two
// conversions are filled in order, each by its letter (s or c takes the
// text, any other the number), so a translation may put them either way round.
std::string FormatTextWithStringAndNumber(const std::string& format, const std::string& text,
                                          long long number);
