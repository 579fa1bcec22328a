#include "analysis/tips.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdio>

#include "common/prompter.h"

namespace analysis {

std::string TipsDateText(std::time_t time) {
  static constexpr std::array<const char*, 7> kDays = {"Sun", "Mon", "Tue", "Wed",
                                                       "Thu", "Fri", "Sat"};
  static constexpr std::array<const char*, 12> kMonths = {
      "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm local{};
  if (localtime_r(&time, &local) == nullptr) return {};
  char text[64];
  std::snprintf(text, sizeof text, "%s %s %2d %02d:%02d:%02d %d", kDays[local.tm_wday % 7],
                kMonths[local.tm_mon % 12], local.tm_mday, local.tm_hour, local.tm_min,
                local.tm_sec, local.tm_year + 1900);
  return text;
}

bool IsTip(std::string_view piece) {
  if (piece.empty()) return false;
  const char first = piece.front();
  return first != ' ' && first != '\t' && first != '\n' && first != ';';
}

// --- TipsFile -----------------------------------------------------------------------

bool TipsFile::Open(const std::string& path) {
  stream_.open(path, std::ios::in | std::ios::binary);
  path_ = path;
  position_ = 0;
  return stream_.is_open();
}

bool TipsFile::Seek(std::int64_t position) {
  if (!IsOpen() || position < 0) return false;
  stream_.clear();
  std::filebuf& buffer = *stream_.rdbuf();
  const std::streampos failed(std::streamoff(-1));
  // A position beyond the end reads as the end, so the next read starts over at the
  // first tip. Going there instead would fail far out: ext4 refuses the seek, tmpfs
  // the read after it.
  const std::streampos end = buffer.pubseekoff(0, std::ios::end, std::ios::in);
  if (end == failed) return false;
  const std::int64_t target = std::min<std::int64_t>(position, std::streamoff(end));
  if (buffer.pubseekpos(std::streamoff(target), std::ios::in) == failed) return false;
  position_ = target;
  return true;
}

std::optional<std::string> TipsFile::ReadPiece() {
  if (!IsOpen()) return std::nullopt;
  using Traits = std::filebuf::traits_type;
  std::filebuf& buffer = *stream_.rdbuf();
  std::string piece;
  // The file buffer throws on a failed read whatever the stream's exception mask says;
  // a read error ends the piece as the end of the file would.
  try {
    while (piece.size() < kTipBufferSize - 1) {
      const int c = buffer.sbumpc();
      if (Traits::eq_int_type(c, Traits::eof())) break;
      ++position_;
      if (c == '\r' && buffer.sgetc() == '\n') {
        buffer.sbumpc();
        ++position_;
        piece.push_back('\n');
        break;
      }
      piece.push_back(Traits::to_char_type(c));
      if (c == '\n') break;
    }
  } catch (const std::ios_base::failure&) {
  }
  if (piece.empty()) return std::nullopt;
  return piece;
}

// --- DailyTips ----------------------------------------------------------------------

namespace {

std::string ModificationText(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return {};
  return TipsDateText(status.st_mtime);
}

}  // namespace

DailyTips::DailyTips(TipProfile& profile, common::Prompter& prompter, const std::string& tipsPath)
    : profile_(profile), prompter_(prompter) {
  showAtStartup_ = profile_.ReadInt(kTipStartUpKey).value_or(0) == 0;
  std::int64_t position = profile_.ReadInt(kTipFilePosKey).value_or(0);

  if (!file_.Open(tipsPath)) {
    tipText_ = kTipsFileMissing;
    return;
  }
  // An edited file starts over at its first tip: the old offset means nothing in it.
  const std::string stamp = ModificationText(tipsPath);
  if (profile_.ReadString(kTipTimeStampKey) != stamp) {
    profile_.WriteString(kTipTimeStampKey, stamp);
    position = 0;
  }
  if (!file_.Seek(position)) {
    TellTrouble();
    return;
  }
  NextTip();
}

DailyTips::~DailyTips() {
  if (file_.IsOpen()) profile_.WriteInt(kTipFilePosKey, file_.Position());
}

void DailyTips::NextTip() {
  if (!file_.IsOpen()) return;
  // Two ends of the file in one search mean a whole pass from the top found nothing.
  int endsReached = 0;
  for (;;) {
    std::optional<std::string> piece = file_.ReadPiece();
    if (!piece) {
      if (++endsReached == 2) {
        tipText_ = kTipsFileTrouble;
        return;
      }
      if (!file_.Seek(0)) TellTrouble();
      continue;
    }
    if (IsTip(*piece)) {
      tipText_ = std::move(*piece);
      return;
    }
  }
}

void DailyTips::SaveStartUp() { profile_.WriteInt(kTipStartUpKey, showAtStartup_ ? 0 : 1); }

void DailyTips::TellTrouble() {
  prompter_.Ask({kTipsFileTrouble, common::Buttons::Ok, common::Icon::Warning});
}

}  // namespace analysis
