#include "shell/demo_machine.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <ostream>
#include <random>

#include "activity/access_tables.h"
#include "activity/database_files.h"
#include "activity/drive_table.h"
#include "activity/recorder/activity_store.h"
#include "platform/dos_time.h"
#include "platform/environment.h"
#include "platform/host_system.h"

namespace shell {
namespace {

using activity::recorder::Operation;

constexpr std::int64_t kDay = 86400;

struct Folder {
  const char* path;          // below the data drive's root
  std::vector<const char*> extensions;
  int files;
  std::uint64_t typicalSize;
};

// A small office machine: documents, photos, music, source code, logs and an archive.
const std::vector<Folder>& Layout() {
  static const std::vector<Folder> layout = {
      {"Documents/Letters", {".doc", ".txt", ".pdf"}, 260, 24 * 1024},
      {"Documents/Reports/2024", {".xls", ".pdf", ".doc"}, 180, 96 * 1024},
      {"Documents/Reports/2025", {".xls", ".pdf", ".doc"}, 200, 96 * 1024},
      {"Photos/Holidays", {".jpg", ".png"}, 320, 180 * 1024},
      {"Photos/Family", {".jpg"}, 240, 160 * 1024},
      {"Music/Albums", {".mp3", ".ogg"}, 220, 400 * 1024},
      {"Projects/Website/src", {".html", ".css", ".js"}, 300, 8 * 1024},
      {"Projects/Tools/src", {".cpp", ".h", ".py"}, 380, 12 * 1024},
      {"Projects/Tools/bin", {".exe", ".dll", ".so"}, 40, 600 * 1024},
      {"Logs", {".log"}, 120, 64 * 1024},
      {"Archive/Old Projects", {".zip", ".tar", ".bak"}, 260, 220 * 1024},
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

// Writes `size` bytes of text-like data; a sparse file gets `size` as its length but data
// only in its first and last blocks.
bool WriteDemoFile(const std::string& path, std::uint64_t size, bool sparse, std::mt19937& random) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) return false;
  bool ok = true;
  std::string block(std::min<std::uint64_t>(size, 64 * 1024), ' ');
  for (std::size_t i = 0; i < block.size(); ++i) {
    block[i] = static_cast<char>('a' + random() % 26);
    if (i % 64 == 63) block[i] = '\n';
  }
  if (sparse) {
    ok = ::ftruncate(fd, static_cast<off_t>(size)) == 0 &&
         ::pwrite(fd, block.data(), 4096, 0) == 4096 &&
         ::pwrite(fd, block.data(), 4096, static_cast<off_t>(size - 4096)) == 4096;
  } else {
    for (std::uint64_t done = 0; ok && done < size;) {
      const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), size - done));
      ok = ::write(fd, block.data(), n) == static_cast<ssize_t>(n);
      done += n;
    }
  }
  return ::close(fd) == 0 && ok;
}

std::string WindowsPath(const std::string& relative) {
  std::string path = "D:\\" + relative;
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

}  // namespace

std::optional<DemoMachine> BuildDemoMachine(const std::string& parent, std::int64_t now,
                                            std::string* error) {
  std::string pattern = parent + "/norvex-demo-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    *error = "cannot create a folder in " + parent + ": " + std::strerror(errno);
    return std::nullopt;
  }
  DemoMachine machine;
  machine.folder = pattern;
  machine.stateDir = machine.folder + "/program";
  machine.configDir = machine.folder + "/config";
  const std::string data = machine.folder + "/data";
  const std::string backup = machine.folder + "/backup";
  for (const std::string& dir : {machine.stateDir, machine.configDir, data, backup}) {
    if (!MakeDirectories(dir)) {
      *error = "cannot create " + dir + ": " + std::strerror(errno);
      return std::nullopt;
    }
  }
  machine.drives = "C=" + machine.stateDir + "=Program,D=" + data + "=Data,E=" + backup + "=Backup";

  std::mt19937 random(1234);
  std::vector<std::pair<std::string, std::string>> made;  // folder, relative path
  for (const Folder& folder : Layout()) {
    const std::string host = data + "/" + folder.path;
    if (!MakeDirectories(host)) {
      *error = "cannot create " + host;
      return std::nullopt;
    }
    for (int i = 0; i < folder.files; ++i) {
      const std::string name = std::string(folder.path).substr(std::string(folder.path).rfind('/') + 1) +
                               " " + std::to_string(i + 1) + folder.extensions[i % folder.extensions.size()];
      const bool sparse = folder.typicalSize == 0;
      // Sizes spread over two orders of magnitude around the folder's typical size.
      const std::uint64_t size = sparse ? (std::uint64_t{64} << 20) * (1 + i % 4)
                                        : folder.typicalSize / 16 + random() % (folder.typicalSize * 2);
      if (!WriteDemoFile(host + "/" + name, i % 97 == 0 && !sparse ? 0 : size, sparse, random)) {
        *error = "cannot write " + host + "/" + name;
        return std::nullopt;
      }
      made.emplace_back(folder.path, std::string(folder.path) + "/" + name);
      ++machine.files;
    }
  }

  platform::Environment environment;
  environment.stateDir = machine.stateDir;
  environment.configDir = machine.configDir;
  environment.recorderSocket = machine.folder + "/recorder.sock";
  environment.drives = *platform::DriveMap::Parse(machine.drives);
  platform::HostSystem system(environment);

  activity::DriveTable table;
  if (!table.Load(system)) {
    *error = "cannot create the drive table";
    return std::nullopt;
  }
  activity::DriveRecord record;
  record.drive = activity::DriveNumber('D');
  record.bucketMask = 2047;
  record.spanStart = platform::DosDateTimeFromLocal(now - 400 * kDay);
  table.NewState().push_back(record);
  if (!table.Save(system) ||
      !activity::CreateZeroFilledFile(system, activity::AccessTablePath('C', 'D'),
                                      record.Capacity() * activity::kAccessRecordSize)) {
    *error = "cannot create the database of D:";
    return std::nullopt;
  }

  activity::recorder::ActivityStore store(system);
  if (!store.Open(error)) return std::nullopt;
  int serial = 0;
  for (const auto& [folder, relative] : made) {
    RecordActivity(store, folder, WindowsPath(relative), serial++, now, random, machine.recorded);
  }
  if (!store.Close(error)) return std::nullopt;
  return machine;
}

bool ApplyDemoArgument(std::vector<std::string>& args, std::ostream& err) {
  const auto demo = std::find(args.begin(), args.end(), "--demo");
  if (demo == args.end()) return true;
  args.erase(demo);
  const char* tmp = std::getenv("TMPDIR");
  std::string error;
  const auto machine = BuildDemoMachine(tmp && *tmp ? tmp : "/tmp", std::time(nullptr), &error);
  if (!machine) {
    err << "norvex: cannot build the demo machine: " << error << "\n";
    return false;
  }
  err << "norvex: demo machine in " << machine->folder << " (" << machine->files << " files, "
      << machine->recorded << " with recorded activity)\n";
  args.insert(args.begin(), {"--drives", machine->drives, "--state-dir", machine->stateDir,
                             "--config-dir", machine->configDir, "--recorder",
                             machine->folder + "/recorder.sock"});
  return true;
}

}  // namespace shell
