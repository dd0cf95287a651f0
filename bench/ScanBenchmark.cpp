// Measures the cleaner's eleven tasks in the registry of the running (Wine)
// system, in one run:
//   (a) the very walks and subkey listings the tasks make, with visitors that
//       only count, and
//   (b) the tasks themselves through RunScanTask with a sink that only counts,
//       sharing one ScanCache across tasks 1 to 11 as the cleaner page does
//       (a new cache each round, as each press of the scan button makes one),
// each per task and in total, with the ratio b/a and the peak working set,
// and then the platform calls (b) makes per task.
//   scan-benchmark.exe [rounds]     (default 2, after one warm-up pass of a)
#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/PathRules.h"
#include "core/ScanTasks.h"
#include "core/RegistryPaths.h"
#include "core/RegistryWalk.h"
#include "win32/Win32Platform.h"

#include "CountingPlatform.h"

namespace {

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Tally {
    long long keys = 0;
    long long values = 0;
    long long subKeys = 0;
    long long findings = 0;
};

void CountValue(RootKey, const std::string&, const char*, std::uint32_t, std::uint32_t,
                const std::uint8_t*, std::uint32_t, void* context)
{
    ++static_cast<Tally*>(context)->values;
}

void CountKey(RootKey, const std::string&, const char*, std::uint32_t, std::uint32_t,
              const std::uint8_t*, std::uint32_t, void* context)
{
    ++static_cast<Tally*>(context)->keys;
}

void CountSubKey(RootKey, const std::string&, const std::string&, void* context)
{
    ++static_cast<Tally*>(context)->subKeys;
}

FindingSink CountingSink(Tally& tally)
{
    FindingSink sink;
    sink.addFinding = [](const RegistryItem&, bool, void* context) {
        ++static_cast<Tally*>(context)->findings;
    };
    sink.showScanningKey = [](RootKey, const std::string&, void* context) {
        ++static_cast<Tally*>(context)->keys;
    };
    sink.context = &tally;
    return sink;
}

// (a) for one task: its walks and listings, nothing checked.
void WalkOnly(Platform& platform, int task, Tally& tally)
{
    for (const ScanStep& step : ScanTaskSteps(task)) {
        switch (step.kind) {
        case ScanStepKind::Walk:
            WalkRegistry(platform, platform, step.root, step.path, step.recurse, &CountValue, &tally,
                         &CountKey, &tally, step.typeMask, step.excludedPaths);
            break;
        case ScanStepKind::SubKeys:
            EnumSubKeys(platform, step.root, step.path, &CountSubKey, &tally);
            break;
        case ScanStepKind::MenuFolders:
            break;   // a folder listing, part of the check
        }
    }
}

struct Round {
    double walkSeconds[kScanTaskCount + 1] = {};
    double scanSeconds[kScanTaskCount + 1] = {};
    Tally walk[kScanTaskCount + 1];
    Tally scan[kScanTaskCount + 1];
};

Round MeasureRound(Platform& platform)
{
    Round round;
    for (int task = 1; task <= kScanTaskCount; ++task) {
        const double start = Now();
        WalkOnly(platform, task, round.walk[task]);
        round.walkSeconds[task] = Now() - start;
    }
    ScanCache cache;
    for (int task = 1; task <= kScanTaskCount; ++task) {
        const FindingSink sink = CountingSink(round.scan[task]);
        const double start = Now();
        RunScanTask(platform, task, sink, nullptr, &cache);
        round.scanSeconds[task] = Now() - start;
    }
    return round;
}

void PrintRound(int number, const Round& round)
{
    std::printf("\nround %d\n", number);
    std::printf("%4s %10s %10s %7s %9s %8s %8s %9s\n", "task", "a ms", "b ms", "b/a", "values",
                "keys", "subkeys", "findings");
    double walkTotal = 0;
    double scanTotal = 0;
    Tally total;
    for (int task = 1; task <= kScanTaskCount; ++task) {
        const Tally& walk = round.walk[task];
        const Tally& scan = round.scan[task];
        walkTotal += round.walkSeconds[task];
        scanTotal += round.scanSeconds[task];
        total.values += walk.values;
        total.keys += walk.keys;
        total.subKeys += walk.subKeys;
        total.findings += scan.findings;
        std::printf("%4d %10.1f %10.1f %7.2f %9lld %8lld %8lld %9lld\n", task,
                    round.walkSeconds[task] * 1000, round.scanSeconds[task] * 1000,
                    round.walkSeconds[task] > 0 ? round.scanSeconds[task] / round.walkSeconds[task] : 0.0,
                    walk.values, walk.keys, walk.subKeys, scan.findings);
    }
    std::printf("%4s %10.1f %10.1f %7.2f %9lld %8lld %8lld %9lld\n", "all", walkTotal * 1000,
                scanTotal * 1000, walkTotal > 0 ? scanTotal / walkTotal : 0.0, total.values,
                total.keys, total.subKeys, total.findings);
}

// Microseconds per call of what the checks ask of the platform for one
// candidate path, so that b - a can be read as a count of such answers.
void PrintPlatformCosts(Platform& platform)
{
    const int calls = 2000;
    struct Sample {
        const char* what;
        std::string path;
    };
    const Sample samples[] = {
        {"gone, folder gone   ", "C:\\Program Files\\UserVendor1\\App1\\file1.dll"},
        {"gone, folder present", "C:\\windows\\system32\\qv-bench-missing.dll"},
        {"present             ", "C:\\BenchFiles\\tool0.exe"},
    };
    std::printf("per call, microseconds:  ExtractFilePath  OpenFile(OF_EXIST)  GetFileAttributes"
                "  IsMissingFile\n");
    for (const Sample& sample : samples) {
        std::string extracted;
        double start = Now();
        for (int i = 0; i < calls; ++i)
            ExtractFilePath(platform, platform, "\"" + sample.path + "\" /S", extracted);
        const double extract = (Now() - start) * 1e6 / calls;
        start = Now();
        for (int i = 0; i < calls; ++i)
            platform.OpenFileExists(sample.path);
        const double open = (Now() - start) * 1e6 / calls;
        start = Now();
        for (int i = 0; i < calls; ++i)
            platform.FileAttributes(sample.path);
        const double attributes = (Now() - start) * 1e6 / calls;
        start = Now();
        for (int i = 0; i < calls; ++i)
            IsMissingFile(platform, sample.path);
        const double missing = (Now() - start) * 1e6 / calls;
        std::printf("  %s %15.1f %19.1f %18.1f %14.1f\n", sample.what, extract, open, attributes,
                    missing);
    }
}

// (b) once more through a platform that counts every call, per task, with
// the calls' own time, so that b - a can be put down to the doors it goes
// through.
void PrintPlatformCalls(Platform& platform)
{
    CountingPlatform counting(platform);
    std::printf("\nplatform calls of (b), per task: calls (milliseconds inside them)\n");
    ScanCache cache;
    for (int task = 1; task <= kScanTaskCount; ++task) {
        Tally tally;
        const double start = Now();
        RunScanTask(counting, task, CountingSink(tally), nullptr, &cache);
        const double seconds = Now() - start;
        const CountingPlatform::Tally calls = counting.TakeTally();
        std::printf("task %2d  %.1f ms:", task, seconds * 1000);
        int shown = 0;
        for (int call = 0; call < CountingPlatform::kCallCount; ++call) {
            if (calls.calls[call] == 0)
                continue;
            std::printf("%s %s %lld (%.1f)", shown++ % 4 == 0 ? "\n   " : ",",
                        CountingPlatform::CallName(call), calls.calls[call],
                        counting.Milliseconds(calls.ticks[call]));
        }
        std::printf("\n");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 2;
    Platform& platform = SystemPlatform();

    // What asking for the zone in use costs, since task 10 asks once per zone.
    const double zoneStart = Now();
    for (int i = 0; i < 1000; ++i)
        platform.CurrentTimeZoneStandardName();
    std::printf("time zone name: %.1f microseconds per call\n", (Now() - zoneStart) * 1000.0);

    PrintPlatformCosts(platform);

    Tally warmUp;
    const double warmStart = Now();
    for (int task = 1; task <= kScanTaskCount; ++task)
        WalkOnly(platform, task, warmUp);
    std::printf("warm-up pass of (a): %.1f ms, %lld values handed to the visitors\n",
                (Now() - warmStart) * 1000, warmUp.values);

    for (int round = 1; round <= rounds; ++round)
        PrintRound(round, MeasureRound(platform));

    PrintPlatformCalls(platform);

    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory))
        std::printf("\npeak working set: %.1f MB\n", memory.PeakWorkingSetSize / (1024.0 * 1024.0));
    return 0;
}
