// The two shapes of a cleaner finding and the guard against protected keys.
#include "core/ScanContext.h"

#include <algorithm>
#include <vector>

#include "core/PathRules.h"
#include "core/Unicode.h"
#include "core/Text.h"
#include "core/RegistryPaths.h"
#include "core/ScanCache.h"

namespace {

struct PathShape {
    std::size_t components = 1;
    bool emptyComponent = false;   // leading, trailing or doubled backslash
};

// Walks the path character by character, so that a trail byte equal to a
// backslash does not split a name.
PathShape PathShapeOf(const std::string& keyPath)
{
    PathShape shape;
    std::size_t componentStart = 0;
    for (std::size_t i = 0; i < keyPath.size(); i = NextCharIndex(keyPath, i)) {
        if (keyPath[i] != '\\')
            continue;
        if (i == componentStart)
            shape.emptyComponent = true;
        ++shape.components;
        componentStart = i + 1;
    }
    if (componentStart == keyPath.size())
        shape.emptyComponent = true;
    return shape;
}

void Deliver(const ScanContext& context, const RegistryItem& item, bool scrollIntoView)
{
    if (context.sink.addFinding)
        context.sink.addFinding(item, scrollIntoView, context.sink.context);
}

}  // namespace

std::string DataAsText(const std::uint8_t* data, std::uint32_t size)
{
    return data ? StringDataText(data, size) : std::string();
}

std::string SubKeyPath(const std::string& keyPath, const std::string& subKeyName)
{
    return keyPath.empty() ? subKeyName : keyPath + "\\" + subKeyName;
}

std::size_t CountPathComponents(const std::string& keyPath)
{
    return keyPath.empty() ? 0 : PathShapeOf(keyPath).components;
}

bool NamesMissingFile(FileSystem& files, TextRules& textRules, const std::string& text)
{
    std::string path;
    return ExtractFilePath(files, textRules, text, path) && IsMissingFile(files, path);
}

bool NamesMissingFile(ScanContext& context, const std::string& text)
{
    if (!context.cache)
        return NamesMissingFile(context.platform, context.platform, text);
    std::string path;
    return ExtractDrivePath(context.platform, text, path) &&
           IsOnDrive(context.platform, path,
                     context.cache->FixedDriveLetters(context.platform, context.platform)) &&
           context.cache->IsMissingFile(context.platform, path);
}

bool IsProtectedKeyPath(TextRules& textRules, const std::string& keyPath)
{
    const PathShape shape = PathShapeOf(keyPath);
    if (keyPath.empty() || shape.emptyComponent || shape.components < 2)
        return true;
    std::string lowered = keyPath;
    textRules.LowerText(lowered);
    return lowered == "software\\classes" || lowered == "software\\classes\\clsid";
}

namespace {

// The components of a key path in lower case, split at whole backslashes.
std::vector<std::string> LoweredComponents(TextRules& textRules, const std::string& keyPath)
{
    std::string lowered = keyPath;
    textRules.LowerText(lowered);
    std::vector<std::string> components;
    std::size_t start = 0;
    for (std::size_t slash = FindChar(lowered, '\\'); slash != std::string::npos;
         slash = FindChar(lowered, '\\', start)) {
        components.push_back(lowered.substr(start, slash - start));
        start = slash + 1;
    }
    components.push_back(lowered.substr(start));
    return components;
}

// A user's own classes hive, "<user>_Classes", in lower case.
bool IsUserClassesHive(const std::string& name)
{
    static const std::string kEnding = "classes";
    const std::size_t size = name.size();
    return size > kEnding.size() + 1 && name.compare(size - kEnding.size(), kEnding.size(), kEnding) == 0 &&
           name[size - kEnding.size() - 1] == '_';
}

// True when the components from `first` on, below a classes root, are the
// classes root itself, its "CLSID" key, or the same two of its 32-bit view
// ("WOW6432Node", "WOW6432Node\CLSID").
bool IsClassesRootView(const std::vector<std::string>& components, std::size_t first)
{
    if (first > components.size())
        return false;
    std::size_t at = first;
    if (at < components.size() && components[at] == "wow6432node")
        ++at;
    if (at < components.size() && components[at] == "clsid")
        ++at;
    return at == components.size();
}

// The same below a key that holds a "Software" key: "Software\Classes" and
// the 32-bit view "Software\WOW6432Node\Classes".
bool IsSoftwareClassesView(const std::vector<std::string>& components, std::size_t first)
{
    if (first + 1 >= components.size() || components[first] != "software")
        return false;
    if (components[first + 1] == "classes")
        return IsClassesRootView(components, first + 2);
    return first + 2 < components.size() && components[first + 1] == "wow6432node" &&
           components[first + 2] == "classes" && IsClassesRootView(components, first + 3);
}

} // namespace

bool IsProtectedKey(TextRules& textRules, RootKey root, const std::string& keyPath)
{
    if (IsProtectedKeyPath(textRules, keyPath))
        return true;
    const std::vector<std::string> components = LoweredComponents(textRules, keyPath);
    if (IsSoftwareClassesView(components, 0))
        return true;
    if (root == kHkeyClassesRoot)
        return IsClassesRootView(components, 0);
    if (root == kHkeyUsers) {
        // Every user's hive sits directly beneath: "<user>\Software\Classes"
        // and the user's own classes hive "<user>_Classes".
        return IsSoftwareClassesView(components, 1) ||
               (IsUserClassesHive(components[0]) && IsClassesRootView(components, 1));
    }
    return false;
}

void ReportValueFinding(ScanContext& context, RootKey root, const std::string& keyPath,
                        const std::string& valueName, std::uint32_t type,
                        const std::string& dataText)
{
    if (context.Stopped())
        return;
    RegistryItem item;
    item.rootName = RootKeyName(root);
    item.keyPath = keyPath;
    item.valueName = valueName;
    item.dataText = dataText;
    item.image = type == kRegSz ? kCleanerImageString : kCleanerImageOther;
    item.type = static_cast<std::int32_t>(type);
    Deliver(context, item, true);
}

void ReportKeyFinding(ScanContext& context, RootKey root, const std::string& keyPath,
                      const std::string& dataText, bool scrollIntoView)
{
    if (context.Stopped() || IsProtectedKey(context.platform, root, keyPath))
        return;
    RegistryItem item;
    item.rootName = RootKeyName(root);
    item.keyPath = keyPath;
    item.dataText = dataText;
    item.image = kCleanerImageKey;
    item.type = kKeyRowType;
    Deliver(context, item, scrollIntoView);
}
