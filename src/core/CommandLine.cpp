// The program's command line (see CommandLine.h).
#include "core/CommandLine.h"

#include <algorithm>
#include <cstddef>

#include "core/Text.h"
#include "core/ScanTasks.h"

namespace {

// Reasons an argument is refused (language keys).
constexpr const char* kErrorUnknown = "_CommandLineErrorUnknown";
constexpr const char* kErrorTwice = "_CommandLineErrorTwice";
constexpr const char* kErrorNoValue = "_CommandLineErrorNoValue";
constexpr const char* kErrorValueNotAllowed = "_CommandLineErrorValueNotAllowed";
constexpr const char* kErrorTwoActions = "_CommandLineErrorTwoActions";
constexpr const char* kErrorNoAction = "_CommandLineErrorNoAction";
constexpr const char* kErrorWrongAction = "_CommandLineErrorWrongAction";
constexpr const char* kErrorNoReport = "_CommandLineErrorNoReport";
constexpr const char* kErrorTasks = "_CommandLineErrorTasks";
constexpr const char* kErrorRoots = "_CommandLineErrorRoots";
constexpr const char* kErrorKeep = "_CommandLineErrorKeep";
constexpr const char* kErrorKeywordTooLong = "_CommandLineErrorKeywordTooLong";
constexpr const char* kErrorNothingToLookAt = "_CommandLineErrorNothingToLookAt";
constexpr const char* kErrorPage = "_CommandLineErrorPage";

// The largest number /keep takes: far more backups than a disk holds.
constexpr int kMaxKeep = 999999;

enum class Switch {
    Usage, Scan, Search, Backup, Diff, Page,          // the actions
    Tasks, Report, Keys, Values, Data, Wildcard, Whole, Case, Roots, Keep,
};

struct SwitchRule {
    const char* name;   // lower case, without the slash
    Switch kind;
    bool takesValue;
};

constexpr SwitchRule kSwitches[] = {
    {"?", Switch::Usage, false},        {"scan", Switch::Scan, false},
    {"search", Switch::Search, true},   {"backup", Switch::Backup, false},
    {"tasks", Switch::Tasks, true},     {"report", Switch::Report, true},
    {"keys", Switch::Keys, false},      {"values", Switch::Values, false},
    {"data", Switch::Data, false},      {"wildcard", Switch::Wildcard, false},
    {"whole", Switch::Whole, false},    {"case", Switch::Case, false},
    {"roots", Switch::Roots, true},     {"keep", Switch::Keep, true},
    {"diff", Switch::Diff, true},       {"page", Switch::Page, true},
};

// The names "/page:" takes, lower case, with their pages.
struct PageName {
    const char* name;
    OpeningPage page;
};
constexpr PageName kPageNames[] = {
    {"cleaner", OpeningPage::Cleaner}, {"search", OpeningPage::Search}, {"backup", OpeningPage::Backup},
};

bool IsAction(Switch kind)
{
    return kind == Switch::Usage || kind == Switch::Scan || kind == Switch::Search || kind == Switch::Backup ||
           kind == Switch::Diff || kind == Switch::Page;
}

CommandAction ActionOf(Switch kind)
{
    switch (kind) {
    case Switch::Usage: return CommandAction::Usage;
    case Switch::Scan: return CommandAction::Scan;
    case Switch::Search: return CommandAction::Search;
    case Switch::Diff: return CommandAction::Diff;
    case Switch::Page: return CommandAction::Window;
    default: return CommandAction::Backup;
    }
}

// True when the switch may go with the action.
bool BelongsTo(Switch kind, CommandAction action)
{
    switch (kind) {
    case Switch::Tasks: return action == CommandAction::Scan;
    case Switch::Report:
        return action == CommandAction::Scan || action == CommandAction::Search || action == CommandAction::Diff;
    case Switch::Keep: return action == CommandAction::Backup;
    default: return action == CommandAction::Search; // the search options and /roots
    }
}

struct GivenSwitch {
    Switch kind;
    std::string argument;   // the whole argument, as given
    std::string value;      // after the first colon
};

CommandLineRequest Refuse(const char* reasonKey, const std::string& detail)
{
    CommandLineRequest request;
    request.action = CommandAction::Invalid;
    request.errorKey = reasonKey;
    request.errorDetail = detail;
    return request;
}

// A whole number of decimal digits only, at most `limit`; false for anything
// else (signs, blanks, an empty text).
bool ReadNumber(const std::string& text, int limit, int* number)
{
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const int read = std::stoi(text);
    if (read > limit)
        return false;
    *number = read;
    return true;
}

// The pieces between commas, empty ones included.
std::vector<std::string> CommaPieces(const std::string& text)
{
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        pieces.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos)
            return pieces;
        start = comma + 1;
    }
}

bool ReadTasks(const std::string& text, std::vector<int>* tasks)
{
    for (const std::string& piece : CommaPieces(text)) {
        int number = 0;
        if (!ReadNumber(piece, kScanTaskCount, &number) || number < 1 ||
            std::find(tasks->begin(), tasks->end(), number) != tasks->end())
            return false;
        tasks->push_back(number);
    }
    std::sort(tasks->begin(), tasks->end());
    return true;
}

bool ReadRoots(TextRules& textRules, const std::string& text, SearchOptions* options)
{
    struct RootRule {
        const char* name;
        bool SearchOptions::*flag;
    };
    static const RootRule kRoots[] = {
        {"HKCR", &SearchOptions::searchHKCR}, {"HKCU", &SearchOptions::searchHKCU},
        {"HKLM", &SearchOptions::searchHKLM}, {"HKU", &SearchOptions::searchHKU},
        {"HKCC", &SearchOptions::searchHKCC},
    };
    for (std::string piece : CommaPieces(text)) {
        textRules.UpperText(piece);
        const auto rule = std::find_if(std::begin(kRoots), std::end(kRoots),
                                       [&](const RootRule& root) { return piece == root.name; });
        if (rule == std::end(kRoots) || options->*(rule->flag))
            return false;
        options->*(rule->flag) = true;
    }
    return true;
}

bool ReadPage(TextRules& textRules, std::string text, OpeningPage* page)
{
    textRules.LowerText(text);
    const auto known = std::find_if(std::begin(kPageNames), std::end(kPageNames),
                                    [&](const PageName& name) { return text == name.name; });
    if (known == std::end(kPageNames))
        return false;
    *page = known->page;
    return true;
}

} // namespace

std::string OpeningPageArguments(OpeningPage page)
{
    const auto known = std::find_if(std::begin(kPageNames), std::end(kPageNames),
                                    [&](const PageName& name) { return name.page == page; });
    return std::string("/page:") + (known == std::end(kPageNames) ? "cleaner" : known->name);
}

std::vector<std::string> SplitCommandLine(const std::string& commandLine)
{
    std::vector<std::string> arguments;
    const std::string& text = commandLine;
    std::size_t i = 0;
    for (;;) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        if (i >= text.size())
            return arguments;

        std::string argument;
        bool quoted = false;
        while (i < text.size()) {
            const char c = text[i];
            if (!quoted && (c == ' ' || c == '\t'))
                break;
            if (c == '\\') {
                std::size_t run = 0;
                while (i < text.size() && text[i] == '\\') {
                    ++run;
                    ++i;
                }
                if (i < text.size() && text[i] == '"') {
                    argument.append(run / 2, '\\');
                    if (run % 2 == 1) {
                        argument += '"';
                        ++i;
                    }
                } else {
                    argument.append(run, '\\');
                }
                continue;
            }
            if (c == '"') {
                if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
                    argument += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
                continue;
            }
            const std::size_t next = NextCharIndex(text, i);
            argument.append(text, i, next - i);
            i = next;
        }
        arguments.push_back(argument);
    }
}

CommandLineRequest ParseCommandLine(TextRules& textRules, const std::string& commandLine)
{
    const std::vector<std::string> arguments = SplitCommandLine(commandLine);
    CommandLineRequest request;
    if (arguments.empty())
        return request;

    // Every argument is a known switch, given once, with a value exactly
    // when it takes one.
    std::vector<GivenSwitch> given;
    bool actionGiven = false;
    for (const std::string& argument : arguments) {
        if (argument.size() < 2 || argument[0] != '/')
            return Refuse(kErrorUnknown, argument);
        const std::size_t colon = FindChar(argument, ':');
        std::string name = argument.substr(1, colon == std::string::npos ? std::string::npos : colon - 1);
        textRules.LowerText(name);
        const auto rule = std::find_if(std::begin(kSwitches), std::end(kSwitches),
                                       [&](const SwitchRule& known) { return name == known.name; });
        if (rule == std::end(kSwitches))
            return Refuse(kErrorUnknown, argument);
        const std::string value = colon == std::string::npos ? std::string() : argument.substr(colon + 1);
        if (rule->takesValue && value.empty())
            return Refuse(kErrorNoValue, argument);
        if (!rule->takesValue && colon != std::string::npos)
            return Refuse(kErrorValueNotAllowed, argument);
        const bool repeated = std::any_of(given.begin(), given.end(),
                                          [&](const GivenSwitch& earlier) { return earlier.kind == rule->kind; });
        if (repeated)
            return Refuse(kErrorTwice, argument);
        if (IsAction(rule->kind) && actionGiven)
            return Refuse(kErrorTwoActions, argument);
        actionGiven = actionGiven || IsAction(rule->kind);
        given.push_back({rule->kind, argument, value});
    }
    if (!actionGiven)
        return Refuse(kErrorNoAction, std::string());
    const GivenSwitch& chosen =
        *std::find_if(given.begin(), given.end(), [](const GivenSwitch& item) { return IsAction(item.kind); });
    request.action = ActionOf(chosen.kind);
    if (chosen.kind == Switch::Page) {
        if (!ReadPage(textRules, chosen.value, &request.openingPage))
            return Refuse(kErrorPage, chosen.argument);
        request.openingPageGiven = true;
    }

    for (const GivenSwitch& item : given) {
        if (IsAction(item.kind))
            continue;
        if (!BelongsTo(item.kind, request.action))
            return Refuse(kErrorWrongAction, item.argument);
        switch (item.kind) {
        case Switch::Tasks:
            if (!ReadTasks(item.value, &request.tasks))
                return Refuse(kErrorTasks, item.argument);
            break;
        case Switch::Report:
            request.reportPath = item.value;
            break;
        case Switch::Keep:
            if (!ReadNumber(item.value, kMaxKeep, &request.keepBackups) || request.keepBackups < 1)
                return Refuse(kErrorKeep, item.argument);
            break;
        case Switch::Roots:
            if (!ReadRoots(textRules, item.value, &request.search))
                return Refuse(kErrorRoots, item.argument);
            request.searchRootsGiven = true;
            break;
        default:
            request.searchOptionsGiven = true;
            request.search.includeKeyNames |= item.kind == Switch::Keys;
            request.search.includeValueNames |= item.kind == Switch::Values;
            request.search.includeValueData |= item.kind == Switch::Data;
            request.search.useWildcard |= item.kind == Switch::Wildcard;
            request.search.fullWordMatch |= item.kind == Switch::Whole;
            request.search.caseSensitive |= item.kind == Switch::Case;
            break;
        }
    }

    if (request.action == CommandAction::Search) {
        request.search.keyword = chosen.value;
        if (request.search.keyword.size() > kMaxKeywordLength)
            return Refuse(kErrorKeywordTooLong, std::string());
        if (request.searchOptionsGiven && !request.search.includeKeyNames && !request.search.includeValueNames &&
            !request.search.includeValueData)
            return Refuse(kErrorNothingToLookAt, std::string());
    }
    if (request.action == CommandAction::Diff)
        request.diffPath = chosen.value;
    if ((request.action == CommandAction::Scan || request.action == CommandAction::Search ||
         request.action == CommandAction::Diff) &&
        request.reportPath.empty())
        return Refuse(kErrorNoReport, std::string());
    return request;
}
