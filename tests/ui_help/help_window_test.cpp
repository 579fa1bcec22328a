#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QTimer>
#include <QWindow>

#include "ui/help/help_pages.h"
#include "ui/help/help_window.h"

namespace ui {
namespace {

// Help from a dialog's Help button used to open behind the dialog, blocked by it.
TEST(HelpWindow, TakesTheInputWhenAskedForFromAModalDialogAndGivesItBackAfter) {
  QWidget frame;
  HelpWindow help(&frame);
  QDialog dialog(&frame);
  QTimer::singleShot(0, [&] {
    help.ShowPage(help::kUsingHelpPage);
    EXPECT_EQ(QGuiApplication::modalWindow(), help.windowHandle());
    help.close();
    dialog.reject();
  });
  dialog.exec();

  help.ShowContents();
  EXPECT_EQ(help.windowModality(), Qt::NonModal);
  EXPECT_EQ(QGuiApplication::modalWindow(), nullptr);
}

}  // namespace
}  // namespace ui
