// The runs without a window (see CommandLineRun.h).
#include "app/CommandLineRun.h"

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/BackupRetention.h"
#include "core/BackupStore.h"
#include "core/CommandLineOutput.h"
#include "core/CsvReport.h"
#include "core/FlagList.h"
#include "core/IgnoreList.h"
#include "core/Language.h"
#include "core/RegReader.h"
#include "core/RegistryDiff.h"
#include "core/ScanTasks.h"
#include "core/SearchEngine.h"
#include "win32/IgnoreListSettings.h"
#include "win32/LanguageWin.h"
#include "win32/ProgramPaths.h"
#include "win32/RegeditBridge.h"
#include "win32/SettingsDocument.h"
#include "win32/Win32Handles.h"
#include "win32/Win32Platform.h"
#include "win32/WideText.h"

namespace {

// ------------------------------------------------------------------ output

// Where the texts of a run go: the caller's console when there is one, else
// (for the reason a run failed) the report's place.
class RunOutput {
public:
    explicit RunOutput(std::string reportPath) : reportPath_(std::move(reportPath)) {}

    bool HasConsole() { return Stream(STD_OUTPUT_HANDLE) || Console(); }

    // A text for whoever watches: on a console, or nowhere.
    void Tell(const std::string& text) { Write(STD_OUTPUT_HANDLE, text); }

    // The reason a run failed; gives exitCode back.
    int Fail(int exitCode, const std::string& reason)
    {
        if (!Write(STD_ERROR_HANDLE, reason))
            WriteInReportsPlace(reason);
        return exitCode;
    }

private:
    // A standard handle that the caller led to a file, a pipe or a console.
    static HANDLE Stream(DWORD which)
    {
        HANDLE handle = GetStdHandle(which);
        if (!handle || handle == INVALID_HANDLE_VALUE)
            return nullptr;
        const DWORD type = GetFileType(handle);
        return type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE || IsConsole(handle) ? handle : nullptr;
    }

    static bool IsConsole(HANDLE handle)
    {
        DWORD mode = 0;
        return GetFileType(handle) == FILE_TYPE_CHAR && GetConsoleMode(handle, &mode);
    }

    // The console of the parent process, attached at the first need.
    HANDLE Console()
    {
        if (!consoleTried_) {
            consoleTried_ = true;
            if (AttachConsole(ATTACH_PARENT_PROCESS) || GetLastError() == ERROR_ACCESS_DENIED)
                console_.Reset(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                           nullptr, OPEN_EXISTING, 0, nullptr));
        }
        return console_ ? console_.Get() : nullptr;
    }

    // The text and a line end; false when there is nowhere to show it. A
    // file or pipe gets the UTF-8 bytes; a console, whatever its code page,
    // is handed the characters.
    bool Write(DWORD which, const std::string& text)
    {
        const std::string line = text + "\r\n";
        if (HANDLE stream = Stream(which))
            return IsConsole(stream) ? WriteCharacters(stream, line) : WriteBytes(stream, line);
        HANDLE console = Console();
        if (!console)
            return false;
        return WriteCharacters(console, line) || WriteBytes(console, line);
    }

    static bool WriteCharacters(HANDLE console, const std::string& text)
    {
        const std::wstring wide = Widen(text);
        DWORD written = 0;
        return WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) &&
               written == wide.size();
    }

    static bool WriteBytes(HANDLE handle, const std::string& bytes)
    {
        DWORD written = 0;
        return WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               written == bytes.size();
    }

    void WriteInReportsPlace(const std::string& reason)
    {
        if (reportPath_.empty())
            return;
        std::unique_ptr<OutputFile> file = SystemPlatform().CreateOutputFile(reportPath_, false);
        if (file && !(file->Write(reason + "\r\n") && file->Close()))
            SystemPlatform().RemoveFile(reportPath_);
    }

    std::string reportPath_;
    bool consoleTried_ = false;
    UniqueHandle console_;
};

// True when the process runs in the window station a person sees: the one
// of an interactive session. A service, or a task that runs whether a user
// is logged on or not, gets a window station of its own that nobody sees.
bool InInteractiveWindowStation()
{
    USEROBJECTFLAGS flags = {};
    DWORD needed = 0;
    HWINSTA station = GetProcessWindowStation();
    return station && GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, &needed) &&
           (flags.dwFlags & WSF_VISIBLE) != 0;
}

std::string ReasonWithDetail(const std::string& reasonKey, const std::string& detail)
{
    const std::string reason = LookupText(reasonKey, true);
    return detail.empty() ? reason : reason + " " + detail;
}

std::string UsageText()
{
    std::string usage = LookupText(kCommandLineUsageKey, true);
    // Console lines end in CR LF.
    std::string text;
    for (char c : usage) {
        if (c == '\n' && (text.empty() || text.back() != '\r'))
            text += '\r';
        text += c;
    }
    return text;
}

// ------------------------------------------------------------------ settings

// The flags of the "custom" attribute of a settings element, else of its
// "default" one; all off when neither holds a list.
std::vector<bool> StoredFlags(const char* elementPath, std::size_t count)
{
    std::vector<bool> flags(count, false);
    if (!DecodeFlagList(ReadSettings({elementPath}, "custom").front(), flags))
        DecodeFlagList(ReadSettings({elementPath}, "default").front(), flags);
    return flags;
}

std::vector<std::string> ReportHeaders(bool withCheckColumn)
{
    std::vector<std::string> headers;
    for (std::size_t column = withCheckColumn ? 0 : 1; column < 5; ++column)
        headers.push_back(LookupText(kCsvReportColumnKeys[column]));
    return headers;
}

// What the scan's and the search's sinks write to.
struct ReportFeed {
    TextRules& textRules;
    const PreparedIgnoreList& ignored;
    CsvReportWriter& writer;
    std::atomic<bool>& stop;   // set once writing failed: the rest is wasted
    int check = 0;             // the check running; 0 in a search

    void Add(const RegistryItem& row)
    {
        if (stop.load() || IsIgnored(textRules, ignored, row))
            return;
        std::vector<std::string> fields = ReportFields(row);
        if (check > 0)
            fields.insert(fields.begin(), std::to_string(check));
        if (!writer.AddRow(fields))
            stop = true;
    }

    static void AddFinding(const RegistryItem& row, bool, void* feed) { static_cast<ReportFeed*>(feed)->Add(row); }
    static void AddHit(const RegistryItem& row, void* feed) { static_cast<ReportFeed*>(feed)->Add(row); }
};

std::string ReportNotWritten(const std::string& path)
{
    return FormatTextWithString(LookupText("_CommandLineReportNotWritten"), path);
}

// Runs the work into a report under the headers, and gives the exit code.
template <typename Work>
int WriteReport(RunOutput& output, const std::string& path, bool withCheckColumn, Work work)
{
    Platform& platform = SystemPlatform();
    const PreparedIgnoreList ignored = PrepareIgnoreList(platform, ReadIgnoreList(SettingsFilePath()).entries);
    CsvReportWriter writer(platform);
    // The report is made first, so that a place it cannot go is told before
    // a long run, not after it.
    if (writer.Open(path, ReportHeaders(withCheckColumn)) != CsvReportStatus::Written)
        return output.Fail(kExitRunFailed, ReportNotWritten(path));
    std::atomic<bool> stop(false);
    ReportFeed feed{platform, ignored, writer, stop};
    work(feed);
    const std::size_t rows = writer.RowCount();
    if (writer.Finish() != CsvReportStatus::Written)
        return output.Fail(kExitRunFailed, ReportNotWritten(path));
    return rows > 0 ? kExitSomethingFound : kExitNothingFound;
}

// ------------------------------------------------------------------ runs

int RunScan(const CommandLineRequest& request, RunOutput& output)
{
    std::vector<int> tasks = request.tasks;
    if (tasks.empty()) {
        const std::vector<bool> ticked = StoredFlags(kTaskListElement, kScanTaskCount);
        for (std::size_t task = 0; task < ticked.size(); ++task)
            if (ticked[task])
                tasks.push_back(static_cast<int>(task) + 1);
    }
    // A scan of no check would read as a clean registry.
    if (tasks.empty())
        return output.Fail(kExitBadCommandLine, LookupText("_CommandLineErrorNoTasks", true));

    return WriteReport(output, request.reportPath, true, [&](ReportFeed& feed) {
        const FindingSink sink{&ReportFeed::AddFinding, nullptr, &feed};
        ScanCache cache;   // the file answers of this scan, shared by its tasks
        for (int task : tasks) {
            if (feed.stop.load())
                return;
            feed.check = task;
            RunScanTask(SystemPlatform(), task, sink, &feed.stop, &cache);
        }
    });
}

int RunSearch(const CommandLineRequest& request, RunOutput& output)
{
    SearchOptions options = request.search;
    if (!request.searchOptionsGiven) {
        const std::vector<bool> flags = StoredFlags(kSearchOptionsElement, 6);
        options.includeKeyNames = flags[0];
        options.includeValueNames = flags[1];
        options.includeValueData = flags[2];
        options.useWildcard = flags[3];
        options.fullWordMatch = flags[4];
        options.caseSensitive = flags[5];
        if (!options.includeKeyNames && !options.includeValueNames && !options.includeValueData)
            return output.Fail(kExitBadCommandLine, LookupText("_CommandLineErrorNoSearchParts", true));
    }
    if (!request.searchRootsGiven) {
        const std::vector<bool> flags = StoredFlags(kSearchRangeElement, 5);
        options.searchHKCR = flags[0];
        options.searchHKCU = flags[1];
        options.searchHKLM = flags[2];
        options.searchHKU = flags[3];
        options.searchHKCC = flags[4];
        if (!options.searchHKCR && !options.searchHKCU && !options.searchHKLM && !options.searchHKU &&
            !options.searchHKCC)
            return output.Fail(kExitBadCommandLine, LookupText("_CommandLineErrorNoRoots", true));
    }

    return WriteReport(output, request.reportPath, false, [&](ReportFeed& feed) {
        Platform& platform = SystemPlatform();
        const SearchSink sink{&ReportFeed::AddHit, nullptr, &feed};
        SearchRegistry(platform, platform, options, sink, LookupText("_PageRegistrySearchKeyFlagString"),
                       &feed.stop);
    });
}

// The differences between a REG file and the registry, as the backup page's
// "Changes since..." lists them. A backup of the backup folder is taken by its
// kind (a full backup holds its roots whole); any other file holds whole only
// the keys it saved whole.
int RunDiff(const CommandLineRequest& request, RunOutput& output)
{
    Platform& platform = SystemPlatform();
    std::string bytes;
    const RegFileContent content =
        ReadFileBytes(request.diffPath, &bytes) ? ReadRegFileJoined(platform, std::move(bytes)) : RegFileContent();
    // A file that is no REG file would read as an empty backup: everything
    // held whole in it, nothing, would be no difference.
    if (content.format == RegFileFormat::kUnknown)
        return output.Fail(kExitRunFailed,
                           FormatTextWithString(LookupText("_CommandLineDiffNotRead"), request.diffPath));
    wchar_t full[MAX_PATH * 4] = {};
    const DWORD length = GetFullPathNameW(Widen(request.diffPath).c_str(), MAX_PATH * 4, full, nullptr);
    const std::string fullPath = length > 0 && length < MAX_PATH * 4 ? Narrow(full, length) : request.diffPath;
    const DiffScope scope = DiffScopeOfPath(platform, fullPath, ProgramFolder() + kBackupFolderBelowProgram,
                                            LookupText("_PageRegistryBackupType1"));
    const DiffOutcome outcome = CompareWithRegistry(platform, content, scope, nullptr, nullptr, nullptr);

    std::vector<std::string> headers;
    for (const char* key : kDiffColumnKeys)
        headers.push_back(LookupText(key));
    const DiffTexts texts{LookupText(kDiffKindKeys[0]), LookupText(kDiffKindKeys[1]), LookupText(kDiffKindKeys[2])};
    if (WriteDiffCsvReport(platform, request.reportPath, headers, outcome.entries, texts) != CsvReportStatus::Written)
        return output.Fail(kExitRunFailed, ReportNotWritten(request.reportPath));
    output.Tell(FormatTextWithNumber(LookupText("_PageRegistryDiffFound1"), static_cast<long long>(outcome.entries.size())));
    return outcome.entries.empty() ? kExitNothingFound : kExitSomethingFound;
}

// A whole-registry backup as the backup page's "Back Up Now" makes it, then
// the older whole-registry backups beyond the newest `keep`.
int RunBackup(const CommandLineRequest& request, RunOutput& output)
{
    Platform& platform = SystemPlatform();
    const std::string folder = ProgramFolder() + kBackupFolderBelowProgram;
    const std::string typeText = LookupText("_PageRegistryBackupType1");
    const std::string path = MakeUniqueBackupPath(platform, platform, platform, folder, typeText);
    bool written = false;
    if (!path.empty()) {
        platform.MakeDirectoryPath(folder);
        written = RunRegeditBackup(std::string(), path, ProgramFolder() + kRegeditBelowProgram);
    }
    // Older backups are thinned out only in favour of one that was written
    // whole: after a failed export they may be the only good ones left.
    if (!written) {
        // What the editor left under the new name is no backup: it would be
        // offered for a restore and ranked among the backups kept.
        if (!path.empty())
            platform.RemoveFile(path);
        return output.Fail(kExitRunFailed,
                           FormatTextWithString(LookupText("_PageRegistryBackupState6"), path.empty() ? folder : path));
    }
    output.Tell(FormatTextWithString(LookupText("_PageRegistryBackupState3"), path));

    if (request.keepBackups <= 0)
        return kExitNothingFound;
    const BackupRemoval removal = RemoveSurplusBackups(platform, platform, platform, folder, typeText,
                                                       static_cast<std::size_t>(request.keepBackups), path);
    if (removal.failed.empty())
        return kExitNothingFound;
    std::string reason = LookupText("_CommandLineBackupsNotRemoved", true);
    for (const std::string& failed : removal.failed)
        reason += "\r\n" + failed;
    return output.Fail(kExitRunFailed, reason);
}

} // namespace

int RunCommandLine(const CommandLineRequest& request, const std::string& commandLine, const char* refusalKey)
{
    RunOutput output(request.action == CommandAction::Invalid ? RefusalReportPath(SystemPlatform(), commandLine)
                                                              : request.reportPath);
    switch (request.action) {
    case CommandAction::Usage:
        switch (PlaceOfUsage(output.HasConsole(), InInteractiveWindowStation())) {
        case UsagePlace::kConsole:
            output.Tell(UsageText());
            break;
        case UsagePlace::kMessageBox:
            ShowMessage(nullptr, LookupText(kCommandLineUsageKey, true), MB_OK | MB_ICONINFORMATION);
            break;
        case UsagePlace::kNowhere:
            break;
        }
        return kExitNothingFound;
    case CommandAction::Invalid:
        // Never a message box: a scheduled task would wait for it forever.
        return output.Fail(kExitBadCommandLine,
                           ReasonWithDetail(request.errorKey, request.errorDetail) + "\r\n\r\n" + UsageText());
    default:
        break;
    }
    if (refusalKey)
        return output.Fail(kExitRunFailed, LookupText(refusalKey, true));
    switch (request.action) {
    case CommandAction::Scan:
        return RunScan(request, output);
    case CommandAction::Search:
        return RunSearch(request, output);
    case CommandAction::Backup:
        return RunBackup(request, output);
    case CommandAction::Diff:
        return RunDiff(request, output);
    default:
        return kExitBadCommandLine;
    }
}
