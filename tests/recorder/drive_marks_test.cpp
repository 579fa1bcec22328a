// Which marks the recorder leaves on a drive when the kernel refuses some, and why a
// drive it cannot see counts as not recorded. Kernels are faked here; the recorder's
// end-to-end tests mark real ones.

#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "activity/recorder/drive_marks.h"
#include "platform/forwarding_system.h"
#include "platform/mount_views.h"
#include "support/temp_drives.h"

namespace {

using activity::Blindness;
using activity::recorder::MarkLayer;
using activity::recorder::MarkRoot;
using activity::recorder::MarkScope;

class FakeLayer final : public MarkLayer {
 public:
  FakeLayer(const char* name, bool takesMounts) : name_(name), takesMounts_(takesMounts) {}
  const char* Name() const override { return name_; }
  bool TakesMountMarks() const override { return takesMounts_; }
  int Mark(MarkScope scope, const std::string& path) override {
    const auto refusal = refusals_.find({scope, path});
    if (refusal != refusals_.end()) return refusal->second;
    if (const auto all = refusals_.find({scope, ""}); all != refusals_.end()) return all->second;
    marked.emplace_back(scope, path);
    return 0;
  }
  void Refuse(MarkScope scope, int error, const std::string& path = "") { refusals_[{scope, path}] = error; }
  std::vector<std::pair<MarkScope, std::string>> marked;

 private:
  const char* name_;
  bool takesMounts_;
  std::map<std::pair<MarkScope, std::string>, int> refusals_;
};

const platform::MountViews kMounts = platform::MountViews::Parse(
    "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
    "2 1 0:40 / /srv/d rw - btrfs /dev/loop0 rw\n"
    "3 1 0:40 /site /srv/www rw - btrfs /dev/loop0 rw\n"
    "4 1 8:2 / /media/x rw - ext4 /dev/sdb1 rw\n"
    "5 1 0:40 /sub /srv/sub rw - btrfs /dev/loop0 rw\n");

TEST(MarkRoot, FallsBackFromFilesystemMarksToEveryMountOfTheFilesystem) {
  FakeLayer handles("file handles", false), descriptors("descriptors", true);
  handles.Refuse(MarkScope::Filesystem, EXDEV);
  const auto byHandles = MarkRoot({&handles, &descriptors}, "/srv/d/site", kMounts);
  EXPECT_EQ(byHandles.layer, &descriptors) << "the second layer's filesystem mark before any mount mark";
  EXPECT_EQ(byHandles.scope, MarkScope::Filesystem);

  descriptors.Refuse(MarkScope::Filesystem, EPERM);
  descriptors.Refuse(MarkScope::Mount, EACCES, "/srv/sub");
  const auto byMounts = MarkRoot({&handles, &descriptors}, "/srv/d/site", kMounts);
  ASSERT_TRUE(byMounts.Watched());
  EXPECT_EQ(byMounts.layer, &descriptors) << "a layer that needs filesystem marks takes no mount marks";
  EXPECT_EQ(byMounts.scope, MarkScope::Mount);
  EXPECT_EQ(byMounts.paths, (std::vector<std::string>{"/srv/d", "/srv/www"})) << "other filesystems stay unmarked";
  EXPECT_EQ(byMounts.Describe(),
            "mount marks (descriptors) on /srv/d, /srv/www (refused: filesystem mark (file handles): Invalid "
            "cross-device link; filesystem mark (descriptors): Operation not permitted)");

  descriptors.Refuse(MarkScope::Mount, ENODEV, "/srv/d");
  const auto none = MarkRoot({&handles, &descriptors}, "/srv/d/site", kMounts);
  EXPECT_FALSE(none.Watched()) << "other mounts alone do not watch the root";
  EXPECT_EQ(none.Describe().rfind("no mark (refused: ", 0), 0u) << none.Describe();
}

// Opens of a network drive are made by other machines too; a FUSE drive the kernel
// reports nothing of is named as such.
class KindOfDrive final : public platform::ForwardingSystem {
 public:
  KindOfDrive(platform::System& inner, platform::DriveType type, std::string fileSystem)
      : ForwardingSystem(inner), type_(type), fileSystem_(std::move(fileSystem)) {}
  platform::DriveType GetDriveType(char) const override { return type_; }
  std::optional<platform::VolumeInfo> GetVolumeInformation(char) const override {
    return platform::VolumeInfo{"", 0, fileSystem_};
  }

 private:
  platform::DriveType type_;
  std::string fileSystem_;
};

TEST(BlindnessOf, NamesNetworkAndFuseDrivesAndDrivesNothingWatches) {
  testing_support::TempDrives drives{"CD"};
  const KindOfDrive network(drives.System(), platform::DriveType::Remote, "nfs4");
  EXPECT_EQ(activity::recorder::BlindnessOf(network, 'D', true), Blindness::NetworkDrive);
  const KindOfDrive fuse(drives.System(), platform::DriveType::Fixed, "fuse.rclone");
  EXPECT_EQ(activity::recorder::BlindnessOf(fuse, 'D', false), Blindness::FuseDrive);
  EXPECT_EQ(activity::recorder::BlindnessOf(fuse, 'D', true), Blindness::None);
  const KindOfDrive local(drives.System(), platform::DriveType::Fixed, "ext4");
  EXPECT_EQ(activity::recorder::BlindnessOf(local, 'D', false), Blindness::NotWatched);
  EXPECT_EQ(activity::BlindnessText(Blindness::NetworkDrive), "network drive: opens are not reported to this machine");
}

}  // namespace
