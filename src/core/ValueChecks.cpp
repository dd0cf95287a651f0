// The value checks of the walking cleaner tasks.
#include "core/ValueChecks.h"

#include <algorithm>

#include "core/PathRules.h"
#include "core/ScanContext.h"
#include "core/Text.h"
#include "core/RegistryPaths.h"

namespace {

ScanContext& ContextOf(void* context)
{
    return *static_cast<ScanContext*>(context);
}

std::string NameOf(const char* valueName, std::uint32_t valueNameLength)
{
    return valueName ? std::string(valueName, valueNameLength) : std::string();
}

// The name is tested first; the data only when the name names no missing file.
bool NameOrDataNamesMissingFile(ScanContext& scan, const std::string& name,
                                const std::string& dataText)
{
    return NamesMissingFile(scan, name) || NamesMissingFile(scan, dataText);
}

// StartsLikeDrivePath for string data as stored (UTF-16 LE), read before it
// is turned into text.
bool DataStartsLikeDrivePath(const std::uint8_t* data, std::uint32_t size)
{
    const std::uint32_t units = size / 2;
    auto unit = [data](std::uint32_t i) { return static_cast<unsigned>(data[2 * i] | (data[2 * i + 1] << 8)); };
    std::uint32_t start = 0;
    while (start < units && (unit(start) == ' ' || unit(start) == '"'))
        ++start;
    return units - start >= 3 && unit(start) != 0 && unit(start + 1) == ':' && unit(start + 2) == '\\';
}

// Whether the name or the data could name a file at all. Most values name
// none, so this is asked before their name and data are copied into text.
bool MayNameAFile(const char* valueName, std::uint32_t valueNameLength,
                  const std::uint8_t* data, std::uint32_t dataSize)
{
    return (valueName && StartsLikeDrivePath(valueName, valueNameLength)) ||
           (data && DataStartsLikeDrivePath(data, dataSize));
}

}  // namespace

void CheckFileValue(RootKey root, const std::string& path, const char* valueName,
                    std::uint32_t valueNameLength, std::uint32_t type, const std::uint8_t* data,
                    std::uint32_t dataSize, void* context)
{
    ScanContext& scan = ContextOf(context);
    if (type != kRegSz || !MayNameAFile(valueName, valueNameLength, data, dataSize))
        return;
    const std::string name = NameOf(valueName, valueNameLength);
    const std::string dataText = DataAsText(data, dataSize);
    if (NameOrDataNamesMissingFile(scan, name, dataText))
        ReportValueFinding(scan, root, path, name, type, dataText);
}

void CheckClassFileValue(RootKey root, const std::string& path, const char* valueName,
                         std::uint32_t valueNameLength, std::uint32_t type,
                         const std::uint8_t* data, std::uint32_t dataSize, void* context)
{
    ScanContext& scan = ContextOf(context);
    if (type != kRegSz || !MayNameAFile(valueName, valueNameLength, data, dataSize))
        return;
    const std::string dataText = DataAsText(data, dataSize);
    const std::string name = NameOf(valueName, valueNameLength);
    if (!NameOrDataNamesMissingFile(scan, name, dataText))
        return;
    const std::size_t slash = FindLastChar(path, '\\');
    const std::string classKey = slash == std::string::npos ? path : path.substr(0, slash);
    // A value stored directly in a class key would name the key of all class
    // registrations ("CLSID", "Software\Classes\CLSID") or one above it:
    // offering that for deletion would unregister every COM class at once.
    if (CountPathComponents(classKey) < scan.classKeyLevel)
        return;
    ReportKeyFinding(scan, root, classKey, dataText);
}

void ReportEveryValue(RootKey root, const std::string& path, const char* valueName,
                      std::uint32_t valueNameLength, std::uint32_t type, const std::uint8_t* data,
                      std::uint32_t dataSize, void* context)
{
    ScanContext& scan = ContextOf(context);
    ReportValueFinding(scan, root, path, NameOf(valueName, valueNameLength), type,
                       FormatValueData(type, data, dataSize));
}

void CheckSharedDll(RootKey root, const std::string& path, const char* valueName,
                    std::uint32_t valueNameLength, std::uint32_t type, const std::uint8_t* data,
                    std::uint32_t dataSize, void* context)
{
    ScanContext& scan = ContextOf(context);
    if (!MayNameAFile(valueName, valueNameLength, nullptr, 0))
        return;
    const std::string name = NameOf(valueName, valueNameLength);
    if (NamesMissingFile(scan, name))
        ReportValueFinding(scan, root, path, name, type, FormatValueData(type, data, dataSize));
}

void CheckEmptyData(RootKey root, const std::string& path, const char* valueName,
                    std::uint32_t valueNameLength, std::uint32_t type, const std::uint8_t* data,
                    std::uint32_t dataSize, void* context)
{
    ScanContext& scan = ContextOf(context);
    // Data of no bytes at all is as empty as data that starts with a zero.
    if (DataAsText(data, dataSize).empty())
        ReportValueFinding(scan, root, path, NameOf(valueName, valueNameLength), type,
                           std::string());
}

void CheckRunEntry(RootKey root, const std::string& path, const char* valueName,
                   std::uint32_t valueNameLength, std::uint32_t type, const std::uint8_t* data,
                   std::uint32_t dataSize, void* context)
{
    ScanContext& scan = ContextOf(context);
    const std::string command = DataAsText(data, dataSize);
    // A command that names no drive-qualified path at all cannot be checked
    // and counts as invalid; one refused for its arguments or drive is kept.
    if (NamesMissingFile(scan, command) || !WildcardMatch("*:\\*", command))
        ReportValueFinding(scan, root, path, NameOf(valueName, valueNameLength), type, command);
}
