#include "ui/list/hint_options_dialog.h"
#include "ui/help/control_help.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

HintOptionsDialog::HintOptionsDialog(const common::HintOptions& options, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("HintOptions"));
  setWindowTitle(QStringLiteral("Hint options"));
  auto* group = new QGroupBox(QStringLiteral("Options"), this);
  byAccess_ = new QCheckBox(QStringLiteral("Hint by type of &Access"), group);
  byDate_ = new QCheckBox(QStringLiteral("Hint by Lasst Access &Date && Time"), group);
  bySize_ = new QCheckBox(QStringLiteral("Hint by &Size"), group);
  byUsed_ = new QCheckBox(QStringLiteral("Hint by &Used"), group);
  byAccess_->setObjectName(QStringLiteral("ByAccessType"));
  byDate_->setObjectName(QStringLiteral("ByLastAccess"));
  bySize_->setObjectName(QStringLiteral("BySize"));
  byUsed_->setObjectName(QStringLiteral("ByUsed"));
  byAccess_->setChecked(options.byAccessType);
  byDate_->setChecked(options.byLastAccess);
  bySize_->setChecked(options.bySize);
  byUsed_->setChecked(options.byUsedPercent);
  auto* boxes = new QVBoxLayout(group);
  for (QCheckBox* box : {byAccess_, byDate_, bySize_, byUsed_}) boxes->addWidget(box);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(buttons);
  AttachControlHelp(*this);
}

common::HintOptions HintOptionsDialog::Options() const {
  return {byAccess_->isChecked(), byDate_->isChecked(), bySize_->isChecked(), byUsed_->isChecked()};
}

void RunHintOptions(common::HintOptions& options, QWidget* parent) {
  HintOptionsDialog dialog(options, parent);
  if (dialog.exec() == QDialog::Accepted) options = dialog.Options();
}

}  // namespace ui
