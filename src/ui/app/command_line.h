#pragma once
// The program's own options, after the global ones (platform::Environment) and Qt's
// have been taken out.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace ui {

struct ProgramArguments {
  // How long the splash stays up at least. Only tests and scripts shorten it.
  std::chrono::milliseconds splashTime{6000};
  // Where "ShadowTbl.NVX" is written at exit: the current folder unless a demo (whose
  // drives go with its folder) or the user names another.
  std::string handOffDirectory = ".";
};

// Reads "--splash-seconds N" (N a non-negative number, at most one hour) and
// "--handoff-dir DIR", each also as "--option=value". nullopt with `error` set for a bad
// value or anything unrecognised.
std::optional<ProgramArguments> ParseProgramArguments(const std::vector<std::string>& args,
                                                      std::string* error);

// The lines "norvex --help" prints.
std::string UsageText(const char* globalOptionsHelp);

}  // namespace ui
