#include "scan/file_traits.h"

#include "platform/system.h"

namespace scan {

bool TraitsOf(const platform::FindData& found, FileTraits& traits) {
  if (found.IsDirectory()) return false;
  const bool ordinary = found.type == platform::FileType::Regular && found.links <= 1 && !found.sharedData;
  if (ordinary) return false;
  traits = FileTraits{};
  traits.links = found.links;
  traits.device = found.device;
  traits.inode = found.inode;
  traits.type = found.type;
  traits.sharedData = found.sharedData;
  return true;
}

}  // namespace scan
