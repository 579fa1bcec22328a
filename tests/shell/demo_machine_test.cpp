// The demo machine: a realistic data drive whose database the program can read.

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <set>
#include <sstream>

#include "activity/access_tables.h"
#include "activity/drive_table.h"
#include "activity/path_key.h"
#include "platform/environment.h"
#include "platform/host_system.h"
#include "shell/demo_machine.h"
#include "support/temp_drives.h"

namespace {

TEST(DemoMachine, BuildsDrivesAndActivityThatTheProgramReads) {
  testing_support::TempDrives scratch("C");
  std::string error;
  const auto machine = shell::BuildDemoMachine(scratch.Dir(), std::time(nullptr), &error);
  ASSERT_TRUE(machine) << error;
  EXPECT_GE(machine->files, 2000u);
  EXPECT_GE(machine->recorded, machine->files / 3);
  EXPECT_LT(machine->recorded, machine->files);  // some files were never opened

  platform::Environment environment;
  environment.stateDir = machine->stateDir;
  environment.configDir = machine->configDir;
  environment.recorderSocket = machine->folder + "/none.sock";
  environment.drives = *platform::DriveMap::Parse(machine->drives);
  platform::HostSystem system(environment);

  activity::DriveTable table;
  ASSERT_TRUE(table.Load(system));
  ASSERT_EQ(table.NewState().size(), 1u);
  EXPECT_EQ(table.NewState().front().recordsInUse, machine->recorded);
  activity::AccessTables tables;
  ASSERT_TRUE(tables.Load(system, 'D', table.NewState().front()));
  std::set<int> lastOperations;
  for (int i = 1; i <= 12; ++i) {
    const auto record = tables.RecordOrZero(
        'D', activity::PathKey("D:\\Disk Images\\Disk Images " + std::to_string(i) +
                                   (i % 2 ? ".iso" : ".img"), {}));
    EXPECT_NE(record.total, 0u) << i;
    lastOperations.insert(record.lastOperation);
  }
  EXPECT_EQ(lastOperations, (std::set<int>{0, 1, 2, 3, 4}));
  const auto log = tables.RecordOrZero('D', activity::PathKey("D:\\Logs\\Logs 2.log", {}));
  EXPECT_GT(log.writeOnly, 100 * log.readOnly);
}

}  // namespace
