// norvex-cli map: scans a folder, computes its hints and writes its space map as SVG,
// with the same layout and colours as the window's map.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "analysis/space_map_snapshot.h"
#include "analysis/treemap_colour.h"
#include "analysis/treemap_layout.h"
#include "cli_flags.h"
#include "cli_scan_folder.h"
#include "command.h"
#include "files/hint_coverage.h"
#include "files/hints.h"
#include "map_svg.h"

namespace cli {
namespace {

constexpr const char* kMapUsage =
    "norvex-cli: usage: norvex-cli map [--colour hint|age|count] [--size WxH]\n"
    "                             [--now \"YYYY-MM-DD HH:MM:SS\"] [--quiet] --svg FILE PATH\n";
constexpr int kLargestSide = 16384;

struct MapArguments {
  analysis::MapColouring colouring = analysis::MapColouring::Hint;
  int width = 1024;
  int height = 768;
  std::optional<std::uint32_t> now;  // DOS date-time, UTC
  bool quiet = false;
  std::string svg;
  std::string path;
};

bool ParseSize(const std::string& text, int& width, int& height) {
  unsigned w = 0, h = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%ux%u%c", &w, &h, &tail) != 2) return false;
  if (w < 16 || h < 16 || w > kLargestSide || h > kLargestSide) return false;
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  return true;
}

bool ParseArguments(Context& context, std::vector<std::string> args, MapArguments& parsed) {
  parsed.quiet = TakeFlag(args, "--quiet");
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string& arg = args[k];
    const bool hasValue = k + 1 < args.size();
    if (arg == "--colour" && hasValue) {
      const std::string& value = args[++k];
      if (!analysis::ParseColouring(value, parsed.colouring)) {
        context.err << "norvex-cli: --colour takes hint, age or count, not '" << value << "'\n";
        return false;
      }
    } else if (arg == "--size" && hasValue) {
      const std::string& value = args[++k];
      if (!ParseSize(value, parsed.width, parsed.height)) {
        context.err << "norvex-cli: --size takes WIDTHxHEIGHT in pixels, each from 16 to " << kLargestSide
                    << ", not '" << value << "'\n";
        return false;
      }
    } else if (arg == "--now" && hasValue) {
      parsed.now = ParseNow(args[++k], context.err);
      if (!parsed.now) return false;
    } else if (arg == "--svg" && hasValue) {
      parsed.svg = args[++k];
    } else if (arg.starts_with("--") || !parsed.path.empty()) {
      context.err << kMapUsage;
      return false;
    } else {
      parsed.path = arg;
    }
  }
  if (parsed.path.empty() || parsed.svg.empty()) {
    context.err << kMapUsage;
    return false;
  }
  return true;
}

int Map(Context& context, const std::vector<std::string>& args) {
  MapArguments arguments;
  if (!ParseArguments(context, args, arguments)) return kExitUsage;
  int exitCode = kExitOk;
  const auto scanned = ScanFolder(context, arguments.path, arguments.now, true, arguments.quiet, exitCode);
  if (!scanned) return exitCode;
  analysis::MapSnapshot snapshot = analysis::SnapshotFolder(
      *scanned->folder, analysis::DriveHasDatabase(scanned->state->driveTable, scanned->path));
  snapshot.notRecorded = files::WithheldSummary(*scanned->state, scanned->path);
  const analysis::MapLayout layout = analysis::LayOutTreemap(
      snapshot, {0, 0, static_cast<double>(arguments.width), static_cast<double>(arguments.height)});
  const analysis::ColourScale scale = analysis::MakeColourScale(
      snapshot, arguments.colouring, files::LocalStamp(scanned->state->StartupStamp));
  // Written beside the target and renamed over it, so a failed run never leaves half a map.
  const std::string temporary = arguments.svg + ".part";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (file) WriteMapSvg(file, snapshot, layout, scale, arguments.width, arguments.height);
    file.flush();
    if (!file) {
      context.err << "norvex-cli: cannot write '" << arguments.svg << "'\n";
      std::remove(temporary.c_str());
      return kExitFailed;
    }
  }
  if (std::rename(temporary.c_str(), arguments.svg.c_str()) != 0) {
    context.err << "norvex-cli: cannot write '" << arguments.svg << "'\n";
    std::remove(temporary.c_str());
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

const Command kMapCommand{"map",
    "map [--colour hint|age|count] [--size WxH] [--now \"YYYY-MM-DD HH:MM:SS\"] [--quiet] --svg FILE PATH\n"
    "                          scan a folder, compute its hints and write its space map as SVG:\n"
    "                          one rectangle per file or folder large enough to draw (area = actual\n"
    "                          size), coloured by hint letter, days since the last access or access\n"
    "                          counter; --size in pixels (default 1024x768); --now sets the start-up\n"
    "                          time (UTC) for reproducible hints and ages; --quiet: no progress line",
    &Map};

}  // namespace cli
