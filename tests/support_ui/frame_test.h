#pragma once
// A whole main window over temporary drives C:, D: and E:, for tests that work it as a
// user does. The window sees the drives through `faulty`, which passes everything on
// until a test makes a call fail.

#include <gtest/gtest.h>

#include <QModelIndex>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "activity/app_state.h"
#include "shell/scripted_prompter.h"
#include "support/faulty_system.h"
#include "support/temp_drives.h"
#include "ui/app/settings_option_store.h"
#include "ui/commands/command_table.h"
#include "ui/frame/main_frame.h"

namespace testing_support {

class FrameTest : public ::testing::Test {
 protected:
  FrameTest();
  ~FrameTest() override;

  // (Re)builds the window once the test's files are in place, and runs the start-up steps
  // it posts unless told not to.
  void OpenFrame(bool runStartUp = true);
  ui::CDriveTree& Tree();
  ui::CFilesList& List();
  QModelIndex Drive(char letter);
  // Runs the event loop until `done` holds; the bound only ends a test that would hang.
  bool RunUntil(const std::function<bool()>& done);
  // Until no scan runs; events are processed before each look, never between the last
  // look and the assertion, as a start-up scan may begin its next drive from a queued event.
  void WaitForScan();

  TempDrives drives;
  FaultySystem faulty{drives.System()};
  QTemporaryDir config;
  ui::SettingsOptionStore options{config.path()};
  ScriptedPrompter prompter;
  activity::AppState state;
  ui::CommandTable commands;
  std::unique_ptr<ui::CMainFrame> frame;
};

}  // namespace testing_support
