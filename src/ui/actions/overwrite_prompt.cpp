#include "ui/actions/overwrite_prompt.h"
#include "ui/help/control_help.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

COverwritePrompt::COverwritePrompt(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("OverwritePrompt"));
  setWindowTitle(QStringLiteral("Back Up"));
  auto* frame = new QFrame(this);
  frame->setFrameShape(QFrame::StyledPanel);
  frame->setFrameShadow(QFrame::Sunken);
  auto* texts = new QVBoxLayout(frame);
  texts->addWidget(new QLabel(QStringLiteral("The following file exists:"), frame));
  path_ = new QLabel(frame);
  path_->setObjectName(QStringLiteral("ExistingFile"));
  path_->setTextFormat(Qt::PlainText);
  path_->setWordWrap(true);
  texts->addWidget(path_);
  texts->addWidget(new QLabel(QStringLiteral("Do you wish to write over the old file?"), frame));
  versions_ = new QLabel(frame);
  versions_->setObjectName(QStringLiteral("Versions"));
  versions_->setTextFormat(Qt::PlainText);
  texts->addWidget(versions_);

  auto* layout = new QGridLayout(this);
  layout->addWidget(frame, 0, 0, 1, 4);
  const struct { const char* name; const char* text; files::OverwriteAnswer answer; } buttons[] = {
      {"Overwrite", "&Overwrite", files::OverwriteAnswer::Overwrite},
      {"Skip", "&Skip", files::OverwriteAnswer::Skip},
      {"All", "&All", files::OverwriteAnswer::All},
      {"Stop", "S&top", files::OverwriteAnswer::Stop},
  };
  int column = 0;
  for (const auto& button : buttons) {
    auto* push = new QPushButton(QString::fromUtf8(button.text), this);
    push->setObjectName(QLatin1String(button.name));
    connect(push, &QPushButton::clicked, this, [this, answer = button.answer] { Answer(answer); });
    layout->addWidget(push, 1, column++);
  }
  setMinimumWidth(340);
  AttachControlHelp(*this);
}

files::OverwriteAnswer COverwritePrompt::Ask(const QString& existingPath, const QString& versions) {
  path_->setText(existingPath);
  versions_->setText(versions);
  versions_->setVisible(!versions.isEmpty());
  // Closing the prompt by its frame leaves the file as it is.
  answer_ = files::OverwriteAnswer::Skip;
  exec();
  return answer_;
}

void COverwritePrompt::Answer(files::OverwriteAnswer answer) {
  answer_ = answer;
  accept();
}

}  // namespace ui
