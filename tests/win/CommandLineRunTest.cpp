// The runs without a window of the real program, started from a copy of the
// program folder as a script or the Task Scheduler starts it: scans and
// searches against planted entries into CSV reports, the ignore list and the
// settings they read, whole-registry backups with older ones thinned out,
// the usage, and the exit codes and reasons of runs that cannot be done.
#include "GuiDriver.h"
#include "ProgramRun.h"
#include "RegistryScratch.h"
#include "ScanPlant.h"

#include "core/CommandLine.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char kRunOnce[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kCurrentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion\\";

constexpr DWORD kBackupTimeoutMs = 180000;

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(Widen(folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(NarrowZ(data.cFileName));
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

// The lines of a report, without their CR LF; a line not ended by CR LF is
// kept with a mark, so that it fails any comparison.
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + "<no CR LF>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The lines that mention `text`, in report order.
std::vector<std::string> LinesWith(const std::string& report, const std::string& text)
{
    std::vector<std::string> found;
    for (const std::string& line : Lines(report))
        if (line.find(text) != std::string::npos)
            found.push_back(line);
    return found;
}

// The program started without a console in a window station of its own,
// which nobody sees, as a service or a task run in the background starts
// it. Ends it after the timeout; ended tells whether it ended by itself.
struct BackgroundRun {
    bool started = false;
    bool ended = false;
    DWORD exitCode = 99;
};

BackgroundRun RunInBackgroundStation(const std::string& program, const std::string& arguments)
{
    BackgroundRun run;
    HWINSTA own = GetProcessWindowStation();
    const std::wstring stationName = Widen("QvBackground" + UniqueScratchName());
    HWINSTA station = CreateWindowStationW(stationName.c_str(), 0, WINSTA_ALL_ACCESS, nullptr);
    if (!station)
        return run;
    HDESK desktop = nullptr;
    if (SetProcessWindowStation(station)) {
        desktop = CreateDesktopW(L"Default", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        SetProcessWindowStation(own);
    }
    std::wstring desktopName = stationName + L"\\Default";
    std::wstring commandLine = Widen("\"" + program + "\" " + arguments);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.lpDesktop = &desktopName[0];
    PROCESS_INFORMATION created = {};
    if (desktop && CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                                  nullptr, &startup, &created)) {
        run.started = true;
        run.ended = WaitForSingleObject(created.hProcess, 30000) == WAIT_OBJECT_0;
        if (!run.ended) {
            TerminateProcess(created.hProcess, 99);
            WaitForSingleObject(created.hProcess, 10000);
        }
        GetExitCodeProcess(created.hProcess, &run.exitCode);
        CloseHandle(created.hThread);
        CloseHandle(created.hProcess);
    }
    if (desktop)
        CloseDesktop(desktop);
    CloseWindowStation(station);
    return run;
}

class CommandLineRunTest : public ::testing::Test {
protected:
    CommandLineRunTest()
        : copy_("command-line"), folder_("C:\\"), unique_("QvLine" + UniqueScratchName() + "x")
    {
        gone_ = DeletedFilePath(folder_.Path(), "gone.exe");
    }

    void SetUp() override
    {
        ASSERT_TRUE(folder_.IsCreated());
        ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Widen(gone_).c_str()));
    }

    ProgramRun Run(const std::string& arguments, RunConsole console = RunConsole::None,
                   DWORD timeoutMs = 60000)
    {
        ProgramRun run = RunProgram(copy_.Program(), arguments, console, timeoutMs);
        EXPECT_TRUE(run.started);
        EXPECT_TRUE(run.ended) << "the run did not end: " << arguments;
        EXPECT_FALSE(run.showedWindow) << "the run showed a window: " << arguments;
        return run;
    }

    std::string Report(const std::string& name) const { return folder_.Path() + name; }
    std::string Text(const char* key) const { return LanguageFileText(copy_, key); }
    std::string BackupFolder() const { return copy_.File("Data\\Quorvane\\Backup\\"); }

    // The report's first line: the UTF-8 byte-order mark and the headers.
    std::string Header(bool withCheck) const
    {
        std::string header = "\xEF\xBB\xBF";
        if (withCheck)
            header += Text("_CsvReportCol1") + ",";
        return header + Text("_CsvReportCol2") + "," + Text("_CsvReportCol3") + "," + Text("_CsvReportCol4") +
               "," + Text("_CsvReportCol5");
    }

    // Rewrites the copy's config.xml: the ticked checks and the entries of
    // the ignore list (each an <entry .../> element).
    void Configure(const std::string& tickedChecks, const std::vector<std::string>& ignoreEntries)
    {
        std::string config = ReadWholeFile(copy_.File("config.xml"));
        const std::string tasks = "<cleanersearchtasklist custom=\"";
        const std::size_t at = config.find(tasks);
        ASSERT_NE(std::string::npos, at);
        config.replace(at + tasks.size(), config.find('"', at + tasks.size()) - at - tasks.size(), tickedChecks);
        std::string list = "<ignorelist>";
        for (const std::string& entry : ignoreEntries)
            list += "\r\n      " + entry;
        list += "\r\n    </ignorelist>";
        const std::size_t empty = config.find("<ignorelist/>");
        ASSERT_NE(std::string::npos, empty);
        config.replace(empty, std::string("<ignorelist/>").size(), list);
        ASSERT_TRUE(WriteWholeFile(copy_.File("config.xml"), config));
    }

    static std::string IgnoreKey(const std::string& root, const std::string& key)
    {
        return "<entry root=\"" + root + "\" key=\"" + key + "\"/>";
    }
    static std::string IgnoreValue(const std::string& root, const std::string& key, const std::string& value)
    {
        return "<entry root=\"" + root + "\" key=\"" + key + "\" value=\"" + value + "\"/>";
    }

    ProgramCopy copy_;
    ScratchFolder folder_;
    std::string unique_;
    std::string gone_;
    RegistryPlanter plant_;
};

} // namespace

// ---------------------------------------------------------------- scans

TEST_F(CommandLineRunTest, ScanReportsPlantedFindingsWithTheirCheckAndSkipsIgnoredOnes)
{
    ASSERT_TRUE(plant_.String(HKEY_CURRENT_USER, kRunOnce, unique_ + "Gone", "\"" + gone_ + "\" /min"));
    ASSERT_TRUE(plant_.String(HKEY_CURRENT_USER, kRunOnce, unique_ + "Ignored", gone_));
    Configure("1,0,0,1,1,0,0,1,0,0,0", {IgnoreValue("HKEY_CURRENT_USER", kRunOnce, unique_ + "Ignored")});

    const std::string report = Report("scan.csv");
    const ProgramRun run = Run("/scan /tasks:11 /report:\"" + report + "\"");
    EXPECT_EQ(static_cast<DWORD>(kExitSomethingFound), run.exitCode);

    const std::string text = ReadWholeFile(report);
    ASSERT_FALSE(Lines(text).empty());
    EXPECT_EQ(Header(true), Lines(text).front());
    // The data holds double quotes, so the field is quoted with them doubled.
    EXPECT_EQ(std::vector<std::string>({"11,HKEY_CURRENT_USER," + std::string(kRunOnce) + "," + unique_ +
                                        "Gone,\"\"\"" + gone_ + "\"\" /min\""}),
              LinesWith(text, unique_));
    // Only check 11 ran: every row names it.
    for (std::size_t line = 1; line < Lines(text).size(); ++line)
        EXPECT_EQ(0u, Lines(text)[line].find("11,")) << Lines(text)[line];
}

TEST_F(CommandLineRunTest, ScanOfTheTickedChecksWithAllTheyReadIgnoredFindsNothing)
{
    ASSERT_TRUE(plant_.String(HKEY_CURRENT_USER, kRunOnce, unique_ + "Gone", gone_));
    // Check 11 alone is ticked; every key it reads is on the ignore list, so
    // even entries other tests plant meanwhile are never reported.
    std::vector<std::string> ignored;
    for (const char* run : {"Run", "RunOnce", "RunServices", "RunServicesOnce"})
        ignored.push_back(IgnoreKey("HKEY_LOCAL_MACHINE", std::string(kCurrentVersion) + run));
    for (const char* run : {"Run", "RunOnce"})
        ignored.push_back(IgnoreKey("HKEY_CURRENT_USER", std::string(kCurrentVersion) + run));
    Configure("0,0,0,0,0,0,0,0,0,0,1", ignored);

    const std::string report = Report("clean.csv");
    const ProgramRun run = Run("/scan /report:" + report);
    EXPECT_EQ(static_cast<DWORD>(kExitNothingFound), run.exitCode);
    EXPECT_EQ(Header(true) + "\r\n", ReadWholeFile(report));
}

TEST_F(CommandLineRunTest, ScanWithNoCheckTickedIsRefusedWithTheReasonInTheReportsPlace)
{
    Configure("0,0,0,0,0,0,0,0,0,0,0", {});
    const std::string report = Report("none.csv");
    const ProgramRun run = Run("/scan /report:" + report);
    EXPECT_EQ(static_cast<DWORD>(kExitBadCommandLine), run.exitCode);
    EXPECT_EQ(Text("_CommandLineErrorNoTasks") + "\r\n", ReadWholeFile(report));
}

// ---------------------------------------------------------------- searches

TEST_F(CommandLineRunTest, SearchReportsPlantedHitsUnderItsOptionsAndSkipsIgnoredKeys)
{
    // The search walks the subkeys of a key by their index, so a key that
    // another test program adds or removes beside one of the planted key's
    // parents while the search runs shifts the index and the planted key can
    // be passed over. The planted key therefore has no shared parent below
    // Software (as the scratch keys of all tests do), and its name comes
    // before any other subkey of Software, so that nothing is added or
    // removed before it.
    const std::string key = "Software\\!" + UniqueScratchName();
    ASSERT_TRUE(plant_.String(HKEY_CURRENT_USER, key, unique_ + "Name", "plain"));
    ASSERT_TRUE(plant_.String(HKEY_CURRENT_USER, key, "Holder", "has " + unique_ + ", inside"));
    ASSERT_TRUE(plant_.Key(HKEY_CURRENT_USER, key + "\\" + unique_));
    ASSERT_TRUE(plant_.String(HKEY_CURRENT_USER, key + "\\Ignored", unique_, "also " + unique_));
    Configure("1,0,0,1,1,0,0,1,0,0,0", {IgnoreKey("HKEY_CURRENT_USER", key + "\\Ignored")});

    // The options of config.xml: key names, value names and value data.
    const std::string report = Report("search.csv");
    ProgramRun run = Run("/search:" + unique_ + " /roots:HKCU /report:" + report);
    EXPECT_EQ(static_cast<DWORD>(kExitSomethingFound), run.exitCode);
    std::string text = ReadWholeFile(report);
    ASSERT_FALSE(Lines(text).empty());
    EXPECT_EQ(Header(false), Lines(text).front());
    std::vector<std::string> hits = LinesWith(text, unique_);
    std::sort(hits.begin(), hits.end());
    const std::string prefix = "HKEY_CURRENT_USER," + key;
    EXPECT_EQ(std::vector<std::string>({prefix + ",Holder,\"has " + unique_ + ", inside\"",
                                        prefix + "," + unique_ + "Name,plain",
                                        prefix + "\\" + unique_ + "," + Text("_PageRegistrySearchKeyFlagString") +
                                            ","}),
              hits);

    // Switches choose the options: value data alone.
    run = Run("/search:" + unique_ + " /data /roots:HKCU /report:" + report);
    EXPECT_EQ(static_cast<DWORD>(kExitSomethingFound), run.exitCode);
    text = ReadWholeFile(report);
    EXPECT_EQ(std::vector<std::string>({prefix + ",Holder,\"has " + unique_ + ", inside\""}),
              LinesWith(text, unique_));

    // Nothing matches a keyword that is nowhere.
    run = Run("/search:" + unique_ + "Nowhere /roots:HKCU /report:" + report);
    EXPECT_EQ(static_cast<DWORD>(kExitNothingFound), run.exitCode);
    EXPECT_EQ(Header(false) + "\r\n", ReadWholeFile(report));
}

// A keyword and a report path in any script reach the run whole, the search
// ignores the case of Cyrillic letters, and the report keeps every letter.
TEST_F(CommandLineRunTest, KeywordAndReportPathInAnyScript)
{
    const std::string key = "Software\\!" + UniqueScratchName();
    ASSERT_TRUE(plant_.String(HKEY_CURRENT_USER, key, "\u041F\u0420\u0418\u0412\u0415\u0422" + unique_,
                              "\u041C\u0438\u0440 \u65E5\u672C \U0001F600"));
    Configure("1,0,0,1,1,0,0,1,0,0,0", {});
    const std::string folder = Report("\u041E\u0442\u0447\u0451\u0442\u044B");
    ASSERT_TRUE(CreateDirectoryW(Widen(folder).c_str(), nullptr));
    const std::string report = folder + "\\scan.csv";

    const ProgramRun run =
        Run("\"/search:\u043F\u0440\u0438\u0432\u0435\u0442" + unique_ + "\" /roots:HKCU \"/report:" + report + "\"");
    EXPECT_EQ(static_cast<DWORD>(kExitSomethingFound), run.exitCode);
    const std::string text = ReadWholeFile(report);
    ASSERT_FALSE(Lines(text).empty());
    EXPECT_EQ(Header(false), Lines(text).front());
    EXPECT_EQ(std::vector<std::string>({"HKEY_CURRENT_USER," + key + ",\u041F\u0420\u0418\u0412\u0415\u0422" +
                                        unique_ + ",\u041C\u0438\u0440 \u65E5\u672C \U0001F600"}),
              LinesWith(text, unique_));
    DeleteFileW(Widen(report).c_str());
    RemoveDirectoryW(Widen(folder).c_str());
}

TEST_F(CommandLineRunTest, ReportThatCannotBeWrittenEndsTheRunWithTheReasonOnTheConsole)
{
    const std::string report = Report("no such folder\\search.csv");
    const ProgramRun run = Run("/search:" + unique_ + " /roots:HKCU /report:\"" + report + "\"",
                               RunConsole::Captured);
    EXPECT_EQ(static_cast<DWORD>(kExitRunFailed), run.exitCode);
    std::string reason = Text("_CommandLineReportNotWritten");
    reason.replace(reason.find("%s"), 2, report);
    EXPECT_EQ(reason + "\r\n", run.errors);
    EXPECT_EQ("", run.output);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Widen(report).c_str()));
}

// ---------------------------------------------------------------- usage and bad command lines

TEST_F(CommandLineRunTest, UsageAndBadCommandLinesNeverOpenAWindow)
{
    const std::string usageStart = Text("_CommandLineUsage").substr(0, Text("_CommandLineUsage").find("\\n"));
    ASSERT_FALSE(usageStart.empty());

    ProgramRun run = Run("/?", RunConsole::Captured);
    EXPECT_EQ(static_cast<DWORD>(kExitNothingFound), run.exitCode);
    EXPECT_EQ(0u, run.output.find(usageStart + "\r\n\r\n")) << run.output;

    // An unknown switch: the reason, the argument and the usage.
    run = Run("/scan /tasks:11 /fast", RunConsole::Captured);
    EXPECT_EQ(static_cast<DWORD>(kExitBadCommandLine), run.exitCode);
    EXPECT_EQ(0u, run.errors.find(Text("_CommandLineErrorUnknown") + " /fast\r\n\r\n" + usageStart))
        << run.errors;
    EXPECT_EQ("", run.output);

    // Without a console the reason goes where the report would have gone.
    const std::string report = Report("bad.csv");
    run = Run("/scan /tasks:12 /report:" + report);
    EXPECT_EQ(static_cast<DWORD>(kExitBadCommandLine), run.exitCode);
    EXPECT_EQ(0u, ReadWholeFile(report).find(Text("_CommandLineErrorTasks") + " /tasks:12\r\n\r\n" + usageStart));

    // And with neither, the exit code alone tells.
    run = Run("/backup /report:");
    EXPECT_EQ(static_cast<DWORD>(kExitBadCommandLine), run.exitCode);
    EXPECT_TRUE(FilesIn(BackupFolder()).empty());

    // A backup writes no report: a /report: beside it gets no file.
    const std::string notReport = Report("not-a-report.csv");
    run = Run("/backup /report:" + notReport);
    EXPECT_EQ(static_cast<DWORD>(kExitBadCommandLine), run.exitCode);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Widen(notReport).c_str()));
    EXPECT_TRUE(FilesIn(BackupFolder()).empty());
}

TEST_F(CommandLineRunTest, UsageInAWindowStationNobodySeesEndsWithoutWaiting)
{
    const BackgroundRun run = RunInBackgroundStation(copy_.Program(), "/?");
    ASSERT_TRUE(run.started);
    EXPECT_TRUE(run.ended) << "the usage waited for a person";
    EXPECT_EQ(static_cast<DWORD>(kExitNothingFound), run.exitCode);
}

// ---------------------------------------------------------------- backups

TEST_F(CommandLineRunTest, BackupWritesTheWholeRegistryAndKeepsTheNewestFullBackups)
{
    const std::string full = "(" + Text("_PageRegistryBackupType1") + ").reg";
    const std::string automatic = "(" + Text("_PageRegistryBackupType2") + ").reg";
    ASSERT_TRUE(CreateDirectoryW(Widen(copy_.File("Data")).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(Widen(copy_.File("Data\\Quorvane")).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(Widen(BackupFolder()).c_str(), nullptr));
    const std::vector<std::string> placed = {
        "2001-01-01 10-00-00" + full, "2003-01-01 10-00-00" + full, "2002-01-01 10-00-00 2" + full,
        "2000-01-01 10-00-00" + automatic, "2004-01-01 10-00-00" + automatic, "notes.reg",
    };
    for (const std::string& name : placed)
        ASSERT_TRUE(WriteWholeFile(BackupFolder() + name, "REGEDIT4\r\n"));

    const ProgramRun run = Run("/backup /keep:2", RunConsole::Captured, kBackupTimeoutMs);
    EXPECT_EQ(static_cast<DWORD>(kExitNothingFound), run.exitCode) << run.errors;

    std::vector<std::string> files = FilesIn(BackupFolder());
    const auto made = std::find_if(files.begin(), files.end(), [&](const std::string& name) {
        return std::find(placed.begin(), placed.end(), name) == placed.end();
    });
    ASSERT_NE(files.end(), made);
    const std::string path = BackupFolder() + *made;
    EXPECT_EQ(made->size() - full.size(), std::string("2008-03-03 14-05-09").size()) << *made;
    EXPECT_EQ(full, made->substr(made->size() - full.size()));
    EXPECT_GT(ReadWholeFile(path).size(), 100000u);
    std::string saved = Text("_PageRegistryBackupState3");
    saved.replace(saved.find("%s"), 2, path);
    EXPECT_EQ(saved + "\r\n", run.output);

    // The new one and the newest earlier full backup stay, every automatic
    // one stays, and so does a file that is no backup.
    files.erase(made);
    EXPECT_EQ(std::vector<std::string>({"2000-01-01 10-00-00" + automatic, "2003-01-01 10-00-00" + full,
                                        "2004-01-01 10-00-00" + automatic, "notes.reg"}),
              files);
}

TEST_F(CommandLineRunTest, BackupThatCouldNotBeWrittenFailsAndRemovesNothing)
{
    ASSERT_TRUE(DeleteFileW(Widen(copy_.File("Tools\\Regedit.exe")).c_str()));
    const std::string full = "(" + Text("_PageRegistryBackupType1") + ").reg";
    ASSERT_TRUE(CreateDirectoryW(Widen(copy_.File("Data")).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(Widen(copy_.File("Data\\Quorvane")).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(Widen(BackupFolder()).c_str(), nullptr));
    const std::vector<std::string> placed = {"2001-01-01 10-00-00" + full, "2002-01-01 10-00-00" + full};
    for (const std::string& name : placed)
        ASSERT_TRUE(WriteWholeFile(BackupFolder() + name, "REGEDIT4\r\n"));

    const ProgramRun run = Run("/backup /keep:1", RunConsole::Captured);
    EXPECT_EQ(static_cast<DWORD>(kExitRunFailed), run.exitCode);
    EXPECT_EQ(0u, run.errors.find(Text("_PageRegistryBackupState6").substr(0, Text("_PageRegistryBackupState6").find("%s")) +
                                  BackupFolder()))
        << run.errors;
    EXPECT_EQ(placed, FilesIn(BackupFolder()));
}

TEST_F(CommandLineRunTest, BackupTheEditorFailedOrCutShortFailsAndRemovesNothing)
{
    const std::string full = "(" + Text("_PageRegistryBackupType1") + ").reg";
    ASSERT_TRUE(CreateDirectoryW(Widen(copy_.File("Data")).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(Widen(copy_.File("Data\\Quorvane")).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(Widen(BackupFolder()).c_str(), nullptr));
    const std::vector<std::string> placed = {"2001-01-01 10-00-00" + full, "2002-01-01 10-00-00" + full};
    for (const std::string& name : placed)
        ASSERT_TRUE(WriteWholeFile(BackupFolder() + name, "REGEDIT4\r\n"));
    ASSERT_TRUE(PlaceStandInEditor(copy_));
    const std::string failedStart = Text("_PageRegistryBackupState6").substr(0, Text("_PageRegistryBackupState6").find("%s"));

    // An editor that wrote the whole file but ended with an error, and one
    // that ended with success after writing half of it.
    for (const char* signal : {"fail", "half"}) {
        SCOPED_TRACE(signal);
        ASSERT_TRUE(WriteWholeFile(EditorSignal(copy_, signal), ""));
        const ProgramRun run = Run("/backup /keep:1", RunConsole::Captured, kBackupTimeoutMs);
        EXPECT_EQ(static_cast<DWORD>(kExitRunFailed), run.exitCode);
        EXPECT_EQ(0u, run.errors.find(failedStart + BackupFolder())) << run.errors;
        EXPECT_EQ("", run.output);
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Widen(EditorSignal(copy_, "ended")).c_str()));
        // Both older backups stay, and what the editor left is gone.
        EXPECT_EQ(placed, FilesIn(BackupFolder()));
        ASSERT_TRUE(DeleteFileW(Widen(EditorSignal(copy_, signal)).c_str()));
        DeleteFileW(Widen(EditorSignal(copy_, "ended")).c_str());
    }

    // The same stand-in with nothing wrong: the backup is saved and the
    // older ones are thinned out.
    const ProgramRun run = Run("/backup /keep:1", RunConsole::Captured, kBackupTimeoutMs);
    EXPECT_EQ(static_cast<DWORD>(kExitNothingFound), run.exitCode) << run.errors;
    EXPECT_EQ(1u, FilesIn(BackupFolder()).size());
}
