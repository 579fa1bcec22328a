#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <functional>
#include <memory>

#include "activity/app_state.h"
#include "shell/scripted_prompter.h"
#include "support/faulty_system.h"
#include "support/temp_drives.h"
#include "ui/actions/action_panes.h"
#include "ui/actions/selection_commands.h"
#include "ui/app/settings_option_store.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "ui/frame/main_frame.h"
#include "ui/prompter/status_panes.h"

namespace ui {
namespace {

class ModelList : public ActionPanes {
 public:
  scan::CFolderInfo* ShownFolder() override { return record; }
  std::vector<std::uint32_t> SelectedEntries() const override { return selected; }
  void ActionChanged(std::uint32_t entry) override { rewritten.push_back(entry); }
  QStringList DriveTexts() const override { return {"C:", "E:"}; }
  bool NeedsFullScan(const std::string&) override { return false; }
  bool StartFullScan(const std::string&) override { return false; }
  void WhenScanClosed(std::function<void()> call) override { call(); }
  scan::RecordsHold HoldRecords() override { return {}; }

  scan::CFolderInfo* record = nullptr;
  std::vector<std::uint32_t> selected;
  std::vector<std::uint32_t> rewritten;
};

class SelectionCommandsTest : public ::testing::Test {
 protected:
  SelectionCommandsTest() : faulty(drives.System()), options(config.path()) {
    frame = std::make_unique<CMainFrame>(state, faulty, prompter, options, commands);
    context = std::make_unique<ShellContext>(ShellContext{
        {state, faulty, prompter, frame->Sink(), frame->Context().memory}, commands, frame->Status(),
        frame->MenuPopups(), {}});
    scan::NewEntry drive;
    drive.name = "C:";
    drive.kind = scan::kKindFolder;
    drive.source = scan::kSourceDrive;
    driveList.AddEntry(drive);
    list.record = driveList.GetChild(0);
    selection = std::make_unique<SelectionCommands>(*context, frame.get(), list);
    commands.SetActiveView(Target::List);
  }
  ~SelectionCommandsTest() override {
    selection.reset();
    frame.reset();
    QCoreApplication::sendPostedEvents();
  }

  testing_support::TempDrives drives;
  testing_support::FaultySystem faulty;
  QTemporaryDir config;
  SettingsOptionStore options;
  testing_support::ScriptedPrompter prompter;
  activity::AppState state;
  CommandTable commands;
  std::unique_ptr<CMainFrame> frame;
  std::unique_ptr<ShellContext> context;
  scan::CFolderInfo driveList;
  ModelList list;
  std::unique_ptr<SelectionCommands> selection;
};

TEST_F(SelectionCommandsTest, EnablingFollowsTheDriveAndTheActiveView) {
  EXPECT_FALSE(commands.Query(cmd::kCompress).Enabled());
  EXPECT_TRUE(commands.Query(cmd::kBackup).Enabled());
  state.CompressibleDrive[activity::DriveIndex('C')] = true;
  EXPECT_TRUE(commands.Query(cmd::kDecompress).Enabled());
  commands.SetActiveView(Target::Tree);
  EXPECT_FALSE(commands.Query(cmd::kSetHint).Enabled());
}

}  // namespace
}  // namespace ui
