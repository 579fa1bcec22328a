// norvex-cli drives: the mapped drives as the program sees them.

#include <ostream>

#include "activity/database_files.h"
#include "activity/drive_record.h"
#include "activity/path_key.h"
#include "command.h"

namespace cli {
namespace {

int Drives(Context& context, const std::vector<std::string>& args) {
  if (!args.empty()) {
    context.err << "norvex-cli: drives takes no arguments\n";
    return kExitUsage;
  }
  const platform::System& system = context.system;
  const activity::NetworkNames networkNames = activity::ReadNetworkNames(system);
  for (const platform::MappedDrive& drive : system.Drives().All()) {
    const std::uint8_t number = activity::DriveNumber(drive.letter);
    const platform::DiskSpace space = system.GetDiskFreeSpace(drive.letter).value_or(platform::DiskSpace{});
    const auto volume = system.GetVolumeInformation(drive.letter);
    const bool compressible = volume && (volume->fileSystemFlags & platform::kFsFileCompression) != 0;
    context.out << drive.letter << ":\t" << drive.root << '\t' << activity::DriveClass(system, number)
                << '\t' << activity::VolumeLabel(system, number) << '\t' << space.ClusterSize() << '\t'
                << space.TotalBytes() << '\t' << space.FreeBytes() << '\t' << (compressible ? 1 : 0)
                << '\t' << networkNames[static_cast<std::size_t>(drive.letter - 'A')] << '\n';
  }
  return kExitOk;
}

const CommandRegistration reg("drives", "drives                  the mapped drives, one tab-separated line each", &Drives);

}  // namespace
}  // namespace cli
