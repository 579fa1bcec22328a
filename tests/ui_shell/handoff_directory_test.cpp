// Where the program hands unperformed actions off at exit: the folder its arguments name.

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "platform/host_system.h"
#include "support/temp_drives.h"
#include "ui/app/command_line.h"
#include "ui/app/main_app.h"
#include "ui/frame/main_frame.h"

namespace {

TEST(HandOffDirectory, TheActionsLeftAtExitGoWhereTheArgumentsSay) {
  testing_support::TempDrives drives;
  QTemporaryDir config;
  QTemporaryDir handOff;
  std::string error;
  const auto program =
      ui::ParseProgramArguments({"--handoff-dir", handOff.path().toStdString(), "--splash-seconds=0"}, &error);
  ASSERT_TRUE(program) << error;
  ui::CMainApp app(std::make_unique<platform::HostSystem>(drives.Environment()),
                   ui::AppOptions{config.path(), program->splashTime, program->handOffDirectory, {}});
  ASSERT_TRUE(app.InitInstance());
  ASSERT_TRUE(QTest::qWaitFor([&app] { return app.Frame()->isVisible(); }, 60000));
  app.State().PendingActionCount = 1;

  // Yes, quit with actions left; OK to the note about the background program.
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    if (QAbstractButton* yes = box->button(QMessageBox::Yes)) {
      yes->click();
    } else {
      box->accept();
    }
  });
  answer.start(10);
  app.Frame()->close();
  ASSERT_TRUE(QTest::qWaitFor([&app] { return app.FrameClosed(); }, 60000));
  EXPECT_TRUE(QFile::exists(handOff.path() + QStringLiteral("/ShadowTbl.NVX")));
}

}  // namespace
