#pragma once
// Whether a filesystem keeps owners and modes of its own. FAT and exFAT (through the
// kernel's driver or through FUSE) and other disks of Windows mounted through FUSE show
// every file with the owner and mode their mount options give: a copy kept there says
// nothing about whose the file was or who may read it.

namespace platform {

bool KeepsOwnersAndModes(int fd);

}  // namespace platform
