// Where the texts of a run without a window go (see CommandLineOutput.h).
#include "core/CommandLineOutput.h"

#include <vector>

#include "core/CommandLine.h"

UsagePlace PlaceOfUsage(bool hasConsole, bool interactiveWindowStation)
{
    if (hasConsole)
        return UsagePlace::kConsole;
    return interactiveWindowStation ? UsagePlace::kMessageBox : UsagePlace::kNowhere;
}

std::string RefusalReportPath(TextRules& textRules, const std::string& commandLine)
{
    int actions = 0;
    bool takesReport = false;
    bool reportGiven = false;
    std::string report;
    for (const std::string& argument : SplitCommandLine(commandLine)) {
        const std::size_t colon = argument.find(':');
        std::string name = argument.substr(0, colon);
        textRules.LowerText(name);
        if (name == "/scan" || name == "/search" || name == "/backup" || name == "/?") {
            ++actions;
            takesReport = name == "/scan" || name == "/search";
        } else if (name == "/report" && colon != std::string::npos && !reportGiven) {
            reportGiven = true;
            report = argument.substr(colon + 1);
        }
    }
    return actions == 1 && takesReport ? report : std::string();
}
