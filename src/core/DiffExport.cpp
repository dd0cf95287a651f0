// The rows of the differences and their exports (see RegistryDiff.h).
#include "core/RegistryDiff.h"

#include <cstdio>
#include <memory>

#include "core/RegWriter.h"
#include "core/RegistryPaths.h"
#include "core/Text.h"
#include "core/Unicode.h"

namespace {

constexpr char kLineEnd[] = "\r\n";
// Text is handed to the file in pieces of about this many bytes.
constexpr std::size_t kWriteBlock = 64 * 1024;

std::string DataText(std::uint32_t type, const std::string& data)
{
    return FormatValueData(type, reinterpret_cast<const std::uint8_t*>(data.data()),
                           static_cast<std::uint32_t>(data.size()));
}

const std::string& KindText(DiffKind kind, const DiffTexts& texts)
{
    switch (kind) {
    case DiffKind::Removed:
        return texts.removed;
    case DiffKind::Changed:
        return texts.changed;
    case DiffKind::Added:
        break;
    }
    return texts.added;
}

std::string KeyLine(const std::string& rootName, const std::string& keyPath, bool deleted)
{
    return std::string(deleted ? "[-" : "[") + (keyPath.empty() ? rootName : rootName + "\\" + keyPath) + "]" +
           kLineEnd;
}

// The lines that turn one entry back; empty when a name holds a line break.
std::string UndoLines(const DiffEntry& entry)
{
    if (HasLineBreak(entry.keyPath) || HasLineBreak(entry.valueName))
        return std::string();
    if (entry.kind == DiffKind::Added) {
        if (!entry.isValue)
            return entry.keyPath.empty() ? std::string() : KeyLine(entry.rootName, entry.keyPath, true) + kLineEnd;
        return KeyLine(entry.rootName, entry.keyPath, false) + RegValueNameText(entry.valueName) + "=-" + kLineEnd +
               kLineEnd;
    }
    if (entry.isValue)
        return KeyLine(entry.rootName, entry.keyPath, false) +
               RegValueLineText(entry.valueName, entry.backupType, entry.backupData) + kLineEnd + kLineEnd;
    std::string lines;
    for (const DiffKeyData& key : entry.backupKeys) {
        if (HasLineBreak(key.keyPath))
            return std::string();
        lines += KeyLine(entry.rootName, key.keyPath, false);
        for (const DiffValueData& value : key.values) {
            if (HasLineBreak(value.name))
                return std::string();
            lines += RegValueLineText(value.name, value.type, value.data) + kLineEnd;
        }
        lines += kLineEnd;
    }
    return lines;
}

} // namespace

std::string RegistryTypeName(std::uint32_t type)
{
    static const char* const kNames[] = {"REG_NONE",
                                         "REG_SZ",
                                         "REG_EXPAND_SZ",
                                         "REG_BINARY",
                                         "REG_DWORD",
                                         "REG_DWORD_BIG_ENDIAN",
                                         "REG_LINK",
                                         "REG_MULTI_SZ",
                                         "REG_RESOURCE_LIST",
                                         "REG_FULL_RESOURCE_DESCRIPTOR",
                                         "REG_RESOURCE_REQUIREMENTS_LIST",
                                         "REG_QWORD"};
    if (type < sizeof kNames / sizeof kNames[0])
        return kNames[type];
    char text[24];
    std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(type));
    return text;
}

std::array<std::string, 7> DiffRowTexts(const DiffEntry& entry, const DiffTexts& texts)
{
    std::array<std::string, 7> row;
    row[0] = KindText(entry.kind, texts);
    row[1] = entry.rootName;
    row[2] = entry.keyPath;
    if (!entry.isValue)
        return row;
    row[3] = entry.valueName;
    const bool inBackup = entry.kind != DiffKind::Added;
    const bool inRegistry = entry.kind != DiffKind::Removed;
    if (inBackup && inRegistry && entry.backupType != entry.currentType)
        row[4] = RegistryTypeName(entry.backupType) + " / " + RegistryTypeName(entry.currentType);
    else
        row[4] = RegistryTypeName(inBackup ? entry.backupType : entry.currentType);
    if (inBackup)
        row[5] = DataText(entry.backupType, entry.backupData);
    if (inRegistry)
        row[6] = DataText(entry.currentType, entry.currentData);
    return row;
}

CsvReportStatus WriteDiffCsvReport(FileSystem& files, const std::string& path,
                                   const std::vector<std::string>& headerTexts,
                                   const std::vector<DiffEntry>& entries, const DiffTexts& texts)
{
    CsvReportWriter writer(files);
    const CsvReportStatus opened = writer.Open(path, headerTexts);
    if (opened != CsvReportStatus::Written)
        return opened;
    for (const DiffEntry& entry : entries) {
        const std::array<std::string, 7> row = DiffRowTexts(entry, texts);
        if (!writer.AddRow(std::vector<std::string>(row.begin(), row.end())))
            break;
    }
    return writer.Finish();
}

bool WriteDiffUndoRegFile(FileSystem& files, const std::string& path, const std::vector<DiffEntry>& entries)
{
    std::unique_ptr<OutputFile> file = files.CreateOutputFile(path, false);
    if (!file)
        return false;
    bool written = file->Write(RegFileStartBytes());
    std::string pending;
    for (const DiffEntry& entry : entries) {
        if (!written)
            break;
        pending += UndoLines(entry);
        if (pending.size() >= kWriteBlock) {
            written = file->Write(Utf8ToUtf16LeBytes(pending));
            pending.clear();
        }
    }
    if (written && !pending.empty())
        written = file->Write(Utf8ToUtf16LeBytes(pending));
    written = file->Close() && written;
    if (!written)
        files.RemoveFile(path);
    return written;
}
