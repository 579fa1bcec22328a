#include "platform/windows_path.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

DriveMap Map() { return *DriveMap::Parse("C=/srv/c,D=/"); }

TEST(HostPathOf, TranslatesMappedPaths) {
  const DriveMap map = Map();
  EXPECT_EQ(HostPathOf(map, "C:\\Work\\a.txt"), "/srv/c/Work/a.txt");
  EXPECT_EQ(HostPathOf(map, "c:\\Work\\"), "/srv/c/Work");
  EXPECT_EQ(HostPathOf(map, "C:\\"), "/srv/c");
  EXPECT_EQ(HostPathOf(map, "C:"), "/srv/c");
  EXPECT_EQ(HostPathOf(map, "C:/Work//x"), "/srv/c/Work/x");
  EXPECT_EQ(HostPathOf(map, "D:\\etc\\hosts"), "/etc/hosts");
  EXPECT_EQ(HostPathOf(map, "D:\\"), "/");
  EXPECT_EQ(HostPathOf(map, "C:\\.hidden\\..name"), "/srv/c/.hidden/..name");  // dots inside names are fine
}

TEST(HostPathOf, RefusesWhatCouldReachAnotherFile) {
  const DriveMap map = Map();
  for (const std::string_view bad :
       {"E:\\x", "C:\\..\\etc", "C:\\a\\..", "C:\\.\\a", "C:..", "C:relative", "\\\\server\\s",
        "", "C", "1:\\x", "C:/a/../../b"}) {
    EXPECT_FALSE(HostPathOf(map, bad)) << bad;
  }
  EXPECT_FALSE(HostPathOf(map, std::string_view("C:\\a\0b", 7)));
}

TEST(WindowsPathOf, IsTheInverseAndRefusesBackslashNames) {
  const DriveMap map = Map();
  EXPECT_EQ(WindowsPathOf(map, "/srv/c/Work/a.txt"), "C:\\Work\\a.txt");
  EXPECT_EQ(WindowsPathOf(map, "/srv/c"), "C:\\");
  EXPECT_EQ(WindowsPathOf(map, "/srv/cd"), "D:\\srv\\cd");
  EXPECT_EQ(WindowsPathOf(map, "/"), "D:\\");
  EXPECT_FALSE(WindowsPathOf(map, "/srv/c/odd\\name"));
  EXPECT_FALSE(WindowsPathOf(*DriveMap::Parse("C=/srv"), "/etc"));
  for (const char* path : {"C:\\Work\\a.txt", "D:\\usr\\lib", "C:\\"}) {
    EXPECT_EQ(WindowsPathOf(map, *HostPathOf(map, path)), path);
  }
}

}  // namespace
}  // namespace platform
