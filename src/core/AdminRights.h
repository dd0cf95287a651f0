// When the program needs administrator rights: which changes the system
// refused for lack of them, when to offer a restart as administrator, and
// when to warn before a scan that some findings can only be deleted with
// them. Platform-free.
#pragma once

#include <vector>

// Why an entry was left as it was after a change.
enum class ChangeFailure {
    NeedsAdministratorRights,   // the system refused access
    Other,                      // anything else (in use, gone, no such path)
};

// The reason behind the system's code of a failed change step.
ChangeFailure FailureOfResult(long result);

// True when a restart as administrator could change what was refused: the
// process is not elevated and at least one of the failed steps' codes is a
// refusal of rights.
bool ShouldOfferRestartAsAdministrator(bool elevated, const std::vector<long>& failedResults);

// True when scan task `number` (1 to 11) looks under HKEY_LOCAL_MACHINE.
bool TaskLooksUnderLocalMachine(int number);

// True when the cleaner page should say before a scan that findings under
// HKEY_LOCAL_MACHINE can only be deleted as administrator: the process is
// not elevated and a ticked task (entry i for task i+1) looks there.
bool ShouldShowMachineKeyNote(bool elevated, const std::vector<bool>& tickedTasks);
