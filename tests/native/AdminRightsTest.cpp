// When administrator rights are needed: the reason behind a refused change,
// the offer of a restart as administrator and the note before a scan.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/AdminRights.h"
#include "core/Platform.h"

TEST(AdminRightsTest, OnlyARefusalOfAccessNeedsAdministratorRights)
{
    const struct {
        long result;
        ChangeFailure failure;
    } cases[] = {
        {kResultAccessDenied, ChangeFailure::NeedsAdministratorRights},
        {kResultOk, ChangeFailure::Other},
        {kResultFileNotFound, ChangeFailure::Other},
        {32, ChangeFailure::Other},   // in use by another program
        {1018, ChangeFailure::Other}, // a key marked for deletion
    };
    for (const auto& item : cases)
        EXPECT_EQ(FailureOfResult(item.result), item.failure) << item.result;
}

TEST(AdminRightsTest, ARestartIsOfferedWhenNotElevatedAndRightsWereMissing)
{
    const struct {
        bool elevated;
        std::vector<long> failed;
        bool offered;
    } cases[] = {
        {false, {kResultAccessDenied}, true},
        {false, {kResultFileNotFound, kResultAccessDenied}, true},
        {false, {kResultFileNotFound, 32}, false},
        {false, {}, false},
        {true, {kResultAccessDenied}, false}, // rights would not help
    };
    for (const auto& item : cases)
        EXPECT_EQ(ShouldOfferRestartAsAdministrator(item.elevated, item.failed), item.offered)
            << item.elevated << " " << item.failed.size();
}

TEST(AdminRightsTest, TheNoteNamesTicksOfTasksThatLookUnderTheLocalMachine)
{
    // Tasks 1, 2 and 6 look under the users' keys only; every other task
    // has a step below HKEY_LOCAL_MACHINE.
    for (int task = 1; task <= 11; ++task) {
        const bool machine = task != 1 && task != 2 && task != 6;
        EXPECT_EQ(TaskLooksUnderLocalMachine(task), machine) << task;
    }
    EXPECT_FALSE(TaskLooksUnderLocalMachine(0));
    EXPECT_FALSE(TaskLooksUnderLocalMachine(12));

    std::vector<bool> userOnly(11, false);
    userOnly[0] = userOnly[5] = true;
    std::vector<bool> withMachine = userOnly;
    withMachine[10] = true;
    EXPECT_FALSE(ShouldShowMachineKeyNote(false, userOnly));
    EXPECT_FALSE(ShouldShowMachineKeyNote(false, std::vector<bool>(11, false)));
    EXPECT_FALSE(ShouldShowMachineKeyNote(false, {}));
    EXPECT_TRUE(ShouldShowMachineKeyNote(false, withMachine));
    EXPECT_FALSE(ShouldShowMachineKeyNote(true, withMachine));
}
