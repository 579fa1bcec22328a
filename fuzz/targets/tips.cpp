// The tips file with a stored position: the first 8 input bytes are "FilePos" (the time
// stamp matches, so it is used), the rest is "tips.txt". Whatever both hold, the reader
// never throws, shows a tip of the file (at most 999 characters, never one that starts a
// comment or a blank) or the trouble text, and saves a position inside the file.

#include <sys/stat.h>

#include <cstdint>
#include <map>
#include <string>

#include "analysis/tips.h"
#include "support/counting_prompter.h"
#include "support/fuzz_check.h"
#include "support/scratch_drives.h"

namespace {

class MapProfile : public analysis::TipProfile {
 public:
  std::optional<std::int64_t> ReadInt(std::string_view key) const override {
    const auto found = ints.find(std::string(key));
    return found == ints.end() ? std::nullopt : std::optional(found->second);
  }
  std::optional<std::string> ReadString(std::string_view key) const override {
    const auto found = strings.find(std::string(key));
    return found == strings.end() ? std::nullopt : std::optional(found->second);
  }
  void WriteInt(std::string_view key, std::int64_t value) override { ints[std::string(key)] = value; }
  void WriteString(std::string_view key, const std::string& value) override {
    strings[std::string(key)] = value;
  }
  std::map<std::string, std::int64_t> ints;
  std::map<std::string, std::string> strings;
};

// The file as the reader sees it: a CR LF line end reads as one '\n'.
std::string AsRead(std::string_view content) {
  std::string read;
  for (std::size_t i = 0; i < content.size(); ++i) {
    if (content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n') continue;
    read += content[i];
  }
  return read;
}

bool HasTip(std::string_view content) {
  std::size_t at = 0;
  while (at < content.size()) {
    const std::size_t end = content.find('\n', at);
    const std::size_t next = end == std::string_view::npos ? content.size() : end + 1;
    if (analysis::IsTip(content.substr(at, next - at))) return true;
    at = next;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz_support::Input input(data, size);
  const auto position = static_cast<std::int64_t>(input.U64());
  const std::string content(input.Rest());

  auto& drives = fuzz_support::ScratchDrives::Fresh();
  const std::string path = drives.Dir() + "/config/tips.txt";
  drives.WriteHostFile(path, content);
  struct stat status {};
  FUZZ_CHECK(::stat(path.c_str(), &status) == 0);

  MapProfile profile;
  profile.strings[analysis::kTipTimeStampKey] = analysis::TipsDateText(status.st_mtime);
  profile.ints[analysis::kTipFilePosKey] = position;
  fuzz_support::CountingPrompter prompter;
  {
    analysis::DailyTips tips(profile, prompter, path);
    for (int shown = 0; shown < 3; ++shown) {
      const std::string& text = tips.TipText();
      FUZZ_CHECK(text.size() < analysis::kTipBufferSize);
      if (text != analysis::kTipsFileTrouble && !(shown == 0 && text.empty())) {
        FUZZ_CHECK(analysis::IsTip(text));
        FUZZ_CHECK(AsRead(content).find(text) != std::string::npos);
      }
      tips.NextTip();
    }
    // A file with a tip line shows tips; a position beyond the end starts over.
    if (HasTip(AsRead(content)) && content.find(analysis::kTipsFileTrouble) == std::string::npos) {
      FUZZ_CHECK(tips.TipText() != analysis::kTipsFileTrouble);
    }
  }
  if (position < 0) return 0;  // the stored position is refused: trouble, but no tip
  FUZZ_CHECK(prompter.asked == 0);
  const std::int64_t saved = profile.ints.at(analysis::kTipFilePosKey);
  FUZZ_CHECK(saved >= 0 && saved <= static_cast<std::int64_t>(content.size()));
  return 0;
}
