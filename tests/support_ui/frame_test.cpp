#include "support_ui/frame_test.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include "scan/scan_controller.h"
#include "support_ui/qt_application.h"
#include "ui/document/drives_document.h"
#include "ui/views/drive_tree.h"
#include "ui/views/files_list.h"

namespace testing_support {

FrameTest::FrameTest() { App(); }

FrameTest::~FrameTest() {
  frame.reset();
  QCoreApplication::sendPostedEvents();
}

void FrameTest::OpenFrame(bool runStartUp) {
  frame.reset();
  frame = std::make_unique<ui::CMainFrame>(state, faulty, prompter, options, commands);
  if (!runStartUp) return;
  // The frame's steps, then the tree's and the list's.
  for (int i = 0; i < 3; ++i) QCoreApplication::sendPostedEvents();
}

ui::CDriveTree& FrameTest::Tree() { return frame->Tree(); }

ui::CFilesList& FrameTest::List() { return frame->List(); }

QModelIndex FrameTest::Drive(char letter) {
  const QAbstractItemModel& model = *Tree().model();
  for (int row = 0; row < model.rowCount(); ++row) {
    const QModelIndex item = model.index(row, 0);
    if (item.data().toString().startsWith(QChar(letter))) return item;
  }
  return {};
}

bool FrameTest::RunUntil(const std::function<bool()>& done) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < 60000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  return done();
}

void FrameTest::WaitForScan() {
  QElapsedTimer timer;
  timer.start();
  do {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  } while ((frame->Document().Scanner().ScanThreadRunning() || state.ScanInProgress.load()) &&
           timer.elapsed() < 60000);
  ASSERT_FALSE(frame->Document().Scanner().ScanThreadRunning());
}

}  // namespace testing_support
