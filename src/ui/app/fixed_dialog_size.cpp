#include "ui/app/fixed_dialog_size.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QWidget>

#include <algorithm>

namespace ui {

void FixSizeKeepingTitle(QWidget& dialog) {
  // Title bars use a bold face in most themes; the allowance covers the icon and the
  // three frame buttons beside the caption.
  QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
  titleFont.setBold(true);
  constexpr int kFrameAllowance = 110;
  const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(dialog.windowTitle()) + kFrameAllowance;
  QSize size = dialog.sizeHint();
  size.setWidth(std::max(size.width(), titleWidth));
  dialog.setFixedSize(size);
}

}  // namespace ui
