// The recorder's store against the program's own readers of the database files.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "activity/access_tables.h"
#include "activity/database_files.h"
#include "activity/drive_table.h"
#include "activity/path_key.h"
#include "activity/recorder/activity_store.h"
#include "platform/dos_time.h"
#include "platform/forwarding_system.h"
#include "support/temp_drives.h"

namespace {

using activity::recorder::ActivityStore;
using activity::recorder::Operation;
using activity::recorder::RecordResult;

constexpr std::uint32_t kSpanStart = 0x5A210000;  // 2025-01-01
constexpr std::uint32_t kInSpan = 0x5B010000;  // 2025-08-01

class ActivityStoreTest : public ::testing::Test {
 protected:
  // Gives D: a database on C: with the given layout.
  void Watch(activity::DriveRecord record) {
    activity::DriveTable table;
    ASSERT_TRUE(table.Load(drives_.System()));
    record.drive = activity::DriveNumber('D');
    record.location = activity::DriveNumber('C');
    table.NewState().push_back(record);
    ASSERT_TRUE(table.Save(drives_.System()));
    ASSERT_TRUE(activity::CreateZeroFilledFile(drives_.System(), "C:\\FileTblD.NVX",
                                               record.Capacity() * activity::kAccessRecordSize));
  }
  static activity::DriveRecord Layout() {
    activity::DriveRecord record;
    record.bucketMask = 15;
    record.bucketSize = 2;
    record.spanStart = kSpanStart;
    return record;
  }
  // What the program itself reads back: the drive record and the found access record.
  std::pair<activity::DriveRecord, activity::AccessRecord> ReadBack(const std::string& path) {
    activity::DriveTable table;
    EXPECT_TRUE(table.Load(drives_.System()));
    EXPECT_EQ(table.NewState().size(), 1u);
    const activity::DriveRecord record = table.NewState().front();
    activity::AccessTables tables;
    EXPECT_TRUE(tables.Load(drives_.System(), 'D', record));
    return {record, tables.RecordOrZero('D', activity::PathKey(path, {}))};
  }

  testing_support::TempDrives drives_{"CD"};
};

TEST_F(ActivityStoreTest, CountsAreWrittenWhereTheProgramFindsThem) {
  Watch(Layout());
  {
    ActivityStore store(drives_.System());
    std::string error;
    ASSERT_TRUE(store.Open(&error)) << error;
    EXPECT_EQ(store.Record("D:\\Work\\a.txt", Operation::Read, 3, kInSpan), RecordResult::Counted);
    EXPECT_EQ(store.Record("d:\\work\\A.TXT", Operation::Write, 1, kInSpan + 1), RecordResult::Counted);
    for (int i = 0; i < 20; ++i) {
      EXPECT_EQ(store.Record("D:\\many\\f" + std::to_string(i), Operation::Execute, 1, kInSpan),
                RecordResult::Counted);
    }
    ASSERT_TRUE(store.Close(&error)) << error;
  }
  const auto [record, found] = ReadBack("D:\\Work\\a.txt");
  EXPECT_EQ(record.recordsInUse, 21u);  // the path key ignores case: one file
  EXPECT_EQ(found.readOnly, 3u);
  EXPECT_EQ(found.writeOnly, 1u);
  EXPECT_EQ(found.total, 4u);
  EXPECT_EQ(found.lastAccess, kInSpan + 1);
  EXPECT_EQ(found.lastOperation, 1);
  EXPECT_EQ(ReadBack("D:\\many\\f19").second.execute, 1u);
  // The table keeps the length the program created it with.
  EXPECT_EQ(drives_.ReadFile("C:\\FileTblD.NVX").size(), 32u * activity::kAccessRecordSize);
}

TEST_F(ActivityStoreTest, RecordsOnlyInsideTheSpanAndOnWatchedDrives) {
  activity::DriveRecord layout = Layout();
  layout.spanEnd = kInSpan + 10;
  Watch(layout);
  ActivityStore store(drives_.System());
  std::string error;
  ASSERT_TRUE(store.Open(&error)) << error;
  EXPECT_EQ(store.Record("D:\\a", Operation::Read, 1, kSpanStart - 1), RecordResult::OutOfSpan);
  EXPECT_EQ(store.Record("D:\\a", Operation::Read, 1, kInSpan + 11), RecordResult::OutOfSpan);
  EXPECT_EQ(store.Record("D:\\a", Operation::Read, 1, kInSpan + 10), RecordResult::Counted);
  EXPECT_EQ(store.Record("C:\\a", Operation::Read, 1, kInSpan), RecordResult::NotWatched);
  EXPECT_EQ(store.Record("nowhere", Operation::Read, 1, kInSpan), RecordResult::BadPath);
}

// Opens of a disk that now has another's letter are not counted into the other's database.
TEST_F(ActivityStoreTest, ADriveOfAnotherFilesystemIsNotCounted) {
  Watch(Layout());
  class Changed final : public platform::ForwardingSystem {
   public:
    using ForwardingSystem::ForwardingSystem;
    std::optional<std::string> DriveChange(char letter) const override {
      return letter == 'D' ? std::optional<std::string>("D: is another disk") : std::nullopt;
    }
  } changed(drives_.System());
  ActivityStore store(changed);
  std::string error;
  std::vector<std::string> warnings;
  ASSERT_TRUE(store.Open(&error, &warnings)) << error;
  EXPECT_EQ(warnings, std::vector<std::string>{"D: is another disk: the activity database of D: is not used"});
  EXPECT_EQ(store.Record("D:\\a.txt", Operation::Read, 1, kInSpan), RecordResult::NotWatched);
}

TEST_F(ActivityStoreTest, AFullDatabaseRefusesNewFilesButKeepsCounting) {
  activity::DriveRecord layout = Layout();
  layout.bucketMask = 0;
  layout.bucketSize = 2;
  Watch(layout);
  ActivityStore store(drives_.System());
  std::string error;
  ASSERT_TRUE(store.Open(&error)) << error;
  EXPECT_EQ(store.Record("D:\\1", Operation::Read, 1, kInSpan), RecordResult::Counted);
  EXPECT_EQ(store.Record("D:\\2", Operation::Read, 1, kInSpan), RecordResult::Counted);
  EXPECT_EQ(store.Record("D:\\3", Operation::Read, 1, kInSpan), RecordResult::Full);
  EXPECT_EQ(store.Record("D:\\1", Operation::Read, 1, kInSpan), RecordResult::Counted);
  EXPECT_EQ(store.Find("D:\\1")->readOnly, 2u);
}

TEST_F(ActivityStoreTest, AnEmptiedDatabaseForgetsWhatItsFileStillHolds) {
  Watch(Layout());
  {
    ActivityStore store(drives_.System());
    std::string error;
    ASSERT_TRUE(store.Open(&error));
    store.Record("D:\\old", Operation::Read, 5, kInSpan);
    ASSERT_TRUE(store.Close(&error));
  }
  // The program empties a database by setting its records in use to 0.
  activity::DriveTable table;
  ASSERT_TRUE(table.Load(drives_.System()));
  table.NewState().front().recordsInUse = 0;
  ASSERT_TRUE(table.Save(drives_.System()));

  ActivityStore store(drives_.System());
  std::string error;
  ASSERT_TRUE(store.Open(&error));
  store.Record("D:\\new", Operation::Read, 1, kInSpan);
  EXPECT_EQ(store.Find("D:\\old"), nullptr);
  ASSERT_TRUE(store.Close(&error));
  EXPECT_EQ(ReadBack("D:\\new").first.recordsInUse, 1u);
  EXPECT_EQ(ReadBack("D:\\old").second.total, 0u);
}

// The recorder refuses a damaged table as the program does: a table with two records
// for one drive once made the two pick different records, and an absurd record must
// size no memory. Nothing is counted and the file is left as it is.
TEST_F(ActivityStoreTest, ADamagedTableIsRefusedWholeAndLeftAsItIs) {
  Watch(Layout());
  activity::DriveRecord absurd = Layout();
  absurd.drive = activity::DriveNumber('D');
  absurd.location = activity::DriveNumber('C');
  absurd.bucketMask = 0xFFFF;
  absurd.bucketSize = 0xFFFF;  // about 4 billion records
  activity::DriveRecord second = Layout();
  second.drive = activity::DriveNumber('D');
  second.location = activity::DriveNumber('C');
  second.bucketMask = 7;
  const std::string sound = drives_.ReadFile("C:\\DriveTbl.NVX");
  const auto bytes = [](const activity::DriveRecord& record) {
    const auto one = record.Serialize();
    return std::string(one.begin(), one.end());
  };
  for (const std::string& damaged : {bytes(absurd), sound + bytes(second)}) {
    drives_.WriteFile("C:\\DriveTbl.NVX", damaged);
    ActivityStore store(drives_.System());
    std::string error;
    EXPECT_FALSE(store.Open(&error));
    EXPECT_NE(error.find("C:\\DriveTbl.NVX is damaged: "), std::string::npos) << error;
    EXPECT_EQ(store.Record("D:\\a", Operation::Read, 1, kInSpan), RecordResult::NotWatched);
    EXPECT_TRUE(store.WatchedDrives().empty());
    EXPECT_TRUE(store.Close(&error));
    EXPECT_EQ(drives_.ReadFile("C:\\DriveTbl.NVX"), damaged);
  }
}

TEST_F(ActivityStoreTest, NamesGoToTheSlotOfTheirRecordWhenAsked) {
  activity::DriveRecord layout = Layout();
  layout.namesState = 0;
  layout.maxNameSize = 8;
  Watch(layout);
  ActivityStore store(drives_.System());
  std::string error;
  ASSERT_TRUE(store.Open(&error));
  store.Record("D:\\abc", Operation::Read, 1, kInSpan);
  store.Record("D:\\a-very-long-name", Operation::Read, 1, kInSpan);
  ASSERT_TRUE(store.Close(&error)) << error;

  activity::AccessTables tables;
  ASSERT_TRUE(tables.Load(drives_.System(), 'D', ReadBack("D:\\abc").first));
  const std::string names = drives_.ReadFile("C:\\FileNamD.NVX");
  const auto slot = [&](const char* path) {
    const std::uint64_t key = activity::PathKey(path, {});
    const std::int64_t index = tables.Lookup('D', static_cast<std::uint32_t>(key),
                                             static_cast<std::uint32_t>(key >> 32));
    return names.substr(static_cast<std::size_t>(index) * 8, 8);
  };
  EXPECT_EQ(slot("D:\\abc"), std::string("D:\\abc\0\0", 8));
  EXPECT_EQ(slot("D:\\a-very-long-name"), std::string("D:\\a-ve\0", 8));  // cut, still ended
}

}  // namespace
