#include "demo/demo_machine.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <ostream>
#include <random>

#include "activity/access_tables.h"
#include "activity/coverage_file.h"
#include "activity/database_files.h"
#include "activity/drive_table.h"
#include "activity/recorder/activity_store.h"
#include "platform/dos_time.h"
#include "platform/environment.h"
#include "platform/host_system.h"
#include "shell/handoff_file.h"

namespace demo {
namespace {

using activity::recorder::Operation;

constexpr std::int64_t kDay = 86400;

struct Folder {
  const char* path;          // below the data drive's root
  std::vector<const char*> extensions;
  int files;
  std::uint64_t typicalSize;
  // Where the drive compresses: 1 the whole folder (its files inherit it), n every n-th
  // file, 0 none.
  int compressEvery = 0;
};

// A small office machine: documents, photos, music, source code, logs and an archive.
const std::vector<Folder>& Layout() {
  static const std::vector<Folder> layout = {
      {"Documents/Letters", {".doc", ".txt", ".pdf"}, 260, 24 * 1024, 4},
      {"Documents/Reports/2024", {".xls", ".pdf", ".doc"}, 180, 96 * 1024},
      {"Documents/Reports/2025", {".xls", ".pdf", ".doc"}, 200, 96 * 1024},
      {"Photos/Holidays", {".jpg", ".png"}, 320, 180 * 1024},
      {"Photos/Family", {".jpg"}, 240, 160 * 1024},
      {"Music/Albums", {".mp3", ".ogg"}, 220, 400 * 1024},
      {"Projects/Website/src", {".html", ".css", ".js"}, 300, 8 * 1024, 1},
      {"Projects/Tools/src", {".cpp", ".h", ".py"}, 380, 12 * 1024, 2},
      {"Projects/Tools/bin", {".exe", ".dll", ".so"}, 40, 600 * 1024},
      {"Logs", {".log"}, 120, 64 * 1024, 1},
      {"Archive/Old Projects", {".zip", ".tar", ".bak"}, 260, 220 * 1024, 1},
      {"Archive/Mail", {".mbox", ".eml"}, 300, 30 * 1024},
      {"Disk Images", {".iso", ".img"}, 12, 0},  // large and sparse
  };
  return layout;
}

bool MakeDirectories(const std::string& path) {
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) return true;
  }
}

constexpr std::size_t kBlockSize = 64 * 1024;

// Text-like bytes, as compressible as documents and logs are, for all files: each file
// takes its block from its own offset into the pool.
std::string MakeTextPool(std::mt19937& random) {
  std::string pool(2 * kBlockSize, ' ');
  for (std::size_t i = 0; i < pool.size(); ++i) {
    pool[i] = i % 64 == 63 ? '\n' : static_cast<char>('a' + random() % 26);
  }
  return pool;
}

// Writes `size` bytes repeating the `kBlockSize` bytes at `block`; a sparse file gets
// `size` as its length but data only in its first and last 4 KiB.
bool WriteDemoFile(const std::string& path, std::uint64_t size, bool sparse, const char* block) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) return false;
  bool ok = true;
  if (sparse) {
    ok = ::ftruncate(fd, static_cast<off_t>(size)) == 0 && ::pwrite(fd, block, 4096, 0) == 4096 &&
         ::pwrite(fd, block, 4096, static_cast<off_t>(size - 4096)) == 4096;
  } else {
    for (std::uint64_t done = 0; ok && done < size;) {
      const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(kBlockSize, size - done));
      ok = ::write(fd, block, n) == static_cast<ssize_t>(n);
      done += n;
    }
  }
  return ::close(fd) == 0 && ok;
}

std::string WindowsPath(const std::string& relative) {
  std::string path = std::string(1, kDemoDataDrive) + ":\\" + relative;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// The made-up activity of one file, by the folder it lies in.
void RecordActivity(activity::recorder::ActivityStore& store, const std::string& folder,
                    const std::string& path, int serial, std::int64_t now, std::mt19937& random,
                    std::uint32_t& recorded) {
  const auto at = [&](std::int64_t daysAgo) {
    return platform::DosDateTimeFromLocal(now - daysAgo * kDay - static_cast<std::int64_t>(random() % kDay));
  };
  const auto count = [&](Operation op, std::uint32_t n, std::int64_t daysAgo) {
    if (store.Record(path, op, n, at(daysAgo)) == activity::recorder::RecordResult::Counted) return true;
    return false;
  };
  bool counted = false;
  if (folder.starts_with("Projects/Website") || folder.starts_with("Projects/Tools/src")) {
    // Busy: read and rewritten all the time, last touched in the past few days.
    counted = count(Operation::Read, 20 + random() % 400, 30) && count(Operation::ReadWrite, 5 + random() % 60, 10) &&
              count(serial % 3 == 0 ? Operation::Write : Operation::Read, 1 + random() % 40, random() % 4);
  } else if (folder == "Projects/Tools/bin") {
    counted = count(Operation::Execute, 50 + random() % 900, random() % 20);
  } else if (folder == "Logs") {
    // Write-heavy: appended to daily, hardly ever read.
    counted = count(Operation::Read, random() % 3, 200) && count(Operation::Write, 300 + random() % 3000, random() % 2);
  } else if (folder.starts_with("Archive")) {
    // Idle for months: a few reads long ago, or nothing at all.
    if (serial % 3 != 0) counted = count(Operation::Read, 1 + random() % 3, 150 + random() % 200);
  } else if (folder.starts_with("Documents")) {
    if (serial % 4 != 0) {
      counted = count(Operation::Read, 1 + random() % 30, 20 + random() % 300) &&
                (serial % 5 != 0 || count(Operation::ReadWrite, 1 + random() % 5, random() % 60));
    }
  } else if (folder.starts_with("Photos") || folder.starts_with("Music")) {
    if (serial % 2 == 0) counted = count(Operation::Read, 1 + random() % 12, random() % 250);
  } else if (folder == "Disk Images") {
    // Every last-operation code appears: read, write, read-and-write, execute, seek.
    counted = count(static_cast<Operation>(serial % 5), 1 + random() % 9, 5 + (serial % 12) * 20);
  }
  if (counted) ++recorded;
}

// The owner of a demo folder, for telling a live demo's mount from an abandoned one.
constexpr const char* kOwnerFile = "/owner.pid";
constexpr const char* kDataFolder = "/data";
// Sparse: only what the files take is written, about a third of it.
constexpr std::uint64_t kDataImageBytes = std::uint64_t{1} << 30;

bool WriteOwner(const std::string& folder) {
  const std::string text = std::to_string(::getpid()) + "\n";
  const int fd = ::open((folder + kOwnerFile).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  return ::close(fd) == 0 && written;
}

// A demo folder is abandoned when the process named in it is gone. Folders without
// that file are not known to be demos of this kind and are left alone.
bool IsAbandoned(const std::string& folder) {
  const int fd = ::open((folder + kOwnerFile).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return false;
  char text[32] = {};
  const ssize_t n = ::read(fd, text, sizeof text - 1);
  ::close(fd);
  const long pid = n > 0 ? std::strtol(text, nullptr, 10) : 0;
  return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

bool Fail(std::string* error, std::string text) {
  *error = std::move(text);
  return false;
}

// Writes the data drive's files, compressing where the layout says so and the drive
// can; lists every file made as (folder, path below the root).
bool MakeDataFiles(platform::System& system, const std::string& data, bool compressible,
                   DemoMachine& machine, std::vector<std::pair<std::string, std::string>>& made,
                   std::mt19937& random, std::string* error) {
  const std::string pool = MakeTextPool(random);
  for (const Folder& folder : Layout()) {
    const std::string host = data + "/" + folder.path;
    if (!MakeDirectories(host)) return Fail(error, "cannot create " + host + ": " + std::strerror(errno));
    // A compressed folder passes the flag on to the files created in it.
    const bool wholeFolder = compressible && folder.compressEvery == 1 &&
                             system.SetCompression(WindowsPath(folder.path), true);
    const std::string path = folder.path;
    const std::string leaf = path.substr(path.rfind('/') + 1);  // names the files: "Logs 7.log"
    for (int i = 0; i < folder.files; ++i) {
      const std::string relative =
          path + "/" + leaf + " " + std::to_string(i + 1) + folder.extensions[i % folder.extensions.size()];
      const bool sparse = folder.typicalSize == 0;
      // Sizes spread over two orders of magnitude around the folder's typical size.
      const std::uint64_t size = sparse ? (std::uint64_t{64} << 20) * (1 + i % 4)
                                        : folder.typicalSize / 16 + random() % (folder.typicalSize * 2);
      const char* block = pool.data() + random() % kBlockSize;
      if (!WriteDemoFile(data + "/" + relative, i % 97 == 0 && !sparse ? 0 : size, sparse, block)) {
        return Fail(error, "cannot write " + data + "/" + relative + ": " + std::strerror(errno));
      }
      const bool compressed =
          wholeFolder || (compressible && folder.compressEvery > 1 && i % folder.compressEvery == 0 &&
                          system.SetCompression(WindowsPath(relative), true));
      if (compressed) ++machine.compressed;
      made.emplace_back(folder.path, relative);
      ++machine.files;
    }
  }
  return true;
}

bool RecordDemoActivity(platform::System& system, std::int64_t now,
                        const std::vector<std::pair<std::string, std::string>>& made,
                        std::mt19937& random, DemoMachine& machine, std::string* error) {
  activity::DriveTable table;
  if (!table.Load(system)) return Fail(error, "cannot create the drive table");
  activity::DriveRecord record;
  record.drive = activity::DriveNumber(kDemoDataDrive);
  record.bucketMask = 2047;
  record.spanStart = platform::DosDateTimeFromLocal(now - 400 * kDay);
  table.NewState().push_back(record);
  if (!table.Save(system) ||
      !activity::CreateZeroFilledFile(system, activity::AccessTablePath('C', kDemoDataDrive),
                                      record.Capacity() * activity::kAccessRecordSize)) {
    return Fail(error, "cannot create the database of D:");
  }
  activity::recorder::ActivityStore store(system);
  if (!store.Open(error)) return false;
  int serial = 0;
  for (const auto& [folder, relative] : made) {
    RecordActivity(store, folder, WindowsPath(relative), serial++, now, random, machine.recorded);
  }
  if (!store.Close(error)) return false;
  // The made-up year was "recorded" throughout, as a recorder running all along would
  // have: without it no file could be called unused.
  const activity::CoveragePeriod recorded{now - 400 * kDay, now, 0, {}, activity::PeriodEnd::CleanStop};
  if (!activity::SaveCoverage(system, 'C', kDemoDataDrive, {recorded})) {
    return Fail(error, "cannot write the coverage of D:");
  }
  return true;
}

}  // namespace

std::optional<DemoMachine> BuildDemoMachine(const std::string& parent, std::int64_t now,
                                            bool tryCompressible, std::string* error) {
  std::string pattern = parent + "/norvex-demo-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    *error = "cannot create a folder in " + parent + ": " + std::strerror(errno);
    return std::nullopt;
  }
  DemoMachine machine;
  machine.folder = pattern;
  machine.stateDir = machine.folder + "/program";
  machine.configDir = machine.folder + "/config";
  const std::string data = machine.folder + kDataFolder;
  const std::string backup = machine.folder + "/backup";
  for (const std::string& dir : {machine.stateDir, machine.configDir, data, backup}) {
    if (!MakeDirectories(dir)) {
      *error = "cannot create " + dir + ": " + std::strerror(errno);
      return std::nullopt;
    }
  }
  machine.drives = "C=" + machine.stateDir + "=Program,D=" + data + "=Data,E=" + backup + "=Backup";
  if (!WriteOwner(machine.folder)) {
    *error = "cannot write " + machine.folder + kOwnerFile + ": " + std::strerror(errno);
    return std::nullopt;
  }
  if (!tryCompressible) {
    machine.whyNotCompressible = "a plain folder was asked for";
  } else {
    machine.dataImage = platform::DiskImage::Mount(platform::ImageFormat::Btrfs, machine.folder + "/data.img",
                                                   data, kDataImageBytes, &machine.whyNotCompressible);
  }

  platform::Environment environment;
  environment.stateDir = machine.stateDir;
  environment.configDir = machine.configDir;
  environment.recorderSocket = machine.folder + "/recorder.sock";
  environment.drives = *platform::DriveMap::Parse(machine.drives);
  platform::HostSystem system(environment);

  std::mt19937 random(1234);
  std::vector<std::pair<std::string, std::string>> made;  // folder, path below the root
  if (!MakeDataFiles(system, data, machine.dataImage != nullptr, machine, made, random, error) ||
      !RecordDemoActivity(system, now, made, random, machine, error)) {
    return std::nullopt;  // the image, if any, is unmounted on the way out
  }
  return machine;
}

namespace {

// The mount point the signal handler detaches: the live session's own string, set before
// the handler is installed and cleared after it is removed. A handler reaches nothing but
// globals, and may only read a lock-free atomic and make system calls.
std::atomic<const char*> signalMountPoint{nullptr};
static_assert(std::atomic<const char*>::is_always_lock_free);
constexpr int kEndingSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

void DetachDataDriveAndEnd(int signal) {
  if (const char* mountPoint = signalMountPoint.load()) ::umount2(mountPoint, MNT_DETACH);
  ::raise(signal);  // the default action again, so the process ends as it would have
}

void SetEndingSignalHandler(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  action.sa_flags = handler == SIG_DFL ? 0 : SA_RESETHAND | SA_NODEFER;
  sigemptyset(&action.sa_mask);
  for (const int signal : kEndingSignals) ::sigaction(signal, &action, nullptr);
}

}  // namespace

DemoSession::DemoSession(DemoMachine machine) : machine_(std::move(machine)) {
  if (!machine_.dataImage) return;
  signalMountPoint = machine_.dataImage->MountPoint().c_str();
  SetEndingSignalHandler(&DetachDataDriveAndEnd);
}

DemoSession::~DemoSession() {
  if (machine_.dataImage) {
    SetEndingSignalHandler(SIG_DFL);
    signalMountPoint = nullptr;
    // Removing the folder through a live mount would empty the image file by file.
    if (!machine_.dataImage->Unmount()) return;
  }
  std::error_code ignored;
  std::filesystem::remove_all(machine_.folder, ignored);
}

int RemoveAbandonedDemos(const std::string& parent) {
  int removed = 0;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(parent, error)) {
    const std::string folder = entry.path().string();
    if (!entry.path().filename().string().starts_with("norvex-demo-") || !IsAbandoned(folder)) continue;
    const std::string data = folder + kDataFolder;
    if (platform::IsMountPoint(data) && !platform::UnmountFolder(data)) continue;
    std::error_code ignored;
    if (std::filesystem::remove_all(folder, ignored) != static_cast<std::uintmax_t>(-1)) ++removed;
  }
  return removed;
}

bool ApplyDemoArgument(std::vector<std::string>& args, std::ostream& err,
                       std::unique_ptr<DemoSession>& session) {
  const auto demo = std::find(args.begin(), args.end(), "--demo");
  if (demo == args.end()) return true;
  args.erase(demo);
  const char* tmp = std::getenv("TMPDIR");
  const std::string parent = tmp && *tmp ? tmp : "/tmp";
  if (const int removed = RemoveAbandonedDemos(parent); removed > 0) {
    err << "norvex: removed " << removed << " demo machine(s) left by programs that ended abruptly\n";
  }
  std::string error;
  auto machine = BuildDemoMachine(parent, std::time(nullptr), true, &error);
  if (!machine) {
    err << "norvex: cannot build the demo machine: " << error << "\n";
    return false;
  }
  err << "norvex: demo machine in " << machine->folder << " (" << machine->files << " files, "
      << machine->recorded << " with recorded activity";
  if (machine->dataImage) {
    err << ", " << machine->compressed << " compressed on a btrfs drive; hints C, D and B show";
  }
  err << "); it is removed when the program ends\n";
  if (!machine->dataImage) {
    err << "norvex: the demo's hints C (compress) and D (decompress) are not shown: "
        << machine->whyNotCompressible << ", so its data drive cannot compress\n";
  }
  // Actions handed off at exit name the demo's drives, which go with its folder: so does
  // the hand-off file, and the background program never meets it over other drives.
  err << "norvex: actions left at exit are handed off in " << machine->folder << "/"
      << shell::kHandOffFileName << ", removed with the demo\n";
  args.insert(args.begin(), {"--drives", machine->drives, "--state-dir", machine->stateDir,
                             "--config-dir", machine->configDir, "--recorder",
                             machine->folder + "/recorder.sock", "--handoff-dir", machine->folder});
  session = std::make_unique<DemoSession>(std::move(*machine));
  return true;
}

}  // namespace demo
