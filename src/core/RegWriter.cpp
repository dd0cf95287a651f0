// The REG file writer: one value, one key with its subtree, or the selected
// rows of an item list.
#include "core/RegWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "core/Text.h"
#include "core/Unicode.h"
#include "core/RegistryPaths.h"
#include "core/RegistryWalk.h"

namespace {

// Line ends are written as CR LF on every platform: the registry editor
// expects them and the file is written in binary. The file is UTF-16 LE with
// a byte-order mark, as the registry editor writes its own exports.
constexpr char kLineEnd[] = "\r\n";
constexpr char kByteOrderMark[] = "\xFF\xFE";
constexpr char kHeader[] = "Windows Registry Editor Version 5.00\r\n\r\n";
// Bytes on the first line of a hex list; every further line holds one less.
constexpr std::uint32_t kHexBytesPerLine = 22;
// The largest name buffer tried when a value name does not fit.
constexpr std::uint32_t kLargestNameBuffer = 65536;

// Writes text as UTF-16 LE, with the byte-order mark and the header before it
// when nothing is in the file yet.
void WriteText(OutputFile& file, RegWriteCounts& counts, const std::string& text)
{
    std::string bytes;
    if (file.Position() < 1)
        bytes = RegFileStartBytes();
    bytes += Utf8ToUtf16LeBytes(text);
    if (!file.Write(bytes))
        counts.fileFailed = true;
}

// Backslashes and double quotes inside a quoted name or string are escaped,
// as the registry editor reads them. No byte of a character beyond ASCII is
// a backslash or a quote, so the text is walked byte by byte.
std::string Escape(const std::string& text)
{
    std::string escaped;
    escaped.reserve(text.size() + 8);
    for (const char c : text) {
        if (c == '\\' || c == '"')
            escaped += '\\';
        escaped += c;
    }
    return escaped;
}

std::string NamePart(const std::string& name)
{
    return name.empty() ? std::string("@") : "\"" + Escape(name) + "\"";
}

// "hex:" or "hex(N):" with N in hexadecimal, then the bytes; after the byte
// at index 22, 44, 66, ... that is not the last, the list goes on on the next
// line after ",\".
std::string HexPart(std::uint32_t type, const std::uint8_t* data, std::uint32_t size)
{
    char prefix[24];
    if (type == kRegBinary)
        std::snprintf(prefix, sizeof prefix, "hex:");
    else
        std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(type));
    std::string text = prefix;
    text.reserve(text.size() + size * 3 + (size / kHexBytesPerLine) * 3);
    char byte[4];
    for (std::uint32_t i = 0; i < size; ++i) {
        std::snprintf(byte, sizeof byte, "%02x", data[i]);
        text += byte;
        if (i + 1 < size) {
            text += ',';
            if (i > 0 && i % kHexBytesPerLine == 0) {
                text += '\\';
                text += kLineEnd;
            }
        }
    }
    return text;
}

// A string the quoted form can carry exactly: whole UTF-16 units, one
// terminating zero unit at its end, none before it, and no line break.
bool IsPlainString(const std::uint8_t* data, std::uint32_t size)
{
    if (size < 2 || size % 2 != 0 || data[size - 2] != 0 || data[size - 1] != 0)
        return false;
    for (std::uint32_t i = 0; i + 2 < size; i += 2) {
        const unsigned unit = data[i] | (data[i + 1] << 8);
        if (unit == 0 || unit == '\r' || unit == '\n')
            return false;
    }
    return true;
}

std::string DataPart(std::uint32_t type, const std::uint8_t* data, std::uint32_t size)
{
    if (type == kRegSz && IsPlainString(data, size))
        return "\"" + Escape(StringDataText(data, size)) + "\"";
    if (type == kRegDword && size == 4) {
        std::uint32_t number = static_cast<std::uint32_t>(data[0]) |
                               static_cast<std::uint32_t>(data[1]) << 8 |
                               static_cast<std::uint32_t>(data[2]) << 16 |
                               static_cast<std::uint32_t>(data[3]) << 24;
        char text[24];
        std::snprintf(text, sizeof text, "dword:%08x", static_cast<unsigned>(number));
        return text;
    }
    return HexPart(type, data, size);
}

// Reads a value of an open key afresh and writes its key line and value
// line. True when the entry went into the file.
bool WriteValueOfKey(RegistryAccess& registry, KeyHandle key,
                     const std::string& fullKeyPath, const std::string& valueName,
                     OutputFile& file, RegWriteCounts& counts)
{
    WholeValue value;
    const WholeValueRead read = ReadWholeValue(registry, key, valueName, &value);
    if (read == WholeValueRead::Missing)
        return false;   // gone: nothing is lost
    if (read != WholeValueRead::Read || HasLineBreak(fullKeyPath) || HasLineBreak(valueName)) {
        ++counts.entriesLeftOut;
        return false;
    }
    WriteText(file, counts,
              "[" + fullKeyPath + "]" + kLineEnd + RegValueLineText(valueName, value.type, value.bytes) + kLineEnd);
    if (counts.fileFailed)
        return false;
    ++counts.entriesWritten;
    return true;
}

// Opens the key of a write; false when there is nothing to write. A key that
// exists but cannot be opened counts as left out.
bool OpenForWriting(ScopedKey& key, RootKey root, const std::string& keyPath,
                    RegWriteCounts& counts)
{
    long result = key.Open(RootHandle(root), keyPath);
    if (result != kResultOk && result != kResultFileNotFound)
        ++counts.entriesLeftOut;
    return result == kResultOk;
}

struct KeyExport {
    RegistryAccess& registry;
    OutputFile& file;
    bool includeSubkeys;
    RegWriteCounts counts;
};

// Counts the subkeys that the walk will pass over because they cannot be
// opened; false when the subkeys could not all be listed.
bool CountUnopenableSubKeys(KeyExport& exporter, KeyHandle key, RootKey root,
                            const std::string& path, const KeyInfo& info)
{
    RegistryAccess& registry = exporter.registry;
    std::uint32_t size = BufferSizeForLongest(info.maxSubKeyNameLength);
    std::unique_ptr<char[]> name(new (std::nothrow) char[size]);
    if (!name)
        return false;
    for (std::uint32_t index = 0;; ++index) {
        long result = registry.EnumKey(key, index, name.get(), size);
        if (result == kResultNoMoreItems)
            return true;
        if (result != kResultOk)
            return false;
        std::string childName = name.get();
        if (HasLineBreak(childName))
            continue;   // the walk visits it and it is counted there
        ScopedKey child(registry);
        long opened = child.Open(RootHandle(root), path + "\\" + childName);
        if (opened != kResultOk && opened != kResultFileNotFound)
            ++exporter.counts.entriesLeftOut;
    }
}

// The walk's key visitor of a key export: the key's values, every type
// included, or a key line of its own when none of them is written. A key
// whose values or subkeys cannot all be listed counts as one entry left out.
void ExportKey(RootKey root, const std::string& path, const char*, std::uint32_t, std::uint32_t,
               const std::uint8_t*, std::uint32_t, void* context)
{
    KeyExport& exporter = *static_cast<KeyExport*>(context);
    RegistryAccess& registry = exporter.registry;
    RegWriteCounts& counts = exporter.counts;
    ScopedKey key(registry);
    if (!OpenForWriting(key, root, path, counts))
        return;
    KeyInfo info;
    registry.QueryInfoKey(key.Get(), &info);
    if (HasLineBreak(path)) {
        counts.entriesLeftOut += std::max<std::uint32_t>(info.valueCount, 1);
        return;
    }
    const std::string fullKeyPath = RootKeyName(root) + "\\" + path;
    bool anyWritten = false;
    bool listed = true;
    std::uint32_t nameSize = BufferSizeForLongest(info.maxValueNameLength);
    std::unique_ptr<char[]> name(new (std::nothrow) char[nameSize]);
    for (std::uint32_t index = 0; name;) {
        std::uint32_t nameLength = nameSize;
        long result = registry.EnumValue(key.Get(), index, name.get(), &nameLength, nullptr,
                                         nullptr, nullptr);
        if (result == kResultNoMoreItems)
            break;
        if (result == kResultMoreData && nameSize < kLargestNameBuffer) {
            nameSize = std::min(nameSize * 2, kLargestNameBuffer);
            name.reset(new (std::nothrow) char[nameSize]);
            continue;
        }
        if (result != kResultOk) {
            listed = false;
            break;
        }
        std::string valueName(name.get(), nameLength);
        if (WriteValueOfKey(registry, key.Get(), fullKeyPath, valueName,
                            exporter.file, counts))
            anyWritten = true;
        ++index;
    }
    if (!name)
        listed = false;
    if (!anyWritten) {
        WriteText(exporter.file, counts, "[" + fullKeyPath + "]" + kLineEnd);
        if (!counts.fileFailed)
            ++counts.entriesWritten;
    }
    if (exporter.includeSubkeys && !CountUnopenableSubKeys(exporter, key.Get(), root, path, info))
        listed = false;
    if (!listed)
        ++counts.entriesLeftOut;
}

}  // namespace

std::string RegFileStartBytes()
{
    return std::string(kByteOrderMark, 2) + Utf8ToUtf16LeBytes(kHeader);
}

std::string RegValueNameText(const std::string& valueName)
{
    return NamePart(valueName);
}

std::string RegValueLineText(const std::string& valueName, std::uint32_t type, const std::string& data)
{
    return NamePart(valueName) + "=" +
           DataPart(type, reinterpret_cast<const std::uint8_t*>(data.data()), static_cast<std::uint32_t>(data.size()));
}

RegWriteCounts& RegWriteCounts::operator+=(const RegWriteCounts& other)
{
    entriesWritten += other.entriesWritten;
    entriesLeftOut += other.entriesLeftOut;
    fileFailed = fileFailed || other.fileFailed;
    return *this;
}

RegWriteCounts WriteRegValue(RegistryAccess& registry, TextRules& textRules,
                             const std::string& fullKeyPath, const std::string& valueName,
                             OutputFile& file)
{
    RegWriteCounts counts;
    RootKey root = kNoRootKey;
    std::string keyPath;
    if (!SplitValueKeyPath(textRules, fullKeyPath, &root, &keyPath))
        return counts;
    // A value of a root key goes under the root's own key line.
    const std::string keyLine = keyPath.empty() ? RootKeyName(root) : fullKeyPath;
    ScopedKey key(registry);
    if (OpenForWriting(key, root, keyPath, counts))
        WriteValueOfKey(registry, key.Get(), keyLine, valueName, file, counts);
    return counts;
}

RegWriteCounts WriteRegKey(RegistryAccess& registry, TextRules& textRules,
                           const std::string& fullKeyPath, OutputFile& file, bool includeSubkeys)
{
    RootKey root = kNoRootKey;
    std::string keyPath;
    if (!SplitRegistryPath(textRules, fullKeyPath, &root, &keyPath))
        return RegWriteCounts();
    keyPath = TrimBackslashes(keyPath);   // as the walk takes it
    KeyExport exporter{registry, file, includeSubkeys, RegWriteCounts()};
    {
        // The walk passes over a starting key it cannot open; tell that
        // apart from one that is gone.
        ScopedKey start(registry);
        if (!OpenForWriting(start, root, keyPath, exporter.counts))
            return exporter.counts;
    }
    WalkRegistry(registry, textRules, root, keyPath, includeSubkeys, nullptr, nullptr, &ExportKey,
                 &exporter, 0xFFFFFFFFu, std::vector<std::string>());
    return exporter.counts;
}

RegExportResult WriteRegFile(RegistryAccess& registry, FileSystem& files, TextRules& textRules,
                             const std::vector<RegExportRow>& rows, const std::string& filePath,
                             RegExportProgress progress, void* context)
{
    RegExportResult result;
    std::unique_ptr<OutputFile> file = files.CreateOutputFile(filePath, false);
    if (!file)
        return result;
    result.created = true;
    RegWriteCounts counts;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (progress)
            progress(i, context);
        const RegExportRow& row = rows[i];
        const std::string fullKeyPath = row.rootName + "\\" + row.keyPath;
        if (row.tagType == -1)
            counts += WriteRegKey(registry, textRules, fullKeyPath, *file, true);
        else
            counts += WriteRegValue(registry, textRules, fullKeyPath, row.valueName, *file);
    }
    bool stored = file->Close();
    result.entriesWritten = counts.entriesWritten;
    result.entriesLeftOut = counts.entriesLeftOut;
    result.complete = stored && !counts.fileFailed && counts.entriesLeftOut == 0;
    return result;
}
