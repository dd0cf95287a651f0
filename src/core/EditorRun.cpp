// What a run of the registry editor left behind (see EditorRun.h).
#include "core/EditorRun.h"

#include <utility>

#include "core/Language.h"

bool ExportWroteFile(const FileStamp& before, const FileStamp& after)
{
    if (!after.exists || after.size == 0)
        return false;
    return !before.exists || before.size != after.size || before.lastWrite != after.lastWrite;
}

bool IsWholeRegFile(TextRules& textRules, const std::string& bytes)
{
    const RegFileContent content = ReadRegFile(textRules, bytes);
    if (content.format == RegFileFormat::kUnknown || content.keys.empty() || !content.refusedLines.empty())
        return false;
    // The last character is a line end: CR or LF, in UTF-16 LE a unit of two
    // bytes (an odd byte count is among the refused lines already). And the
    // last line before it does not end in a backslash: its data would go on
    // in a line that is not there.
    const std::size_t unit = content.encoding == RegFileEncoding::kUtf16 ? 2 : 1;
    auto charAt = [&bytes, unit](std::size_t end) -> char {
        if (unit == 2 && bytes[end - 1] != '\0')
            return '\x7F';   // not a character of ASCII: none of those looked for
        return bytes[end - unit];
    };
    std::size_t end = bytes.size();
    if (end < unit || (charAt(end) != '\n' && charAt(end) != '\r'))
        return false;
    while (end >= unit && (charAt(end) == '\n' || charAt(end) == '\r'))
        end -= unit;
    return end < unit || charAt(end) != '\\';
}

bool ExportWroteBackup(const FileStamp& before, const FileStamp& after, const EditorOutcome& editor,
                       TextRules& textRules, const std::string& bytes)
{
    return editor.Succeeded() && ExportWroteFile(before, after) && bytes.size() == after.size &&
           IsWholeRegFile(textRules, bytes);
}

RestoreVerification VerifyRestore(RegistryAccess& registry, TextRules& textRules, const std::string& bytes,
                                  const std::string& defaultValueText)
{
    RestoreVerification verification;
    const RegFileContent content = ReadRegFile(textRules, bytes);
    verification.refusedLines = content.refusedLines;
    if (content.format == RegFileFormat::kUnknown)
        return verification;
    verification.fileRead = true;
    for (RestoreShortfall& shortfall :
         CheckRestoredEntries(registry, textRules, content, defaultValueText, &verification.checked))
        (shortfall.keptBySystem ? verification.keptBySystem : verification.shortfalls).push_back(std::move(shortfall));
    return verification;
}

std::string RestoreProblemList(const std::string& header, const RestoreVerification& verification,
                               const std::string& refusedLineFormat)
{
    const char* const kLineEnd = "\r\n";
    std::string list = header + kLineEnd;
    // Both lists are in line order: merge them.
    const auto& shortfalls = verification.shortfalls;
    const auto& refused = verification.refusedLines;
    std::size_t s = 0;
    std::size_t r = 0;
    while (s < shortfalls.size() || r < refused.size()) {
        if (r == refused.size() || (s < shortfalls.size() && shortfalls[s].line <= refused[r].line)) {
            list += shortfalls[s++].text + kLineEnd;
        } else {
            list += FormatTextWithNumber(refusedLineFormat, static_cast<long long>(refused[r++].line)) +
                    kLineEnd;
        }
    }
    return list;
}
