// What a run of the registry editor left behind (see EditorRun.h).
#include "core/EditorRun.h"

#include "core/Language.h"

bool ExportWroteFile(const FileStamp& before, const FileStamp& after)
{
    if (!after.exists || after.size == 0)
        return false;
    return !before.exists || before.size != after.size || before.lastWrite != after.lastWrite;
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
    verification.shortfalls =
        CheckRestoredEntries(registry, textRules, content, defaultValueText, &verification.checked);
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
