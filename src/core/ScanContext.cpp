// The two shapes of a cleaner finding and the guard against protected keys.
#include "core/ScanContext.h"

#include <algorithm>

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
    if (context.Stopped() || IsProtectedKeyPath(context.platform, keyPath))
        return;
    RegistryItem item;
    item.rootName = RootKeyName(root);
    item.keyPath = keyPath;
    item.dataText = dataText;
    item.image = kCleanerImageKey;
    item.type = kKeyRowType;
    Deliver(context, item, scrollIntoView);
}
