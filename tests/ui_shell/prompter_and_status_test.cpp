// The message boxes the core's questions become, and the status bar's panes and sink.

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>
#include <QThread>
#include <gtest/gtest.h>

#include "ui_shell/qt_print.h"

#include "ui/prompter/status_panes.h"
#include "ui/prompter/message_box_prompter.h"
#include "ui/prompter/status_bar_sink.h"

namespace {

using common::Answer;
using common::Buttons;
using common::Icon;

TEST(MessageBoxPrompter, StopBoxWithCaptionAndOkButton) {
  const auto box = ui::BuildMessageBox({"Could not open the file: C:\\DriveTbl.NVX !"}, nullptr);
  EXPECT_EQ(box->windowTitle(), QStringLiteral("File Norvex"));
  EXPECT_EQ(box->text(), QStringLiteral("Could not open the file: C:\\DriveTbl.NVX !"));
  EXPECT_EQ(box->icon(), QMessageBox::Critical);
  EXPECT_EQ(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
  EXPECT_EQ(box->textFormat(), Qt::PlainText);
}

TEST(MessageBoxPrompter, AbortRetryIgnoreWithRetryAsDefault) {
  const auto box = ui::BuildMessageBox(
      {"Can't save new configuration !", Buttons::AbortRetryIgnore, Icon::Stop, Answer::Retry}, nullptr);
  EXPECT_EQ(box->standardButtons(),
            QMessageBox::StandardButtons(QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore));
  EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()), box->button(QMessageBox::Retry));
}

TEST(MessageBoxPrompter, QuestionsAndPlainMessages) {
  const auto question = ui::BuildMessageBox({"Quit?", Buttons::YesNo, Icon::Question}, nullptr);
  EXPECT_EQ(question->icon(), QMessageBox::Question);
  EXPECT_EQ(static_cast<QAbstractButton*>(question->defaultButton()), question->button(QMessageBox::Yes));
  const auto plain = ui::BuildMessageBox({"To change Cluster Size use Calvorn Skellan.", Buttons::Ok, Icon::None}, nullptr);
  EXPECT_EQ(plain->icon(), QMessageBox::NoIcon);
  // A default that is not one of the buttons leaves the first one as default.
  const auto odd = ui::BuildMessageBox({"?", Buttons::YesNo, Icon::Question, Answer::Retry}, nullptr);
  EXPECT_EQ(static_cast<QAbstractButton*>(odd->defaultButton()), odd->button(QMessageBox::Yes));
}

TEST(MessageBoxPrompter, PressedButtonsBecomeAnswers) {
  EXPECT_EQ(ui::AnswerOf(QMessageBox::Yes), Answer::Yes);
  EXPECT_EQ(ui::AnswerOf(QMessageBox::No), Answer::No);
  EXPECT_EQ(ui::AnswerOf(QMessageBox::Abort), Answer::Abort);
  EXPECT_EQ(ui::AnswerOf(QMessageBox::Retry), Answer::Retry);
  EXPECT_EQ(ui::AnswerOf(QMessageBox::Ignore), Answer::Ignore);
  EXPECT_EQ(ui::AnswerOf(QMessageBox::Cancel), Answer::Cancel);
  EXPECT_EQ(ui::AnswerOf(QMessageBox::Ok), Answer::Ok);
}

TEST(StatusPanes, InitialTextsAndIndicatorWidths) {
  QStatusBar bar;
  ui::StatusPanes panes(bar);
  EXPECT_EQ(panes.Message(), QStringLiteral("Ready, for Help press F1"));
  EXPECT_EQ(panes.Selection(), QStringLiteral("S:0, 0 K"));
  EXPECT_EQ(panes.Actions(), QStringLiteral("A:0"));
  const QFontMetrics metrics = panes.SelectionPane()->fontMetrics();
  EXPECT_GE(panes.SelectionPane()->width(), metrics.horizontalAdvance(QStringLiteral("S:1234567890, 1234567 K")));
  EXPECT_GE(panes.ActionsPane()->width(), metrics.horizontalAdvance(QStringLiteral("A:1234567890, 1234567 K")));
  panes.ShowMessage(QStringLiteral("Looking in: C:\\Work\\"));
  EXPECT_EQ(panes.Message(), QStringLiteral("Looking in: C:\\Work\\"));
  panes.ShowMessage({});
  EXPECT_EQ(panes.Message(), QStringLiteral("Ready, for Help press F1"));
}

// A note told once per start must outlast the idle prompts the panes' own start-up and a
// scan's progress put up, and give way once the user turns to a command.
TEST(StatusPanes, StandingNoteOutlastsIdlePromptsUntilEnded) {
  QStatusBar bar;
  ui::StatusPanes panes(bar);
  panes.ShowStandingNote(QStringLiteral("members only"));
  EXPECT_EQ(panes.Message(), QStringLiteral("members only"));
  panes.ShowMessage(QStringLiteral("Looking in: C:\\Work\\"));
  panes.ShowIdle();
  EXPECT_EQ(panes.Message(), QStringLiteral("members only"));
  ui::StatusBarSink sink(&panes);
  sink.ShowIdle();  // the idle prompt's text, through a sink
  EXPECT_EQ(panes.Message(), QStringLiteral("members only"));
  panes.EndStandingNote();
  panes.ShowIdle();
  EXPECT_EQ(panes.Message(), QStringLiteral("Ready, for Help press F1"));
}

TEST(StatusBarSink, WorkerThreadTextsArriveOnTheUiThread) {
  QStatusBar bar;
  ui::StatusPanes panes(bar);
  ui::StatusBarSink sink(&panes);
  std::unique_ptr<QThread> worker(QThread::create([&sink] {
    sink.ShowStatus("Recalculating drive information ...");
    sink.SetBusy(true);
  }));
  worker->start();
  worker->wait();
  EXPECT_EQ(panes.Message(), QStringLiteral("Ready, for Help press F1"));  // not yet delivered
  QCoreApplication::processEvents();
  EXPECT_EQ(panes.Message(), QStringLiteral("Recalculating drive information ..."));
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  sink.ShowIdle();
  sink.SetBusy(false);
  sink.SetBusy(false);  // unbalanced calls do not pop someone else's cursor
  EXPECT_EQ(panes.Message(), QStringLiteral("Ready, for Help press F1"));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
