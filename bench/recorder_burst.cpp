// A burst of real opens against a running norvex-recorder, and a check that every one of
// them was counted.
//
// It maps two throw-away drives (C: for the database, D: with the files), gives D: a
// database, starts the built norvex-recorder on them (fanotify as root, or --inotify),
// and lets several worker processes open and close the files as fast as they can: six in
// ten opens read a byte (read-only), three write one (write-only), one reads and writes
// (read-and-write). Meanwhile it holds and releases the recorder every 100 ms (far more
// often than the program does), and times the replies. Once the workers are done it keeps reading the
// tables (during a hold) until they stop changing, then compares every file's counters
// with the opens made.
//
//   sudo build-rel/bench/bench_recorder_burst [--files 2000] [--opens 1000000]
//        [--workers 4] [--rate OPENS_PER_SECOND] [--hold-every MS] [--inotify] [--tmpfs]
//        [--tar DIR] [--recorder PATH]
//
// --tmpfs mounts a tmpfs on D:, so the fanotify mount mark sees only the burst and not
// whatever else the machine's root filesystem is doing.
//
// --tar DIR replaces the workers by a real load: DIR is copied onto D: and archived with
// `tar c` (into a pipe: GNU tar reads nothing when its archive is /dev/null), which opens
// every file once, read-only, and reads it whole.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "activity/access_tables.h"
#include "activity/database_files.h"
#include "activity/drive_table.h"
#include "activity/path_key.h"
#include "activity/recorder_control.h"
#include "platform/environment.h"
#include "platform/host_system.h"
#include "platform/recorder_channel.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
  int files = 2000;
  long opens = 1'000'000;
  int workers = 4;
  long rate = 0;  // opens a second over all workers; 0 = as fast as they can
  int holdEvery = 100;  // milliseconds between two holds during the burst
  bool inotify = false;
  bool tmpfs = false;
  std::string tree;  // with --tar: the folder whose copy tar reads
  std::string recorder;
};

enum class OpenKind { Read, Write, ReadWrite };

// The kind of a worker's j-th open: the same rule in the workers and in the expectation.
OpenKind KindOf(long j) {
  const long slot = j % 10;
  if (slot < 6) return OpenKind::Read;
  if (slot < 9) return OpenKind::Write;
  return OpenKind::ReadWrite;
}

// Worker w starts at its own offset, so two workers rarely have one file open at once
// (inotify cannot tell processes apart).
int FileOf(const Options& options, int worker, long j) {
  const long start = static_cast<long>(worker) * options.files / options.workers;
  return static_cast<int>((start + j) % options.files);
}

long OpensOf(const Options& options, int worker) {
  return options.opens / options.workers + (worker < options.opens % options.workers ? 1 : 0);
}

std::string SelfFolder() {
  char self[4096];
  const ssize_t size = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (size <= 0) return ".";
  const std::string path(self, static_cast<std::size_t>(size));
  return path.substr(0, path.rfind('/'));
}

std::optional<Options> Parse(int argc, char** argv) {
  Options options;
  options.recorder = SelfFolder() + "/../tools/norvex-recorder";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto number = [&](auto& into) {
      if (i + 1 >= argc) return false;
      const std::string text = argv[++i];
      const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), into);
      return ec == std::errc{} && end == text.data() + text.size() && into > 0;
    };
    if (arg == "--files" ? !number(options.files)
        : arg == "--opens" ? !number(options.opens)
        : arg == "--workers" ? !number(options.workers)
        : arg == "--rate" ? !number(options.rate)
        : arg == "--hold-every" ? !number(options.holdEvery)
        : false) {
      std::cerr << "recorder_burst: " << arg << " needs a positive number\n";
      return std::nullopt;
    }
    if (arg == "--inotify") options.inotify = true;
    else if (arg == "--tmpfs") options.tmpfs = true;
    else if (arg == "--recorder" && i + 1 < argc) options.recorder = argv[++i];
    else if (arg == "--tar" && i + 1 < argc) options.tree = argv[++i];
    else if (arg != "--files" && arg != "--opens" && arg != "--workers" && arg != "--rate" &&
             arg != "--hold-every") {
      std::cerr << "recorder_burst: unknown argument '" << arg << "'\n";
      return std::nullopt;
    }
  }
  if (options.files > 200'000) {
    std::cerr << "recorder_burst: at most 200000 files\n";
    return std::nullopt;
  }
  return options;
}

// Windows paths of about 60 characters, spread over 40 folders.
std::vector<std::string> FilePaths(int count) {
  std::vector<std::string> paths;
  char path[128];
  for (int i = 0; i < count; ++i) {
    std::snprintf(path, sizeof path, "D:\\burst\\project %02d\\sources\\module-%02d\\document-%06d.txt",
                  i % 40, (i / 40) % 10, i);
    paths.emplace_back(path);
  }
  return paths;
}

// CPU time of all a process's threads so far, user and system, in seconds; the
// scheduler's nanoseconds, as the clock ticks of /proc/PID/stat are too coarse for a
// short load.
double CpuSeconds(pid_t pid) {
  std::uint64_t nanoseconds = 0;
  std::error_code error;
  for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
    std::ifstream in(task.path() / "schedstat");
    std::uint64_t onCpu = 0;
    if (in >> onCpu) nanoseconds += onCpu;
  }
  return static_cast<double>(nanoseconds) / 1e9;
}

[[noreturn]] void Work(const Options& options, const std::vector<std::string>& hostPaths, int worker,
                       int startPipe) {
  char go;
  if (::read(startPipe, &go, 1) != 1) ::_exit(3);
  int failures = 0;
  const auto start = Clock::now();
  for (long j = 0, n = OpensOf(options, worker); j < n; ++j) {
    if (options.rate > 0 && j % 64 == 0) {
      // Keep to this worker's share of the rate.
      const auto due = start + std::chrono::duration_cast<Clock::duration>(
                                   std::chrono::duration<double>(static_cast<double>(j) * options.workers / options.rate));
      std::this_thread::sleep_until(due);
    }
    const std::string& path = hostPaths[static_cast<std::size_t>(FileOf(options, worker, j))];
    const OpenKind kind = KindOf(j);
    const int flags = kind == OpenKind::Read ? O_RDONLY : kind == OpenKind::Write ? O_WRONLY : O_RDWR;
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) { ++failures; continue; }
    char byte = 'x';
    if (kind != OpenKind::Write && ::pread(fd, &byte, 1, 0) != 1) ++failures;
    if (kind != OpenKind::Read && ::pwrite(fd, &byte, 1, 0) != 1) ++failures;
    ::close(fd);
  }
  ::_exit(failures == 0 ? 0 : 4);
}

struct Latencies {
  std::vector<double> ms;
  void Add(Clock::duration d) { ms.push_back(std::chrono::duration<double, std::milli>(d).count()); }
  std::string Summary() {
    if (ms.empty()) return "none";
    std::sort(ms.begin(), ms.end());
    char text[128];
    std::snprintf(text, sizeof text, "median %.2f ms, p99 %.2f ms, max %.2f ms (%zu)", ms[ms.size() / 2],
                  ms[std::min(ms.size() - 1, ms.size() * 99 / 100)], ms.back(), ms.size());
    return text;
  }
};

class Burst {
 public:
  explicit Burst(Options options) : options_(std::move(options)) {}
  ~Burst() {
    if (daemon_ > 0) {
      ::kill(daemon_, SIGTERM);
      ::waitpid(daemon_, nullptr, 0);
    }
    if (mounted_) ::umount2(environment_.drives.Find('D')->root.c_str(), MNT_DETACH);
    if (!dir_.empty()) {
      std::error_code ignored;
      std::filesystem::remove_all(dir_, ignored);
    }
  }

  int Run() {
    if (!Prepare()) return 1;
    if (!StartDaemon()) return 1;
    const double cpuBefore = CpuSeconds(daemon_);

    const Clock::time_point start = Clock::now();
    std::vector<pid_t> workers = options_.tree.empty() ? StartWorkers() : StartTar();
    if (workers.empty()) return 1;

    // Hold and release as the program would, timing the replies, until the workers end.
    Latencies hold, release;
    std::size_t running = workers.size();
    int workerFailures = 0;
    Clock::time_point generated = start;
    while (running > 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(options_.holdEvery));
      HoldAndRelease(hold, release, nullptr);
      for (pid_t& pid : workers) {
        int status = 0;
        if (pid > 0 && ::waitpid(pid, &status, WNOHANG) == pid) {
          pid = 0;
          --running;
          if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ++workerFailures;
          generated = Clock::now();
        }
      }
    }
    const double generateSeconds = Seconds(generated - start);

    // Then read the tables during holds until they stop changing.
    std::uint64_t counted = 0, lastCounted = 0;
    HoldAndRelease(hold, release, &counted);
    const std::uint64_t countedAtBurstEnd = counted;
    Clock::time_point lastChange = Clock::now();
    while (counted < ExpectedOpens() && Clock::now() - lastChange < std::chrono::seconds(3)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      lastCounted = counted;
      HoldAndRelease(hold, release, &counted);
      if (counted != lastCounted) lastChange = Clock::now();
    }
    const double drainSeconds = Seconds(lastChange - start);
    const double cpuSeconds = CpuSeconds(daemon_) - cpuBefore;

    activity::SendControl(*system_, activity::IOCTL_RECORDER_HOLD);
    const auto tables = ReadTables();
    const activity::AccessRecord sum = SumOfTables();
    activity::SendControl(*system_, activity::IOCTL_RECORDER_RELEASE);
    ::kill(daemon_, SIGTERM);
    ::waitpid(daemon_, nullptr, 0);
    daemon_ = -1;

    Report(generateSeconds, drainSeconds, cpuSeconds, countedAtBurstEnd, tables, sum, hold, release,
           workerFailures);
    return 0;
  }

 private:
  static double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

  std::uint64_t ExpectedOpens() const {
    return options_.tree.empty() ? static_cast<std::uint64_t>(options_.opens) : treeFiles_;
  }

  // The workers, started together once all are forked.
  std::vector<pid_t> StartWorkers() {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return {};
    std::vector<pid_t> workers;
    for (int w = 0; w < options_.workers; ++w) {
      const pid_t pid = ::fork();
      if (pid == 0) {
        ::close(pipeEnds[1]);
        Work(options_, hostPaths_, w, pipeEnds[0]);
      }
      workers.push_back(pid);
    }
    ::close(pipeEnds[0]);
    const std::string go(static_cast<std::size_t>(options_.workers), 'g');
    const bool started = ::write(pipeEnds[1], go.data(), go.size()) == static_cast<ssize_t>(go.size());
    ::close(pipeEnds[1]);
    if (!started) return {};
    return workers;
  }

  std::vector<pid_t> StartTar() {
    const std::string command = "tar c -C '" + environment_.drives.Find('D')->root + "' tree | cat > /dev/null";
    const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    pid_t pid = -1;
    if (::posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return {};
    return {pid};
  }

  // Copies the folder to load onto D: and counts the files tar opens: each regular file's
  // data once, however many links it has.
  bool CopyTree() {
    const std::filesystem::path copy = environment_.drives.Find('D')->root + "/tree";
    std::error_code error;
    std::filesystem::copy(options_.tree, copy,
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks,
                          error);
    if (error) {
      std::cerr << "recorder_burst: cannot copy " << options_.tree << ": " << error.message() << "\n";
      return false;
    }
    std::set<ino_t> inodes;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(copy)) {
      struct stat facts {};
      if (::lstat(entry.path().c_str(), &facts) == 0 && S_ISREG(facts.st_mode)) inodes.insert(facts.st_ino);
    }
    treeFiles_ = inodes.size();
    return true;
  }

  bool Prepare() {
    std::string pattern = "/tmp/norvex-burst-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) return false;
    dir_ = pattern;
    for (const char letter : {'C', 'D'}) {
      const std::string root = dir_ + "/" + letter;
      ::mkdir(root.c_str(), 0755);
      environment_.drives.Set(letter, root);
    }
    if (options_.tmpfs) {
      const std::string root = environment_.drives.Find('D')->root;
      if (::mount("norvex-burst", root.c_str(), "tmpfs", 0, "size=1g") != 0) {
        std::perror("recorder_burst: cannot mount a tmpfs on D:");
        return false;
      }
      mounted_ = true;
    }
    environment_.stateDir = dir_ + "/C";
    environment_.configDir = dir_ + "/config";
    environment_.recorderSocket = dir_ + "/recorder.sock";
    ::mkdir(environment_.configDir.c_str(), 0755);
    system_ = std::make_unique<platform::HostSystem>(environment_);

    if (!options_.tree.empty()) {
      if (!CopyTree()) return false;
    } else {
      windowsPaths_ = FilePaths(options_.files);
    }
    for (const std::string& path : windowsPaths_) {
      const std::string host = *system_->HostPath(path);
      std::filesystem::create_directories(std::filesystem::path(host).parent_path());
      const int fd = ::open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
      if (fd < 0 || ::write(fd, "burst\n", 6) != 6) {
        std::cerr << "recorder_burst: cannot create " << host << "\n";
        return false;
      }
      ::close(fd);
      hostPaths_.push_back(host);
    }

    // A table with at least twice as many slots as files.
    activity::DriveRecord record;
    record.drive = activity::DriveNumber('D');
    record.bucketSize = 4;
    record.bucketMask = 1;
    const std::uint64_t files = options_.tree.empty() ? static_cast<std::uint64_t>(options_.files) : treeFiles_;
    while (record.Capacity() < 2 * files) {
      record.bucketMask = static_cast<std::uint16_t>(record.bucketMask * 2 + 1);
    }
    activity::DriveTable table;
    if (!table.Load(*system_)) return false;
    table.NewState() = {record};
    return table.Save(*system_) &&
           activity::CreateZeroFilledFile(*system_, "C:\\FileTblD.NVX",
                                          record.Capacity() * activity::kAccessRecordSize);
  }

  bool StartDaemon() {
    std::vector<std::string> args = {options_.recorder, "--drives", environment_.drives.ToString(),
                                     "--state-dir", environment_.stateDir, "--config-dir",
                                     environment_.configDir, "--recorder", environment_.recorderSocket,
                                     "run"};
    if (options_.inotify) args.push_back("--inotify");
    log_ = dir_ + "/recorder.log";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const int spawned = ::posix_spawn(&daemon_, options_.recorder.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
      std::cerr << "recorder_burst: cannot start " << options_.recorder << "\n";
      daemon_ = -1;
      return false;
    }
    for (int i = 0; i < 100; ++i) {
      if (platform::SendRecorderCode(environment_.recorderSocket, 0, 200)) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::cerr << "recorder_burst: the recorder never answered\n" << Log();
    return false;
  }

  std::string Log() const {
    std::ifstream in(log_);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  // One hold and release; with `counted`, the tables' total count is read in between.
  void HoldAndRelease(Latencies& hold, Latencies& release, std::uint64_t* counted) {
    Clock::time_point at = Clock::now();
    if (!platform::SendRecorderCode(environment_.recorderSocket, activity::IOCTL_RECORDER_HOLD)) {
      std::cerr << "recorder_burst: no reply to a hold\n";
    }
    hold.Add(Clock::now() - at);
    if (counted != nullptr) *counted = CountedInTables();
    at = Clock::now();
    if (!platform::SendRecorderCode(environment_.recorderSocket, activity::IOCTL_RECORDER_RELEASE)) {
      std::cerr << "recorder_burst: no reply to a release\n";
    }
    release.Add(Clock::now() - at);
  }

  std::optional<activity::AccessTables> LoadTables() {
    activity::DriveTable table;
    activity::AccessTables tables;
    if (!table.Load(*system_) || table.NewState().empty() ||
        !tables.Load(*system_, 'D', table.NewState().front())) {
      return std::nullopt;
    }
    return tables;
  }

  // Every burst file's record, in file order.
  std::vector<activity::AccessRecord> ReadTables() {
    std::vector<activity::AccessRecord> records;
    const auto tables = LoadTables();
    if (!tables) return records;
    for (const std::string& path : windowsPaths_) {
      records.push_back(tables->RecordOrZero('D', activity::PathKey(path, {})));
    }
    return records;
  }

  // Opens of any file in the tables, with their kinds.
  activity::AccessRecord SumOfTables() {
    activity::AccessRecord sum;
    if (const auto tables = LoadTables()) {
      for (const activity::AccessRecord& record : tables->Table('D')) {
        sum.total += record.total, sum.readOnly += record.readOnly, sum.writeOnly += record.writeOnly,
            sum.readWrite += record.readWrite;
      }
    }
    return sum;
  }
  std::uint64_t CountedInTables() { return SumOfTables().total; }

  void Report(double generateSeconds, double drainSeconds, double cpuSeconds,
              std::uint64_t countedAtBurstEnd, const std::vector<activity::AccessRecord>& tables,
              const activity::AccessRecord& sum, Latencies& hold, Latencies& release, int workerFailures) {
    // What the tables should show: per burst file, or in all for the tar load (every file
    // read once).
    activity::AccessRecord expectedSum;
    std::uint64_t missing = 0, excess = 0, kindsWrong = 0;
    if (options_.tree.empty()) {
      std::vector<activity::AccessRecord> expected(static_cast<std::size_t>(options_.files));
      for (int w = 0; w < options_.workers; ++w) {
        for (long j = 0, n = OpensOf(options_, w); j < n; ++j) {
          activity::AccessRecord& record = expected[static_cast<std::size_t>(FileOf(options_, w, j))];
          const OpenKind kind = KindOf(j);
          ++(kind == OpenKind::Read ? record.readOnly : kind == OpenKind::Write ? record.writeOnly : record.readWrite);
          ++record.total;
        }
      }
      for (std::size_t i = 0; i < expected.size(); ++i) {
        const activity::AccessRecord got = i < tables.size() ? tables[i] : activity::AccessRecord{};
        expectedSum.readOnly += expected[i].readOnly, expectedSum.writeOnly += expected[i].writeOnly,
            expectedSum.readWrite += expected[i].readWrite;
        if (got.total < expected[i].total) missing += expected[i].total - got.total;
        if (got.total > expected[i].total) excess += got.total - expected[i].total;
        if (got.readOnly != expected[i].readOnly || got.writeOnly != expected[i].writeOnly ||
            got.readWrite != expected[i].readWrite) {
          ++kindsWrong;
        }
      }
    } else {
      expectedSum.readOnly = static_cast<std::uint32_t>(treeFiles_);
      if (sum.total < treeFiles_) missing = treeFiles_ - sum.total;
      if (sum.total > treeFiles_) excess = sum.total - treeFiles_;
    }
    const std::uint64_t counted = sum.total;
    const std::string log = Log();
    std::uint64_t events = 0, dropped = 0;
    if (const auto at = log.find("stopped; "); at != std::string::npos) {
      std::sscanf(log.c_str() + at, "stopped; %*u opens counted, %lu events read, %lu events dropped",
                  &events, &dropped);
    }
    const double opens = static_cast<double>(ExpectedOpens());
    const double perCounted = counted > 0 ? 1.0 / static_cast<double>(counted) : 0.0;
    double load[3] = {};
    ::getloadavg(load, 3);
    std::printf("watcher            %s%s\n", options_.inotify ? "inotify" : "fanotify",
                options_.tmpfs ? " (D: on tmpfs)" : "");
    if (options_.tree.empty()) {
      std::printf("load               burst: %d files, %d workers, rate %s\n", options_.files, options_.workers,
                  options_.rate > 0 ? (std::to_string(options_.rate) + " opens/s asked").c_str() : "unlimited");
    } else {
      std::printf("load               tar c of a copy of %s (%lu files)\n", options_.tree.c_str(), treeFiles_);
    }
    std::printf("opens made         %.0f in %.2f s = %.0f opens/s%s\n", opens, generateSeconds,
                opens / generateSeconds, workerFailures ? " (SOME WORKERS FAILED)" : "");
    std::printf("counted at end     %lu of %.0f (%.1f %%) when the load ended\n", countedAtBurstEnd, opens,
                100.0 * static_cast<double>(countedAtBurstEnd) / opens);
    std::printf("all counted after  %.2f s = %.0f opens/s counted\n", drainSeconds,
                static_cast<double>(counted) / drainSeconds);
    std::printf("kernel events      %lu read by the recorder (%.2f per open counted), %lu dropped (queue overflow)\n",
                events, static_cast<double>(events) * perCounted, dropped);
    std::printf("recorder CPU       %.2f s (%.0f %% of the time to count all), %.2f us per open counted\n",
                cpuSeconds, 100.0 * cpuSeconds / drainSeconds, 1e6 * cpuSeconds * perCounted);
    std::printf("load average       %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    std::printf("hold reply         %s\n", hold.Summary().c_str());
    std::printf("release reply      %s\n", release.Summary().c_str());
    std::printf("in the tables      %lu counted, %lu missing, %lu too many%s\n", counted, missing, excess,
                options_.tree.empty() ? ("; " + std::to_string(kindsWrong) + " files with wrong kinds").c_str() : "");
    std::printf("by kind            read-only %u of %u, write-only %u of %u, read-and-write %u of %u\n",
                sum.readOnly, expectedSum.readOnly, sum.writeOnly, expectedSum.writeOnly, sum.readWrite,
                expectedSum.readWrite);
  }

  Options options_;
  std::string dir_, log_;
  bool mounted_ = false;
  platform::Environment environment_;
  std::unique_ptr<platform::HostSystem> system_;
  std::vector<std::string> windowsPaths_, hostPaths_;
  std::uint64_t treeFiles_ = 0;
  pid_t daemon_ = -1;
};

}  // namespace

int main(int argc, char** argv) {
  const auto options = Parse(argc, argv);
  if (!options) return 2;
  if (!options->inotify && ::geteuid() != 0) {
    std::cerr << "recorder_burst: fanotify needs root (or pass --inotify)\n";
    return 2;
  }
  Burst burst(*options);
  return burst.Run();
}
