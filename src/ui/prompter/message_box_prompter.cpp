#include "ui/prompter/message_box_prompter.h"

#include <QMessageBox>
#include <vector>

namespace ui {
namespace {

using common::Answer;
using common::Buttons;

QMessageBox::StandardButton ButtonOf(Answer answer) {
  switch (answer) {
    case Answer::Ok: return QMessageBox::Ok;
    case Answer::Cancel: return QMessageBox::Cancel;
    case Answer::Yes: return QMessageBox::Yes;
    case Answer::No: return QMessageBox::No;
    case Answer::Abort: return QMessageBox::Abort;
    case Answer::Retry: return QMessageBox::Retry;
    case Answer::Ignore: return QMessageBox::Ignore;
  }
  return QMessageBox::Ok;
}

// The buttons of each set, in the order the user reads them.
std::vector<Answer> AnswersOf(Buttons buttons) {
  switch (buttons) {
    case Buttons::Ok: return {Answer::Ok};
    case Buttons::OkCancel: return {Answer::Ok, Answer::Cancel};
    case Buttons::YesNo: return {Answer::Yes, Answer::No};
    case Buttons::YesNoCancel: return {Answer::Yes, Answer::No, Answer::Cancel};
    case Buttons::AbortRetryIgnore: return {Answer::Abort, Answer::Retry, Answer::Ignore};
    case Buttons::RetryCancel: return {Answer::Retry, Answer::Cancel};
  }
  return {Answer::Ok};
}

QMessageBox::Icon IconOf(common::Icon icon) {
  switch (icon) {
    case common::Icon::None: return QMessageBox::NoIcon;
    case common::Icon::Stop: return QMessageBox::Critical;
    case common::Icon::Question: return QMessageBox::Question;
    case common::Icon::Warning: return QMessageBox::Warning;
    case common::Icon::Information: return QMessageBox::Information;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

std::unique_ptr<QMessageBox> BuildMessageBox(const common::Message& message, QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setWindowTitle(QString::fromUtf8(common::kProgramTitle));
  box->setText(QString::fromStdString(message.text));
  box->setTextFormat(Qt::PlainText);
  box->setIcon(IconOf(message.icon));
  const auto answers = AnswersOf(message.buttons);
  QMessageBox::StandardButtons buttons;
  for (const Answer answer : answers) buttons |= ButtonOf(answer);
  box->setStandardButtons(buttons);
  // Answer::Ok names the first button of any set; otherwise the answer must be one of
  // the set's buttons, or the first button stays the default.
  Answer preferred = answers.front();
  for (const Answer answer : answers) {
    if (answer == message.defaultButton) preferred = answer;
  }
  box->setDefaultButton(ButtonOf(preferred));
  return box;
}

Answer AnswerOf(int standardButton) {
  switch (standardButton) {
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Abort: return Answer::Abort;
    case QMessageBox::Retry: return Answer::Retry;
    case QMessageBox::Ignore: return Answer::Ignore;
    default: return Answer::Ok;
  }
}

common::Answer MessageBoxPrompter::Ask(const common::Message& message) {
  // Before the frame appears (start-up failures) the box stands on its own, in the
  // middle of the screen, rather than at the corner of a window nobody sees.
  QWidget* owner = !parent_.isNull() && parent_->isVisible() ? parent_.data() : nullptr;
  const auto box = BuildMessageBox(message, owner);
  return AnswerOf(box->exec());
}

}  // namespace ui
