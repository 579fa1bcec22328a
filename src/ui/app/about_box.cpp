#include "ui/app/about_box.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "common/prompter.h"
#include "ui/base/app_icon.h"
#include "ui/base/dialog_size.h"

namespace ui {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
  const QString title = QString::fromUtf8(common::kProgramTitle);
  setWindowTitle(QStringLiteral("About ") + title);

  auto* icon = new QLabel;
  icon->setPixmap(AppIconPixmap(64));
  icon->setAlignment(Qt::AlignTop);

  auto* text = new QLabel(
      QStringLiteral("<b>%1</b> Version %2<br><br>"
                     "Shows how the files on your drives use disk space and how often "
                     "they are used, recommends compressing, decompressing, backing up or "
                     "restoring them, and does it for you.<br><br>"
                     "Copyright &copy; Calvorn")
          .arg(title.toHtmlEscaped(), QStringLiteral(NORVEX_VERSION)));
  text->setWordWrap(true);
  text->setMinimumWidth(320);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* body = new QHBoxLayout;
  body->addWidget(icon);
  body->addWidget(text, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body);
  layout->addWidget(buttons);
  FixSizeKeepingTitle(*this);
}

}  // namespace ui
