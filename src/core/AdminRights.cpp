// When the program needs administrator rights (see AdminRights.h).
#include "core/AdminRights.h"

#include "core/Platform.h"
#include "core/ScanTasks.h"

#include <algorithm>
#include <cstddef>

ChangeFailure FailureOfResult(long result)
{
    return result == kResultAccessDenied ? ChangeFailure::NeedsAdministratorRights : ChangeFailure::Other;
}

bool ShouldOfferRestartAsAdministrator(bool elevated, const std::vector<long>& failedResults)
{
    return !elevated && std::any_of(failedResults.begin(), failedResults.end(), [](long result) {
               return FailureOfResult(result) == ChangeFailure::NeedsAdministratorRights;
           });
}

bool TaskLooksUnderLocalMachine(int number)
{
    const std::vector<ScanStep> steps = ScanTaskSteps(number);
    return std::any_of(steps.begin(), steps.end(),
                       [](const ScanStep& step) { return step.root == kHkeyLocalMachine; });
}

bool ShouldShowMachineKeyNote(bool elevated, const std::vector<bool>& tickedTasks)
{
    if (elevated)
        return false;
    for (std::size_t i = 0; i < tickedTasks.size(); ++i) {
        if (tickedTasks[i] && TaskLooksUnderLocalMachine(static_cast<int>(i) + 1))
            return true;
    }
    return false;
}
