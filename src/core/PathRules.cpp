// Path rules of the cleaner: path extraction, existence tests and the fixed
// drive letters they depend on.
#include "core/PathRules.h"

#include "core/AnsiText.h"
#include "core/Platform.h"

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
bool NamesResourceOfExistingFile(Platform& platform, const std::string& path) {
    const std::size_t slash = FindLastChar(platform, path, '\\');
    if (slash == std::string::npos || slash == 0 || !IsDecimalNumber(path.substr(slash + 1))) {
        return false;
    }
    const std::string module = path.substr(0, slash);
    if (FileExists(platform, module)) return true;
    const std::uint32_t attributes = platform.FileAttributes(module);
    return attributes != kInvalidFileAttributes && !(attributes & kFileAttributeDirectory);
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
    if (FileExists(platform, path)) return false;
    return !NamesResourceOfExistingFile(platform, path);
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

