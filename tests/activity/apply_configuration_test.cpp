// Applying the edited drive table at shutdown, on real files in temporary drives, with
// failures injected through FaultySystem and answers scripted.

#include <gtest/gtest.h>

#include "activity/access_tables.h"
#include "activity/apply_configuration.h"
#include "activity/coverage_file.h"
#include "activity/drive_table.h"
#include "support/faulty_system.h"
#include "support/temp_drives.h"
#include "shell/scripted_prompter.h"

namespace activity {
namespace {

using common::Answer;
using testing_support::FaultRule;
using testing_support::FaultySystem;
using testing_support::FileNamed;
using testing_support::Operation;

DriveRecord Record(char drive, char location, std::uint16_t mask = 1023, std::int32_t names = -1) {
  DriveRecord record;
  record.drive = DriveNumber(drive);
  record.location = DriveNumber(location);
  record.bucketMask = mask;
  record.namesState = names;
  return record;
}

class ApplyConfigurationTest : public ::testing::Test {
 protected:
  ApplyConfigurationTest() : faulty(drives.System()) {}

  // A table whose old state holds `old` (with its files present) and whose new state
  // starts as the same records, ready to be edited.
  void LoadWith(const std::vector<DriveRecord>& old) {
    ASSERT_TRUE(table.Load(drives.System()));
    table.NewState() = old;
    ASSERT_TRUE(table.Save(drives.System()));
    ASSERT_TRUE(table.Load(drives.System()));
    for (const DriveRecord& record : old) {
      drives.WriteFile(AccessTablePath(DriveLetter(record.location), DriveLetter(record.drive)),
                       "access-" + std::string(1, DriveLetter(record.drive)));
      drives.WriteFile(CoverageFilePath(DriveLetter(record.location), DriveLetter(record.drive)), "coverage");
      if (record.namesState != -1) {
        drives.WriteFile(NameTablePath(DriveLetter(record.location), DriveLetter(record.drive)),
                         "names");
      }
    }
  }
  void Apply() { ApplyConfiguration(table, faulty, prompter); }
  std::uint64_t SizeOf(std::string_view path) {
    return drives.System().GetFileSize(path).value_or(~0ull);
  }

  testing_support::TempDrives drives{"CDE"};
  FaultySystem faulty;
  testing_support::ScriptedPrompter prompter;
  DriveTable table;
};

TEST_F(ApplyConfigurationTest, DateOnlyChangeTouchesNoFile) {
  LoadWith({Record('D', 'C')});
  table.NewState()[0].spanEnd = 0x12345678;
  Apply();
  EXPECT_TRUE(prompter.asked.empty());
  EXPECT_EQ(drives.ReadFile("C:\\FileTblD.NVX"), "access-D");
  EXPECT_EQ(faulty.Calls(Operation::Open) + faulty.Calls(Operation::Copy) +
                faulty.Calls(Operation::Delete),
            0);
  EXPECT_EQ(table.NewState()[0].spanEnd, 0x12345678u);
}

TEST_F(ApplyConfigurationTest, DefaultRecordsGetAccessTableOnC) {
  ASSERT_TRUE(table.Load(drives.System()));
  ASSERT_TRUE(table.AppendDefaultRecord(DriveNumber('C'), 0));
  ASSERT_TRUE(table.AppendDefaultRecord(DriveNumber('D'), 0));
  Apply();
  EXPECT_EQ(SizeOf("C:\\FileTblC.NVX"), 135168u);
  EXPECT_EQ(SizeOf("C:\\FileTblD.NVX"), 135168u);
  EXPECT_FALSE(drives.Exists("C:\\FileNamC.NVX"));
  EXPECT_EQ(table.NewState().size(), 2u);
  EXPECT_EQ(table.OldState(), table.NewState()) << "applied state becomes the old one";
}

TEST_F(ApplyConfigurationTest, NewDatabaseWithNamesGetsBothTables) {
  ASSERT_TRUE(table.Load(drives.System()));
  DriveRecord record = Record('E', 'D', 3, 0);
  record.bucketSize = 2;
  record.maxNameSize = 100;
  table.NewState().push_back(record);
  Apply();
  EXPECT_EQ(SizeOf("D:\\FileTblE.NVX"), 8u * 33);
  EXPECT_EQ(SizeOf("D:\\FileNamE.NVX"), 8u * 100);
}

TEST_F(ApplyConfigurationTest, MoveCopiesAndRemovesTheOldFiles) {
  LoadWith({Record('D', 'C', 1023, 0)});
  table.NewState()[0].location = DriveNumber('E');
  Apply();
  EXPECT_EQ(drives.ReadFile("E:\\FileTblD.NVX"), "access-D");
  EXPECT_EQ(drives.ReadFile("E:\\FileNamD.NVX"), "names");
  EXPECT_EQ(drives.ReadFile("E:\\FileCovD.NVX"), "coverage") << "the counts keep their coverage";
  EXPECT_FALSE(drives.Exists("C:\\FileTblD.NVX"));
  EXPECT_FALSE(drives.Exists("C:\\FileNamD.NVX"));
  EXPECT_FALSE(drives.Exists("C:\\FileCovD.NVX"));
  EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(ApplyConfigurationTest, MoveFailureRetriedThenIgnoredKeepsPreviousDrive) {
  LoadWith({Record('D', 'C', 1023, 0)});
  table.NewState()[0].location = DriveNumber('E');
  faulty.ShortCopies(FaultRule{FileNamed("FileNamD.NVX")});
  prompter.answers = {Answer::Retry, Answer::Ignore};
  Apply();
  ASSERT_EQ(prompter.asked.size(), 2u) << "Retry repeats the copy";
  EXPECT_EQ(prompter.asked[0].text,
            "Error occured during moving the database for drive D:\nfrom drive C: to the drive "
            "E: !\n\nPress ignore or abort to keep it on the previous drive");
  EXPECT_EQ(prompter.asked[0].buttons, common::Buttons::AbortRetryIgnore);
  EXPECT_EQ(prompter.asked[0].defaultButton, Answer::Retry);
  EXPECT_FALSE(drives.Exists("E:\\FileTblD.NVX"));
  EXPECT_FALSE(drives.Exists("E:\\FileNamD.NVX"));
  EXPECT_EQ(drives.ReadFile("C:\\FileTblD.NVX"), "access-D");
  EXPECT_EQ(table.NewState()[0].location, DriveNumber('C'));
}

TEST_F(ApplyConfigurationTest, MoveSucceedsOnRetry) {
  LoadWith({Record('D', 'C')});
  table.NewState()[0].location = DriveNumber('E');
  faulty.Fail(Operation::Copy, FaultRule{{}, 0, 1});
  prompter.answers = {Answer::Retry};
  Apply();
  EXPECT_EQ(prompter.asked.size(), 1u);
  EXPECT_EQ(drives.ReadFile("E:\\FileTblD.NVX"), "access-D");
  EXPECT_FALSE(drives.Exists("C:\\FileTblD.NVX"));
}

TEST_F(ApplyConfigurationTest, ResizeDeclinedKeepsOldSizeAndLocation) {
  LoadWith({Record('D', 'C')});
  table.NewState()[0].bucketMask = 2047;
  table.NewState()[0].location = DriveNumber('E');
  prompter.answers = {Answer::No};
  Apply();
  ASSERT_EQ(prompter.Texts(),
            std::vector<std::string>{"You have changed parameters of the database for the drive D: "
                                     "!\nFor the database to be resized it should be empty.\n\nDo "
                                     "you want to empty it ?"});
  EXPECT_EQ(prompter.asked[0].buttons, common::Buttons::YesNo);
  EXPECT_EQ(table.NewState()[0], Record('D', 'C'));
  EXPECT_EQ(drives.ReadFile("C:\\FileTblD.NVX"), "access-D");
  EXPECT_FALSE(drives.Exists("E:\\FileTblD.NVX"));
}

TEST_F(ApplyConfigurationTest, ResizeAcceptedEmptiesAtOldPlaceAndCreatesAtNew) {
  DriveRecord old = Record('D', 'C', 1023, 5);
  old.recordsInUse = 77;
  LoadWith({old});
  table.NewState()[0].bucketMask = 7;
  table.NewState()[0].location = DriveNumber('E');
  prompter.answers = {Answer::Yes};
  Apply();
  EXPECT_FALSE(drives.Exists("C:\\FileTblD.NVX"));
  EXPECT_FALSE(drives.Exists("C:\\FileNamD.NVX"));
  EXPECT_EQ(SizeOf("E:\\FileTblD.NVX"), 32u * 33);
  EXPECT_EQ(SizeOf("E:\\FileNamD.NVX"), 32u * 256);
  EXPECT_FALSE(drives.Exists("C:\\FileCovD.NVX")) << "an emptied database was recorded by nobody";
  EXPECT_FALSE(drives.Exists("E:\\FileCovD.NVX"));
  EXPECT_EQ(table.NewState()[0].recordsInUse, 0u);
  EXPECT_EQ(table.NewState()[0].namesState, 0);
}

TEST_F(ApplyConfigurationTest, TurningOnNamesIsAChangeOfShape) {
  LoadWith({Record('D', 'C')});
  table.NewState()[0].namesState = 0;
  prompter.answers = {Answer::Yes};
  Apply();
  EXPECT_EQ(prompter.asked.size(), 1u);
  EXPECT_EQ(SizeOf("C:\\FileTblD.NVX"), 135168u) << "emptied and rebuilt";
  EXPECT_EQ(SizeOf("C:\\FileNamD.NVX"), 4096u * 256);
}

TEST_F(ApplyConfigurationTest, CreationFailureIgnoredDropsTheRecordAndGoesOn) {
  ASSERT_TRUE(table.Load(drives.System()));
  table.NewState() = {Record('D', 'E'), Record('E', 'C')};
  faulty.ReadOnlyRoot('E');
  prompter.answers = {Answer::Retry, Answer::Ignore};
  Apply();
  EXPECT_EQ(prompter.Texts(), (std::vector<std::string>{"Can't create database for drive D !",
                                                        "Can't create database for drive D !"}));
  ASSERT_EQ(table.NewState().size(), 1u) << "the record after the removed one is processed";
  EXPECT_EQ(table.NewState()[0].drive, DriveNumber('E'));
  EXPECT_EQ(SizeOf("C:\\FileTblE.NVX"), 135168u);
}

TEST_F(ApplyConfigurationTest, NameTableFailureAbortDeletesNewAccessTable) {
  ASSERT_TRUE(table.Load(drives.System()));
  table.NewState() = {Record('D', 'C', 1023, 0)};
  faulty.Fail(Operation::Open, FaultRule{[](std::string_view path) {
    return path.find("FileNamD") != std::string_view::npos;
  }});
  prompter.answers = {Answer::Abort};
  Apply();
  EXPECT_EQ(prompter.asked.size(), 1u);
  EXPECT_FALSE(drives.Exists("C:\\FileTblD.NVX"));
  EXPECT_TRUE(table.NewState().empty());
}

TEST_F(ApplyConfigurationTest, RemovedDatabaseLosesBothFiles) {
  LoadWith({Record('D', 'C', 1023, 0), Record('E', 'E')});
  table.NewState().erase(table.NewState().begin());
  Apply();
  EXPECT_FALSE(drives.Exists("C:\\FileTblD.NVX"));
  EXPECT_FALSE(drives.Exists("C:\\FileNamD.NVX"));
  EXPECT_FALSE(drives.Exists("C:\\FileCovD.NVX"));
  EXPECT_EQ(drives.ReadFile("E:\\FileTblE.NVX"), "access-E");
}

TEST_F(ApplyConfigurationTest, SecondApplyAfterFailedSaveRepeatsNothing) {
  LoadWith({Record('D', 'C')});
  table.NewState()[0].location = DriveNumber('E');
  Apply();
  drives.WriteFile("C:\\FileTblD.NVX", "someone else's");
  prompter.asked.clear();
  Apply();
  EXPECT_EQ(drives.ReadFile("C:\\FileTblD.NVX"), "someone else's");
  EXPECT_EQ(drives.ReadFile("E:\\FileTblD.NVX"), "access-D");
  EXPECT_TRUE(prompter.asked.empty());
}

}  // namespace
}  // namespace activity
