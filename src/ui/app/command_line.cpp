#include "ui/app/command_line.h"

#include <charconv>
#include <cmath>

namespace ui {
namespace {

constexpr std::string_view kSplashOption = "--splash-seconds";
constexpr std::string_view kHandOffOption = "--handoff-dir";
constexpr double kLongestSplashSeconds = 3600;

bool ParseSeconds(std::string_view text, std::chrono::milliseconds& out) {
  double seconds = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  if (!std::isfinite(seconds) || seconds < 0 || seconds > kLongestSplashSeconds) return false;
  out = std::chrono::milliseconds(static_cast<long long>(std::llround(seconds * 1000)));
  return true;
}

}  // namespace

std::optional<ProgramArguments> ParseProgramArguments(const std::vector<std::string>& args,
                                                      std::string* error) {
  const auto fail = [error](std::string why) -> std::optional<ProgramArguments> {
    if (error != nullptr) *error = std::move(why);
    return std::nullopt;
  };
  ProgramArguments parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    std::string_view option;
    std::string_view value;
    for (const std::string_view known : {kSplashOption, kHandOffOption}) {
      if (arg == known) {
        if (i + 1 >= args.size()) return fail("option " + std::string(known) + " needs a value");
        option = known;
        value = args[++i];
      } else if (arg.starts_with(known) && arg.size() > known.size() && arg[known.size()] == '=') {
        option = known;
        value = arg.substr(known.size() + 1);
      }
    }
    if (option.empty()) return fail("unknown argument: " + std::string(arg));
    if (option == kHandOffOption) {
      if (value.empty()) return fail("--handoff-dir needs a folder");
      parsed.handOffDirectory = std::string(value);
    } else if (!ParseSeconds(value, parsed.splashTime)) {
      return fail("--splash-seconds needs a number of seconds from 0 to 3600, not '" +
                  std::string(value) + "'");
    }
  }
  return parsed;
}

std::string UsageText(const char* globalOptionsHelp) {
  std::string text =
      "Usage: norvex [OPTIONS]\n"
      "File Norvex shows how the files on your drives use disk space and how often they\n"
      "are used, and compresses, backs up or restores them on request.\n\n";
  text += globalOptionsHelp;
  text +=
      "\n  --demo               start on a demo machine built in a fresh temporary folder:\n"
      "                       a program drive, a data drive with a year of recorded\n"
      "                       activity and an empty backup drive (removed at exit)\n"
      "  --handoff-dir DIR    write the actions left at exit (ShadowTbl.NVX) in DIR\n"
      "                       instead of the current folder\n"
      "  --splash-seconds N   keep the splash window up at least N seconds (default 6;\n"
      "                       for tests and scripts)\n"
      "  --help               show this text\n"
      "  --version            show the version\n";
  return text;
}

}  // namespace ui
