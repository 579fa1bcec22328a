#pragma once
// A demo machine in a fresh temporary folder: a program drive (C:), a data drive (D:)
// with a few thousand files of many sizes and types, some sparse, and an empty backup
// drive (E:); D:'s database holds a year of made-up activity (busy, idle for months,
// write-heavy files, and every last-operation code). Nothing outside the folder is touched.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace shell {

struct DemoMachine {
  std::string folder;        // the temporary folder holding everything
  std::string drives;        // the drive map, in --drives form
  std::string stateDir;
  std::string configDir;
  std::uint32_t files = 0;   // files made on the data drive
  std::uint32_t recorded = 0;  // of them with activity in the database
};

// Builds the machine below `parent` (a new folder "norvex-demo-XXXXXX"); `now` is the
// epoch second the activity is dated back from. nullopt with `error` on failure.
std::optional<DemoMachine> BuildDemoMachine(const std::string& parent, std::int64_t now,
                                            std::string* error);

// When `args` holds "--demo": removes it, builds a demo machine under $TMPDIR (or /tmp)
// and puts the options that select it in front of the remaining arguments. False (with
// the reason on `err`) when the machine could not be built.
bool ApplyDemoArgument(std::vector<std::string>& args, std::ostream& err);

}  // namespace shell
