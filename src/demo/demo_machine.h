#pragma once
// A demo machine in a fresh temporary folder: a program drive (C:), a data drive (D:)
// with a few thousand files of many sizes and types, some sparse, and an empty backup
// drive (E:); D:'s database holds a year of made-up activity (busy, idle for months,
// write-heavy files, and every last-operation code). Nothing outside the folder is touched.
//
// Where the machine allows it (root, btrfs-progs, loop devices) D: is a btrfs image
// loop-mounted inside the folder and a share of its files is compressed, so that the
// compression hints show too; elsewhere D: is a plain folder and they cannot.

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/disk_image.h"

namespace demo {

inline constexpr char kDemoDataDrive = 'D';

struct DemoMachine {
  std::string folder;        // the temporary folder holding everything
  std::string drives;        // the drive map, in --drives form
  std::string stateDir;
  std::string configDir;
  std::uint32_t files = 0;       // files made on the data drive
  std::uint32_t recorded = 0;    // of them with activity in the database
  std::uint32_t compressed = 0;  // of them really compressed on the disk
  // The mounted image holding D: (unmounted when this goes); nullptr on a plain folder,
  // with the reason in `whyNotCompressible`.
  std::unique_ptr<platform::DiskImage> dataImage;
  std::string whyNotCompressible;
};

// Builds the machine below `parent` (a new folder "norvex-demo-XXXXXX"); `now` is the
// epoch second the activity is dated back from. `tryCompressible` false keeps D: a plain
// folder even where an image could be mounted. nullopt with `error` on failure (nothing
// is left mounted then).
std::optional<DemoMachine> BuildDemoMachine(const std::string& parent, std::int64_t now,
                                            bool tryCompressible, std::string* error);

// A built demo machine for the life of the program: when it goes, D:'s image is
// unmounted and the demo's folder removed. Meanwhile a signal that ends the process
// (terminate, interrupt, hang-up, quit, or a crash) first detaches D:'s mount; only a
// kill that cannot be caught leaves it, for RemoveAbandonedDemos.
class DemoSession {
 public:
  explicit DemoSession(DemoMachine machine);
  ~DemoSession();
  DemoSession(const DemoSession&) = delete;
  DemoSession& operator=(const DemoSession&) = delete;

 private:
  DemoMachine machine_;
};

// Removes the folders below `parent` of demos whose program died without cleaning up
// (first unmounting a data drive left mounted); a live demo's folder is never touched.
// Returns how many were removed.
int RemoveAbandonedDemos(const std::string& parent);

// When `args` holds "--demo": removes it, builds a demo machine under $TMPDIR (or /tmp)
// into `session` and puts the options that select it in front of the remaining
// arguments, the hand-off folder (--handoff-dir) being the demo's own. Keep `session` until the program ends. False (with the reason on `err`)
// when the machine could not be built.
bool ApplyDemoArgument(std::vector<std::string>& args, std::ostream& err,
                       std::unique_ptr<DemoSession>& session);

}  // namespace demo
