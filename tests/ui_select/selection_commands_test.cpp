#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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

// Plays a scan: the folder's contents appear while the worker waits.
class AddingHook : public files::FolderScanHook {
 public:
  bool NeedsFullScan(const std::string& name) override { return name == "Sub"; }
  void ScanAndWait(const std::string&) override {
    scan::NewEntry file;
    file.name = "found.txt";
    file.kind = scan::kKindFile;
    file.source = 'C';
    sub->AddEntry(file);
  }
  scan::CFolderInfo* sub = nullptr;
};

class ModelList : public ActionPanes {
 public:
  scan::CFolderInfo* ShownFolder() override { return record; }
  std::vector<std::uint32_t> SelectedEntries() const override { return selected; }
  void ActionChanged(std::uint32_t entry) override { rewritten.push_back(entry); }
  QStringList DriveTexts() const override { return {"C:", "E:"}; }
  files::FolderScanHook& Scans() override { return hook; }
  scan::RecordsHold HoldRecords() override { return {}; }

  scan::CFolderInfo* record = nullptr;
  std::vector<std::uint32_t> selected;
  std::vector<std::uint32_t> rewritten;
  AddingHook hook;
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
    scan::NewEntry sub;
    sub.name = "Sub";
    sub.kind = scan::kKindFolder;
    driveList.GetChild(0)->AddEntry(sub);
    list.record = driveList.GetChild(0);
    list.hook.sub = list.record->GetChild(0);
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

TEST_F(SelectionCommandsTest, SubdirectoriesAreScannedThenTheCommandMarksWhatTheScanFound) {
  state.CompressibleDrive[activity::DriveIndex('C')] = true;
  list.selected = {0};
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QCheckBox*>("1132")->setChecked(true);
    dialog->findChild<QCheckBox*>("1133")->setChecked(true);
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
  ASSERT_TRUE(commands.Execute(cmd::kCompress));
  // The scan of the subfolders runs on its worker; the command comes back once it is done.
  EXPECT_TRUE(QTest::qWaitFor([this] { return state.PendingActionCount.load() != 0; }, 60000));
  EXPECT_EQ(list.hook.sub->Count(), 1u);
  EXPECT_EQ(list.hook.sub->actions()[0], files::kActionCompress);
  EXPECT_EQ(list.record->actions()[0], files::kActionCompress);
  EXPECT_EQ(state.PendingActionCount.load(), 2u);
  EXPECT_EQ(list.rewritten, std::vector<std::uint32_t>{0});
  EXPECT_EQ(selection->Flags().ResendCommand, files::kNoCommand);
  EXPECT_FALSE(selection->Flags().DialogAnswered);
  EXPECT_TRUE(prompter.asked.empty());
  EXPECT_EQ(frame->Status().Actions(), "A:2");
}

}  // namespace
}  // namespace ui
