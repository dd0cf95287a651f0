// Path rules of the cleaner: path extraction, existence tests and the fixed
// drive letters they depend on.
#include "core/PathRules.h"

#include "core/Text.h"
#include "core/Platform.h"

namespace {

// Leading and trailing blanks and double quotes.
std::string Trimmed(const std::string& text) {
    std::string trimmed = text;
    TrimChars(trimmed, " \"");
    return trimmed;
}

// Cuts text at the offset (dropping it and everything after it) and trims what
// is left.
void CutAndTrim(std::string& text, std::size_t offset) {
    text = Trimmed(text.substr(0, offset));
}

bool Contains(const std::string& text, char ch) {
    return FindChar(text, ch) != std::string::npos;
}

bool IsDecimalNumber(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// A type library kept as a resource of a module is registered as the
// module's path, a backslash and the resource number
// ("C:\Windows\system32\hnetcfg.dll\2"). Such a path is present exactly
// when the module is: a file, not a folder.
bool NamesResourceOfExistingFile(FileSystem& files, const std::string& path) {
    const std::size_t slash = FindLastChar(path, '\\');
    if (slash == std::string::npos || slash == 0 || !IsDecimalNumber(path.substr(slash + 1))) {
        return false;
    }
    const std::string module = path.substr(0, slash);
    if (FileExists(files, module)) return true;
    const std::uint32_t attributes = files.FileAttributes(module);
    return attributes != kInvalidFileAttributes && !(attributes & kFileAttributeDirectory);
}

}  // namespace

bool StartsLikeDrivePath(const char* text, std::size_t length) {
    // Leading blanks and quotes are single bytes, so they can be skipped byte
    // by byte. Trimming the end cannot reach the three bytes tested: none of
    // them is a blank or a quote.
    std::size_t start = 0;
    while (start < length && (text[start] == ' ' || text[start] == '"')) ++start;
    return length - start >= 3 && text[start + 1] == ':' && text[start + 2] == '\\';
}

bool ExtractDrivePath(TextRules& textRules, const std::string& text, std::string& path) {
    const std::size_t npos = std::string::npos;
    path.clear();
    // A drive letter (or any one byte), a colon and a backslash must start it.
    // Most texts fail here, so this is tested before anything is copied.
    if (!StartsLikeDrivePath(text.data(), text.size())) return false;
    std::string s = Trimmed(text);

    // Lists, command separators and shell syntax are never single paths.
    if (Contains(s, ',') || Contains(s, ';') || Contains(s, '!')) {
        return false;
    }

    // A bracket after the last dot, as in 'x.dll[1]', is not a file name.
    const std::size_t lastDot = FindLastChar(s, '.');
    if (lastDot != npos && FindChar(s, '[', lastDot) != npos) return false;

    // Switches such as ' /S' follow the path: drop them.
    const std::size_t slash = FindChar(s, '/');
    if (slash != npos) CutAndTrim(s, slash);

    // A second drive-qualified path after the first is cut at its colon.
    // (The cut above may have removed the first ':\' already; nothing to do then.)
    const std::size_t driveSeparator = FindText(s, ":\\");
    if (driveSeparator != npos) {
        const std::size_t secondColon = FindChar(s, ':', driveSeparator + 2);
        if (secondColon != npos) CutAndTrim(s, secondColon);
    }

    if (Contains(s, '*')) return false;

    // An argument beginning with a hyphen is refused before the quote cut, so a
    // quoted program followed by ' -switch' is not tested.
    if (FindText(s, " -") != npos) return false;

    // A closing quote ends a quoted program path; its arguments are dropped.
    const std::size_t quote = FindChar(s, '"');
    if (quote != npos) CutAndTrim(s, quote);

    if (Contains(s, '\'')) return false;

    // A blank after the first dot means arguments follow the file name.
    const std::size_t firstDot = FindChar(s, '.');
    if (firstDot != npos && FindChar(s, ' ', firstDot) != npos) return false;

    if (CountSubstring(textRules, s, ":\\", false) != 1) return false;

    path = Trimmed(s);
    return true;
}

bool IsOnDrive(TextRules& textRules, const std::string& path, const std::string& driveLetters) {
    std::string drive = path.substr(0, 1);
    textRules.UpperText(drive);
    return !drive.empty() && driveLetters.find(drive[0]) != std::string::npos;
}

bool ExtractFilePath(FileSystem& files, TextRules& textRules, const std::string& text,
                     std::string& path) {
    // Only paths on local fixed disks are tested; the drives are asked for
    // only once the text has passed every other rule.
    if (ExtractDrivePath(textRules, text, path) &&
        IsOnDrive(textRules, path, GetFixedDriveLetters(files, textRules)))
        return true;
    path.clear();
    return false;
}

bool FileExists(FileSystem& files, const std::string& path) {
    return !path.empty() && files.OpenFileExists(path);
}

bool IsMissingFile(FileSystem& files, const std::string& path) {
    // An empty path names no file at all; calling it missing would turn a text
    // that was never a path into a finding.
    if (path.empty()) return false;
    // A path is present when the open test finds a file or when it has
    // attributes (folders, files the open test cannot open). The attribute
    // query is asked first: it answers the same for present files at a small
    // part of the open test's cost.
    if (files.FileAttributes(path) != kInvalidFileAttributes) return false;
    if (FileExists(files, path)) return false;
    return !NamesResourceOfExistingFile(files, path);
}

std::string GetFixedDriveLetters(FileSystem& files, TextRules& textRules) {
    std::string letters;
    for (const std::string& root : SplitMultiString(files.LogicalDriveStrings())) {
        if (files.DriveType(root) != kDriveFixed) continue;
        std::string letter = root.substr(0, 1);
        textRules.UpperText(letter);
        letters += letter;
    }
    return letters;
}

