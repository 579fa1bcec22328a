#pragma once
// Fixes a dialog at the size its contents ask for, but never narrower than its caption,
// so a window manager does not elide a title such as "Back Up\Restore".

class QWidget;

namespace ui {

void FixSizeKeepingTitle(QWidget& dialog);

}  // namespace ui
