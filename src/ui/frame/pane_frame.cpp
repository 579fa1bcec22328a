#include "ui/frame/pane_frame.h"

#include <QLabel>
#include <QVBoxLayout>

namespace ui {

PaneFrame::PaneFrame(QWidget* view, QWidget* parent) : QWidget(parent), view_(view) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  caption_ = new QLabel(this);
  caption_->setTextFormat(Qt::PlainText);
  caption_->setAutoFillBackground(true);
  caption_->setBackgroundRole(QPalette::Highlight);
  caption_->setForegroundRole(QPalette::HighlightedText);
  caption_->setContentsMargins(4, 2, 4, 2);
  QFont bold = caption_->font();
  bold.setBold(true);
  caption_->setFont(bold);
  caption_->setMinimumWidth(1);
  caption_->hide();
  layout->addWidget(caption_);
  view->setParent(this);
  layout->addWidget(view, 1);
  connect(view, &QWidget::windowTitleChanged, this, &PaneFrame::ShowCaption);
}

QString PaneFrame::Caption() const { return caption_->text(); }
bool PaneFrame::CaptionShown() const { return !caption_->isHidden(); }
void PaneFrame::SetCaptionToolTip(const QString& text) { caption_->setToolTip(text); }
QString PaneFrame::CaptionToolTip() const { return caption_->toolTip(); }

void PaneFrame::ShowCaption(const QString& text) {
  caption_->setText(text);
  caption_->setVisible(!text.isEmpty());
}

}  // namespace ui
