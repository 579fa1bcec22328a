#pragma once
// The program's icon: a disk whose platter is partly filled, over a blue tile. Drawn at
// run time in the usual sizes; the installed SVG shows the same picture.

#include <QIcon>

namespace ui {

QPixmap AppIconPixmap(int size);
QIcon AppIcon();

}  // namespace ui
