#include "ui/prompter/status_panes.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QLabel>
#include <QStatusBar>

#include "common/status_sink.h"
#include "ui/commands/string_table.h"

namespace ui {
namespace {

QLabel* MakeIndicator(QStatusBar& bar, const char* widest, const char* initial, const char* help) {
  auto* label = new QLabel(QString::fromUtf8(initial), &bar);
  label->setWhatsThis(QString::fromUtf8(help));
  label->setFrameShape(QFrame::Panel);
  label->setFrameShadow(QFrame::Sunken);
  const int margins = label->contentsMargins().left() + label->contentsMargins().right() +
                      2 * label->frameWidth() + 6;
  label->setFixedWidth(label->fontMetrics().horizontalAdvance(QString::fromUtf8(widest)) + margins);
  bar.addPermanentWidget(label);
  return label;
}

}  // namespace

StatusPanes::StatusPanes(QStatusBar& bar) : QObject(&bar) {
  message_ = new QLabel(&bar);
  message_->setMinimumWidth(1);
  message_->setTextFormat(Qt::PlainText);
  bar.addWidget(message_, 1);
  message_->setWhatsThis(QStringLiteral(
      "Describes the command under the mouse and what a long operation is doing."));
  selection_ = MakeIndicator(bar, strings::kSelectionPaneWidest, strings::kSelectionPaneInitial,
                             "S: how many files the items selected in the Files list hold, "
                             "and their size in kilobytes.");
  actions_ = MakeIndicator(bar, strings::kActionsPaneWidest, strings::kActionsPaneInitial,
                           "A: how many actions are selected on all drives and wait to be "
                           "performed.");
  ShowIdle();
}

StatusPanes::~StatusPanes() { SetBusy(false); }

QString StatusPanes::Message() const { return message_->text(); }
QString StatusPanes::Selection() const { return selection_->text(); }
QString StatusPanes::Actions() const { return actions_->text(); }

void StatusPanes::ShowMessage(const QString& text) {
  const QString idle = QString::fromUtf8(common::kIdlePrompt);
  // Sinks say idle with the prompt's own text.
  if (text.isEmpty() || text == idle) {
    message_->setText(standingNote_.isEmpty() ? idle : standingNote_);
  } else {
    message_->setText(text);
  }
}

void StatusPanes::ShowIdle() { ShowMessage({}); }

void StatusPanes::ShowStandingNote(const QString& note) {
  standingNote_ = note;
  ShowIdle();
}

void StatusPanes::EndStandingNote() { standingNote_.clear(); }
void StatusPanes::SetSelection(const QString& text) { selection_->setText(text); }
void StatusPanes::SetActions(const QString& text) { actions_->setText(text); }

void StatusPanes::SetBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) {
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  } else {
    QApplication::restoreOverrideCursor();
  }
}

}  // namespace ui
