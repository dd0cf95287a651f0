// Path rules of the cleaner: path extraction, existence tests, the byte-wise
// wildcard matcher, substring counting and the drive and list splitting they use.
#include "cleaner/PathRules.h"

#include "registry/AnsiText.h"
#include "registry/Platform.h"

namespace {

// Leading and trailing blanks and double quotes, stepping over double-byte
// characters whole.
std::string Trimmed(Platform& platform, const std::string& text) {
    std::string trimmed = text;
    TrimChars(platform, trimmed, " \"");
    return trimmed;
}

// Cuts text at the offset (dropping it and everything after it) and trims what
// is left.
void CutAndTrim(Platform& platform, std::string& text, std::size_t offset) {
    text = Trimmed(platform, text.substr(0, offset));
}

bool Contains(Platform& platform, const std::string& text, char ch) {
    return FindChar(platform, text, ch) != std::string::npos;
}

}  // namespace

bool ExtractFilePath(Platform& platform, const std::string& text, std::string& path) {
    const std::size_t npos = std::string::npos;
    path.clear();
    std::string s = Trimmed(platform, text);

    // A drive letter (or any one byte), a colon and a backslash must start it.
    if (!WildcardMatch("?:\\*", s)) return false;

    // Lists, command separators and shell syntax are never single paths.
    if (Contains(platform, s, ',') || Contains(platform, s, ';') || Contains(platform, s, '!')) {
        return false;
    }

    // A bracket after the last dot, as in 'x.dll[1]', is not a file name.
    const std::size_t lastDot = FindLastChar(platform, s, '.');
    if (lastDot != npos && FindChar(platform, s, '[', lastDot) != npos) return false;

    // Switches such as ' /S' follow the path: drop them.
    const std::size_t slash = FindChar(platform, s, '/');
    if (slash != npos) CutAndTrim(platform, s, slash);

    // A second drive-qualified path after the first is cut at its colon.
    // (The cut above may have removed the first ':\' already; nothing to do then.)
    const std::size_t driveSeparator = FindText(platform, s, ":\\");
    if (driveSeparator != npos) {
        const std::size_t secondColon = FindChar(platform, s, ':', driveSeparator + 2);
        if (secondColon != npos) CutAndTrim(platform, s, secondColon);
    }

    if (Contains(platform, s, '*')) return false;

    // An argument beginning with a hyphen is refused before the quote cut, so a
    // quoted program followed by ' -switch' is not tested.
    if (FindText(platform, s, " -") != npos) return false;

    // A closing quote ends a quoted program path; its arguments are dropped.
    const std::size_t quote = FindChar(platform, s, '"');
    if (quote != npos) CutAndTrim(platform, s, quote);

    if (Contains(platform, s, '\'')) return false;

    // A blank after the first dot means arguments follow the file name.
    const std::size_t firstDot = FindChar(platform, s, '.');
    if (firstDot != npos && FindChar(platform, s, ' ', firstDot) != npos) return false;

    if (CountSubstring(platform, s, ":\\", false) != 1) return false;

    // Only paths on local fixed disks are tested.
    std::string drive = s.substr(0, 1);
    platform.UpperText(drive);
    if (drive.empty() || GetFixedDriveLetters(platform).find(drive[0]) == npos) return false;

    path = Trimmed(platform, s);
    return true;
}

bool FileExists(Platform& platform, const std::string& path) {
    return !path.empty() && platform.OpenFileExists(path);
}

bool IsMissingFile(Platform& platform, const std::string& path) {
    // An empty path names no file at all; calling it missing would turn a text
    // that was never a path into a finding.
    if (path.empty()) return false;
    // A path is present when the open test finds a file or when it has
    // attributes (folders, files the open test cannot open). The attribute
    // query is asked first: it answers the same for present files at a small
    // part of the open test's cost.
    if (platform.FileAttributes(path) != kInvalidFileAttributes) return false;
    return !FileExists(platform, path);
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

std::size_t CountSubstring(Platform& platform, const std::string& text,
                           const std::string& needle, bool caseSensitive) {
    if (needle.empty()) return 0;
    std::string haystack = text;
    std::string wanted = needle;
    if (!caseSensitive) {
        platform.LowerText(haystack);
        platform.LowerText(wanted);
    }
    std::size_t count = 0;
    for (std::size_t at = FindText(platform, haystack, wanted); at != std::string::npos;
         at = FindText(platform, haystack, wanted, at + wanted.size())) {
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

std::string GetFixedDriveLetters(Platform& platform) {
    std::string letters;
    for (const std::string& root : SplitMultiString(platform.LogicalDriveStrings())) {
        if (platform.DriveType(root) != kDriveFixed) continue;
        std::string letter = root.substr(0, 1);
        platform.UpperText(letter);
        letters += letter;
    }
    return letters;
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
