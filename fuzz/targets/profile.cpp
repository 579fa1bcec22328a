// The program's settings files as QSettings reads them: the input is both "options.ini"
// and the profile "norvex.ini". Any text gives an option that is on only when it reads
// exactly "On", and a Tip of the Day that shows a tip of its file (or, for a position
// that cannot be reached, the trouble message) and saves a position inside the file,
// which the next run reads back.

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <QString>
#include <cstdint>
#include <string>

#include "analysis/tips.h"
#include "shell/options.h"
#include "support/counting_prompter.h"
#include "support/fuzz_check.h"
#include "support/scratch_drives.h"
#include "ui/app/settings_option_store.h"
#include "ui/tips/tip_profile_settings.h"

namespace {
constexpr const char* kTips = "; tips\nA first\n\nB second\n";
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The tips file is dated 1970-01-01 00:00:00 UTC, so inputs can name its time stamp.
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto& drives = fuzz_support::ScratchDrives::Fresh();
  // A fresh folder per input: QSettings keeps files it has read in a cache.
  std::string configDir = drives.Dir() + "/config/XXXXXX";
  FUZZ_CHECK(::mkdtemp(configDir.data()) != nullptr);
  const std::string ini(reinterpret_cast<const char*>(data), size);
  drives.WriteHostFile(configDir + "/options.ini", ini);
  drives.WriteHostFile(configDir + "/norvex.ini", ini);
  const std::string tipsPath = configDir + "/tips.txt";
  drives.WriteHostFile(tipsPath, kTips);
  const timespec epoch[2] = {{0, 0}, {0, 0}};
  FUZZ_CHECK(::utimensat(AT_FDCWD, tipsPath.c_str(), epoch, 0) == 0);
  const QString dir = QString::fromStdString(configDir);

  {
    ui::SettingsOptionStore options(dir);
    for (const char* name : {shell::kAutoScanOption, shell::kExecutedAtLeastOneTimeOption}) {
      FUZZ_CHECK(shell::IsOn(options, name) == (options.Read(name) == shell::kOn));
    }
    shell::WriteOnOff(options, shell::kAutoScanOption, true);
  }
  FUZZ_CHECK(ui::SettingsOptionStore(dir).Read(shell::kAutoScanOption) == shell::kOn);

  std::optional<std::int64_t> stored;
  fuzz_support::CountingPrompter prompter;
  {
    ui::SettingsTipProfile profile(ui::ProfilePath(dir));
    stored = profile.ReadInt(analysis::kTipFilePosKey);
    analysis::DailyTips tips(profile, prompter, tipsPath);
    // A stored position may fall inside a line: the rest of it shows when it makes a tip.
    const std::string& text = tips.TipText();
    FUZZ_CHECK(text.empty() ? prompter.asked == 1 : analysis::IsTip(text) && std::string(kTips).find(text) != std::string::npos);
  }
  FUZZ_CHECK(prompter.asked <= 1);
  if (stored && *stored >= 0) FUZZ_CHECK(prompter.asked == 0);
  const auto saved = ui::SettingsTipProfile(ui::ProfilePath(dir)).ReadInt(analysis::kTipFilePosKey);
  FUZZ_CHECK(saved.has_value() && *saved >= 0 && *saved <= static_cast<std::int64_t>(std::string(kTips).size()));
  return 0;
}
