#pragma once
// Dialog sizes that never let a window manager elide the caption, such as
// "Back Up\Restore" or "Selected file(s) and/or folder(s) properties".

class QWidget;

namespace ui {

// At least as wide as the caption; the height is left to the layout.
void KeepTitleVisible(QWidget& dialog);
// Fixed at the size the contents ask for, but never narrower than the caption.
void FixSizeKeepingTitle(QWidget& dialog);

}  // namespace ui
