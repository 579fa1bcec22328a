#include "daemon.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <charconv>
#include <chrono>
#include <ostream>
#include <unordered_set>

#include "activity/recorder/activity_store.h"
#include "activity/recorder/open_tracker.h"
#include "activity/recorder_control.h"
#include "control_socket.h"
#include "event_source.h"
#include "platform/dos_time.h"
#include "platform/windows_path.h"

namespace recorder_tool {
namespace {

using activity::recorder::Operation;

std::atomic<bool> g_stop{false};
void OnSignal(int) { g_stop = true; }

// Counts gathered while the program holds the databases, applied once it releases them;
// bounded so a long hold cannot eat the machine's memory.
struct HeldCount {
  std::string windowsPath;
  Operation operation;
  std::uint32_t when;
};
constexpr std::size_t kMaxHeldCounts = 1'000'000;

class Daemon {
 public:
  Daemon(platform::System& system, EventSource& source, std::ostream& err, int intervalSeconds)
      : system_(system), source_(source), store_(system), err_(err), interval_(intervalSeconds) {}

  bool Start(std::string* error) {
    if (!store_.Open(error, nullptr)) return false;
    return Rewatch(error);
  }

  // One turn of the loop: events, controls, the periodic write-out.
  void Serve(ControlSocket& control) {
    auto lastWrite = std::chrono::steady_clock::now();
    std::vector<FileEvent> events;
    while (!g_stop) {
      pollfd fds[2] = {{source_.Descriptor(), POLLIN, 0}, {control.Descriptor(), POLLIN, 0}};
      ::poll(fds, 2, 1000);
      if (fds[0].revents & POLLIN) {
        events.clear();
        source_.Drain(events);
        for (const FileEvent& event : events) Handle(event);
      }
      if (fds[1].revents & POLLIN) {
        if (const auto code = control.Accept()) control.Reply(Control(*code));
      }
      const auto now = std::chrono::steady_clock::now();
      if (!holding_ && now - lastWrite >= std::chrono::seconds(interval_)) {
        WriteOut();
        lastWrite = now;
      }
    }
    if (!holding_) WriteOut();
    err_ << "norvex-recorder: stopped; " << counted_ << " opens counted, " << source_.Received()
         << " events read, " << source_.Dropped()
         << " events dropped\n";
  }

 private:
  bool Rewatch(std::string* error) {
    ignored_.clear();
    // The temporary files they are written through are theirs too.
    for (const std::string& path : store_.DatabaseHostPaths()) {
      ignored_.insert(path);
      ignored_.insert(path + ".tmp");
    }
    std::vector<std::string> roots;
    for (const char drive : store_.WatchedDrives()) {
      if (const auto* mapped = system_.Drives().Find(drive)) roots.push_back(mapped->root);
    }
    return source_.Watch(roots, error);
  }

  void WriteOut() {
    std::string error;
    if (!store_.WriteOut(&error)) err_ << "norvex-recorder: " << error << "\n";
  }

  std::uint8_t Control(std::uint32_t code) {
    std::string error;
    if (code == activity::IOCTL_RECORDER_HOLD) {
      // A hold while holding is accepted: the files are already closed.
      if (!holding_ && !store_.Close(&error)) err_ << "norvex-recorder: " << error << "\n";
      holding_ = true;
      return 1;
    }
    if (code == activity::IOCTL_RECORDER_RELEASE) {
      if (!holding_) return 1;
      holding_ = false;
      std::vector<std::string> warnings;
      if (!store_.Open(&error, &warnings)) err_ << "norvex-recorder: " << error << "\n";
      for (const std::string& warning : warnings) err_ << "norvex-recorder: " << warning << "\n";
      if (!Rewatch(&error)) err_ << "norvex-recorder: " << error << "\n";
      for (const HeldCount& held : held_) Count(held.windowsPath, held.operation, held.when);
      held_.clear();
      return 1;
    }
    return 0;  // unknown codes (a liveness probe sends 0) change nothing
  }

  void Handle(const FileEvent& event) {
    if (event.pid == self_ || ignored_.count(event.hostPath) != 0) return;
    switch (event.kind) {
      case FileEvent::Kind::Open: tracker_.Opened(event.pid, event.hostPath, false); return;
      case FileEvent::Kind::OpenForExecution: tracker_.Opened(event.pid, event.hostPath, true); return;
      case FileEvent::Kind::Access: tracker_.Read(event.pid, event.hostPath); return;
      case FileEvent::Kind::CloseWritten:
      case FileEvent::Kind::CloseUnwritten: break;
    }
    const Operation operation =
        tracker_.Closed(event.pid, event.hostPath, event.kind == FileEvent::Kind::CloseWritten);
    const auto windowsPath = platform::WindowsPathOf(system_.Drives(), event.hostPath);
    if (!windowsPath) return;
    const std::uint32_t when = platform::DosDateTimeFromLocal(system_.Now());
    if (holding_) {
      if (held_.size() < kMaxHeldCounts) held_.push_back({*windowsPath, operation, when});
      return;
    }
    Count(*windowsPath, operation, when);
  }

  void Count(const std::string& windowsPath, Operation operation, std::uint32_t when) {
    if (store_.Record(windowsPath, operation, 1, when) == activity::recorder::RecordResult::Counted) {
      ++counted_;
    }
  }

  platform::System& system_;
  EventSource& source_;
  activity::recorder::ActivityStore store_;
  activity::recorder::OpenTracker tracker_;
  std::ostream& err_;
  const int interval_;
  const std::int32_t self_ = static_cast<std::int32_t>(::getpid());
  std::unordered_set<std::string> ignored_;
  std::vector<HeldCount> held_;
  bool holding_ = false;
  std::uint64_t counted_ = 0;
};

}  // namespace

int RunDaemon(platform::System& system, const platform::Environment& environment,
              const std::vector<std::string>& args, std::ostream& err) {
  bool forceInotify = false;
  int interval = 30;
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

  ControlSocket control;
  if (!control.Listen(environment.recorderSocket, &error)) {
    err << "norvex-recorder: " << error << "\n";
    return 1;
  }
  Daemon daemon(system, *source, err, interval);
  if (!daemon.Start(&error)) {
    err << "norvex-recorder: " << error << "\n";
    return 1;
  }
  struct sigaction action{};
  action.sa_handler = OnSignal;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);
  err << "norvex-recorder: watching with " << source->Name() << ", control on "
      << environment.recorderSocket << "\n";
  daemon.Serve(control);
  return 0;
}

}  // namespace recorder_tool
