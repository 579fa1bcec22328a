#pragma once
// The toolbar's buttons, left to right; 0 stands for a separator.

#include <vector>

class QToolBar;

namespace ui {

class CommandTable;

const std::vector<int>& ToolbarLayout();

// Adds the layout's buttons to `bar`: the command table's actions with their pictures.
void BuildToolBar(QToolBar& bar, CommandTable& commands);

}  // namespace ui
