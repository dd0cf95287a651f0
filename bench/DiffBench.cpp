// Measures the comparison of a backup with the registry of the running (Wine)
// system, in one run: a backup of the planted subtrees (HKCU\Software,
// HKLM\Software, HKU\.DEFAULT\Software) written by the program's own writer,
// then, timed,
//   (a) a plain enumeration of the same subtrees (the walk with visitors that
//       only count, every value read with its data),
//   (b) reading the file and parsing it,
//   (c) the comparison of the parsed file with the registry,
// with the ratios c / (a + b) and (b + c) / (a + b), and the peak working set.
//   diff-benchmark.exe <backup file> [rounds]     (default 1 round)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/RegReader.h"
#include "core/RegWriter.h"
#include "core/RegistryDiff.h"
#include "core/RegistryWalk.h"
#include "win32/RegeditBridge.h"
#include "win32/Win32Platform.h"

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

double PeakWorkingSetMiB()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

struct Tally {
    long long keys = 0;
    long long values = 0;
};

void CountValue(RootKey, const std::string&, const char*, std::uint32_t, std::uint32_t, const std::uint8_t*,
                std::uint32_t, void* context)
{
    ++static_cast<Tally*>(context)->values;
}

void CountKey(RootKey, const std::string&, const char*, std::uint32_t, std::uint32_t, const std::uint8_t*,
              std::uint32_t, void* context)
{
    ++static_cast<Tally*>(context)->keys;
}

struct Subtree {
    RootKey root;
    const char* rootName;
    const char* path;
};
const Subtree kSubtrees[] = {
    {kHkeyCurrentUser, "HKEY_CURRENT_USER", "Software"},
    {kHkeyLocalMachine, "HKEY_LOCAL_MACHINE", "Software"},
    {kHkeyUsers, "HKEY_USERS", ".DEFAULT\\Software"},
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: diff-benchmark.exe <backup file> [rounds]\n");
        return 2;
    }
    const std::string file = argv[1];
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
    Platform& platform = SystemPlatform();

    std::vector<RegExportRow> rows;
    for (const Subtree& subtree : kSubtrees)
        rows.push_back(RegExportRow{subtree.rootName, subtree.path, "", -1});
    double start = Now();
    const RegExportResult written = WriteRegFile(platform, platform, platform, rows, file, nullptr, nullptr);
    std::printf("backup written: %u entries, %u left out, complete %d, %.0f ms\n", written.entriesWritten,
                written.entriesLeftOut, written.complete ? 1 : 0, (Now() - start) * 1000.0);
    if (!written.created)
        return 1;
    std::printf("peak working set after writing %.0f MiB\n", PeakWorkingSetMiB());

    for (int round = 1; round <= rounds; ++round) {
        Tally tally;
        start = Now();
        for (const Subtree& subtree : kSubtrees)
            WalkRegistry(platform, platform, subtree.root, subtree.path, true, CountValue, &tally, CountKey, &tally,
                         0xFFFFFFFFu, std::vector<std::string>(), nullptr, NoneValues::kVisit);
        const double enumeration = Now() - start;

        start = Now();
        std::string bytes;
        if (!ReadFileBytes(file, &bytes))
            return 1;
        const std::size_t fileBytes = bytes.size();
        const RegFileContent content = ReadRegFileJoined(platform, std::move(bytes));
        const double read = Now() - start;
        std::printf("  file %.1f MiB; peak working set after reading it %.0f MiB\n",
                    static_cast<double>(fileBytes) / (1024.0 * 1024.0), PeakWorkingSetMiB());

        start = Now();
        const DiffOutcome outcome = CompareWithRegistry(platform, content, DiffScope::SavedKeys, nullptr, nullptr,
                                                        nullptr);
        const double compare = Now() - start;

        std::printf("round %d: %lld keys, %lld values enumerated; %zu keys in the file, %zu refused lines\n", round,
                    tally.keys, tally.values, content.keys.size(), content.refusedLines.size());
        std::printf("  compared %zu, differences %zu, volatile %zu, unreadable %zu\n", outcome.comparedCount,
                    outcome.entries.size(), outcome.volatileCount, outcome.unreadableCount);
        std::printf("  a enumeration %.0f ms, b read+parse %.0f ms, c compare %.0f ms\n", enumeration * 1000.0,
                    read * 1000.0, compare * 1000.0);
        std::printf("  c/(a+b) %.2f, (b+c)/(a+b) %.2f\n", compare / (enumeration + read),
                    (read + compare) / (enumeration + read));
    }
    std::printf("peak working set %.0f MiB\n", PeakWorkingSetMiB());
    return 0;
}
