// The perform-actions dialog driving the engine on its worker thread (offscreen).

#include <QApplication>

#include "support_ui/qt_application.h"
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "files/engine_support.h"
#include "ui/actions/overwrite_prompt.h"
#include "ui/actions/perform_dialog.h"

namespace {

using engine_test::SelectedActions;
using testing_support::TempDrives;

using testing_support::App;

template <typename T>
T* Child(QWidget& parent, const char* name) {
  return parent.findChild<T*>(QString::fromLatin1(name));
}

class PerformDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { App(); }

  TempDrives drives{"CE"};
  activity::AppState state;
  testing_support::ScriptedPrompter prompter;
  SelectedActions selection;
};

TEST_F(PerformDialogTest, BacksUpTwoFilesShowsTheFinalMessageAndClosesItself) {
  for (const char* name : {"a.txt", "b.txt"}) {
    drives.WriteFile(std::string("C:\\Work\\") + name, "contents");
    selection.AddFile("C:\\Work\\", name, 8, files::kActionBackUp, 'E');
  }
  state.PendingActionCount = 2;
  ui::CPerformDialog dialog(state, drives.System(), prompter, selection.driveList);
  QSignalSpy refills(&dialog, &ui::CPerformDialog::listRefillRequested);
  QSignalSpy finished(&dialog, &ui::CPerformDialog::runFinished);
  EXPECT_EQ(dialog.windowTitle(), "Perfom all selected actions for all drives ...");
  EXPECT_EQ(Child<QLabel>(dialog, "FilesToProcess")->text(), "2");
  EXPECT_TRUE(Child<QPushButton>(dialog, "Go")->isEnabled());
  EXPECT_FALSE(Child<QPushButton>(dialog, "Stop")->isEnabled());
  dialog.show();

  Child<QPushButton>(dialog, "Go")->click();
  EXPECT_FALSE(Child<QPushButton>(dialog, "Close")->isEnabled()) << "Close is disabled during a run";
  ASSERT_TRUE(finished.wait(10000) || finished.count() == 1);

  EXPECT_EQ(finished.first().first().toBool(), true);
  EXPECT_EQ(refills.count(), 1);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"All selected files were processed."});
  EXPECT_EQ(Child<QProgressBar>(dialog, "Progress")->value(), 2);
  EXPECT_EQ(Child<QLabel>(dialog, "CurrentFile")->text(), ".  .  .  .");
  EXPECT_EQ(drives.ReadFile("C:\\Work\\a.txt"), "");
  EXPECT_EQ(drives.ReadFile("E:\\Work\\b.txt"), "contents");
}

TEST_F(PerformDialogTest, TheOverwritePromptNamesTheCopyAndSkipKeepsTheSource) {
  drives.WriteFile("C:\\Work\\a.txt", "new");
  drives.WriteFile("E:\\Work\\a.txt", "old");
  selection.AddFile("C:\\Work\\", "a.txt", 3, files::kActionBackUp, 'E');
  state.PendingActionCount = 1;
  ui::CPerformDialog dialog(state, drives.System(), prompter, selection.driveList);
  QSignalSpy finished(&dialog, &ui::CPerformDialog::runFinished);
  QString shownPath;
  QString versions;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* prompt = dialog.findChild<ui::COverwritePrompt*>();
    if (prompt == nullptr || !prompt->isVisible()) return;
    shownPath = Child<QLabel>(*prompt, "ExistingFile")->text();
    versions = Child<QLabel>(*prompt, "Versions")->text();
    Child<QPushButton>(*prompt, "Skip")->click();
  });
  poll.start(20);
  dialog.show();

  Child<QPushButton>(dialog, "Go")->click();
  ASSERT_TRUE(finished.wait(10000) || finished.count() == 1);

  EXPECT_EQ(shownPath, "E:\\Work\\a.txt");
  // Each version's size and time, to tell the user's edit from the old copy.
  EXPECT_TRUE(versions.startsWith("Old: 3 bytes, modified 20")) << versions.toStdString();
  EXPECT_TRUE(versions.contains("\nNew: 3 bytes, modified 20")) << versions.toStdString();
  EXPECT_EQ(drives.ReadFile("C:\\Work\\a.txt"), "new");
  EXPECT_EQ(drives.ReadFile("E:\\Work\\a.txt"), "old");
  EXPECT_EQ(state.PendingActionCount, 1u) << "a skipped back-up stays selected";
}

TEST_F(PerformDialogTest, GoIsDisabledWithNothingToDoAndCloseEndsTheDialog) {
  ui::CPerformDialog dialog(state, drives.System(), prompter, selection.driveList);
  dialog.show();
  EXPECT_FALSE(Child<QPushButton>(dialog, "Go")->isEnabled());
  EXPECT_EQ(Child<QLabel>(dialog, "FilesToProcess")->text(), "0");
  Child<QPushButton>(dialog, "Close")->click();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

}  // namespace
