// norvex-cli drives: the mapped drives as the program sees them.
//
// --json (format "norvex-drives", version 1), one object:
//   {"format", "version",
//    "drives": [{"letter": "D:", "root": host folder, "class": 0 removable, 1 fixed,
//                2 remote, 3 CD-ROM, 4 RAM disk, 5 other, "label", "clusterSize",
//                "totalBytes", "freeBytes", "compressible": bool,
//                "networkName": "\\\\server\\share" or null,
//                "identity": the filesystem's lasting identity or null}, ...]   in letter order
//    "absent": [{"letter", "identity", "lastRoot"}, ...]: letters kept for filesystems
//              that are not mounted now,
//    "leftOut": [{"mountPoint", "fileSystem", "source", "root", "reason"}, ...]: mounts
//               that are no drive, in mount order,
//    "lettersProblem": why the kept letters could not be read or kept, or null}
//   "identity", "absent" and "leftOut" describe the default map: with a map given by
//   --drives or NORVEX_DRIVES the identities are null and both lists empty.

#include <optional>
#include <ostream>
#include <string>

#include "activity/database_files.h"
#include "activity/drive_record.h"
#include "activity/path_key.h"
#include "cli_flags.h"
#include "command.h"
#include "json_writer.h"

namespace cli {
namespace {

struct DriveFacts {
  const platform::MappedDrive& drive;
  int driveClass = 0;
  std::string label;
  platform::DiskSpace space;
  bool compressible = false;
  const std::string& networkName;
};

template <typename Each>
void ForEachDrive(const platform::System& system, Each each) {
  const activity::NetworkNames networkNames = activity::ReadNetworkNames(system);
  for (const platform::MappedDrive& drive : system.Drives().All()) {
    const std::uint8_t number = activity::DriveNumber(drive.letter);
    const auto volume = system.GetVolumeInformation(drive.letter);
    each(DriveFacts{drive, activity::DriveClass(system, number), activity::VolumeLabel(system, number),
                    system.GetDiskFreeSpace(drive.letter).value_or(platform::DiskSpace{}),
                    volume && (volume->fileSystemFlags & platform::kFsFileCompression) != 0,
                    networkNames[static_cast<std::size_t>(drive.letter - 'A')]});
  }
}

int Drives(Context& context, const std::vector<std::string>& arguments) {
  std::vector<std::string> args = arguments;
  const bool json = TakeFlag(args, "--json");
  if (!args.empty()) {
    context.err << "norvex-cli: drives takes no arguments but --json\n";
    return kExitUsage;
  }
  if (!json) {
    ForEachDrive(context.system, [&](const DriveFacts& d) {
      context.out << d.drive.letter << ":\t" << d.drive.root << '\t' << d.driveClass << '\t' << d.label
                  << '\t' << d.space.ClusterSize() << '\t' << d.space.TotalBytes() << '\t'
                  << d.space.FreeBytes() << '\t' << (d.compressible ? 1 : 0) << '\t' << d.networkName
                  << '\n';
    });
    return kExitOk;
  }
  const std::optional<platform::DefaultDrives>& defaults = context.environment.defaultDrives;
  const auto identityOf = [&context](char letter) -> std::optional<std::string> {
    const std::string& identity = context.environment.driveIdentities[static_cast<std::size_t>(letter - 'A')];
    return identity.empty() ? std::nullopt : std::optional<std::string>(identity);
  };
  tools::JsonWriter out(context.out);
  out.Document("norvex-drives", 1).Key("drives").Array();
  ForEachDrive(context.system, [&](const DriveFacts& d) {
    out.Object()
        .Member("letter", std::string(1, d.drive.letter) + ":")
        .Member("root", d.drive.root)
        .Member("class", d.driveClass)
        .Member("label", d.label)
        .Member("clusterSize", d.space.ClusterSize())
        .Member("totalBytes", d.space.TotalBytes())
        .Member("freeBytes", d.space.FreeBytes())
        .Member("compressible", d.compressible)
        .MemberOrNull("networkName",
                      d.networkName.empty() ? std::nullopt : std::optional<std::string>(d.networkName))
        .MemberOrNull("identity", identityOf(d.drive.letter))
        .MemberOrNull("filesystemChange", context.system.DriveChange(d.drive.letter))
        .End();
  });
  out.End().Key("absent").Array();
  if (defaults) {
    for (const platform::LetteredDrive& drive : defaults->drives) {
      if (drive.present) continue;
      out.Object()
          .Member("letter", std::string(1, drive.letter) + ":")
          .Member("identity", drive.identity)
          .Member("lastRoot", drive.root)
          .End();
    }
  }
  out.End().Key("leftOut").Array();
  if (defaults) {
    for (const platform::LeftOutMount& left : defaults->leftOut) {
      out.Object()
          .Member("mountPoint", left.mount.target)
          .Member("fileSystem", left.mount.fileSystem)
          .Member("source", left.mount.source)
          .Member("root", left.mount.root)
          .Member("reason", left.reason)
          .End();
    }
  }
  out.End().MemberOrNull("lettersProblem", defaults && !defaults->problem.empty()
                                               ? std::optional<std::string>(defaults->problem)
                                               : std::nullopt);
  out.End();
  return kExitOk;
}

}  // namespace

const Command kDrivesCommand{"drives",
    "drives [--json]         the mapped drives, one tab-separated line each",
    &Drives};

}  // namespace cli
