#include "offline_record.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <ostream>

#include "activity/recorder/activity_store.h"
#include "activity/recorder_control.h"
#include "platform/environment.h"
#include "platform/dos_time.h"
#include "platform/windows_path.h"

namespace recorder_tool {
namespace {

using activity::recorder::Operation;
using activity::recorder::RecordResult;

struct Request {
  std::uint32_t counts[5] = {0, 0, 0, 0, 0};  // by operation code
  std::optional<std::uint32_t> at;
  std::vector<std::string> paths;
};

std::optional<std::uint32_t> ParseCount(const std::string& text) {
  std::uint32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<Request> ParseRequest(const std::vector<std::string>& args, std::string* error) {
  static const char* const kCountOptions[] = {"--read", "--write", "--rw", "--exec", "--seek"};
  Request request;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    bool matched = false;
    for (int op = 0; op < 5; ++op) {
      if (arg != kCountOptions[op]) continue;
      matched = true;
      const auto count = i + 1 < args.size() ? ParseCount(args[i + 1]) : std::nullopt;
      if (!count) {
        *error = arg + " needs a count from 0 to 4294967295";
        return std::nullopt;
      }
      request.counts[op] = *count;
      ++i;
    }
    if (matched) continue;
    if (arg == "--at") {
      request.at = i + 1 < args.size() ? platform::ParseDosDateTime(args[i + 1]) : std::nullopt;
      if (!request.at) {
        *error = "--at needs a local time \"YYYY-MM-DD HH:MM:SS\" between 1980 and 2107";
        return std::nullopt;
      }
      ++i;
    } else if (arg.rfind("--", 0) == 0) {
      *error = "unknown option '" + arg + "'";
      return std::nullopt;
    } else {
      request.paths.push_back(arg);
    }
  }
  if (request.paths.empty()) {
    *error = "record needs at least one PATH";
    return std::nullopt;
  }
  return request;
}

// A Windows path is taken as it is; a host path becomes the mapped drive's Windows path.
std::optional<std::string> WindowsPathOfArgument(const platform::System& system,
                                                 const std::string& argument) {
  if (platform::DriveLetterOf(argument) && argument.size() > 2 && argument[2] == '\\') {
    return argument;
  }
  if (argument.empty() || argument.front() != '/') return std::nullopt;
  return platform::WindowsPathOf(system.Drives(), argument);
}

const char* Explain(RecordResult result) {
  switch (result) {
    case RecordResult::Counted: return "counted";
    case RecordResult::NotWatched: return "its drive has no database";
    case RecordResult::OutOfSpan: return "the moment lies outside the database's span";
    case RecordResult::Full: return "the database is full";
    case RecordResult::BadPath: return "not a path the recorder can key";
  }
  return "";
}

}  // namespace

int RunRecord(platform::System& system, const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err) {
  std::string error;
  const auto request = ParseRequest(args, &error);
  if (!request) {
    err << "norvex-recorder: " << error << "\n";
    return 2;
  }
  std::vector<std::string> windowsPaths;
  for (const std::string& argument : request->paths) {
    const auto path = WindowsPathOfArgument(system, argument);
    if (!path) {
      err << "norvex-recorder: '" << argument << "' is on no mapped drive\n";
      return 2;
    }
    windowsPaths.push_back(*path);
  }

  // A running daemon writes its tables out and lets go of them until we are done.
  const activity::RecorderHold hold(system);
  if (hold.Refused()) {
    err << "norvex-recorder: " << activity::MembersOnlyNote(platform::LoginName()) << "\n";
    return 1;
  }
  activity::recorder::ActivityStore store(system);
  std::vector<std::string> warnings;
  if (!store.Open(&error, &warnings)) {
    err << "norvex-recorder: " << error << "\n";
    return 1;
  }
  for (const std::string& warning : warnings) err << "norvex-recorder: " << warning << "\n";

  const std::uint32_t when = request->at.value_or(platform::DosDateTimeFromLocal(system.Now()));
  int failures = 0;
  for (const std::string& path : windowsPaths) {
    RecordResult result = RecordResult::Counted;
    // The last operation counted is the one the record keeps as its last.
    for (int op = 0; op < 5 && result == RecordResult::Counted; ++op) {
      if (request->counts[op] == 0) continue;
      result = store.Record(path, static_cast<Operation>(op), request->counts[op], when);
    }
    if (result != RecordResult::Counted) {
      err << "norvex-recorder: " << path << ": " << Explain(result) << "\n";
      ++failures;
    } else {
      out << path << "\n";
    }
  }
  if (!store.Close(&error)) {
    err << "norvex-recorder: " << error << "\n";
    return 1;
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace recorder_tool
