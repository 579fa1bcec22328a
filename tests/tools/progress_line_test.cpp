// The progress line of the command-line tools: silent off a terminal, at most one drawing
// per interval, never wider than the terminal, out of the way of other output.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <string>

#include "progress_line.h"
#include "progress_text.h"
#include "routed_lines.h"

namespace {

using namespace std::chrono_literals;
using Time = std::chrono::steady_clock::time_point;

struct FakeClock {
  Time now{};
  tools::SteadyClock Function() {
    return [this] { return now; };
  }
};

std::size_t Count(const std::string& text, std::string_view what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

TEST(ProgressLine, OffItWritesNothingButLetsOtherOutputThrough) {
  FakeClock clock;
  std::ostringstream out;
  tools::ProgressLine line(out, false, 80, clock.Function());
  bool wrote = false;
  for (int k = 0; k < 20; ++k) {
    clock.now += 150ms;
    line.Show("entries " + std::to_string(k));
    line.Tick();
  }
  line.Interrupt([&] { wrote = true; });
  line.Finish();
  EXPECT_TRUE(wrote);
  EXPECT_EQ(out.str(), "");
}

TEST(ProgressLine, DrawsAtMostTenTimesASecondAndOnlyWhatChanged) {
  FakeClock clock;
  std::ostringstream out;
  tools::ProgressLine line(out, true, 80, clock.Function());
  line.Show("first");
  line.Tick();
  EXPECT_EQ(out.str(), "") << "nothing before the first interval: quick work stays silent";

  // One update every millisecond for a second.
  for (int ms = 1; ms <= 1000; ++ms) {
    clock.now += 1ms;
    line.Show("at " + std::to_string(ms));
    line.Tick();
  }
  EXPECT_EQ(Count(out.str(), "\r"), 10u) << out.str();
  EXPECT_NE(out.str().find("\rat 100\033[K"), std::string::npos) << out.str();

  const std::size_t drawn = out.str().size();
  clock.now += 1s;
  line.Tick();  // the text did not change
  EXPECT_EQ(out.str().size(), drawn);

  line.Finish();
  EXPECT_TRUE(out.str().ends_with("\r\033[K"));
  line.Show("after the end");
  clock.now += 1s;
  line.Tick();
  EXPECT_TRUE(out.str().ends_with("\r\033[K"));
}

TEST(ProgressLine, KeepsToOneLineOfTheTerminalWithoutSplittingACharacter) {
  FakeClock clock;
  std::ostringstream out;
  tools::ProgressLine line(out, true, 8, clock.Function());
  clock.now += 1s;
  line.Show("D:\\\xC3\xA9t\xC3\xA9\\long name");  // é is two bytes
  line.Tick();
  EXPECT_EQ(out.str(), "\rD:\\\xC3\xA9t\xC3\xA9\\\033[K");  // 7 characters: the last column stays free

  // A name from a hand-off file may hold a newline or an escape sequence.
  EXPECT_EQ(tools::FitToColumns("a\nb\033]0;x\a\x7F", 80), "a?b?]0;x??");
}

TEST(ProgressLine, OtherLinesEraseItFirstAndItComesBackAtTheNextTick) {
  FakeClock clock;
  std::ostringstream terminal;
  tools::ProgressLine line(terminal, true, 80, clock.Function());
  std::ostringstream printed;  // stands for std::cout
  {
    tools::RoutedLines routed(printed, terminal, line);
    clock.now += 1s;
    line.Show("3 of 9 done");
    line.Tick();
    printed << "compress D:\\a.txt\n" << "partial";
    EXPECT_EQ(terminal.str(), "\r3 of 9 done\033[K\r\033[Kcompress D:\\a.txt\n");
    clock.now += 1s;
    line.Tick();
    EXPECT_TRUE(terminal.str().ends_with("\n\r3 of 9 done\033[K"));
  }
  // The partial line was passed on when the routing ended, and std::cout's own buffer is back.
  EXPECT_TRUE(terminal.str().ends_with("\r\033[Kpartial")) << terminal.str();
  EXPECT_EQ(printed.str(), "");
  printed << "direct";
  EXPECT_EQ(printed.str(), "direct");
}

TEST(ProgressWanted, OnlyOnATerminalAndNotWhenQuiet) {
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  EXPECT_FALSE(tools::ProgressWanted(pipeFds[1], false));
  ::close(pipeFds[0]);
  ::close(pipeFds[1]);

  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) GTEST_SKIP() << "no pseudo-terminal here";
  const int terminal = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
  ASSERT_GE(terminal, 0);
  EXPECT_TRUE(tools::ProgressWanted(terminal, false));
  EXPECT_FALSE(tools::ProgressWanted(terminal, true));
  ::close(terminal);
  ::close(master);
}

TEST(ProgressText, ShowsCountsBytesAndRate) {
  EXPECT_EQ(tools::ScanProgressText({12345, 678, 1288490189}, 2s),
            "12,345 entries, 678 folders, 1.2 GB, 6,172 entries/s");
  EXPECT_EQ(tools::ScanProgressText({0, 1, 1023}, 0s), "0 entries, 1 folders, 1023 B");
  EXPECT_EQ(tools::ByteText(1024), "1.0 KB");
  EXPECT_EQ(tools::ActionProgressText(3, 1200, 3725s, "Backuping file... D:\\a"),
            "3 of 1,200 done, 1:02:05, Backuping file... D:\\a");
}

}  // namespace
