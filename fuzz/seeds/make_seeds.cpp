// Writes the seed inputs of every fuzz target into OUTDIR/<target>/, each made by the
// program's own writers (the drive table, the recorder's tables, the hand-off file, the
// settings files) or, for the kernel's event records, read from a real inotify
// descriptor. scripts/fuzz seeds minimises them into fuzz/corpus/.
//   make_fuzz_seeds OUTDIR [SOURCE_DIR]

#include <fcntl.h>
#include <sys/fanotify.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QString>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "activity/access_tables.h"
#include "activity/drive_table.h"
#include "activity/recorder/activity_store.h"
#include "activity/recorder_control.h"
#include "activity/coverage_file.h"
#include "analysis/tips.h"
#include "platform/dos_time.h"
#include "platform/unique_fd.h"
#include "scan/folder_info.h"
#include "shell/handoff_file.h"
#include "shell/options.h"
#include "support/scratch_drives.h"
#include "ui/app/settings_option_store.h"
#include "ui/tips/tip_profile_settings.h"

namespace {

using fuzz_support::ScratchDrives;
using Bytes = std::string;

class Seeds {
 public:
  explicit Seeds(std::string dir) : dir_(std::move(dir)) {}
  void Put(const std::string& target, const Bytes& bytes) {
    const std::string folder = dir_ + "/" + target;
    ::mkdir(dir_.c_str(), 0755);
    ::mkdir(folder.c_str(), 0755);
    ScratchDrives::WriteHostFile(folder + "/seed-" + std::to_string(++count_), bytes);
  }

 private:
  std::string dir_;
  int count_ = 0;
};

Bytes Le(std::uint64_t value, int bytes) {
  Bytes out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
  return out;
}

Bytes Serialized(const activity::DriveRecord& record) {
  const auto bytes = record.Serialize();
  return Bytes(bytes.begin(), bytes.end());
}

void DriveTables(Seeds& seeds) {
  for (const std::string_view letters : {"", "C", "CDE", "ABCDEFGHIJKLMNOPQRSTUVWXYZ"}) {
    auto& drives = ScratchDrives::Fresh();
    activity::DriveTable table;
    table.Load(drives.System());
    for (const char letter : letters) table.AppendDefaultRecord(activity::DriveNumber(letter), 0x58210000);
    table.Save(drives.System());
    seeds.Put("drive_table", ScratchDrives::ReadHostFile(drives.Host(activity::kDriveTablePath)));
  }
}

// D:'s record and the recorder's table of it after counting `files` files.
void AccessTables(Seeds& seeds) {
  for (const int files : {0, 3, 40}) {
    auto& drives = ScratchDrives::Fresh();
    activity::DriveRecord record;
    record.drive = activity::DriveNumber('D');
    record.location = activity::DriveNumber('C');
    record.bucketMask = 7;
    record.bucketSize = 4;
    record.spanStart = 0x58210000;
    record.namesState = files == 3 ? 0 : -1;
    record.maxNameSize = 64;
    drives.WriteHostFile(drives.Host(activity::kDriveTablePath), Serialized(record));
    activity::recorder::ActivityStore store(drives.System());
    std::string error;
    store.Open(&error);
    for (int i = 0; i < files; ++i) {
      store.Record("D:\\folder\\file" + std::to_string(i), activity::recorder::Operation::Read, 1,
                   record.spanStart + 1);
    }
    store.Close(&error);
    activity::DriveTable table;
    table.Load(drives.System());
    seeds.Put("access_table", Serialized(table.NewState().at(0)) + static_cast<char>(files) +
                                  ScratchDrives::ReadHostFile(drives.Host(activity::AccessTablePath('C', 'D'))));
  }
}

scan::CFolderInfo& AddFolder(scan::CFolderInfo& parent, std::string_view name, std::uint8_t action) {
  parent.AddEntry({scan::kSourceSubfolder, name, 0, 0, 0, scan::kKindFolder});
  parent.actions()[parent.Count() - 1] = action;
  return *parent.GetChild(parent.Count() - 1);
}

void AddFile(scan::CFolderInfo& parent, std::string_view name, std::uint8_t action, char backup) {
  parent.AddEntry({'D', name, 10, 10, 4096, scan::kKindFile});
  parent.actions()[parent.Count() - 1] = action;
  parent.backupDrives()[parent.Count() - 1] = static_cast<std::uint8_t>(backup);
}

void HandOffs(Seeds& seeds) {
  scan::CFolderInfo driveList;
  scan::CFolderInfo& d = AddFolder(driveList, "D:", 0);
  scan::CFolderInfo& work = AddFolder(d, "Work", 2);
  AddFile(work, "a.txt", 1, 0);
  AddFile(work, "b.doc", 4, 'E');
  AddFile(d, "c.bin", 8, 'E');
  AddFolder(driveList, "E:", 1);
  const auto bytes = shell::EncodeHandOff(driveList, scan::CountActions(driveList));
  seeds.Put("handoff", Bytes(bytes.begin(), bytes.end()));
}

void Tips(Seeds& seeds, const std::string& sourceDir) {
  const Bytes shipped = ScratchDrives::ReadHostFile(sourceDir + "/src/resources/tips.txt");
  seeds.Put("tips", Le(0, 8) + shipped);
  seeds.Put("tips", Le(40, 8) + "; comment\r\nA first\r\n\r\n  indented\n\tB\nC" + Bytes(1200, 'x') + "\n");
}

void Profiles(Seeds& seeds) {
  auto& drives = ScratchDrives::Fresh();
  const QString dir = QString::fromStdString(drives.Dir() + "/config");
  {
    ui::SettingsOptionStore options(dir);
    shell::WriteOnOff(options, shell::kAutoScanOption, true);
    shell::WriteOnOff(options, shell::kExecutedAtLeastOneTimeOption, false);
  }
  seeds.Put("profile", ScratchDrives::ReadHostFile(drives.Dir() + "/config/options.ini"));
  {
    ui::SettingsTipProfile profile(ui::ProfilePath(dir));
    profile.WriteInt(analysis::kTipStartUpKey, 1);
    profile.WriteInt(analysis::kTipFilePosKey, 9);
    profile.WriteString(analysis::kTipTimeStampKey, "Thu Jan  1 00:00:00 1970");
  }
  seeds.Put("profile", ScratchDrives::ReadHostFile(drives.Dir() + "/config/norvex.ini"));
}

void Times(Seeds& seeds) {
  for (const std::int64_t epoch : {315532800LL, 951782400LL, 1700000000LL, 4354819198LL}) {
    const std::uint32_t dos = platform::DosDateTimeFromUtc(epoch);
    const std::string text = platform::FormatSystemTime(platform::UnpackDosDateTime(dos), "%Y-%m-%d %H:%M:%S");
    seeds.Put("dos_time", Le(dos, 4) + Le(platform::FileTimeFromEpoch(epoch), 8) + Le(epoch, 8) +
                              Bytes(16, '\0') + text);
  }
}

void Paths(Seeds& seeds) {
  seeds.Put("path_key", Bytes("\x03\x0d\\server\\share") + "D:\\Work\\a.txt\nC:\\\nE:\\Ünïcodé\\Ú.txt\nD:");
  seeds.Put("windows_path", "C=/srv/c,D=/,E=/srv/c/e=Extra\nE:\\Work\\a.txt\n/srv/c/e/Work/a.txt");
  seeds.Put("drive_map", "C=/srv/c, d=/data/=Data,E=/=Root Fs");
  seeds.Put("scan_names", Bytes("\x01") + "a.txt/sub/Ünïcodé/.hidden/\x80\xff/back\\slash/.dotdir");
}

// Real inotify events: a watched folder where a file is made, read, written and closed.
Bytes InotifyEvents() {
  auto& drives = ScratchDrives::Fresh();
  const platform::UniqueFd fd(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK));
  const std::string folder = drives.Root('D');
  ::inotify_add_watch(fd.Get(), folder.c_str(), IN_ACCESS | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE | IN_CREATE);
  {
    const platform::UniqueFd file(::open((folder + "/some file").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644));
    char byte = 'x';
    (void)::write(file.Get(), &byte, 1);
    (void)::pread(file.Get(), &byte, 1, 0);
  }
  ::mkdir((folder + "/sub").c_str(), 0755);
  char buffer[4096];
  const ssize_t length = ::read(fd.Get(), buffer, sizeof buffer);
  return length > 0 ? Bytes(buffer, static_cast<std::size_t>(length)) : Bytes();
}

// A fanotify event with its folder's handle and the file's name, laid out as the kernel
// writes it (its reading needs root; the layout is the kernel's ABI).
Bytes FanotifyEvent(std::uint64_t mask, std::int32_t pid, std::string_view name) {
  const Bytes handle = "\x01\x02\x03\x04\x05\x06\x07\x08";
  const std::size_t recordLength =
      sizeof(fanotify_event_info_fid) + sizeof(file_handle) + handle.size() + name.size() + 1;
  fanotify_event_metadata metadata{};
  metadata.event_len = static_cast<std::uint32_t>(FAN_EVENT_METADATA_LEN + recordLength);
  metadata.vers = FANOTIFY_METADATA_VERSION;
  metadata.metadata_len = FAN_EVENT_METADATA_LEN;
  metadata.mask = mask;
  metadata.fd = FAN_NOFD;
  metadata.pid = pid;
  fanotify_event_info_fid info{};
  info.hdr.info_type = FAN_EVENT_INFO_TYPE_DFID_NAME;
  info.hdr.len = static_cast<std::uint16_t>(recordLength);
  file_handle fileHandle{};
  fileHandle.handle_bytes = static_cast<unsigned>(handle.size());
  fileHandle.handle_type = 1;
  Bytes event(reinterpret_cast<const char*>(&metadata), sizeof metadata);
  event.append(reinterpret_cast<const char*>(&info), sizeof info);
  event.append(reinterpret_cast<const char*>(&fileHandle), sizeof fileHandle);
  event += handle;
  event += name;
  event += '\0';
  return event;
}

void CoverageFiles(Seeds& seeds) {
  constexpr std::int64_t kNow = 1'790'000'000;
  const activity::BootId boot{0x5e, 0xed};
  const activity::BootId next{0x0b, 0x07};
  const std::vector<std::vector<activity::CoveragePeriod>> files = {
      {},
      {{kNow - 86400, kNow - 30, kNow - 86400 - 60, boot, activity::PeriodEnd::Unknown}},
      {{kNow - 20 * 86400, kNow - 10 * 86400, kNow - 20 * 86400 - 90, boot, activity::PeriodEnd::Shutdown},
       {kNow - 9 * 86400, kNow - 5 * 86400, kNow - 9 * 86400 - 40, next, activity::PeriodEnd::CleanStop},
       {kNow - 3 * 86400, kNow, 0, {}, activity::PeriodEnd::CleanStop}},
  };
  for (const auto& periods : files) {
    const auto bytes = activity::SerializeCoverage(periods);
    seeds.Put("coverage", Le(static_cast<std::uint64_t>(kNow), 8) + Bytes(bytes.begin(), bytes.end()));
  }
  // Refused: cut short, and read by a clock that lags the file by a day.
  const auto bytes = activity::SerializeCoverage(files.back());
  seeds.Put("coverage", Le(static_cast<std::uint64_t>(kNow), 8) + Bytes(bytes.begin(), bytes.end() - 9));
  seeds.Put("coverage", Le(static_cast<std::uint64_t>(kNow - 86400), 8) + Bytes(bytes.begin(), bytes.end()));
}

void RecorderInputs(Seeds& seeds) {
  seeds.Put("recorder_events", "\x01" + InotifyEvents());
  seeds.Put("recorder_events", Bytes(1, '\0') + FanotifyEvent(FAN_OPEN_EXEC | FAN_CLOSE_NOWRITE, 42, "tool") +
                                   FanotifyEvent(FAN_ACCESS | FAN_CLOSE_WRITE, 43, "data.bin") +
                                   FanotifyEvent(FAN_MOVED_FROM | FAN_ONDIR, 0, "moved"));
  seeds.Put("recorder_control", Le(activity::IOCTL_RECORDER_HOLD, 4));
  seeds.Put("recorder_control", Le(activity::IOCTL_RECORDER_RELEASE, 4) + "x");
  seeds.Put("recorder_control", "\x01\x02");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTDIR [SOURCE_DIR]\n", argv[0]);
    return 2;
  }
  Seeds seeds(argv[1]);
  DriveTables(seeds);
  AccessTables(seeds);
  HandOffs(seeds);
  Tips(seeds, argc > 2 ? argv[2] : NORVEX_SOURCE_DIR);
  Profiles(seeds);
  Times(seeds);
  Paths(seeds);
  RecorderInputs(seeds);
  CoverageFiles(seeds);
  return 0;
}
