// The recorder's hold and release controls.

#include "activity/recorder_control.h"

#include <gtest/gtest.h>

#include "activity/drive_table.h"
#include "shell/recorder_listener.h"
#include "support/faulty_system.h"
#include "support/temp_drives.h"

namespace activity {
namespace {

TEST(RecorderControl, HoldComesBeforeTheFileWorkAndReleaseAfter) {
  testing_support::TempDrives drives("C");
  bool tableOpenAtHold = true;
  testing_support::RecorderListener recorder(drives.Dir() + "/recorder.sock", [&](std::uint32_t code) {
    if (code == IOCTL_RECORDER_HOLD) tableOpenAtHold = drives.Exists(kDriveTablePath);
  });
  ASSERT_TRUE(recorder.Listening());

  DriveTable table;
  {
    const RecorderHold hold(drives.System());
    EXPECT_EQ(recorder.Codes(), std::vector<std::uint32_t>{IOCTL_RECORDER_HOLD}) << "answered before it returns";
    ASSERT_TRUE(table.Load(drives.System()));
  }
  EXPECT_FALSE(tableOpenAtHold) << "the table was created only after the hold";
  EXPECT_EQ(recorder.Codes(), (std::vector<std::uint32_t>{0x12345678, 0x87654321}));
}

TEST(RecorderControl, AbsentRecorderIsSilent) {
  testing_support::TempDrives drives("C");  // nobody listens on its socket
  testing_support::FaultySystem faulty(drives.System());
  faulty.RecorderAbsent();
  EXPECT_NO_THROW({
    SendControl(drives.System(), IOCTL_RECORDER_HOLD);
    SendControl(faulty, IOCTL_RECORDER_RELEASE);
    const RecorderHold hold(faulty);
  });
  DriveTable table;
  EXPECT_TRUE(table.Load(faulty)) << "the files are then used directly";
}

}  // namespace
}  // namespace activity
