// What the recorder reads from the kernel: the first input byte picks the watcher (even:
// fanotify with folder handles and names, odd: inotify), the rest is one read's bytes.
// Walking them never reads outside the bytes nor makes up more events than they hold;
// the events, turned into opens and closes as the daemon does, are counted against the
// files of drive D:, whose Windows paths lead back to the very host paths.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "activity/path_key.h"
#include "activity/recorder/host_path_cache.h"
#include "activity/recorder/open_tracker.h"
#include "platform/drive_map.h"
#include "platform/windows_path.h"
#include "recorder/event_records.h"
#include "recorder/event_source.h"
#include "recorder/fanotify_replay.h"
#include "support/fuzz_check.h"
#include "support/host_paths.h"

namespace {

using recorder_tool::FileEvent;

struct Opening {
  FileEvent::Kind kind;
  std::int32_t pid;
  std::string hostPath;
};

using fuzz_support::Collapsed;

// Host paths of drive D:, the folder a watcher reports every event in.
constexpr const char* kFolder = "/srv/d/folder";

void Count(const std::vector<Opening>& openings) {
  const auto drives = *platform::DriveMap::Parse("C=/srv/c,D=/srv/d");
  activity::recorder::HostPathCache cache(drives, 64);
  cache.Reset({}, activity::NetworkNames{});
  activity::recorder::OpenTracker tracker;
  std::set<std::pair<std::int32_t, std::string>> opened;  // opened or read
  for (const Opening& opening : openings) {
    const std::string_view path = opening.hostPath;
    std::vector<const activity::recorder::ResolvedPath*> resolved;
    cache.Resolve({&path, 1}, resolved);
    FUZZ_CHECK(resolved.size() == 1);
    const std::string& windowsPath = resolved[0]->windowsPath;
    if (!windowsPath.empty()) {
      // A name holding '\\' has no Windows path; any other leads back to its file.
      const auto hostPath = platform::HostPathOf(drives, windowsPath);
      FUZZ_CHECK(hostPath && Collapsed(*hostPath) == Collapsed(opening.hostPath));
      FUZZ_CHECK(resolved[0]->key == activity::PathKey(windowsPath, activity::NetworkNames{}));
    }
    switch (opening.kind) {
      case FileEvent::Kind::Open:
      case FileEvent::Kind::OpenForExecution:
        tracker.Opened(opening.pid, path, opening.kind == FileEvent::Kind::OpenForExecution);
        opened.emplace(opening.pid, opening.hostPath);
        break;
      case FileEvent::Kind::Access:
        // A read with no open seen (the open came before the watch) is remembered too.
        tracker.Read(opening.pid, path);
        opened.emplace(opening.pid, opening.hostPath);
        break;
      case FileEvent::Kind::CloseWritten:
      case FileEvent::Kind::CloseUnwritten:
        tracker.Closed(opening.pid, path, opening.kind == FileEvent::Kind::CloseWritten);
        break;
    }
    FUZZ_CHECK(tracker.OpenCount() <= opened.size());
  }
}

void WalkFanotify(const char* bytes, std::size_t size, std::vector<Opening>& openings) {
  recorder_tool::FanotifyEventWalk walk(bytes, size);
  recorder_tool::FanotifyNamedEvent event;
  std::size_t events = 0;
  while (walk.Next(event)) {
    ++events;
    FUZZ_CHECK(events * FAN_EVENT_METADATA_LEN <= size);
    if (!event.named) continue;
    FUZZ_CHECK(event.handle != nullptr && event.handle->handle_bytes <= MAX_HANDLE_SZ + NAME_MAX);
    FUZZ_CHECK(event.name.size() <= MAX_HANDLE_SZ + NAME_MAX);
    FUZZ_CHECK(event.name.find('\0') == std::string_view::npos);
    int kinds = 0;
    recorder_tool::ReplayFanotifyMask(event.metadata.mask, [&](FileEvent::Kind kind) {
      ++kinds;
      openings.push_back({kind, event.metadata.pid, std::string(kFolder) + "/" + std::string(event.name)});
    });
    FUZZ_CHECK(kinds <= 5);
  }
}

void WalkInotify(const char* bytes, std::size_t size, std::vector<Opening>& openings) {
  recorder_tool::InotifyEventWalk walk(bytes, size);
  recorder_tool::InotifyRecord event;
  std::size_t events = 0;
  while (walk.Next(event)) {
    ++events;
    FUZZ_CHECK(events * sizeof(inotify_event) <= size);
    FUZZ_CHECK(event.name.find('\0') == std::string_view::npos);
    FUZZ_CHECK(event.name.data() >= bytes && event.name.data() + event.name.size() <= bytes + size);
    if (event.name.empty()) continue;
    const std::string path = std::string(kFolder) + "/" + std::string(event.name);
    if (event.mask & IN_ACCESS) openings.push_back({FileEvent::Kind::Access, 0, path});
    if (event.mask & IN_CLOSE_WRITE) openings.push_back({FileEvent::Kind::CloseWritten, 0, path});
    if (event.mask & IN_CLOSE_NOWRITE) openings.push_back({FileEvent::Kind::CloseUnwritten, 0, path});
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The kernel's bytes in a buffer of their own, so that a read past them is seen.
  const std::vector<char> bytes(data + 1, data + size);
  std::vector<Opening> openings;
  if (data[0] % 2 == 0) {
    WalkFanotify(bytes.data(), bytes.size(), openings);
  } else {
    WalkInotify(bytes.data(), bytes.size(), openings);
  }
  Count(openings);
  return 0;
}
