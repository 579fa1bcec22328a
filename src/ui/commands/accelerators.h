#pragma once
// The accelerator table: keys that send a command wherever the focus is in the main
// window. The shortcut texts shown in the menus are only texts: Alt+C sends 32843, not
// the menu's 32871.

#include <QKeySequence>
#include <vector>

class QWidget;

namespace ui {

class CommandTable;

struct Accelerator {
  QKeySequence keys;
  int id;
};

const std::vector<Accelerator>& AcceleratorTable();

// Adds one window-wide shortcut per entry to `window`; each runs its command through
// `commands` (so a disabled command does nothing).
void InstallAccelerators(QWidget& window, CommandTable& commands);

}  // namespace ui
