#pragma once
// The Tip of the Day's tips file: one tip per line, shown in file order and cycling,
// with the place the user left off and the start-up choice kept in the program's
// profile (section "Tip"). No window here: the dialog drives a DailyTips and shows
// what it holds.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

namespace common { class Prompter; }

namespace analysis {

inline constexpr const char* kTipsFileMissing =
    "Tips file does not exist in the prescribed directory";
inline constexpr const char* kTipsFileTrouble = "Trouble reading the tips file";

// A line is read into a buffer of this many characters: at most one less (line end
// included) make one piece; the rest of a longer line is the next piece.
inline constexpr std::size_t kTipBufferSize = 1000;

// The profile section and its keys.
inline constexpr const char* kTipSection = "Tip";
inline constexpr const char* kTipStartUpKey = "StartUp";      // 0 = show at start-up
inline constexpr const char* kTipFilePosKey = "FilePos";      // byte offset of the next tip
inline constexpr const char* kTipTimeStampKey = "TimeStamp";  // tips file's modification text

// The 24-character local date text of a time: "Wed Jun  3 21:49:08 1993". English
// names whatever the locale, so the text a run stores compares equal in the next one.
std::string TipsDateText(std::time_t time);

// A piece is a tip unless it starts with a blank, a tab, a line end or ';'.
bool IsTip(std::string_view piece);

// The tips file, read piece by piece. Positions are byte offsets; a CR LF line end
// reads as one '\n', as a text-mode read does.
class TipsFile {
 public:
  bool Open(const std::string& path);
  bool IsOpen() const { return stream_.is_open(); }
  const std::string& Path() const { return path_; }
  // A position beyond the end stands for the end (the next read then starts over).
  // False when the position cannot be reached (a negative offset, a read error).
  bool Seek(std::int64_t position);
  std::int64_t Position() const { return position_; }
  // The next piece (see kTipBufferSize), nullopt at the end of the file; a read error
  // ends the piece like the end of the file.
  std::optional<std::string> ReadPiece();

 private:
  std::ifstream stream_;
  std::string path_;
  std::int64_t position_ = 0;
};

// The program profile's "Tip" section. Missing or unreadable values read as nullopt;
// failed writes are not reported.
class TipProfile {
 public:
  virtual ~TipProfile() = default;
  virtual std::optional<std::int64_t> ReadInt(std::string_view key) const = 0;
  virtual std::optional<std::string> ReadString(std::string_view key) const = 0;
  virtual void WriteInt(std::string_view key, std::int64_t value) = 0;
  virtual void WriteString(std::string_view key, const std::string& value) = 0;
};

// What the Tip of the Day dialog holds, from construction (settings read, file
// opened, first tip read) to destruction (position saved).
class DailyTips {
 public:
  // Trouble reading the file is told through `prompter` (OK, exclamation icon).
  DailyTips(TipProfile& profile, common::Prompter& prompter, const std::string& tipsPath);
  ~DailyTips();
  DailyTips(const DailyTips&) = delete;
  DailyTips& operator=(const DailyTips&) = delete;

  bool ShowAtStartup() const { return showAtStartup_; }
  void SetShowAtStartup(bool show) { showAtStartup_ = show; }
  const std::string& TipText() const { return tipText_; }
  // "Next Tip" works only while the file is open.
  bool CanReadTips() const { return file_.IsOpen(); }

  // Reads the next tip into TipText, starting over at the end of the file. A file
  // with no tip at all shows kTipsFileTrouble instead of searching for ever.
  void NextTip();
  // The dialog was closed with "Close": remember whether to show it at start-up.
  void SaveStartUp();

 private:
  void TellTrouble();

  TipProfile& profile_;
  common::Prompter& prompter_;
  TipsFile file_;
  bool showAtStartup_ = true;
  std::string tipText_;
};

}  // namespace analysis
