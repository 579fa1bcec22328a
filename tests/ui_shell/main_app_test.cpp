// The application object: splash, hidden frame, the tip hook, and the way out when the
// databases cannot be opened.

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "ui_shell/qt_print.h"

#include "platform/host_system.h"
#include "support/temp_drives.h"
#include "ui/app/main_app.h"
#include "ui/frame/splash_window.h"
#include "ui/commands/command_ids.h"
#include "ui/frame/main_frame.h"

namespace {

using namespace std::chrono_literals;

class MainAppTest : public ::testing::Test {
 protected:
  std::unique_ptr<ui::CMainApp> MakeApp(std::chrono::milliseconds splash) {
    return std::make_unique<ui::CMainApp>(std::make_unique<platform::HostSystem>(drives.Environment()),
                                          ui::AppOptions{config.path(), splash, ".", {}});
  }

  testing_support::TempDrives drives;
  QTemporaryDir config;
};

TEST_F(MainAppTest, SplashFirstThenTheFrameOnceThePanesHaveStarted) {
  auto app = MakeApp(300ms);
  int tips = 0;
  app->SetStartupTip([&tips, &app] {
    ++tips;
    EXPECT_FALSE(app->Splash()->isVisible());  // never hidden behind the splash
    EXPECT_TRUE(app->Frame()->isVisible());
  });
  ASSERT_TRUE(app->InitInstance());
  EXPECT_EQ(tips, 0);
  EXPECT_TRUE(app->Splash()->isVisible());
  EXPECT_FALSE(app->Frame()->isVisible());
  EXPECT_TRUE(QTest::qWaitFor([&app] { return app->Frame()->isVisible(); }, 60000));
  EXPECT_FALSE(app->Splash()->isVisible());
  EXPECT_TRUE(QTest::qWaitFor([&tips] { return tips == 1; }, 5000));
  EXPECT_TRUE(app->Frame()->windowState() & Qt::WindowMaximized);
  EXPECT_TRUE(app->State().driveTable.Loaded());
  // The about box belongs to the application object.
  EXPECT_TRUE(app->Commands().Query(ui::cmd::kAppAbout).Enabled());
}

// A fatal start-up error is said once, with the real file, and then the process ends:
// neither the splash nor the tip of the day stays on screen, and the exit code says it
// failed.
TEST_F(MainAppTest, FatalStartupErrorEndsTheProgramWithNothingLeftOnScreen) {
  drives.MakeDirectory("C:\\DriveTbl.NVX");  // a folder where the table belongs
  auto app = MakeApp(30s);                   // the splash must be closed, not time out
  QString shown;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&shown] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->windowTitle() + QStringLiteral(": ") + box->text();
      box->accept();
    }
  });
  answer.start(10);
  bool tipOutlivedTheError = false;
  app->SetStartupTip([&tipOutlivedTheError] {
    QDialog tip;
    QTimer::singleShot(20000, &tip, [&] {
      tipOutlivedTheError = true;
      tip.reject();
    });
    tip.show();
    tip.exec();
  });
  ASSERT_TRUE(app->InitInstance());
  EXPECT_NE(app->Run(), 0);
  EXPECT_FALSE(tipOutlivedTheError);
  EXPECT_EQ(shown, QStringLiteral("File Norvex: Could not open the file: C:\\DriveTbl.NVX (") +
                       QString::fromStdString(drives.Host("C:\\DriveTbl.NVX")) + QStringLiteral(") !"));
  EXPECT_TRUE(app->FrameClosed());
  for (const QWidget* window : QApplication::topLevelWidgets()) {
    EXPECT_FALSE(window->isVisible()) << window->metaObject()->className();
  }
}

}  // namespace
