#pragma once
// The menu bar as data: which pop-ups hold which commands in which order. The texts
// come from the string table; the items are the command table's actions.

#include <functional>
#include <vector>

class QMenu;
class QMenuBar;

namespace ui {

class CommandTable;

struct MenuNode {
  enum class Kind { Command, Separator, Popup };
  Kind kind = Kind::Command;
  int id = 0;                     // Command
  const char* title = nullptr;    // Popup
  std::vector<MenuNode> children; // Popup
};

// The pop-ups of the menu bar, left to right.
const std::vector<MenuNode>& MenuBarLayout();

// Fills `bar` with the layout's pop-ups; every pop-up refreshes its items' states
// before it opens. `opening` runs first each time a top-level pop-up is about to open
// (it may still change the menus). Returns the top-level pop-ups in order.
std::vector<QMenu*> BuildMenuBar(QMenuBar& bar, CommandTable& commands,
                                 const std::function<void(QMenu*)>& opening = {});

}  // namespace ui
