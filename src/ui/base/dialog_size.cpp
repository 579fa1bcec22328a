#include "ui/base/dialog_size.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QWidget>

#include <algorithm>

namespace ui {
namespace {

int TitleWidth(const QWidget& dialog) {
  // Title bars use a bold face in most themes; the allowance covers the icon and the
  // three frame buttons beside the caption.
  QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
  titleFont.setBold(true);
  constexpr int kFrameAllowance = 110;
  return QFontMetrics(titleFont).horizontalAdvance(dialog.windowTitle()) + kFrameAllowance;
}

}  // namespace

void KeepTitleVisible(QWidget& dialog) {
  dialog.setMinimumWidth(std::max(dialog.minimumWidth(), TitleWidth(dialog)));
}

void FixSizeKeepingTitle(QWidget& dialog) {
  QSize size = dialog.sizeHint();
  size.setWidth(std::max(size.width(), TitleWidth(dialog)));
  dialog.setFixedSize(size);
}

}  // namespace ui
