// The cleaner's eleven tasks: where each looks in the registry and what it
// reports. A task only reads; every finding goes to a sink, which the
// cleaner page turns into a row of its result list. Platform-free.
#pragma once

#include "core/RegistryItem.h"
#include "core/Platform.h"
#include "core/RegistryPaths.h"
#include "core/RegistryWalk.h"
#include "core/ScanCache.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int kScanTaskCount = 11;

// Receives one finding: a value to delete (its type in item.type) or a key
// to delete with its subtree (kKeyRowType). scrollIntoView is false only for
// the extension row of a broken file association.
using FindingReceiver = void (*)(const RegistryItem& item, bool scrollIntoView, void* context);

// Receives a key a walking task opened (tasks 5, 7 and 10 do not walk).
using ScanningKeyReceiver = void (*)(RootKey root, const std::string& path, void* context);

// Where a running task reports to: each function is called with the sink's
// context; a function left null is not called.
struct FindingSink {
    FindingReceiver addFinding = nullptr;
    ScanningKeyReceiver showScanningKey = nullptr;
    void* context = nullptr;
};

// Runs task `number` (1 to 11) to its end, or until `stop` is set. Numbers
// outside 1 to 11 do nothing. With a
// cache (one per scan, handed to every task of the scan; see ScanCache) the
// file system is asked about each path and the drives once per scan instead
// of at every test; the findings are the same.
void RunScanTask(Platform& platform, int number, const FindingSink& sink,
                 const std::atomic<bool>* stop = nullptr, ScanCache* cache = nullptr);

// One step of a task, in the order the task carries them out.
enum class ScanStepKind {
    Walk,          // WalkRegistry with valueCheck, reporting each key it opens
    SubKeys,       // EnumSubKeys with keyCheck
    MenuFolders,   // builds the menu folder map that the menu order check reads
};

struct ScanStep {
    ScanStepKind kind = ScanStepKind::Walk;
    RootKey root = kNoRootKey;
    std::string path;
    bool recurse = false;
    std::uint32_t typeMask = 0;
    std::vector<std::string> excludedPaths;
    ValueVisitor valueCheck = nullptr;   // Walk
    SubKeyVisitor keyCheck = nullptr;    // SubKeys
};

// The steps of task `number` (1 to 11); empty for any other number. The
// checks expect a ScanContext (cleaner/ScanContext.h) as their context.
std::vector<ScanStep> ScanTaskSteps(int number);
