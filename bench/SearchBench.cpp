// Measures the registry search against a plain enumeration of the same five
// root keys, in one run: the walk with do-nothing visitors, the search
// engine with a counting sink, and the real search page with its worker,
// list and status line. Also plants (and removes) the large tree it is
// measured on. Prints milliseconds, the ratios and the peak memory.
//
//   SearchBench plant <values> [needles]
//                                    plants the tree below HKCU\Software\QuorvaneBench,
//                                    one value in a thousand (or that many values)
//                                    holding the needle
//   SearchBench run <language file> [keyword] [hidden]
//                                    measures (three rounds, medians) with the
//                                    keyword (default: the planted needle);
//                                    with "hidden" the page is never painted
//   SearchBench remove               removes the tree
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "win32/WideText.h"
#include "win32/LanguageWin.h"
#include "core/RegistryWalk.h"
#include "win32/Win32Platform.h"
#include "resource.h"
#include "ui/PageRegistrySearch.h"
#include "core/SearchEngine.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kBenchKey = "Software\\QuorvaneBench";
constexpr const char* kNeedle = "QvNeedle";
// One value in this many holds the needle (in its data, or in its name when
// the data is not text), unless the planting says how many needles to plant.
constexpr unsigned kNeedleEvery = 1000;
constexpr unsigned kValuesPerKey = 50;
constexpr unsigned kSubKeysPerGroup = 100;

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double PeakWorkingSetMiB()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

bool SetValue(HKEY key, const std::string& name, DWORD type, const std::string& bytes)
{
    // Text types are given as UTF-8 and stored as UTF-16.
    const bool text = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
    const std::string stored = text ? Utf8ToUtf16LeBytes(bytes) : bytes;
    return RegSetValueExW(key, Widen(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(stored.data()),
                          static_cast<DWORD>(stored.size())) == ERROR_SUCCESS;
}

// A mix like a real registry's: mostly strings, then numbers, binary data,
// expandable strings and multi-strings.
bool PlantValue(HKEY key, unsigned number, unsigned needleEvery)
{
    const std::string name = "Value" + std::to_string(number % kValuesPerKey);
    const std::string mark = number % needleEvery == 0 ? std::string(kNeedle) : std::string();
    switch (number % 20) {
    case 0: case 1: case 2: case 3: case 4: case 5:
    case 6: case 7: case 8: case 9: case 10: case 11: {
        const std::string text = "C:\\Program Files\\Vendor" + std::to_string(number % 97) + "\\" + mark +
                                 "Component" + std::to_string(number) + ".dll";
        return SetValue(key, name, REG_SZ, text + '\0');
    }
    case 12: case 13: case 14: case 15: {
        const DWORD value = number * 2654435761u;
        return SetValue(key, name + mark, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), 4));
    }
    case 16: case 17: {
        std::string bytes(32, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>((number >> (i % 4)) + i);
        return SetValue(key, name + mark, REG_BINARY, bytes);
    }
    case 18:
        return SetValue(key, name, REG_EXPAND_SZ, "%SystemRoot%\\system32\\" + mark + "lib" +
                                                      std::to_string(number) + ".dll" + '\0');
    default:
        return SetValue(key, name, REG_MULTI_SZ, "first" + mark + std::string(1, '\0') + "second" +
                                                     std::to_string(number) + std::string(2, '\0'));
    }
}

int Plant(unsigned valueCount, unsigned needles)
{
    const unsigned needleEvery = needles > 0 ? std::max(1u, valueCount / needles) : kNeedleEvery;
    const unsigned keyCount = (valueCount + kValuesPerKey - 1) / kValuesPerKey;
    const Clock::time_point start = Clock::now();
    unsigned planted = 0;
    for (unsigned keyNumber = 0; keyNumber < keyCount; ++keyNumber) {
        char path[128];
        std::snprintf(path, sizeof path, "%s\\Group%03u\\Item%05u", kBenchKey, keyNumber / kSubKeysPerGroup,
                      keyNumber);
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, Widen(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS) {
            std::fprintf(stderr, "cannot create %s\n", path);
            return 1;
        }
        for (unsigned i = 0; i < kValuesPerKey && planted < valueCount; ++i, ++planted) {
            if (!PlantValue(key, planted, needleEvery)) {
                RegCloseKey(key);
                std::fprintf(stderr, "cannot set a value below %s\n", path);
                return 1;
            }
        }
        RegCloseKey(key);
    }
    std::printf("planted %u values (%u holding \"%s\") in %u keys below HKEY_CURRENT_USER\\%s in %.1f s\n",
                planted, (planted + needleEvery - 1) / needleEvery, kNeedle, keyCount, kBenchKey,
                MillisecondsSince(start) / 1000.0);
    return 0;
}

int Remove()
{
    return SHDeleteKeyW(HKEY_CURRENT_USER, Widen(kBenchKey).c_str()) == ERROR_SUCCESS ? 0 : 1;
}

// --- Measurements ---

struct Counts {
    unsigned long long keys = 0;
    unsigned long long values = 0;
    unsigned long long hits = 0;
};

void CountKey(RootKey, const std::string&, const char*, std::uint32_t, std::uint32_t, const std::uint8_t*,
              std::uint32_t, void* context)
{
    ++static_cast<Counts*>(context)->keys;
}

void CountValue(RootKey, const std::string&, const char*, std::uint32_t, std::uint32_t, const std::uint8_t*,
                std::uint32_t, void* context)
{
    ++static_cast<Counts*>(context)->values;
}

const RootKey kRoots[] = {kHkeyClassesRoot, kHkeyCurrentUser, kHkeyLocalMachine, kHkeyUsers, kHkeyCurrentConfig};

Counts PlainWalk()
{
    Counts counts;
    Platform& platform = SystemPlatform();
    for (RootKey root : kRoots)
        WalkRegistry(platform, platform, root, "", true, CountValue, &counts, CountKey, &counts, 0xFFFFFFFFu, {});
    return counts;
}

SearchSink CountingSink(Counts& counts)
{
    SearchSink sink;
    sink.addHit = [](const RegistryItem&, void* context) { ++static_cast<Counts*>(context)->hits; };
    sink.showKey = [](const std::string&, void* context) { ++static_cast<Counts*>(context)->keys; };
    sink.context = &counts;
    return sink;
}

SearchOptions BenchOptions(const std::string& keyword)
{
    SearchOptions options;
    options.keyword = keyword;
    options.includeKeyNames = options.includeValueNames = options.includeValueData = true;
    options.searchHKCR = options.searchHKCU = options.searchHKLM = options.searchHKU = options.searchHKCC = true;
    return options;
}

Counts EngineSearch(const std::string& keyword)
{
    Counts counts;
    Platform& platform = SystemPlatform();
    SearchRegistry(platform, platform, BenchOptions(keyword), CountingSink(counts), "(key)");
    return counts;
}

// The search page as the program shows it, driven through its controls.
class PageSearch {
public:
    bool Create(const std::string& keyword, bool visible)
    {
        container_ = CreateWindowExW(0, L"STATIC", L"SearchBench", WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0),
                                     0, 0, 900, 700,
                                     nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!container_ || !page_.Create(container_, IDD_PAGE_SEARCH))
            return false;
        HWND page = page_.Window();
        RECT client = {};
        GetClientRect(container_, &client);
        MoveWindow(page, 0, 0, client.right, client.bottom, TRUE);
        ShowWindow(page, SW_SHOW);
        const int boxes[] = {IDC_SEARCH_INCLUDE_KEY, IDC_SEARCH_INCLUDE_VALUE, IDC_SEARCH_INCLUDE_DATA,
                             IDC_SEARCH_HKCR,        IDC_SEARCH_HKCU,          IDC_SEARCH_HKLM,
                             IDC_SEARCH_HKU,         IDC_SEARCH_HKCC};
        for (int id : boxes)
            CheckDlgButton(page, id, BST_CHECKED);
        for (int id : {IDC_SEARCH_WILDCARD, IDC_SEARCH_FULL_WORD, IDC_SEARCH_CASE})
            CheckDlgButton(page, id, BST_UNCHECKED);
        SetDlgItemTextW(page, IDC_SEARCH_KEYWORD, Widen(keyword).c_str());
        return true;
    }

    // Starts a search and serves the page until it has ended; the row count.
    unsigned long long Search()
    {
        SendMessageW(page_.Window(), WM_COMMAND, MAKEWPARAM(IDC_SEARCH_START, BN_CLICKED), 0);
        while (page_.IsSearchRunning()) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        page_.StopSearch();   // joins the finished worker
        return static_cast<unsigned long long>(
            SendDlgItemMessageW(page_.Window(), IDC_SEARCH_RESULTS, LVM_GETITEMCOUNT, 0, 0));
    }

    // Starts a search, serves the page for `delayMs` and stops it the way
    // the Stop button does; returns the time the stop took, -1 when the
    // search had ended before.
    double StopAfter(DWORD delayMs)
    {
        SendMessageW(page_.Window(), WM_COMMAND, MAKEWPARAM(IDC_SEARCH_START, BN_CLICKED), 0);
        const Clock::time_point started = Clock::now();
        while (MillisecondsSince(started) < delayMs) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        if (!page_.IsSearchRunning())
            return -1;
        const Clock::time_point start = Clock::now();
        SendMessageW(page_.Window(), WM_COMMAND, MAKEWPARAM(IDC_SEARCH_STOP, BN_CLICKED), 0);
        return MillisecondsSince(start);
    }

    ~PageSearch()
    {
        if (container_)
            DestroyWindow(container_);
    }

private:
    HWND container_ = nullptr;
    PageRegistrySearch page_;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int Run(const std::string& languageFile, const std::string& keyword, bool visible)
{
    SetLanguageFile(languageFile);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    const Counts warm = PlainWalk();
    std::printf("registry: %llu keys, %llu values (REG_NONE excluded) in the five roots\n", warm.keys,
                warm.values);
    std::printf("peak working set after a first walk: %.1f MiB\n", PeakWorkingSetMiB());

    PageSearch page;
    if (!page.Create(keyword, visible)) {
        std::fprintf(stderr, "cannot create the search page\n");
        return 1;
    }

    std::vector<double> plain, engine, paged;
    Counts engineCounts;
    unsigned long long pageRows = 0;
    for (int round = 0; round < 3; ++round) {
        Clock::time_point start = Clock::now();
        PlainWalk();
        plain.push_back(MillisecondsSince(start));

        start = Clock::now();
        engineCounts = EngineSearch(keyword);
        engine.push_back(MillisecondsSince(start));

        start = Clock::now();
        pageRows = page.Search();
        paged.push_back(MillisecondsSince(start));
        std::printf("round %d: plain %.0f ms, engine %.0f ms, page %.0f ms\n", round + 1, plain.back(),
                    engine.back(), paged.back());
    }
    const double plainMs = Median(plain);
    const double engineMs = Median(engine);
    const double pageMs = Median(paged);
    std::printf("page %s\n", visible ? "shown" : "hidden (status line never painted)");
    std::printf("keyword \"%s\": %llu hits by the engine, %llu rows on the page\n", keyword.c_str(), engineCounts.hits,
                pageRows);
    std::printf("median plain enumeration: %.0f ms\n", plainMs);
    std::printf("median engine search:     %.0f ms  (ratio %.2f)\n", engineMs, engineMs / plainMs);
    std::printf("median page search:       %.0f ms  (ratio %.2f)\n", pageMs, pageMs / plainMs);
    for (DWORD delay : {100u, 1000u, 3000u}) {
        const double ms = page.StopAfter(delay);
        if (ms < 0)
            std::printf("stop after %lu ms: the search had ended\n", static_cast<unsigned long>(delay));
        else
            std::printf("stop after %lu ms: %.1f ms\n", static_cast<unsigned long>(delay), ms);
    }
    std::printf("peak working set of the run: %.1f MiB\n", PeakWorkingSetMiB());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "plant" && argc > 2)
        return Plant(static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)),
                     argc > 3 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)) : 0);
    if (command == "remove")
        return Remove();
    if (command == "run" && argc > 2) {
        const std::string keyword = argc > 3 && argv[3][0] ? argv[3] : kNeedle;
        return Run(argv[2], keyword, !(argc > 4 && std::string(argv[4]) == "hidden"));
    }
    std::fprintf(stderr, "usage: SearchBench plant <values> [needles] | run <language file> [keyword] [hidden] | remove\n");
    return 2;
}
