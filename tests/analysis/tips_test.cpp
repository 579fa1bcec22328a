#include "analysis/tips.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "common/prompter.h"

namespace analysis {
namespace {

namespace fs = std::filesystem;

class MapProfile : public TipProfile {
 public:
  std::optional<std::int64_t> ReadInt(std::string_view key) const override {
    const auto found = ints.find(std::string(key));
    if (found == ints.end()) return std::nullopt;
    return found->second;
  }
  std::optional<std::string> ReadString(std::string_view key) const override {
    const auto found = strings.find(std::string(key));
    if (found == strings.end()) return std::nullopt;
    return found->second;
  }
  void WriteInt(std::string_view key, std::int64_t value) override {
    ints[std::string(key)] = value;
  }
  void WriteString(std::string_view key, const std::string& value) override {
    strings[std::string(key)] = value;
  }
  std::map<std::string, std::int64_t> ints;
  std::map<std::string, std::string> strings;
};

class RecordingPrompter : public common::Prompter {
 public:
  common::Answer Ask(const common::Message& message) override {
    messages.push_back(message);
    return common::Answer::Ok;
  }
  std::vector<common::Message> messages;
};

class TipsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("norvex-tips-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = (dir_ / "tips.txt").string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Writes the tips file and gives it a distinct modification time per `stamp`.
  void WriteTips(const std::string& content, int stamp = 0) {
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << content;
    fs::last_write_time(path_, fs::file_time_type::clock::now() - std::chrono::hours(100) +
                                   std::chrono::minutes(stamp));
  }

  // Constructs the dialog's model, reads `presses` more tips, destroys it; returns the
  // texts shown.
  std::vector<std::string> Show(int presses) {
    DailyTips tips(profile_, prompter_, path_);
    std::vector<std::string> shown{tips.TipText()};
    for (int i = 0; i < presses; ++i) {
      tips.NextTip();
      shown.push_back(tips.TipText());
    }
    return shown;
  }

  fs::path dir_;
  std::string path_;
  MapProfile profile_;
  RecordingPrompter prompter_;
};

using Tips = std::vector<std::string>;

TEST_F(TipsTest, SkipsCommentsAndBlankLedLinesAndCycles) {
  WriteTips("; a comment\nA\n\nB\n  indented\n\ttabbed\n");
  EXPECT_EQ(Show(3), (Tips{"A\n", "B\n", "A\n", "B\n"}));
  EXPECT_TRUE(prompter_.messages.empty());
}

TEST_F(TipsTest, ReadsWindowsLineEndsAsOneLineEnd) {
  WriteTips("; comment\r\nA\r\n\r\nB");
  EXPECT_EQ(Show(2), (Tips{"A\n", "B", "A\n"}));
}

TEST_F(TipsTest, PositionSurvivesBetweenRunsAndPointsBehindTheLastTipShown) {
  WriteTips("; c\nA\n\nB\nC\n");
  EXPECT_EQ(Show(1), (Tips{"A\n", "B\n"}));
  EXPECT_EQ(profile_.ints.at(kTipFilePosKey), 9);  // just behind "B\n"
  EXPECT_EQ(Show(0), (Tips{"C\n"}));
  EXPECT_EQ(Show(0), (Tips{"A\n"}));
}

TEST_F(TipsTest, EditedFileStartsOverAtTheFirstTip) {
  WriteTips("A\nB\nC\n", 0);
  Show(1);
  const std::string firstStamp = profile_.strings.at(kTipTimeStampKey);
  EXPECT_EQ(firstStamp.size(), 24u);

  WriteTips("A\nB\nC\n", 5);  // same text, new modification time
  EXPECT_EQ(Show(0), (Tips{"A\n"}));
  EXPECT_NE(profile_.strings.at(kTipTimeStampKey), firstStamp);
}

TEST_F(TipsTest, StoredOffsetIsWhereReadingGoesOn) {
  WriteTips("A first\nB second\nC third\n");
  Show(0);  // records the file's time stamp
  profile_.ints[kTipFilePosKey] = 2;
  EXPECT_EQ(Show(0), (Tips{"first\n"}));
  profile_.ints[kTipFilePosKey] = 9;  // " second": starts with a blank, skipped
  EXPECT_EQ(Show(0), (Tips{"C third\n"}));
  profile_.ints[kTipFilePosKey] = 10'000;  // beyond the end: over at the top
  EXPECT_EQ(Show(0), (Tips{"A first\n"}));
  EXPECT_TRUE(prompter_.messages.empty());
}

// A damaged or hand-edited profile can hold any number. The read past the end must not
// fail (ext4 refuses the seek, tmpfs the read that follows it) nor throw out of the reader.
TEST_F(TipsTest, OffsetsFarBeyondTheEndStartOverAtTheFirstTip) {
  std::vector<fs::path> folders{dir_};
  if (::access("/dev/shm", W_OK) == 0) folders.push_back(fs::path("/dev/shm") / dir_.filename());
  for (const fs::path& folder : folders) {
    fs::create_directories(folder);
    path_ = (folder / "tips.txt").string();
    WriteTips("A first\nB second\n");
    Show(0);  // records the file's time stamp
    for (const std::int64_t position : {std::int64_t{1} << 40, std::int64_t{1} << 50,
                                        std::int64_t{1} << 62, INT64_MAX - 4095, INT64_MAX}) {
      SCOPED_TRACE(folder.string() + " at " + std::to_string(position));
      profile_.ints[kTipFilePosKey] = position;
      EXPECT_EQ(Show(1), (Tips{"A first\n", "B second\n"}));
      EXPECT_EQ(profile_.ints.at(kTipFilePosKey), 17);
    }
    if (folder != dir_) fs::remove_all(folder);
  }
  EXPECT_TRUE(prompter_.messages.empty());
}

TEST_F(TipsTest, LongLinesAreReadInPiecesOfAtMost999Characters) {
  const std::string tip(1500, 'x');
  const std::string blankAfterCut = std::string(999, 'a') + " rest";
  WriteTips(tip + "\n" + blankAfterCut + "\nZ\n");
  const Tips shown = Show(3);
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0], std::string(999, 'x'));
  EXPECT_EQ(shown[1], std::string(501, 'x') + "\n");
  EXPECT_EQ(shown[2], std::string(999, 'a'));
  EXPECT_EQ(shown[3], "Z\n");  // " rest\n" begins with a blank: skipped
}

TEST_F(TipsTest, AFileWithoutTipsShowsTroubleInsteadOfSearchingForEver) {
  int stamp = 0;
  for (const std::string content : {"", "; only\n\n  comments\n\tand blanks\n", "\n"}) {
    SCOPED_TRACE(content);
    WriteTips(content, ++stamp);
    profile_.ints[kTipFilePosKey] = 3;
    EXPECT_EQ(Show(2), (Tips{kTipsFileTrouble, kTipsFileTrouble, kTipsFileTrouble}));
  }
  EXPECT_TRUE(prompter_.messages.empty());
}

TEST_F(TipsTest, MissingFileShowsItsTextDisablesNextTipAndKeepsThePosition) {
  profile_.ints[kTipFilePosKey] = 42;
  {
    DailyTips tips(profile_, prompter_, path_);
    EXPECT_EQ(tips.TipText(), kTipsFileMissing);
    EXPECT_FALSE(tips.CanReadTips());
    tips.NextTip();
    EXPECT_EQ(tips.TipText(), kTipsFileMissing);
  }
  EXPECT_EQ(profile_.ints.at(kTipFilePosKey), 42);
  EXPECT_FALSE(profile_.strings.contains(kTipTimeStampKey));
}

TEST_F(TipsTest, UnreachableOffsetTellsTroubleAndLeavesTheTipEmpty) {
  WriteTips("A\nB\n");
  Show(0);
  profile_.ints[kTipFilePosKey] = -5;
  {
    DailyTips tips(profile_, prompter_, path_);
    EXPECT_EQ(tips.TipText(), "");
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].text, kTipsFileTrouble);
    EXPECT_EQ(prompter_.messages[0].icon, common::Icon::Warning);
    EXPECT_EQ(prompter_.messages[0].buttons, common::Buttons::Ok);
    ASSERT_TRUE(tips.CanReadTips());
    tips.NextTip();
    EXPECT_EQ(tips.TipText(), "A\n");
  }
  EXPECT_EQ(profile_.ints.at(kTipFilePosKey), 2);
}

TEST_F(TipsTest, StartUpStoresTheNegationOfShowAtStartup) {
  WriteTips("A\n");
  {
    DailyTips tips(profile_, prompter_, path_);
    EXPECT_TRUE(tips.ShowAtStartup());  // no value: show
    tips.SetShowAtStartup(false);
    tips.SaveStartUp();
  }
  EXPECT_EQ(profile_.ints.at(kTipStartUpKey), 1);
  profile_.ints[kTipStartUpKey] = 7;  // any value but 0 means: do not show
  {
    DailyTips tips(profile_, prompter_, path_);
    EXPECT_FALSE(tips.ShowAtStartup());
    tips.SetShowAtStartup(true);
    tips.SaveStartUp();
  }
  EXPECT_EQ(profile_.ints.at(kTipStartUpKey), 0);
}

TEST(TipsDateTextTest, IsThe24CharacterLocalDateText) {
  const char* const oldZone = std::getenv("TZ");
  const std::string saved = oldZone ? oldZone : "";
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  EXPECT_EQ(TipsDateText(0), "Thu Jan  1 00:00:00 1970");
  EXPECT_EQ(TipsDateText(1'700'000'000), "Tue Nov 14 22:13:20 2023");
  if (oldZone) ::setenv("TZ", saved.c_str(), 1); else ::unsetenv("TZ");
  ::tzset();
}

TEST(ShippedTipsTest, HoldsAtLeastTwentyWholeTips) {
  TipsFile file;
  ASSERT_TRUE(file.Open(NORVEX_SOURCE_DIR "/src/resources/tips.txt"));
  int tips = 0;
  while (const std::optional<std::string> piece = file.ReadPiece()) {
    EXPECT_EQ(piece->back(), '\n') << "cut or unterminated: " << *piece;
    if (IsTip(*piece)) ++tips;
  }
  EXPECT_GE(tips, 20);
}

}  // namespace
}  // namespace analysis
