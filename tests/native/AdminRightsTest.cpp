// When administrator rights are needed: the reason behind a refused change,
// the offer of a restart as administrator, the note before a scan, and the
// codes the change operation keeps for them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/AdminRights.h"
#include "core/RegistryChange.h"
#include "tests/support/MemoryPlatform.h"

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

TEST(AdminRightsTest, AnEditWhoseKeyCannotBeOpenedKeepsTheRefusal)
{
    MemoryPlatform platform;
    platform.AddString(kHkeyLocalMachine, "Software\\Vendor", "Path", "C:\\x.exe");
    platform.SetKeyFaults(kHkeyLocalMachine, "Software\\Vendor", kDenyOpen);
    RegistryItem row;
    row.rootName = "HKEY_LOCAL_MACHINE";
    row.keyPath = "Software\\Vendor";
    row.valueName = "Path";
    row.type = 1;
    const EditOutcome outcome =
        EditStringValue(platform, row, "Path", "C:\\y.exe", ChangeBackup{"C:\\Backup", "Auto"});
    EXPECT_EQ(ChangeStatus::WriteFailed, outcome.status);
    EXPECT_EQ(kResultAccessDenied, outcome.result);
    EXPECT_TRUE(ShouldOfferRestartAsAdministrator(platform.RunsElevated(), {outcome.result}));
    platform.SetRunsElevated(true);
    EXPECT_FALSE(ShouldOfferRestartAsAdministrator(platform.RunsElevated(), {outcome.result}));
}
