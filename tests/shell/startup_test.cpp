// The frame's start-up step over real files in a temporary drive map: drive facts, the
// stamp, the drive table and access tables between the recorder's hold and release, the
// first run's default records, and the failures that close the program.

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "activity/access_tables.h"
#include "activity/apply_configuration.h"
#include "activity/drive_table.h"
#include "activity/recorder_control.h"
#include "platform/default_drives.h"
#include "platform/dos_time.h"
#include "shell/recorder_listener.h"
#include "shell/scripted_prompter.h"
#include "shell/shutdown.h"
#include "shell/startup.h"
#include "support/faulty_system.h"
#include "support/temp_drives.h"

namespace {

using shell::StartupOutcome;
using testing_support::FileNamed;
using testing_support::Operation;

constexpr std::int64_t kNow = 1'700'000'000;  // 2023-11-14 22:13:20 UTC

// The drive map's folders are all alike; the test says what kind of drive each letter is.
class DriveFacts : public testing_support::FaultySystem {
 public:
  using FaultySystem::FaultySystem;

  platform::DriveType GetDriveType(char letter) const override {
    const auto found = types.find(letter);
    return found != types.end() ? found->second : platform::DriveType::NoRootDir;
  }
  std::optional<platform::VolumeInfo> GetVolumeInformation(char letter) const override {
    const auto found = flags.find(letter);
    if (found == flags.end()) return std::nullopt;
    return platform::VolumeInfo{"label", found->second, "testfs"};
  }
  std::optional<std::string> GetNetworkConnection(char letter) const override {
    const auto found = remotes.find(letter);
    return found != remotes.end() ? std::optional(found->second) : std::nullopt;
  }
  std::optional<std::string> DriveChange(char letter) const override {
    const auto found = changes.find(letter);
    return found != changes.end() ? std::optional(found->second) : std::nullopt;
  }

  std::map<char, platform::DriveType> types;
  std::map<char, std::string> changes;  // letters that stood for another filesystem
  std::map<char, std::uint32_t> flags;
  std::map<char, std::string> remotes;
};

std::string TableBytes(const std::vector<activity::DriveRecord>& records) {
  std::string bytes;
  for (const activity::DriveRecord& record : records) {
    const auto serialized = record.Serialize();
    bytes.append(reinterpret_cast<const char*>(serialized.data()), serialized.size());
  }
  return bytes;
}

activity::DriveRecord Record(char drive, char location) {
  activity::DriveRecord record;
  record.drive = static_cast<std::uint8_t>(drive - '@');
  record.location = static_cast<std::uint8_t>(location - '@');
  return record;
}

class StartupTest : public ::testing::Test {
 protected:
  StartupTest() : drives("CDE"), system(drives.System()) {
    system.FixClock(kNow);
    system.types = {{'C', platform::DriveType::Fixed}, {'D', platform::DriveType::Fixed},
                    {'E', platform::DriveType::Removable}};
  }

  StartupOutcome Start() { return Start(state); }
  StartupOutcome Start(activity::AppState& into) {
    return shell::RunFrameStartup(into, system, prompter, options);
  }
  void NotFirstRun() { options.values[shell::kExecutedAtLeastOneTimeOption] = "On"; }

  testing_support::TempDrives drives;
  DriveFacts system;
  testing_support::ScriptedPrompter prompter;
  testing_support::MemoryOptionStore options;
  activity::AppState state;
};

TEST_F(StartupTest, MissingDriveTableIsCreatedEmpty) {
  NotFirstRun();
  EXPECT_EQ(Start(), StartupOutcome::Ready);
  EXPECT_TRUE(drives.Exists("C:\\DriveTbl.NVX"));
  EXPECT_TRUE(state.driveTable.Loaded());
  EXPECT_TRUE(state.driveTable.NewState().empty());
  EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(StartupTest, StampAndDriveFacts) {
  NotFirstRun();
  system.flags = {{'C', 0x03}, {'D', 0x13}};
  system.remotes = {{'N', "\\\\server\\share"}, {'M', "relative"}, {'L', "\\\\" + std::string(253, 'x')}};
  state.NetworkName[12] = "stale";
  ASSERT_EQ(Start(), StartupOutcome::Ready);

  EXPECT_EQ(state.StartupStamp, platform::DosDateTimeFromUtc(kNow));
  EXPECT_FALSE(state.CompressibleDrive['C' - 'A']);
  EXPECT_TRUE(state.CompressibleDrive['D' - 'A']);
  EXPECT_FALSE(state.CompressibleDrive['Z' - 'A']);
  EXPECT_EQ(state.NetworkName['N' - 'A'], "\\server\\share");
  EXPECT_EQ(state.NetworkName['M' - 'A'], "relative");
  EXPECT_EQ(state.NetworkName['L' - 'A'], "");  // does not fit the 255-byte answer
  EXPECT_EQ(state.NetworkName['C' - 'A'], "");
}

TEST_F(StartupTest, FirstRunAddsOneDefaultRecordPerFixedDriveOnce) {
  ASSERT_EQ(Start(), StartupOutcome::Ready);
  const auto& records = state.driveTable.NewState();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].drive, 3);  // C:
  EXPECT_EQ(records[1].drive, 4);  // D:; E: is removable
  for (const activity::DriveRecord& record : records) {
    EXPECT_EQ(record.location, 3);
    EXPECT_EQ(record.bucketMask, 1023);
    EXPECT_EQ(record.bucketSize, 4);
    EXPECT_EQ(record.namesState, -1);
    EXPECT_EQ(record.spanStart, platform::DosDateTimeFromLocal(kNow));
    EXPECT_EQ(record.spanEnd, 0xEF9FBF7Du);
  }
  EXPECT_EQ(state.driveTable.OldState(), records);  // saved with their files at once
  EXPECT_EQ(options.values[shell::kExecutedAtLeastOneTimeOption], "On");
  EXPECT_TRUE(state.accessTables.Loaded('C'));
  EXPECT_TRUE(state.accessTables.Loaded('D'));

  // The exit saves the table; the second start reads it and appends nothing.
  ASSERT_TRUE(state.driveTable.Save(system));
  activity::AppState second;
  ASSERT_EQ(Start(second), StartupOutcome::Ready);
  EXPECT_EQ(second.driveTable.NewState(), records);
  EXPECT_TRUE(prompter.asked.empty());

  // With the option lost, the defaults come again only for drives that have no record:
  // a second D: record would load D:'s table twice, in two shapes.
  options.values.erase(shell::kExecutedAtLeastOneTimeOption);
  second.driveTable.NewState()[1].bucketMask = 2047;
  ASSERT_TRUE(second.driveTable.Save(system));
  drives.WriteFileOfSize("C:\\FileTblD.NVX", 2048 * 4 * 33, 0);
  system.types['E'] = platform::DriveType::Fixed;
  activity::AppState third;
  ASSERT_EQ(Start(third), StartupOutcome::Ready);
  ASSERT_EQ(third.driveTable.NewState().size(), 3u);
  EXPECT_EQ(third.driveTable.NewState()[1].bucketMask, 2047);
  EXPECT_EQ(third.driveTable.NewState()[2].drive, 5);  // E:, fixed now
}

TEST_F(StartupTest, UnopenableDriveTableClosesWithItsMessage) {
  system.Fail(Operation::Open, {FileNamed("DriveTbl.NVX")});
  testing_support::RecorderListener recorder(drives.Dir() + "/recorder.sock");
  ASSERT_TRUE(recorder.Listening());

  EXPECT_EQ(Start(), StartupOutcome::Close);
  ASSERT_EQ(prompter.asked.size(), 1u);
  EXPECT_EQ(prompter.asked[0].text,
            "Could not open the file: C:\\DriveTbl.NVX (" + drives.Host("C:\\DriveTbl.NVX") + ") !");
  EXPECT_EQ(prompter.asked[0].icon, common::Icon::Stop);
  EXPECT_EQ(prompter.asked[0].buttons, common::Buttons::Ok);
  EXPECT_FALSE(state.driveTable.Loaded());
  // Nothing of the first run happened, and the close (not start-up) releases the recorder.
  EXPECT_EQ(options.values.count(shell::kExecutedAtLeastOneTimeOption), 0u);
  EXPECT_EQ(recorder.Codes(), std::vector<std::uint32_t>{activity::IOCTL_RECORDER_HOLD});
}

TEST_F(StartupTest, UnopenableAccessTableNamesBothLettersAndStopsLoading) {
  NotFirstRun();
  drives.WriteFile("C:\\DriveTbl.NVX", TableBytes({Record('D', 'C'), Record('C', 'D'), Record('E', 'C')}));
  system.Fail(Operation::Open, {FileNamed("FileTblC.NVX")});

  EXPECT_EQ(Start(), StartupOutcome::Close);
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Could not open the file: D:\\FileTblC.NVX (" +
                                                      drives.Host("D:\\FileTblC.NVX") + ") !"});
  EXPECT_TRUE(state.accessTables.Loaded('D'));
  EXPECT_FALSE(state.accessTables.Loaded('C'));
  EXPECT_FALSE(state.accessTables.Loaded('E'));  // later records are not loaded
  EXPECT_FALSE(drives.Exists("C:\\FileTblE.NVX"));
}

// A record whose watched drive, or the drive holding its files, stood for another
// filesystem is told and left alone: nothing read, created or rebuilt there.
TEST_F(StartupTest, ARecordOfAnotherFilesystemIsNeitherLoadedNorApplied) {
  NotFirstRun();
  drives.WriteFile("C:\\DriveTbl.NVX", TableBytes({Record('D', 'C'), Record('E', 'D'), Record('C', 'C')}));
  system.changes = {{'D', "D: (/media/x) is not the filesystem D: stood for before (uuid:1, last at /media/x)"}};

  ASSERT_EQ(Start(), StartupOutcome::Ready);
  EXPECT_EQ(prompter.Texts(),
            (std::vector<std::string>{system.changes['D'] + ": the activity database of D: is not used.",
                                      system.changes['D'] + ": the activity database of E: kept there is not used."}));
  EXPECT_FALSE(state.accessTables.Loaded('D'));
  EXPECT_FALSE(state.accessTables.Loaded('E'));
  EXPECT_TRUE(state.accessTables.Loaded('C'));
  EXPECT_FALSE(drives.Exists("C:\\FileTblD.NVX"));
  EXPECT_FALSE(drives.Exists("D:\\FileTblE.NVX"));

  // Edited in the pages, the refused records keep their shape and their files.
  prompter.asked.clear();
  state.driveTable.NewState()[0].bucketMask = 2047;
  state.driveTable.NewState()[1].location = 3;
  activity::ApplyConfiguration(state.driveTable, system, prompter);
  EXPECT_TRUE(prompter.asked.empty());
  EXPECT_EQ(state.driveTable.NewState()[0], Record('D', 'C'));
  EXPECT_EQ(state.driveTable.NewState()[1], Record('E', 'D'));
  EXPECT_FALSE(drives.Exists("C:\\FileTblD.NVX"));
  EXPECT_FALSE(drives.Exists("C:\\FileTblE.NVX"));
}

// The first start gives databases to the drives of the default map and no others: not
// to a package image, a container's overlay, a read-only disk or a second view of a disk,
// though each of them is a folder on a fixed disk.
TEST(FirstStart, DatabasesOnlyForTheDrivesTheDefaultMapKeeps) {
  testing_support::TempDrives folders("CDEFGH");
  const auto mount = [&](int id, const char* device, const char* root, char letter, const char* type,
                         const char* source, const char* options = "rw") {
    return std::to_string(id) + " 1 " + device + " " + root + " " + folders.Root(letter) + " " + options +
           " - " + type + " " + source + " rw\n";
  };
  const std::string mountInfo = mount(30, "8:17", "/", 'D', "ext4", "/dev/sdb1") +
                                mount(31, "7:3", "/", 'E', "squashfs", "/dev/loop3", "ro") +
                                mount(32, "0:50", "/", 'F', "overlay", "overlay") +
                                mount(33, "8:17", "/photos", 'G', "ext4", "/dev/sdb1") +
                                mount(34, "8:33", "/", 'H', "ext4", "/dev/sdc1", "ro");
  const platform::DefaultDrives defaults =
      platform::BuildDefaultDrives(folders.Root('C'), mountInfo, [](const auto&) { return std::nullopt; }, "");
  platform::Environment environment = folders.Environment();
  environment.drives = defaults.map;
  platform::HostSystem host(environment);
  if (host.GetDriveType('D') != platform::DriveType::Fixed) GTEST_SKIP() << "the temporary folders are not on a fixed disk";
  testing_support::ScriptedPrompter prompter;
  testing_support::MemoryOptionStore options;
  activity::AppState state;
  ASSERT_EQ(shell::RunFrameStartup(state, host, prompter, options), StartupOutcome::Ready);
  std::vector<char> watched;
  for (const activity::DriveRecord& record : state.driveTable.NewState()) watched.push_back(activity::DriveLetter(record.drive));
  EXPECT_EQ(watched, (std::vector<char>{'C', 'D'})) << defaults.map.ToString();
}

TEST_F(StartupTest, AccessTableMessagePutsTheLettersAtTheirPlaces) {
  EXPECT_EQ(shell::AccessTableOpenError('C', 'C'), shell::kAccessTableOpenError);
  EXPECT_EQ(shell::AccessTableOpenError('F', 'G'), "Could not open the file: F:\\FileTblG.NVX !");
}

// A damaged table is told once, naming the real file; the run goes on without activity
// databases, and neither the start nor the exit writes the file or asks about drives
// that only the garbage names.
TEST_F(StartupTest, DamagedDriveTableIsToldOnceAndNeverWritten) {
  constexpr std::uint32_t kSeed = 20240613;
  std::mt19937 random(kSeed);
  std::string garbage(4096, '\0');
  for (char& byte : garbage) byte = static_cast<char>(random());
  struct Case {
    const char* name;
    std::string bytes;
    bool firstRun;
  };
  const Case cases[] = {
      {"cut to 10 bytes", TableBytes({Record('C', 'C'), Record('D', 'C')}).substr(0, 10), false},
      {"4 KiB of random bytes", garbage, true},
  };
  for (const Case& damaged : cases) {
    SCOPED_TRACE(std::string(damaged.name) + ", seed " + std::to_string(kSeed));
    drives.WriteFile("C:\\DriveTbl.NVX", damaged.bytes);
    options.values.clear();
    if (!damaged.firstRun) NotFirstRun();
    prompter.asked.clear();
    system.Reset();
    activity::AppState run;

    EXPECT_EQ(Start(run), StartupOutcome::Ready);
    ASSERT_EQ(prompter.asked.size(), 1u);
    const std::string head = "The drive table C:\\DriveTbl.NVX (" + drives.Host("C:\\DriveTbl.NVX") + ") is damaged: ";
    EXPECT_EQ(prompter.asked[0].text.substr(0, head.size()), head) << prompter.asked[0].text;
    EXPECT_EQ(prompter.asked[0].icon, common::Icon::Stop);
    EXPECT_FALSE(run.driveTable.Loaded());
    EXPECT_TRUE(run.driveTable.NewState().empty());
    for (char letter = 'A'; letter <= 'Z'; ++letter) EXPECT_FALSE(run.accessTables.Loaded(letter)) << letter;
    EXPECT_EQ(options.values.count(shell::kExecutedAtLeastOneTimeOption), damaged.firstRun ? 0u : 1u);
    EXPECT_EQ(system.RecorderCodes(), (std::vector<std::uint32_t>{activity::IOCTL_RECORDER_HOLD,
                                                                  activity::IOCTL_RECORDER_RELEASE}));

    EXPECT_TRUE(shell::RunShutdown({run, system, prompter, nullptr, {}, drives.Dir()}));
    EXPECT_EQ(prompter.asked.size(), 1u) << prompter.Texts().back();
    EXPECT_EQ(drives.ReadFile("C:\\DriveTbl.NVX"), damaged.bytes);
    EXPECT_FALSE(drives.Exists("C:\\FileTblC.NVX"));
    EXPECT_FALSE(drives.Exists("C:\\FileTblD.NVX"));
  }
}

// A first run that never reaches its exit (a crash, a kill) keeps its drives' databases:
// the default records are saved, with their files, before the first run counts as done.
TEST_F(StartupTest, FirstRunSavesTheDefaultRecordsBeforeItCountsAsDone) {
  std::string tableAtRelease;
  testing_support::RecorderListener recorder(drives.Dir() + "/recorder.sock", [&](std::uint32_t code) {
    if (code == activity::IOCTL_RECORDER_RELEASE) tableAtRelease = drives.ReadFile("C:\\DriveTbl.NVX");
  });
  ASSERT_TRUE(recorder.Listening());
  ASSERT_EQ(Start(), StartupOutcome::Ready);  // and no exit follows

  const std::string saved = drives.ReadFile("C:\\DriveTbl.NVX");
  EXPECT_EQ(saved, TableBytes(state.driveTable.NewState()));
  EXPECT_EQ(saved.size(), 2 * activity::kDriveRecordSize);
  EXPECT_EQ(tableAtRelease, saved) << "saved while the recorder held its files";
  EXPECT_EQ(drives.ReadFile("C:\\FileTblC.NVX").size(), 135168u);
  EXPECT_EQ(drives.ReadFile("C:\\FileTblD.NVX").size(), 135168u);
  EXPECT_EQ(options.values[shell::kExecutedAtLeastOneTimeOption], "On");

  // The recorder counts into D:'s database; the exit neither recreates nor empties it.
  drives.WriteFile("C:\\FileTblD.NVX", "recorded");
  EXPECT_TRUE(shell::RunShutdown({state, system, prompter, nullptr, {}, drives.Dir()}));
  EXPECT_EQ(drives.ReadFile("C:\\FileTblD.NVX"), "recorded");
  EXPECT_TRUE(prompter.asked.empty());

  // A save that fails leaves the first run to be done again.
  drives.WriteFile("C:\\DriveTbl.NVX", "");
  options.values.clear();
  system.Fail(Operation::Move, {FileNamed("DriveTbl.NVX")});
  activity::AppState again;
  ASSERT_EQ(Start(again), StartupOutcome::Ready);
  EXPECT_EQ(drives.ReadFile("C:\\DriveTbl.NVX"), "");
  EXPECT_EQ(options.values.count(shell::kExecutedAtLeastOneTimeOption), 0u);
}

TEST_F(StartupTest, RecorderHoldsAroundEveryDatabaseRead) {
  NotFirstRun();
  drives.WriteFile("C:\\DriveTbl.NVX", TableBytes({Record('C', 'C'), Record('D', 'C')}));
  // Each code is stamped with the number of files opened so far.
  std::vector<std::pair<std::uint32_t, int>> seen;
  std::mutex mutex;
  testing_support::RecorderListener recorder(drives.Dir() + "/recorder.sock", [&](std::uint32_t code) {
    std::lock_guard lock(mutex);
    seen.emplace_back(code, system.Calls(Operation::Open));
  });
  ASSERT_TRUE(recorder.Listening());
  ASSERT_EQ(Start(), StartupOutcome::Ready);

  std::lock_guard lock(mutex);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], std::make_pair(activity::IOCTL_RECORDER_HOLD, 0));
  // Released after the drive table, both access tables and both coverage files were read.
  EXPECT_EQ(seen[1], std::make_pair(activity::IOCTL_RECORDER_RELEASE, 5));
}

// A user the recorder refuses gets space figures: nothing of the machine's databases is
// read, created or written, at start or at exit, and nothing stops the program.
TEST_F(StartupTest, RefusedUserTouchesNoDatabaseFile) {
  system.RecorderRefuses();
  EXPECT_EQ(Start(), StartupOutcome::Ready);
  EXPECT_TRUE(state.ActivityRefused);
  EXPECT_FALSE(state.driveTable.Loaded());
  EXPECT_TRUE(prompter.asked.empty());
  EXPECT_EQ(options.values.count(shell::kExecutedAtLeastOneTimeOption), 0u);
  EXPECT_TRUE(shell::RunShutdown({state, system, prompter, nullptr, {}, drives.Dir()}));
  EXPECT_EQ(system.Calls(Operation::Open), 0);
  EXPECT_FALSE(drives.Exists("C:\\DriveTbl.NVX"));
  EXPECT_EQ(system.RecorderCodes(), std::vector<std::uint32_t>{activity::IOCTL_RECORDER_HOLD});
}

TEST_F(StartupTest, NoRecorderNoMessage) {
  system.RecorderAbsent();
  EXPECT_EQ(Start(), StartupOutcome::Ready);
  EXPECT_TRUE(prompter.asked.empty());
  EXPECT_EQ(state.driveTable.NewState().size(), 2u);
}

}  // namespace
