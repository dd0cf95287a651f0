// The backup store (see BackupStore.h).
#include "core/BackupStore.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

#include "core/Text.h"

namespace {

constexpr const char* kBackupExtension = "reg";
// Far more backups of one kind than one second can see; only a folder that
// claims every name is ever refused.
constexpr int kMaxBackupsPerSecond = 100000;

std::string FormatDate(const CalendarTime& time)
{
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", time.year, time.month, time.day);
    return text;
}

std::string FormatTime(const CalendarTime& time)
{
    char text[64];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.hour, time.minute, time.second);
    return text;
}

std::string StampText(const CalendarTime& now, bool withTime)
{
    std::string text = FormatDate(now);
    if (withTime)
        text += " " + FormatTime(now);
    return text;
}

// The name of a backup made at the moment `stamp` (a date-time stamp); a
// counter above 1 tells apart backups of the same second.
std::string BackupFileNameFor(TextRules& textRules, std::string stamp, const std::string& typeText,
                              int counter)
{
    std::replace(stamp.begin(), stamp.end(), ':', '-');
    if (counter > 1)
        stamp += " " + std::to_string(counter);
    stamp += "(" + typeText + ")";
    EnsureExtension(textRules, stamp, kBackupExtension);
    return stamp;
}

// What the folder visitor of FindFiles works with.
struct FileSearch {
    TextRules& textRules;
    std::string base;   // the folder without its trailing backslash
    std::vector<std::pair<std::string, const std::string*>> tests;   // lower-cased pattern, label
    FileVisitor visitor;
    void* context;
};

bool VisitListedFile(const FoundFile& found, void* context)
{
    const FileSearch& search = *static_cast<const FileSearch*>(context);
    if (found.attributes & kFileAttributeDirectory)
        return true;
    std::string name = found.name;
    search.textRules.LowerText(name);
    for (const auto& test : search.tests) {
        if (WildcardMatch(test.first, name)) {
            search.visitor(search.base + "\\" + found.name, *test.second, found, search.context);
            break;
        }
    }
    return true;
}

} // namespace

std::string DateTimeStamp(Environment& environment, bool withTime)
{
    return StampText(environment.CurrentLocalTime(), withTime);
}

void EnsureExtension(TextRules& textRules, std::string& name, const std::string& extension)
{
    std::string wanted = extension;
    textRules.LowerText(wanted);
    if (wanted.empty() || wanted[0] != '.')
        wanted.insert(0, ".");
    std::string ending = name.size() >= wanted.size() ? name.substr(name.size() - wanted.size()) : name;
    textRules.LowerText(ending);
    if (ending != wanted)
        name += wanted;
}

std::string MakeBackupFileName(TextRules& textRules, Environment& environment,
                               const std::string& typeText)
{
    return BackupFileNameFor(textRules, DateTimeStamp(environment, true), typeText, 1);
}

std::string MakeUniqueBackupPath(FileSystem& files, TextRules& textRules, Environment& environment,
                                 const std::string& folder, const std::string& typeText)
{
    std::string prefix = folder;
    if (prefix.empty() || prefix.back() != '\\')
        prefix += '\\';
    // One reading of the clock, so every candidate names the same second.
    const std::string stamp = DateTimeStamp(environment, true);
    for (int counter = 1; counter <= kMaxBackupsPerSecond; ++counter) {
        const std::string path = prefix + BackupFileNameFor(textRules, stamp, typeText, counter);
        if (files.FileAttributes(path) == kInvalidFileAttributes)
            return path;
    }
    return std::string();
}

std::string BackupTypeOfFileName(const std::string& fileName)
{
    const std::vector<std::string> pieces = SplitString(fileName, "()");
    return pieces.size() >= 2 ? pieces[1] : std::string();
}

int GetFileTimes(FileSystem& files, const std::string& path, CalendarTime* creation,
                 CalendarTime* lastAccess, CalendarTime* lastWrite)
{
    for (CalendarTime* time : {creation, lastAccess, lastWrite}) {
        if (time)
            *time = CalendarTime();
    }
    CalendarTime read[3];
    if (!files.FileTimes(path, &read[0], &read[1], &read[2]))
        return 0;
    if (creation)
        *creation = read[0];
    if (lastAccess)
        *lastAccess = read[1];
    if (lastWrite)
        *lastWrite = read[2];
    return 1;
}

void FindFiles(FileSystem& files, TextRules& textRules, const std::string& folder,
               const std::map<std::string, std::string>& patterns, FileVisitor visitor,
               void* context)
{
    if (!visitor)
        return;
    FileSearch search{textRules, folder, {}, visitor, context};
    if (!search.base.empty() && search.base.back() == '\\')
        search.base.pop_back();
    for (const auto& pattern : patterns) {
        std::string lower = pattern.first;
        textRules.LowerText(lower);
        search.tests.emplace_back(lower, &pattern.second);
    }
    files.ListFolder(search.base + "\\*.*", &VisitListedFile, &search);
}

BackupRow MakeBackupRow(FileSystem& files, const std::string& path, const FoundFile& found)
{
    BackupRow row;
    CalendarTime creation;
    const bool readable = GetFileTimes(files, path, &creation, nullptr, nullptr) != 0;
    row.date = FormatDate(creation);
    row.time = FormatTime(creation);
    row.size = readable ? std::to_string(found.size) : "-1";
    row.type = BackupTypeOfFileName(found.name);
    row.path = path;
    return row;
}

int CompareBackupSizeTexts(const std::string& first, const std::string& second)
{
    // Decimal digits without leading zeros order by their count first, then
    // digit by digit: no size is too large to compare.
    auto digits = [](const std::string& text, std::string* number) {
        if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
            return false;
        const std::size_t start = text.find_first_not_of('0');
        *number = start == std::string::npos ? std::string() : text.substr(start);
        return true;
    };
    std::string a;
    std::string b;
    const bool firstIsSize = digits(first, &a);
    const bool secondIsSize = digits(second, &b);
    if (firstIsSize != secondIsSize)
        return firstIsSize ? 1 : -1;
    if (!firstIsSize || a == b)
        return 0;
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a < b ? -1 : 1;
}

int SelectionAfterRefresh(int previousSelection, int newRowCount)
{
    if (previousSelection >= newRowCount - 1)
        previousSelection = newRowCount - 1;
    return previousSelection < 0 ? -1 : previousSelection;
}
