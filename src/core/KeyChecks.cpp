// The key checks of cleaner tasks 5, 7 and 10 and the menu folder map.
#include "core/KeyChecks.h"

#include <cstdint>
#include <memory>
#include <new>

#include "core/PathRules.h"
#include "core/Text.h"
#include "core/RegistryPaths.h"

namespace {

// Uninstall commands, open commands and standard names are read into buffers
// of this size (499 UTF-16 units and the terminator); a longer value does
// not fit and counts as absent.
constexpr std::uint32_t kFixedValueBufferSize = 1000;

ScanContext& ContextOf(void* context)
{
    return *static_cast<ScanContext*>(context);
}

// Reads a value into a zero-filled buffer of bufferSize bytes; text is the
// buffer up to its first zero. False when the value cannot be read whole or
// the buffer cannot be had.
bool ReadValueText(RegistryAccess& registry, KeyHandle key, const std::string& name,
                   std::uint32_t bufferSize, std::string* text)
{
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[bufferSize]());
    if (!buffer)
        return false;
    std::uint32_t type = 0;
    std::uint32_t size = bufferSize;
    if (registry.QueryValue(key, name, &type, buffer.get(), &size) != kResultOk)
        return false;
    *text = DataAsText(buffer.get(), bufferSize);
    return true;
}

// Whether a check should look at this subkey at all: a stopped scan looks at
// nothing more, and an empty name would stand for the listed key itself.
bool ShouldCheck(const ScanContext& scan, const std::string& subKeyName)
{
    return !scan.Stopped() && !subKeyName.empty();
}

bool IsDotEntry(const std::string& name)
{
    return name == "." || name == "..";
}

// What the folder visitor of ListSubfolders adds to.
struct SubfolderList {
    const std::string& base;   // the listed folder, ending in a backslash
    MenuFolderMap& map;
};

bool AddSubfolder(const FoundFile& found, void* context)
{
    SubfolderList& list = *static_cast<SubfolderList*>(context);
    if ((found.attributes & kFileAttributeDirectory) != 0 && !IsDotEntry(found.name))
        list.map[found.name] = list.base + found.name;
    return true;
}

bool EndsWithBackslash(const std::string& text)
{
    std::size_t last = std::string::npos;
    for (std::size_t i = 0; i < text.size(); i = NextCharIndex(text, i))
        last = i;
    return last != std::string::npos && text[last] == '\\';
}

// Whether a class name, joined below the classes key, names a key strictly
// below it: one with a leading, trailing or doubled backslash could resolve
// to the classes key itself, which the registry reaches by skipping the
// empty components.
bool IsUsableClassName(const std::string& name)
{
    return TrimBackslashes(name) == name &&
           FindText(name, "\\\\") == std::string::npos;
}

// Drops a trailing placeholder argument such as '%1' (and a quote opening it)
// from an open command: cut at the first "%" after the last space.
std::string WithoutPlaceholder(const std::string& command)
{
    const std::size_t lastSpace = FindLastChar(command, ' ');
    if (lastSpace == std::string::npos)
        return command;
    const std::size_t percent = FindChar(command, '%', lastSpace);
    return percent == std::string::npos ? command : command.substr(0, percent);
}

}  // namespace

void CheckUninstallEntry(RootKey root, const std::string& keyPath, const std::string& subKeyName,
                         void* context)
{
    ScanContext& scan = ContextOf(context);
    if (!ShouldCheck(scan, subKeyName))
        return;
    const std::string path = SubKeyPath(keyPath, subKeyName);
    ScopedKey key(scan.platform);
    if (key.Open(RootHandle(root), path) != kResultOk)
        return;
    KeyInfo info;
    if (scan.platform.QueryInfoKey(key.Get(), &info) == kResultOk && info.valueCount == 0) {
        ReportKeyFinding(scan, root, path, std::string());
        return;   // a record without values has no uninstall command either
    }
    std::string command;
    if (ReadValueText(scan.platform, key.Get(), "UninstallString", kFixedValueBufferSize,
                      &command) &&
        NamesMissingFile(scan, command))
        ReportKeyFinding(scan, root, path, std::string());
}

void ListSubfolders(FileSystem& files, const std::string& folder,
                    MenuFolderMap& map, bool clear)
{
    if (clear)
        map.clear();
    if (folder.empty())
        return;
    const std::string base = EndsWithBackslash(folder) ? folder : folder + "\\";
    SubfolderList list{base, map};
    files.ListFolder(base + "*.*", &AddSubfolder, &list);
}

void BuildMenuFolderMap(RegistryAccess& registry, FileSystem& files, MenuFolderMap& map)
{
    const char* const shellFolders =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    const std::string userPrograms =
        ReadStringValue(registry, kHkeyCurrentUser, shellFolders, "Programs");
    const std::string commonPrograms =
        ReadStringValue(registry, kHkeyLocalMachine, shellFolders, "Common Programs");
    ListSubfolders(files, userPrograms, map, true);
    ListSubfolders(files, commonPrograms, map, false);
}

void CheckMenuOrderEntry(RootKey root, const std::string& keyPath, const std::string& subKeyName,
                         void* context)
{
    ScanContext& scan = ContextOf(context);
    if (!ShouldCheck(scan, subKeyName))
        return;
    std::string wanted = subKeyName;
    scan.platform.LowerText(wanted);
    for (const auto& folder : scan.menuFolders) {
        std::string name = folder.first;
        scan.platform.LowerText(name);
        if (name == wanted)
            return;
    }
    ReportKeyFinding(scan, root, SubKeyPath(keyPath, subKeyName), std::string());
}

void CheckEmptySoftwareKey(RootKey root, const std::string& keyPath,
                           const std::string& subKeyName, void* context)
{
    ScanContext& scan = ContextOf(context);
    if (!ShouldCheck(scan, subKeyName))
        return;
    const std::string path = SubKeyPath(keyPath, subKeyName);
    ScopedKey key(scan.platform);
    if (key.Open(RootHandle(root), path) != kResultOk)
        return;
    KeyInfo info;
    if (scan.platform.QueryInfoKey(key.Get(), &info) == kResultOk && info.subKeyCount == 0 &&
        info.valueCount == 0)
        ReportKeyFinding(scan, root, path, std::string());
}

void CheckFileAssociation(RootKey root, const std::string& keyPath, const std::string& subKeyName,
                          void* context)
{
    ScanContext& scan = ContextOf(context);
    Platform& platform = scan.platform;
    if (!ShouldCheck(scan, subKeyName) || !WildcardMatch(".*", subKeyName))
        return;
    const std::string extKey = SubKeyPath(keyPath, subKeyName);

    // The class the extension names in its default value.
    std::string progId;
    bool extensionOpens = false;
    {
        ScopedKey ext(platform);
        extensionOpens = ext.Open(RootHandle(root), extKey) == kResultOk;
        if (extensionOpens) {
            KeyInfo info;
            platform.QueryInfoKey(ext.Get(), &info);
            // The longest data plus its zero.
            const std::uint32_t size = BufferSizeForLongest(info.maxValueDataSize);
            std::string text;
            if (ReadValueText(platform, ext.Get(), "", size, &text))
                progId = text;
        }
    }
    // An extension whose class key is missing, or that names no usable class,
    // is its own class. Either way the class key has just been opened, or
    // not: it is not opened again.
    bool classOpens = extensionOpens;
    if (!progId.empty() && IsUsableClassName(progId)) {
        ScopedKey named(platform);
        if (named.Open(RootHandle(root), SubKeyPath(keyPath, progId)) == kResultOk)
            classOpens = true;
        else
            progId = subKeyName;
    } else {
        progId = subKeyName;
    }
    if (!classOpens)
        return;

    const std::string classKey = SubKeyPath(keyPath, progId);
    ScopedKey commandKey(platform);
    if (commandKey.Open(RootHandle(root), classKey + "\\Shell\\Open\\Command") != kResultOk)
        return;
    std::string command;
    if (!ReadValueText(platform, commandKey.Get(), "", kFixedValueBufferSize, &command))
        return;
    if (!NamesMissingFile(scan, WithoutPlaceholder(command)))
        return;

    ReportKeyFinding(scan, root, extKey, command, false);
    std::string loweredClass = classKey;
    std::string loweredExt = extKey;
    platform.LowerText(loweredClass);
    platform.LowerText(loweredExt);
    if (loweredClass != loweredExt)
        ReportKeyFinding(scan, root, classKey, command, true);
}

void CheckTimeZone(RootKey root, const std::string& keyPath, const std::string& subKeyName,
                   void* context)
{
    ScanContext& scan = ContextOf(context);
    if (!ShouldCheck(scan, subKeyName))
        return;
    // Asked for every zone: the zone in use may change while the scan runs.
    const std::string current = scan.platform.CurrentTimeZoneStandardName();
    // Without the name of the zone in use every zone would be reported, the
    // one the system needs included; then nothing is.
    if (current.empty())
        return;
    const std::string path = SubKeyPath(keyPath, subKeyName);
    ScopedKey key(scan.platform);
    if (key.Open(RootHandle(root), path) != kResultOk)
        return;
    std::string standardName;
    if (ReadValueText(scan.platform, key.Get(), "std", kFixedValueBufferSize, &standardName) &&
        standardName != current)
        ReportKeyFinding(scan, root, path, standardName);
}
