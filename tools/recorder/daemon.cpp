#include "daemon.h"

#include <poll.h>
#include <sys/resource.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <chrono>
#include <ostream>
#include <span>
#include <unordered_map>

#include "activity/recorder/activity_store.h"
#include "activity/recorder/coverage_log.h"
#include "activity/recorder/drive_marks.h"
#include "activity/recorder/host_path_cache.h"
#include "activity/recorder/open_tracker.h"
#include "activity/recorder_control.h"
#include "control_socket.h"
#include "event_reader.h"
#include "event_source.h"
#include "platform/boot_identity.h"
#include "platform/dos_time.h"
#include "platform/mount_views.h"
#include "platform/windows_path.h"
#include "view_hash.h"

namespace recorder_tool {
namespace {

using activity::recorder::Operation;

// Set by SIGTERM/SIGINT, read by the serving loop: a signal handler reaches nothing but
// globals, and a lock-free atomic is what it may safely write. The signal may be taken on
// the event reader's thread, so a volatile sig_atomic_t would not do.
std::atomic<bool> g_stop{false};
static_assert(std::atomic<bool>::is_always_lock_free);
void OnSignal(int) { g_stop = true; }

// Counts gathered while the program holds the databases, applied once it releases them;
// bounded so a long hold cannot eat the machine's memory. Each held file's path is kept
// once, however often it was opened.
struct HeldCount {
  std::uint32_t path;  // index into the held paths
  Operation operation;
  std::uint32_t when;
};
constexpr std::size_t kMaxHeldCounts = 1'000'000;

// Events handled between two looks at the control socket: small enough that a hold
// waits at most a few milliseconds during a burst, large enough to compute the keys of
// new files together.
constexpr std::size_t kEventsPerTurn = 256;

// How long a trickle of events may gather before it is counted.
constexpr int kGatherMilliseconds = 10;

constexpr int kDefaultNice = -10;

class Daemon {
 public:
  Daemon(platform::System& system, EventSource& source, std::ostream& err, int intervalSeconds)
      : system_(system), source_(source), reader_(source), store_(system), coverage_(system, ThisMachine()),
        cache_(system.Drives()), err_(err), interval_(intervalSeconds) {}

  bool Start(std::string* error) {
    std::vector<std::string> warnings;
    if (!store_.Open(error, &warnings)) return false;
    for (const std::string& warning : warnings) err_ << "norvex-recorder: " << warning << "\n";
    Rewatch();
    return true;
  }

  // Until SIGTERM or SIGINT: controls, events, the periodic write-out. The events are
  // read on a thread of their own (started here, so that it runs at the daemon's
  // priority) and counted here, a few hundred at a time between looks at the control
  // socket, so that a hold is answered within milliseconds during a burst.
  void Serve(ControlSocket& control) {
    std::string error;
    if (!reader_.Start(&error)) {
      err_ << "norvex-recorder: " << error << "\n";
      return;
    }
    // Recording from here on: the coverage periods open now.
    OpenCoverage();
    FlushCoverage();
    auto lastWrite = std::chrono::steady_clock::now();
    std::vector<EventBatch> batches;
    while (!g_stop) {
      pollfd fds[2] = {{reader_.Descriptor(), POLLIN, 0}, {control.Descriptor(), POLLIN, 0}};
      // Woken for the write-out in time: the coverage's last-seen moment may lag the
      // clock by one interval at most.
      const auto untilWrite = std::chrono::duration_cast<std::chrono::milliseconds>(
          lastWrite + std::chrono::seconds(interval_) - std::chrono::steady_clock::now());
      ::poll(fds, 2, holding_ ? 1000 : static_cast<int>(std::clamp<std::int64_t>(untilWrite.count(), 0, 1000)));
      if (fds[1].revents & POLLIN) Answer(control);
      if (fds[0].revents & POLLIN) {
        const std::size_t handled = CountWaiting(batches, &control);
        // A trickle of events is left to gather for a moment (the reader keeps the
        // kernel's queue empty meanwhile): waking up per handful of events costs more
        // than counting them. Controls are answered at once all the same.
        if (handled < kEventsPerTurn) {
          pollfd controlFd{control.Descriptor(), POLLIN, 0};
          if (::poll(&controlFd, 1, kGatherMilliseconds) == 1 && (controlFd.revents & POLLIN)) Answer(control);
        }
      }
      const auto now = std::chrono::steady_clock::now();
      if (!holding_ && now - lastWrite >= std::chrono::seconds(interval_)) {
        WriteOut();
        lastWrite = now;
      }
    }
    reader_.Stop();
    // What was read before the signal still counts.
    if (!holding_) {
      CountWaiting(batches, nullptr);
      WriteOut();
    }
    const activity::PeriodEnd end =
        platform::MachineShuttingDown() ? activity::PeriodEnd::Shutdown : activity::PeriodEnd::CleanStop;
    if (!coverage_.End(end, system_.Now(), &error)) err_ << "norvex-recorder: " << error << "\n";
    err_ << "norvex-recorder: stopped; " << counted_ << " opens counted, " << source_.Received()
         << " events read, " << source_.Dropped() << " events dropped\n";
  }

 private:
  // Counts the batches the reader has waiting, oldest first, and returns how many events
  // they held. With `control`, controls are answered between turns.
  std::size_t CountWaiting(std::vector<EventBatch>& batches, ControlSocket* control) {
    reader_.Exchange(batches);
    counting_ = true;
    std::size_t left = 0;
    for (const EventBatch& batch : batches) left += batch.events.size();
    const std::size_t all = left;
    for (const EventBatch& batch : batches) {
      const std::span<const FileEvent> events(batch.events);
      for (std::size_t at = 0; at < events.size(); at += kEventsPerTurn) {
        const auto turn = events.subspan(at, std::min(kEventsPerTurn, events.size() - at));
        HandleTurn(batch, turn);
        left -= turn.size();
        // A control waits for at most one more turn; what little is left is counted
        // first, so that a hold between bursts finds every earlier open in the files.
        if (control != nullptr && left > kEventsPerTurn && Waiting(*control)) Answer(*control);
      }
    }
    counting_ = false;
    return all;
  }

  void Rewatch() {
    std::vector<std::string> ignored;
    // The temporary files they are written through are theirs too.
    for (const std::string& path : store_.DatabaseHostPaths()) {
      ignored.push_back(path);
      ignored.push_back(path + ".tmp");
    }
    // The database files, the drive table, the network names and the mounts may all have
    // changed while the program held them.
    cache_.Reset(std::move(ignored), store_.NetworkNamesInUse(), platform::MountViews::Read());
    std::vector<std::string> roots;
    std::vector<char> drives;
    for (const char drive : store_.WatchedDrives()) {
      if (const auto* mapped = system_.Drives().Find(drive)) {
        roots.push_back(mapped->root);
        drives.push_back(drive);
      }
    }
    const std::vector<RootWatch> watches = reader_.Watch(roots);
    watchedRoots_.clear();
    for (std::size_t i = 0; i < drives.size(); ++i) {
      const activity::Blindness blind = activity::recorder::BlindnessOf(system_, drives[i], watches[i].watched);
      watchedRoots_.push_back({drives[i], blind});
      LogMarks(drives[i], roots[i], watches[i].how, blind);
    }
  }

  // Each drive's marks, when they are new or changed: which the kernel took, which it
  // refused, and why a drive goes unrecorded.
  void LogMarks(char drive, const std::string& root, const std::string& how, activity::Blindness blind) {
    std::string line = std::string{drive} + ": " + root + ": " + how;
    if (blind != activity::Blindness::None) line += "; not recorded: " + activity::BlindnessText(blind);
    std::string& logged = loggedMarks_[static_cast<std::size_t>(drive - 'A')];
    if (line == logged) return;
    err_ << "norvex-recorder: " << line << "\n";
    logged = std::move(line);
  }

  // The counts first, then the coverage: a last-seen moment vouches for counts on disk.
  void WriteOut() {
    std::string error;
    if (!store_.WriteOut(&error)) {
      err_ << "norvex-recorder: " << error << "\n";
      return;
    }
    FlushCoverage();
  }

  static activity::recorder::Machine ThisMachine() {
    activity::recorder::Machine machine;
    if (const auto id = platform::ReadBootId()) machine.bootId = *id;
    machine.bootTime = platform::ReadBootTime().value_or(0);
    return machine;
  }

  void OpenCoverage() {
    std::vector<activity::recorder::WatchedDatabase> databases;
    for (const WatchedRoot& root : watchedRoots_) {
      if (const activity::DriveRecord* record = store_.RecordOf(root.drive)) {
        databases.push_back({root.drive, activity::DriveLetter(record->location), root.blind});
      }
    }
    std::vector<std::string> warnings;
    coverage_.Open(databases, system_.Now(), &warnings);
    for (const std::string& warning : warnings) err_ << "norvex-recorder: " << warning << "\n";
  }

  void FlushCoverage() {
    std::string error;
    if (!coverage_.Flush(system_.Now(), &error)) err_ << "norvex-recorder: " << error << "\n";
  }

  static bool Waiting(const ControlSocket& control) {
    pollfd fd{control.Descriptor(), POLLIN, 0};
    return ::poll(&fd, 1, 0) == 1 && (fd.revents & POLLIN);
  }

  // Every control is answered after the events the kernel reported before it have been
  // read: a hold then counts them, and any control lets a caller know that opens it made
  // before can no longer be merged with its next ones.
  void Answer(ControlSocket& control) {
    if (const auto code = control.Accept()) {
      reader_.CatchUp();
      control.Reply(Control(*code));
    }
  }

  std::uint8_t Control(std::uint32_t code) {
    std::string error;
    if (code == activity::IOCTL_RECORDER_HOLD) {
      // What was read before the hold is in the files the program gets (unless the hold
      // came in the middle of counting, where order keeps the rest for the release).
      if (!holding_ && !counting_) {
        std::vector<EventBatch> batches;
        CountWaiting(batches, nullptr);
      }
      // A hold while holding is accepted: the files are already closed. The periods stay
      // open: opens during the hold are still counted, once the files are back.
      if (!holding_) {
        if (!store_.Close(&error)) err_ << "norvex-recorder: " << error << "\n";
        if (!coverage_.Suspend(system_.Now(), &error)) err_ << "norvex-recorder: " << error << "\n";
      }
      holding_ = true;
      return 1;
    }
    if (code == activity::IOCTL_RECORDER_RELEASE) {
      if (!holding_) return 1;
      holding_ = false;
      std::vector<std::string> warnings;
      if (!store_.Open(&error, &warnings)) err_ << "norvex-recorder: " << error << "\n";
      for (const std::string& warning : warnings) err_ << "norvex-recorder: " << warning << "\n";
      Rewatch();
      CountHeld();
      // The program may have moved, emptied or removed databases meanwhile.
      OpenCoverage();
      WriteOut();
      return 1;
    }
    return 0;  // unknown codes (a liveness probe sends 0) change nothing
  }

  // The local DOS date-time of now; the clock is read once per turn and the conversion
  // made once per second.
  std::uint32_t Stamp() {
    const std::int64_t now = system_.Now();
    if (now != stampSecond_) {
      stampSecond_ = now;
      stamp_ = platform::DosDateTimeFromLocal(now);
    }
    return stamp_;
  }

  void HandleTurn(const EventBatch& batch, std::span<const FileEvent> events) {
    paths_.clear();
    for (const FileEvent& event : events) paths_.push_back(batch.PathOf(event));
    cache_.Resolve(paths_, resolved_);
    const std::uint32_t when = Stamp();
    for (std::size_t i = 0; i < events.size(); ++i) Handle(events[i], paths_[i], *resolved_[i], when);
  }

  void Handle(const FileEvent& event, std::string_view hostPath, const activity::recorder::ResolvedPath& path,
              std::uint32_t when) {
    if (event.pid == self_ || path.ignored) return;
    switch (event.kind) {
      case FileEvent::Kind::Open: tracker_.Opened(event.pid, hostPath, false); return;
      case FileEvent::Kind::OpenForExecution: tracker_.Opened(event.pid, hostPath, true); return;
      case FileEvent::Kind::Access: tracker_.Read(event.pid, hostPath); return;
      case FileEvent::Kind::CloseWritten:
      case FileEvent::Kind::CloseUnwritten: break;
    }
    const Operation operation = tracker_.Closed(event.pid, hostPath, event.kind == FileEvent::Kind::CloseWritten);
    if (path.windowsPath.empty()) return;
    if (holding_) {
      Hold(hostPath, operation, when);
      return;
    }
    Count(path, operation, when);
  }

  void Hold(std::string_view hostPath, Operation operation, std::uint32_t when) {
    if (held_.size() >= kMaxHeldCounts) return;
    auto found = heldIds_.find(hostPath);
    if (found == heldIds_.end()) {
      found = heldIds_.emplace(std::string(hostPath), static_cast<std::uint32_t>(heldPaths_.size())).first;
      heldPaths_.push_back(found->first);
    }
    held_.push_back({found->second, operation, when});
  }

  // The opens made during the hold, in order, with the databases and names as released:
  // a file that became a database file meanwhile is not counted.
  void CountHeld() {
    const std::span<const HeldCount> held(held_);
    for (std::size_t at = 0; at < held.size(); at += kEventsPerTurn) {
      const auto turn = held.subspan(at, std::min(kEventsPerTurn, held.size() - at));
      paths_.clear();
      for (const HeldCount& count : turn) paths_.push_back(heldPaths_[count.path]);
      cache_.Resolve(paths_, resolved_);
      for (std::size_t i = 0; i < turn.size(); ++i) {
        const activity::recorder::ResolvedPath& path = *resolved_[i];
        if (!path.ignored && !path.windowsPath.empty()) Count(path, turn[i].operation, turn[i].when);
      }
    }
    held_.clear();
    heldPaths_.clear();
    heldIds_.clear();
  }

  void Count(const activity::recorder::ResolvedPath& path, Operation operation, std::uint32_t when) {
    if (store_.Record(path.windowsPath, path.key, operation, 1, when) ==
        activity::recorder::RecordResult::Counted) {
      ++counted_;
    }
  }

  platform::System& system_;
  EventSource& source_;
  EventReader reader_;
  activity::recorder::ActivityStore store_;
  activity::recorder::CoverageLog coverage_;
  struct WatchedRoot {
    char drive;
    activity::Blindness blind;  // why the recorder sees none of its opens, if so
  };
  std::vector<WatchedRoot> watchedRoots_;  // drives whose roots the reader was asked to watch
  std::array<std::string, 26> loggedMarks_;
  activity::recorder::HostPathCache cache_;
  activity::recorder::OpenTracker tracker_;
  std::ostream& err_;
  const int interval_;
  const std::int32_t self_ = static_cast<std::int32_t>(::getpid());
  std::vector<HeldCount> held_;
  std::vector<std::string_view> heldPaths_;  // keys of heldIds_
  std::unordered_map<std::string, std::uint32_t, ViewHash, std::equal_to<>> heldIds_;
  bool holding_ = false;
  bool counting_ = false;
  std::uint64_t counted_ = 0;
  std::int64_t stampSecond_ = -1;
  std::uint32_t stamp_ = 0;
  // Scratch space of one turn.
  std::vector<std::string_view> paths_;
  std::vector<const activity::recorder::ResolvedPath*> resolved_;
};

}  // namespace

int RunDaemon(platform::System& system, const platform::Environment& environment,
              const std::vector<std::string>& args, std::ostream& err) {
  bool forceInotify = false;
  int interval = 30;
  int nice = kDefaultNice;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--inotify") {
      forceInotify = true;
    } else if (args[i] == "--interval" && i + 1 < args.size()) {
      const std::string& text = args[++i];
      const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), interval);
      if (ec != std::errc{} || end != text.data() + text.size() || interval < 1) {
        err << "norvex-recorder: --interval needs a number of seconds from 1\n";
        return 2;
      }
    } else if (args[i] == "--nice" && i + 1 < args.size()) {
      const std::string& text = args[++i];
      const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), nice);
      if (ec != std::errc{} || end != text.data() + text.size() || nice < -20 || nice > 19) {
        err << "norvex-recorder: --nice needs a number from -20 to 19\n";
        return 2;
      }
    } else {
      err << "norvex-recorder: unknown argument '" << args[i] << "'\n";
      return 2;
    }
  }

  std::string error;
  std::unique_ptr<EventSource> source;
  if (!forceInotify) source = MakeFanotifySource(&error);
  if (!source) {
    if (!forceInotify) err << "norvex-recorder: " << error << "; falling back to inotify\n";
    source = MakeInotifySource(&error);
  }
  if (!source) {
    err << "norvex-recorder: " << error << "\n";
    return 1;
  }

  ControlSocket control(err);
  if (!control.Listen(environment.recorderSocket, environment.stateDir, &error)) {
    err << "norvex-recorder: " << error << "\n";
    return 1;
  }
  auto daemon = std::make_unique<Daemon>(system, *source, err, interval);
  if (!daemon->Start(&error)) {
    err << "norvex-recorder: " << error << "\n";
    return 1;
  }
  struct sigaction action{};
  action.sa_handler = OnSignal;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);
  // The kernel merges a process's unread events on one file, so a recorder that falls
  // behind in a burst counts fewer opens: it runs ahead of ordinary processes (where it
  // may; an unprivileged recorder stays as it is).
  ::setpriority(PRIO_PROCESS, 0, nice);
  err << "norvex-recorder: watching with " << source->Name() << ", control on "
      << environment.recorderSocket << "\n";
  daemon->Serve(control);
  return 0;
}

}  // namespace recorder_tool
