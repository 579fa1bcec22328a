// The action engine acting as root on other users' files: what it acts on is the file it
// checked, on the filesystem each drive was, and what it copies keeps what made the file
// its owner's, holes included.

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "engine_safety.h"
#include "files/action_engine.h"
#include "platform/forwarding_system.h"
#include "platform/unique_fd.h"

namespace {

using engine_test::EngineSafety;
using engine_test::kBackUp;
using engine_test::kRestore;
using engine_test::LinkStat;
using testing_support::TmpfsDrive;

// Replaces the source by a link to `victim` once its copy is made, as its owner could
// while root copies it.
class LinkSwappingSystem : public platform::ForwardingSystem {
 public:
  LinkSwappingSystem(platform::System& inner, std::string sourceHost, std::string victimHost)
      : ForwardingSystem(inner), source_(std::move(sourceHost)), victim_(std::move(victimHost)) {}
  platform::StepResult CopyOpenFile(platform::ActionFile& from, std::string_view to, bool failIfExists) override {
    platform::StepResult copied = ForwardingSystem::CopyOpenFile(from, to, failIfExists);
    ::unlink(source_.c_str());
    EXPECT_EQ(::symlink(victim_.c_str(), source_.c_str()), 0);
    return copied;
  }

 private:
  std::string source_, victim_;
};

TEST_F(EngineSafety, ALinkSwappedInDuringTheCopyEmptiesNothing) {
  drives.WriteFile("C:\\alice\\notes.txt", "thirty-six bytes of alice's notes..");
  const std::string victim = drives.Dir() + "/outside-every-drive";
  {
    std::FILE* out = std::fopen(victim.c_str(), "w");
    ASSERT_NE(out, nullptr);
    std::fputs("root's own file", out);
    std::fclose(out);
  }
  const auto i = Select("C:\\alice\\", "notes.txt", kBackUp);
  LinkSwappingSystem swapping(drives.System(), drives.Host("C:\\alice\\notes.txt"), victim);
  Run(swapping);

  std::FILE* in = std::fopen(victim.c_str(), "r");
  ASSERT_NE(in, nullptr);
  char text[64] = {};
  std::fgets(text, sizeof text, in);
  std::fclose(in);
  EXPECT_STREQ(text, "root's own file");
  EXPECT_TRUE(S_ISLNK(LinkStat(drives.Host("C:\\alice\\notes.txt")).st_mode));
  EXPECT_NE(selection.Record("C:\\alice\\").states()[i], scan::kStateBackedUp);
  EXPECT_NE(Shown().find("replaced while it was being copied"), std::string::npos) << Shown();
}

TEST_F(EngineSafety, PipesAndDevicesAreRefusedWithoutBeingOpened) {
  drives.MakeDirectory("C:\\odd");
  ASSERT_EQ(::mkfifo(drives.Host("C:\\odd\\pipe").c_str(), 0666), 0);
  const bool device = ::mknod(drives.Host("C:\\odd\\null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  const platform::UniqueFd watch(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  ASSERT_TRUE(watch);
  ASSERT_GE(::inotify_add_watch(watch.Get(), drives.Host("C:\\odd").c_str(), IN_OPEN), 0);
  for (const char* name : {"pipe", "null"}) {
    Select("C:\\odd\\", name, kBackUp);
    Select("C:\\odd\\", name, files::kActionCompress);
  }
  prompter.answers.assign(8, common::Answer::Yes);
  Run();

  alignas(inotify_event) char events[4096];
  const ssize_t size = ::read(watch.Get(), events, sizeof events);
  for (ssize_t at = 0; at < size;) {
    const auto* event = reinterpret_cast<const inotify_event*>(events + at);
    if (event->len != 0) ADD_FAILURE() << "opened: " << event->name;  // the folder itself may be
    at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
  }
  EXPECT_NE(Shown().find("is a pipe, which no action opens"), std::string::npos) << Shown();
  EXPECT_FALSE(drives.Exists("E:\\odd\\pipe"));
  if (device) {
    EXPECT_FALSE(drives.Exists("E:\\odd\\null"));
  }
}

TEST_F(EngineSafety, ABackUpToAnUnmountedDiskIsRefusedAndTouchesNothing) {
  TmpfsDrive backup(drives, 'E', "16m");
  if (!backup.Mounted()) GTEST_SKIP() << backup.WhyNot();
  drives.WriteFile("C:\\Work\\a.txt", "precious");
  backup.Unmount();
  Select("C:\\Work\\", "a.txt", kBackUp);
  Run();

  EXPECT_EQ(drives.ReadFile("C:\\Work\\a.txt"), "precious");
  EXPECT_FALSE(drives.Exists("E:\\Work")) << "the copy went onto the bare mount point";
  const std::string expected = "E: (" + drives.Root('E') + ") is not mounted";
  EXPECT_NE(Shown().find(expected), std::string::npos) << Shown();
}


std::string Attribute(const std::string& host, const char* name) {
  char value[256];
  const ssize_t size = ::lgetxattr(host.c_str(), name, value, sizeof value);
  return size < 0 ? std::string("(none)") : std::string(value, static_cast<std::size_t>(size));
}

// An access ACL giving user 4243 read access besides the mode's own entries.
std::string ReadAclForUser4243() {
  struct Entry {
    std::uint16_t tag, perm;
    std::uint32_t id;
  };
  const std::uint32_t version = 2;
  const Entry entries[] = {{0x01, 7, ~0u}, {0x02, 4, 4243}, {0x04, 5, ~0u}, {0x10, 5, ~0u}, {0x20, 5, ~0u}};
  std::string value(reinterpret_cast<const char*>(&version), sizeof version);
  value.append(reinterpret_cast<const char*>(entries), sizeof entries);
  return value;
}

TEST_F(EngineSafety, BackUpAndRestoreKeepOwnerModeAttributesAndTheStubItself) {
  if (::geteuid() != 0) GTEST_SKIP() << "giving files to another user needs root";
  drives.WriteFile("C:\\diary\\prog", "#!/bin/sh\necho mine\n");
  const std::string folder = drives.Host("C:\\diary");
  const std::string prog = drives.Host("C:\\diary\\prog");
  const std::string acl = ReadAclForUser4243();
  ASSERT_EQ(::chown(folder.c_str(), 4242, 4242), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0700), 0);
  ASSERT_EQ(::chown(prog.c_str(), 4242, 4242), 0);
  ASSERT_EQ(::chmod(prog.c_str(), 06755), 0);
  if (::setxattr(prog.c_str(), "user.note", "mine", 4, 0) != 0 ||
      ::setxattr(prog.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0) {
    GTEST_SKIP() << "the temporary folder keeps no user attributes or ACLs: " << std::strerror(errno);
  }
  const ino_t stub = LinkStat(prog).st_ino;
  Select("C:\\diary\\", "prog", kBackUp);
  ASSERT_TRUE(Run()) << Shown();

  const struct stat copy = LinkStat(drives.Host("E:\\diary\\prog"));
  EXPECT_EQ(copy.st_uid, 4242u);
  EXPECT_EQ(copy.st_gid, 4242u);
  EXPECT_EQ(copy.st_mode & 07777, 06755u);
  EXPECT_EQ(Attribute(drives.Host("E:\\diary\\prog"), "user.note"), "mine");
  EXPECT_EQ(Attribute(drives.Host("E:\\diary\\prog"), "system.posix_acl_access"), acl);
  const struct stat copyFolder = LinkStat(drives.Host("E:\\diary"));
  EXPECT_EQ(copyFolder.st_uid, 4242u);
  EXPECT_EQ(copyFolder.st_mode & 07777, 0700u) << "a private folder became readable on the backup drive";
  ASSERT_EQ(LinkStat(prog).st_size, 0);

  Select("C:\\diary\\", "prog", kRestore);
  ASSERT_TRUE(Run()) << Shown();
  const struct stat back = LinkStat(prog);
  EXPECT_EQ(back.st_ino, stub) << "restore made a new file in place of the stub";
  EXPECT_EQ(back.st_uid, 4242u);
  EXPECT_EQ(back.st_mode & 07777, 06755u);
  EXPECT_EQ(drives.ReadFile("C:\\diary\\prog"), "#!/bin/sh\necho mine\n");
  EXPECT_EQ(Attribute(prog, "user.note"), "mine");
}

// Takes CAP_CHOWN out of this thread's effective set while it lives: giving a file to
// another user then fails, as on a target that refuses it.
class WithoutChown {
 public:
  WithoutChown() {
    kept_ = ::syscall(SYS_capget, &header_, keptData_) == 0;
    __user_cap_data_struct reduced[2] = {keptData_[0], keptData_[1]};
    reduced[0].effective &= ~(1u << CAP_CHOWN);
    dropped_ = kept_ && ::syscall(SYS_capset, &header_, reduced) == 0;
  }
  ~WithoutChown() {
    if (dropped_) ::syscall(SYS_capset, &header_, keptData_);
  }
  bool Dropped() const { return dropped_; }

 private:
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct keptData_[2]{};
  bool kept_ = false;
  bool dropped_ = false;
};

TEST_F(EngineSafety, ASetuidProgramWhoseOwnerCannotBeKeptIsCopiedWithoutSetuid) {
  if (::geteuid() != 0) GTEST_SKIP() << "a file of another user is made by root";
  drives.WriteFile("C:\\bin\\prog", "#!/bin/sh\necho mine\n");
  const std::string prog = drives.Host("C:\\bin\\prog");
  ASSERT_EQ(::chown(prog.c_str(), 4242, 4242), 0);
  ASSERT_EQ(::chmod(prog.c_str(), 06755), 0);
  Select("C:\\bin\\", "prog", kBackUp);
  {
    const WithoutChown refused;
    if (!refused.Dropped()) GTEST_SKIP() << "cannot drop CAP_CHOWN: " << std::strerror(errno);
    ASSERT_TRUE(Run()) << Shown();
  }
  const struct stat copy = LinkStat(drives.Host("E:\\bin\\prog"));
  EXPECT_EQ(copy.st_uid, 0u);
  EXPECT_EQ(copy.st_mode & 07777, 0755u) << "another user's program became setuid for root";
}

TEST_F(EngineSafety, ASparseFileBacksUpOntoASmallDriveAndComesBackSparse) {
  TmpfsDrive backup(drives, 'E', "64m");
  if (!backup.Mounted()) GTEST_SKIP() << backup.WhyNot();
  constexpr off_t kSize = off_t{1} << 30;
  constexpr std::size_t kData = 10 << 20;
  const std::string data(kData / 10, 's');
  drives.WriteFile("C:\\vm\\disk.img", "");
  const std::string host = drives.Host("C:\\vm\\disk.img");
  {
    const platform::UniqueFd fd(::open(host.c_str(), O_WRONLY | O_CLOEXEC));
    ASSERT_TRUE(fd);
    for (int n = 0; n < 10; ++n) {
      ASSERT_EQ(::pwrite(fd.Get(), data.data(), data.size(), off_t{n} * (kSize / 10)),
                static_cast<ssize_t>(data.size()));
    }
    ASSERT_EQ(::ftruncate(fd.Get(), kSize), 0);
  }
  if (LinkStat(host).st_blocks * 512 > 2 * static_cast<off_t>(kData)) GTEST_SKIP() << "no holes in the temporary folder";
  Select("C:\\vm\\", "disk.img", kBackUp);
  ASSERT_TRUE(Run()) << Shown();
  EXPECT_LE(LinkStat(drives.Host("E:\\vm\\disk.img")).st_blocks * 512, 2 * static_cast<off_t>(kData));

  Select("C:\\vm\\", "disk.img", kRestore);
  ASSERT_TRUE(Run()) << Shown();
  const struct stat back = LinkStat(host);
  EXPECT_EQ(back.st_size, kSize);
  EXPECT_LE(back.st_blocks * 512, 2 * static_cast<off_t>(kData)) << "restored without its holes";
  const platform::UniqueFd fd(::open(host.c_str(), O_RDONLY | O_CLOEXEC));
  std::string read(data.size(), '\0');
  ASSERT_EQ(::pread(fd.Get(), read.data(), read.size(), 9 * (kSize / 10)), static_cast<ssize_t>(read.size()));
  EXPECT_EQ(read, data);
}

TEST_F(EngineSafety, ARestoreWithoutRoomSaysSoAndLeavesTheStub) {
  TmpfsDrive own(drives, 'C', "1m");
  if (!own.Mounted()) GTEST_SKIP() << own.WhyNot();
  drives.WriteFileOfSize("E:\\big.bin", 4 << 20, 'b');
  drives.WriteFile("C:\\big.bin", "");
  Select("C:\\", "big.bin", kRestore);
  Run();
  EXPECT_EQ(drives.ReadFile("C:\\big.bin"), "");
  EXPECT_NE(Shown().find("bytes free, and the file needs"), std::string::npos) << Shown();
}

}  // namespace

// A file with two names: emptying or recompressing it through one changes what the other
// shows too.
TEST_F(EngineSafety, AFileWithSeveralLinksIsNeverBackedUpAndCompressedOnlyWithEveryLink) {
  drives.WriteFile("C:\\data\\a.txt", "shared by two names");
  const std::string first = drives.Host("C:\\data\\a.txt");
  ASSERT_EQ(::link(first.c_str(), drives.Host("C:\\data\\b.txt").c_str()), 0);
  const struct stat info = LinkStat(first);
  scan::FileTraits traits;
  traits.links = 2;
  traits.device = info.st_dev;
  traits.inode = info.st_ino;
  const auto select = [&](std::string_view name, std::uint8_t action) {
    return selection.AddFile("C:\\data\\", name, info.st_size, action, 'E', scan::kStateNormal, &traits);
  };

  select("a.txt", kBackUp);
  Run();
  EXPECT_NE(Shown().find("2 hard links"), std::string::npos) << Shown();
  EXPECT_EQ(LinkStat(first).st_size, info.st_size);
  EXPECT_FALSE(drives.System().FileExists("E:\\data\\a.txt"));

  prompter.asked.clear();
  select("b.txt", files::kActionCompress);
  Run();
  EXPECT_NE(Shown().find("2 hard links and 1 of them are selected"), std::string::npos) << Shown();

  // Both names selected: nothing is refused for the links (this drive cannot compress,
  // which fails silently).
  prompter.asked.clear();
  select("a.txt", files::kActionCompress);
  select("b.txt", files::kActionCompress);
  Run();
  EXPECT_EQ(Shown(), "");
}
