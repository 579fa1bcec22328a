// The options file and the program's own command-line options.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "ui_shell/qt_print.h"

#include "shell/options.h"
#include "ui/app/command_line.h"
#include "ui/app/settings_option_store.h"

namespace {

TEST(SettingsOptionStore, OnOffRoundTripThroughTheFile) {
  QTemporaryDir dir;
  const QString config = dir.filePath(QStringLiteral("cfg/norvex"));  // created on demand
  {
    ui::SettingsOptionStore store(config);
    EXPECT_FALSE(shell::IsOn(store, shell::kAutoScanOption));  // missing reads as off
    shell::WriteOnOff(store, shell::kAutoScanOption, true);
    shell::WriteOnOff(store, shell::kExecutedAtLeastOneTimeOption, false);
  }
  ui::SettingsOptionStore again(config);
  EXPECT_TRUE(shell::IsOn(again, shell::kAutoScanOption));
  EXPECT_EQ(again.Read(shell::kExecutedAtLeastOneTimeOption), "Off");
  EXPECT_TRUE(QFile::exists(QDir(config).filePath(QStringLiteral("options.ini"))));
}

TEST(SettingsOptionStore, OnlyExactlyOnCountsAsOn) {
  QTemporaryDir dir;
  QFile file(dir.filePath(QStringLiteral("options.ini")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[Options]\nAutoScan=on\nExecutedAtLeastOneTime=\"On \"\nOther=On, Off\n");
  file.close();
  ui::SettingsOptionStore store(dir.path());
  EXPECT_FALSE(shell::IsOn(store, shell::kAutoScanOption));
  EXPECT_FALSE(shell::IsOn(store, shell::kExecutedAtLeastOneTimeOption));
  EXPECT_EQ(store.Read("Other"), "");  // a list is no text
}

TEST(ProgramArguments, SplashSecondsDefaultsToSix) {
  std::string error;
  const auto parsed = ui::ParseProgramArguments({}, &error);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->splashTime, std::chrono::milliseconds(6000));
}

TEST(ProgramArguments, SplashSecondsInBothForms) {
  std::string error;
  auto parsed = ui::ParseProgramArguments({"--splash-seconds", "1"}, &error);
  ASSERT_TRUE(parsed) << error;
  EXPECT_EQ(parsed->splashTime, std::chrono::milliseconds(1000));
  parsed = ui::ParseProgramArguments({"--splash-seconds=0.25"}, &error);
  ASSERT_TRUE(parsed) << error;
  EXPECT_EQ(parsed->splashTime, std::chrono::milliseconds(250));
  parsed = ui::ParseProgramArguments({"--splash-seconds=0"}, &error);
  ASSERT_TRUE(parsed) << error;
  EXPECT_EQ(parsed->splashTime, std::chrono::milliseconds(0));
}

TEST(ProgramArguments, BadInputIsRefusedWithAReason) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--splash-seconds"},
                                             {"--splash-seconds", "-1"},
                                             {"--splash-seconds", "abc"},
                                             {"--splash-seconds", "1e9"},
                                             {"--splash-seconds=nan"},
                                             {"--splash-seconds", "2s"},
                                             {"--demo"},
                                             {"extra"}}) {
    std::string error;
    EXPECT_FALSE(ui::ParseProgramArguments(args, &error)) << args.back();
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
