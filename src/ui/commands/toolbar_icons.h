#pragma once
// The toolbar's 17 x 17 button pictures, drawn at start-up.

#include <QIcon>

namespace ui {

inline constexpr int kToolbarImageSize = 17;

// The picture of a toolbar command; a null icon for commands without a button.
QIcon ToolbarIcon(int id);

}  // namespace ui
