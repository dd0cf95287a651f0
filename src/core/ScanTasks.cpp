// The table of the eleven cleaner tasks and the runner that carries out a
// task's steps with its checks.
#include "core/ScanTasks.h"

#include "core/KeyChecks.h"
#include "core/ScanContext.h"
#include "core/ValueChecks.h"

namespace {

constexpr std::uint32_t kStringTypes = 1;          // odd type codes, REG_SZ among them
constexpr std::uint32_t kAllTypes = 0xFFFFFFFFu;   // every type but REG_NONE

const char kCurrentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion\\";

std::string CurrentVersionPath(const char* rest)
{
    return std::string(kCurrentVersion) + rest;
}

ScanStep Walk(RootKey root, const std::string& path, bool recurse, std::uint32_t typeMask,
              const std::vector<std::string>& excludedPaths, ValueVisitor check)
{
    ScanStep step;
    step.kind = ScanStepKind::Walk;
    step.root = root;
    step.path = path;
    step.recurse = recurse;
    step.typeMask = typeMask;
    step.excludedPaths = excludedPaths;
    step.valueCheck = check;
    return step;
}

ScanStep SubKeys(RootKey root, const std::string& path, SubKeyVisitor check)
{
    ScanStep step;
    step.kind = ScanStepKind::SubKeys;
    step.root = root;
    step.path = path;
    step.keyCheck = check;
    return step;
}

ScanStep MenuFolders()
{
    ScanStep step;
    step.kind = ScanStepKind::MenuFolders;
    return step;
}

// The key visitor of every walking task.
void ShowWalkedKey(RootKey root, const std::string& path, const char*, std::uint32_t,
                   std::uint32_t, const std::uint8_t*, std::uint32_t, void* context)
{
    const FindingSink& sink = static_cast<ScanContext*>(context)->sink;
    if (sink.showScanningKey)
        sink.showScanningKey(root, path, sink.context);
}

void RunScanStep(ScanContext& context, const ScanStep& step)
{
    switch (step.kind) {
    case ScanStepKind::Walk:
        // Keys directly below the walk's start are the class keys of task 4.
        context.classKeyLevel =
            CountPathComponents(TrimBackslashes(step.path)) + 1;
        WalkRegistry(context.platform, context.platform, step.root, step.path, step.recurse,
                     step.valueCheck, &context, &ShowWalkedKey, &context, step.typeMask,
                     step.excludedPaths, context.stop);
        break;
    case ScanStepKind::SubKeys:
        EnumSubKeys(context.platform, step.root, step.path, step.keyCheck,
                    &context, context.stop);
        break;
    case ScanStepKind::MenuFolders:
        BuildMenuFolderMap(context.platform, context.platform, context.menuFolders);
        break;
    }
}

}  // namespace

std::vector<ScanStep> ScanTaskSteps(int number)
{
    const std::vector<std::string> none;
    switch (number) {
    case 1:
        return {Walk(kHkeyCurrentUser, "Software", true, kStringTypes, {"CLSID"}, &CheckFileValue)};
    case 2:
        return {Walk(kHkeyUsers, "", true, kStringTypes,
                     {"CLSID", CurrentVersionPath("Explorer\\Shell Folders")}, &CheckFileValue)};
    case 3:
        return {Walk(kHkeyLocalMachine, "", true, kStringTypes,
                     {"CLSID", "Software\\Classes", CurrentVersionPath("Explorer\\DocFolderPaths"),
                      CurrentVersionPath("Installer"), CurrentVersionPath("Uninstall"),
                      CurrentVersionPath("Internet Settings\\Cache")},
                     &CheckFileValue)};
    case 4:
        return {Walk(kHkeyClassesRoot, "CLSID", true, kStringTypes, none, &CheckClassFileValue),
                Walk(kHkeyLocalMachine, "Software\\Classes\\CLSID", true, kStringTypes, none,
                     &CheckClassFileValue)};
    case 5:
        return {SubKeys(kHkeyLocalMachine, CurrentVersionPath("Uninstall"), &CheckUninstallEntry)};
    case 6: {
        std::vector<ScanStep> steps;
        for (const char* list :
             {"Explorer\\RunMRU", "Explorer\\ComDlg32\\LastVisitedMRU",
              "Explorer\\ComDlg32\\OpenSaveMRU", "Explorer\\StreamMRU", "Explorer\\RecentDocs",
              "Applets\\Paint\\Recent File List"})
            steps.push_back(Walk(kHkeyCurrentUser, CurrentVersionPath(list), true, kAllTypes, none,
                                 &ReportEveryValue));
        steps.push_back(Walk(kHkeyCurrentUser, "Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList",
                             true, kAllTypes, none, &ReportEveryValue));
        steps.push_back(Walk(kHkeyCurrentUser, "Software\\Microsoft\\Internet Explorer\\TypedUrls",
                             true, kStringTypes, none, &ReportEveryValue));
        return steps;
    }
    case 7:
        return {MenuFolders(),
                SubKeys(kHkeyCurrentUser, CurrentVersionPath("Explorer\\MenuOrder\\Start Menu\\Programs"),
                        &CheckMenuOrderEntry),
                SubKeys(kHkeyCurrentUser,
                        CurrentVersionPath("Explorer\\MenuOrder\\Start Menu2\\Programs"),
                        &CheckMenuOrderEntry),
                SubKeys(kHkeyCurrentUser, "Software", &CheckEmptySoftwareKey),
                SubKeys(kHkeyLocalMachine, "Software", &CheckEmptySoftwareKey),
                SubKeys(kHkeyLocalMachine, "Software\\Classes", &CheckFileAssociation)};
    case 8:
        return {Walk(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls",
                     false, kAllTypes, none, &CheckSharedDll)};
    case 9:
        return {Walk(kHkeyLocalMachine, "System\\CurrentControlSet\\Control\\Nls\\Locale", false,
                     kStringTypes, none, &CheckEmptyData)};
    case 10:
        return {SubKeys(kHkeyLocalMachine,
                        "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones",
                        &CheckTimeZone)};
    case 11: {
        std::vector<ScanStep> steps;
        for (const char* run : {"Run", "RunOnce", "RunServices", "RunServicesOnce"})
            steps.push_back(Walk(kHkeyLocalMachine, CurrentVersionPath(run), false, kStringTypes,
                                 none, &CheckRunEntry));
        for (const char* run : {"Run", "RunOnce"})
            steps.push_back(Walk(kHkeyCurrentUser, CurrentVersionPath(run), false, kStringTypes,
                                 none, &CheckRunEntry));
        return steps;
    }
    default:
        return {};
    }
}

void RunScanTask(Platform& platform, int number, const FindingSink& sink,
                        const std::atomic<bool>* stop, ScanCache* cache)
{
    ScanContext context(platform, sink, stop, cache);
    for (const ScanStep& step : ScanTaskSteps(number)) {
        if (context.Stopped())
            break;
        RunScanStep(context, step);
    }
}
