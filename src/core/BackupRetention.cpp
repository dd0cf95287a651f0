// Keeping only the newest whole-registry backups (see BackupRetention.h).
#include "core/BackupRetention.h"

#include <algorithm>
#include <tuple>

#include "core/Text.h"
#include "core/BackupStore.h"

namespace {

// The largest counter the program puts into a name, and its digits.
constexpr int kMaxCounter = 100000;
constexpr std::size_t kMaxCounterDigits = 6;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// `count` digits at `at` as a number; false when any is no digit.
bool ReadDigits(const std::string& text, std::size_t at, std::size_t count, int* number)
{
    if (at + count > text.size())
        return false;
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (!IsDigit(text[i]))
            return false;
        value = value * 10 + (text[i] - '0');
    }
    *number = value;
    return true;
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool IsRealMoment(const CalendarTime& time)
{
    static const int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (time.month < 1 || time.month > 12 || time.day < 1)
        return false;
    const int days = kDaysInMonth[time.month - 1] + (time.month == 2 && IsLeapYear(time.year) ? 1 : 0);
    return time.day <= days && time.hour <= 23 && time.minute <= 59 && time.second <= 59;
}

bool EndsWithRegExtension(const std::string& text)
{
    if (text.size() < 4)
        return false;
    std::string ending = text.substr(text.size() - 4);
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return ending == ".reg";
}

auto MomentKey(const CalendarTime& t)
{
    return std::make_tuple(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

auto SortKey(const BackupName& name)
{
    return std::make_tuple(MomentKey(name.time), name.counter);
}

} // namespace

bool ParseBackupFileName(const std::string& fileName, BackupName* name)
{
    // "YYYY-MM-DD HH-MM-SS": 19 characters at fixed places.
    BackupName read;
    CalendarTime& t = read.time;
    if (fileName.size() < 19 || !ReadDigits(fileName, 0, 4, &t.year) || fileName[4] != '-' ||
        !ReadDigits(fileName, 5, 2, &t.month) || fileName[7] != '-' || !ReadDigits(fileName, 8, 2, &t.day) ||
        fileName[10] != ' ' || !ReadDigits(fileName, 11, 2, &t.hour) || fileName[13] != '-' ||
        !ReadDigits(fileName, 14, 2, &t.minute) || fileName[16] != '-' || !ReadDigits(fileName, 17, 2, &t.second) ||
        !IsRealMoment(t))
        return false;

    std::size_t at = 19;
    if (at < fileName.size() && fileName[at] == ' ') {
        ++at;
        std::size_t digits = 0;
        while (at + digits < fileName.size() && IsDigit(fileName[at + digits]))
            ++digits;
        if (digits == 0 || digits > kMaxCounterDigits || fileName[at] == '0' ||
            !ReadDigits(fileName, at, digits, &read.counter) || read.counter < 2 || read.counter > kMaxCounter)
            return false;
        at += digits;
    }

    // "(Type).reg" and nothing more.
    if (at >= fileName.size() || fileName[at] != '(' || !EndsWithRegExtension(fileName))
        return false;
    const std::size_t close = fileName.size() - 5;
    if (close <= at + 1 || fileName[close] != ')')
        return false;
    read.typeText = fileName.substr(at + 1, close - at - 1);
    if (read.typeText.find_first_of("()") != std::string::npos)
        return false;
    *name = read;
    return true;
}

namespace {

// The indices into fileNames of the backups to remove, ascending.
std::vector<std::size_t> SurplusIndices(TextRules& textRules, const std::vector<std::string>& fileNames,
                                        const std::string& wholeTypeText, std::size_t keep,
                                        const CalendarTime& now, const std::string& keptName)
{
    std::vector<std::size_t> indices;
    if (keep == 0 || wholeTypeText.empty())
        return indices;
    // A full path names the same file as its name.
    const std::size_t slash = FindLastChar(keptName, '\\');
    std::string kept = slash == std::string::npos ? keptName : keptName.substr(slash + 1);
    textRules.UpperText(kept);

    struct Candidate {
        std::size_t index;
        bool justWritten;
        bool datedAhead;   // the name is later than now
        BackupName name;
    };
    std::vector<Candidate> whole;
    for (std::size_t i = 0; i < fileNames.size(); ++i) {
        BackupName name;
        if (!ParseBackupFileName(fileNames[i], &name) || name.typeText != wholeTypeText)
            continue;
        std::string upper = fileNames[i];
        textRules.UpperText(upper);
        whole.push_back({i, !kept.empty() && upper == kept, MomentKey(name.time) > MomentKey(now), name});
    }
    if (whole.size() <= keep)
        return indices;

    // Newest first: the file just written, then the names dated no later
    // than now by their moment, then the names dated ahead.
    std::sort(whole.begin(), whole.end(), [](const Candidate& a, const Candidate& b) {
        if (a.justWritten != b.justWritten)
            return a.justWritten;
        if (a.datedAhead != b.datedAhead)
            return b.datedAhead;
        return SortKey(a.name) > SortKey(b.name);
    });
    for (std::size_t i = keep; i < whole.size(); ++i)
        indices.push_back(whole[i].index);
    std::sort(indices.begin(), indices.end());
    return indices;
}

// The backup files of a folder listing, by name and full path.
struct ListedBackups {
    std::vector<std::string> names;
    std::vector<std::string> paths;
};

void CollectListedBackup(const std::string& path, const std::string&, const FoundFile& found, void* context)
{
    auto* listed = static_cast<ListedBackups*>(context);
    listed->names.push_back(found.name);
    listed->paths.push_back(path);
}

} // namespace

std::vector<std::string> BackupsToRemove(TextRules& textRules, const std::vector<std::string>& fileNames,
                                         const std::string& wholeTypeText, std::size_t keep,
                                         const CalendarTime& now, const std::string& keptName)
{
    std::vector<std::string> removals;
    for (std::size_t index : SurplusIndices(textRules, fileNames, wholeTypeText, keep, now, keptName))
        removals.push_back(fileNames[index]);
    return removals;
}

BackupRemoval RemoveSurplusBackups(FileSystem& files, TextRules& textRules, Environment& clock,
                                   const std::string& folder,
                                   const std::string& wholeTypeText, std::size_t keep,
                                   const std::string& keptName)
{
    ListedBackups listed;
    FindFiles(files, textRules, folder, {{kBackupFilePattern, ""}}, CollectListedBackup, &listed);
    std::vector<std::string>& names = listed.names;
    std::vector<std::string>& paths = listed.paths;

    BackupRemoval removal;
    const CalendarTime now = clock.CurrentLocalTime();
    for (std::size_t index : SurplusIndices(textRules, names, wholeTypeText, keep, now, keptName)) {
        if (files.RemoveFile(paths[index]))
            removal.removed.push_back(paths[index]);
        else
            removal.failed.push_back(paths[index]);
    }
    return removal;
}
